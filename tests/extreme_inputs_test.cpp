// The table of bad and extreme inputs through the engine and through the command-line tool.
#include "extreme_inputs.h"

#include <gtest/gtest.h>

#include <sstream>

#include "command_line.h"
#include "cycle.h"
#include "recording_window.h"

namespace rotary {
namespace {

using testing::ExtremeInput;

class ExtremeInputs : public ::testing::TestWithParam<ExtremeInput> {};

TEST_P(ExtremeInputs, GiveResultsOrAMessageAndKeepTheTypedText) {
  const ExtremeInput& input = GetParam();
  testing::RecordingWindow window;
  window.text(Box::kEccentricity) = input.e;
  window.text(Box::kRotorRadius) = input.R;
  window.text(Box::kChamberWidth) = input.W;
  window.steps = input.N;
  Cycle cycle(window);
  const Outcome outcome = cycle.compute();
  if (input.hasResults()) {
    ASSERT_EQ(outcome, Outcome::kResults) << window.message;
    EXPECT_EQ(window.text(Box::kCapacity), input.capacity);
    EXPECT_EQ(window.text(Box::kDeadVolume), input.deadVolume);
    EXPECT_EQ(window.text(Box::kRatio), input.ratio);
  } else {
    ASSERT_EQ(outcome, Outcome::kMessage);
    EXPECT_NE(window.message.find(input.message), std::string::npos) << window.message;
    EXPECT_LT(window.message.size(), 300u);
    for (Box box : {Box::kCapacity, Box::kDeadVolume, Box::kRatio}) {
      EXPECT_EQ(window.text(box), "") << "a message and a figure";
    }
    if (window.writes(Box::kEccentricity).empty()) {  // rejected before anything was written
      EXPECT_EQ(window.text(Box::kEccentricity), input.e);
      EXPECT_EQ(window.text(Box::kRotorRadius), input.R);
      EXPECT_EQ(window.text(Box::kChamberWidth), input.W);
    }
  }
}

TEST_P(ExtremeInputs, ThroughTheCommandLine) {
  const ExtremeInput& input = GetParam();
  std::ostringstream out, err;
  const int status =
      runCommandLine({"--eccentricity=" + input.e, "--rotor-radius=" + input.R,
                      "--chamber-width=" + input.W, "--steps", std::to_string(input.N)},
                     out, err);
  if (input.hasResults()) {
    EXPECT_EQ(status, kExitOk) << err.str();
    EXPECT_EQ(out.str(), "chamber capacity: " + input.capacity + "\ndead volume: " +
                             input.deadVolume + "\ncompression ratio: " + input.ratio + "\n");
  } else {
    EXPECT_TRUE(status == kExitBadUsage || status == kExitComputationFailed);
    EXPECT_EQ(out.str(), "");
    EXPECT_LT(err.str().size(), 300u);
    const std::string text = err.str();
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1);
  }
}

INSTANTIATE_TEST_SUITE_P(Table, ExtremeInputs, ::testing::ValuesIn(testing::extremeInputs()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace rotary
