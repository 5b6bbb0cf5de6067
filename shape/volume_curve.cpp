#include "volume_curve.h"

#include <boost/math/tools/minima.hpp>
#include <cmath>
#include <limits>
#include <map>
#include <numbers>
#include <utility>

#include "exact_shape.h"

namespace rotary {

double sealLean(double K, double shaftAngle) {
  // Clockwise, the chamber's left apex goes ahead; it lies at K (cos 7pi/6, sin 7pi/6).
  const double a = motionAngle(shaftAngle);
  const exact::Point apex = exact::housingPoint(K, exact::kLeftApex, a);
  const exact::Point normal = exact::housingNormal(K, exact::kLeftApex, a);
  const double length = std::hypot(apex.x, apex.y);
  return std::asin((apex.x * normal.y - apex.y * normal.x) / length) / kRadiansPerDegree;
}

double largestSealLean(double K) {
  // Sampled over one period of the normal's swing (540 degrees of the shaft), then refined
  // about the largest sample.
  constexpr int kSamples = 540;
  int best = 0;
  for (int n = 1; n < kSamples; ++n) {
    if (std::abs(sealLean(K, n)) > std::abs(sealLean(K, best))) best = n;
  }
  const auto lessLean = [K](double shaftAngle) { return -std::abs(sealLean(K, shaftAngle)); };
  const auto [at, negated] = boost::math::tools::brent_find_minima(
      lessLean, best - 1.0, best + 1.0, std::numeric_limits<double>::digits / 2);
  (void)at;
  return -negated;
}

namespace {

// The chamber is its own mirror image about top dead centre, and the volume repeats after 540
// degrees: each angle is brought into the first stroke, from 0 to 270.
constexpr double kPeriod = 540, kStroke = 270, kWholeCycle = 1080;

double intoFirstStroke(double shaftAngle, bool& mirrored) {
  double within = std::fmod(shaftAngle, kPeriod);
  mirrored = within > kStroke;
  return mirrored ? kPeriod - within : within;
}

// The last step of `angleStep` degrees within the cycle, 1080 itself where the steps land on it.
long lastStep(double angleStep) {
  return static_cast<long>(std::floor(kWholeCycle / angleStep * (1 + 1e-12)));
}

}  // namespace

CycleVolumes cycleVolumes(double e, double R, double W, const RealEngine& real, double angleStep,
                          double volumeDivisor, const std::atomic<bool>* stop) {
  const ChamberCycle chamber(e, R, W, real, volumeDivisor);
  std::map<double, double> firstStroke;
  CycleVolumes found;
  const long count = lastStep(angleStep);
  found.shaftAngles.reserve(static_cast<std::size_t>(count) + 1);
  found.volumes.reserve(static_cast<std::size_t>(count) + 1);
  for (long n = 0; n <= count; ++n) {
    if (stop && n % 256 == 0 && stop->load()) break;
    const double theta = n * angleStep;
    bool mirrored = false;
    const double within = intoFirstStroke(theta, mirrored);
    auto [place, isNew] = firstStroke.try_emplace(within);
    if (isNew) place->second = chamber.volume(within);
    found.shaftAngles.push_back(theta);
    found.volumes.push_back(place->second);
  }
  return found;
}

std::vector<CyclePoint> volumeCurve(double e, double R, double W, const RealEngine& real,
                                    double angleStep, double volumeDivisor,
                                    const ChamberSettings& settings,
                                    const std::atomic<bool>* stop) {
  const double K = R / e;
  const ChamberCycle chamber(e, R, W, real, volumeDivisor, settings.recessArea.value_or(0));
  // Each angle of the first stroke computed once.
  struct Stroke {
    double volume, slope, surface;
  };
  std::map<double, Stroke> firstStroke;
  const auto atAngle = [&](double shaftAngle) {
    bool mirrored = false;
    const double within = intoFirstStroke(shaftAngle, mirrored);
    auto [place, isNew] = firstStroke.try_emplace(within);
    if (isNew) {
      place->second = {chamber.volume(within), chamber.slope(within), chamber.surface(within)};
    }
    Stroke at = place->second;
    if (mirrored) at.slope = -at.slope;
    return at;
  };
  std::vector<CyclePoint> curve;
  const long count = lastStep(angleStep);
  curve.reserve(static_cast<std::size_t>(count) + 1);
  for (long n = 0; n <= count; ++n) {
    if (stop && n % 256 == 0 && stop->load()) break;
    const double theta = n * angleStep;
    const Stroke at = atAngle(theta);
    CyclePoint point{theta,
                     theta / 3,
                     at.volume,
                     at.slope,
                     sealLean(K, theta),
                     at.surface,
                     at.surface / (at.volume * volumeDivisor),
                     torquePerBar(at.slope, volumeDivisor, settings.metresPerUnit),
                     std::nullopt,
                     std::nullopt};
    if (settings.rpm) {
      const SealMotion seal = sealMotion(e, R, real.sealOffset, theta);
      point.sealSpeed = metresPerSecond(seal, *settings.rpm, settings.metresPerUnit);
      point.sealInertiaPerGram = newtonsPerGram(seal, *settings.rpm, settings.metresPerUnit);
    }
    curve.push_back(point);
  }
  return curve;
}

}  // namespace rotary
