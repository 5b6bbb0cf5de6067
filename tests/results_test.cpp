// The three results for known geometries, and what the cycle shows where there are none.
#include <gtest/gtest.h>

#include "headless.h"

namespace rotary {
namespace {

struct ResultCase {
  const char* name;
  const char* e;
  const char* R;
  const char* W;
  int N;
  Outcome outcome;
  const char* capacity;
  const char* deadVolume;
  const char* ratio;
  const char* message;  // a part of the message, when there is one
};

void PrintTo(const ResultCase& c, std::ostream* os) {
  *os << c.name;
}

class Results : public ::testing::TestWithParam<ResultCase> {};

TEST_P(Results, MatchTheEstablishedFigures) {
  const ResultCase& c = GetParam();
  const HeadlessResult result = computeHeadless(c.e, c.R, c.W, c.N);
  EXPECT_EQ(result.outcome, c.outcome);
  EXPECT_EQ(result.capacity, c.capacity);
  EXPECT_EQ(result.deadVolume, c.deadVolume);
  EXPECT_EQ(result.ratio, c.ratio);
  EXPECT_NE(result.message.find(c.message), std::string::npos) << result.message;
}

constexpr auto kResults = Outcome::kResults;
constexpr auto kMessage = Outcome::kMessage;

INSTANTIATE_TEST_SUITE_P(
    Table, Results,
    ::testing::Values(
        ResultCase{"Defaults", "15", "105", "80", 100, kResults, "652.4", "37.33", "18.47", ""},
        ResultCase{"N50", "15", "105", "80", 50, kResults, "538.7", "35.78", "16.05", ""},
        ResultCase{"N1000", "15", "105", "80", 1000, kResults, "653.3", "37.87", "18.25", ""},
        ResultCase{"Small", "10", "100", "60", 100, kResults, "310.5", "12.6", "25.63", ""},
        // The last step of the curve sweep is no longer lost to rounding.
        ResultCase{"N500", "15", "105", "80", 500, kResults, "654.6", "37.85", "18.29", ""},
        ResultCase{"N52", "15", "105", "80", 52, kResults, "651.5", "35.89", "19.15", ""},
        ResultCase{"E35", "35", "105", "80", 100, kResults, "1468.3", "208.33", "8.04", ""},
        // Capacity -0.6 and ratio -90.96 are no results: the sweep misses the middle of the
        // bottom-dead-centre profile.
        ResultCase{"TinyE", "0.01", "105", "80", 100, kMessage, "", "", "",
                   "the sweep missed 1 of the 801 samples"},
        // No chamber at top dead centre: nothing that reads as a result stays.
        ResultCase{"ZeroE", "0", "105", "80", 100, kMessage, "", "", "",
                   "chamber at top dead centre has no volume"},
        ResultCase{"ZeroR", "15", "0", "80", 100, kMessage, "", "", "", "rotor radius of 0"},
        ResultCase{"BadE", "abc", "105", "80", 100, kMessage, "", "", "",
                   "eccentricity: \"abc\" is not a number"},
        ResultCase{"EmptyR", "15", "", "80", 100, kMessage, "", "", "",
                   "rotor radius: \"\" is not a number"},
        ResultCase{"OverflowW", "15", "105", "1e400", 100, kMessage, "", "", "",
                   "chamber width: \"1e400\" is too large a number"},
        ResultCase{"HugeR", "15", "1e300", "80", 100, kMessage, "", "", "", "too large"},
        ResultCase{"HugeW", "15", "105", "1e306", 100, kMessage, "", "", "", "volumes overflowed"},
        ResultCase{"NegativeE", "-15", "105", "80", 100, kMessage, "", "", "",
                   "eccentricity: \"-15\" is negative; a length cannot be negative"},
        ResultCase{"NegativeW", "15", "105", "-80", 100, kMessage, "", "", "",
                   "chamber width: \"-80\" is negative"},
        ResultCase{"NegativeZeroE", "-0", "105", "80", 100, kMessage, "", "", "", "eccentricity 0"},
        ResultCase{"ZeroW", "15", "105", "0", 100, kMessage, "", "", "",
                   "chamber width of 0 gives the chamber no volume"},
        ResultCase{"UnderflowingE", "1e-400", "105", "80", 100, kMessage, "", "", "",
                   "eccentricity: \"1e-400\" is too small a number"},
        ResultCase{"Steps", "15", "105", "80", 20, kMessage, "", "", "",
                   "step count: 20 is not between 50 and 1000"}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace rotary
