#include "side_port.h"

// Boost.Geometry's rescaling leaves a factor that GCC 12 cannot see is always set before use.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

#include <algorithm>
// Without the rescaling to integers Boost.Geometry does by default: its rounding moved a port
// wholly inside the chamber to 2e-7 of its area more than it has.
#define BOOST_GEOMETRY_NO_ROBUSTNESS
#include <boost/geometry.hpp>
#include <boost/geometry/geometries/point_xy.hpp>
#include <boost/geometry/geometries/polygon.hpp>
#include <cmath>
#include <numbers>

#include "chamber_cycle.h"
#include "real_shape.h"

namespace rotary {
namespace {

namespace bg = boost::geometry;
using Point = bg::model::d2::point_xy<double>;
using Polygon = bg::model::polygon<Point>;
using Polygons = bg::model::multi_polygon<Polygon>;
using std::numbers::pi;

// Samples of the bore's whole turn, and of each half of the flank: chords within a few
// millionths of the engine's size of the true curves.
constexpr int kBoreSamples = 8192;
constexpr int kHalfFlankSamples = 1024;
constexpr int kTipSamples = 24;
// Far from the port the outline keeps one point in this many: its chords there stay clear of the
// port by more than they stray from the curve.
constexpr int kFarStride = 32;
// The scan for the events, in shaft degrees, before each is halved down to its billionth.
constexpr double kScanStep = 3;
constexpr double kEventTolerance = 1e-9;

Polyline scaled(const Polyline& line, double factor) {
  Polyline out;
  out.reserve(line.size());
  for (const PlanePoint& p : line) out.push_back({p.x * factor, p.y * factor});
  return out;
}

Polygon polygonOf(const Polyline& line) {
  Polygon polygon;
  for (const PlanePoint& p : line) bg::append(polygon.outer(), Point(p.x, p.y));
  if (!line.empty()) bg::append(polygon.outer(), Point(line.front().x, line.front().y));
  bg::correct(polygon);
  return polygon;
}

// The rotor's flank from its right end to its left in the rotor's frame, in units of e.
Polyline flankSamples(double K, double offset) {
  Polyline line;
  const double end = exact::flankEnd(K, offset);
  for (int n = kHalfFlankSamples; n >= -kHalfFlankSamples; --n) {
    const double r =
        exact::kFlankMiddle + (end - exact::kFlankMiddle) * std::abs(n) / kHalfFlankSamples;
    const exact::Point p = exact::rotorFlankPoint(K, r, offset);
    line.push_back({n < 0 ? -p.x : p.x, p.y});
  }
  return line;
}

}  // namespace

Polyline chamberFlank(double e, double R, const RealEngine& real, double shaftAngle) {
  // The very points the side ports' chamber takes, so that a port drawn on them meets it there.
  const HousingFrame frame(1, R / e, RealEngine{real.sealOffset / e, real.clearance / e, 0});
  const HousingFrame::Placement place = frame.placement(shaftAngle);
  Polyline line;
  for (const PlanePoint& p : flankSamples(R / e, (real.sealOffset - real.clearance) / e)) {
    const PlanePoint q = place({p.x, p.y});
    line.push_back({q.x * e, q.y * e});
  }
  return line;
}

const PortDefinition* portOutsideTheBore(double e, double R, const RealEngine& real,
                                         const std::vector<PortDefinition>& ports) {
  for (const PortDefinition& port : ports) {
    if (port.kind != PortKind::kSide) continue;
    if (!(SideOpening(e, R, real, port.outline).areaInsideTheBore() > 0)) return &port;
  }
  return nullptr;
}

std::string outlineRefusal(const Polyline& outline) {
  std::size_t distinct = 0;
  for (std::size_t n = 0; n < outline.size(); ++n) {
    const PlanePoint& p = outline[n];
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) return "has a point that is no number";
    const PlanePoint& before = outline[(n + outline.size() - 1) % outline.size()];
    distinct += p.x != before.x || p.y != before.y;
  }
  if (distinct < 3) return "has fewer than three points: it encloses nothing";
  const Polygon polygon = polygonOf(outline);
  if (!(bg::area(polygon) > 0)) return "has no area";
  std::string why;
  if (!bg::is_valid(polygon, why)) return "crosses itself";
  return "";
}

