#include "design.h"

#include <cmath>
#include <iterator>
#include <vector>

#include "chamber_values.h"
#include "cycle.h"
#include "designer.h"
#include "messages.h"
#include "number_text.h"
#include "port_values.h"
#include "recess_pocket.h"
#include "side_port.h"
#include "solid_settings.h"

namespace rotary::study {
namespace {

// Each value's name on the window, the companion and Python, in the order the rules run.
constexpr Rule kRules[] = {
    {Field::kEccentricity, "eccentricity", "--eccentricity", "eccentricity"},
    {Field::kRotorRadius, "rotor radius", "--rotor-radius", "rotor radius"},
    {Field::kChamberWidth, "chamber width", "--chamber-width", "chamber width"},
    {Field::kSteps, "step count", "--steps", "steps"},
    {Field::kUnit, "unit", "--units", "units"},
    {Field::kSealOffset, "seal offset", "--seal-offset", "seal offset"},
    {Field::kClearance, "clearance", "--clearance", "clearance"},
    {Field::kRecess, "recess", "--recess", "recess"},
    {Field::kTargetRatio, "target ratio", "--target-ratio", "target ratio"},
    {Field::kRotors, "rotors", "--rotors", "rotors"},
    {Field::kGearModule, "gear module", "--gear-module", "gear module"},
    {Field::kRpm, "shaft speed", "--rpm", "rpm"},
    {Field::kGamma, "gamma", "--gamma", "gamma"},
    {Field::kRecessArea, "recess area", "--recess-area", "recess_area"},
    {Field::kIntakePort, "intake port", "--intake-port", "intake"},
    {Field::kExhaustPort, "exhaust port", "--exhaust-port", "exhaust"},
    {Field::kPeripheralIntake, "peripheral intake", "--peripheral-intake", "peripheral_intake"},
    {Field::kPeripheralExhaust, "peripheral exhaust", "--peripheral-exhaust", "peripheral_exhaust"},
    {Field::kHousingWall, "housing wall", "--housing-wall", "housing_wall"},
    {Field::kSidePlate, "side plate", "--side-plate", "side_plate"},
    {Field::kSideClearance, "side clearance", "--side-clearance", "side_clearance"},
    {Field::kRotorBore, "rotor bore", "--rotor-bore", "rotor_bore"},
    {Field::kDensity, "density", "--density", "density"},
    {Field::kChord, "chord", "--chord", "chord"},
    {Field::kTolerance, "tolerance", "--tolerance", "tolerance"},
    {Field::kApexSlot, "apex slot", "--apex-slot", "apex_slot"},
    {Field::kShaftAngle, "shaft angle", "--shaft-angle", "shaft_angle"},
    {Field::kRecessPocket, "recess pocket", "--recess-pocket", "recess_pocket"},
    {Field::kCycle, "cycle speed", "--cycle", "rpm"},
    {Field::kDischarge, "discharge coefficient", "--discharge", "discharge"},
    {Field::kIntakePlenum, "intake plenum", "--intake-plenum", "intake_plenum"},
    {Field::kExhaustPlenum, "exhaust plenum", "--exhaust-plenum", "exhaust_plenum"},
    {Field::kSpark, "spark", "--spark", "spark"},
    {Field::kBurn, "burn", "--burn", "burn"},
    {Field::kWiebe, "Wiebe a, m", "--wiebe", "wiebe"},
    {Field::kAirFuelRatio, "air-fuel ratio", "--afr", "afr"},
    {Field::kSealGap, "seal gap", "--seal-gap", "seal_gap"},
    {Field::kWallTemperature, "wall temperature", "--wall-temperature", "wall_temperature"},
    {Field::kHeatTransfer, "heat transfer", "--heat-transfer", "heat_transfer"},
    {Field::kCycleGamma, "cycle gamma", "--cycle-gamma", "gamma"},
};

// A value as the face shows it back: what was typed, quoted, on the window and the command line;
// the number a script passed, as it prints.
std::string given(const TypedNumber& value, Face face) {
  return face == Face::kPython ? value.shown() : quoteForMessage(value.text);
}

std::string given(const std::string& source, Face face) {
  return face == Face::kPython ? source : quoteForMessage(source);
}

Refusal refused(Field field, Face face, const std::string& what, const std::string& why) {
  return {field, std::string(nameOn(field, face)) + ": " + what + " " + why};
}

}  // namespace

std::string refusalWords(Field field, Face face, const std::string& given, const std::string& why,
                         const char* between) {
  return std::string(nameOn(field, face)) + ": " +
         (face == Face::kPython ? given : quoteForMessage(given)) + between + why;
}

namespace {

Field portField(const PortDefinition& port) {
  const bool intake = port.role == PortRole::kIntake;
  if (port.kind == PortKind::kSide) return intake ? Field::kIntakePort : Field::kExhaustPort;
  return intake ? Field::kPeripheralIntake : Field::kPeripheralExhaust;
}

std::optional<Refusal> portRefusal(const Design& d, Face face, Scope scope) {
  if (!d.hasPorts()) return std::nullopt;
  for (const PortDefinition& port : *d.ports) {
    const std::string why = port.kind == PortKind::kSide ? outlineRefusal(port.outline)
                                                         : peripheralPortRefusal(port.peripheral);
    if (!why.empty()) return refused(portField(port), face, given(port.source, face), why);
  }
  const auto &e = d.eccentricity.number, &R = d.rotorRadius.number, &W = d.chamberWidth.number;
  if (!W) return std::nullopt;
  std::string why;
  if (const PortDefinition* port = peripheralPortTooWide(*d.ports, *W, why)) {
    return refused(portField(*port), face, given(port->source, face), why);
  }
  if (scope == Scope::kStudyRow || !e || !R) return std::nullopt;
  if (const PortDefinition* port =
          sidePortOutsideTheBore(*e, *R, *W, d.realEngine(), *d.ports, why)) {
    return refused(portField(*port), face, given(port->source, face), why);
  }
  return std::nullopt;
}

// What the parts cannot be: a rotor whose side clearances leave it no width, or whose bore
// reaches its flank. A value left to its default is named as such.
std::optional<Refusal> solidsRefusal(const Design& d, Face face) {
  if (!d.solids) return std::nullopt;
  const auto &e = d.eccentricity.number, &R = d.rotorRadius.number, &W = d.chamberWidth.number;
  if (!e || !R || !W || !(*e > 0)) return std::nullopt;
  const SolidSettings s = solidSettingsOf(d);
  const auto shown = [face](const TypedNumber& typed, double value) {
    return typed.empty() ? "the default " + formatNumber(value) : given(typed, face);
  };
  if (!(2 * s.sideClearance < *W)) {
    return refused(
        Field::kSideClearance, face, shown(d.sideClearance, s.sideClearance),
        "on each face leaves the rotor no width in a chamber " + formatNumber(*W) + " wide");
  }
  const double flank = designerFigures(*e, *R, d.realEngine(), 0, 1, std::nullopt).flankDistance;
  if (!(s.rotorBore < flank)) {
    return refused(
        Field::kRotorBore, face, shown(d.rotorBore, s.rotorBore),
        "reaches the rotor's flank, " + formatNumber(flank) + " from its centre (0 for no bore)");
  }
  if (s.apexSlotDepth > 0) {
    const RealEngine real = d.realEngine();
    const double tip = rotorTipRadius(*e, *R, real);
    if (!(tip - s.apexSlotDepth > s.rotorBore)) {
      return refused(Field::kApexSlot, face,
                     givenTogether({&d.apexSlotWidth, &d.apexSlotDepth}, face),
                     "reaches the rotor's bore: its tip is " + significantDigits(tip, 6) +
                         " from the rotor's centre, the bore " + formatNumber(s.rotorBore));
    }
  }
  return std::nullopt;
}

// The working cycle's settings: each a number in its range, the plenums' two together, and
// ports of both kinds to breathe through.
std::optional<Refusal> cycleRefusal(const Design& d, Face face) {
  if (!d.hasCycle()) return std::nullopt;
  const struct {
    Field field;
    std::vector<const TypedNumber*> values;
    double least, most;
    bool leastTaken;
    const char* what;
  } ranges[] = {
      {Field::kCycle, {&d.cycleRpm}, 0, 1e6, false, "a shaft speed above 0 (rpm)"},
      {Field::kDischarge,
       {&d.discharge},
       0,
       1,
       false,
       "a discharge coefficient above 0, 1 at most"},
      {Field::kIntakePlenum,
       {&d.intakePressure, &d.intakeTemperature},
       0,
       1e4,
       false,
       "P,T: a pressure (bar) and a temperature (K) above 0"},
      {Field::kExhaustPlenum,
       {&d.exhaustPressure, &d.exhaustTemperature},
       0,
       1e4,
       false,
       "P,T: a pressure (bar) and a temperature (K) above 0"},
      {Field::kSpark, {&d.spark}, -180, 180, true, "degrees before top dead centre, -180 to 180"},
      {Field::kBurn, {&d.burn}, 0, 360, true, "a duration of 0 to 360 degrees"},
      {Field::kWiebe, {&d.wiebeA, &d.wiebeM}, 0, 100, false, "A,M: two numbers above 0"},
      // Gasoline burns from about half to twice its stoichiometric fuel.
      {Field::kAirFuelRatio,
       {&d.airFuelRatio},
       7.35,
       29.4,
       true,
       "an air-fuel ratio that burns, 7.35 to 29.4 (gasoline's 14.7 halved to doubled)"},
      {Field::kSealGap, {&d.sealGap}, 0, 1e6, true, "a length of 0 or more"},
      {Field::kWallTemperature, {&d.wallTemperature}, 0, 1e4, false, "a temperature above 0 (K)"},
      {Field::kHeatTransfer, {&d.heatTransfer}, 0, 100, true, "a factor of 0 or more"},
      {Field::kCycleGamma,
       {&d.cycleGamma},
       1,
       2,
       false,
       "a ratio of specific heats above 1, 2 at most"}};
  for (const auto& range : ranges) {
    if (range.values.front()->empty() && range.values.back()->empty()) continue;
    bool good = true;
    for (const TypedNumber* value : range.values) {
      const auto& v = value->number;
      good = good && v && std::isfinite(*v) && *v <= range.most &&
             (range.leastTaken ? *v >= range.least : *v > range.least);
    }
    if (!good) {
      const std::string shown = range.values.size() == 1
                                    ? given(*range.values.front(), face)
                                    : givenTogether({range.values[0], range.values[1]}, face);
      return refused(range.field, face, shown, std::string("is not ") + range.what);
    }
  }
  // Without ports the chamber stays closed: one compression and one expansion of the intake's
  // charge. Ports of one kind only would fill or empty it for ever.
  bool intake = false, exhaust = false;
  for (const PortDefinition& port : d.portList()) {
    (port.role == PortRole::kIntake ? intake : exhaust) = true;
  }
  // A closed chamber runs one cycle on its own: no neighbour's gas to leak to.
  if (!intake && !exhaust && d.sealGap.number && *d.sealGap.number > 0) {
    return refused(Field::kSealGap, face, given(d.sealGap, face),
                   "leaks to the chambers either side, which a closed chamber, run without "
                   "ports, does not have; give ports or 0");
  }
  if (intake != exhaust) {
    return Refusal{Field::kCycle, std::string(nameOn(Field::kCycle, face)) +
                                      " needs an intake port and an exhaust port, or none for "
                                      "a closed chamber (" +
                                      (intake ? "no exhaust port" : "no intake port") + " given)"};
  }
  return std::nullopt;
}

}  // namespace

std::string givenTogether(std::initializer_list<const TypedNumber*> values, Face face) {
  std::string text;
  // The numbers typed, without the empty ones after the last: "1.013" typed for P,T is shown
  // as typed, not as "1.013,".
  std::size_t typed = values.size();
  while (face != Face::kPython && typed > 1 && values.begin()[typed - 1]->text.empty()) --typed;
  for (const TypedNumber* value : values) {
    if (typed-- == 0) break;
    if (!text.empty()) text += face == Face::kPython ? ", " : ",";
    text += face == Face::kPython ? value->shown() : value->text;
  }
  return face == Face::kPython ? "(" + text + ")" : quoteForMessage(text);
}

namespace {

// The rotor's shape beyond its flank: the apex seals' slots, the parts' shaft angle and the
// recess's pocket, each whole and with what it needs; where they fit on this rotor is judged
// once its real engine is known (pocketRefusal).
std::optional<Refusal> shapeRefusal(const Design& d, Face face) {
  const auto positive = [](const TypedNumber& value) {
    return value.number && std::isfinite(*value.number) && *value.number > 0;
  };
  if (d.hasApexSlots() && !(positive(d.apexSlotWidth) && positive(d.apexSlotDepth))) {
    return refused(Field::kApexSlot, face,
                   givenTogether({&d.apexSlotWidth, &d.apexSlotDepth}, face),
                   "is not WIDTH,DEPTH: two lengths above 0");
  }
  if (!d.shaftAngle.empty() && !(d.shaftAngle.number && std::isfinite(*d.shaftAngle.number))) {
    return refused(Field::kShaftAngle, face, given(d.shaftAngle, face),
                   "is not an angle in degrees");
  }
  if (!d.hasPocket()) return std::nullopt;
  if (!(positive(d.pocketLength) && positive(d.pocketWidth) && d.pocketLead.number &&
        std::isfinite(*d.pocketLead.number))) {
    return refused(Field::kRecessPocket, face,
                   givenTogether({&d.pocketLength, &d.pocketWidth, &d.pocketLead}, face),
                   "is not LENGTH,WIDTH,LEAD: two lengths above 0 and a lead");
  }
  const std::string pocket(nameOn(Field::kRecessPocket, face));
  if (!d.real || (d.recess.empty() && d.targetRatio.empty())) {
    return Refusal{Field::kRecessPocket, pocket + " goes with " +
                                             std::string(nameOn(Field::kRecess, face)) + " or " +
                                             std::string(nameOn(Field::kTargetRatio, face)) +
                                             ": its depth holds that volume"};
  }
  if (!d.recessArea.empty()) {
    return Refusal{Field::kRecessArea, std::string(nameOn(Field::kRecessArea, face)) +
                                           ": the pocket's walls are counted from its shape (" +
                                           pocket + "); give one or the other"};
  }
  return std::nullopt;
}

}  // namespace

ChamberSettings Design::chamberSettings() const {
  ChamberSettings settings;
  settings.metresPerUnit = lengthUnit().metres;
  settings.rpm = rpm.number;
  settings.gamma = gamma.valueOr(1.4);
  settings.recessArea = recessArea.number;
  return settings;
}

RealEngine Design::realEngine() const {
  return {sealOffset.valueOr(0), clearance.valueOr(0), recess.valueOr(0)};
}

std::optional<double> Design::trochoidRatio() const {
  const auto& e = eccentricity.number;
  const auto& R = rotorRadius.number;
  if (!e || !R || *e <= 0) return std::nullopt;
  const double k = *R / *e;
  if (!std::isfinite(k)) return std::nullopt;
  return k;
}

const std::vector<PortDefinition>& Design::portList() const {
  static const std::vector<PortDefinition> kNone;
  return ports ? *ports : kNone;
}

const Rule& ruleOf(Field field) {
  for (const Rule& rule : kRules) {
    if (rule.field == field) return rule;
  }
  return kRules[0];
}

std::string_view nameOn(Field field, Face face) {
  const Rule& rule = ruleOf(field);
  switch (face) {
    case Face::kWindow:
      return rule.window;
    case Face::kCompanion:
      return rule.option;
    case Face::kPython:
      break;
  }
  return rule.keyword;
}

std::string stepsRefusal(double steps) {
  if (steps == std::floor(steps) && steps >= kFewestSteps && steps <= kMostCompanionSteps)
    return "";
  if (steps == std::floor(steps) && std::abs(steps) < 1e9) {
    return stepCountMessage(static_cast<int>(steps), kMostCompanionSteps);
  }
  return "step count: " + formatNumber(steps) + " is not a whole number between " +
         std::to_string(kFewestSteps) + " and " + std::to_string(kMostCompanionSteps) + ".";
}

std::optional<Refusal> refusalOf(const Design& d, Face face, Scope scope) {
  const struct {
    Field field;
    const TypedNumber& value;
    bool real;
  } lengths[] = {
      {Field::kEccentricity, d.eccentricity, false}, {Field::kRotorRadius, d.rotorRadius, false},
      {Field::kChamberWidth, d.chamberWidth, false}, {Field::kSealOffset, d.sealOffset, true},
      {Field::kClearance, d.clearance, true},        {Field::kRecess, d.recess, true}};
  const bool noLengths = d.eccentricity.empty() && d.rotorRadius.empty() && d.chamberWidth.empty();
  for (const auto& length : lengths) {
    if (length.real && !d.real) continue;
    // A recess not given is none; a design with no lengths yet (the window's before its first
    // engine) is judged on the rest.
    if (length.value.empty() && (length.field == Field::kRecess || noLengths)) continue;
    // A script's NaN or infinity is no number, said as the script prints it.
    if (face == Face::kPython && !length.value.number) {
      return refused(length.field, face, length.value.text, "is not a number");
    }
    const std::string why = lengthRefusal(nameOn(length.field, face), length.value);
    if (!why.empty()) return Refusal{length.field, why};
  }
  if (d.steps != 0) {
    if (const std::string why = stepsRefusal(d.steps); !why.empty()) {
      return Refusal{Field::kSteps, why};
    }
  }
  if (d.real && !d.targetRatio.empty() && !(d.targetRatio.number && *d.targetRatio.number > 1)) {
    return refused(Field::kTargetRatio, face, given(d.targetRatio, face), "is not a ratio above 1");
  }
  if (auto refusal = sharedRefusal(d, face)) return refusal;
  // The module's teeth, whole for this eccentricity.
  if (!d.gearModule.empty()) {
    const std::string why =
        gearModuleRefusal(std::string(nameOn(Field::kGearModule, face)), given(d.gearModule, face),
                          d.gearModule, d.eccentricity);
    if (!why.empty()) return Refusal{Field::kGearModule, why};
  }
  if (auto refusal = portRefusal(d, face, scope)) return refusal;
  if (auto refusal = solidsRefusal(d, face)) return refusal;
  if (auto refusal = shapeRefusal(d, face)) return refusal;
  return cycleRefusal(d, face);
}

std::optional<Refusal> sharedRefusal(const Design& d, Face face) {
  if (!d.unit.empty() && !isLengthUnit(d.unit)) {
    return refused(Field::kUnit, face, given(d.unit, face), "is not mm, cm, m or in");
  }
  if (const std::string why = rotorsRefusal(d.rotors.number.value_or(std::nan(""))); !why.empty()) {
    return refused(Field::kRotors, face, given(d.rotors, face), why);
  }
  if (!d.gearModule.empty()) {
    // Above 0, for any eccentricity: the teeth are each engine's.
    const std::string why =
        gearModuleRefusal(std::string(nameOn(Field::kGearModule, face)), given(d.gearModule, face),
                          d.gearModule, TypedNumber());
    if (!why.empty()) return Refusal{Field::kGearModule, why};
  }
  const struct {
    Field field;
    const TypedNumber& value;
    std::string (*refusal)(double);
  } settings[] = {{Field::kRpm, d.rpm, rpmRefusal},
                  {Field::kGamma, d.gamma, gammaRefusal},
                  {Field::kRecessArea, d.recessArea, recessAreaRefusal}};
  for (const auto& setting : settings) {
    if (setting.value.empty()) continue;
    if (const std::string why = setting.refusal(setting.value.number.value_or(std::nan("")));
        !why.empty()) {
      return refused(setting.field, face, given(setting.value, face), why);
    }
  }
  // The solids' values: lengths above 0 where a part needs some, of 0 or more where none is a
  // choice, and a density above 0.
  const struct {
    Field field;
    const TypedNumber& value;
    bool zeroTaken;
    const char* what;
  } solids[] = {{Field::kHousingWall, d.housingWall, false, "a length above 0"},
                {Field::kSidePlate, d.sidePlate, false, "a length above 0"},
                {Field::kSideClearance, d.sideClearance, true, "a length of 0 or more"},
                {Field::kRotorBore, d.rotorBore, true, "a length of 0 or more"},
                {Field::kDensity, d.density, false, "a density above 0 (g/cm^3)"},
                {Field::kChord, d.chord, false, "a length above 0"},
                {Field::kTolerance, d.tolerance, false, "a length above 0"}};
  for (const auto& value : solids) {
    if (value.value.empty()) continue;
    const auto& number = value.value.number;
    if (!number || !std::isfinite(*number) || *number < 0 || (*number == 0 && !value.zeroTaken)) {
      return refused(value.field, face, given(value.value, face),
                     std::string("is not ") + value.what);
    }
  }
  // Walls of a pocket that is not there: the recess, or the target's, has them.
  if (!d.recessArea.empty() && !(d.real && (!d.recess.empty() || !d.targetRatio.empty()))) {
    return Refusal{Field::kRecessArea, std::string(nameOn(Field::kRecessArea, face)) +
                                           " goes with " +
                                           std::string(nameOn(Field::kRecess, face))};
  }
  return std::nullopt;
}

}  // namespace rotary::study
