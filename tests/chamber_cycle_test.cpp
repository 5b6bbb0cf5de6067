// The chamber and its seal over the cycle against what they must be: the bare shape's seal speed
// and inertia against the epitrochoid's kinematics in closed form, the seal's speed with an offset
// against the difference quotient of its point of contact's path, the torque against the
// sinusoid's derivative and, for the real engine, against the volume it adds up to over a stroke;
// S/V at top dead centre against the chamber's measured outline; every figure in another unit.
#include "chamber_cycle.h"

#include <gtest/gtest.h>

#include <boost/math/quadrature/gauss_kronrod.hpp>
#include <cmath>
#include <complex>
#include <numbers>

#include "exact_limit.h"
#include "volume_curve.h"

namespace rotary {
namespace {

using std::numbers::pi;
constexpr double kDegree = pi / 180;

// The leading seal's apex seen from the rotor centre, in the housing's frame: the rotor turns a
// third of the shaft's angle the other way, from 7 pi / 6 at top dead centre.
double apexAngle(double shaftAngle) {
  return 7 * pi / 6 - shaftAngle * kDegree / 3;
}

class BareSeal : public ::testing::TestWithParam<double> {};

TEST_P(BareSeal, MovesAsTheEpitrochoidsKinematicsSay) {
  const double e = 15, R = 15 * GetParam();
  for (int n = 0; n <= 1080; ++n) {
    const double beta = apexAngle(n);
    const SealMotion seal = sealMotion(e, R, 0, n);
    // The apex is at e e^(3 i beta) + R e^(i beta); per radian of the shaft beta turns by -1/3.
    const double speed = std::sqrt(R * R / 9 + e * e + 2 * e * R / 3 * std::cos(2 * beta));
    EXPECT_NEAR(seal.speed / speed, 1, 1e-9) << n;
    const double inertia = R / 9 + e * std::cos(2 * beta);
    EXPECT_NEAR(seal.inertia, inertia, 1e-9 * (R / 9 + e)) << n;
  }
}

INSTANTIATE_TEST_SUITE_P(OverK, BareSeal, ::testing::Values(3.5, 7, 9, 12));

// The point where a seal of tip radius A touches the bore, in the housing's frame, built here
// from the trochoid alone: the apex, and A along the trochoid's outward normal there.
std::complex<double> contactPoint(double e, double R, double A, double shaftAngle) {
  const std::complex<double> i(0, 1);
  const double beta = apexAngle(shaftAngle);
  const std::complex<double> apex = e * std::exp(3.0 * i * beta) + R * std::exp(i * beta);
  const std::complex<double> tangent =
      i * (3 * e * std::exp(3.0 * i * beta) + R * std::exp(i * beta));
  return apex - i * tangent / std::abs(tangent) * A;
}

TEST(SealWithOffset, ItsPointOfContactTravelsAlongTheBore) {
  const double e = 15, R = 105, h = 1e-4;  // degrees of the shaft
  for (const double A : {0.5, 2.0, 5.0}) {
    for (int n = 0; n < 1080; n += 7) {
      const double path =
          std::abs(contactPoint(e, R, A, n + h) - contactPoint(e, R, A, n - h)) / (2 * h * kDegree);
      EXPECT_NEAR(sealMotion(e, R, A, n).contactSpeed / path, 1, 1e-6) << A << " at " << n;
    }
  }
}

// The tip's material at the point of contact is carried by the rotor: the apex moves, and the
// rotor turns a third of the shaft's angle the other way round the apex. Where that point is a
// moment later is where the material went; the seal wears at that speed.
TEST(SealWithOffset, ItsTipSlidesAtTheSpeedOfTheMaterialAtTheContact) {
  const double e = 15, R = 105, h = 1e-4;  // degrees of the shaft
  const std::complex<double> i(0, 1);
  const auto apex = [&](double shaftAngle) {
    const double beta = apexAngle(shaftAngle);
    return e * std::exp(3.0 * i * beta) + R * std::exp(i * beta);
  };
  for (const double A : {0.0, 2.0, 5.0}) {
    for (int n = 0; n < 1080; n += 7) {
      const std::complex<double> arm = contactPoint(e, R, A, n) - apex(n);
      // The rotor's own turn over h degrees of the shaft, as its apex's angle beta turns.
      const auto carried = [&](double d) {
        return apex(n + d) + arm * std::exp(i * (apexAngle(n + d) - apexAngle(n)));
      };
      const double sliding = std::abs(carried(h) - carried(-h)) / (2 * h * kDegree);
      EXPECT_NEAR(sealMotion(e, R, A, n).speed / sliding, 1, 1e-6) << A << " at " << n;
    }
  }
}

// At 9000 rpm with A = 2 on the defaults: the tip slides 19.478 to 47.752 m/s, where the point of
// contact travels 18.535 to 48.129 m/s; on the mean both cover the same bore, 35.148 m/s.
TEST(SealWithOffset, SlidesFasterThanTheContactAtTheWaistAndSlowerAtTheEnds) {
  const double e = 15, R = 105, A = 2, rpm = 9000, omega = rpm * 2 * pi / 60;
  const SealFigures f = sealFigures(e, R, A, rpm, 0.001);
  EXPECT_NEAR(f.leastSpeed, omega * (R / 3 - e + A / 3) / 1000, 1e-12);
  EXPECT_NEAR(f.largestSpeed, omega * (R / 3 + e + A / 3) / 1000, 1e-12);
  EXPECT_NEAR(f.leastSpeed, 19.478, 5e-4);
  EXPECT_NEAR(f.largestSpeed, 47.752, 5e-4);
  EXPECT_NEAR(f.meanSpeed, 35.148, 5e-4);
  double least = INFINITY, largest = 0, contact = 0, sliding = 0;
  constexpr int kSteps = 54000;  // over 540 degrees, the midpoint rule on a periodic integrand
  for (int n = 0; n < kSteps; ++n) {
    const SealMotion m = sealMotion(e, R, A, (n + 0.5) * 540.0 / kSteps);
    least = std::min(least, m.contactSpeed), largest = std::max(largest, m.contactSpeed);
    contact += m.contactSpeed / kSteps, sliding += m.speed / kSteps;
  }
  const double toMetres = omega / 1000;
  EXPECT_NEAR(least * toMetres, 18.535, 5e-4);
  EXPECT_NEAR(largest * toMetres, 48.129, 5e-4);
  EXPECT_NEAR(contact * toMetres / f.meanSpeed, 1, 1e-12);
  EXPECT_NEAR(sliding * toMetres / f.meanSpeed, 1, 1e-12);
}

TEST(SealFigures, SpeedsAndInertiaAtTheirExtremes) {
  const double e = 15, R = 105, rpm = 7000, omega = rpm * 2 * pi / 60;
  const SealFigures f = sealFigures(e, R, 0, rpm, 0.001);
  EXPECT_NEAR(f.leastSpeed, omega * (R / 3 - e) / 1000, 1e-9);
  EXPECT_NEAR(f.largestSpeed, omega * (R / 3 + e) / 1000, 1e-9);
  // N per gram: omega^2 in 1/s^2, metres, and a thousandth of a kilogram.
  EXPECT_NEAR(f.leastInertia, omega * omega * (R / 9 - e) / 1000 / 1000, 1e-9);
  EXPECT_NEAR(f.largestInertia, omega * omega * (R / 9 + e) / 1000 / 1000, 1e-9);
  EXPECT_LT(f.leastSpeed, f.meanSpeed);
  EXPECT_LT(f.meanSpeed, f.largestSpeed);
  // The same engine in centimetres, and in inches, gives the same SI figures.
  for (const auto& [scale, metres] : {std::pair{0.1, 0.01}, std::pair{1 / 25.4, 0.0254}}) {
    const SealFigures g = sealFigures(e * scale, R * scale, 0, rpm, metres);
    EXPECT_NEAR(g.meanSpeed / f.meanSpeed, 1, 1e-12);
    EXPECT_NEAR(g.leastInertia / f.leastInertia, 1, 1e-12);
  }
}

// R / 9 + e cos 2 beta < 0 where cos 2 beta < -R / (9 e): a stretch of arccos(R / (9 e)) either
// side of the apex angle's 2 beta = pi, every 540 degrees of the shaft.
TEST(SealFigures, DrawnInWhereTheClosedFormSays) {
  for (const double K : {4.0, 7.0, 8.5}) {
    const double e = 10, R = K * e;
    const SealFigures f = sealFigures(e, R, 0, 6000, 0.001);
    ASSERT_TRUE(f.drawnIn) << K;
    const double half = std::acos(K / 9) / kDegree * 1.5;  // in shaft degrees
    // 2 beta = pi at shaft angle 360 - 540 k.
    EXPECT_NEAR(f.drawnIn->first, 360 - half, 1e-6) << K;
    EXPECT_NEAR(f.drawnIn->second, 360 + half, 1e-6) << K;
    EXPECT_LT(sealMotion(e, R, 0, 360).inertia, 0);
    EXPECT_GT(sealMotion(e, R, 0, f.drawnIn->second + 0.01).inertia, 0);
  }
  EXPECT_FALSE(sealFigures(10, 95, 0, 6000, 0.001).drawnIn);
}

class BareTorque : public ::testing::TestWithParam<double> {};

// dV / dtheta = sqrt(3) e R W sin(2 theta / 3) for the bare shape, in m^3 per radian times 1e5.
TEST_P(BareTorque, IsTheSinusoidsDerivative) {
  const double e = 15, R = 15 * GetParam(), W = 80;
  const double peak = std::sqrt(3) * e * R * W * 1e-9 * 1e5;
  const std::vector<CyclePoint> curve = volumeCurve(e, R, W, RealEngine{}, 1);
  ASSERT_EQ(curve.size(), 1081u);
  for (const CyclePoint& p : curve) {
    EXPECT_NEAR(p.torquePerBar, peak * std::sin(2 * p.shaftAngle / 3 * kDegree), 1e-9 * peak)
        << p.shaftAngle;
  }
}

INSTANTIATE_TEST_SUITE_P(OverK, BareTorque, ::testing::Values(3.2, 5, 7, 20));

TEST(Torque, DefaultsPeakAt21point8NewtonMetresPerBarInEveryUnit) {
  // mm give cm^3, cm give cm^3, m give m^3: the torque is the same.
  const struct {
    double scale, divisor, metres;
  } units[] = {{1, 1000, 0.001}, {0.1, 1, 0.01}, {0.001, 1, 1}, {1 / 25.4, 1, 0.0254}};
  for (const auto& unit : units) {
    ChamberSettings settings;
    settings.metresPerUnit = unit.metres;
    const auto curve = volumeCurve(15 * unit.scale, 105 * unit.scale, 80 * unit.scale, RealEngine{},
                                   135, unit.divisor, settings);
    EXPECT_NEAR(curve[1].torquePerBar, 21.8238, 1e-4) << unit.metres;  // at 135 degrees
  }
}

struct RealCase {
  const char* name;
  RealEngine engine;
};

class RealTorque : public ::testing::TestWithParam<RealCase> {};

// The exact slope, integrated over each stroke, adds up to the stroke's change of volume.
TEST_P(RealTorque, AddsUpToEachStrokesVolume) {
  const ChamberCycle chamber(15, 105, 80, GetParam().engine, 1000);
  for (const double from : {0.0, 270.0, 135.0}) {
    const double to = from + 270;
    const double added = boost::math::quadrature::gauss_kronrod<double, 61>::integrate(
        [&](double theta) { return chamber.slope(theta); }, from, to, 15, 1e-14);
    const double change = chamber.volume(to) - chamber.volume(from);
    EXPECT_NEAR(added, change, 1e-9 * std::abs(chamber.volume(270) - chamber.volume(0))) << from;
  }
}

INSTANTIATE_TEST_SUITE_P(Table, RealTorque,
                         ::testing::Values(RealCase{"Bare", {0, 0, 0}},
                                           RealCase{"Designer", {2, 0.1, 3}},
                                           RealCase{"DeepClearance", {0.5, 40, 0}},
                                           RealCase{"LargeSeal", {30, 1, 0}}),
                         [](const auto& info) { return std::string(info.param.name); });

// The bare defaults' chamber at top dead centre measures 384.153 mm round and 473.451 mm^2.
TEST(SurfaceToVolume, AtTopDeadCentreOfTheDefaults) {
  const ExactLimit limit = exactLimit(15, 105, 80);
  const ChamberFigures f = chamberFigures(15, 105, 80, RealEngine{}, limit.figures, 1000, {});
  const double surface = 80 * 384.153 + 2 * 473.451, volume = 80 * 473.451;
  EXPECT_NEAR(f.surfaceToVolumeAtTdc, surface / volume, 2e-6);
  EXPECT_NEAR(f.surfaceToVolumeAtTdc, 0.836389, 1e-6);
  const ChamberCycle chamber(15, 105, 80, RealEngine{}, 1000);
  EXPECT_NEAR(chamber.surfaceToVolume(0) / f.surfaceToVolumeAtTdc, 1, 1e-12);
  EXPECT_FALSE(f.recessWallsLeftOut);
  EXPECT_FALSE(f.seal);
  // Ten times the engine: a tenth of the ratio, per unit of length.
  const ExactLimit large = exactLimit(150, 1050, 800);
  EXPECT_NEAR(
      chamberFigures(150, 1050, 800, RealEngine{}, large.figures, 1000, {}).surfaceToVolumeAtTdc *
          10,
      f.surfaceToVolumeAtTdc, 1e-12);
}

TEST(SurfaceToVolume, RecessAddsItsVolumeAndTheWallsGiven) {
  const RealEngine recessed{2, 0.1, 3};  // 3 cm^3
  const RealLimit limit = realLimit(15, 105, 80, recessed);
  ASSERT_TRUE(limit.hasFigures());
  ChamberSettings settings;
  const ChamberFigures without =
      chamberFigures(15, 105, 80, recessed, limit.figures, 1000, settings);
  EXPECT_TRUE(without.recessWallsLeftOut);
  settings.recessArea = 1500;  // mm^2
  const ChamberFigures with = chamberFigures(15, 105, 80, recessed, limit.figures, 1000, settings);
  EXPECT_FALSE(with.recessWallsLeftOut);
  EXPECT_NEAR((with.surfaceToVolumeAtTdc - without.surfaceToVolumeAtTdc) *
                  (limit.figures.deadVolume * 1000),
              1500, 1e-9);
  // The curve's top dead centre is the same figure, from the chamber's own integrals.
  const ChamberCycle chamber(15, 105, 80, recessed, 1000, 1500);
  EXPECT_NEAR(chamber.surfaceToVolume(0) / with.surfaceToVolumeAtTdc, 1, 1e-9);
}

TEST(Otto, EfficiencyOfTheIdealCycle) {
  EXPECT_NEAR(ottoEfficiency(10, 1.4), 0.601893, 1e-6);
  EXPECT_NEAR(ottoEfficiency(8.95, 1.3), 1 - 1 / std::pow(8.95, 0.3), 1e-15);
  const ExactLimit limit = exactLimit(15, 105, 80);
  ChamberSettings settings;
  settings.gamma = 1.3;
  EXPECT_NEAR(chamberFigures(15, 105, 80, {}, limit.figures, 1000, settings).ottoEfficiency,
              1 - std::pow(limit.figures.ratio, -0.3), 1e-15);
}

}  // namespace
}  // namespace rotary
