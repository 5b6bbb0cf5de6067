// The three figures that a cycle shows, worked out from the areas under the profiles, with the
// checks that keep a number that is no result off the screen and the notes that go with them.
#pragma once

#include <string>

#include "geometry.h"

namespace rotary {

// Signed areas under the three profiles.
struct Areas {
  double Sb = 0;  // bottom-dead-centre housing
  double Se = 0;  // rotor flank
  double St = 0;  // top-dead-centre housing
};

struct Figures {
  double capacity = 0;    // swept volume / 1000, cut down to one decimal
  double deadVolume = 0;  // top-dead-centre chamber / 1000, cut down to two decimals
  double ratio = 0;       // compression-ratio limit, cut down to two decimals
  // What the user should know about these figures; empty for an ordinary engine.
  std::string note;
};

// The figures, in the order capacity, ratio, dead volume. Throws NoChamberFault when there is
// no chamber at top dead centre, NoResultFault when the volumes describe no engine, and
// ArithmeticFault when a figure overflows.
Figures workOutFigures(const Geometry& g, const Profiles& p, const Areas& areas);

// The ratio as shown, from the same areas but with the bottom-dead-centre area summed with the
// middle sample taken from its neighbour: the sweep never reaches that sample.
double ratioWithMiddleFromNeighbour(const Geometry& g, const Profiles& p, const Areas& areas);

}  // namespace rotary
