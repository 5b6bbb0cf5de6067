// The sweep's loop counts, its progress display and the samples it decides by exact arithmetic.
#include "sweep.h"

#include <gtest/gtest.h>

#include "cycle.h"
#include "geometry.h"
#include "recording_window.h"
#include "step_search.h"

namespace rotary {
namespace {

using testing::Call;
using testing::RecordingWindow;

struct Computed {
  RecordingWindow window;
  std::unique_ptr<Cycle> cycle;
};

std::unique_ptr<Computed> compute(const char* e, const char* R, int N) {
  auto run = std::make_unique<Computed>();
  run->window.text(Box::kEccentricity) = e;
  run->window.text(Box::kRotorRadius) = R;
  run->window.text(Box::kChamberWidth) = "80";
  run->window.steps = N;
  run->cycle = std::make_unique<Cycle>(run->window, sweepStraightforward);
  EXPECT_EQ(run->cycle->compute(), Outcome::kResults);
  return run;
}

// A sweep that gives the rotor no room at top dead centre, so no figures, at every step count
// but 1000.
void sweepWithFiguresOnlyAtAThousand(CycleState& state, Surface& surface) {
  sweepFast(state, surface);
  if (state.g.N != 1000) state.profiles.tdcline = state.profiles.envelope;
}

// Where only 1000 steps give figures, the search finds them there: it tries 1000 last.
TEST(StepSearch, TriesAThousandStepsAtTheEnd) {
  Geometry g;
  g.e = 15;
  g.R = 105;
  g.W = 80;
  g.N = 100;
  EXPECT_EQ(findWorkingStepCount(g, kMostCompanionSteps, sweepWithFiguresOnlyAtAThousand), 1000);
  EXPECT_EQ(findWorkingStepCount(g, kMostWindowSteps, sweepWithFiguresOnlyAtAThousand), 1000);
  g.N = 1000;  // the user's own step count is not tried again
  EXPECT_EQ(findWorkingStepCount(g, kMostCompanionSteps, sweepWithFiguresOnlyAtAThousand),
            std::nullopt);
}

// The percentages shown while sweeping: every write into the ratio box between the "0" of the
// cycle start and the result.
std::vector<std::string> percentages(const RecordingWindow& window) {
  auto shown = window.writes(Box::kRatio);
  return {shown.begin() + 1, shown.end() - 1};
}

TEST(Sweep, HundredStepsMakeTwentyFiveAnglesOfTwentySixCurveSteps) {
  const auto run = compute("15", "105", 100);
  EXPECT_EQ(run->window.yields, 25 * 801 * 26 + 25);
  EXPECT_EQ(percentages(run->window),
            (std::vector<std::string>{"0",  "4",  "8",  "12", "16", "20", "24", "27", "31",
                                      "35", "39", "43", "47", "51", "55", "59", "63", "68",
                                      "72", "76", "80", "84", "88", "92", "96"}));
}

TEST(Sweep, FiftyStepsMakeThirteenAnglesOfThirteenCurveSteps) {
  const auto run = compute("15", "105", 50);
  EXPECT_EQ(run->window.yields, 13 * 801 * 13 + 13);
  EXPECT_EQ(percentages(run->window),
            (std::vector<std::string>{"0", "8", "16", "24", "32", "40", "48", "55", "63", "71",
                                      "79", "87", "95"}));
  // The curve sweep stops short of 2*pi, so the middle of the bottom-dead-centre profile is
  // never reached.
  const Profiles& p = run->cycle->state().profiles;
  for (int i = 359; i <= 441; ++i) EXPECT_EQ(p.bdcline[i], -60) << i;
  EXPECT_NE(p.bdcline[358], -60);
  EXPECT_NE(p.bdcline[442], -60);
}

TEST(Sweep, ThousandStepsMakeTwoHundredFiftyAnglesOfTwoHundredFiftyOneCurveSteps) {
  const auto run = compute("15", "105", 1000);
  EXPECT_EQ(run->window.yields, 250L * 801 * 251 + 250);
  const auto shown = percentages(run->window);
  ASSERT_EQ(shown.size(), 250u);
  EXPECT_EQ(std::vector<std::string>(shown.begin(), shown.begin() + 6),
            (std::vector<std::string>{"0", "0", "0", "1", "1", "2"}));
  EXPECT_EQ(shown.back(), "99");
}

TEST(Sweep, MiddleSamplesFollowFromExactArithmetic) {
  const auto run = compute("15", "105", 100);
  const Profiles& p = run->cycle->state().profiles;
  EXPECT_EQ(p.bdcline[400], -60);  // never crossed: keeps -(e + R) / 2
  EXPECT_LT(p.bdcline[399], -130);
  EXPECT_LT(p.bdcline[401], -130);
  EXPECT_DOUBLE_EQ(p.envelope[400], -75);
  EXPECT_DOUBLE_EQ(p.tdcline[400], -75);
  for (int i = 0; i < 400; ++i) {
    EXPECT_EQ(p.envelope[i], p.envelope[800 - i]) << i;
    EXPECT_EQ(p.tdcline[i], p.tdcline[800 - i]) << i;
    EXPECT_EQ(p.bdcline[i], p.bdcline[800 - i]) << i;
  }
}

struct TallyCase {
  const char* e;
  long curveRejected;  // -1: not checked
  long copyRejected;
};

void PrintTo(const TallyCase& c, std::ostream* os) {
  *os << "e=" << c.e;
}

class SweepLimits : public ::testing::TestWithParam<TallyCase> {};

TEST_P(SweepLimits, RejectOnlyWhereTheEccentricityIsLarge) {
  const auto run = compute(GetParam().e, "105", 100);
  if (GetParam().curveRejected >= 0) {
    EXPECT_EQ(run->cycle->state().tally.curveRejected, GetParam().curveRejected);
  }
  EXPECT_EQ(run->cycle->state().tally.copyRejected, GetParam().copyRejected);
}

INSTANTIATE_TEST_SUITE_P(Eccentricities, SweepLimits,
                         ::testing::Values(TallyCase{"15", 0, 0}, TallyCase{"50", 434, 0},
                                           TallyCase{"80", -1, 45}));

struct ConstructionCase {
  const char* name;
  SweepFunction sweep;
  long constructionLines;
};

void PrintTo(const ConstructionCase& c, std::ostream* os) {
  *os << c.name;
}

class Construction : public ::testing::TestWithParam<ConstructionCase> {};

TEST_P(Construction, MarksTheDeadCentreProfilesOnTheirHalvesAtAngleZero) {
  RecordingWindow window;
  window.logDrawing = true;
  window.text(Box::kEccentricity) = "15";
  window.text(Box::kRotorRadius) = "105";
  window.text(Box::kChamberWidth) = "80";
  Cycle cycle(window, GetParam().sweep);
  ASSERT_EQ(cycle.compute(), Outcome::kResults);
  int red = 0, green = 0;
  for (const Call& c : window.calls(Call::Kind::kCircle)) {
    if (c.colour == colours::kTopDeadCentre) {
      ++red;
      EXPECT_GE(c.x1, 0);
      EXPECT_EQ(c.x2, 0.25f);
    } else if (c.colour == colours::kBottomDeadCentre) {
      ++green;
      EXPECT_LT(c.x1, 0);
    }
  }
  EXPECT_GE(red, 401);
  EXPECT_GE(green, 400);
  long construction = 0;
  for (const Call& c : window.calls(Call::Kind::kLine)) {
    if (c.colour == colours::kConstruction) ++construction;
  }
  EXPECT_EQ(construction, GetParam().constructionLines);
}

INSTANTIATE_TEST_SUITE_P(
    Sweeps, Construction,
    ::testing::Values(
        // Two lines, the piece and its exchanged twin, for every curve step of every sample.
        ConstructionCase{"Straightforward", sweepStraightforward, 2L * 801 * 26},
        // Each piece once: the 25 steps, the join from the last loop and the join of the
        // samples.
        ConstructionCase{"Fast", sweepFast, 2L * 27}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace rotary