struct SideOpening::Shapes {
  HousingFrame frame;
  double e, K, bore, flank;
  Polygon port;
  double portArea = 0, insideBore = 0;
  // The port's box grown by a margin: an outline's points outside it may be thinned.
  bg::model::box<Point> near;
  std::vector<PlanePoint> borePoints;  // the whole bore at even steps of its parameter
  std::vector<char> boreNear;          // which of them lie near the port
  Polyline flankLine;                  // right end to left end, in the rotor's frame, units of e
  exact::Point rightApex, leftApex, rightTip, leftTip;

  // Everything in units of e, as Boost.Geometry's tolerances are not all relative: at a
  // thousandth of the size its intersections dropped slivers and moved the events.
  Shapes(double e_, double R, const RealEngine& real, const Polyline& outline)
      : frame(1, R / e_, RealEngine{real.sealOffset / e_, real.clearance / e_, 0}),
        e(e_),
        K(R / e_),
        bore(real.sealOffset / e_),
        flank((real.sealOffset - real.clearance) / e_),
        port(polygonOf(scaled(outline, 1 / e_))) {
    portArea = bg::area(port) * e * e;
    for (int n = 0; n < kBoreSamples; ++n) {
      borePoints.push_back(frame.borePoint(2 * pi * n / kBoreSamples));
    }
    Polygon wholeBore;
    for (const PlanePoint& p : borePoints) bg::append(wholeBore.outer(), Point(p.x, p.y));
    bg::append(wholeBore.outer(), Point(borePoints.front().x, borePoints.front().y));
    bg::correct(wholeBore);
    Polygons inside;
    bg::intersection(port, wholeBore, inside);
    insideBore = bg::area(inside) * e * e;
    bg::envelope(port, near);
    const double margin = 0.02 * K;
    near.min_corner().x(near.min_corner().x() - margin);
    near.min_corner().y(near.min_corner().y() - margin);
    near.max_corner().x(near.max_corner().x() + margin);
    near.max_corner().y(near.max_corner().y() + margin);
    for (const PlanePoint& p : borePoints) boreNear.push_back(covers(p));

    flankLine = flankSamples(K, flank);
    rightApex = exact::housingPoint(K, exact::kRightApex, 0);
    leftApex = {-rightApex.x, rightApex.y};
    const exact::Point normal = exact::flankNormal(K, exact::kRightApex);
    rightTip = {rightApex.x + bore * normal.x, rightApex.y + bore * normal.y};
    leftTip = {-rightTip.x, rightTip.y};
  }

