// The one rule by which the exact computation integrates: the integrands are smooth and periodic
// in their parts, so an adaptive Gauss-Kronrod rule settles to the last digits within a few
// subdivisions.
#pragma once

#include <boost/math/quadrature/gauss_kronrod.hpp>

namespace rotary::exact {

template <typename Integrand>
double integral(Integrand f, double from, double to, double tolerance) {
  constexpr unsigned kMostHalvings = 20;
  double error = 0;
  return boost::math::quadrature::gauss_kronrod<double, 31>::integrate(f, from, to, kMostHalvings,
                                                                       tolerance, &error);
}

}  // namespace rotary::exact
