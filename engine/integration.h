// The integration: the profiles are completed by symmetry, the areas under them summed across
// the flank chord, the largest rotor drawn, and the chamber capacity, compression ratio and dead
// volume shown.
#pragma once

#include "cycle_state.h"
#include "surface.h"

namespace rotary {

// Signed areas under the three profiles.
struct Areas {
  double Sb = 0;  // bottom-dead-centre housing
  double Se = 0;  // rotor flank
  double St = 0;  // top-dead-centre housing
};

// Mirrors, sums and draws the rotor. Stops after the first sample when a restart is pending.
Areas integrate(CycleState& state, Surface& surface);

// Writes the three results in the order capacity, ratio, dead volume, each only once it is
// known to be sound, then draws the gear circles at top dead centre and switches the steps to
// the animation's. Throws NoChamberFault when there is no ratio.
void showResults(CycleState& state, Surface& surface, const Areas& areas);

}  // namespace rotary
