// The working cycle's last cycle as CSV: at each degree of the shaft, the chamber's volume, its
// gas's pressure and temperature, and what the ports let in and out; the model named with its
// settings in the first line.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "working_cycle.h"

namespace rotary::formats {

// The volume in the figures' unit (over `volumeDivisor` of the lengths' unit cubed, of
// `metresPerUnit` metres).
void writeCycleCurve(std::ostream& out, const std::vector<cycle::CyclePointSI>& curve,
                     double volumeDivisor, double metresPerUnit, const std::string& settings);

}  // namespace rotary::formats
