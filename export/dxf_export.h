// The real engine for CAD, written with dxflib, in millimetres with the crank axis at the origin:
// closed polylines for the bore (HOUSING), the generating trochoid when the seal offset is above 0
// (TROCHOID), the rotor with its clearance (ROTOR) and without it when the clearance is above 0
// (ROTOR_LIMIT); both pitch circles (GEARS) and the marks of the crank axis and the rotor centre
// (CENTRES).
#pragma once

#include <string>

#include "real_outline.h"

namespace rotary::exporting {

// Writes the file at `path`; false with `error` set when it cannot.
bool writeDxf(const std::string& path, const RealOutlines& outlines, const RealEngine& real,
              std::string& error);

}  // namespace rotary::exporting
