// The ports' timing in the housing's frame, checked against what the port code does not use: the
// trochoid and the rotor's motion in closed form, an independent root finder for the apexes'
// passing, the ideal chamber's sinusoid, and the engine scaled.
#include "port_timing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "chamber_cycle.h"
#include "exact_limit.h"
#include "housing_frame.h"
#include "side_port.h"

namespace rotary {
namespace {

using std::numbers::pi;
constexpr double kDegree = pi / 180;

// The trochoid of the housing's frame, major axis along x.
PlanePoint trochoid(double e, double R, double theta) {
  return {e * std::cos(3 * theta) + R * std::cos(theta),
          e * std::sin(3 * theta) + R * std::sin(theta)};
}

// The chamber's leading apex by the rotor's motion alone: the centre circling the crank axis
// counterclockwise from (0, -e), the rotor turning a third as fast the same way, the apex at -30
// degrees from the centre at top dead centre.
PlanePoint leadingApex(double e, double R, double shaft) {
  const double phi = shaft * kDegree, turn = -pi / 6 + phi / 3;
  return {e * std::sin(phi) + R * std::cos(turn), -e * std::cos(phi) + R * std::sin(turn)};
}
PlanePoint trailingApex(double e, double R, double shaft) {
  const double phi = shaft * kDegree, turn = -5 * pi / 6 + phi / 3;
  return {e * std::sin(phi) + R * std::cos(turn), -e * std::cos(phi) + R * std::sin(turn)};
}

// The shaft angle within [from, from + span] at which a point's polar angle passes `polar`
// (degrees), found by halving where the turn it still has to go changes sign.
template <typename Path>
double passing(Path path, double polar, double from, double span) {
  const auto still = [&](double shaft) {
    const PlanePoint p = path(shaft);
    return std::remainder(std::atan2(p.y, p.x) - polar * kDegree, 2 * pi);
  };
  double low = from, high = from + span;
  EXPECT_LT(still(low), 0);
  EXPECT_GT(still(high), 0);
  for (int n = 0; n < 200; ++n) {
    const double middle = (low + high) / 2;
    (still(middle) < 0 ? low : high) = middle;
  }
  return (low + high) / 2;
}

TEST(HousingFrame, TurnsCounterclockwiseWithTheChamberOnMinusYAtTopDeadCentre) {
  const double e = 15, R = 105;
  const HousingFrame frame(e, R, RealEngine{});
  for (const auto& [shaft, x, y] : {std::tuple{0.0, 0.0, -15.0}, std::tuple{90.0, 15.0, 0.0},
                                    std::tuple{180.0, 0.0, 15.0}, std::tuple{270.0, -15.0, 0.0}}) {
    EXPECT_NEAR(frame.rotorCentre(shaft).x, x, 1e-12) << shaft;
    EXPECT_NEAR(frame.rotorCentre(shaft).y, y, 1e-12) << shaft;
  }
  // The middle of the chamber's stretch of bore: -y at 0, +x at 270, +y at 540, -x at 810.
  for (const auto& [shaft, polar] : {std::pair{0.0, -90.0}, std::pair{270.0, 0.0},
                                     std::pair{540.0, 90.0}, std::pair{810.0, 180.0}}) {
    const double middle =
        (HousingFrame::trailingSeal(shaft) + HousingFrame::leadingSeal(shaft)) / 2;
    const PlanePoint p = frame.borePoint(middle);
    EXPECT_NEAR(std::remainder(std::atan2(p.y, p.x) - polar * kDegree, 2 * pi), 0, 1e-12) << shaft;
  }
  // The exact shape's housing, seen from the rotor at any shaft angle, is the frame's fixed
  // trochoid, and its apexes of the chamber are the rotor's.
  for (double shaft = 0; shaft < 1080; shaft += 37.5) {
    const double a = motionAngle(shaft);
    for (double r = 0; r < 2 * pi; r += 0.3) {
      const PlanePoint p = frame.fromRotor(exact::housingPoint(R / e, r, a), shaft);
      const PlanePoint q = trochoid(e, R, pi - r + a / 2);
      EXPECT_NEAR(p.x, q.x, 1e-11);
      EXPECT_NEAR(p.y, q.y, 1e-11);
      const exact::Point back = frame.toRotor(p, shaft);
      EXPECT_NEAR(back.x, exact::housingPoint(R / e, r, a).x, 1e-12);
    }
    const PlanePoint lead = frame.borePoint(HousingFrame::leadingSeal(shaft));
    const PlanePoint apex = leadingApex(e, R, shaft);
    EXPECT_NEAR(lead.x, apex.x, 1e-10) << shaft;
    EXPECT_NEAR(lead.y, apex.y, 1e-10) << shaft;
  }
}

TEST(HousingFrame, FindsTheBoresParameterAndLengthFromItsPolarAngle) {
  const double e = 15, R = 105;
  const HousingFrame frame(e, R, RealEngine{2, 0.1, 0});
  for (double polar = -180; polar < 180; polar += 17) {
    const double theta = frame.boreParameterAt(polar * kDegree);
    const PlanePoint p = frame.borePoint(theta);
    EXPECT_NEAR(std::remainder(std::atan2(p.y, p.x) - polar * kDegree, 2 * pi), 0, 1e-13);
  }
  // The bare bore's length against a fine polyline of the trochoid.
  const HousingFrame bare(e, R, RealEngine{});
  double polyline = 0;
  const int pieces = 200000;
  for (int n = 0; n < pieces; ++n) {
    const PlanePoint a = trochoid(e, R, 0.2 + 1.1 * n / pieces);
    const PlanePoint b = trochoid(e, R, 0.2 + 1.1 * (n + 1) / pieces);
    polyline += std::hypot(b.x - a.x, b.y - a.y);
  }
  EXPECT_NEAR(bare.boreLength(0.2, 1.3), polyline, 1e-7);
  // Offset by A, a whole turn is 2 pi A longer.
  EXPECT_NEAR(frame.boreLength(0, 2 * pi) - bare.boreLength(0, 2 * pi), 2 * pi * 2, 1e-9);
}

// A peripheral window opens as the leading apex passes its first edge and closes as the trailing
// apex passes its last: the production exhaust of the trade, about 75 BBDC to 48 ATDC.
TEST(PeripheralPort, OpensAndClosesAsTheApexesPassItsEdges) {
  const double e = 15, R = 105;
  const HousingFrame frame(e, R, RealEngine{});
  for (const auto& [from, to] : {std::pair{40.0, 62.0}, std::pair{140.0, 175.0},
                                 std::pair{-100.0, -60.0}, std::pair{170.0, 200.0}}) {
    const PeripheralOpening port(frame, {from, to, 20});
    const PortTiming timing = port.timing();
    ASSERT_EQ(timing.openings.size(), 1u) << from;
    const PortOpening& t = timing.openings.front();
    // The apexes' polar angles turn once a cycle: search the whole of it from where each is.
    const double opens =
        passing([&](double s) { return leadingApex(e, R, s); }, from, t.opens - 100, 200);
    const double closes =
        passing([&](double s) { return trailingApex(e, R, s); }, to, t.closes - 100, 200);
    EXPECT_NEAR(t.opens, opens, 1e-9) << from;
    EXPECT_NEAR(t.closes, closes, 1e-9) << to;
    EXPECT_NEAR(t.openFor, std::fmod(t.closes - t.opens + 1080, 1080), 1e-9);
    // Closed just outside, open just inside.
    EXPECT_EQ(port.area(t.opens - 1e-6), 0);
    EXPECT_GT(port.area(t.opens + 1e-6), 0);
    EXPECT_GT(port.area(t.closes - 1e-6), 0);
    EXPECT_EQ(port.area(t.closes + 1e-6), 0);
    // Wide open, the window's whole length along the bore.
    const double length = frame.boreLength(frame.boreParameterAt(from * kDegree),
                                           frame.boreParameterAt(to * kDegree));
    EXPECT_NEAR(timing.largestArea, 20 * length, 1e-9 * timing.largestArea);
    // The angle-area against the sum of open areas at every twentieth of a degree.
    double sum = 0;
    const int steps = static_cast<int>(t.openFor * 20);
    for (int n = 0; n < steps; ++n) sum += port.area(t.opens + (n + 0.5) / 20) / 20;
    EXPECT_NEAR(timing.angleArea, sum, 1e-5 * timing.angleArea);
  }
}

// The bare engine's chamber is a sinusoid in two thirds of the shaft's angle: the effective
// ratio at the intake's closing follows from the capacity and the dead volume alone.
// The region a side port opens into is the chamber itself: its area times the width is the
// chamber's volume the cycle integrates, at every stroke, with a port near it or far from it.
TEST(SidePort, ChambersRegionHoldsTheChambersVolume) {
  const double e = 15, R = 105, W = 80;
  const RealEngine real{2, 0.1, 0};
  const ChamberCycle cycle(e, R, W, real, 1000);
  const SideOpening port(e, R, real, {{-95, -10}, {-70, -10}, {-65, 10}, {-92, 12}});
  for (const double shaft : {0.0, 100.0, 270.0, 450.0, 540.0, 700.0, 810.0, 1000.0}) {
    const Polyline region = port.chamberRegion(shaft);
    double twiceArea = 0;
    for (std::size_t n = 0; n < region.size(); ++n) {
      const PlanePoint& p = region[n];
      const PlanePoint& q = region[(n + 1) % region.size()];
      twiceArea += p.x * q.y - q.x * p.y;
    }
    // Clockwise, as the polygons go; its chords a few millionths of the volume inside the curves.
    EXPECT_NEAR(-twiceArea / 2 * W / 1000, cycle.volume(shaft), 1e-5 * cycle.volume(shaft))
        << shaft;
  }
}

TEST(EngineTiming, EffectiveRatiosFollowTheChambersSinusoid) {
  // The K whose exact limit is 10, found by halving: the ratio falls as K falls.
  double low = 3.2, high = 7;
  for (int n = 0; n < 100; ++n) {
    const double K = (low + high) / 2;
    (exactLimit(1, K, 1, 1).figures.ratio > 10 ? high : low) = K;
  }
  const double e = 10, R = e * (low + high) / 2, W = 70;
  const ExactFigures x = exactLimit(e, R, W).figures;
  ASSERT_NEAR(x.ratio, 10, 1e-9);
  const HousingFrame frame(e, R, RealEngine{});
  // An intake window closing at 870 degrees (60 ABDC) and an exhaust window opening at 200.
  const double intakeTo = frame.borePolarAngle((870.0 / 3 - 150) * kDegree) / kDegree;
  const double exhaustFrom = frame.borePolarAngle((200.0 / 3 - 30) * kDegree) / kDegree;
  const std::vector<PortDefinition> ports = {
      PortDefinition::peripheralPort(PortRole::kIntake, {intakeTo - 30, intakeTo, 10}, "intake"),
      PortDefinition::peripheralPort(PortRole::kExhaust, {exhaustFrom, exhaustFrom + 30, 10},
                                     "exhaust")};
  const EngineTiming timing = engineTiming(e, R, W, RealEngine{}, kWindowVolumeDivisor, ports);
  ASSERT_EQ(timing.ports.size(), 2u);
  EXPECT_NEAR(timing.ports[0].openings.at(0).closes, 870, 1e-9);
  EXPECT_NEAR(timing.ports[1].openings.at(0).opens, 200, 1e-9);
  const auto sinusoid = [&](double shaft) {
    return (x.deadVolume + x.capacity * (1 - std::cos(2 * shaft * kDegree / 3)) / 2) / x.deadVolume;
  };
  EXPECT_NEAR(*timing.effectiveCompressionRatio, sinusoid(870), 1e-9);
  EXPECT_NEAR(*timing.effectiveCompressionRatio, 8.95, 0.005);
  EXPECT_NEAR(*timing.effectiveExpansionRatio, sinusoid(200), 1e-9);
}

// However many threads share an engine's ports, the figures are the same to the last bit: each
// port's work is cut and added up alike.
TEST(EngineTiming, IsTheSameOnAnyNumberOfThreads) {
  const auto side = [](PortRole role, Polyline outline) {
    return PortDefinition::sidePort(role, std::move(outline), "");
  };
  const std::vector<PortDefinition> ports = {
      side(PortRole::kIntake, {{-95, -10}, {-70, -10}, {-65, 10}, {-92, 12}}),
      side(PortRole::kExhaust, {{62, 18}, {88, 22}, {95, 40}, {80, 52}, {64, 40}}),
      PortDefinition::peripheralPort(PortRole::kExhaust, {40, 62, 25}, ""),
      side(PortRole::kExhaust, {{40, 50}, {52, 50}, {52, 60}, {40, 60}})};
  const EngineTiming alone = engineTiming(15, 105, 80, RealEngine{2, 0.1, 0}, 1000, ports, 1);
  // Fewer threads than side ports, each port on one; more, each port's work shared out too.
  for (const unsigned threads : {2u, 5u}) {
    const EngineTiming shared =
        engineTiming(15, 105, 80, RealEngine{2, 0.1, 0}, 1000, ports, threads);
    ASSERT_EQ(shared.ports.size(), ports.size());
    for (std::size_t n = 0; n < ports.size(); ++n) {
      ASSERT_EQ(shared.ports[n].openings.size(), alone.ports[n].openings.size()) << n;
      EXPECT_EQ(shared.ports[n].openings.at(0).opens, alone.ports[n].openings.at(0).opens)
          << threads << " " << n;
      EXPECT_EQ(shared.ports[n].openings.at(0).closes, alone.ports[n].openings.at(0).closes)
          << threads << " " << n;
      EXPECT_EQ(shared.ports[n].largestArea, alone.ports[n].largestArea) << threads << " " << n;
      EXPECT_EQ(shared.ports[n].angleArea, alone.ports[n].angleArea) << threads << " " << n;
    }
    EXPECT_EQ(shared.overlap, alone.overlap);
    EXPECT_EQ(shared.effectiveExpansionRatio, alone.effectiveExpansionRatio);
  }
}

// The same engine and ports a thousand times smaller or larger: the same angles, the areas by
// the square.
TEST(EngineTiming, ScalesWithTheEngine) {
  const Polyline side = {{-95, -10}, {-70, -10}, {-65, 10}, {-92, 12}};
  const std::vector<PortDefinition> ports = {
      PortDefinition::sidePort(PortRole::kIntake, side, "s"),
      PortDefinition::peripheralPort(PortRole::kIntake, {150, 175, 20}, "i"),
      PortDefinition::peripheralPort(PortRole::kExhaust, {40, 62, 25}, "x")};
  const EngineTiming base = engineTiming(15, 105, 80, RealEngine{2, 0.1, 0}, 1000, ports);
  for (const double scale : {0.001, 1000.0}) {
    std::vector<PortDefinition> scaled = ports;
    for (PortDefinition& port : scaled) {
      port.peripheral.width *= scale;
      for (PlanePoint& p : port.outline) p = {p.x * scale, p.y * scale};
    }
    const EngineTiming t = engineTiming(15 * scale, 105 * scale, 80 * scale,
                                        RealEngine{2 * scale, 0.1 * scale, 0}, 1000, scaled);
    for (std::size_t n = 0; n < ports.size(); ++n) {
      // The side port's events to the halving's billionth of a degree, and a little more for the
      // rounding of its polygons' coordinates at another scale.
      ASSERT_EQ(t.ports[n].openings.size(), 1u);
      ASSERT_EQ(base.ports[n].openings.size(), 1u);
      EXPECT_NEAR(t.ports[n].openings[0].opens, base.ports[n].openings[0].opens, 1e-8) << scale;
      EXPECT_NEAR(t.ports[n].openings[0].closes, base.ports[n].openings[0].closes, 1e-8) << scale;
      EXPECT_NEAR(t.ports[n].largestArea / (scale * scale), base.ports[n].largestArea,
                  1e-9 * base.ports[n].largestArea);
      EXPECT_NEAR(t.ports[n].angleArea / (scale * scale), base.ports[n].angleArea,
                  1e-9 * base.ports[n].angleArea);
    }
    EXPECT_NEAR(t.overlap, base.overlap, 1e-9);
    EXPECT_NEAR(*t.effectiveCompressionRatio, *base.effectiveCompressionRatio, 1e-9);
  }
}

struct TradeCase {
  double shaft;
  PortRole role;
  bool opening;
  double degrees;
  const char* words;
};
class TradeWords : public ::testing::TestWithParam<TradeCase> {};
TEST_P(TradeWords, CountFromTheDeadCentreTheTradeGivesEachEvent) {
  const TradeCase& c = GetParam();
  const TradeAngle said = tradeAngle(c.shaft, c.role, c.opening);
  EXPECT_NEAR(said.degrees, c.degrees, 1e-9);
  EXPECT_STREQ(said.words, c.words);
}
constexpr PortRole kIn = PortRole::kIntake, kOut = PortRole::kExhaust;
// The side-ported and the peripheral-exhaust engines of the trade, and a late intake closing.
INSTANTIATE_TEST_SUITE_P(Production, TradeWords,
                         ::testing::Values(TradeCase{543, kIn, true, 3, "ATDC"},
                                           TradeCase{870, kIn, false, 60, "ABDC"},
                                           TradeCase{230, kOut, true, 40, "BBDC"},
                                           TradeCase{537, kOut, false, 3, "BTDC"},
                                           TradeCase{195, kOut, true, 75, "BBDC"},
                                           TradeCase{588, kOut, false, 48, "ATDC"},
                                           TradeCase{508, kIn, true, 32, "BTDC"},
                                           TradeCase{978, kIn, false, 168, "ABDC"},
                                           TradeCase{800, kIn, false, 10, "BBDC"}));

TEST(Overlap, CountsTheDegreesBothRolesStandOpen) {
  // The peripheral exhaust of the trade closing 48 ATDC, the intake opening 32 BTDC: 80 degrees.
  EXPECT_DOUBLE_EQ(sharedDegrees({{508, 362}}, {{195, 393}}), 80);
  EXPECT_DOUBLE_EQ(sharedDegrees({{543, 327}}, {{230, 307}}), 0);
  // Around the end of the cycle, and two intakes over one exhaust counted once.
  EXPECT_DOUBLE_EQ(sharedDegrees({{1070, 30}}, {{0, 5}, {1075, 2}}), 7);
  EXPECT_DOUBLE_EQ(sharedDegrees({{500, 100}, {550, 100}}, {{520, 40}}), 40);
}

}  // namespace
}  // namespace rotary
