// The recess as a pocket in each flank: LENGTH along the flank, WIDTH across the rotor, centred,
// moved LEAD along the flank toward the leading apex (+x for the flank at top dead centre, the
// rotor turning counterclockwise). Its floor is the flank moved in by the depth and its ends
// stand square to the flank, so that its section is the strip between a curve and its parallel:
// d L - d^2 T / 2, T the angle the flank's tangent turns along the pocket, in closed form.
#pragma once

#include <optional>

#include "real_engine.h"

namespace rotary {

struct RecessPocket {
  double length = 0, width = 0, lead = 0;
};

struct PocketFigures {
  double from = 0, to = 0;  // its ends along the flank from its middle, + toward the leading apex
  double turn = 0;          // radians the flank's tangent turns from one end to the other
  double volume = 0;        // the unit cubed
  double wallArea = 0;      // what it adds to the chamber's surface: floor, ends and sides
                            // less the flank it takes away
};

// The flank at its clearance (the real engine's), from its middle to one apex: its length.
double halfFlankLength(double e, double R, const RealEngine& real);

// The pocket of `depth`; none where it runs past either end of the flank.
std::optional<PocketFigures> pocketFigures(double e, double R, const RealEngine& real,
                                           const RecessPocket& pocket, double depth);

// The depth that gives the pocket `volume`: the shallower of the two that the section's
// quadratic gives; none where the pocket does not fit the flank or holds that volume at no
// depth (its section is largest, L^2 / 2T, at the depth L / T).
std::optional<double> pocketDepthFor(double e, double R, const RealEngine& real,
                                     const RecessPocket& pocket, double volume);

}  // namespace rotary
