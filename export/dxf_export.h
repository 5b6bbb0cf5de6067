// The housing curve and the rotor outline for CAD: two closed polylines at true scale, on the
// layers HOUSING and ROTOR, written with dxflib.
#pragma once

#include <string>

#include "outline.h"

namespace rotary::exporting {

// Writes the file at `path`; false with `error` set when it cannot.
bool writeDxf(const std::string& path, const Polyline& housing, const Polyline& rotor,
              std::string& error);

}  // namespace rotary::exporting
