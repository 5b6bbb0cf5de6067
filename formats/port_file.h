// A side port's outline as a designer draws it on the exported bore: a DXF (one closed
// LWPOLYLINE or POLYLINE, a CIRCLE, or a loop of LINEs and ARCs, read with dxflib) or a CSV of x,y
// points, in the housing's frame and the lengths' unit.
#pragma once

#include <optional>
#include <string>

#include "design.h"
#include "plane.h"

namespace rotary::formats {

// False with the reason in `error` ("holds no closed outline", "line 3: \"x\" is no number"),
// the file's own reason where it cannot be read. Arcs come as chords within `chordError`.
bool readPortOutline(const std::string& path, Polyline& outline, std::string& error,
                     double chordError = 0.001);

// The side port of `role` in the file at `path`, named `source`; none, with why in the words of
// `face` ("--intake-port: \"a.dxf\": holds no closed outline"), where the file holds no outline.
// Whether the outline makes a port is the design's rule.
std::optional<PortDefinition> readSidePort(PortRole role, const std::string& path,
                                           const std::string& source, study::Face face,
                                           std::string& refusal);

}  // namespace rotary::formats