  // The chamber's outline at a shaft angle, thinned far from the port when `thin`.
  Polyline region(double shaftAngle, bool thin) const {
    Polyline line;
    // Keeps every point within a stride of one near the port, and every stride-th one; `isNear`
    // and `at` take the point's number. Only the points kept are placed.
    const auto addThinned = [&](long size, const auto& isNear, const auto& at) {
      if (!thin) {
        for (long n = 0; n < size; ++n) line.push_back(at(n));
        return;
      }
      std::vector<char> keep(static_cast<std::size_t>(size), 0);
      long lastNear = -2 * kFarStride - 2;
      for (long n = 0; n < size; ++n) {
        if (isNear(n)) {
          // Back over the stride before it, where the last near point's stride did not reach.
          for (long k = std::max({0L, n - kFarStride, lastNear + kFarStride + 1}); k < n; ++k) {
            keep[k] = 1;
          }
          lastNear = n;
        }
        keep[n] = n - lastNear <= kFarStride || n % kFarStride == 0 || n + 1 == size;
      }
      for (long n = 0; n < size; ++n) {
        if (keep[n]) line.push_back(at(n));
      }
    };
    // The bore from the leading seal's contact back to the trailing one's: its samples between
    // them, whose nearness to the port never changes.
    const double leading = HousingFrame::leadingSeal(shaftAngle);
    const double trailing = HousingFrame::trailingSeal(shaftAngle);
    const double step = 2 * pi / kBoreSamples;
    long first = static_cast<long>(std::floor(leading / step));
    if (static_cast<double>(first) * step >= leading) --first;
    long last = static_cast<long>(std::ceil(trailing / step));
    if (static_cast<double>(last) * step <= trailing) ++last;
    const PlanePoint leadingContact = frame.borePoint(leading);
    const PlanePoint trailingContact = frame.borePoint(trailing);
    const long inside = std::max(0L, first - last + 1);
    const auto sample = [&](long n) {
      const long index = (((first - n) % kBoreSamples) + kBoreSamples) % kBoreSamples;
      return static_cast<std::size_t>(index);
    };
    addThinned(
        inside + 2,
        [&](long n) {
          if (n == 0) return covers(leadingContact);
          if (n == inside + 1) return covers(trailingContact);
          return boreNear[sample(n - 1)] != 0;
        },
        [&](long n) {
          if (n == 0) return leadingContact;
          if (n == inside + 1) return trailingContact;
          return borePoints[sample(n - 1)];
        });
    // Round the trailing seal's tip to the flank, along the flank, round the leading seal's tip.
    const HousingFrame::Placement toFrame = frame.placement(shaftAngle);
    const double a = motionAngle(shaftAngle);
    const auto tipArc = [&](exact::Point apex, exact::Point from, exact::Point to) {
      if (bore == 0) return;
      const double t0 = std::atan2(from.y - apex.y, from.x - apex.x);
      const double turn = std::remainder(std::atan2(to.y - apex.y, to.x - apex.x) - t0, 2 * pi);
      for (int n = 1; n < kTipSamples; ++n) {
        const double t = t0 + turn * n / kTipSamples;
        line.push_back(toFrame({apex.x + bore * std::cos(t), apex.y + bore * std::sin(t)}));
      }
    };
    tipArc(rightApex, exact::borePoint(K, exact::kRightApex, a, bore), rightTip);
    // The flank stands still in the rotor's frame: the port's box taken there, as the box round
    // its four corners, is near enough for the flank's points to be judged without placing them.
    double left = INFINITY, right = -INFINITY, low = INFINITY, high = -INFINITY;
    for (const double x : {near.min_corner().x(), near.max_corner().x()}) {
      for (const double y : {near.min_corner().y(), near.max_corner().y()}) {
        const exact::Point corner = frame.toRotor({x, y}, shaftAngle);
        left = std::min(left, corner.x), right = std::max(right, corner.x);
        low = std::min(low, corner.y), high = std::max(high, corner.y);
      }
    }
    addThinned(
        static_cast<long>(flankLine.size()),
        [&](long n) {
          const PlanePoint& p = flankLine[n];
          return p.x >= left && p.x <= right && p.y >= low && p.y <= high;
        },
        [&](long n) {
          return toFrame({flankLine[n].x, flankLine[n].y});
        });
    tipArc(leftApex, leftTip, exact::borePoint(K, exact::kLeftApex, a, bore));
    return line;
  }

  bool covers(const PlanePoint& p) const { return bg::covered_by(Point(p.x, p.y), near); }

  double open(double shaftAngle) const {
    Polygons shared;
    bg::intersection(port, polygonOf(region(shaftAngle, true)), shared);
    return bg::area(shared) * e * e;
  }
};

SideOpening::SideOpening(double e, double R, const RealEngine& real, const Polyline& outline)
    : shapes_(new Shapes(e, R, real, outline)) {}

SideOpening::~SideOpening() {
  delete shapes_;
}

double SideOpening::portArea() const {
  return shapes_->portArea;
}

double SideOpening::areaInsideTheBore() const {
  return shapes_->insideBore;
}

