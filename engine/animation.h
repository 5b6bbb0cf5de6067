// The animation: seen from the rotor, the housing and its gear circle turn around the rotor for
// 400 turns, frame by frame. A mouse press holds it after the current frame; a restart request
// ends it and clears the surface.
#pragma once

#include "cycle_state.h"
#include "surface.h"

namespace rotary {

void animate(CycleState& state, Surface& surface);

}  // namespace rotary
