// Quasi-steady compressible flow through an orifice: the mass flow from the upstream side's
// stagnation state to the downstream pressure, choked where the pressure ratio falls to the
// critical one, (2 / (gamma + 1))^(gamma / (gamma - 1)).
#pragma once

namespace rotary::cycle {

struct Upstream {
  double pressure = 0;     // Pa
  double temperature = 0;  // K
  double gasConstant = 0;  // J / (kg K)
  double gamma = 1.4;
};

// kg/s through the effective area (discharge coefficient x open area, m^2) toward a downstream
// pressure below the upstream one; 0 where it is not below.
double massFlow(double effectiveArea, const Upstream& up, double downstreamPressure);

}  // namespace rotary::cycle
