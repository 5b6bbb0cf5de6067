// When the sweep gives no result at the user's step count, a step count whose sweep does.
#pragma once

#include <optional>

#include "cycle.h"

namespace rotary {

// The step counts tried stop here: a sweep at 1000 steps takes a few milliseconds, so the whole
// search stays well under what a user notices.
inline constexpr int kMostStepsSearched = 1000;

// The smallest of the next multiple of 4 above N and 100, 200, 400 and 1000 (those up to
// mostSteps and kMostStepsSearched) whose sweep gives figures for these dimensions.
std::optional<int> findWorkingStepCount(const Geometry& g, int mostSteps, SweepFunction sweep);

}  // namespace rotary
