#include "headless.h"

namespace rotary {

HeadlessResult computeHeadless(const std::string& eccentricity, const std::string& rotorRadius,
                               const std::string& chamberWidth, int steps, SweepFunction sweep,
                               int mostSteps, double volumeDivisor, const std::atomic<bool>* stop) {
  HeadlessWindow window;
  window.text(Box::kEccentricity) = eccentricity;
  window.text(Box::kRotorRadius) = rotorRadius;
  window.text(Box::kChamberWidth) = chamberWidth;
  window.steps = steps;
  window.stop = stop;
  Cycle cycle(window, sweep, mostSteps, volumeDivisor);
  HeadlessResult result;
  result.outcome = cycle.compute();
  result.capacity = window.text(Box::kCapacity);
  result.deadVolume = window.text(Box::kDeadVolume);
  result.ratio = window.text(Box::kRatio);
  result.message = window.message;
  result.note = window.note;
  const CycleState& state = cycle.state();
  result.geometry = state.g;
  result.profiles = state.profiles;
  result.areas = state.areas;
  result.figures = state.figures;
  result.exact = state.exact;
  return result;
}

}  // namespace rotary
