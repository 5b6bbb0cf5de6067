// One chamber over its cycle: the bare shape's curve is the sinusoid its dead-centre figures
// give, the real engine's meets its own figures at the dead centres and agrees with the
// shoelace area of its outlines between the seals, and the leading seal leans at most
// arcsin(3 / K).
#include "volume_curve.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "dense_chamber_outline.h"
#include "exact_shape.h"
#include "real_shape.h"

namespace rotary {
namespace {

using std::numbers::pi;

class BareCurve : public ::testing::TestWithParam<double> {};

// The chamber's area is linear in cos and sin of the motion angle: V = Vmin + Vs (1 - cos(2
// theta / 3)) / 2, and its slope the derivative of that.
TEST_P(BareCurve, IsTheSinusoidOfItsDeadCentres) {
  const double K = GetParam();
  const ExactLimit limit = exactLimit(15, 15 * K, 80);
  ASSERT_TRUE(limit.hasFigures());
  const double Vmin = limit.figures.deadVolume, Vs = limit.figures.capacity;
  const std::vector<CyclePoint> curve = volumeCurve(15, 15 * K, 80, RealEngine{}, 1);
  ASSERT_EQ(curve.size(), 1081u);
  for (const CyclePoint& p : curve) {
    const double phase = 2 * p.shaftAngle / 3 * pi / 180;
    EXPECT_NEAR(p.volume / (Vmin + Vs * (1 - std::cos(phase)) / 2), 1, 1e-12) << p.shaftAngle;
    EXPECT_NEAR(p.slope, Vs * std::sin(phase) / 3 * pi / 180, 1e-7 * Vs / 270) << p.shaftAngle;
    EXPECT_DOUBLE_EQ(p.rotorAngle, p.shaftAngle / 3);
  }
  EXPECT_NEAR(largestSealLean(K), std::asin(3 / K) * 180 / pi, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(OverK, BareCurve, ::testing::Values(3.2, 4, 5, 7, 11.8, 30));

// The shoelace area of the chamber's outline at motion angle a.
double shoelaceChamber(double K, const exact::Offsets& o, double a) {
  const std::vector<exact::Point> outline = testing::chamberOutline(K, o, a);
  double twice = 0;
  for (std::size_t n = 0; n < outline.size(); ++n) {
    const exact::Point& p = outline[n];
    const exact::Point& q = outline[(n + 1) % outline.size()];
    twice += p.x * q.y - q.x * p.y;
  }
  return std::abs(twice) / 2;
}

struct RealCase {
  const char* name;
  RealEngine engine;
};

class RealCurve : public ::testing::TestWithParam<RealCase> {};

TEST_P(RealCurve, MeetsItsFiguresAndTheShoelaceOfItsOutlines) {
  const RealEngine& real = GetParam().engine;
  const double e = 15, R = 105, W = 80;
  const RealLimit limit = realLimit(e, R, W, real);
  ASSERT_TRUE(limit.hasFigures());
  const std::vector<CyclePoint> curve = volumeCurve(e, R, W, real, 1);
  // Each stroke takes 270 degrees of the shaft.
  EXPECT_NEAR(curve[0].volume / limit.figures.deadVolume, 1, 1e-9);
  EXPECT_NEAR(curve[270].volume / (limit.figures.deadVolume + limit.figures.capacity), 1, 1e-9);
  EXPECT_NEAR(curve[810].volume / curve[270].volume, 1, 1e-12);
  const exact::Offsets offsets{real.sealOffset / e, (real.sealOffset - real.clearance) / e};
  for (int n = 0; n < 36; ++n) {
    const CyclePoint& p = curve[static_cast<std::size_t>(n * 30)];
    const double area = shoelaceChamber(R / e, offsets, 2 * p.shaftAngle / 3 * pi / 180);
    const double shoelace = volumeOfArea(area, e, W) + real.recess;
    EXPECT_NEAR(p.volume / shoelace, 1, 2e-6) << p.shaftAngle;
  }
  // The slope is the curve's own: what it adds up to between samples.
  for (std::size_t n = 1; n + 1 < curve.size(); n += 97) {
    EXPECT_NEAR(curve[n].slope, (curve[n + 1].volume - curve[n - 1].volume) / 2,
                1e-4 * limit.figures.capacity / 270)
        << curve[n].shaftAngle;
  }
}

INSTANTIATE_TEST_SUITE_P(Table, RealCurve,
                         ::testing::Values(RealCase{"SealOffset", {2, 0, 0}},
                                           RealCase{"Designer", {2, 0.1, 3}},
                                           RealCase{"DeepClearance", {0.5, 40, 0}},
                                           RealCase{"LargeSeal", {30, 1, 0}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(VolumeCurve, StepsLandOnTheEndOfTheCycle) {
  EXPECT_EQ(volumeCurve(15, 105, 80, RealEngine{}, 0.5).size(), 2161u);
  EXPECT_EQ(volumeCurve(15, 105, 80, RealEngine{}, 7).size(), 155u);  // 0 to 1078
  EXPECT_DOUBLE_EQ(volumeCurve(15, 105, 80, RealEngine{}, 0.1).back().shaftAngle, 1080);
}

}  // namespace
}  // namespace rotary
