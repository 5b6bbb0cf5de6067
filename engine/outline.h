// The outlines that the figures and CAD files show, from the same formulas as the window's
// drawing: the housing curve at a motion angle, and the rotor's three flanks, the sampled flank
// with its two copies turned a third of a turn about the rotor centre.
#pragma once

#include <array>
#include <vector>

#include "geometry.h"
#include "plane.h"

namespace rotary {

// The flank point (s, flank) turned a third of a turn, as (px, py) before the shift that places
// it: the window draws (px - d*e, e/2 + py) and its mirror image (-px + d*e, e/2 + py). B is the
// angle of the sample before when s = 0, so it is carried from call to call.
void turnFlankPoint(const Geometry& g, double s, double flank, double& B, double& px, double& py);

// The three flanks of the largest rotor from the envelope, each from one apex to the next, in
// the order of the samples.
std::array<Polyline, 3> rotorFlanks(const Geometry& g, const Profiles& p);

// The three flanks joined into one closed outline (the last point is not repeated).
Polyline rotorOutline(const Geometry& g, const Profiles& p);

// The whole housing curve at motion angle a, relative to the rotor centre: `count` points with
// r from 0 up to below 2*pi.
Polyline housingCurve(const Geometry& g, double a, int count);

// A profile across the flank: (s(i), profile(i)) for every sample.
Polyline profileLine(const Geometry& g, const Profile& profile);

}  // namespace rotary
