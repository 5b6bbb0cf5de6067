// The values an option takes in a study: one value as typed, or START:STOP:STEP.
#pragma once

#include <string>
#include <vector>

namespace rotary::study {

inline constexpr long kMostEngines = 100000;

struct Values {
  std::vector<std::string> texts;  // as the engine reads them, in order
  std::string error;               // why the text is no value or range; empty when it is
};

// A single value is kept exactly as typed, for the engine to read and judge. A range gives
// START, START + STEP, ... up to STOP, which is included when the steps land on it within a
// millionth of STEP; each value in the display format, as a user would type it.
Values parseValues(const std::string& text);

// The same for the step count, whose values must be whole numbers from `fewest` to `most`.
Values parseStepValues(const std::string& text, int fewest, int most);

bool isRange(const std::string& text);

}  // namespace rotary::study
