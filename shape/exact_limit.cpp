#include "exact_limit.h"

#include <algorithm>
#include <cfenv>
#include <cfloat>
#include <cmath>

#include "exact_shape.h"

namespace rotary {
namespace {

bool ordinary(double value) {
  return std::isfinite(value) && value >= DBL_MIN;
}

// The figures of the shape, the floating-point flags aside.
ExactLimit exactLimitOfShape(double e, double R, double W, double volumeDivisor) {
  ExactLimit limit;
  if (!(e > 0)) {
    limit.status = ExactStatus::kNoEccentricity;
    return limit;
  }
  const double K = R / e;
  if (!(K > 3)) {
    // No chamber to measure, but lengths this small are past computing with all the same: the
    // chambers of such curves are some hundredths of the larger length squared.
    const double scale = std::max(e, R);
    const double volume = volumeOfArea(0.01, scale, W, volumeDivisor);
    const bool tooSmall = W > 0 && std::isfinite(volume) && volume < DBL_MIN;
    limit.status = tooSmall ? ExactStatus::kLengthsTooSmall : ExactStatus::kBeyondRotorLimit;
    return limit;
  }
  if (W == 0) {
    limit.status = ExactStatus::kNoWidth;
    return limit;
  }
  if (!(K <= kLargestExactK)) {
    limit.status = ExactStatus::kBeyondPrecision;
    return limit;
  }
  const exact::ChamberAreas areas = exact::chamberAreas(K);
  const double swept = areas.bottomDeadCentre - areas.topDeadCentre;
  ExactFigures& f = limit.figures;
  f.capacity = volumeOfArea(swept, e, W, volumeDivisor);
  f.deadVolume = volumeOfArea(areas.topDeadCentre, e, W, volumeDivisor);
  f.ratio = areas.bottomDeadCentre / areas.topDeadCentre;
  const double deadArea = (areas.topDeadCentre * e) * e;
  if (!std::isfinite(f.capacity) || !std::isfinite(f.deadVolume)) {
    limit.status = ExactStatus::kLengthsTooLarge;
  } else if (!ordinary(deadArea) || !ordinary(f.deadVolume) || !ordinary(f.capacity)) {
    limit.status = ExactStatus::kLengthsTooSmall;
  } else {
    limit.status = ExactStatus::kFigures;
  }
  return limit;
}

}  // namespace

ExactLimit exactLimit(double e, double R, double W, double volumeDivisor) {
  // The sweep that runs beside it checks the floating-point flags for its own faults.
  std::fexcept_t flags;
  std::fegetexceptflag(&flags, FE_ALL_EXCEPT);
  const ExactLimit limit = exactLimitOfShape(e, R, W, volumeDivisor);
  std::fesetexceptflag(&flags, FE_ALL_EXCEPT);
  return limit;
}

}  // namespace rotary
