// The parts' mass properties, from OpenCASCADE's integration over their faces.
#pragma once

#include "parts.h"

namespace rotary::solids {

SolidFigures measure(const SolidEngine& engine, const Parts& parts);
std::vector<PartVolume> partVolumes(const Parts& parts);

}  // namespace rotary::solids
