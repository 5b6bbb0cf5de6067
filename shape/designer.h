// The figures a designer reads beside the compression ratio: the displacement of an engine of
// several rotors, the apex seals' largest lean, the housing's axes, and the phasing gears, with
// whether the rotor's internal gear fits inside the rotor.
#pragma once

#include <optional>

#include "real_engine.h"

namespace rotary {

struct GearTeeth {
  double rotor;       // the rotor's internal gear: its pitch diameter 6e over the module
  double stationary;  // the housing's gear: 4e over the module
};

struct DesignerFigures {
  int rotors = 1;
  double displacement = 0;          // rotors x chamber capacity
  double largestSealLean = 0;       // degrees: arcsin(3e / R)
  double majorAxis = 0;             // of the bore: 2 (R + e + A)
  double minorAxis = 0;             // 2 (R - e + A)
  double rotorGearRadius = 0;       // pitch radius 3e
  double stationaryGearRadius = 0;  // pitch radius 2e; the ratio is 3:2
  std::optional<GearTeeth> teeth;   // with a module
  // The rotor's nearest flank point from its centre, and how far the internal gear reaches: its
  // pitch circle with the teeth's root beyond it (1.25 modules, or e/4 without a module).
  double flankDistance = 0;
  double gearReach = 0;
  bool gearFits() const { return gearReach < flankDistance; }
};

// For dimensions with figures (K > 3); `capacity` is the chamber capacity the displacement
// multiplies, the exact shape's or the real engine's.
DesignerFigures designerFigures(double e, double R, const RealEngine& real, double capacity,
                                int rotors, std::optional<double> module);

// Whether a module gives both gears whole numbers of teeth.
bool wholeTeeth(double e, double module);

}  // namespace rotary
