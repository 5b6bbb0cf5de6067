// The four parts of one engine at the shaft's angle (top dead centre by default), in the
// housing's frame: the crank axis at the
// origin, the chamber between z = 0 and z = W, the lengths in the engine's unit.
#pragma once

#include <TopoDS_Shape.hxx>
#include <gp_Pnt.hxx>
#include <string>

#include "solids.h"

namespace rotary::solids {

struct Parts {
  TopoDS_Shape rotorHousing, sideFront, sideRear, rotor;
  double deviation = 0;     // of the fitted curves from the exact ones, the largest
  double cavityVolume = 0;  // the bore's face across the chamber width
  gp_Pnt rotorCentre;       // where the shaft's angle puts it
};

// Throws Standard_Failure, or returns false with why, where a part cannot be made. The design's
// rules have refused already what no part can be: a side clearance that leaves no rotor, a rotor
// bore that reaches the flank.
// Without `housings`, the rotor alone, with the curves of all four fitted: what the mass
// properties take.
bool buildParts(const SolidEngine& engine, Parts& parts, std::string& error, bool housings = true);

}  // namespace rotary::solids
