// The real engine: checked against what is known in closed form (the parallel curve's area, the
// swept volume with the seal offset through elliptic integrals), against the bare shape, and as a
// machinist would measure its outlines.
#include "real_engine.h"

#include <gtest/gtest.h>

#include <boost/math/quadrature/gauss_kronrod.hpp>
#include <boost/math/special_functions/ellint_2.hpp>
#include <cfenv>
#include <cmath>
#include <numbers>
#include <sstream>

#include "command_line.h"
#include "exact_shape.h"
#include "real_outline.h"
#include "real_shape.h"
#include "shape_texts.h"

namespace rotary {
namespace {

using std::numbers::pi;

struct Shape {
  double e, R;
};

class RealEngineShapes : public ::testing::TestWithParam<Shape> {};

// Without offset, clearance or recess the real engine is the bare shape, to the last bit.
TEST_P(RealEngineShapes, WithoutOffsetsIsTheBareShape) {
  const auto [e, R] = GetParam();
  const ExactLimit bare = exactLimit(e, R, 80);
  const RealLimit real = realLimit(e, R, 80, RealEngine{});
  ASSERT_TRUE(real.hasFigures());
  EXPECT_EQ(real.figures.capacity, bare.figures.capacity);
  EXPECT_EQ(real.figures.deadVolume, bare.figures.deadVolume);
  EXPECT_EQ(real.figures.ratio, bare.figures.ratio);
}

// The bore is the trochoid's parallel curve: its area is the trochoid's, pi (R^2 + 3 e^2), plus
// A times the trochoid's length plus pi A^2.
TEST_P(RealEngineShapes, BoreEnclosesTheParallelCurvesArea) {
  const auto [e, R] = GetParam();
  const double K = R / e;
  for (const double A : {0.5, 2.0, 0.5 * std::min(exact::largestSealOffset(K) * e, 10.0)}) {
    const double area = exact::boreArea(K, A / e) * e * e;
    const double expected =
        pi * (R * R + 3 * e * e) + A * exact::housingPerimeter(K) * e + pi * A * A;
    EXPECT_NEAR(area / expected, 1, 1e-6) << "A = " << A;
  }
}

// The swept volume grows by A times the difference of the arc lengths that the flank's two
// apexes travel from top to bottom dead centre: 2 (R + 3e) [E(pi/6|m) + E(pi/3|m) - E(m)],
// m = 12 e R / (R + 3e)^2. The clearance changes nothing of it.
TEST_P(RealEngineShapes, CapacityGrowsWithTheSealOffsetAsTheArcLengthsSay) {
  const auto [e, R] = GetParam();
  const double k = std::sqrt(12 * e * R / ((R + 3 * e) * (R + 3 * e)));
  using boost::math::ellint_2;
  const double dL = 2 * (R + 3 * e) * (ellint_2(k, pi / 6) + ellint_2(k, pi / 3) - ellint_2(k));
  for (const double A : {0.0, 1.0, 2.0, 3.0}) {
    for (const double C : {0.0, 0.1}) {
      const RealLimit real = realLimit(e, R, 80, RealEngine{A, C, 0});
      ASSERT_TRUE(real.hasFigures()) << A << " " << C;
      EXPECT_NEAR(real.figures.capacity / ((3 * std::sqrt(3.0) * e * R + A * dL) * 80 / 1000), 1,
                  1e-9)
          << "A = " << A << ", C = " << C;
    }
  }
}

// What the derivation gives: the clearance and the recess take ratio away; the seal offset adds a
// little, as it adds more to the capacity than to the dead volume.
TEST_P(RealEngineShapes, RatioFallsWithClearanceAndRecessAndRisesWithTheSealOffset) {
  const double e = GetParam().e, R = GetParam().R;
  const auto ratio = [&](double A, double C, double V) {
    return realLimit(e, R, 80, RealEngine{A, C, V}).figures.ratio;
  };
  EXPECT_LT(ratio(0, 0.1, 0), ratio(0, 0, 0));
  EXPECT_LT(ratio(0, 0.2, 0), ratio(0, 0.1, 0));
  EXPECT_LT(ratio(0, 0, 1), ratio(0, 0, 0));
  EXPECT_LT(ratio(2, 0.1, 5), ratio(2, 0.1, 0));
  EXPECT_GT(ratio(1, 0, 0), ratio(0, 0, 0));
  EXPECT_GT(ratio(2, 0, 0), ratio(1, 0, 0));
  EXPECT_LT(ratio(2, 0, 0) / ratio(0, 0, 0), 1.01);  // hardly moves
}

// The machinist's check: the rotor stands the clearance off the bore where it comes closest.
TEST_P(RealEngineShapes, RotorStandsTheClearanceOffTheBore) {
  const auto [e, R] = GetParam();
  for (const auto& [A, C] : {std::pair{0.0, 0.1}, std::pair{2.0, 0.1}, std::pair{1.0, 0.25}}) {
    const RealOutlines o = realOutlines(e, R, RealEngine{A, C, 0}, 0.0005);
    EXPECT_NEAR(smallestDistance(o.rotor, o.bore), C, 0.001) << "A = " << A << ", C = " << C;
    EXPECT_LT(smallestDistance(o.rotorLimit, o.bore), 0.001);
  }
}

INSTANTIATE_TEST_SUITE_P(Shapes, RealEngineShapes,
                         ::testing::Values(Shape{15, 105}, Shape{10, 100}, Shape{21, 105},
                                           Shape{7, 105}));

TEST(RealEngine, DefaultsWithASealOffsetMatchAnIndependentComputation) {
  const RealLimit real = realLimit(15, 105, 80, RealEngine{2, 0, 0});
  EXPECT_NEAR(real.figures.capacity, 666.888721, 5e-7);
}

TEST(RealEngine, TargetRatioGivesTheRecessThatGivesItBack) {
  for (const double target : {9.4, 12.0, 17.0}) {
    const RealLimit plain = realLimit(15, 105, 80, RealEngine{2, 0.1, 0});
    const auto recess = recessForRatio(plain.withoutRecess, target);
    ASSERT_TRUE(recess.has_value()) << target;
    const RealLimit withRecess = realLimit(15, 105, 80, RealEngine{2, 0.1, *recess});
    EXPECT_NEAR(withRecess.figures.ratio, target, 0.01);
  }
  const RealLimit plain = realLimit(15, 105, 80, RealEngine{2, 0.1, 0});
  EXPECT_FALSE(recessForRatio(plain.withoutRecess, 18).has_value());  // above its 17.66
}

TEST(RealEngine, RefusesABoreWithCuspsAndAClearanceThatLeavesNoFlank) {
  // (R - 3e)^2 / (9e - R) = 120 for the defaults.
  EXPECT_EQ(realLimit(15, 105, 80, RealEngine{119.9, 0, 0}).status, RealStatus::kFigures);
  EXPECT_EQ(realLimit(15, 105, 80, RealEngine{120, 0, 0}).status, RealStatus::kSealOffsetTooLarge);
  EXPECT_NEAR(realLimit(15, 105, 80, RealEngine{120, 0, 0}).largestSealOffset, 120, 1e-9);
  // From K = 9 the trochoid bends inwards nowhere.
  EXPECT_EQ(realLimit(10, 100, 80, RealEngine{500, 0, 0}).status, RealStatus::kFigures);
  EXPECT_EQ(realLimit(15, 105, 80, RealEngine{0, 80, 0}).status, RealStatus::kNoFlankLeft);
  EXPECT_EQ(realLimit(35, 105, 80, RealEngine{1, 0, 0}).status, RealStatus::kNoShape);
}

// Moved in to within a hair of the rotor centre the flank is a sliver, and its integral rounds
// worse than its doubles: the figures still come, the same as twenty halvings of every piece gave
// them in 25 s, and a clearance past the edge names the edge.
TEST(RealEngine, ClearanceAtTheEdgeGivesFiguresAndBeyondItNamesTheEdge) {
  for (const auto& [clearance, deadVolume] :
       {std::pair{75.95, 676.84711804858296}, std::pair{76.0, 676.85445889209791},
        std::pair{76.9, 676.8685439668277}}) {
    const RealLimit real = realLimit(15, 105, 80, RealEngine{2, clearance, 0});
    ASSERT_EQ(real.status, RealStatus::kFigures) << clearance;
    EXPECT_NEAR(real.figures.deadVolume / deadVolume, 1, 1e-12) << clearance;
  }
  EXPECT_EQ(realLimit(15, 105, 80, RealEngine{2, 76.99999, 0}).status, RealStatus::kFigures);
  for (const double beyond : {77.0, 80.0, 1e6}) {
    const RealLimit real = realLimit(15, 105, 80, RealEngine{2, beyond, 0});
    ASSERT_EQ(real.status, RealStatus::kNoFlankLeft) << beyond;
    EXPECT_NEAR(real.largestClearance, 77, 1e-6) << beyond;
    EXPECT_EQ(realLimit(15, 105, 80, RealEngine{2, real.largestClearance, 0}).status,
              RealStatus::kFigures);
    EXPECT_NE(whyNoRealFigures(real, RealEngine{2, beyond, 0}).find("it must stay below 77."),
              std::string::npos);
  }
}

// The window's cycle reads the flags for faults of its own; a real engine beside it, even one
// refused, must leave them as it found them.
TEST(RealEngine, LeavesTheFloatingPointFlagsAsItFoundThem) {
  // A seal offset or clearance of 1e-300 underflows in the curves' offsets.
  for (const RealEngine& real :
       {RealEngine{2, 0.1, 3}, RealEngine{2, 77, 0}, RealEngine{0, 1e-300, 0},
        RealEngine{1e-300, 0.1, 0}, RealEngine{1e-300, 77, 0}, RealEngine{200, 0, 0}}) {
    std::feclearexcept(FE_ALL_EXCEPT);
    realLimit(15, 105, 80, real);
    EXPECT_EQ(std::fetestexcept(FE_OVERFLOW | FE_INVALID | FE_DIVBYZERO | FE_UNDERFLOW), 0)
        << real.sealOffset << " " << real.clearance;
  }
}

struct CompanionCase {
  const char* name;
  std::vector<std::string> args;
  int status;
  const char* said;  // on standard output, or on standard error when the status is not 0
};

void PrintTo(const CompanionCase& c, std::ostream* os) {
  *os << c.name;
}

class RealEngineCompanion : public ::testing::TestWithParam<CompanionCase> {};

TEST_P(RealEngineCompanion, PrintsTheRealEngineOrSaysWhyNot) {
  const CompanionCase& c = GetParam();
  std::ostringstream out, err;
  EXPECT_EQ(runCommandLine(c.args, out, err), c.status) << err.str();
  const std::string said = c.status == kExitOk ? out.str() : err.str();
  EXPECT_NE(said.find(c.said), std::string::npos) << said;
}

INSTANTIATE_TEST_SUITE_P(
    Table, RealEngineCompanion,
    ::testing::Values(
        CompanionCase{"Figures",
                      {"--seal-offset", "2", "--clearance", "0.1"},
                      kExitOk,
                      "closed where the apex seals' rounded tips touch the bore"},
        CompanionCase{"Capacity", {"--seal-offset", "2"}, kExitOk, "chamber capacity: 666.889\n"},
        CompanionCase{"Target",
                      {"--seal-offset", "2", "--clearance", "0.1", "--target-ratio", "9.4"},
                      kExitOk,
                      "recess for ratio 9.4: 39.3529\n"},
        CompanionCase{"TargetAboveTheLimit",
                      {"--target-ratio", "30"},
                      kExitComputationFailed,
                      "ratio 30 is above the limit of this engine, 18.2857"},
        CompanionCase{
            "SealOffsetTooLarge", {"--seal-offset", "130"}, kExitBadUsage, "must stay below 120"},
        CompanionCase{
            "ClearanceTooLarge", {"--clearance", "80"}, kExitBadUsage, "leaves no rotor flank"},
        CompanionCase{"NegativeClearance",
                      {"--clearance", "-1"},
                      kExitBadUsage,
                      "--clearance: \"-1\" is negative"},
        CompanionCase{
            "TargetNotAboveOne", {"--target-ratio", "1"}, kExitBadUsage, "not a ratio above 1"},
        CompanionCase{
            "Columns",
            {"--seal-offset", "0:2:2", "--format", "csv"},
            kExitOk,
            "seal_offset,clearance,recess,real_chamber_capacity,real_dead_volume,"
            "real_compression_ratio,target_ratio,target_recess,rotors,displacement,"
            "largest_seal_lean_deg,housing_major_axis,housing_minor_axis,"
            "rotor_gear_radius,stationary_gear_radius,surface_to_volume_tdc,otto_efficiency,"
            "note\n"},
        CompanionCase{"StudyRow",
                      {"--seal-offset", "0:2:2", "--format", "csv"},
                      kExitOk,
                      ",2,0,0,666.888721,38.498673,18.322382,,,1,666.888721,25.3769335,244,184,"
                      "45,30,0.835745416,0.687530792,\n"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace rotary

namespace rotary {
namespace {

// Why the flank's shape is all that bounds the clearance: a seal offset moves the bore out and a
// clearance the flank in, and the chamber at top dead centre stays larger than the bare shape's
// up to the clearance at which the flank stops being one (it shrinks a little just before, as the
// flank's ends close in, but nowhere near nothing). So no real engine whose flank holds lacks a
// dead volume, and the clearance's edge is the flank's.
TEST(RealEngine, OffsetsLeaveTheChamberAtTopDeadCentreLargerThanTheBareShapes) {
  for (const double K : {3.05, 3.2, 4.0, 7.0, 11.8, 50.0}) {
    const double bare = exact::chamberAreas(K).topDeadCentre;
    ASSERT_GT(bare, 0) << K;
    for (const double A : {0.0, 0.01, 0.5, 2.0}) {
      if (!(A < exact::largestSealOffset(K))) continue;
      int tried = 0;
      for (double C = 0;; C += 0.05) {
        if (!exact::flankHolds(K, A - C)) break;
        const double tdc = exact::realChamberAreas(K, exact::Offsets{A, A - C}).topDeadCentre;
        EXPECT_GE(tdc, bare * (1 - 1e-12)) << "K " << K << ", A " << A << ", C " << C;
        ++tried;
      }
      EXPECT_GT(tried, 5) << "K " << K << ", A " << A;
    }
  }
}

}  // namespace
}  // namespace rotary

namespace rotary {
namespace {

// The flank folds where a clearance moves it in past its radius of curvature. The curvature is
// largest at the flank's middle or at its apex, never between, so the check of the flank's
// samples finds the edge at its ends; the edge is K - 2 eccentricities from K = 3.5 up.
TEST(RealEngine, TheFlanksCurvatureIsLargestAtItsEnds) {
  for (const double K : {3.01, 3.05, 3.2, 3.5, 4.0, 7.0, 11.8, 50.0}) {
    const double ends = std::max(exact::flankCurvature(K, exact::kFlankMiddle),
                                 exact::flankCurvature(K, exact::kRightApex));
    for (int n = 1; n < 2000; ++n) {
      const double r = exact::kFlankMiddle + (exact::kRightApex - exact::kFlankMiddle) * n / 2000;
      EXPECT_LE(exact::flankCurvature(K, r), ends * (1 + 1e-12)) << "K " << K << ", r " << r;
    }
    if (K >= 3.5) {
      EXPECT_TRUE(exact::flankHolds(K, -(K - 2) * (1 - 1e-9))) << K;
      EXPECT_FALSE(exact::flankHolds(K, -(K - 2) * (1 + 1e-9))) << K;
    }
  }
}

// The bore's length in closed form against its speed integrated on its own: the parallel curve
// of the trochoid a distance A out runs at |P'| + A x the turn of its tangent, both from the
// housing's own points, over short arcs, arcs through the waist and whole turns, at any motion
// angle, for K near 3 and far from it.
TEST(BoreArc, IsTheParallelCurvesLengthByQuadrature) {
  const auto speed = [](double K, double a, double A, double r) {
    const double h = 1e-5;
    const auto point = [&](double t) { return exact::borePoint(K, t, a, A); };
    const exact::Point p = point(r + h), q = point(r - h);
    return std::hypot(p.x - q.x, p.y - q.y) / (2 * h);
  };
  for (const double K : {3.2, 7.0, 20.0}) {
    for (const double a : {0.0, 1.0, -2.5}) {
      // Up to nine tenths of the largest seal offset, beyond which the bore has cusps.
      for (const double share : {0.0, 0.5, 0.9}) {
        const double A = share * std::min(exact::largestSealOffset(K), 0.25);
        for (const auto& [from, to] :
             {std::pair{0.3, 0.9}, std::pair{7 * std::numbers::pi / 6, 11 * std::numbers::pi / 6},
              std::pair{-1.0, 5.5}, std::pair{0.0, 2 * std::numbers::pi}}) {
          const double byQuadrature = boost::math::quadrature::gauss_kronrod<double, 61>::integrate(
              [&](double r) { return speed(K, a, A, r); }, from, to, 12, 1e-10);
          EXPECT_NEAR(exact::boreArc(K, a, A, from, to), byQuadrature, 1e-7 * byQuadrature)
              << K << " " << a << " " << A << " " << from << ".." << to;
        }
      }
    }
  }
  // A whole turn of the bare trochoid is its perimeter; the parallel curve adds 2 pi A.
  EXPECT_NEAR(exact::boreArc(7, 0.4, 0.2, 0, 2 * std::numbers::pi),
              exact::housingPerimeter(7) + 2 * std::numbers::pi * 0.2, 1e-12);
}

// A drawing's outlines scale with the engine: the defaults scaled by 10^8 are drawn with the
// defaults' points (a fixed 0.002 of the unit gave them millions, and the window seconds).
TEST(DrawingChordError, DrawsAnEngineOfAnySizeWithTheSamePoints) {
  const RealOutlines defaults = realOutlines(15, 105, RealEngine{}, drawingChordError(105));
  const RealOutlines huge = realOutlines(1.5e9, 1.05e10, RealEngine{}, drawingChordError(1.05e10));
  EXPECT_EQ(drawingChordError(105), 0.002);
  EXPECT_LE(huge.bore.size(), defaults.bore.size() * 2);
  EXPECT_LE(huge.rotor.size(), defaults.rotor.size() * 2);
}

}  // namespace
}  // namespace rotary
