// The ports' open areas over one chamber's cycle as CSV, beside its volume: for a breathing
// simulation or to compare ports by eye.
#pragma once

#include <ostream>
#include <vector>

#include "port_timing.h"
#include "volume_curve.h"
#include "volume_curve_csv.h"

namespace rotary::formats {

// A row for each point of the volume curve; `areas` holds a row of open areas for each port.
void writePortCurve(std::ostream& out, const CurveHeader& header,
                    const std::vector<PortDefinition>& ports, const std::vector<CyclePoint>& curve,
                    const std::vector<std::vector<double>>& areas);

}  // namespace rotary::formats
