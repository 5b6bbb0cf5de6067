// The cycle as the window sees it: what it writes and when, and how it answers the run flags
// and the end of the program at each of its checkpoints.
#include "cycle.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "recording_window.h"
#include "sweep.h"

namespace rotary {
namespace {

using testing::Call;
using testing::RecordingWindow;
using Kind = Call::Kind;

// The writes, captions, messages and clears of the log, as short texts, from position `from`.
std::vector<std::string> visible(const RecordingWindow& window, std::size_t from = 0) {
  static const char* kBoxes[] = {"Text1", "Text2", "Text3", "Text4", "Text5", "Text6"};
  std::vector<std::string> out;
  for (std::size_t n = from; n < window.log.size(); ++n) {
    const Call& c = window.log[n];
    if (c.kind == Kind::kWrite) out.push_back(std::string(kBoxes[int(c.box)]) + "=" + c.text);
    if (c.kind == Kind::kCaption) out.push_back("Label4=" + c.text);
    if (c.kind == Kind::kMessage) out.push_back("message=" + c.text);
    if (c.kind == Kind::kClear) out.push_back("clear");
  }
  return out;
}

// Ends the program as soon as the second cycle has started.
void endOnSecondCycle(RecordingWindow& window) {
  if (window.cyclesStarted >= 2) window.end();
}

TEST(Cycle, FirstCycleWritesDefaultsEchoesAndZeroes) {
  RecordingWindow window;
  window.text(Box::kEccentricity) = " ";
  window.onYield = [](RecordingWindow& w) { w.end(); };
  Cycle cycle(window, sweepStraightforward);
  cycle.run();
  EXPECT_EQ(visible(window),
            (std::vector<std::string>{"Text1=15", "Text2=105", "Text3=80", "Label4=% completed",
                                      "Text1=15", "Text2=105", "Text3=80", "Text4=0", "Text5=0",
                                      "Text6=0"}));
  EXPECT_EQ(window.calls(Kind::kForeColor).size(), 1u);
  EXPECT_EQ(window.stepCountReads, 2);
  EXPECT_EQ(window.yields, 1);  // returned at once when the window ended
}

TEST(Cycle, EchoesInputsInDisplayFormat) {
  RecordingWindow window;
  window.text(Box::kEccentricity) = "015";
  window.text(Box::kRotorRadius) = " 1.050e2 ";
  window.text(Box::kChamberWidth) = "80.0";
  window.onYield = [](RecordingWindow& w) { w.end(); };
  Cycle cycle(window);
  EXPECT_EQ(cycle.compute(), Outcome::kEnded);
  EXPECT_EQ(window.text(Box::kEccentricity), "15");
  EXPECT_EQ(window.text(Box::kRotorRadius), "105");
  EXPECT_EQ(window.text(Box::kChamberWidth), "80");
}

// The shape's exact limit stands beside the figures and beside a message that does not quote it
// already, and goes when the next cycle starts.
struct ExactLineCase {
  const char* name;
  const char *e, *R;
  const char* line;  // empty for none
  bool figures;      // whether the window may offer them for saving
};

void PrintTo(const ExactLineCase& c, std::ostream* os) {
  *os << c.name;
}

class ExactLine : public ::testing::TestWithParam<ExactLineCase> {};

TEST_P(ExactLine, StandsBesideWhatTheCycleShows) {
  const ExactLineCase& c = GetParam();
  RecordingWindow window;
  window.text(Box::kEccentricity) = c.e;
  window.text(Box::kRotorRadius) = c.R;
  window.text(Box::kChamberWidth) = "80";
  window.steps = 100;
  window.exactLimit = "from before";
  window.figuresShown = true;
  Cycle cycle(window);
  cycle.searchStepCounts(false);
  cycle.compute();
  EXPECT_EQ(window.exactLimit, c.line) << window.message;
  EXPECT_EQ(window.figuresShown, c.figures) << window.message;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ExactLine,
    ::testing::Values(
        ExactLineCase{"Figures", "15", "105", "exact limit 654.715 / 37.8761 / 18.2857, K = 7",
                      true},
        // The note quotes the exact figures itself.
        ExactLineCase{"NoteQuotesThem", "0.1", "105", "", true},
        // A message that quotes them: K = 11.8, missed at every step count.
        ExactLineCase{"MessageQuotesThem", "6.9506", "82.018", "", false},
        ExactLineCase{"NoShape", "0", "105", "", false},
        // Beyond the drawing range the figures are withheld, but the shape has its limit.
        ExactLineCase{"BeyondTheDrawing", "1e38", "7e38",
                      "exact limit 2.90985e+76 / 1.68338e+75 / 18.2857, K = 7", false}),
    [](const auto& info) { return std::string(info.param.name); });

class CycleRun : public ::testing::Test {
 protected:
  CycleRun() {
    window.text(Box::kEccentricity) = "15";
    window.text(Box::kRotorRadius) = "105";
    window.text(Box::kChamberWidth) = "80";
  }
  // Runs the cycle from its first start until the script ends the window.
  void run() { cycle.run(); }