double SideOpening::area(double shaftAngle) const {
  return shapes_->open(shaftAngle);
}

std::vector<Polyline> SideOpening::openParts(double shaftAngle) const {
  Polygons shared;
  bg::intersection(shapes_->port, polygonOf(shapes_->region(shaftAngle, true)), shared);
  std::vector<Polyline> parts;
  for (const Polygon& part : shared) {
    Polyline& line = parts.emplace_back();
    for (const Point& p : part.outer()) line.push_back({p.x() * shapes_->e, p.y() * shapes_->e});
  }
  return parts;
}

Polyline SideOpening::chamberRegion(double shaftAngle) const {
  return scaled(shapes_->region(shaftAngle, false), shapes_->e);
}

PortTiming SideOpening::timing() const {
  PortTiming t;
  if (!(shapes_->insideBore > 0)) return t;
  // Open or closed at each step of the scan. The longest closed stretch, round the end of the
  // cycle if need be, starts just after the port closes and ends just before it opens.
  const int steps = static_cast<int>(kShaftCycle / kScanStep);
  std::vector<bool> isOpen(steps);
  for (int n = 0; n < steps; ++n) isOpen[n] = area(n * kScanStep) > 0;
  int longest = 0, firstClosed = 0, lastClosed = 0;
  for (int n = 0, runStart = -1; n < 2 * steps; ++n) {
    if (isOpen[n % steps]) {
      runStart = -1;
      continue;
    }
    if (runStart < 0) runStart = n;
    const int length = n - runStart + 1;
    if (length > longest && length <= steps) {
      longest = length;
      firstClosed = runStart;
      lastClosed = n;
    }
  }
  // Never open, or never closed: no events.
  if (longest == steps || longest == 0) return PortTiming{};
  // Each change halved down between the closed step and the open one beside it.
  const auto halve = [&](double closed, double opened) {
    while (std::abs(opened - closed) > kEventTolerance) {
      const double middle = (closed + opened) / 2;
      (area(middle) > 0 ? opened : closed) = middle;
    }
    return (closed + opened) / 2;
  };
  t.opens = withinCycle(halve(lastClosed * kScanStep, (lastClosed + 1) * kScanStep));
  t.closes = withinCycle(halve(firstClosed * kScanStep, (firstClosed - 1) * kScanStep));
  t.openFor = withinCycle(t.closes - t.opens);
  const auto openAfter = [&](double after) { return area(t.opens + after); };
  // The area has kinks where a corner of the port meets the flank or a seal: three-point Gauss
  // rules on pieces of two degrees or less, whose points also look for the largest area.
  const int pieces = std::max(1, static_cast<int>(std::ceil(t.openFor / 2)));
  const double width = t.openFor / pieces, half = width / 2;
  const double node = std::sqrt(0.6);
  double bestAt = 0, best = 0;
  for (int n = 0; n < pieces; ++n) {
    const double middle = (n + 0.5) * width;
    const double atLeft = openAfter(middle - node * half), atMiddle = openAfter(middle),
                 atRight = openAfter(middle + node * half);
    t.angleArea += half * (5 * atLeft + 8 * atMiddle + 5 * atRight) / 9;
    for (const auto& [at, open] :
         {std::pair{middle - node * half, atLeft}, std::pair{middle, atMiddle},
          std::pair{middle + node * half, atRight}}) {
      if (open > best) best = open, bestAt = at;
    }
  }
  // Then golden sections about the best of them.
  double low = std::max(0.0, bestAt - width), high = std::min(t.openFor, bestAt + width);
  const double golden = (std::sqrt(5.0) - 1) / 2;
  for (int n = 0; n < 40; ++n) {
    const double left = high - golden * (high - low), right = low + golden * (high - low);
    if (openAfter(left) < openAfter(right)) {
      low = left;
    } else {
      high = right;
    }
  }
  t.largestArea = std::max(best, openAfter((low + high) / 2));
  return t;
}

}  // namespace rotary
