#include "step_search.h"

#include <algorithm>
#include <set>

#include "headless.h"
#include "number_text.h"

namespace rotary {

std::optional<int> findWorkingStepCount(const Geometry& g, int mostSteps, SweepFunction sweep) {
  const int most = std::min(mostSteps, kMostStepsSearched);
  std::set<int> candidates;
  for (const int N : {(g.N / 4 + 1) * 4, 100, 200, 400, 1000}) {
    if (N >= kFewestSteps && N <= most && N != g.N) candidates.insert(N);
  }
  for (const int N : candidates) {
    HeadlessWindow window;
    // Seventeen digits read back as the very doubles the user's cycle computed with.
    window.text(Box::kEccentricity) = significantDigits(g.e, 17);
    window.text(Box::kRotorRadius) = significantDigits(g.R, 17);
    window.text(Box::kChamberWidth) = significantDigits(g.W, 17);
    window.steps = N;
    Cycle trial(window, sweep, mostSteps, g.volumeDivisor);
    trial.searchStepCounts(false);
    if (trial.compute() == Outcome::kResults) return N;
  }
  return std::nullopt;
}

}  // namespace rotary
