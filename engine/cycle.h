// The computation cycle: it reads the dimensions and the step count, sweeps the housing around
// the rotor, integrates the chamber volumes and shows them, animates the housing, and starts
// over, until the window is ending. It reaches the window only through the Window interface.
#pragma once

#include "cycle_state.h"
#include "messages.h"
#include "surface.h"
#include "window.h"

namespace rotary {

// How a part of the cycle ended.
enum class Outcome {
  kResults,  // the three results are shown
  kRestart,  // a restart request cut the cycle short
  kMessage,  // the inputs or the computation failed; a message is shown
  kEnded,    // the window is ending
};

using SweepFunction = void (*)(CycleState&, Surface&);

// The step counts a cycle takes: the window's scroll bar runs to 1000, the command-line
// companion goes further, for designers who want to see the figures settle.
inline constexpr int kFewestSteps = 50;
inline constexpr int kMostWindowSteps = 1000;
inline constexpr int kMostCompanionSteps = 20000;

class Cycle {
 public:
  // The fast sweep unless another is given.
  // The volumes are area x width over `volumeDivisor`: the window's 1000, or the companion's 1
  // for a unit of length other than millimetres.
  explicit Cycle(Window& window, SweepFunction sweep = nullptr, int mostSteps = kMostWindowSteps,
                 double volumeDivisor = kWindowVolumeDivisor);

  // Writes the default dimensions, then runs cycle after cycle; returns once the window is
  // ending.
  void run();

  // The default dimensions 15, 105 and 80, written once at the first start.
  void writeDefaults();
  // One cycle up to its results: the dimensions read, the sweep, the integration and, unless a
  // restart is pending, the results.
  Outcome compute();
  // The animation that follows; after a restart request it ends after one frame.
  Outcome animate();
  // After a message: waits for a restart request or the end.
  Outcome waitForRestart();

  // When the sweep gives no result, the message names a step count that gives one, found by
  // trying a few; the trials themselves do not search.
  void searchStepCounts(bool search) { searchStepCounts_ = search; }

  // The divisor of the volumes from the next start on: the window's unit of length chosen.
  void setVolumeDivisor(double divisor) { volumeDivisor_ = divisor; }
  double volumeDivisor() const { return volumeDivisor_; }

  RunFlags& flags() { return state_.flags; }
  const CycleState& state() const { return state_; }

 private:
  // Runs steps of the cycle, turning a fault into its message and the end of the program into
  // kEnded.
  template <typename Steps>
  Outcome guarded(Steps steps);
  bool readDimensions();
  void prepareProfiles();
  void show(const std::string& message);
  // The exact limit's line, where the shape has one and `beside` does not quote it already.
  void showExactLimit(const std::string& beside);
  void blankOutputs();
  NoResultCause noResultCause() const;

  Window& window_;
  Surface surface_;
  SweepFunction sweep_;
  CycleState state_;
  int mostSteps_;
  double volumeDivisor_;
  Phase phase_ = Phase::kSetup;
  bool messageShown_ = false;
  bool searchStepCounts_ = true;
};

}  // namespace rotary
