// The elliptic integral of the second kind, as the closed forms of the bore's length and the seal's
// mean speed take it. Boost computes it in long double by default, for doubles: four times the
// cost of the double arithmetic whose few roundings no figure shows (the tests hold the two
// within 1e-14 of each other).
#pragma once

#include <boost/math/policies/policy.hpp>
#include <boost/math/special_functions/ellint_2.hpp>
#include <cmath>
#include <numbers>

namespace rotary {

using InDoubles = boost::math::policies::policy<boost::math::policies::promote_double<false>>;

// E(k), the complete integral.
inline double ellipticE(double k) {
  return boost::math::ellint_2(k, InDoubles());
}

// E(phi, k), the incomplete integral from 0 to phi. Its integrand has the period pi, each period
// adding 2 E(k): reduced here to |phi| <= pi/2, as Boost's own reduction in doubles gives NaN at
// the multiples of pi (the bore's apexes at a shaft angle of 90 degrees land there).
inline double ellipticE(double k, double phi) {
  const double periods = std::round(phi / std::numbers::pi);
  const double rest = phi - periods * std::numbers::pi;
  const double within = boost::math::ellint_2(k, rest, InDoubles());
  return periods == 0 ? within : within + 2 * periods * ellipticE(k);
}

}  // namespace rotary
