// What the exact computation's quadrature stops for, counted in evaluations of the integrand:
// a piece whose rules agree to the rounding of its integrand is done, however far its integral
// lies below the tolerance asked for; and the pieces that close in on an end meet the whole
// tolerance together.
#include "quadrature.h"

#include <gtest/gtest.h>

#include <boost/math/special_functions/ellint_2.hpp>
#include <cmath>
#include <limits>
#include <numbers>
#include <random>

#include "elliptic.h"

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

// The elliptic integral in doubles against Boost's own in long double, over the moduli the
// bore's length takes (K from 3 to a million: k from 1 down to 0.0035) and any angle.
TEST(EllipticIntegral, InDoublesIsBoostsLongDoubleToTheLastDigitsShown) {
  std::mt19937_64 random(1);
  std::uniform_real_distribution<double> K(3.0001, 1e6), phi(-10, 10);
  double worst = 0;
  for (int n = 0; n < 20000; ++n) {
    const double k = std::sqrt(12 * K(random)) / (K(random) + 3);
    if (!(k < 1)) continue;
    const double angle = phi(random);
    const double wide = boost::math::ellint_2(k, angle), narrow = ellipticE(k, angle);
    worst = std::max(worst, std::abs(narrow - wide) / std::max(std::abs(wide), 1e-300));
    const double complete = boost::math::ellint_2(k);
    worst = std::max(worst, std::abs(ellipticE(k) - complete) / complete);
  }
  // At the multiples of pi/2, where the bore's apexes land at a shaft angle of 90 degrees.
  for (int n = -8; n <= 8; ++n) {
    const double k = std::sqrt(12 * 7.0) / 10, angle = n * std::numbers::pi / 2;
    const double wide = boost::math::ellint_2(k, angle);
    ASSERT_TRUE(std::isfinite(ellipticE(k, angle))) << n;
    worst = std::max(worst, std::abs(ellipticE(k, angle) - wide) / std::max(std::abs(wide), 1.0));
  }
  EXPECT_LT(worst, 1e-14);
  EXPECT_EQ(ellipticE(0.0), std::numbers::pi / 2);
  EXPECT_EQ(ellipticE(1.0), 1.0);
}

}  // namespace
}  // namespace rotary::exact
