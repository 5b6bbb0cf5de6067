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
#include <boost/math/tools/minima.hpp>
#include <cmath>
#include <functional>
#include <numbers>

#include "chamber_outline.h"

namespace rotary {
namespace {

namespace bg = boost::geometry;
using Point = bg::model::d2::point_xy<double>;
using Polygon = bg::model::polygon<Point>;
using Polygons = bg::model::multi_polygon<Polygon>;
using std::numbers::pi;

// The scan for the events, in shaft degrees, before each is halved down to its billionth.
constexpr double kScanStep = 3;
constexpr double kEventTolerance = 1e-9;
// The angle-area's pieces are halved until their rules agree to this share of the port's area
// over each degree, at most so many times.
constexpr double kAngleAreaTolerance = 3e-6;
constexpr int kMostHalvings = 8;
constexpr long kStepsInPiece = 4;
// The scan's stretches, shared among the threads.
constexpr std::size_t kScanStretches = 8;
// The largest area's angle is found to about a ten-millionth: the area is flat about it.
constexpr int kLargestAreaBits = 24;
constexpr std::uintmax_t kLargestAreaEvaluations = 60;
// A port more than this share of whose area lies beyond the bore reaches beyond it.
constexpr double kBeyondTheBore = 1e-9;

Polyline scaled(const Polyline& line, double factor) {
  Polyline out;
  out.reserve(line.size());
  for (const PlanePoint& p : line) out.push_back({p.x * factor, p.y * factor});
  return out;
}

// The seal's offset and the clearance in units of e, as the chamber's outline takes them.
RealEngine inUnitsOfE(double e, const RealEngine& real) {
  return RealEngine{real.sealOffset / e, real.clearance / e, 0};
}

// The chamber's outline, which goes clockwise already, as a closed polygon: it is made for every
// area the timing takes, and finding its way round would cost as much as a tenth of the clipping.
Polygon chamberPolygon(const Polyline& clockwise) {
  Polygon polygon;
  polygon.outer().reserve(clockwise.size() + 1);
  for (const PlanePoint& p : clockwise) polygon.outer().emplace_back(p.x, p.y);
  if (!clockwise.empty()) polygon.outer().emplace_back(clockwise.front().x, clockwise.front().y);
  return polygon;
}

// A closed polygon of a line, turned clockwise as Boost.Geometry's polygons go.
Polygon polygonOf(const Polyline& line) {
  Polygon polygon = chamberPolygon(line);
  bg::correct(polygon);
  return polygon;
}

}  // namespace

Polyline chamberFlank(double e, double R, const RealEngine& real, double shaftAngle) {
  // The very points the side ports' chamber takes, so that a port drawn on them meets it there.
  const HousingFrame frame(1, R / e, inUnitsOfE(e, real));
  const HousingFrame::Placement place = frame.placement(shaftAngle);
  Polyline line;
  for (const PlanePoint& p : rotorFlankSamples(R / e, (real.sealOffset - real.clearance) / e)) {
    const PlanePoint q = place({p.x, p.y});
    line.push_back({q.x * e, q.y * e});
  }
  return line;
}

const PortDefinition* portOutsideTheBore(double e, double R, const RealEngine& real,
                                         const std::vector<PortDefinition>& ports) {
  const auto flank = sideFlank(e, R, real);
  for (const PortDefinition& port : ports) {
    if (port.kind != PortKind::kSide) continue;
    if (!(SideOpening(e, R, real, port.outline, flank).areaInsideTheBore() > 0)) return &port;
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
  double e;
  Polygon port;
  double portArea = 0, insideBore = 0;
  ChamberOutline chamber;
  int stepsUnchanged;

  // Everything in units of e, as Boost.Geometry's tolerances are not all relative: at a
  // thousandth of the size its intersections dropped slivers and moved the events.
  Shapes(double e_, double R, const RealEngine& real, const Polyline& outline,
         std::shared_ptr<const FlankSamples> flank)
      : e(e_),
        port(polygonOf(scaled(outline, 1 / e_))),
        chamber(R / e_, inUnitsOfE(e_, real), scaled(outline, 1 / e_),
                flank ? std::move(flank) : sideFlank(e_, R, real)),
        stepsUnchanged(chamber.stepsUnchanged(kScanStep)) {
    portArea = bg::area(port) * e * e;
    // The part of the port inside the bore, from the same thinned outline as the chamber's.
    const Polygon wholeBore = polygonOf(chamber.thinnedBore());
    if (!chamber.boreNearPort()) {
      insideBore = bg::covered_by(port.outer().front(), wholeBore) ? portArea : 0;
    } else {
      Polygons inside;
      bg::intersection(port, wholeBore, inside);
      insideBore = bg::area(inside) * e * e;
    }
  }

  ChamberOutline::Outline region(double shaftAngle,
                                 ChamberOutline::Thinning thinning = ChamberOutline::kThin) const {
    return chamber.at(shaftAngle, thinning);
  }

  // Where no point of the chamber's outline comes near the port, none of its chords crosses
  // it either: the port lies wholly inside the chamber or wholly outside.
  double open(double shaftAngle) const { return scan(shaftAngle).area; }

  // The open area, and for how many steps of the scan after it stays the same.
  struct Scanned {
    double area;
    int stepsUnchanged;
  };
  Scanned scan(double shaftAngle) const {
    const ChamberOutline::Outline outline = region(shaftAngle);
    const Polygon chamber = chamberPolygon(outline.line);
    if (!outline.nearPort) {
      return {bg::covered_by(port.outer().front(), chamber) ? portArea : 0,
              outline.wideOfPort ? stepsUnchanged : 0};
    }
    Polygons shared;
    bg::intersection(port, chamber, shared);
    return {(bg::area(shared) + outline.beyondChords) * e * e, 0};
  }

  // Whether any of the port is open to the chamber: the outline's intersection, without its area.
  bool meets(double shaftAngle) const {
    const ChamberOutline::Outline outline = region(shaftAngle);
    const Polygon chamber = chamberPolygon(outline.line);
    if (!outline.nearPort) return bg::covered_by(port.outer().front(), chamber);
    return bg::intersects(port, chamber);
  }
};

std::shared_ptr<const FlankSamples> sideFlank(double e, double R, const RealEngine& real,
                                              WorkSharing* sharing) {
  return std::make_shared<const FlankSamples>(R / e, inUnitsOfE(e, real), sharing);
}

SideOpening::SideOpening(double e, double R, const RealEngine& real, const Polyline& outline,
                         std::shared_ptr<const FlankSamples> flank)
    : shapes_(new Shapes(e, R, real, outline, std::move(flank))) {}

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
  bg::intersection(shapes_->port,
                   polygonOf(shapes_->region(shaftAngle, ChamberOutline::kThinDrawn).line), shared);
  std::vector<Polyline> parts;
  for (const Polygon& part : shared) {
    Polyline& line = parts.emplace_back();
    for (const Point& p : part.outer()) line.push_back({p.x() * shapes_->e, p.y() * shapes_->e});
  }
  return parts;
}

Polyline SideOpening::chamberRegion(double shaftAngle) const {
  return scaled(shapes_->region(shaftAngle, ChamberOutline::kWhole).line, shapes_->e);
}

bool SideOpening::meets(double shaftAngle) const {
  return shapes_->meets(shaftAngle);
}

PortTiming SideOpening::timing() const {
  WorkSharing alone(1);
  return timing(alone);
}

PortReach SideOpening::reach() const {
  if (!(shapes_->insideBore > 0)) return PortReach::kOutsideTheBore;
  // A sliver beyond the bore as thin as the clipping's own rounding is no part of the port.
  if (shapes_->insideBore < shapes_->portArea * (1 - kBeyondTheBore)) {
    return PortReach::kBeyondTheBore;
  }
  return PortReach::kInsideTheBore;
}

PortTiming SideOpening::timing(WorkSharing& sharing) const {
  PortTiming t;
  t.reach = reach();
  if (t.reach == PortReach::kOutsideTheBore) return t;
  // The open area at each step of the scan, in stretches that each step over what they may on
  // their own.
  const long steps = static_cast<long>(kShaftCycle / kScanStep);
  std::vector<double> scanned(static_cast<std::size_t>(steps));
  sharing.each(kScanStretches, [&](std::size_t stretch) {
    const long end = static_cast<long>(steps * static_cast<long>(stretch + 1) / kScanStretches);
    for (long n = static_cast<long>(steps * static_cast<long>(stretch) / kScanStretches);
         n < end;) {
      const Shapes::Scanned at = shapes_->scan(n * kScanStep);
      for (int k = 0; k <= at.stepsUnchanged && n < end; ++k) scanned[n++] = at.area;
    }
  });
  const auto openAtStep = [&](long step) {
    return scanned[static_cast<std::size_t>(((step % steps) + steps) % steps)] > 0;
  };
  // The longest closed stretch, round the end of the cycle if need be: the openings are counted
  // from its end.
  long longest = 0, lastClosed = 0;
  for (long n = 0, runStart = -1; n < 2 * steps; ++n) {
    if (openAtStep(n)) {
      runStart = -1;
      continue;
    }
    if (runStart < 0) runStart = n;
    const long length = n - runStart + 1;
    if (length > longest && length <= steps) {
      longest = length;
      lastClosed = n;
    }
  }
  if (longest == steps) return t;  // the rotor covers it the whole cycle
  if (longest == 0) {
    // Open the whole cycle: the scan's own areas, a periodic integrand, by the trapezoid rule.
    t.openings.push_back({0, 0, kShaftCycle});
    for (long n = 0; n < steps; ++n) {
      t.angleArea += scanned[static_cast<std::size_t>(n)] * kScanStep;
      t.largestArea = std::max(t.largestArea, scanned[static_cast<std::size_t>(n)]);
    }
    return t;
  }

  // Each stretch of open steps, from the end of the longest closed one round the cycle: the port
  // opens within the step after the closed step before it, and closes within the step before
  // the closed step after it.
  struct Span {
    long closedBefore, closedAfter;  // scan steps, counted on from the cycle's start
    double opens = 0, closes = 0;
    long firstStep = 0, lastStep = 0, middlePieces = 0;
    std::size_t firstPart = 0;
  };
  std::vector<Span> spans;
  for (long n = lastClosed + 1; n <= lastClosed + steps;) {
    if (!openAtStep(n)) {
      ++n;
      continue;
    }
    const long first = n;
    while (openAtStep(n)) ++n;
    spans.push_back({first - 1, n});
  }
  // Each change halved down between the closed step and the open one beside it.
  const auto halve = [&](double closed, double opened) {
    while (std::abs(opened - closed) > kEventTolerance) {
      const double middle = (closed + opened) / 2;
      (meets(middle) ? opened : closed) = middle;
    }
    return (closed + opened) / 2;
  };

  // The open area between the events, the scan's own where it has it. Boole's rule on pieces
  // of four steps, whose five points the scan has, halved where Simpson's rule on three of them
  // disagrees: the area has kinks where an edge of the port lies along the flank as it passes,
  // and bends where a corner meets it. Each piece keeps the largest area it met, and where.
  struct Part {
    double angleArea = 0, best = 0, bestAt = 0;
    void met(double value, double angle) {
      if (value > best) best = value, bestAt = angle;
    }
  };
  const double tolerance = kAngleAreaTolerance * shapes_->portArea;
  using Quarters = std::array<double, 5>;
  const auto openFor = [this](Part& part, double angle) {
    const double value = area(angle);
    part.met(value, angle);
    return value;
  };
  const auto scannedAt = [&](Part& part, long step) {
    const double value = scanned[static_cast<std::size_t>(((step % steps) + steps) % steps)];
    part.met(value, step * kScanStep);
    return value;
  };
  const std::function<double(Part&, double, double, const Quarters&, int)> piece =
      [&](Part& part, double from, double to, const Quarters& f, int halvings) {
        const double length = to - from;
        const double boole = length * (7 * (f[0] + f[4]) + 32 * (f[1] + f[3]) + 12 * f[2]) / 90;
        const double simpson = length * (f[0] + 4 * f[2] + f[4]) / 6;
        if (halvings == 0 || std::abs(boole - simpson) <= tolerance * length) return boole;
        const double eighth = length / 8;
        const auto open = [&](double angle) { return openFor(part, angle); };
        return piece(part, from, from + length / 2,
                     {f[0], open(from + eighth), f[1], open(from + 3 * eighth), f[2]},
                     halvings - 1) +
               piece(part, from + length / 2, to,
                     {f[2], open(from + 5 * eighth), f[3], open(from + 7 * eighth), f[4]},
                     halvings - 1);
      };
  const auto ends = [&](Part& part, double from, double to, double atFrom, double atTo) {
    const double quarter = (to - from) / 4;
    const auto open = [&](double angle) { return openFor(part, angle); };
    return piece(
        part, from, to,
        {atFrom, open(from + quarter), open(from + 2 * quarter), open(from + 3 * quarter), atTo},
        kMostHalvings);
  };
  // For each opening, pieces of four steps from the first after the opening to the last before
  // the closing; the stretches at either end on their own, once their event is found. The area
  // is nil at the events. Every part of every opening is worked out at once, and added up in
  // order.
  std::vector<std::pair<std::size_t, std::size_t>> jobs;  // the span, and the part within it
  for (std::size_t k = 0; k < spans.size(); ++k) {
    Span& span = spans[k];
    const long opensInStep = span.closedBefore, closesInStep = span.closedAfter - 1;
    span.firstStep = kStepsInPiece * (opensInStep / kStepsInPiece + 1);
    span.lastStep = kStepsInPiece * (closesInStep / kStepsInPiece);
    span.middlePieces = std::max(0L, (span.lastStep - span.firstStep) / kStepsInPiece);
    span.firstPart = jobs.size();
    for (long n = 0; n < span.middlePieces + 2; ++n) jobs.emplace_back(k, n);
  }
  std::vector<Part> parts(jobs.size());
  sharing.each(parts.size(), [&](std::size_t job) {
    Part& part = parts[job];
    Span& span = spans[jobs[job].first];
    const std::size_t n = jobs[job].second;
    if (n == 0) {
      span.opens = halve(span.closedBefore * kScanStep, (span.closedBefore + 1) * kScanStep);
      if (span.middlePieces > 0) {
        const double atFirst = scannedAt(part, span.firstStep);
        part.angleArea = ends(part, span.opens, span.firstStep * kScanStep, 0, atFirst);
      }
    } else if (n == static_cast<std::size_t>(span.middlePieces) + 1) {
      // A cycle back, the closed step after it: the events are found where the first cycle's
      // scan found them.
      const long after = span.closedAfter - steps;
      span.closes = halve(after * kScanStep, (after - 1) * kScanStep) + kShaftCycle;
      if (span.middlePieces > 0) {
        const double atLast = scannedAt(part, span.lastStep);
        part.angleArea = ends(part, span.lastStep * kScanStep, span.closes, atLast, 0);
      }
    } else {
      const long step = span.firstStep + kStepsInPiece * static_cast<long>(n - 1);
      Quarters f;
      for (long k = 0; k < kStepsInPiece + 1; ++k) f[k] = scannedAt(part, step + k);
      part.angleArea =
          piece(part, step * kScanStep, (step + kStepsInPiece) * kScanStep, f, kMostHalvings);
    }
  });
  Part whole{0, 0, spans.front().opens};
  const Span* bestSpan = &spans.front();
  for (const Span& span : spans) {
    if (span.middlePieces == 0) {
      Part& only = parts[span.firstPart];
      only.angleArea = ends(only, span.opens, span.closes, 0, 0);
    }
    t.openings.push_back(
        {withinCycle(span.opens), withinCycle(span.closes), span.closes - span.opens});
    for (long n = 0; n < span.middlePieces + 2; ++n) {
      const Part& part = parts[span.firstPart + static_cast<std::size_t>(n)];
      whole.angleArea += part.angleArea;
      if (part.best > whole.best) bestSpan = &span;
      whole.met(part.best, part.bestAt);
    }
  }
  t.angleArea = whole.angleArea;
  t.largestArea = whole.best;
  // Then Brent's search about the largest area met, unless the whole port was open.
  if (!(whole.best < shapes_->insideBore)) return t;
  const double low = std::max(bestSpan->opens, whole.bestAt - kScanStep);
  const double high = std::min(bestSpan->closes, whole.bestAt + kScanStep);
  std::uintmax_t evaluations = kLargestAreaEvaluations;
  const auto [at, lessArea] = boost::math::tools::brent_find_minima(
      [&](double angle) { return -area(angle); }, low, high, kLargestAreaBits, evaluations);
  t.largestArea = std::max(whole.best, -lessArea);
  return t;
}

}  // namespace rotary
