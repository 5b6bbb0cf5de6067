// The designer's figures against what no one here wrote: the apex seal's lean in closed form, the
// gears' reach by their definition, the flank's distance as the offsets move it, and the recess
// that no ratio of 1 or below can ask for.
#include "designer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "exact_limit.h"
#include "real_engine.h"
#include "volume_curve.h"

namespace rotary {
namespace {

using std::numbers::pi;

// The lean of the seal ahead of the chamber, from the epitrochoid's own formula: with the apex at
// rotor angle alpha (7 pi / 6 at top dead centre, turning back a third of the shaft's angle),
// sin(lean) = 3 sin(2 alpha) / sqrt(K^2 + 9 + 6 K cos(2 alpha)), positive counter-clockwise from
// the seal's line to the bore's normal.
double leanInClosedForm(double K, double shaftDegrees) {
  const double alpha = 7 * pi / 6 - shaftDegrees / 3 * pi / 180;
  return std::asin(3 * std::sin(2 * alpha) / std::sqrt(K * K + 9 + 6 * K * std::cos(2 * alpha))) *
         180 / pi;
}

class SealLean : public ::testing::TestWithParam<double> {};

TEST_P(SealLean, IsTheEpitrochoidsInSizeAndSignOverTheCycle) {
  const double K = GetParam();
  for (double theta = 0; theta <= 1080; theta += 7.5) {
    EXPECT_NEAR(sealLean(K, theta), leanInClosedForm(K, theta), 1e-9) << "K " << K << ", " << theta;
  }
  // Ahead of top dead centre the seal leans forward, behind bottom dead centre back.
  EXPECT_GT(sealLean(K, 0), 0);
  EXPECT_LT(sealLean(K, 270), 0);
  EXPECT_NEAR(largestSealLean(K), std::asin(3 / K) * 180 / pi, 1e-7);
  // The volume curve carries the same lean, sign and all.
  const auto curve = volumeCurve(15, 15 * K, 80, RealEngine{}, 45);
  for (const CyclePoint& p : curve) EXPECT_EQ(p.sealLean, sealLean(K, p.shaftAngle));
}

INSTANTIATE_TEST_SUITE_P(OverK, SealLean, ::testing::Values(3.2, 5, 7, 11.8, 30));

TEST(Gears, ReachTheirPitchCircleAndTheTeethsRootBeyondIt) {
  // With a module the root lies 1.25 modules beyond the pitch circle, the gear's own standard;
  // without one a quarter of the eccentricity stands for it.
  const DesignerFigures module = designerFigures(15, 105, RealEngine{}, 654.7, 1, 2.5);
  EXPECT_DOUBLE_EQ(module.gearReach, 45 + 1.25 * 2.5);
  ASSERT_TRUE(module.teeth);
  EXPECT_EQ(module.teeth->rotor, 36);
  EXPECT_EQ(module.teeth->stationary, 24);
  const DesignerFigures plain = designerFigures(15, 105, RealEngine{}, 654.7, 1, std::nullopt);
  EXPECT_DOUBLE_EQ(plain.gearReach, 45 + 15.0 / 4);
  EXPECT_DOUBLE_EQ(plain.displacement, 654.7);
  EXPECT_DOUBLE_EQ(designerFigures(15, 105, RealEngine{}, 654.7, 3, std::nullopt).displacement,
                   3 * 654.7);
}

TEST(Gears, FitAgainstTheFlankOfTheRealRotor) {
  // The seal offset moves the flank out by A, the clearance back in by C: the gear must fit the
  // rotor as machined, not the bare flank.
  const double bare = designerFigures(25, 105, RealEngine{}, 1, 1, std::nullopt).flankDistance;
  EXPECT_NEAR(bare, 55, 1e-9);
  for (const RealEngine real :
       {RealEngine{1, 0, 0}, RealEngine{2, 0.1, 0}, RealEngine{0, 0.5, 0}}) {
    const DesignerFigures d = designerFigures(25, 105, real, 1, 1, std::nullopt);
    EXPECT_NEAR(d.flankDistance, bare + real.sealOffset - real.clearance, 1e-9)
        << real.sealOffset << ", " << real.clearance;
  }
  // At e = 25 the gear (75 + 6.25) passes the bare flank (55): it does not fit.
  EXPECT_FALSE(designerFigures(25, 105, RealEngine{}, 1, 1, std::nullopt).gearFits());
  EXPECT_TRUE(designerFigures(15, 105, RealEngine{}, 1, 1, std::nullopt).gearFits());
}

TEST(Recess, NoRatioOfOneOrBelowHasOne) {
  const ExactFigures defaults = exactLimit(15, 105, 80).figures;
  EXPECT_TRUE(recessForRatio(defaults, 9.4));
  for (const double target : {1.0, 0.5, 0.0, -3.0, std::nan("")}) {
    EXPECT_FALSE(recessForRatio(defaults, target)) << target;
  }
}

}  // namespace
}  // namespace rotary
