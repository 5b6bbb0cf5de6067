// One engine as a designer defines it, whichever face it came in by: the companion's options,
// the window's boxes and panel, or Python's arguments. Each face parses what it is given into
// this record once; the rules below judge it, with one wording per face, and one evaluation of it
// gives every figure the faces show.
#pragma once

#include <atomic>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "chamber_cycle.h"
#include "length_unit.h"
#include "port_timing.h"
#include "real_engine.h"
#include "typed_number.h"

namespace rotary::study {

struct Design {
  TypedNumber eccentricity, rotorRadius, chamberWidth;
  // The sweep's step count; 0 for the shape's exact figures alone, with no sweep.
  int steps = 100;
  // The lengths' unit as named ("cm"); empty where none is named, which reads as millimetres
  // with volumes in cm^3, as the window has always shown them.
  std::string unit;
  // The real engine, when any of its values is given: apex-seal offset, clearance, recess (empty
  // where none is given, which is 0) and the ratio whose recess is asked for (empty for none).
  bool real = false;
  TypedNumber sealOffset = "0", clearance = "0", recess, targetRatio;
  // The engine's rotors and its phasing gears' module (empty for none).
  TypedNumber rotors = "1", gearModule;
  // The shaft's speed for the seal's figures (empty for none), the ideal cycle's ratio of
  // specific heats, and what the recess's walls add to the chamber's surface (empty for none).
  TypedNumber rpm, gamma = "1.4", recessArea;
  // The ports whose timing the figures give; shared by every engine of a study. None for none.
  std::shared_ptr<const std::vector<PortDefinition>> ports;
  // The solids: the housing's wall outside the bore, the side housings' thickness, the rotor's
  // clearance to each side housing and its bore's radius (0 for none), the material's density
  // (g/cm^3), the STL's chord error and the fitted curves' largest distance from the exact ones;
  // each empty for its default.
  TypedNumber housingWall, sidePlate, sideClearance, rotorBore, density, chord, tolerance;
  // The apex seals' slots in the rotor, their width and depth from the apex (empty for none), and
  // the shaft's angle in degrees at which the parts stand (empty for 0, top dead centre).
  TypedNumber apexSlotWidth, apexSlotDepth, shaftAngle;
  // The recess as a pocket in each flank: its length along the flank, its width across the
  // rotor, and how far it is moved toward the leading apex; empty for a recess of no shape. Its
  // depth holds the recess, or the target's.
  TypedNumber pocketLength, pocketWidth, pocketLead;
  // Whether the parts are asked for: their mass properties then go with every figure.
  bool solids = false;
  // The working cycle's model at a shaft speed (empty for none), and its settings, each empty
  // for its default: the ports' discharge coefficient, the intake's and the exhaust's plenums
  // (pressure in bar, temperature in K), the spark (degrees before top dead centre), the burn's
  // duration (degrees), Wiebe's a and m, the air-fuel ratio, the apex seals' gap, the walls'
  // temperature (K), a factor on the heat lost, and a constant gamma.
  TypedNumber cycleRpm, discharge, intakePressure, intakeTemperature, exhaustPressure,
      exhaustTemperature, spark, burn, wiebeA, wiebeM, airFuelRatio, sealGap, wallTemperature,
      heatTransfer, cycleGamma;
  bool hasCycle() const { return !cycleRpm.empty(); }

  const LengthUnit& lengthUnit() const { return lengthUnitOf(unit); }
  // The volumes are area x width over this: millimetres give cm^3, any other unit its own cube.
  double volumeDivisor() const { return lengthUnit().volumeDivisor; }
  ChamberSettings chamberSettings() const;
  // The real engine's values, 0 where one is not given or no number.
  RealEngine realEngine() const;
  // K = R / e, where both are numbers, e is above 0 and the ratio is finite.
  std::optional<double> trochoidRatio() const;
  int rotorCount() const { return static_cast<int>(rotors.valueOr(1)); }
  std::optional<double> module() const { return gearModule.number; }
  const std::vector<PortDefinition>& portList() const;
  // The recess as the tables show it: 0 where none is given.
  TypedNumber recessShown() const { return recess.empty() ? TypedNumber("0") : recess; }
  bool hasPorts() const { return ports && !ports->empty(); }
  bool hasPocket() const {
    return !pocketLength.empty() || !pocketWidth.empty() || !pocketLead.empty();
  }
  bool hasApexSlots() const { return !apexSlotWidth.empty() || !apexSlotDepth.empty(); }
};

// The three faces a design comes by: the window, the companion (rotary-ratio) and Python.
enum class Face { kWindow, kCompanion, kPython };

// What a run needs besides the design: where it may be stopped (Ctrl-C in Python, a newer key in
// the window) and the threads the ports' timing may share (0 for every core).
struct RunRequest {
  const std::atomic<bool>* stop = nullptr;
  unsigned portThreads = 0;
  // Whose words refuse what only the evaluation finds cannot be made (a pocket that cannot be
  // cut).
  Face face = Face::kCompanion;
};

// Every value of a design, for the rules and their words.
enum class Field {
  kEccentricity,
  kRotorRadius,
  kChamberWidth,
  kSteps,
  kUnit,
  kSealOffset,
  kClearance,
  kRecess,
  kTargetRatio,
  kRotors,
  kGearModule,
  kRpm,
  kGamma,
  kRecessArea,
  kIntakePort,
  kExhaustPort,
  kPeripheralIntake,
  kPeripheralExhaust,
  kHousingWall,
  kSidePlate,
  kSideClearance,
  kRotorBore,
  kDensity,
  kChord,
  kTolerance,
  kApexSlot,
  kShaftAngle,
  kRecessPocket,
  kCycle,
  kDischarge,
  kIntakePlenum,
  kExhaustPlenum,
  kSpark,
  kBurn,
  kWiebe,
  kAirFuelRatio,
  kSealGap,
  kWallTemperature,
  kHeatTransfer,
  kCycleGamma,
};

// A value's name on each face: the window's field, the companion's option, Python's argument.
struct Rule {
  Field field;
  std::string_view window, option, keyword;
};

const Rule& ruleOf(Field field);
std::string_view nameOn(Field field, Face face);

// "name: given why" in the words of `face`: its name for the value, what was given (quoted where
// it was typed) and why it cannot be taken, after `between` (" ", or ": " after a file name).
std::string refusalWords(Field field, Face face, const std::string& given, const std::string& why,
                         const char* between = " ");

// A value a design cannot take, in the words of the face it came by.
struct Refusal {
  Field field;
  std::string message;
};

// Which rules a design is judged by: every one for an engine of its own; a study's row leaves a
// side port outside its bore to the row's note, as every other engine of the study may reach it.
enum class Scope { kEngine, kStudyRow };

// The first rule the design breaks, worded for `face`; none when it breaks none. The engine's
// own limits (a seal offset it cannot take, a target above its limit) are its evaluation's.
std::optional<Refusal> refusalOf(const Design& design, Face face, Scope scope = Scope::kEngine);

// The rules on what every engine of a study shares, whatever its lengths: the unit, the rotors,
// the gear module above 0, the shaft's speed, gamma, and a recess's walls with a recess to have
// them. A part of refusalOf, for the faces that check these once for a whole study.
std::optional<Refusal> sharedRefusal(const Design& design, Face face);

// A value given as several numbers, "L,W,LEAD", as the face shows it back: quoted as typed, or
// as a script's tuple.
std::string givenTogether(std::initializer_list<const TypedNumber*> values, Face face);

// A step count as a script gives it, with the companion's words; empty when it is one.
std::string stepsRefusal(double steps);

}  // namespace rotary::study