  RecordingWindow window;
  // The straightforward sweep yields after every curve step, which lets these tests click at
  // any point of it.
  Cycle cycle{window, sweepStraightforward};
};

TEST_F(CycleRun, RestartDuringTheSweepClearsAndStartsOver) {
  long restartAt = 0;
  window.onYield = [&](RecordingWindow& w) {
    if (w.yields == 1000) {
      cycle.flags().toggleRestart();
      restartAt = static_cast<long>(w.log.size());
    }
    endOnSecondCycle(w);
  };
  window.logDrawing = true;
  run();
  ASSERT_GT(restartAt, 0);
  // The percentage of the angle is still written, then the surface is cleared; the
  // integration stops after one sample and the animation after one frame.
  EXPECT_EQ(visible(window, restartAt),
            (std::vector<std::string>{"Text6=0", "clear", "Label4=compression ratio", "clear",
                                      "clear", "Label4=% completed", "Text1=15", "Text2=105",
                                      "Text3=80", "Text4=0", "Text5=0", "Text6=0"}));
  // One rotor sample: the flank point and its two turned copies.
  long rotorPoints = 0;
  for (const Call& c : window.calls(Kind::kPoint)) rotorPoints += c.colour == colours::kRotor;
  EXPECT_EQ(rotorPoints, 3);
  // The one frame is drawn with the sweep's step, its erase loop cut after the first pass.
  long housing = 0, erased = 0;
  for (const Call& c : window.calls(Kind::kLine)) {
    housing += !c.colour.has_value();
    erased += c.colour == colours::kBackground;
  }
  EXPECT_EQ(housing, 101);
  EXPECT_EQ(erased, 0);
  EXPECT_EQ(cycle.flags().comcom, 0);  // reset by the new cycle
}

TEST_F(CycleRun, RestartDuringTheIntegrationShowsResultsAndOneFrame) {
  bool clicked = false;
  window.onYield = [&](RecordingWindow& w) {
    // The integration never yields: a click made while it runs is handled at the first yield
    // of the animation.
    if (!clicked && w.caption == "compression ratio") {
      cycle.flags().toggleRestart();
      clicked = true;
    }
    endOnSecondCycle(w);
  };
  window.logDrawing = true;
  run();
  EXPECT_EQ(window.writes(Box::kCapacity), (std::vector<std::string>{"0", "652.4", "0"}));
  EXPECT_EQ(window.writes(Box::kDeadVolume), (std::vector<std::string>{"0", "37.33", "0"}));
  long housing = 0;
  for (const Call& c : window.calls(Kind::kLine)) housing += !c.colour.has_value();
  EXPECT_EQ(housing, 401);  // one frame at 400 steps per turn
  EXPECT_EQ(window.frameYields, 1);
}

TEST_F(CycleRun, RestartDuringTheAnimationEndsTheFrameAndClears) {
  long busyInFrame = 0;
  window.onYield = [&](RecordingWindow& w) {
    if (w.caption != "compression ratio") return endOnSecondCycle(w);
    if (w.frameYields == 3 && w.lastPace == Pace::kBusy && ++busyInFrame == 10) {
      cycle.flags().toggleRestart();
    }
    endOnSecondCycle(w);
  };
  window.logDrawing = true;
  run();
  EXPECT_EQ(window.frameYields, 4);
  // Frame 4 erased nine pieces before the request, then still drew its housing.
  long erased = 0, housing = 0;
  for (const Call& c : window.calls(Kind::kLine)) {
    housing += !c.colour.has_value();
    erased += c.colour == colours::kBackground;
  }
  EXPECT_EQ(housing, 4 * 401);
  EXPECT_EQ(erased, 3 * 401 + 9);
  const auto shown = visible(window);
  const auto second = std::find(shown.begin() + 4, shown.end(), "Label4=% completed");
  ASSERT_NE(second, shown.end());
  EXPECT_EQ(*(second - 1), "clear");
}

TEST(CycleAnimation, DrawsTheHousingByThePlainFormula) {
  RecordingWindow window;
  window.text(Box::kEccentricity) = "15";
  window.text(Box::kRotorRadius) = "105";
  window.text(Box::kChamberWidth) = "80";
  window.onYield = [](RecordingWindow& w) {
    if (w.frameYields == 2) w.end();
  };
  Cycle cycle(window);
  ASSERT_EQ(cycle.compute(), Outcome::kResults);
  window.logDrawing = true;
  ASSERT_EQ(cycle.animate(), Outcome::kEnded);

  Geometry g = cycle.state().g;
  std::vector<std::array<float, 4>> expected;
  const double da = 2 * g.pi / 400;
  for (const double a : {0.0, da}) {
    for (const double angle : {a - da, a}) {  // erased at the angle before, drawn at the angle
      HousingPoint h;
      const double Dx = g.e * std::sin(angle), Dy = g.e * std::cos(angle);
      for (double r = -da; r <= 2 * g.pi; r += da) {
        h.advance(g, r, angle);
        if (r >= 0) {
          expected.push_back({float(Dx + h.w), float(Dy + h.q), float(Dx + h.t), float(Dy + h.v)});
        }
      }
    }
  }
  std::vector<std::array<float, 4>> drawn;
  for (const Call& c : window.calls(Kind::kLine)) drawn.push_back({c.x1, c.y1, c.x2, c.y2});
  EXPECT_EQ(drawn.size(), 4u * 401);
  EXPECT_TRUE(drawn == expected);
}

TEST_F(CycleRun, SuspensionHoldsARestartUntilReleased) {
  long idle = 0;
  long clearsWhenReleased = -1;
  window.onYield = [&](RecordingWindow& w) {
    if (w.caption == "compression ratio" && w.frameYields == 0 && !cycle.flags().suspended() &&
        idle == 0) {
      cycle.flags().toggleSuspend();  // pressed while the first frame is erased
    }
    if (cycle.flags().suspended() && w.frameYields == 1) {
      ++idle;
      if (idle == 5) cycle.flags().toggleRestart();
      if (idle == 50) {
        cycle.flags().toggleSuspend();
        clearsWhenReleased = w.clears;
      }
    }
    endOnSecondCycle(w);
  };
  run();
  EXPECT_EQ(idle, 50);
  EXPECT_EQ(window.frameYields, 1);                  // held after the first frame
  EXPECT_EQ(window.clears, clearsWhenReleased + 1);  // cleared only once released
  EXPECT_EQ(cycle.flags().stoop, 0);
}

TEST_F(CycleRun, SuspensionSurvivesARestartUntilTheNextPress) {
  // The latch is the user's: a restart request does not release it.
  cycle.flags().toggleSuspend();
  long idle = 0;
  window.onYield = [&](RecordingWindow& w) {
    if (w.frameYields != 1) return;
    if (idle == 0) cycle.flags().toggleRestart();
    if (++idle == 100) w.end();
  };
  run();
  EXPECT_EQ(idle, 100);
  EXPECT_EQ(window.cyclesStarted, 1);  // held, so never restarted
  EXPECT_EQ(cycle.flags().stoop, 1);
  EXPECT_EQ(cycle.flags().comcom, 1);
}

TEST_F(CycleRun, TwoClicksBetweenCheckpointsCancel) {
  // The first click is seen after a curve step at angle 0, the second in the yield after the
  // percentage: no restart, but the rest of that angle's samples are never swept.
  const long firstClick = 26 * 100 + 5;  // in the sweep of sample 100
  bool second = false;
  window.onYield = [&](RecordingWindow& w) {
    if (w.yields == firstClick) cycle.flags().toggleRestart();
    if (!second && w.writes(Box::kRatio).size() == 2) {
      cycle.flags().toggleRestart();
      second = true;
    }
    if (w.caption == "compression ratio") w.end();
  };
  run();
  EXPECT_EQ(window.clears, 1);  // only the integration's
  // Half a flank of bottom-dead-centre samples kept at their start value make no engine.
  EXPECT_NE(window.message.find("No result"), std::string::npos) << window.message;
  EXPECT_EQ(window.text(Box::kCapacity), "");
  const Profiles& p = cycle.state().profiles;
  EXPECT_NE(p.bdcline[99], -60);
  EXPECT_EQ(p.bdcline[101], -60);
  EXPECT_EQ(p.bdcline[399], -60);
}

TEST_F(CycleRun, RejectedInputKeepsTheTextShowsWhyAndWaits) {
  window.text(Box::kEccentricity) = "12abc";
  window.text(Box::kChamberWidth) = "";
  long idle = 0;
  window.onYield = [&](RecordingWindow& w) {
    if (!w.message.empty() && ++idle == 20) {
      EXPECT_EQ(w.text(Box::kEccentricity), "12abc");
      w.text(Box::kEccentricity) = "15";
      w.text(Box::kChamberWidth) = "80";
      cycle.flags().toggleRestart();
    }
  };
  cycle.compute();  // not run(): no defaults written over the typed texts
  EXPECT_EQ(window.message,
            "eccentricity: \"12abc\" is not a number.\nchamber width: \"\" is not a number.");
  EXPECT_EQ(window.text(Box::kEccentricity), "12abc");
  EXPECT_EQ(window.writes(Box::kEccentricity).size(), 0u);
  // Nothing that reads as a result beside the message.
  EXPECT_EQ(window.writes(Box::kCapacity), std::vector<std::string>{""});
  EXPECT_EQ(window.caption, "compression ratio");
  EXPECT_EQ(window.clears, 0);

  ASSERT_EQ(cycle.waitForRestart(), Outcome::kRestart);
  EXPECT_EQ(idle, 20);
  EXPECT_EQ(cycle.compute(), Outcome::kResults);
  EXPECT_EQ(window.message, "");  // the message goes when the next cycle starts
  EXPECT_EQ(window.text(Box::kCapacity), "652.4");
}

TEST_F(CycleRun, ComputationFaultBlanksTheOutputsAndWaits) {
  window.text(Box::kEccentricity) = "0";
  long idle = 0;
  window.onYield = [&](RecordingWindow& w) {
    if (!w.message.empty() && ++idle == 3) w.end();
  };
  ASSERT_EQ(cycle.compute(), Outcome::kMessage);
  EXPECT_EQ(cycle.waitForRestart(), Outcome::kEnded);
  EXPECT_NE(window.message.find("no volume"), std::string::npos);
  // Neither the capacity worked out before the fault nor the sweep's last percentage stays.
  for (Box box : {Box::kCapacity, Box::kDeadVolume, Box::kRatio}) {
    EXPECT_EQ(window.text(box), "");
  }
  EXPECT_EQ(window.caption, "compression ratio");
  EXPECT_EQ(idle, 3);
  for (const Call& c : window.calls(Kind::kCircle)) EXPECT_NE(c.colour, colours::kHousingGear);
}

TEST_F(CycleRun, RejectedInputBlanksTheResultsOfTheCycleBefore) {
  ASSERT_EQ(cycle.compute(), Outcome::kResults);
  window.text(Box::kRotorRadius) = "abc";
  ASSERT_EQ(cycle.compute(), Outcome::kMessage);
  EXPECT_EQ(window.text(Box::kCapacity), "");
  EXPECT_EQ(window.text(Box::kDeadVolume), "");
  EXPECT_EQ(window.text(Box::kRatio), "");
  EXPECT_EQ(window.text(Box::kRotorRadius), "abc");
}

TEST_F(CycleRun, ResultsDoNotDependOnTheCycleBefore) {
  ASSERT_EQ(cycle.compute(), Outcome::kResults);
  window.text(Box::kEccentricity) = "35";
  ASSERT_EQ(cycle.compute(), Outcome::kResults);
  EXPECT_EQ(window.text(Box::kCapacity), "1468.3");
  EXPECT_EQ(window.text(Box::kDeadVolume), "208.33");
  EXPECT_EQ(window.text(Box::kRatio), "8.04");
}

TEST_F(CycleRun, StepCountMovedDuringACycleWaitsForTheNext) {
  window.onYield = [](RecordingWindow& w) { w.steps = 50; };
  ASSERT_EQ(cycle.compute(), Outcome::kResults);
  EXPECT_EQ(window.text(Box::kCapacity), "652.4");
  EXPECT_EQ(window.yields, 25 * 801 * 26 + 25);
}

TEST(CycleEnding, StopsEveryPhasePromptly) {
  for (const long endAt : {1L, 5000L, 520675L, 520680L}) {
    RecordingWindow w;
    w.text(Box::kEccentricity) = "15";
    w.text(Box::kRotorRadius) = "105";
    w.text(Box::kChamberWidth) = "80";
    w.onYield = [endAt](RecordingWindow& rw) {
      if (rw.yields == endAt) rw.end();
    };
    Cycle c(w, sweepStraightforward);
    c.run();
    EXPECT_EQ(w.yields, endAt);
  }
}

TEST_F(CycleRun, AnimationRunsFourHundredTurnsThenStartsOverWithoutClearing) {
  window.onYield = endOnSecondCycle;
  run();
  EXPECT_EQ(window.frameYields, 400 * 400);
  // Both loops of every frame make 402 passes and draw 401 pieces; the second cycle has drawn
  // the two construction lines of its first curve step when it first yields.
  EXPECT_EQ(window.lines, 2L * 801 * 26 + 400L * 400 * 401 * 2 + 2);
  EXPECT_EQ(window.clears, 1);                  // the integration's; the last frame stays
  EXPECT_EQ(window.text(Box::kCapacity), "0");  // the second cycle has begun
}

}  // namespace
}  // namespace rotary
