#include "real_outline.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>

#include "real_shape.h"

namespace rotary {
namespace {

using std::numbers::pi;
using Curve = std::function<exact::Point(double)>;

double distanceToSegment(PlanePoint p, PlanePoint a, PlanePoint b) {
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double length2 = dx * dx + dy * dy;
  double t = length2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / length2 : 0;
  t = std::clamp(t, 0.0, 1.0);
  return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

// The curve from t0 to t1 (t1 itself left out), halved where the middle of a chord strays more
// than `tolerance` from the curve. The curve is sampled at 64 points first, so that no turn
// hides between two.
void addCurve(Polyline& line, const Curve& curve, double t0, double t1, double tolerance) {
  const auto point = [&](double t) {
    const exact::Point p = curve(t);
    return PlanePoint{p.x, p.y};
  };
  const std::function<void(double, PlanePoint, double, PlanePoint, int)> refine =
      [&](double ta, PlanePoint a, double tb, PlanePoint b, int depth) {
        const double tm = (ta + tb) / 2;
        const PlanePoint m = point(tm);
        if (depth < 24 && distanceToSegment(m, a, b) > tolerance) {
          refine(ta, a, tm, m, depth + 1);
          refine(tm, m, tb, b, depth + 1);
        } else {
          line.push_back(a);
        }
      };
  constexpr int kFirstPieces = 64;
  PlanePoint before = point(t0);
  for (int k = 1; k <= kFirstPieces; ++k) {
    const double ta = t0 + (t1 - t0) * (k - 1) / kFirstPieces,
                 tb = t0 + (t1 - t0) * k / kFirstPieces;
    const PlanePoint after = point(tb);
    refine(ta, before, tb, after, 0);
    before = after;
  }
}

exact::Point turned(exact::Point p, double angle) {
  return {p.x * std::cos(angle) - p.y * std::sin(angle),
          p.x * std::sin(angle) + p.y * std::cos(angle)};
}

// The three flanks moved by `offset`, in units of e about the rotor centre, joined at the apexes
// by arcs of the offset's radius where it is outward.
Polyline rotorOf(double K, double offset, double tolerance) {
  const double end = exact::flankEnd(K, offset);
  const Curve right = [=](double r) { return exact::rotorFlankPoint(K, r, offset); };
  const Curve left = [=](double r) {
    const exact::Point p = exact::rotorFlankPoint(K, r, offset);
    return exact::Point{-p.x, p.y};
  };
  Polyline flank;
  // From the left end to the middle, then on to the right end.
  addCurve(
      flank, [&](double t) { return left(end + exact::kFlankMiddle - t); }, exact::kFlankMiddle,
      end, tolerance);
  addCurve(flank, right, exact::kFlankMiddle, end, tolerance);
  if (offset > 0) {
    // Round the apex, from this flank's end to the next one's start.
    const exact::Point apex = exact::housingPoint(K, exact::kRightApex, 0);
    const exact::Point from = right(end);
    const exact::Point to = turned(left(end), 2 * pi / 3);
    const double t0 = std::atan2(from.y - apex.y, from.x - apex.x);
    const double turn = std::remainder(std::atan2(to.y - apex.y, to.x - apex.x) - t0, 2 * pi);
    addCurve(
        flank,
        [&](double t) {
          return exact::Point{apex.x + offset * std::cos(t), apex.y + offset * std::sin(t)};
        },
        t0, t0 + turn, tolerance);
  } else {
    flank.push_back({right(end).x, right(end).y});
  }
  Polyline rotor;
  for (const double angle : {0.0, 2 * pi / 3, 4 * pi / 3}) {
    for (const PlanePoint& p : flank) {
      const exact::Point q = turned({p.x, p.y}, angle);
      rotor.push_back({q.x, q.y});
    }
  }
  return rotor;
}

// From units of e about the rotor centre to lengths about the crank axis, which lies at (0, e)
// from the rotor centre at top dead centre.
Polyline placed(const Polyline& line, double e) {
  Polyline out;
  out.reserve(line.size());
  for (const PlanePoint& p : line) out.push_back({p.x * e, p.y * e - e});
  return out;
}

}  // namespace

double drawingChordError(double R) {
  return std::max(0.002, 1e-5 * R);
}

RealOutlines realOutlines(double e, double R, const RealEngine& real, double chordError) {
  const double K = R / e, tolerance = chordError / e;
  const double bore = real.sealOffset / e, flank = (real.sealOffset - real.clearance) / e;
  RealOutlines o;
  Polyline line;
  addCurve(
      line, [=](double r) { return exact::borePoint(K, r, 0, bore); }, 0, 2 * pi, tolerance);
  o.bore = placed(line, e);
  line.clear();
  addCurve(
      line, [=](double r) { return exact::housingPoint(K, r, 0); }, 0, 2 * pi, tolerance);
  o.trochoid = placed(line, e);
  o.rotor = placed(rotorOf(K, flank, tolerance), e);
  o.rotorLimit = placed(rotorOf(K, bore, tolerance), e);
  o.crankAxis = {0, 0};
  o.rotorCentre = {0, -e};
  o.housingGear = {o.crankAxis, 2 * e};
  o.rotorGear = {o.rotorCentre, 3 * e};
  return o;
}

double smallestDistance(const Polyline& a, const Polyline& b) {
  double smallest = INFINITY;
  for (const auto& [from, to] : {std::pair{&a, &b}, std::pair{&b, &a}}) {
    for (const PlanePoint& p : *from) {
      for (std::size_t k = 0; k < to->size(); ++k) {
        smallest = std::min(smallest, distanceToSegment(p, (*to)[k], (*to)[(k + 1) % to->size()]));
      }
    }
  }
  return smallest;
}

}  // namespace rotary
