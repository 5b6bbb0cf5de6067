#include "chamber_cycle.h"

#include <boost/math/tools/minima.hpp>
#include <boost/math/tools/roots.hpp>
#include <cmath>
#include <limits>
#include <numbers>

#include "exact_shape.h"
#include "quadrature.h"

namespace rotary {
namespace {

using std::numbers::pi;

// The smallest value of f over a period of shaft angles, with where it lies: sampled, then
// refined about the least sample. The seal's speed and inertia swing once or twice a period, as
// broad as a stroke: 72 samples over the period find the right swing with room to spare.
template <typename F>
std::pair<double, double> leastOver(F f, double period) {
  constexpr int kSamples = 72;
  const double step = period / kSamples;
  int best = 0;
  double least = f(0);
  for (int n = 1; n < kSamples; ++n) {
    if (const double value = f(n * step); value < least) {
      least = value;
      best = n;
    }
  }
  const auto [at, value] = boost::math::tools::brent_find_minima(
      f, (best - 1) * step, (best + 1) * step, std::numeric_limits<double>::digits / 2);
  return {at, std::min(value, least)};
}

// The shaft angle within (from, to) where f changes sign.
template <typename F>
double rootBetween(F f, double from, double to) {
  std::uintmax_t iterations = 200;
  const auto [low, high] = boost::math::tools::toms748_solve(
      f, from, to, boost::math::tools::eps_tolerance<double>(50), iterations);
  return (low + high) / 2;
}

}  // namespace

ChamberCycle::ChamberCycle(double e, double R, double W, const RealEngine& real,
                           double volumeDivisor, double recessArea)
    : K_(R / e),
      e_(e),
      W_(W),
      divisor_(volumeDivisor),
      recess_(real.recess),
      recessArea_(recessArea),
      offsets_(offsetsOf(real, e)),
      chamber_(K_, offsets_),
      flankLength_(exact::movedFlankLength(K_, offsets_.flank)) {}

double ChamberCycle::volume(double shaftAngle) const {
  return volumeOfArea(chamber_.area(motionAngle(shaftAngle)), e_, W_, divisor_) + recess_;
}

double ChamberCycle::slope(double shaftAngle) const {
  // d a / d shaft angle is two thirds of a radian per radian.
  const double rate = exact::chamberAreaRate(K_, offsets_, motionAngle(shaftAngle));
  return volumeOfArea(rate, e_, W_, divisor_) * (2.0 / 3) * kRadiansPerDegree;
}

double ChamberCycle::surface(double shaftAngle) const {
  const double a = motionAngle(shaftAngle);
  const double outline = exact::boreSideLength(K_, offsets_, a) + flankLength_;
  return outline * e_ * W_ + 2 * (chamber_.area(a) * e_ * e_) + recessArea_;
}

double ChamberCycle::surfaceToVolume(double shaftAngle) const {
  return surface(shaftAngle) / (volume(shaftAngle) * divisor_);
}

double torquePerBar(double slopePerDegree, double volumeDivisor, double metresPerUnit) {
  const double cubicMetresPerRadian = slopePerDegree / kRadiansPerDegree * volumeDivisor *
                                      metresPerUnit * metresPerUnit * metresPerUnit;
  return cubicMetresPerRadian * kPascalsPerBar;
}

SealMotion sealMotion(double e, double R, double sealOffset, double shaftAngle) {
  const double K = R / e;
  const double a = motionAngle(shaftAngle);
  // The seal ahead of the chamber stands at the flank's left apex. The housing turns past it by
  // half the motion angle, a third of the shaft's: its point of contact runs along the trochoid
  // at a third of the trochoid's own rate, stretched on the bore, A outside, by 1 + A curvature.
  const exact::Point slope = exact::housingTangent(K, exact::kLeftApex, a);
  const double stretch = 1 + sealOffset / e * exact::housingCurvature(K, exact::kLeftApex, a);
  const double speed = std::hypot(slope.x, slope.y) / 3 * stretch * e;
  // The rotor centre circles the crank axis at the shaft's speed, and the rotor turns at a third
  // of it: the seal, at the apex, feels the rotor's turn outwards, R omega^2 / 9, and the centre's
  // circling along the line from the crank axis to the centre, e omega^2, projected on its groove.
  const exact::Point fromCrank{-std::sin(a), -std::cos(a)};
  const exact::Point groove{std::cos(exact::kLeftApex), std::sin(exact::kLeftApex)};
  const double inertia = R / 9 + e * (fromCrank.x * groove.x + fromCrank.y * groove.y);
  return {speed, inertia};
}

namespace {

double radiansPerSecond(double rpm) {
  return rpm * 2 * pi / 60;
}

}  // namespace

double metresPerSecond(const SealMotion& motion, double rpm, double metresPerUnit) {
  return motion.speed * radiansPerSecond(rpm) * metresPerUnit;
}

double newtonsPerGram(const SealMotion& motion, double rpm, double metresPerUnit) {
  constexpr double kKilogramsPerGram = 1e-3;
  const double omega = radiansPerSecond(rpm);
  return motion.inertia * omega * omega * metresPerUnit * kKilogramsPerGram;
}

SealFigures sealFigures(double e, double R, double sealOffset, double rpm, double metresPerUnit) {
  const double toMetresPerSecond = metresPerSecond({1, 0}, rpm, metresPerUnit);
  const double toNewtonsPerGram = newtonsPerGram({0, 1}, rpm, metresPerUnit);
  const auto speed = [=](double theta) { return sealMotion(e, R, sealOffset, theta).speed; };
  const auto inertia = [=](double theta) { return sealMotion(e, R, sealOffset, theta).inertia; };
  // The seal's contact runs along half the bore while the shaft turns 540 degrees, and its speed
  // and inertia repeat from there.
  constexpr double kPeriod = 540;
  SealFigures f;
  f.rpm = rpm;
  f.leastSpeed = leastOver(speed, kPeriod).second * toMetresPerSecond;
  f.largestSpeed =
      -leastOver([&](double t) { return -speed(t); }, kPeriod).second * toMetresPerSecond;
  const double travel = exact::integral(speed, 0, kPeriod, 1e-13);
  f.meanSpeed = travel / kPeriod * toMetresPerSecond;
  const auto [pulledInMost, least] = leastOver(inertia, kPeriod);
  f.leastInertia = least * toNewtonsPerGram;
  f.largestInertia =
      -leastOver([&](double t) { return -inertia(t); }, kPeriod).second * toNewtonsPerGram;
  if (least < 0) {
    // The inertia rises on either side of its least to its largest, half a period away.
    const double half = kPeriod / 2;
    double from = rootBetween(inertia, pulledInMost - half, pulledInMost);
    const double to = rootBetween(inertia, pulledInMost, pulledInMost + half);
    const double shift = std::floor(from / kPeriod) * kPeriod;
    from -= shift;
    f.drawnIn = std::pair{from, to - shift};
  }
  return f;
}

double ottoEfficiency(double ratio, double gamma) {
  return 1 - std::pow(ratio, 1 - gamma);
}

ChamberFigures chamberFigures(double e, double R, double W, const RealEngine& real,
                              const ExactFigures& figures, double volumeDivisor,
                              const ChamberSettings& settings) {
  ChamberFigures f;
  const double K = R / e;
  const exact::Offsets offsets = offsetsOf(real, e);
  // The dead volume holds the chamber's area at top dead centre and the recess: the side walls
  // come from it, with no integral of their own.
  const double deadVolume = figures.deadVolume * volumeDivisor;
  const double sideWalls = 2 * ((deadVolume - real.recess * volumeDivisor) / W);
  const double outline =
      exact::boreSideLength(K, offsets, 0) + exact::movedFlankLength(K, offsets.flank);
  const double surface = outline * e * W + sideWalls + settings.recessArea.value_or(0);
  f.surfaceToVolumeAtTdc = surface / deadVolume;
  f.ottoEfficiency = ottoEfficiency(figures.ratio, settings.gamma);
  f.recessWallsLeftOut = real.recess > 0 && !settings.recessArea;
  if (settings.rpm) {
    f.seal = sealFigures(e, R, real.sealOffset, *settings.rpm, settings.metresPerUnit);
  }
  return f;
}

}  // namespace rotary
