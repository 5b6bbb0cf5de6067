#include "orifice.h"

#include <algorithm>
#include <cmath>

namespace rotary::cycle {

double massFlow(double effectiveArea, const Upstream& up, double downstreamPressure) {
  if (!(effectiveArea > 0) || !(downstreamPressure < up.pressure)) return 0;
  const double g = up.gamma;
  const double critical = std::pow(2 / (g + 1), g / (g - 1));
  // Below the critical ratio the throat stays at it: the flow is choked.
  const double ratio = std::max(downstreamPressure / up.pressure, critical);
  const double flux =
      std::sqrt(2 * g / (g - 1) * (std::pow(ratio, 2 / g) - std::pow(ratio, (g + 1) / g)));
  return effectiveArea * up.pressure / std::sqrt(up.gasConstant * up.temperature) * flux;
}

}  // namespace rotary::cycle
