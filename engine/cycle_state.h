// Everything one computation cycle works on, kept for the whole run.
#pragma once

#include "geometry.h"
#include "run_flags.h"

namespace rotary {

struct CycleState {
  Geometry g;
  Profiles profiles;
  HousingPoint point;
  // Angle of the rotor drawing; the middle sample, whose abscissa is 0, keeps the angle of the
  // sample before it.
  double rotorAngle = 0;
  RunFlags flags;
};

}  // namespace rotary
