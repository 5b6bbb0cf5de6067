#include "housing_frame.h"

#include <boost/math/tools/roots.hpp>
#include <cmath>
#include <numbers>

#include "chamber_cycle.h"
#include "quadrature.h"
#include "real_shape.h"

namespace rotary {
namespace {

using std::numbers::pi;

}  // namespace

HousingFrame::HousingFrame(double e, double R, const RealEngine& real)
    : e_(e), K_(R / e), borePerE_(real.sealOffset / e), atTopDeadCentre_(placement(0)) {}

HousingFrame::Placement HousingFrame::placement(double shaftAngle) const {
  const double a = motionAngle(shaftAngle);
  // Seen from the rotor the housing centre stands at (sin a, cos a) and the housing is turned by
  // a / 2; turned back, and mirrored so that the rotor turns counterclockwise.
  return {e_, std::sin(a), std::cos(a), std::cos(a / 2), std::sin(a / 2)};
}

PlanePoint HousingFrame::fromRotor(exact::Point p, double shaftAngle) const {
  return placement(shaftAngle)(p);
}

exact::Point HousingFrame::toRotor(PlanePoint p, double shaftAngle) const {
  return placement(shaftAngle).back(p);
}

PlanePoint HousingFrame::rotorCentre(double shaftAngle) const {
  return fromRotor({0, 0}, shaftAngle);
}

PlanePoint HousingFrame::borePoint(double theta) const {
  // The mirror takes the trochoid's parameter theta to pi - theta.
  return atTopDeadCentre_(exact::borePoint(K_, pi - theta, 0, borePerE_));
}

double HousingFrame::borePolarAngle(double theta) const {
  const PlanePoint p = borePoint(theta);
  return theta + std::remainder(std::atan2(p.y, p.x) - theta, 2 * pi);
}

double HousingFrame::boreParameterAt(double polarAngle) const {
  // The bore's polar angle strays from its parameter by less than a radian: by asin(1 / K) on
  // the trochoid, and the seal offset's normal turns it less.
  const auto miss = [&](double theta) { return borePolarAngle(theta) - polarAngle; };
  boost::math::tools::eps_tolerance<double> close(std::numeric_limits<double>::digits - 2);
  std::uintmax_t iterations = 200;
  const auto [low, high] =
      boost::math::tools::toms748_solve(miss, polarAngle - 1, polarAngle + 1, close, iterations);
  return (low + high) / 2;
}

double HousingFrame::boreLength(double from, double to) const {
  // The frame's parameter theta is the trochoid's pi - theta.
  return e_ * exact::boreArc(K_, 0, borePerE_, pi - to, pi - from);
}

double HousingFrame::trailingSeal(double shaftAngle) {
  return -5 * pi / 6 + shaftAngle / 3 * kRadiansPerDegree;
}

double HousingFrame::leadingSeal(double shaftAngle) {
  return -pi / 6 + shaftAngle / 3 * kRadiansPerDegree;
}

double HousingFrame::leadingSealReaches(double theta) {
  return withinCycle(3 * (theta + pi / 6) / kRadiansPerDegree);
}

double HousingFrame::trailingSealReaches(double theta) {
  return withinCycle(3 * (theta + 5 * pi / 6) / kRadiansPerDegree);
}

}  // namespace rotary
