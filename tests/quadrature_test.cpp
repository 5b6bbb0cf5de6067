// What the exact computation's quadrature stops for, counted in evaluations of the integrand:
// a piece whose rules agree to the rounding of its integrand is done, however far its integral
// lies below the tolerance asked for; and the pieces that close in on an end meet the whole
// tolerance together.
#include "quadrature.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

namespace rotary::exact {
namespace {

using std::numbers::pi;

// An integral a billion times smaller than its integrand, over ten periods: a tolerance relative
// to the integral lies below the rounding of the rules themselves, and only the rounding rule
// ends the halving (without it, 217 evaluations here, 3937 over a hundred periods; a flank moved
// in close to its radius of curvature took 25 s an engine).
TEST(Quadrature, StopsWhereTheRulesAgreeToTheRounding) {
  long evaluations = 0;
  const double small = integral(
      [&](double x) {
        ++evaluations;
        return std::sin(x) + 1e-9;
      },
      0, 20 * pi, 1e-12);
  // As exact as the rounding of an integrand of magnitude 40 (its |sin| over ten periods) allows.
  EXPECT_NEAR(small, 20 * pi * 1e-9, 64 * 40 * std::numeric_limits<double>::epsilon());
  EXPECT_LE(evaluations, 31 * 3) << evaluations << " evaluations";
}

// An integrand that turns on a short length before its end: the pieces closing in on it meet
// the tolerance asked for, together.
TEST(Quadrature, ClosingInMeetsTheWholeTolerance) {
  for (const double tolerance : {1e-8, 1e-10, 1e-12}) {
    const double found =
        integralClosingIn([](double x) { return std::sqrt(1 - x) + 1e-3 / (1e-3 + (1 - x)); }, 0, 1,
                          1e-9, 1, tolerance);
    const double exact = 2.0 / 3 + 1e-3 * std::log((1 + 1e-3) / 1e-3);
    EXPECT_LE(std::abs(found - exact), tolerance * exact) << tolerance;
  }
}

}  // namespace
}  // namespace rotary::exact
