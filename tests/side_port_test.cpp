// Side ports against the outline drawn whole: the thinned outline, the zones about the port and
// the scan's shortcuts may change no open area, no event and no angle-area.
#define BOOST_GEOMETRY_NO_ROBUSTNESS
#include "side_port.h"

#include <gtest/gtest.h>

#include <boost/geometry.hpp>
#include <boost/geometry/geometries/point_xy.hpp>
#include <boost/geometry/geometries/polygon.hpp>
#include <boost/geometry/geometries/segment.hpp>
#include <cmath>
#include <numbers>
#include <string>

#include "chamber_outline.h"
#include "port_zones.h"

namespace rotary {
namespace {

namespace bg = boost::geometry;
using Point = bg::model::d2::point_xy<double>;
using Polygon = bg::model::polygon<Point>;

Polygon polygonOf(const Polyline& line) {
  Polygon polygon;
  for (const PlanePoint& p : line) bg::append(polygon.outer(), Point(p.x, p.y));
  bg::append(polygon.outer(), Point(line.front().x, line.front().y));
  bg::correct(polygon);
  return polygon;
}

// The distance from a point to the outline's edges.
double toEdges(const Polyline& outline, PlanePoint p) {
  double least = INFINITY;
  for (std::size_t n = 0; n < outline.size(); ++n) {
    const PlanePoint& a = outline[n];
    const PlanePoint& b = outline[(n + 1) % outline.size()];
    least = std::min(least, bg::distance(Point(p.x, p.y), bg::model::segment<Point>(
                                                              Point(a.x, a.y), Point(b.x, b.y))));
  }
  return least;
}

Polyline circle(double x, double y, double r, int corners) {
  Polyline line;
  for (int n = 0; n < corners; ++n) {
    const double t = 2 * std::numbers::pi * n / corners;
    line.push_back({x + r * std::cos(t), y + r * std::sin(t)});
  }
  return line;
}

struct PortCase {
  std::string name;
  Polyline outline;  // millimetres, for the engine of the defaults
};

void PrintTo(const PortCase& c, std::ostream* out) {
  *out << c.name;
}

const PortCase kPorts[] = {
    {"Intake", {{-95, -10}, {-70, -10}, {-65, 10}, {-92, 12}}},
    {"Exhaust", {{62, 18}, {88, 22}, {95, 40}, {80, 52}, {64, 40}}},
    {"AcrossTheBore", {{-128, -8}, {-112, -8}, {-112, 8}, {-128, 8}}},
    {"Hooked", {{40, 40}, {70, 40}, {70, 70}, {60, 70}, {60, 50}, {40, 50}}},
    {"Round", circle(-80, 0, 8, 48)},
};

// The sliver between a chord of the flank and its points, from the running shoelace sums,
// against Boost.Geometry's area of that sliver as a polygon, turned into the housing's frame as
// the chamber's outline takes it (a mirror image, which turns areas over). Chords short and long,
// near the middle and near the ends, on a flank with and without the seal's offset.
TEST(FlankSlivers, AreTheAreasBetweenChordAndFlank) {
  for (const RealEngine& real : {RealEngine{}, RealEngine{2.0 / 15, 0.1 / 15, 0}}) {
    const FlankSamples flank(7, real);
    const std::size_t last = flank.line.size() - 1;
    for (const auto& [from, to] : {std::pair<std::size_t, std::size_t>{0, 4},
                                   {100, 164},
                                   {1000, 1100},
                                   {last - 64, last},
                                   {0, last / 2},
                                   {7, last}}) {
      Polygon sliver;
      for (std::size_t n = from; n <= to; ++n) {
        sliver.outer().emplace_back(-flank.line[n].x, flank.line[n].y);
      }
      sliver.outer().push_back(sliver.outer().front());
      // Boost.Geometry takes a polygon's outline clockwise: its area is positive where the
      // outline goes clockwise, as the chamber's does.
      const double expected = bg::area(sliver);
      EXPECT_NEAR(flank.sliver(from, to), expected, 1e-12 + 1e-9 * std::abs(expected))
          << from << " to " << to;
    }
    EXPECT_LT(flank.sliver(100, 164), 0) << "the flank bulges into the chamber";
  }
}

class PortZonesAbout : public testing::TestWithParam<PortCase> {};

// On a lattice finer than the grid's cells: a point within the band of an edge is never far or
// inside, a point inside lies inside, and a point moved by its room stays in its zone.
TEST_P(PortZonesAbout, JudgeEveryPointOnTheSafeSide) {
  const Polyline& outline = GetParam().outline;
  const double band = 0.5;
  const PortZones zones(outline, band);
  const Polygon port = polygonOf(outline);
  int inside = 0, edge = 0;
  for (double x = zones.left() - 3; x <= zones.right() + 3; x += 0.37) {
    for (double y = zones.bottom() - 3; y <= zones.top() + 3; y += 0.41) {
      const PlanePoint p{x, y};
      const PortZones::Zone zone = zones.at(p);
      const double distance = toEdges(outline, p);
      const bool within = bg::within(Point(x, y), port);
      if (distance <= band) {
        ASSERT_EQ(zone, PortZones::kEdge) << x << ", " << y;
      }
      // Within the band itself, judged point by point.
      if (std::abs(distance - band) > 1e-9) {
        ASSERT_EQ(zones.withinBand(p), distance < band) << x << ", " << y;
      }
      if (zone == PortZones::kInside) {
        ASSERT_TRUE(within && distance > band) << x << ", " << y;
        ++inside;
      }
      if (zone == PortZones::kFar) {
        ASSERT_TRUE(!within && distance > band) << x << ", " << y;
      }
      edge += zone == PortZones::kEdge;
      // Less than the room: a point moved by all of it may stand on the next cell's side.
      const double room = 0.999 * zones.room(p);
      for (int turn = 0; turn < 8; ++turn) {
        const double t = turn * std::numbers::pi / 4;
        const PlanePoint moved{x + room * std::cos(t), y + room * std::sin(t)};
        ASSERT_EQ(zones.at(moved), zone) << x << ", " << y << " moved by " << room;
      }
    }
  }
  // The zones tell something: not every point is judged near an edge.
  EXPECT_GT(inside, 0);
  EXPECT_GT(edge, 0);
}

INSTANTIATE_TEST_SUITE_P(Ports, PortZonesAbout, testing::ValuesIn(kPorts),
                         [](const auto& info) { return info.param.name; });

class SideOpeningOf : public testing::TestWithParam<PortCase> {};

// Every two degrees over the cycle, the open area equals the port clipped here by the chamber's
// outline with every sample of its curves, to a millionth of the port, as the drawn open parts
// do; with the flank's samples made by each port or shared by an engine's.
TEST_P(SideOpeningOf, OpenAreaIsTheWholeOutlinesAtEveryAngle) {
  const RealEngine real{2, 0.1, 0};
  const SideOpening opening(15, 105, real, GetParam().outline);
  const SideOpening sharing(15, 105, real, GetParam().outline, sideFlank(15, 105, real));
  const Polygon port = polygonOf(GetParam().outline);
  for (double shaft = 0; shaft < 1080; shaft += 2) {
    bg::model::multi_polygon<Polygon> shared;
    bg::intersection(port, polygonOf(opening.chamberRegion(shaft)), shared);
    const double open = opening.area(shaft);
    ASSERT_NEAR(open, bg::area(shared), 1e-6 * opening.portArea()) << shaft;
    ASSERT_EQ(sharing.area(shaft), open) << shaft;
    double drawn = 0;
    for (const Polyline& part : opening.openParts(shaft)) drawn += bg::area(polygonOf(part));
    ASSERT_NEAR(drawn, open, 1e-9 * opening.portArea()) << shaft;
  }
}

// The events bound the open stretch; the angle-area is the open area's sum at every tenth of a
// degree, and the largest area the largest of those.
TEST_P(SideOpeningOf, TimingAgreesWithTheAreas) {
  const SideOpening opening(15, 105, RealEngine{2, 0.1, 0}, GetParam().outline);
  const PortTiming timing = opening.timing();
  ASSERT_EQ(timing.openings.size(), 1u);
  const PortOpening& t = timing.openings.front();
  ASSERT_GT(t.openFor, 0);
  EXPECT_NEAR(std::fmod(t.opens + t.openFor, 1080), t.closes, 1e-9);
  // Closed just outside; open just inside, where a corner entering across the bore opens a
  // sliver of 3e-11 mm^2 in the first ten-thousandth of a degree.
  EXPECT_EQ(opening.area(t.opens - 1e-6), 0);
  EXPECT_GT(opening.area(t.opens + 1e-4), 0);
  EXPECT_GT(opening.area(t.opens + t.openFor - 1e-4), 0);
  EXPECT_EQ(opening.area(t.opens + t.openFor + 1e-6), 0);
  double sum = 0, largest = 0;
  const int steps = static_cast<int>(t.openFor * 10);
  for (int n = 0; n < steps; ++n) {
    const double open = opening.area(t.opens + (n + 0.5) * t.openFor / steps);
    sum += open * t.openFor / steps;
    largest = std::max(largest, open);
  }
  EXPECT_NEAR(timing.angleArea, sum, 1e-5 * timing.angleArea);
  EXPECT_GE(timing.largestArea, largest * (1 - 1e-12));
  EXPECT_LE(timing.largestArea, largest * (1 + 1e-4));
  EXPECT_LE(timing.largestArea, opening.areaInsideTheBore() * (1 + 1e-12));
}

INSTANTIATE_TEST_SUITE_P(Ports, SideOpeningOf, testing::ValuesIn(kPorts),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace rotary
