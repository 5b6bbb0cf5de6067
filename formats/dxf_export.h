// The real engine for CAD, written with dxflib, in the user's unit with the crank axis at the
// origin:
// closed polylines for the bore (HOUSING), the generating trochoid when the seal offset is above 0
// (TROCHOID), the rotor with its clearance (ROTOR) and without it when the clearance is above 0
// (ROTOR_LIMIT); both pitch circles (GEARS) and the marks of the crank axis and the rotor centre
// (CENTRES).
#pragma once

#include <string>

#include "real_outline.h"

namespace rotary::formats {

// The bytes of the DXF file, whose header declares the unit of its lengths by its $INSUNITS
// code (4 for millimetres); false with `error` set when they cannot be made.
bool drawDxf(const RealOutlines& outlines, const RealEngine& real, int insunits,
             std::string& content, std::string& error);

// The same for the engine of crank eccentricity e and rotor radius R, its outlines traced within
// the chord error a machinist expects; the companion and the window write the same file.
bool drawEngineDxf(double e, double R, const RealEngine& real, int insunits, std::string& content,
                   std::string& error);

// A template for a side port's edge: the chamber's flank on the side housing at a shaft angle,
// an open polyline on layer PORT_EDGE, with the bore and the frame's marks. A side port whose
// edge follows it opens, or closes, at that angle.
struct PortEdge {
  double shaftAngle;
  Polyline flank;
};
bool drawPortEdgeDxf(double e, double R, const RealEngine& real, const PortEdge& edge, int insunits,
                     std::string& content, std::string& error);

}  // namespace rotary::formats
