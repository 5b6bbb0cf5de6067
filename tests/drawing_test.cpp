// What the cycle draws, checked against the geometry with the expected values written out: the
// construction marks on their lines, the gear circles and their radii, and the housing gear that
// the animation moves without leaving a trail.
#include <gtest/gtest.h>

#include <cmath>

#include "cycle.h"
#include "recording_window.h"

namespace rotary {
namespace {

using testing::Call;
using testing::RecordingWindow;
using Kind = Call::Kind;

// The default engine: e = 15, R = 105, W = 80, N = 100.
class Drawing : public ::testing::Test {
 protected:
  Drawing() {
    window.text(Box::kEccentricity) = "15";
    window.text(Box::kRotorRadius) = "105";
    window.text(Box::kChamberWidth) = "80";
    window.logDrawing = true;
  }
  RecordingWindow window;
  Cycle cycle{window};
};

bool onSegment(float x, float y, const Call& line) {
  const float left = std::min(line.x1, line.x2), right = std::max(line.x1, line.x2);
  if (x < left - 1e-3f || x > right + 1e-3f || line.x1 == line.x2) return false;
  const double along = (x - line.x1) / double(line.x2 - line.x1);
  return std::abs(line.y1 + along * (line.y2 - line.y1) - y) < 2e-3;
}

TEST_F(Drawing, DeadCentreMarksLieOnTheirConstructionLines) {
  ASSERT_EQ(cycle.compute(), Outcome::kResults);
  // The construction comes in pairs: the housing piece, then its exchanged twin.
  std::vector<Call> first, second;
  for (const Call& c : window.calls(Kind::kLine)) {
    if (c.colour != 1u) continue;
    (first.size() == second.size() ? first : second).push_back(c);
  }
  ASSERT_EQ(first.size(), second.size());
  int red = 0, green = 0;
  for (const Call& c : window.calls(Kind::kCircle)) {
    if (c.x2 != 0.25f) continue;
    const auto near = [&](const std::vector<Call>& lines, float y) {
      return std::any_of(lines.begin(), lines.end(),
                         [&](const Call& line) { return onSegment(c.x1, y, line); });
    };
    if (c.colour == 255u) {
      ++red;
      EXPECT_TRUE(near(first, c.y1)) << c.x1 << ", " << c.y1;
    } else if (c.colour == 0xC000u) {
      ++green;
      // The bottom-dead-centre mark is the mirror image of the twin across y = -e = -15.
      EXPECT_TRUE(near(second, -30 - c.y1)) << c.x1 << ", " << c.y1;
    }
  }
  EXPECT_GT(red, 300);
  EXPECT_GT(green, 300);
}

TEST_F(Drawing, GearCirclesHaveTheirRadiiAndCentres) {
  ASSERT_EQ(cycle.compute(), Outcome::kResults);
  struct Expected {
    Colour colour;
    float x, y, radius;
  };
  // The rotor's internal gear 3e around the rotor centre, the housing's fixed gear 2e around
  // the housing centre at top dead centre (0, e), each with its centre mark of radius 2.
  const Expected expected[] = {
      {0xC0C000, 0, 0, 45}, {0xC0C000, 0, 0, 2}, {0xFF0000, 0, 15, 30}, {0xFF0000, 0, 15, 2}};
  std::vector<Call> gears;
  for (const Call& c : window.calls(Kind::kCircle)) {
    if (c.x2 != 0.25f) gears.push_back(c);
  }
  ASSERT_EQ(gears.size(), 4u);
  for (std::size_t n = 0; n < 4; ++n) {
    EXPECT_EQ(gears[n].colour, expected[n].colour) << n;
    EXPECT_EQ(gears[n].x1, expected[n].x) << n;
    EXPECT_EQ(gears[n].y1, expected[n].y) << n;
    EXPECT_EQ(gears[n].x2, expected[n].radius) << n;
  }
}

TEST_F(Drawing, TheAnimationLeavesOnlyTheCurrentHousingGearInItsColour) {
  ASSERT_EQ(cycle.compute(), Outcome::kResults);
  window.onYield = [](RecordingWindow& w) {
    if (w.frameYields == 6) w.end();
  };
  ASSERT_EQ(cycle.animate(), Outcome::kEnded);

  // The circles still on the surface: drawing over one in another colour replaces it, and the
  // background colour 0xE0E0E0 takes it away.
  struct Shown {
    float x, y, radius;
    Colour colour;
  };
  std::vector<Shown> shown;
  for (const Call& c : window.calls(Kind::kCircle)) {
    std::erase_if(shown, [&](const Shown& s) {
      return std::abs(s.x - c.x1) < 1e-3 && std::abs(s.y - c.y1) < 1e-3 &&
             std::abs(s.radius - c.x2) < 1e-3;
    });
    if (c.colour != 0xE0E0E0u) shown.push_back({c.x1, c.y1, c.x2, *c.colour});
  }
  // Six frames, the last at a = 5 * 2 * pi / 400: its gear alone is blue.
  const double a = 5 * 2 * 3.14159265358979 / 400;
  std::vector<float> blueRadii;
  for (const Shown& s : shown) {
    if (s.colour != 0xFF0000u) continue;
    blueRadii.push_back(s.radius);
    EXPECT_NEAR(s.x, 15 * std::sin(a), 1e-4);
    EXPECT_NEAR(s.y, 15 * std::cos(a), 1e-4);
  }
  std::sort(blueRadii.begin(), blueRadii.end());
  EXPECT_EQ(blueRadii, (std::vector<float>{2, 30}));
}

}  // namespace
}  // namespace rotary
