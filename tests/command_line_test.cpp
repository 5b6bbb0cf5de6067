#include "command_line.h"

#include <gtest/gtest.h>

#include <sstream>

namespace rotary {
namespace {

struct CommandCase {
  const char* name;
  std::vector<std::string> args;
  int status;
  const char* out;  // exact standard output
  const char* err;  // a part of standard error
};

void PrintTo(const CommandCase& c, std::ostream* os) {
  *os << c.name;
}

class CommandLine : public ::testing::TestWithParam<CommandCase> {};

TEST_P(CommandLine, PrintsResultsOrSaysWhatIsWrong) {
  std::ostringstream out, err;
  EXPECT_EQ(runCommandLine(GetParam().args, out, err), GetParam().status);
  if (std::string(GetParam().out) != "*") {
    EXPECT_EQ(out.str(), GetParam().out);
  }
  EXPECT_NE(err.str().find(GetParam().err), std::string::npos) << err.str();
  if (GetParam().status != kExitOk) {
    const std::string text = err.str();
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, CommandLine,
    ::testing::Values(
        CommandCase{"Defaults",
                    {},
                    0,
                    "chamber capacity: 652.4\ndead volume: 37.33\ncompression ratio: 18.47\n",
                    ""},
        CommandCase{"Given",
                    {"--eccentricity", "10", "--rotor-radius", "100", "--chamber-width=60"},
                    0,
                    "chamber capacity: 310.5\ndead volume: 12.6\ncompression ratio: 25.63\n",
                    ""},
        CommandCase{"Steps",
                    {"--steps", "1000"},
                    0,
                    "chamber capacity: 653.3\ndead volume: 37.87\ncompression ratio: 18.25\n",
                    ""},
        CommandCase{"Help", {"--help"}, 0, "*", ""},
        CommandCase{"NotANumber",
                    {"--eccentricity", "abc"},
                    2,
                    "",
                    "--eccentricity: \"abc\" is not a number"},
        CommandCase{"Comma", {"--chamber-width", "1,5"}, 2, "", "--chamber-width: \"1,5\""},
        CommandCase{"Fraction",
                    {"--steps", "99.5"},
                    2,
                    "",
                    "--steps: \"99.5\" is not a whole number from 50 to 20000"},
        CommandCase{"TooFew", {"--steps", "49"}, 2, "", "--steps: \"49\""},
        CommandCase{"TooMany", {"--steps", "20001"}, 2, "", "--steps: \"20001\""},
        CommandCase{"Missing", {"--rotor-radius"}, 2, "", "--rotor-radius: a value is missing"},
        CommandCase{"Unknown", {"--speed", "3"}, 2, "", "unknown option \"--speed\""},
        CommandCase{"NoChamber",
                    {"--eccentricity", "0"},
                    1,
                    "",
                    "chamber at top dead centre has no volume"}),
    [](const auto& info) { return info.param.name; });

TEST(CommandLine, HelpNamesEveryOption) {
  std::ostringstream out, err;
  ASSERT_EQ(runCommandLine({"--help"}, out, err), 0);
  for (const char* option : {"--eccentricity", "--rotor-radius", "--chamber-width", "--steps"}) {
    EXPECT_NE(out.str().find(option), std::string::npos) << option;
  }
}

}  // namespace
}  // namespace rotary
