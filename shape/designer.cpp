#include "designer.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "exact_shape.h"
#include "real_shape.h"

namespace rotary {
namespace {

bool whole(double count) {
  return std::abs(count - std::round(count)) <= 1e-9 * std::max(1.0, std::abs(count));
}

}  // namespace

bool wholeTeeth(double e, double module) {
  return module > 0 && whole(6 * e / module) && whole(4 * e / module) && 4 * e / module >= 1;
}

DesignerFigures designerFigures(double e, double R, const RealEngine& real, double capacity,
                                int rotors, std::optional<double> module) {
  DesignerFigures f;
  f.rotors = rotors;
  f.displacement = rotors * capacity;
  f.largestSealLean = std::asin(3 * e / R) * 180 / std::numbers::pi;
  f.majorAxis = 2 * (R + e + real.sealOffset);
  f.minorAxis = 2 * (R - e + real.sealOffset);
  f.rotorGearRadius = 3 * e;
  f.stationaryGearRadius = 2 * e;
  if (module) f.teeth = GearTeeth{std::round(6 * e / *module), std::round(4 * e / *module)};
  // The flank comes nearest the rotor centre at its middle, straight below it.
  const double offset = (real.sealOffset - real.clearance) / e;
  f.flankDistance = -exact::rotorFlankPoint(R / e, exact::kFlankMiddle, offset).y * e;
  f.gearReach = f.rotorGearRadius + (module ? 1.25 * *module : e / 4);
  return f;
}

}  // namespace rotary
