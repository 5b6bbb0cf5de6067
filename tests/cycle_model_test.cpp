// The single-zone model taken to its limits, where the answer is known exactly: a closed chamber
// of constant gamma keeps p V^gamma; the Otto cycle's efficiency at the engine's own ratio; a
// vessel emptying through a choked orifice as the isentropic closed form has it.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "chamber_geometry.h"
#include "exact_limit.h"
#include "single_zone.h"
#include "working_cycle.h"

namespace rotary::cycle {
namespace {

// The defaults' engine, its volumes in cm^3 of millimetres.
ChamberGeometry defaults() {
  auto chamber = std::make_shared<const ChamberCycle>(15, 105, 80, RealEngine{}, 1000.0);
  return geometryOf(chamber, 1000.0, 0.001);
}

State chargeAt(const SingleZone& model, double theta, double p, double T, double fuelFraction) {
  State x{};
  const double R = Gas(Gas::Kind::kAir, model.settings().gamma).gasConstant();
  x[kMass] = p * model.geometry().volume(theta) / (R * T);
  x[kTemperature] = T;
  x[kFuel] = x[kMass] * fuelFraction;
  return x;
}

ModelSettings lossless(double gamma) {
  ModelSettings s;
  s.gamma = gamma;
  s.heatTransfer = 0;
  s.rpm = 3000;
  return s;
}

TEST(ClosedChamber, KeepsPVGammaAndComesBackToItsStart) {
  for (const double gamma : {1.4, 1.3}) {
    const SingleZone model(defaults(), {}, lossless(gamma));
    State x = chargeAt(model, 810, 101300, 298, 0);
    const State start = x;
    std::vector<ModelPoint> record;
    ASSERT_TRUE(integrate(model, x, 810, 810 + 1080, &record, 5));
    const double invariant =
        record.front().pressure * std::pow(model.geometry().volume(810), gamma);
    for (const ModelPoint& point : record) {
      const double now = point.pressure * std::pow(model.geometry().volume(point.theta), gamma);
      EXPECT_NEAR(now / invariant, 1, 1e-9) << point.theta;
    }
    EXPECT_NEAR(x[kTemperature] / start[kTemperature], 1, 1e-9);
    EXPECT_EQ(x[kMass], start[kMass]);
  }
}

// From bottom dead centre of intake with the plenum's charge, compressed, burned at once at top
// dead centre, expanded to the next bottom dead centre: W / Q = 1 - r^(1 - gamma), r the
// engine's exact ratio.
TEST(OttoLimit, IsTheModelsEfficiencyAtTheEnginesOwnRatio) {
  const ExactLimit limit = exactLimit(15, 105, 80);
  ASSERT_TRUE(limit.hasFigures());
  const double r = limit.figures.ratio;
  for (const double gamma : {1.4, 1.25}) {
    const SingleZone model(defaults(), {}, lossless(gamma));
    State x = chargeAt(model, 810, 101300, 298, 1 / 15.7);
    ASSERT_TRUE(integrate(model, x, 810, 1080));
    model.burnAtOnce(x, model.burnable(x));
    ASSERT_TRUE(integrate(model, x, 1080, 1350));
    EXPECT_GT(x[kReleased], 0);
    EXPECT_NEAR(x[kWork] / x[kReleased], 1 - std::pow(r, 1 - gamma), 1e-6) << gamma;
  }
}

// A vessel of fixed volume empties through a fixed area into a pressure low enough to keep the
// flow choked: (p / p0)^-n = 1 + n k t, n = (gamma - 1) / 2 gamma and
// k = gamma Cd A sqrt(R T0) sqrt(gamma) (2 / (gamma + 1))^((gamma + 1) / 2 (gamma - 1)) / V.
TEST(Orifice, EmptiesAVesselAsTheIsentropicClosedForm) {
  const double V = 1e-3, A = 1e-5, Cd = 0.7, gamma = 1.4, rpm = 1000;
  ChamberGeometry vessel{[V](double) { return V; }, [](double) { return 0.0; },
                         [](double) { return 1.0; }};
  ModelSettings s = lossless(gamma);
  s.rpm = rpm;
  s.discharge = Cd;
  const Opening orifice{[A](double) { return A; }, Plenum{1000, 300}, false};
  const SingleZone model(vessel, {orifice}, s);
  State x = chargeAt(model, 0, 5e5, 300, 0);
  const double R = Gas(Gas::Kind::kAir, gamma).gasConstant();
  const double psi = std::sqrt(gamma) * std::pow(2 / (gamma + 1), (gamma + 1) / (2 * (gamma - 1)));
  const double k = gamma * Cd * A * psi * std::sqrt(R * 300) / V;
  const double n = (gamma - 1) / (2 * gamma);
  const double half = (std::pow(2, n) - 1) / (n * k);  // seconds
  ASSERT_TRUE(integrate(model, x, 0, half * 6 * rpm));
  EXPECT_NEAR(model.pressure(x, 0) / 2.5e5, 1, 1e-8);
  // The gas left isentropically: T / T0 = (p / p0)^((gamma - 1) / gamma).
  EXPECT_NEAR(x[kTemperature] / 300, std::pow(0.5, (gamma - 1) / gamma), 1e-8);
}

}  // namespace
}  // namespace rotary::cycle

