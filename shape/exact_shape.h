// The shape itself, free of any step count or sample grid: the largest rotor flank in closed
// form and the chamber areas between it and the housing. Everything here is in units of the
// eccentricity, so it depends on the trochoid ratio K = R / e alone.
#pragma once

#include <numbers>

namespace rotary::exact {

struct Point {
  double x = 0;
  double y = 0;
};

// Curve parameters of the housing, seen from the rotor as the sweep sees it: the middle of the
// flank lies at 3pi/2, and the two apexes of the flank on the negative-y side lie at 7pi/6 and
// 11pi/6 for every motion angle, as the apexes generate the curve.
inline constexpr double kFlankMiddle = 1.5 * std::numbers::pi;
inline constexpr double kLeftApex = 7 * std::numbers::pi / 6;
inline constexpr double kRightApex = 11 * std::numbers::pi / 6;

// The housing point at curve parameter r and motion angle a, for e = 1 and R = K.
Point housingPoint(double K, double r, double a);

// d/dr and d2/dr2 of the housing point at (r, a).
Point housingTangent(double K, double r, double a);
Point housingBend(double K, double r, double a);

// The motion angle at which the housing touches the flank with its point at parameter r, for r
// from the middle of the flank to its apex. The contact condition factors into
// sin(3r/2 + pi/4) (the apex, which lies on the housing at every angle) and
// K cos(a - 3pi/4 - r/2) = 3 cos(3r/2 + pi/4), solved here for a.
double contactAngle(double K, double r);

// The length of curve parameter before the apex over which the contact angle turns: there
// 1 - (3/K cos(3r/2 + pi/4))^2, under the root of its derivative, falls from its own size to
// 1 - 9/K^2. It shrinks as sqrt(K - 3) when K comes down to 3, and the flank's integrals must
// resolve it.
double contactTurnLength(double K);
// How many times the rounding of the flank's points grows near the apex, where the slope of the
// contact angle divides by the root of 1 - u^2, a difference that falls to 1 - 9/K^2:
// 1 / (1 - 9/K^2).
double contactConditioning(double K);

// The point of the largest flank that the housing touches at parameter r: the inner envelope of
// the housing curves over every motion angle, from the middle of the flank (r = 3pi/2, x = 0)
// to the apex (r = 11pi/6). The other half is its mirror image across the y axis.
Point flankPoint(double K, double r);
// d/dr of that point, along the flank from its middle towards the apex.
Point flankTangent(double K, double r);
// d2/dr2 of it.
Point flankBend(double K, double r);

// The chambers of one flank, each closed by the housing arc between the two apexes and the flank.
struct ChamberAreas {
  double topDeadCentre = 0;
  double bottomDeadCentre = 0;  // the whole chamber, with any bulge beyond the apexes
};

// Valid for K > 3, where a three-flank rotor fits the housing.
ChamberAreas chamberAreas(double K);

// The parts of a chamber's area: the integral of y dx along the flank from apex to apex, and
// along the housing arc between the apexes at motion angle a. The chamber is the first less the
// second.
double areaUnderFlank(double K);
double areaUnderHousingArc(double K, double a);

// The area the whole housing curve encloses.
double housingArea(double K);

}  // namespace rotary::exact
