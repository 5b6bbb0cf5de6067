#include "exact_shape.h"

#include <cmath>

#include "quadrature.h"

namespace rotary::exact {
namespace {

using std::numbers::pi;

// Relative, of the bare shape's integrals.
constexpr double kTolerance = 1e-14;

// d/dr of the housing abscissa, and d/da of it, at (r, a).
double abscissaByR(double K, double r, double a) {
  return -K * std::sin(r) - 3 * std::sin(3 * r - a);
}
double abscissaByA(double r, double a) {
  return std::cos(a) + std::sin(3 * r - a);
}

// The integral of y dx along the housing at motion angle a, from parameter `from` to `to`.
double underHousing(double K, double a, double from, double to) {
  // y dx = (cos a + K sin r + sin(3r - a)) (-K sin r - 3 sin(3r - a)) dr, a trigonometric
  // polynomial in r: its antiderivative term by term.
  const double cosA = std::cos(a);
  const auto antiderivative = [&](double r) {
    return K * cosA * std::cos(r) + cosA * std::cos(3 * r - a) -
           K * K * (r / 2 - std::sin(2 * r) / 4) -
           2 * K * (std::sin(2 * r - a) / 2 - std::sin(4 * r - a) / 4) -
           3 * (r / 2 - std::sin(6 * r - 2 * a) / 12);
  };
  return antiderivative(to) - antiderivative(from);
}

// d/dr of the housing ordinate, and d/da of it.
double ordinateByR(double K, double r, double a) {
  return K * std::cos(r) + 3 * std::cos(3 * r - a);
}
double ordinateByA(double r, double a) {
  return -std::sin(a) - std::cos(3 * r - a);
}

}  // namespace

// The signed area under the housing arc between the flank's apexes at motion angle a: the
// integral of y dx from the left apex to the right one, which counts a bulge beyond an apex,
// where the arc runs back, with its own sign.
double areaUnderHousingArc(double K, double a) {
  return underHousing(K, a, kLeftApex, kRightApex);
}

// The integral under the flank: twice its half from the middle to the right apex, as the flank is
// symmetric about the y axis.
double areaUnderFlank(double K) {
  const double half = integralClosingIn(
      [K](double r) { return flankPoint(K, r).y * flankTangent(K, r).x; }, kFlankMiddle, kRightApex,
      contactTurnLength(K), contactConditioning(K), kTolerance);
  return 2 * half;
}

Point housingTangent(double K, double r, double a) {
  return {abscissaByR(K, r, a), ordinateByR(K, r, a)};
}

Point housingBend(double K, double r, double a) {
  return {-K * std::cos(r) - 9 * std::cos(3 * r - a), -K * std::sin(r) - 9 * std::sin(3 * r - a)};
}

Point flankBend(double K, double r) {
  const double a = contactAngle(K, r);
  const double phase = 1.5 * r + pi / 4;
  const double u = (3 / K) * std::cos(phase);
  const double du = -(4.5 / K) * std::sin(phase), ddu = -(6.75 / K) * std::cos(phase);
  const double root = std::sqrt(1 - u * u);
  const double da = 0.5 - du / root;
  const double dda = -ddu / root - du * u * du / (root * root * root);
  const double c = std::cos(3 * r - a), sn = std::sin(3 * r - a);
  // E'' = P_rr + 2 P_ra a' + P_aa a'^2 + P_a a''.
  return {(-K * std::cos(r) - 9 * c) + 2 * (3 * c) * da + (-std::sin(a) - c) * da * da +
              (std::cos(a) + sn) * dda,
          (-K * std::sin(r) - 9 * sn) + 2 * (3 * sn) * da + (-std::cos(a) - sn) * da * da +
              (-std::sin(a) - c) * dda};
}

Point flankTangent(double K, double r) {
  const double a = contactAngle(K, r);
  const double phase = 1.5 * r + pi / 4;
  const double u = (3 / K) * std::cos(phase);
  const double angleByR = 0.5 + (4.5 / K) * std::sin(phase) / std::sqrt(1 - u * u);
  return {abscissaByR(K, r, a) + abscissaByA(r, a) * angleByR,
          ordinateByR(K, r, a) + ordinateByA(r, a) * angleByR};
}

Point housingPoint(double K, double r, double a) {
  return {std::sin(a) + K * std::cos(r) + std::cos(3 * r - a),
          std::cos(a) + K * std::sin(r) + std::sin(3 * r - a)};
}

double contactAngle(double K, double r) {
  // The branch through a = 0 at the middle of the flank, where the waist touches it.
  return r / 2 - 1.25 * pi + std::acos((3 / K) * std::cos(1.5 * r + pi / 4));
}

double contactTurnLength(double K) {
  return std::sqrt(K * K / 9 - 1) / 1.5;
}

double contactConditioning(double K) {
  return 1 / (1 - 9 / (K * K));
}

Point flankPoint(double K, double r) {
  return housingPoint(K, r, contactAngle(K, r));
}

ChamberAreas chamberAreas(double K) {
  const double flank = areaUnderFlank(K);
  // Top dead centre at motion angle 0, bottom dead centre half a turn later.
  return {flank - areaUnderHousingArc(K, 0), flank - areaUnderHousingArc(K, pi)};
}

double housingArea(double K) {
  // Counter-clockwise as r grows: the enclosed area is minus the integral of y dx.
  return -underHousing(K, 0, 0, 2 * pi);
}

}  // namespace rotary::exact
