#include "chamber_cycle.h"

#include <cmath>
#include <numbers>

#include "elliptic.h"
#include "exact_shape.h"
#include "quadrature.h"

namespace rotary {
namespace {

using std::numbers::pi;

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
  // half the motion angle, a third of the shaft's: the apex runs along the trochoid at a third of
  // the trochoid's own rate.
  const exact::Point slope = exact::housingTangent(K, exact::kLeftApex, a);
  const double apexSpeed = std::hypot(slope.x, slope.y) / 3 * e;
  // The point of contact, A outside the apex on the trochoid's normal, runs along the bore
  // stretched by 1 + A curvature. The tip's material there turns with the rotor, a third of the
  // shaft's speed, about the apex: A / 3 along the bore, the way the apex goes.
  const double stretch = 1 + sealOffset / e * exact::housingCurvature(K, exact::kLeftApex, a);
  const double sliding = apexSpeed + sealOffset / 3;
  // The rotor centre circles the crank axis at the shaft's speed, and the rotor turns at a third
  // of it: the seal, at the apex, feels the rotor's turn outwards, R omega^2 / 9, and the centre's
  // circling along the line from the crank axis to the centre, e omega^2, projected on its groove.
  const exact::Point fromCrank{-std::sin(a), -std::cos(a)};
  const exact::Point groove{std::cos(exact::kLeftApex), std::sin(exact::kLeftApex)};
  const double inertia = R / 9 + e * (fromCrank.x * groove.x + fromCrank.y * groove.y);
  return {sliding, apexSpeed * stretch, inertia};
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
  const double toMetresPerSecond = metresPerSecond({1, 0, 0}, rpm, metresPerUnit);
  const double toNewtonsPerGram = newtonsPerGram({0, 0, 1}, rpm, metresPerUnit);
  // The apex's speed per radian of the shaft is |e + R/3 e^(i phi)|, phi running once round while
  // the shaft turns 540 degrees: from |R/3 - e| to R/3 + e, and on the mean the perimeter of
  // that ellipse-like path, 2/pi (a + b) E(2 sqrt(ab) / (a + b)).
  const double a = R / 3, b = e, tip = sealOffset / 3;
  const double k = 2 * std::sqrt(a * b) / (a + b);
  const double meanApex = 2 / pi * (a + b) * ellipticE(std::min(k, 1.0));
  SealFigures f;
  f.rpm = rpm;
  f.leastSpeed = (std::abs(a - b) + tip) * toMetresPerSecond;
  f.largestSpeed = (a + b + tip) * toMetresPerSecond;
  f.meanSpeed = (meanApex + tip) * toMetresPerSecond;
  // The inertia is R/9 + e cos 2 beta, the apex's angle beta = 7 pi / 6 - theta / 3.
  f.leastInertia = (R / 9 - e) * toNewtonsPerGram;
  f.largestInertia = (R / 9 + e) * toNewtonsPerGram;
  if (R / 9 < e) {
    // Below 0 for arccos(R / 9e) either side of 2 beta = pi, at the shaft's 360 degrees (and 540
    // degrees on); 2 beta turns two thirds of the shaft's angle.
    const double half = std::acos(R / (9 * e)) * 1.5 / kRadiansPerDegree;
    f.drawnIn = std::pair{360 - half, 360 + half};
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
