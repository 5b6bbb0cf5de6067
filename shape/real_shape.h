// The shape of a real engine, in units of the eccentricity: the bore, which lies at the apex
// seal's tip radius outside the trochoid (its parallel curve), the rotor flank moved out by the
// same radius and in by the clearance, and the chambers between them, each closed where the
// seals' rounded tips touch the bore.
#pragma once

#include <limits>

#include "exact_shape.h"

namespace rotary::exact {

// Outward offsets from the trochoid and from the largest flank of the bare shape.
struct Offsets {
  double bore = 0;   // the apex seal's tip radius A
  double flank = 0;  // A - C: the rotor flank lies this far outside the bare shape's flank
};

// Signed curvature of the housing at (r, a), positive where it bends around its centre.
double housingCurvature(double K, double r, double a);
// The length of the bore `offset` outside the trochoid from housing parameter `from` to `to` at
// motion angle a, in closed form for K > 3.
double boreArc(double K, double a, double offset, double from, double to);
// The housing's outward unit normal at (r, a).
Point housingNormal(double K, double r, double a);
// The bore point at (r, a).
Point borePoint(double K, double r, double a, double offset);

// The flank's outward unit normal and signed curvature, at parameter r as for flankPoint.
Point flankNormal(double K, double r);
double flankCurvature(double K, double r);
// The flank moved out along its normal by `offset` (in by a negative one).
Point rotorFlankPoint(double K, double r, double offset);

// Where the moved flank ends: at the apex, unless moved inwards, where it meets the next flank
// on the line from the rotor centre through the apex.
double flankEnd(double K, double offset);

// The largest apex-seal radius whose bore has neither cusps nor loops: the smallest radius of
// curvature where the trochoid bends inwards, at its waist, (K - 3)^2 / (9 - K) for K < 9;
// infinite from K = 9 on, where it bends inwards nowhere.
double largestSealOffset(double K);
// Whether the flank moved by `offset` is still a flank: moved inwards it must stay within the
// flank's smallest radius of curvature.
bool flankHolds(double K, double offset);

ChamberAreas realChamberAreas(double K, const Offsets& offsets);

// One chamber over the whole cycle: its area at any motion angle a (top dead centre at 0,
// bottom dead centre at pi), the flank's part computed once. With no offsets, the bare shape's.
class ChamberOverTheCycle {
 public:
  ChamberOverTheCycle(double K, const Offsets& offsets);
  double area(double a) const;

 private:
  double K_;
  Offsets offsets_;
  double flank_;
};

// d area / d a of that chamber. The rotor's side of the chamber (the flank, and the seals' tips
// and the rotor's ends that close it) stands still in the rotor's frame while the bore moves
// rigidly past it, and the area a rigid motion sweeps across a curve depends on the curve's two
// ends alone: here the points where the seals touch the bore. So the rate is exact, with no
// integral and no difference quotient.
double chamberAreaRate(double K, const Offsets& offsets, double a);

// The chamber's outline at motion angle a: the length of the moved flank, which does not change,
// and of the rest, the bore between the seals' points of contact and the seals' tips and the
// rotor's ends that close the chamber with a seal offset.
double movedFlankLength(double K, double offset);
double boreSideLength(double K, const Offsets& offsets, double a);

// The area the whole bore encloses, and the trochoid's length, for the checks of the bore.
double boreArea(double K, double offset);
// The length of the bore along one whole turn: the trochoid's, and 2 pi offset more outside it.
double borePerimeter(double K, double offset);
double housingPerimeter(double K);

}  // namespace rotary::exact
