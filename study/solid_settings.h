// The solids' settings of a design as numbers in its unit of length, each default stated where
// the design leaves it empty.
#pragma once

#include <optional>

#include "design.h"

namespace rotary::study {

struct SolidSettings {
  double housingWall = 0;    // the rotor housing's wall outside the bore
  double sidePlate = 0;      // the side housings' thickness
  double sideClearance = 0;  // between the rotor and each side housing
  double rotorBore = 0;      // the rotor's central bore, a radius; 0 for none
  double shaftBore = 0;      // the side housings' bore at the crank axis, a radius
  double density = 0;        // g/cm^3
  double chord = 0;          // the STL's largest chord error
  double tolerance = 0;      // the fitted curves' largest distance from the exact ones
  double apexSlotWidth = 0;  // the apex seals' slots; 0 for none
  double apexSlotDepth = 0;  // from the rotor's tip
  double shaftAngle = 0;     // degrees: where the rotor stands, 0 at top dead centre
};

// What the parts weigh and where, in the design's unit of length.
struct SolidFigures {
  double rotorVolume = 0;
  double rotorMass = 0;                 // kg
  double rotorCentreOffset = 0;         // of its centre of mass from the rotor's centre
  double rotorMomentOfInertia = 0;      // kg m^2, about the rotor's axis
  double housingCavityVolume = 0;       // the bore's, across the chamber width
  double curveDeviation = 0;            // the largest distance of a fitted curve from the exact one
  std::optional<double> eccentricLoad;  // N: m e omega^2 at the shaft speed
  // kg m, mass x radius: one rotor's, both ends of the shaft together; with more rotors, the
  // larger of the two at the shaft's ends that balance the rotors' couple.
  double counterweight = 0;
};

// For a design whose lengths are numbers. The defaults:
// - the housing's wall and the side housings' thickness 0.15 R, a production engine's proportion;
// - a side clearance of 0.1 mm and a chord error of 0.01 mm, in the design's unit;
// - the rotor's bore at the internal gear's root circle, 3e and 1.25 modules (e/4 without a
//   module), so that the gear fits;
// - the shaft's bore the eccentricity, as a radius;
// - a density of 7.2 g/cm^3, cast iron;
// - a fit within 1e-4 R;
// - no apex slots, and the parts at top dead centre.
SolidSettings solidSettingsOf(const Design& design);

}  // namespace rotary::study
