#include "side_port.h"

// Boost.Geometry's rescaling leaves a factor that GCC 12 cannot see is always set before use.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

#include <algorithm>
#include <array>
// Without the rescaling to integers Boost.Geometry does by default: its rounding moved a port
// wholly inside the chamber to 2e-7 of its area more than it has.
#define BOOST_GEOMETRY_NO_ROBUSTNESS
#include <boost/geometry.hpp>
#include <boost/geometry/geometries/point_xy.hpp>
#include <boost/geometry/geometries/polygon.hpp>
#include <cmath>
#include <functional>
#include <numbers>

#include "chamber_cycle.h"
#include "port_zones.h"
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
// Inside the port, away from its edges, one point in this many: the chords' areas there balance.
constexpr int kInsideStride = 4;
// The band about the port's edges in which the chamber's outline keeps every point, as a share
// of R: it holds the chords of a far stride clear of the port.
constexpr double kBand = 0.001;
// Beyond the port's neighbourhood, a tenth of R about it, one point in this many: its chords stray
// from the curves by less than a tenth of that.
constexpr double kNeighbourhood = 0.1;
constexpr int kRemoteStride = 256;
// The wide box about the port, as a share of R, that the scan steps over while the rotor stays
// out of it.
constexpr double kWide = 0.3;
// The scan for the events, in shaft degrees, before each is halved down to its billionth.
constexpr double kScanStep = 3;
constexpr double kEventTolerance = 1e-9;
// The angle-area's pieces are halved until their rules agree to this share of the port's area
// over each degree, at most so many times.
constexpr double kAngleAreaTolerance = 1e-5;
constexpr int kMostHalvings = 8;
constexpr long kHalfPieceSteps = 2;
constexpr int kGoldenSections = 24;

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

