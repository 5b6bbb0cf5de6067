// The real window under bad input, under the user's actions at every phase of the cycle, and over
// a long run.
#include <gtest/gtest.h>

#include <fstream>

#include "extreme_inputs.h"
#include "number_text.h"
#include "running_window.h"
#include "sweep.h"

namespace rotary::app {
namespace {

using rotary::testing::ExtremeInput;
using testing::RunningWindow;

class WindowExtremeInputs : public ::testing::TestWithParam<ExtremeInput> {};

TEST_P(WindowExtremeInputs, KeepTheWindowRunningWithResultsOrAMessage) {
  const ExtremeInput& input = GetParam();
  RunningWindow window;
  enum { kFirstResults, kTyped, kNewCycle, kDone } stage = kFirstResults;
  long framesAtNewCycle = 0;
  bool stillRunning = false;
  ASSERT_TRUE(window.runUntil([&] {
    switch (stage) {
      case kFirstResults:  // the defaults' results are in and the animation runs
        if (window.frames() < 2) return false;
        window.form.text(1)->setText(QString::fromStdString(input.e));
        window.form.text(2)->setText(QString::fromStdString(input.R));
        window.form.text(3)->setText(QString::fromStdString(input.W));
        window.form.vscroll1()->setValue(input.N);
        window.clickRecalculate();
        stage = kTyped;
        return false;
      case kTyped:
        if (!window.message().isEmpty()) break;
        if (window.cycles() < 2) return false;
        framesAtNewCycle = window.frames();
        stage = kNewCycle;
        return false;
      case kNewCycle:
        if (!window.message().isEmpty() || window.frames() > framesAtNewCycle) break;
        return false;
      case kDone:
        return true;
    }
    stillRunning = !window.program.adapter().ending();
    stage = kDone;
    return true;
  }));
  EXPECT_TRUE(stillRunning);
  if (input.hasResults()) {
    EXPECT_EQ(window.message().toStdString(), "");
    // Beyond the rotor limit the figures come with a note, in the message area.
    EXPECT_EQ(window.note().contains("describe the curves only"),
              *parseNumber(input.e) >= *parseNumber(input.R) / 3);
    EXPECT_EQ(window.text(4).toStdString(), input.capacity);
    EXPECT_EQ(window.text(5).toStdString(), input.deadVolume);
    EXPECT_EQ(window.text(6).toStdString(), input.ratio);
  } else {
    EXPECT_NE(window.message().toStdString().find(input.message), std::string::npos)
        << window.message().toStdString();
    if (window.cycles() == 1) {  // rejected before the second cycle wrote anything
      EXPECT_EQ(window.text(1).toStdString(), input.e);
      EXPECT_EQ(window.text(2).toStdString(), input.R);
      EXPECT_EQ(window.text(3).toStdString(), input.W);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Table, WindowExtremeInputs,
                         ::testing::ValuesIn(rotary::testing::extremeInputs()),
                         [](const auto& info) { return info.param.name; });

enum class Phase { kSweep, kAnimation, kSuspension, kMessageWait };
enum class Action { kEsc, kClose, kRecalculate };

struct PhaseAction {
  Phase phase;
  Action action;
};

void PrintTo(const PhaseAction& c, std::ostream* os) {
  const char* phases[] = {"Sweep", "Animation", "Suspension", "MessageWait"};
  const char* actions[] = {"Esc", "Close", "Recalculate"};
  *os << actions[int(c.action)] << "During" << phases[int(c.phase)];
}

class ActionAtPhase : public ::testing::TestWithParam<PhaseAction> {};

TEST_P(ActionAtPhase, EndsOrRestartsCleanly) {
  // Plain copies: a lambda below takes them, which structured bindings cannot be in clang 14.
  const Phase phase = GetParam().phase;
  const Action action = GetParam().action;
  // The straightforward sweep takes long enough at 400 steps to be caught in the middle.
  RunningWindow window(sweepStraightforward);
  window.form.vscroll1()->setValue(400);
  enum { kWaiting, kActed, kReleased } stage = kWaiting;
  long cyclesWhenActed = 0;
  long framesSeen = -1;
  int stableTicks = 0;
  bool suspendedCycleHeld = true;

  // Reached the phase: the action is taken there.
  const auto reached = [&] {
    switch (phase) {
      case Phase::kSweep:
        return window.form.label(4)->text() == "% completed" && window.text(6) != "0" &&
               window.text(6) != "";
      case Phase::kAnimation:
        return window.frames() >= 5;
      case Phase::kSuspension:
        if (window.frames() >= 3 && window.program.cycle().flags().stoop == 0 && framesSeen < 0) {
          window.pressOnSurface();
          framesSeen = window.frames();
        }
        // Held once the frame count no longer moves.
        if (framesSeen >= 0) stableTicks = window.frames() == framesSeen ? stableTicks + 1 : 0;
        framesSeen = framesSeen >= 0 ? window.frames() : framesSeen;
        return stableTicks >= 20;
      case Phase::kMessageWait:
        if (window.frames() >= 1 && window.text(1) != "abc") {
          window.form.text(1)->setText("abc");
          window.clickRecalculate();
        }
        return !window.message().isEmpty();
    }
    return false;
  };

  const bool finished = window.runUntil([&] {
    if (stage == kWaiting) {
      if (!reached()) return false;
      cyclesWhenActed = window.cycles();
      stage = kActed;
      switch (action) {
        case Action::kEsc:
          window.pressEsc();
          return false;
        case Action::kClose:
          window.form.close();
          return false;
        case Action::kRecalculate:
          if (phase == Phase::kMessageWait) window.form.text(1)->setText("15");
          window.clickRecalculate();
          return false;
      }
    }
    // After a recalculation: a new cycle, with results and a frame, and no message.
    if (phase == Phase::kSuspension && stage == kActed) {
      if (window.cycles() != cyclesWhenActed) suspendedCycleHeld = false;
      if (++stableTicks < 40) return false;
      window.pressOnSurface();  // the release lets the restart happen
      stage = kReleased;
      return false;
    }
    return window.cycles() > cyclesWhenActed && window.frames() > 0 &&
           window.form.label(4)->text() == "compression ratio" && window.message().isEmpty() &&
           window.text(4) != "0";
  });
  ASSERT_TRUE(finished);
  EXPECT_FALSE(window.program.running());
  if (action == Action::kRecalculate) {
    EXPECT_GT(window.cycles(), cyclesWhenActed);
    EXPECT_EQ(window.text(1), "15");
    if (phase == Phase::kSuspension) {
      EXPECT_TRUE(suspendedCycleHeld);
    }
  } else {
    EXPECT_EQ(window.cycles(), cyclesWhenActed);  // ended at once, no further cycle
    if (action == Action::kEsc) {
      EXPECT_TRUE(window.surfaceBlank());
    }
  }
}

INSTANTIATE_TEST_SUITE_P(EveryPhase, ActionAtPhase,
                         ::testing::Values(PhaseAction{Phase::kSweep, Action::kEsc},
                                           PhaseAction{Phase::kSweep, Action::kClose},
                                           PhaseAction{Phase::kSweep, Action::kRecalculate},
                                           PhaseAction{Phase::kAnimation, Action::kEsc},
                                           PhaseAction{Phase::kAnimation, Action::kClose},
                                           PhaseAction{Phase::kAnimation, Action::kRecalculate},
                                           PhaseAction{Phase::kSuspension, Action::kEsc},
                                           PhaseAction{Phase::kSuspension, Action::kClose},
                                           PhaseAction{Phase::kSuspension, Action::kRecalculate},
                                           PhaseAction{Phase::kMessageWait, Action::kEsc},
                                           PhaseAction{Phase::kMessageWait, Action::kClose},
                                           PhaseAction{Phase::kMessageWait, Action::kRecalculate}),
                         [](const auto& info) {
                           std::ostringstream name;
                           PrintTo(info.param, &name);
                           return name.str();
                         });

TEST(WindowUnderStress, RapidClicksPressesAndResizesKeepItRunning) {
  RunningWindow window;
  int round = 0;
  long framesBefore = 0;
  ASSERT_TRUE(window.runUntil([&] {
    if (window.frames() < 3) return false;
    switch (round++) {
      case 0:
        for (int n = 0; n < 10; ++n) window.clickRecalculate();  // even: they cancel
        for (int n = 0; n < 8; ++n) window.pressOnSurface();     // even: not held
        window.form.resize(1200, 900);
        framesBefore = window.frames();
        return false;
      case 1:
      case 2:
      case 3:
        window.form.resize(600 + 100 * round, 400 + 80 * round);
        return false;
      default:
        return window.frames() > framesBefore + 20;
    }
  }));
  EXPECT_EQ(window.cycles(), 1);  // the clicks cancelled in pairs
  EXPECT_EQ(window.program.cycle().flags().stoop, 0);
  EXPECT_GE(window.form.surface()->image().width(), 1200);
}

long residentKilobytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  }
  return -1;
}

// AddressSanitizer keeps freed memory aside for a while, so resident memory grows under it
// whatever the window does; there LeakSanitizer looks for what is never freed instead.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kUnderAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kUnderAddressSanitizer = true;
#else
constexpr bool kUnderAddressSanitizer = false;
#endif
#else
constexpr bool kUnderAddressSanitizer = false;
#endif

TEST(WindowLongRun, TwentyThousandFramesDoNotGrowTheMemory) {
  if (kUnderAddressSanitizer) GTEST_SKIP() << "resident memory means nothing under ASan";
  RunningWindow window;
  long startKb = -1, endKb = -1;
  constexpr long kWarmUpFrames = 200;
  constexpr long kFrames = 20000;
  ASSERT_TRUE(window.runUntil(
      [&] {
        if (startKb < 0 && window.frames() >= kWarmUpFrames) startKb = residentKilobytes();
        if (window.frames() < kWarmUpFrames + kFrames) return false;
        endKb = residentKilobytes();
        return true;
      },
      300));
  const long growth = endKb - startKb;
  std::printf(
      "long run: %ld frames, resident memory %ld kB at the start, %ld kB at the end, "
      "growth %ld kB\n",
      window.frames(), startKb, endKb, growth);
  EXPECT_LT(growth, 1024);
  EXPECT_EQ(window.cycles(), 1);
}

}  // namespace
}  // namespace rotary::app