namespace rotary::cycle {
namespace {

// The README's ports on the defaults' real engine.
CycleEngine portedEngine() {
  CycleEngine engine;
  engine.e = 15, engine.R = 105, engine.W = 80;
  engine.real = {2, 0.1, 0};
  engine.ports = {PortDefinition::sidePort(PortRole::kIntake,
                                           {{-45, 82}, {-75, 70}, {-72, 58}, {-42, 70}}, "intake"),
                  PortDefinition::peripheralPort(PortRole::kExhaust, {42.5, 54.4, 30}, "exhaust")};
  return engine;
}

TEST(WorkingCycle, ConvergesAndClosesItsBalances) {
  for (const double rpm : {3000.0, 9000.0}) {
    CycleValues settings;
    settings.rpm = rpm;
    const CycleOutcome outcome = runWorkingCycle(portedEngine(), settings);
    ASSERT_TRUE(outcome.figures) << outcome.message;
    const CycleFigures& f = *outcome.figures;
    // The first law and the mass over the cycle, what the chamber gained counted.
    EXPECT_LT(std::abs(f.energyBalance), 1e-6 * f.fuelEnergy) << rpm;
    EXPECT_LT(std::abs(f.massBalance), 1e-9 * f.massIn) << rpm;
    EXPECT_GT(f.fuelEnergy, 0);
    // Sense: a breathing engine, its pumping a loss, its efficiency below the Otto limit's.
    EXPECT_GT(f.imepNet, 1) << rpm;
    EXPECT_LT(f.imepNet, f.imepGross) << rpm;
    EXPECT_GT(f.volumetricEfficiency, 0.1) << rpm;
    EXPECT_LT(f.volumetricEfficiency, 1.2) << rpm;
    EXPECT_LT(f.indicatedEfficiency, 1 - std::pow(9.4, -0.3)) << rpm;
    EXPECT_LT(f.cyclesToConverge, 30);
    EXPECT_EQ(outcome.curve.size(), 1081u);
  }
}

// The model takes the chamber over its second half-cycle from its first, half a turn of the
// rotor on: the volume it reports at every degree is the exact one, for a real engine with a
// recess's walls as for the bare shape.
TEST(WorkingCycle, TakesTheExactChamberOverTheWholeCycle) {
  for (const RealEngine real : {RealEngine{2, 0.1, 5}, RealEngine{0, 0, 0}}) {
    CycleEngine engine = portedEngine();
    engine.real = real;
    engine.recessArea = real.recess > 0 ? 300 : 0;
    CycleValues settings;
    settings.rpm = 6000;
    const CycleOutcome outcome = runWorkingCycle(engine, settings);
    ASSERT_TRUE(outcome.figures) << outcome.message;
    const ChamberCycle exact(15, 105, 80, real, 1000, engine.recessArea);
    ASSERT_EQ(outcome.curve.size(), 1081u);
    for (const CyclePointSI& point : outcome.curve) {
      const double expected = exact.volume(point.theta) * 1e3 * 1e-9;  // cm^3 to m^3
      EXPECT_NEAR(point.volume, expected, 1e-12 * expected) << point.theta;
    }
  }
}

// The seals leak to the chambers either side, as the cycle before found them: less work, the
// leaked mass counted, the balances still closed.
TEST(WorkingCycle, LeaksPastTheSealsAndStillClosesItsBalances) {
  CycleValues tight, leaking;
  tight.rpm = leaking.rpm = 3000;
  leaking.sealGap = 0.01;  // mm, the engine's unit
  const CycleOutcome sealed = runWorkingCycle(portedEngine(), tight);
  const CycleOutcome leaky = runWorkingCycle(portedEngine(), leaking);
  ASSERT_TRUE(sealed.figures && leaky.figures) << leaky.message;
  EXPECT_EQ(sealed.figures->massLeaked, 0);
  EXPECT_GT(leaky.figures->massLeaked, 0);
  EXPECT_LT(leaky.figures->imepNet, sealed.figures->imepNet);
  EXPECT_LT(std::abs(leaky.figures->energyBalance), 1e-6 * leaky.figures->fuelEnergy);
  EXPECT_LT(std::abs(leaky.figures->massBalance), 1e-9 * leaky.figures->massIn);
}

}  // namespace
}  // namespace rotary::cycle