// The rotor's flank from its right end to its left in the rotor's frame, in units of e: its
// right half computed, its left half the mirror image.
Polyline flankSamples(double K, double offset) {
  const double end = exact::flankEnd(K, offset);
  std::vector<exact::Point> half;
  for (int n = 0; n <= kHalfFlankSamples; ++n) {
    const double r = exact::kFlankMiddle + (end - exact::kFlankMiddle) * n / kHalfFlankSamples;
    half.push_back(exact::rotorFlankPoint(K, r, offset));
  }
  Polyline line;
  for (int n = kHalfFlankSamples; n >= -kHalfFlankSamples; --n) {
    const exact::Point& p = half[static_cast<std::size_t>(std::abs(n))];
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
  // Where the outline's points stand against the port, and the box beyond which all are far.
  PortZones zones;
  bg::model::box<Point> near;
  // Beyond this box the outline keeps one point in a longer stride still.
  bg::model::box<Point> around;
  // While the rotor's parts of the outline stay out of this wider box, the port stays as it is
  // for so many steps of the scan after.
  bg::model::box<Point> wide;
  int stepsUnchanged = 0;
  // The bore's samples at even steps of its parameter that the thinned outline keeps: those near
  // the port, every stride-th in its neighbourhood and every longer stride's beyond; their
  // numbers and their points.
  std::vector<int> boreKept;
  std::vector<PlanePoint> boreKeptPoints;
  std::vector<int> nearBefore;  // how many lie near the port before each
  Polyline flankLine;           // right end to left end, in the rotor's frame, units of e
  // Its points moved off the curve, for the chords of a stride inside the port: out by two
  // thirds of such a chord's sagitta, so that each chord cuts off as much as it leaves.
  Polyline flankInside;
  bool flankFalls = true;  // its x falls all along it
  double flankStep = 0;    // the longest step from one of its points to the next
  exact::Point rightApex, leftApex, rightTip, leftTip;

  // Everything in units of e, as Boost.Geometry's tolerances are not all relative: at a
  // thousandth of the size its intersections dropped slivers and moved the events.
  Shapes(double e_, double R, const RealEngine& real, const Polyline& outline)
      : frame(1, R / e_, RealEngine{real.sealOffset / e_, real.clearance / e_, 0}),
        e(e_),
        K(R / e_),
        bore(real.sealOffset / e_),
        flank((real.sealOffset - real.clearance) / e_),
        port(polygonOf(scaled(outline, 1 / e_))),
        zones(scaled(outline, 1 / e_), kBand * R / e_),
        near(Point(zones.left(), zones.bottom()), Point(zones.right(), zones.top())),
        around(
            Point(zones.left() - kNeighbourhood * R / e_, zones.bottom() - kNeighbourhood * R / e_),
            Point(zones.right() + kNeighbourhood * R / e_, zones.top() + kNeighbourhood * R / e_)) {
    portArea = bg::area(port) * e * e;
    wide = bg::model::box<Point>(Point(zones.left() - kWide * K, zones.bottom() - kWide * K),
                                 Point(zones.right() + kWide * K, zones.top() + kWide * K));
    // The rotor's parts out of the wide box lie so far from the port, less what the outline's
    // chords stray from the curves. Nothing of the rotor moves faster than its far tip,
    // 1 + (K + A) / 3 of e a radian of the shaft.
    const double clear = (kWide - 0.02) * K;
    const double fastest = (1 + (K + bore) / 3) * pi / 180;
    stepsUnchanged = std::max(0, static_cast<int>(std::floor(clear / fastest / kScanStep)) - 1);
    // The bore at every stride-th sample, and at every sample along the strides that come near
    // the port: a stride's arc lies within its chord's length of its ends. Only the points the
    // thinned outline keeps are kept.
    const auto at = [&](int n) { return frame.borePoint(2 * pi * n / kBoreSamples); };
    std::vector<PlanePoint> strides;
    for (int n = 0; n < kBoreSamples; n += kFarStride) strides.push_back(at(n));
    nearBefore.assign(kBoreSamples + 1, 0);
    bool boreNearPort = false;
    for (int stride = 0; stride < kBoreSamples / kFarStride; ++stride) {
      const PlanePoint& a = strides[stride];
      const PlanePoint& b = strides[(stride + 1) % strides.size()];
      const double reach = std::hypot(b.x - a.x, b.y - a.y);
      const bg::model::box<Point> chord(
          Point(std::min(a.x, b.x) - reach, std::min(a.y, b.y) - reach),
          Point(std::max(a.x, b.x) + reach, std::max(a.y, b.y) + reach));
      const bool filled = bg::intersects(chord, near);
      for (int k = 0; k < kFarStride; ++k) {
        const int n = stride * kFarStride + k;
        const bool computed = k == 0 || filled;
        const PlanePoint p = k == 0 ? a : filled ? at(n) : PlanePoint{};
        const bool isNear = computed && covers(p);
        boreNearPort = boreNearPort || isNear;
        nearBefore[n + 1] = nearBefore[n] + isNear;
        if (isNear || n % kRemoteStride == 0 ||
            (k == 0 && bg::covered_by(Point(p.x, p.y), around))) {
          boreKept.push_back(n);
          boreKeptPoints.push_back(p);
        }
      }
    }
    // The part of the port inside the bore, from the same thinned outline as the chamber's.
    Polygon wholeBore;
    for (const PlanePoint& p : boreKeptPoints) bg::append(wholeBore.outer(), Point(p.x, p.y));
    bg::append(wholeBore.outer(), wholeBore.outer().front());
    bg::correct(wholeBore);
    if (!boreNearPort) {
      insideBore = bg::covered_by(port.outer().front(), wholeBore) ? portArea : 0;
    } else {
      Polygons inside;
      bg::intersection(port, wholeBore, inside);
      insideBore = bg::area(inside) * e * e;
    }

    flankLine = flankSamples(K, flank);
    for (std::size_t n = 1; n < flankLine.size(); ++n) {
      flankFalls = flankFalls && flankLine[n].x < flankLine[n - 1].x;
      flankStep = std::max(flankStep, std::hypot(flankLine[n].x - flankLine[n - 1].x,
                                                 flankLine[n].y - flankLine[n - 1].y));
    }
    flankInside = flankLine;
    for (std::size_t n = kInsideStride; n + kInsideStride < flankLine.size(); ++n) {
      const PlanePoint& before = flankLine[n - kInsideStride];
      const PlanePoint& after = flankLine[n + kInsideStride];
      const PlanePoint& p = flankLine[n];
      flankInside[n] = {p.x - (before.x - 2 * p.x + after.x) / 12,
                        p.y - (before.y - 2 * p.y + after.y) / 12};
    }
    rightApex = exact::housingPoint(K, exact::kRightApex, 0);
    leftApex = {-rightApex.x, rightApex.y};
    const exact::Point normal = exact::flankNormal(K, exact::kRightApex);
    rightTip = {rightApex.x + bore * normal.x, rightApex.y + bore * normal.y};
    leftTip = {-rightTip.x, rightTip.y};
  }

  // The chamber's outline at a shaft angle, thinned far from the port when `thin`, and whether
  // any of its points lies near the port.
  struct Outline {
    Polyline line;
    bool nearPort = false;
    // Nothing the rotor moves (the seals' tips, their contacts and the flank) within the wide
    // box: the bore stands still.
    bool wideOfPort = true;
  };
  Outline region(double shaftAngle, bool thin) const {
    Outline out;
    Polyline& line = out.line;
    const auto add = [&](PlanePoint p) {
      out.nearPort = out.nearPort || covers(p);
      out.wideOfPort = out.wideOfPort && !bg::covered_by(Point(p.x, p.y), wide);
      line.push_back(p);
    };
    // The bore from the leading seal's contact back to the trailing one's: its samples between
    // them, whose nearness to the port never changes. Far from the port a chord of a stride keeps
    // clear of it: it strays from the bore by a fortieth of the band.
    const double leading = HousingFrame::leadingSeal(shaftAngle);
    const double trailing = HousingFrame::trailingSeal(shaftAngle);
    const double step = 2 * pi / kBoreSamples;
    long first = static_cast<long>(std::floor(leading / step));
    if (static_cast<double>(first) * step >= leading) --first;
    long last = static_cast<long>(std::ceil(trailing / step));
    if (static_cast<double>(last) * step <= trailing) ++last;
    add(frame.borePoint(leading));
    const auto wrapped = [](long n) {
      return static_cast<int>(((n % kBoreSamples) + kBoreSamples) % kBoreSamples);
    };
    // Samples `high` down to `low`, within one turn's numbering.
    const auto boreStretch = [&](int high, int low) {
      out.nearPort = out.nearPort || nearBefore[high + 1] > nearBefore[low];
      if (!thin) {
        for (int n = high; n >= low; --n)
          line.push_back(frame.borePoint(2 * pi * n / kBoreSamples));
        return;
      }
      auto n = std::upper_bound(boreKept.begin(), boreKept.end(), high);
      while (n != boreKept.begin() && *(n - 1) >= low) {
        --n;
        line.push_back(boreKeptPoints[static_cast<std::size_t>(n - boreKept.begin())]);
      }
    };
    if (first >= last) {
      const int high = wrapped(first), low = wrapped(last);
      if (high >= low) {
        boreStretch(high, low);
      } else {
        boreStretch(high, 0);
        boreStretch(kBoreSamples - 1, low);
      }
    }
    add(frame.borePoint(trailing));
    // Round the trailing seal's tip to the flank, along the flank, round the leading seal's tip.
    const HousingFrame::Placement toFrame = frame.placement(shaftAngle);
    const double a = motionAngle(shaftAngle);
    // Each point of a tip's arc the one before turned by a fixed step; a few steps for a tip
    // beyond the port's neighbourhood, whose chords then stray from it by a few thousandths of e.
    const auto tipArc = [&](exact::Point apex, exact::Point from, exact::Point to) {
      if (bore == 0) return;
      const PlanePoint placedApex = toFrame(apex);
      const int steps = thin && !bg::covered_by(Point(placedApex.x, placedApex.y), around)
                            ? kTipSamples / 6
                            : kTipSamples;
      const double t0 = std::atan2(from.y - apex.y, from.x - apex.x);
      const double turn = std::remainder(std::atan2(to.y - apex.y, to.x - apex.x) - t0, 2 * pi);
      const double c = std::cos(turn / steps), s = std::sin(turn / steps);
      double x = std::cos(t0), y = std::sin(t0);
      for (int n = 1; n < steps; ++n) {
        const double turned = x * c - y * s;
        y = x * s + y * c, x = turned;
        add(toFrame({apex.x + bore * x, apex.y + bore * y}));
      }
    };
    tipArc(rightApex, exact::borePoint(K, exact::kRightApex, a, bore), rightTip);
    // The flank stands still in the rotor's frame: a box taken there, as the box round its four
    // corners, is near enough for the flank's points to be judged without placing them; and
    // where x falls along the flank, the points within its x are found by halving.
    struct Span {
      double left = INFINITY, right = -INFINITY, low = INFINITY, high = -INFINITY;
      std::size_t from = 0, to = 0;
      bool holds(std::size_t n, const PlanePoint& p) const {
        return n >= from && n < to && p.x >= left && p.x <= right && p.y >= low && p.y <= high;
      }
    };
    const auto span = [&](const bg::model::box<Point>& box) {
      Span turned;
      for (const double x : {box.min_corner().x(), box.max_corner().x()}) {
        for (const double y : {box.min_corner().y(), box.max_corner().y()}) {
          const exact::Point corner = toFrame.back({x, y});
          turned.left = std::min(turned.left, corner.x);
          turned.right = std::max(turned.right, corner.x);
          turned.low = std::min(turned.low, corner.y);
          turned.high = std::max(turned.high, corner.y);
        }
      }
      turned.to = flankLine.size();
      if (flankFalls) {
        const auto byFallingX = [](const PlanePoint& p, double x) { return p.x > x; };
        turned.from = static_cast<std::size_t>(
            std::lower_bound(flankLine.begin(), flankLine.end(), turned.right, byFallingX) -
            flankLine.begin());
        turned.to = static_cast<std::size_t>(
            std::lower_bound(flankLine.begin(), flankLine.end(),
                             std::nextafter(turned.left, -INFINITY), byFallingX) -
            flankLine.begin());
      }
      return turned;
    };
    const Span nearSpan = span(near), neighbourhood = span(around);

    const std::size_t size = flankLine.size();
    bool flankNear = false;
    for (std::size_t n = 0; n < size;) {
      const PlanePoint& p = flankLine[n];
      // Placed and judged where it stands against the port: every point near its edges kept, a
      // point in a stride inside it moved off the curve; away from it one in a stride, and one
      // in a longer stride beyond its neighbourhood.
      const bool withinX = n >= nearSpan.from && n < nearSpan.to;
      const PlanePoint placed = withinX ? toFrame({p.x, p.y}) : PlanePoint{};
      const PortZones::Zone zone = withinX ? zones.at(placed) : PortZones::kFar;
      flankNear |= zone != PortZones::kFar;
      const bool inNeighbourhood = n >= neighbourhood.from && n < neighbourhood.to;
      const std::size_t stride = zone == PortZones::kInside ? kInsideStride
                                 : inNeighbourhood          ? kFarStride
                                                            : kRemoteStride;
      if (!thin || zone == PortZones::kEdge || n + 1 == size) {
        line.push_back(withinX ? placed : toFrame({p.x, p.y}));
      } else if (n % stride == 0) {
        const PlanePoint& kept = zone == PortZones::kInside ? flankInside[n] : p;
        line.push_back(toFrame({kept.x, kept.y}));
      }
      // On to the next point kept: beyond the port's x at once, within it over the points that
      // stay in their zone.
      std::size_t next = n + 1;
      if (thin && !withinX) {
        next = (n / stride + 1) * stride;
        if (n < nearSpan.from) next = std::min(next, nearSpan.from);
        if (n < neighbourhood.from) next = std::min(next, neighbourhood.from);
      } else if (thin && zone != PortZones::kEdge) {
        const auto staying = static_cast<std::size_t>(zones.room(placed) / flankStep);
        next = std::min(n + std::max<std::size_t>(staying, 1), (n / stride + 1) * stride);
      }
      n = std::max(n + 1, std::min(next, size - 1));
    }
    out.nearPort = out.nearPort || flankNear;
    // Where nothing is near, every point of the flank in the wide box's turned bounds is tested:
    // none may be in it for the scan to step over the next steps.
    if (thin && !out.nearPort && out.wideOfPort) {
      const Span wideSpan = span(wide);
      for (std::size_t n = wideSpan.from; n < wideSpan.to && out.wideOfPort; ++n) {
        out.wideOfPort = !wideSpan.holds(n, flankLine[n]);
      }
    }
    tipArc(leftApex, leftTip, exact::borePoint(K, exact::kLeftApex, a, bore));
    return out;
  }

  bool covers(const PlanePoint& p) const { return zones.at(p) != PortZones::kFar; }

  // Where no point of the chamber's outline comes near the port, none of its chords crosses
  // it either: the port lies wholly inside the chamber or wholly outside.
  double open(double shaftAngle) const { return scan(shaftAngle).area; }

  // The open area, and for how many steps of the scan after it stays the same.
  struct Scanned {
    double area;
    int stepsUnchanged;
  };
  Scanned scan(double shaftAngle) const {
    const Outline outline = region(shaftAngle, true);
    const Polygon chamber = polygonOf(outline.line);
    if (!outline.nearPort) {
      return {bg::covered_by(port.outer().front(), chamber) ? portArea : 0,
              outline.wideOfPort ? stepsUnchanged : 0};
    }
    Polygons shared;
    bg::intersection(port, chamber, shared);
    return {bg::area(shared) * e * e, 0};
  }

  // Whether any of the port is open to the chamber: the outline's intersection, without its area.
  bool meets(double shaftAngle) const {
    const Outline outline = region(shaftAngle, true);
    const Polygon chamber = polygonOf(outline.line);
    if (!outline.nearPort) return bg::covered_by(port.outer().front(), chamber);
    return bg::intersects(port, chamber);
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
  bg::intersection(shapes_->port, polygonOf(shapes_->region(shaftAngle, true).line), shared);
  std::vector<Polyline> parts;
  for (const Polygon& part : shared) {
    Polyline& line = parts.emplace_back();
    for (const Point& p : part.outer()) line.push_back({p.x() * shapes_->e, p.y() * shapes_->e});
  }
  return parts;
}

Polyline SideOpening::chamberRegion(double shaftAngle) const {
  return scaled(shapes_->region(shaftAngle, false).line, shapes_->e);
}

bool SideOpening::meets(double shaftAngle) const {
  return shapes_->meets(shaftAngle);
}

PortTiming SideOpening::timing() const {
  PortTiming t;
  if (!(shapes_->insideBore > 0)) return t;
  // The open area at each step of the scan. The longest closed stretch, round the end of the
  // cycle if need be, starts just after the port closes and ends just before it opens.
  const int steps = static_cast<int>(kShaftCycle / kScanStep);
  std::vector<double> scanned(steps);
  for (int n = 0; n < steps;) {
    const Shapes::Scanned at = shapes_->scan(n * kScanStep);
    for (int k = 0; k <= at.stepsUnchanged && n < steps; ++k) scanned[n++] = at.area;
  }
  int longest = 0, firstClosed = 0, lastClosed = 0;
  for (int n = 0, runStart = -1; n < 2 * steps; ++n) {
    if (scanned[n % steps] > 0) {
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
      (meets(middle) ? opened : closed) = middle;
    }
    return (closed + opened) / 2;
  };
  const double opens = halve(lastClosed * kScanStep, (lastClosed + 1) * kScanStep);
  double closes = halve(firstClosed * kScanStep, (firstClosed - 1) * kScanStep);
  if (closes < opens) closes += kShaftCycle;
  t.opens = withinCycle(opens);
  t.closes = withinCycle(closes);
  t.openFor = closes - opens;

  // The open area between the events, the scan's own where it has it.
  double best = 0, bestAt = opens;
  const auto open = [&](double angle) {
    const double value = area(angle);
    if (value > best) best = value, bestAt = angle;
    return value;
  };
  const auto scannedAt = [&](long step) {
    const double value = scanned[static_cast<std::size_t>(((step % steps) + steps) % steps)];
    if (value > best) best = value, bestAt = step * kScanStep;
    return value;
  };
  // Boole's rule on pieces of four steps, whose five points the scan has, halved where Simpson's
  // rule on three of them disagrees: the area has kinks where an edge of the port lies along the
  // flank as it passes, and bends where a corner meets it.
  const double tolerance = kAngleAreaTolerance * shapes_->portArea;
  using Quarters = std::array<double, 5>;
  const std::function<double(double, double, const Quarters&, int)> piece =
      [&](double from, double to, const Quarters& f, int halvings) {
        const double length = to - from;
        const double boole = length * (7 * (f[0] + f[4]) + 32 * (f[1] + f[3]) + 12 * f[2]) / 90;
        const double simpson = length * (f[0] + 4 * f[2] + f[4]) / 6;
        if (halvings == 0 || std::abs(boole - simpson) <= tolerance * length) return boole;
        const double eighth = length / 8;
        return piece(from, from + length / 2,
                     {f[0], open(from + eighth), f[1], open(from + 3 * eighth), f[2]},
                     halvings - 1) +
               piece(from + length / 2, to,
                     {f[2], open(from + 5 * eighth), f[3], open(from + 7 * eighth), f[4]},
                     halvings - 1);
      };
  const auto ends = [&](double from, double to, double atFrom, double atTo) {
    const double quarter = (to - from) / 4;
    return piece(
        from, to,
        {atFrom, open(from + quarter), open(from + 2 * quarter), open(from + 3 * quarter), atTo},
        kMostHalvings);
  };
  // Pieces of four steps from the first after the opening to the last before the closing; the
  // stretches at either end on their own. The area is nil at the events.
  constexpr long kStepsInPiece = 4;
  const double pieceLength = kStepsInPiece * kScanStep;
  const long firstStep = kStepsInPiece * (static_cast<long>(std::floor(opens / pieceLength)) + 1);
  const long lastStep = kStepsInPiece * (static_cast<long>(std::ceil(closes / pieceLength)) - 1);
  if (firstStep >= lastStep) {
    t.angleArea = ends(opens, closes, 0, 0);
  } else {
    t.angleArea = ends(opens, firstStep * kScanStep, 0, scannedAt(firstStep));
    for (long step = firstStep; step < lastStep; step += kStepsInPiece) {
      t.angleArea += piece(step * kScanStep, (step + kStepsInPiece) * kScanStep,
                           {scannedAt(step), scannedAt(step + 1), scannedAt(step + 2),
                            scannedAt(step + 3), scannedAt(step + 4)},
                           kMostHalvings);
    }
    t.angleArea += ends(lastStep * kScanStep, closes, scannedAt(lastStep), 0);
  }
  // Then golden sections about the largest area met, unless the whole port was open.
  if (!(best < shapes_->insideBore)) {
    t.largestArea = best;
    return t;
  }
  double low = std::max(opens, bestAt - kScanStep), high = std::min(closes, bestAt + kScanStep);
  const double golden = (std::sqrt(5.0) - 1) / 2;
  for (int n = 0; n < kGoldenSections; ++n) {
    const double left = high - golden * (high - low), right = low + golden * (high - low);
    if (open(left) < open(right)) {
      low = left;
    } else {
      high = right;
    }
  }
  open((low + high) / 2);
  t.largestArea = best;
  return t;
}

}  // namespace rotary
