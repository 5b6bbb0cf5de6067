// The housing's frame, in which a designer draws ports and the DXF draws the engine: the housing
// centre (the crank axis) at the origin, the major axis along x. At shaft angle 0 the rotor
// centre stands at (0, -e) and the chamber on -y is at top dead centre of compression; the shaft
// and the rotor turn counterclockwise, so that this chamber reaches bottom dead centre on +x at
// 270 degrees, top dead centre on +y at 540 (the end of exhaust), bottom dead centre on -x at 810
// (the end of intake) and top dead centre of compression again at 1080.
//
// The exact shape is computed seen from the rotor, in units of e, with the housing moving around
// it; this frame is that one turned back, scaled and mirrored across the y axis (the exact
// shape's housing turns the other way round the rotor).
#pragma once

#include <cmath>

#include "exact_shape.h"
#include "plane.h"
#include "real_engine.h"

namespace rotary {

// Degrees of the shaft in one chamber's cycle, and an angle brought within 0 to 1080.
inline constexpr double kShaftCycle = 1080;
inline double withinCycle(double shaftAngle) {
  const double within = std::fmod(shaftAngle, kShaftCycle);
  return within < 0 ? within + kShaftCycle : within;
}

class HousingFrame {
 public:
  HousingFrame(double e, double R, const RealEngine& real);

  double eccentricity() const { return e_; }

  // The map from the exact shape's rotor frame to this one at a shaft angle, for many points.
  struct Placement {
    double e, sinA, cosA, c, s;
    PlanePoint operator()(exact::Point p) const {
      const double qx = p.x - sinA, qy = p.y - cosA;
      return {-e * (qx * c + qy * s), e * (qy * c - qx * s)};
    }
    // And back from this frame to the rotor's.
    exact::Point back(PlanePoint p) const {
      const double rx = -p.x / e, ry = p.y / e;
      return {rx * c - ry * s + sinA, rx * s + ry * c + cosA};
    }
  };
  Placement placement(double shaftAngle) const;

  // A point of the exact shape's rotor frame (units of e, rotor centre at the origin) at a shaft
  // angle in degrees, in this frame; and back.
  PlanePoint fromRotor(exact::Point p, double shaftAngle) const;
  exact::Point toRotor(PlanePoint p, double shaftAngle) const;

  // The rotor centre at a shaft angle.
  PlanePoint rotorCentre(double shaftAngle) const;

  // The bore, the housing as machined, at trochoid parameter theta in radians (the trochoid is
  // e (cos 3 theta, sin 3 theta) + R (cos theta, sin theta), the bore the seal offset outside it),
  // and its polar angle about the housing centre, which grows with theta.
  PlanePoint borePoint(double theta) const;
  double borePolarAngle(double theta) const;
  // The parameter whose bore point lies at a polar angle, in radians, within pi of it.
  double boreParameterAt(double polarAngle) const;
  // The length of the bore from parameter `from` to `to`, to > from.
  double boreLength(double from, double to) const;

  // The trochoid parameters of the points where the chamber's trailing and leading apex seals
  // touch the bore at a shaft angle in degrees: the chamber spans the bore between them, a third
  // of the turn, moving counterclockwise a third as fast as the shaft.
  static double trailingSeal(double shaftAngle);
  static double leadingSeal(double shaftAngle);
  // The shaft angles in degrees at which the leading and the trailing seal reach a parameter,
  // within 0 to 1080.
  static double leadingSealReaches(double theta);
  static double trailingSealReaches(double theta);

 private:
  double e_, K_, borePerE_;
  Placement atTopDeadCentre_;  // the bore's own placement, at shaft angle 0
};

}  // namespace rotary
