#include "chamber_geometry.h"

namespace rotary::cycle {

ChamberGeometry geometryOf(std::shared_ptr<const ChamberCycle> chamber, double volumeDivisor,
                           double metresPerUnit) {
  const double cubic = volumeDivisor * metresPerUnit * metresPerUnit * metresPerUnit;
  const double square = metresPerUnit * metresPerUnit;
  return {[chamber, cubic](double theta) { return chamber->volume(theta) * cubic; },
          [chamber, cubic](double theta) { return chamber->slope(theta) * cubic; },
          [chamber, square](double theta) { return chamber->surface(theta) * square; }};
}

}  // namespace rotary::cycle
