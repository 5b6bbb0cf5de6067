// The three figures that a cycle shows, worked out from the areas under the profiles, with the
// checks that keep a number that is no result off the screen and the notes that go with them.
#pragma once

#include <optional>
#include <string>

#include "exact_limit.h"
#include "geometry.h"

namespace rotary {

// Signed areas under the three profiles.
struct Areas {
  double Sb = 0;  // bottom-dead-centre housing
  double Se = 0;  // rotor flank
  double St = 0;  // top-dead-centre housing
};

struct Figures {
  double capacity = 0;    // swept volume / the volume divisor, cut down to one decimal
  double deadVolume = 0;  // top-dead-centre chamber / the volume divisor, cut to two decimals
  double ratio = 0;       // compression-ratio limit, cut down to two decimals
  // What the user should know about these figures; empty for an ordinary engine.
  std::string note;
};

// The sampled figures may stray this share from the shape's exact ones before the user hears of
// it: the defaults at N = 100 stray about 1 %.
inline constexpr double kExactTolerance = 0.02;

// The figures, in the order capacity, ratio, dead volume. Throws NoChamberFault when there is
// no chamber at top dead centre, NoResultFault when the volumes describe no engine, and
// ArithmeticFault when a figure overflows. The note tells the exact figures where the sampled
// ones stray from them, and why.
Figures workOutFigures(const Geometry& g, const Profiles& p, const Areas& areas,
                       const std::optional<ExactLimit>& exact);

// The samples across the flank where the sweep found no crossing for at least one profile, so
// that it kept its start value.
int missedSamples(const Geometry& g, const Profiles& p);

// Whether the `missed` samples (as missedSamples counts them) are what spoils the sweep's
// figures: with them bridged by straight lines from their neighbours, the figures come within
// the tolerance of the yardstick, or, with none given, become a result at all.
bool missedSamplesMatter(const Geometry& g, const Profiles& p, int missed,
                         const ExactFigures* yardstick);

// A profile with the samples that kept their start value bridged by straight lines between the
// nearest samples the sweep reached on either side.
Profile bridgedProfile(const Profile& profile, double start);

// The ratio the sweep would give with the samples it missed bridged by straight lines from
// their neighbours.
double ratioWithMissedSamplesBridged(const Geometry& g, const Profiles& p);

// Why the sweep's figures stray from the exact ones, as the end of a note: a step count that
// does not divide the quarter turn, samples the sweep missed, the bulge beyond the apexes that
// the samples do not reach, or a grid too coarse for this K.
std::string strayCause(const Geometry& g, int missed, bool missedMatter);

}  // namespace rotary
