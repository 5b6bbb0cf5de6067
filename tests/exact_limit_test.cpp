// The shape's exact figures: checked against what is known in closed form (the swept volume,
// the housing area), against a brute-force search over the housing's motion, against an
// independent computation, and against the sweep where it reaches every sample.
#include "exact_limit.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <numbers>

#include "exact_shape.h"
#include "headless.h"
#include "number_text.h"
#include "shape_texts.h"

namespace rotary {
namespace {

using std::numbers::pi;

class ExactShape : public ::testing::TestWithParam<double> {};

// The chambers differ by the swept area 3 sqrt(3) e R whatever the flank, and the housing
// encloses pi (R^2 + 3 e^2): both test the housing arcs, their ends at the apexes and the
// quadrature, including the bulge beyond the apexes below K = 6.
TEST_P(ExactShape, ChambersDifferByTheSweptAreaAndTheHousingHasItsArea) {
  const double K = GetParam();
  const exact::ChamberAreas areas = exact::chamberAreas(K);
  EXPECT_NEAR((areas.bottomDeadCentre - areas.topDeadCentre) / (3 * std::sqrt(3.0) * K), 1, 1e-9);
  EXPECT_NEAR(exact::housingArea(K) / (pi * (K * K + 3)), 1, 1e-12);
  EXPECT_GT(areas.topDeadCentre, 0);

  const ExactLimit limit = exactLimit(1, K, 1000);
  ASSERT_TRUE(limit.hasFigures());
  EXPECT_NEAR(limit.figures.capacity / (3 * std::sqrt(3.0) * K), 1, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(OverK, ExactShape,
                         ::testing::Values(3.1, 3.3, 3.5, 4, 5, 6, 7, 10, 11.8, 15, 20, 30, 50));

// The highest crossing of the housing curve at motion angle a with the vertical through x,
// below the line from the rotor centre to the apex: the part of the housing that faces the
// flank. Found by stepping along the curve, as an independent check of the closed form.
double housingUnderFlank(double K, double a, double x) {
  constexpr int kSteps = 2000;
  double best = -1e300;
  exact::Point before = exact::housingPoint(K, 0, a);
  for (int j = 1; j <= kSteps; ++j) {
    const exact::Point p = exact::housingPoint(K, 2 * pi * j / kSteps, a);
    if ((before.x < x) != (p.x < x)) {
      const double y = before.y + (p.y - before.y) * (x - before.x) / (p.x - before.x);
      if (y < -x / std::sqrt(3.0)) best = std::max(best, y);
    }
    before = p;
  }
  return best;
}

// The flank is the largest that clears the housing: no housing position reaches above it, and
// at its contact angle the housing touches it.
class ExactFlank : public ::testing::TestWithParam<double> {};

TEST_P(ExactFlank, ClearsTheHousingAtEveryAngleAndTouchesIt) {
  const double K = GetParam();
  const double tolerance = 1e-4 * K;  // the chord error of the stepped housing
  for (const double share : {0.1, 0.5, 0.9}) {
    const double r = exact::kFlankMiddle + share * (exact::kRightApex - exact::kFlankMiddle);
    const exact::Point flank = exact::flankPoint(K, r);
    double highest = -1e300;
    for (int n = 0; n < 240; ++n) {
      highest = std::max(highest, housingUnderFlank(K, 2 * pi * n / 240, flank.x));
    }
    EXPECT_LE(highest, flank.y + tolerance) << "K " << K << ", r " << r;
    EXPECT_NEAR(housingUnderFlank(K, exact::contactAngle(K, r), flank.x), flank.y, tolerance);
  }
}

// Below 2 sqrt(3) the housing touches the flank beyond the quarter turn of the sweep.
INSTANTIATE_TEST_SUITE_P(OverK, ExactFlank, ::testing::Values(3.1, 3.3, 3.5, 5, 7, 11.8, 20));

TEST(ExactLimit, DefaultsMatchAnIndependentComputation) {
  const ExactLimit limit = exactLimit(15, 105, 80);
  ASSERT_TRUE(limit.hasFigures());
  EXPECT_NEAR(limit.figures.capacity, 654.715205, 5e-7);
  EXPECT_NEAR(limit.figures.deadVolume, 37.8761046, 5e-8);
  EXPECT_NEAR(limit.figures.ratio, 18.2857059, 5e-8);
  EXPECT_EQ(exactFiguresText(limit.figures), "654.715 / 37.8761 / 18.2857");
}

// In units of e the shape is K alone: the ratio stays at any scale the lengths can take, and
// the volumes go with the square of the scale.
TEST(ExactLimit, RatioDependsOnKAloneAtEveryScale) {
  const ExactLimit base = exactLimit(15, 105, 80);
  for (const double scale : {1e-150, 1e-100, 1e-10, 1e10, 1e100, 1e150}) {
    const ExactLimit scaled = exactLimit(15 * scale, 105 * scale, 80);
    ASSERT_TRUE(scaled.hasFigures()) << scale;
    EXPECT_NEAR(scaled.figures.ratio / base.figures.ratio, 1, 1e-13) << scale;
    EXPECT_NEAR(scaled.figures.capacity / (scale * scale) / base.figures.capacity, 1, 1e-13);
  }
}

struct NoFiguresCase {
  const char* name;
  double e, R, W;
  ExactStatus status;
};

class NoExactFigures : public ::testing::TestWithParam<NoFiguresCase> {};

TEST_P(NoExactFigures, SayWhy) {
  const NoFiguresCase& c = GetParam();
  const ExactLimit limit = exactLimit(c.e, c.R, c.W);
  EXPECT_EQ(limit.status, c.status);
  EXPECT_FALSE(whyNoExactFigures(limit.status).empty());
}

INSTANTIATE_TEST_SUITE_P(
    Table, NoExactFigures,
    ::testing::Values(
        NoFiguresCase{"ZeroE", 0, 105, 80, ExactStatus::kNoEccentricity},
        NoFiguresCase{"AtTheRotorLimit", 35, 105, 80, ExactStatus::kBeyondRotorLimit},
        NoFiguresCase{"BeyondTheRadius", 200, 105, 80, ExactStatus::kBeyondRotorLimit},
        NoFiguresCase{"ZeroW", 15, 105, 0, ExactStatus::kNoWidth},
        NoFiguresCase{"HugeK", 1e-5, 105, 80, ExactStatus::kBeyondPrecision},
        NoFiguresCase{"Tiny", 1.5e-161, 1.05e-160, 80, ExactStatus::kLengthsTooSmall},
        NoFiguresCase{"TinyBeyondTheLimit", 1.5e-161, 3e-161, 80, ExactStatus::kLengthsTooSmall},
        NoFiguresCase{"Huge", 1e200, 1e201, 80, ExactStatus::kLengthsTooLarge},
        // The chamber's area below the ordinary doubles, though a huge width lifts the volumes
        // back among them: the area itself is past computing with.
        NoFiguresCase{"DeadAreaSubnormal", 1e-160, 1e-159, 1e20, ExactStatus::kLengthsTooSmall},
        // Below K = 3 the chambers would be hundredths of the larger length squared: 4e-310
        // here, below the ordinary doubles, though the length squared itself (4e-308) is not.
        NoFiguresCase{"ProbeBelowTheLimit", 1e-154, 2e-154, 1000, ExactStatus::kLengthsTooSmall},
        NoFiguresCase{"ProbeAboveTheLimit", 1e-153, 2e-153, 1000, ExactStatus::kBeyondRotorLimit}),
    [](const auto& info) { return std::string(info.param.name); });

// Just above K = 3 the contact angle turns within a sliver before the apex; there the flank's
// integral is split to its scale. The figures agree with those of twenty halvings of every piece,
// which took half a second an engine, to 1e-12.
TEST(ExactLimit, JustAboveTheRotorLimitAgreesWithTheFullySubdividedRule) {
  struct Reference {
    double K, deadVolume, ratio;
  };
  for (const Reference& r : {Reference{3.0000003, 0.21421973814413761, 6.8214836642091159},
                             Reference{3.000001, 0.21421970993802092, 6.8214857890648712},
                             Reference{3.001, 0.21417948317948718, 6.8245180870008149},
                             Reference{3.01, 0.21381944327923436, 6.851822847343815},
                             Reference{3.2, 0.20700908307461197, 7.4258775530803742}}) {
    const ExactLimit limit = exactLimit(1, r.K, 80);
    ASSERT_TRUE(limit.hasFigures()) << r.K;
    EXPECT_NEAR(limit.figures.deadVolume / r.deadVolume, 1, 1e-12) << r.K;
    EXPECT_NEAR(limit.figures.ratio / r.ratio, 1, 1e-12) << r.K;
  }
  // Closer still, the figures go on to the limit smoothly: 6.82148 at K = 3.
  for (const double above : {1e-10, 1e-12, 1e-15}) {
    const ExactLimit limit = exactLimit(1, 3 + above, 1000);
    ASSERT_TRUE(limit.hasFigures()) << above;
    EXPECT_NEAR(limit.figures.ratio, 6.8214827535, 1e-9) << above;
  }
}

// The window's sweep checks the flags for faults of its own; the exact computation beside it,
// even one that overflows, must not raise them.
TEST(ExactLimit, LeavesTheFloatingPointFlagsAsItFoundThem) {
  std::feclearexcept(FE_ALL_EXCEPT);
  exactLimit(1e200, 1e201, 80);
  exactLimit(15, 105, 80);
  EXPECT_EQ(std::fetestexcept(FE_OVERFLOW | FE_INVALID | FE_DIVBYZERO | FE_UNDERFLOW), 0);
}

// At N = 20,000 the sweep comes within a few tenths of a percent of the shape.
TEST(ExactLimit, AgreesWithTheSweepAtTwentyThousandSteps) {
  for (const auto& [e, R, W] : {std::tuple{"15", "105", "80"}, std::tuple{"10", "100", "60"}}) {
    const HeadlessResult sweep = computeHeadless(e, R, W, 20000, nullptr, 20000);
    ASSERT_TRUE(sweep.figures && sweep.exact && sweep.exact->hasFigures()) << sweep.message;
    const ExactFigures& x = sweep.exact->figures;
    EXPECT_NEAR(sweep.figures->capacity / x.capacity, 1, 0.003) << e;
    EXPECT_NEAR(sweep.figures->deadVolume / x.deadVolume, 1, 0.003) << e;
    EXPECT_NEAR(sweep.figures->ratio / x.ratio, 1, 0.003) << e;
  }
}

}  // namespace
}  // namespace rotary
