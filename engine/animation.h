// The animation: seen from the rotor, the housing and its gear circle turn around the rotor for
// 400 turns, frame by frame. A mouse press holds it after the current frame; a restart request
// ends it and clears the surface.
#pragma once

#include "cycle_state.h"
#include "surface.h"

namespace rotary {

// The curve parameters of one housing outline, r from -step1 to 2*pi, the same in every frame.
HousingTable housingTable(const Geometry& g);

// One frame at motion angle a: erase the housing of the frame before, move the housing gear,
// redraw the rotor gear, draw the housing. Yields after every erased piece.
void animationFrame(CycleState& state, Surface& surface, const HousingTable& table, double a);

void animate(CycleState& state, Surface& surface);

}  // namespace rotary
