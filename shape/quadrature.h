// The one rule by which the exact computation integrates: the integrands are smooth and periodic
// in their parts, so an adaptive Gauss-Kronrod rule settles to the last digits within a few
// subdivisions.
//
// The subdivision is Boost's own, step for step, with one more reason to stop: a piece whose two
// rules already agree to the rounding of its integrand's magnitude is as exact as doubles make
// it. Without that, an integral much smaller than its integrand (a flank moved in close to the
// rotor centre, the flank's contact angle near K = 3) never meets a tolerance relative to the
// integral itself, and every piece was halved twenty times over: 25 s for one engine. And however
// an integrand behaves, no integral halves more than a few hundred pieces.
#pragma once

#include <boost/math/quadrature/gauss_kronrod.hpp>
#include <cmath>
#include <limits>

namespace rotary::exact {

namespace detail {

using Rule = boost::math::quadrature::gauss_kronrod<double, 31>;

// Where the Kronrod and Gauss rules differ by no more than this many roundings of the
// integrand's magnitude, halving the piece only adds rounding.
inline constexpr double kRoundingsOfMagnitude = 64;

template <typename Integrand>
double refined(Integrand& f, double from, double to, unsigned halvings, double inherited,
               double tolerance, double conditioning, int& halvingsLeft) {
  // As Boost's rule reports them: the difference of the rules on the piece mapped to [-1, 1],
  // and the integral of |f| over the piece itself.
  double difference = 0;
  double magnitude = 0;
  const double estimate = Rule::integrate(f, from, to, 0, 0, &difference, &magnitude);
  const double own = std::abs(estimate * tolerance);
  if (inherited == 0) inherited = own;
  const double rounding = kRoundingsOfMagnitude * std::numeric_limits<double>::epsilon() *
                          conditioning * magnitude / ((to - from) / 2);
  if (halvings == 0 || !(own < difference) || !(inherited < difference) ||
      !(rounding < difference) || halvingsLeft <= 0) {
    return estimate;
  }
  --halvingsLeft;
  const double middle = (from + to) / 2;
  const double left =
      refined(f, from, middle, halvings - 1, inherited / 2, tolerance, conditioning, halvingsLeft);
  return left +
         refined(f, middle, to, halvings - 1, inherited / 2, tolerance, conditioning, halvingsLeft);
}

// Halves a piece until its rules agree within `absolute` (halved with the piece), or within
// `rounding` of the integral of |f| over it.
template <typename Integrand>
double refinedTo(Integrand& f, double from, double to, unsigned halvings, double absolute,
                 double rounding, int& halvingsLeft) {
  double difference = 0;
  double magnitude = 0;
  const double estimate = Rule::integrate(f, from, to, 0, 0, &difference, &magnitude);
  const double error = difference * ((to - from) / 2);
  if (halvings == 0 || !(absolute < error) || !(rounding * magnitude < error) ||
      halvingsLeft <= 0) {
    return estimate;
  }
  --halvingsLeft;
  const double middle = (from + to) / 2;
  const double left =
      refinedTo(f, from, middle, halvings - 1, absolute / 2, rounding, halvingsLeft);
  return left + refinedTo(f, middle, to, halvings - 1, absolute / 2, rounding, halvingsLeft);
}

inline constexpr unsigned kMostHalvingsOfAPiece = 20;

// However its integrand behaves, an integral halves no more pieces than this (a smooth one needs
// a few dozen): where rounding hides from the rules that the answer has settled, they would
// halve on to the last level, a million pieces.
inline constexpr int kMostHalvingsOfAnIntegral = 400;

}  // namespace detail

// `conditioning` says how many times less exactly than its doubles the integrand is computed
// (1 for a plain formula; more where it takes a small difference of large terms).
template <typename Integrand>
double integral(Integrand f, double from, double to, double tolerance, double conditioning = 1) {
  constexpr unsigned kMostHalvings = 20;
  if (from == to) return 0;
  int halvingsLeft = detail::kMostHalvingsOfAnIntegral;
  if (to < from) {
    return -detail::refined(f, to, from, kMostHalvings, 0, tolerance, conditioning, halvingsLeft);
  }
  return detail::refined(f, from, to, kMostHalvings, 0, tolerance, conditioning, halvingsLeft);
}

// The same over pieces of [from, to] that close in on `to` geometrically, each four times
// shorter than the one before, down to `finest`: for an integrand that turns on a short length
// just before its end, so that every piece sees it on its own scale. Each piece answers to the
// whole integral's tolerance: its rules reach the rounding long before it (a share of the
// tolerance for each piece changed no figure, and no time measurably, on any engine tried).
template <typename Integrand>
double integralClosingIn(Integrand f, double from, double to, double finest, double conditioning,
                         double tolerance) {
  constexpr double kShrink = 4;
  if (!(finest < (to - from) / kShrink)) return integral(f, from, to, tolerance, conditioning);
  const double whole = std::abs(detail::Rule::integrate(f, from, to, 0, 0));
  const double rounding =
      detail::kRoundingsOfMagnitude * std::numeric_limits<double>::epsilon() * conditioning;
  int halvingsLeft = detail::kMostHalvingsOfAnIntegral;
  const auto piece = [&](double a, double b) {
    return detail::refinedTo(f, a, b, detail::kMostHalvingsOfAPiece, tolerance * whole, rounding,
                             halvingsLeft);
  };
  double length = finest;
  while (length * kShrink < (to - from) / kShrink) length *= kShrink;
  double sum = 0;
  double start = from;
  for (; length >= finest; length /= kShrink) {
    sum += piece(start, to - length);
    start = to - length;
  }
  return sum + piece(start, to);
}

}  // namespace rotary::exact
