// Everything one computation cycle works on, kept for the whole run.
#pragma once

#include <optional>

#include "figures.h"
#include "geometry.h"
#include "run_flags.h"

namespace rotary {

// Crossings that the sweep found but rejected: curve crossings at or above -R/3 at any motion
// angle, and crossings of the exchanged copy below e at top dead centre.
struct SweepTally {
  long curveRejected = 0;
  long copyRejected = 0;
};

struct CycleState {
  Geometry g;
  Profiles profiles;
  HousingPoint point;
  // Angle of the rotor drawing; the middle sample, whose abscissa is 0, keeps the angle of the
  // sample before it.
  double rotorAngle = 0;
  // The motion angle of the animation's frame on screen, 0 at top dead centre, for a window that
  // shows where the chamber stands in its cycle.
  double animationAngle = 0;
  RunFlags flags;
  SweepTally tally;
  // What the last integration summed, and the figures shown from it once they are sound.
  Areas areas;
  std::optional<Figures> figures;
  // The shape's own figures for the dimensions read, free of the step count and the samples.
  std::optional<ExactLimit> exact;
};

}  // namespace rotary
