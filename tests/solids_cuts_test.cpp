// What is cut into the parts, measured back from the solids: the recess's pocket against its
// closed-form section and the target ratio it was sized for, the apex slots against their
// rectangle less the seal's tip arc, the ports through the housings, and the rotor at any shaft
// angle inside its bore, the three chambers filling the rest.
#include <gtest/gtest.h>

#include <BRepAlgoAPI_Common.hxx>
#include <BRepCheck_Analyzer.hxx>
#include <BRepGProp.hxx>
#include <GProp_GProps.hxx>
#include <cmath>
#include <numbers>

#include "chamber_cycle.h"
#include "mass.h"
#include "parts.h"
#include "runner.h"

namespace rotary::solids {
namespace {

using std::numbers::pi;

SolidEngine engineWith(const RealEngine& real) {
  SolidEngine engine;
  engine.e = 15, engine.R = 105, engine.W = 80;
  engine.real = real;
  engine.settings.housingWall = 15;
  engine.settings.sidePlate = 12;
  engine.settings.sideClearance = 0.1;
  engine.settings.rotorBore = 48;
  engine.settings.shaftBore = 15;
  engine.settings.density = 7.2;
  engine.settings.chord = 0.01;
  engine.settings.tolerance = 1e-7 * engine.R;
  return engine;
}

// By OpenCASCADE's Gauss integration, good to a few 1e-9 of a rotor.
double volumeOf(const TopoDS_Shape& shape) {
  GProp_GProps props;
  BRepGProp::VolumeProperties(shape, props);
  return props.Mass();
}

// A pocket is the difference of two rotors thirty to ninety times its size: the cut rotor's
// trimmed faces take the adaptive integration, at 1e-12, to bring it within 1e-7.
double pocketOf(const Parts& plain, const Parts& cut) {
  double volumes[2];
  for (int n = 0; n < 2; ++n) {
    GProp_GProps props;
    BRepGProp::VolumeProperties(n == 0 ? plain.rotor : cut.rotor, props, 1e-12);
    volumes[n] = props.Mass();
  }
  return (volumes[0] - volumes[1]) / 3;
}

Parts built(const SolidEngine& engine) {
  Parts parts;
  std::string error;
  EXPECT_TRUE(buildParts(engine, parts, error)) << error;
  for (const TopoDS_Shape* shape :
       {&parts.rotor, &parts.rotorHousing, &parts.sideFront, &parts.sideRear}) {
    EXPECT_TRUE(BRepCheck_Analyzer(*shape).IsValid());
  }
  return parts;
}

struct PocketCase {
  double length, width, lead, depth;
};

class Pocket : public ::testing::TestWithParam<PocketCase> {};

// Three pockets take three times the section d L - d^2 T / 2 times the width from the rotor,
// wherever along the flank they lean; by the rotor's three-fold symmetry its centre of mass
// stays at its centre.
TEST_P(Pocket, TakesItsClosedFormVolumeFromTheRotor) {
  const PocketCase c = GetParam();
  const RealEngine real{2, 0.1, 0};
  SolidEngine bare = engineWith(real);
  bare.settings.tolerance = 1e-9 * bare.R;
  SolidEngine pocketed = bare;
  pocketed.pocket = RecessPocket{c.length, c.width, c.lead};
  pocketed.pocketDepth = c.depth;
  const Parts plain = built(bare), cut = built(pocketed);
  const auto figures = pocketFigures(bare.e, bare.R, real, *pocketed.pocket, c.depth);
  ASSERT_TRUE(figures);
  EXPECT_NEAR(pocketOf(plain, cut), figures->volume, 1e-6 * figures->volume);
  const SolidFigures measured = measure(pocketed, cut);
  EXPECT_NEAR(measured.rotorCentreOffset, 0, 1e-6 * bare.R);
}

INSTANTIATE_TEST_SUITE_P(Shapes, Pocket,
                         ::testing::Values(PocketCase{60, 30, 0, 10}, PocketCase{60, 30, 20, 15},
                                           PocketCase{40, 70, -25, 5}, PocketCase{150, 20, 0, 12}));

// The pocket sized for a target ratio, measured back from the solids, gives that ratio.
TEST(Pocket, SizedForATargetGivesItBackFromTheSolids) {
  for (const char* target : {"9.4", "12", "7.5"}) {
    study::Design design;
    design.eccentricity = "15", design.rotorRadius = "105", design.chamberWidth = "80";
    design.steps = 0;
    design.real = true;
    design.sealOffset = "2", design.clearance = "0.1", design.targetRatio = target;
    design.pocketLength = "70", design.pocketWidth = "40", design.pocketLead = "6";
    const study::EngineRow row = study::evaluate(design);
    ASSERT_TRUE(row.pocket) << row.message;
    SolidEngine engine = engineWith(row.input.realEngine());
    // A pocket's volume is good to its floor's length times its width times the fit's
    // deviation: 1e-9 R keeps that a hundred times below the ratio's 1e-6.
    engine.settings.tolerance = 1e-9 * engine.R;
    const Parts plain = built(engine);
    engine.pocket = RecessPocket{70, 40, 6};
    engine.pocketDepth = row.pocket->depth;
    const Parts cut = built(engine);
    const double pocket = pocketOf(plain, cut);
    const ExactFigures& bare = row.real->withoutRecess;
    const double dead = bare.deadVolume + pocket / design.volumeDivisor();
    EXPECT_NEAR((bare.capacity + dead) / dead, std::stod(target), 1e-6) << target;
  }
}

// A slot WIDTH wide and DEPTH deep from the tip takes its rectangle less what lies beyond the
// seal's tip arc of radius rho = A - C: 2h rho - (h sqrt(rho^2 - h^2) + rho^2 asin(h / rho)),
// h half the width.
TEST(ApexSlots, TakeTheirRectangleLessTheTipArc) {
  // A tip arc wide enough for both slots: the arc runs about the lean's angle, arcsin(3e/R),
  // either side of the apex line, 2 across here.
  const RealEngine real{5, 0.2, 0};
  SolidEngine engine = engineWith(real);
  const Parts plain = built(engine);
  for (const auto& [width, depth] : {std::pair{2.0, 10.0}, std::pair{3.0, 6.0}}) {
    engine.settings.apexSlotWidth = width;
    engine.settings.apexSlotDepth = depth;
    const Parts slotted = built(engine);
    const double rho = real.sealOffset - real.clearance, h = width / 2;
    const double beyond =
        2 * h * rho - (h * std::sqrt(rho * rho - h * h) + rho * rho * std::asin(h / rho));
    const double rotorWidth = engine.W - 2 * engine.settings.sideClearance;
    const double expected = 3 * (width * depth - beyond) * rotorWidth;
    const double taken = volumeOf(plain.rotor) - volumeOf(slotted.rotor);
    EXPECT_NEAR(taken, expected, 1e-6 * expected) << width << " x " << depth;
  }
}

// A side port takes its outline's area through the front side housing alone; a peripheral
// port's window takes the housing's wall between its angles and across its width.
TEST(Ports, AreCutThroughTheirHousings) {
  SolidEngine engine = engineWith({2, 0.1, 0});
  const Parts plain = built(engine);
  PeripheralPort window{80, 100, 30};
  engine.ports = {PortDefinition::sidePort(PortRole::kIntake,
                                           {{40, -60}, {70, -60}, {70, -40}, {40, -40}}, "side"),
                  PortDefinition::peripheralPort(PortRole::kExhaust, window, "window")};
  const Parts cut = built(engine);
  EXPECT_NEAR(volumeOf(plain.sideFront) - volumeOf(cut.sideFront), 30 * 20 * 12, 1e-6 * 7200);
  EXPECT_NEAR(volumeOf(cut.sideRear), volumeOf(plain.sideRear), 1e-9 * volumeOf(plain.sideRear));
  // The wall about +y runs from the bore's minor semi-axis R - e + A = 92 out by 15; the wedge
  // of 20 degrees takes about 20/360 of the ring's area there, 30 wide.
  const double taken = volumeOf(plain.rotorHousing) - volumeOf(cut.rotorHousing);
  const double ring = pi * (107 * 107 - 92 * 92) * 20 / 360 * 30;
  EXPECT_NEAR(taken, ring, 0.05 * ring);
  EXPECT_NEAR(volumeOf(cut.rotor), volumeOf(plain.rotor), 1e-9 * volumeOf(plain.rotor));
}

// At any shaft angle the rotor stands inside its bore, touching nothing; for the bare engine
// with a plain rotor the cavity less the rotor is the three chambers' volumes, 360 degrees of the
// shaft apart.
TEST(ShaftAngle, PutsTheRotorInsideItsBoreWithTheChambersAround) {
  SolidEngine engine = engineWith({0, 0, 0});
  engine.settings.sideClearance = 0;
  engine.settings.rotorBore = 0;
  for (const double angle : {0.0, 45.0, 100.0, 270.0, 700.0}) {
    engine.settings.shaftAngle = angle;
    const Parts parts = built(engine);
    BRepAlgoAPI_Common common(parts.rotor, parts.rotorHousing);
    ASSERT_TRUE(common.IsDone());
    EXPECT_LT(volumeOf(common.Shape()), 1e-6 * volumeOf(parts.rotor)) << angle;
    const ChamberCycle chamber(engine.e, engine.R, engine.W, engine.real, 1);
    const double chambers =
        chamber.volume(angle) + chamber.volume(angle + 360) + chamber.volume(angle + 720);
    EXPECT_NEAR(parts.cavityVolume - volumeOf(parts.rotor), chambers, 1e-6 * chambers) << angle;
  }
  // A wrong turn of the rotor (the shaft's whole angle) would cut into the housing.
  engine.settings.shaftAngle = 45;
  const Parts parts = built(engine);
  EXPECT_NEAR(parts.rotorCentre.X(), 15 * std::sin(pi / 4), 1e-12);
  EXPECT_NEAR(parts.rotorCentre.Y(), -15 * std::cos(pi / 4), 1e-12);
}

// One rotor's counterweight is its unbalance; two at 180 degrees cancel their forces, and each
// end's balances their couple: m e times their spacing over the counterweights'.
TEST(Counterweight, BalancesOneRotorAndTwoRotorsCouple) {
  EXPECT_DOUBLE_EQ(counterweightFor(1, 0.06, 80, 12), 0.06);
  EXPECT_NEAR(counterweightFor(2, 0.06, 80, 12), 0.06 * (80 + 12) / (2 * 80 + 3 * 12), 1e-15);
  // Three at 120 degrees: no force, and a couple of u s sqrt(3) about the front.
  const double s = 92, span = 3 * 92 + 12;
  EXPECT_NEAR(counterweightFor(3, 0.06, 80, 12), 0.06 * s * std::sqrt(3.0) / span, 1e-12);
}

}  // namespace
}  // namespace rotary::solids
