// The chamber of an engine's real shape as the model takes it: its volume, slope and walls in
// SI units at a shaft angle.
#pragma once

#include <memory>

#include "chamber_cycle.h"
#include "single_zone.h"

namespace rotary::cycle {

// From the figures' units: volumes in the volume unit (area x width over `volumeDivisor`),
// lengths in units of `metresPerUnit` metres.
ChamberGeometry geometryOf(std::shared_ptr<const ChamberCycle> chamber, double volumeDivisor,
                           double metresPerUnit);

}  // namespace rotary::cycle
