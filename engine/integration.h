// The integration: the profiles are completed by symmetry, the areas under them summed across
// the flank chord, the largest rotor drawn, and the chamber capacity, compression ratio and dead
// volume shown.
#pragma once

#include "cycle_state.h"
#include "figures.h"
#include "surface.h"

namespace rotary {

// Mirrors, sums and draws the rotor. Stops after the first sample when a restart is pending.
Areas integrate(CycleState& state, Surface& surface);

// Writes the three figures in the order capacity, ratio, dead volume, then draws the gear
// circles at top dead centre and switches the steps to the animation's.
void showResults(CycleState& state, Surface& surface, const Figures& figures);

}  // namespace rotary
