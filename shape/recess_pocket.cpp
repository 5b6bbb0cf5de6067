#include "recess_pocket.h"

#include <algorithm>
#include <boost/math/tools/roots.hpp>
#include <cmath>

#include "quadrature.h"
#include "real_shape.h"

namespace rotary {
namespace {

constexpr double kTolerance = 1e-13;

// Along the flank moved by `offset` (units of e), from its middle to parameter r.
double lengthTo(double K, double offset, double r) {
  return exact::integralClosingIn(
      [=](double t) {
        const exact::Point slope = exact::flankTangent(K, t);
        const double stretch = offset == 0 ? 1 : 1 + offset * exact::flankCurvature(K, t);
        return std::hypot(slope.x, slope.y) * stretch;
      },
      exact::kFlankMiddle, r, exact::contactTurnLength(K), exact::contactConditioning(K),
      kTolerance);
}

// The parameter at length s from the middle, s from 0 to the half flank's length.
double parameterAt(double K, double offset, double s) {
  const double end = exact::flankEnd(K, offset);
  if (s <= 0) return exact::kFlankMiddle;
  std::uintmax_t iterations = 200;
  const auto [low, high] = boost::math::tools::toms748_solve(
      [=](double r) { return lengthTo(K, offset, r) - s; }, exact::kFlankMiddle, end, -s,
      lengthTo(K, offset, end) - s, boost::math::tools::eps_tolerance<double>(50), iterations);
  return (low + high) / 2;
}

// The direction of the flank at signed length s from the middle, going toward +s: the right half
// as its parameter grows, the left half its mirror image, run toward the middle.
double angleAt(double K, double offset, double s) {
  const exact::Point t = exact::flankTangent(K, parameterAt(K, offset, std::abs(s)));
  return s >= 0 ? std::atan2(t.y, t.x) : std::atan2(-t.y, t.x);
}

}  // namespace

double rotorTipRadius(double e, double R, const RealEngine& real) {
  const double offset = real.sealOffset - real.clearance;
  if (offset >= 0) return R + offset;
  const double K = R / e;
  const exact::Point p = exact::rotorFlankPoint(K, exact::flankEnd(K, offset / e), offset / e);
  return std::hypot(p.x, p.y) * e;
}

double halfFlankLength(double e, double R, const RealEngine& real) {
  const double K = R / e, offset = (real.sealOffset - real.clearance) / e;
  return lengthTo(K, offset, exact::flankEnd(K, offset)) * e;
}

std::optional<PocketFigures> pocketFigures(double e, double R, const RealEngine& real,
                                           const RecessPocket& pocket, double depth) {
  const double K = R / e, offset = (real.sealOffset - real.clearance) / e;
  const double half = halfFlankLength(e, R, real);
  PocketFigures f;
  f.depth = depth;
  f.from = pocket.lead - pocket.length / 2;
  f.to = pocket.lead + pocket.length / 2;
  if (!(f.from >= -half && f.to <= half)) return std::nullopt;
  // The tangent turns the same along a curve and along its parallels.
  f.turn = std::abs(std::remainder(angleAt(K, offset, f.to / e) - angleAt(K, offset, f.from / e),
                                   2 * std::acos(-1.0)));
  const double section = depth * pocket.length - depth * depth * f.turn / 2;
  f.volume = section * pocket.width;
  const double floor = pocket.length - depth * f.turn;
  f.wallArea = (floor - pocket.length) * pocket.width + 2 * depth * pocket.width + 2 * section;
  return f;
}

FlankPlace flankPlaceAt(double e, double R, const RealEngine& real, double s) {
  const double K = R / e, offset = (real.sealOffset - real.clearance) / e;
  return {parameterAt(K, offset, std::abs(s) / e), s < 0};
}

double halfFlankBetweenSlots(double e, double R, const RealEngine& real, double slotWidth) {
  const double K = R / e, offset = (real.sealOffset - real.clearance) / e;
  const double end = exact::flankEnd(K, offset), half = slotWidth / 2 / e;
  // The apex at 11pi/6 from the rotor's centre, at radius K.
  const double ux = std::cos(exact::kRightApex), uy = std::sin(exact::kRightApex);
  const auto fromLine = [=](double r) {
    const exact::Point p = exact::rotorFlankPoint(K, r, offset);
    return std::abs(p.x * uy - p.y * ux) - half;
  };
  if (!(slotWidth > 0) || fromLine(end) >= 0) return halfFlankLength(e, R, real);
  std::uintmax_t iterations = 200;
  const auto [low, high] = boost::math::tools::toms748_solve(
      fromLine, exact::kFlankMiddle, end, fromLine(exact::kFlankMiddle), fromLine(end),
      boost::math::tools::eps_tolerance<double>(50), iterations);
  return lengthTo(K, offset, (low + high) / 2) * e;
}

double pocketFloorReach(double e, double R, const RealEngine& real, const RecessPocket& pocket,
                        double depth) {
  const double from = pocket.lead - pocket.length / 2, to = pocket.lead + pocket.length / 2;
  const double nearest = from <= 0 && to >= 0 ? 0 : std::min(std::abs(from), std::abs(to));
  // The pocket's wall there runs in from the flank along its normal for the depth: its point
  // nearest the centre, which a deep pocket passes beyond.
  const double K = R / e, r = flankPlaceAt(e, R, real, nearest).r;
  const exact::Point p = exact::rotorFlankPoint(K, r, (real.sealOffset - real.clearance) / e);
  const exact::Point n = exact::flankNormal(K, r);
  const double along = std::clamp(p.x * n.x + p.y * n.y, 0.0, depth / e);
  return std::hypot(p.x - along * n.x, p.y - along * n.y) * e;
}

std::optional<double> pocketDepthFor(double e, double R, const RealEngine& real,
                                     const RecessPocket& pocket, double volume) {
  const auto shallow = pocketFigures(e, R, real, pocket, 0);
  if (!shallow) return std::nullopt;
  const double L = pocket.length, T = shallow->turn, per = volume / pocket.width;
  // d L - d^2 T / 2 = V / w, the smaller root; its largest value, at d = L / T, is L^2 / (2T).
  const double discriminant = L * L - 2 * T * per;
  if (!(discriminant >= 0)) return std::nullopt;
  // Written so that a flank that hardly turns loses no digits: 2 (V/w) / (L + sqrt(...)).
  return 2 * per / (L + std::sqrt(discriminant));
}

}  // namespace rotary
