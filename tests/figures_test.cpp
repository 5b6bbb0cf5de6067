// The figures as a user reads them: the ratio of a scaled engine, and the notes and messages
// where the computation has no sound figures to give.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "command_line.h"
#include "headless.h"
#include "number_text.h"

namespace rotary {
namespace {

struct ScaleCase {
  double scale;
  int N;
  double ratio;  // of the default engine at this step count
};

void PrintTo(const ScaleCase& c, std::ostream* os) {
  *os << "scale " << c.scale << ", N = " << c.N;
}

class ScaledEngine : public ::testing::TestWithParam<ScaleCase> {};

// Scaling e, R and W together scales both volumes by the cube: the ratio stays, to the last
// shown digit, allowing one unit where the cut falls on a boundary.
TEST_P(ScaledEngine, KeepsTheRatio) {
  const ScaleCase& c = GetParam();
  const std::string e = formatNumber(15 * c.scale), R = formatNumber(105 * c.scale),
                    W = formatNumber(80 * c.scale);
  const HeadlessResult result = computeHeadless(e, R, W, c.N);
  ASSERT_EQ(result.outcome, Outcome::kResults) << result.message;
  EXPECT_NEAR(*parseNumber(result.ratio), c.ratio, 0.0100001);

  std::ostringstream out, err;
  ASSERT_EQ(runCommandLine({"--eccentricity", e, "--rotor-radius", R, "--chamber-width", W,
                            "--steps", std::to_string(c.N)},
                           out, err),
            kExitOk)
      << err.str();
  EXPECT_NE(out.str().find("compression ratio: " + result.ratio + "\n"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Table, ScaledEngine,
                         ::testing::Values(ScaleCase{0.001, 100, 18.47}, ScaleCase{0.1, 100, 18.47},
                                           ScaleCase{1, 100, 18.47}, ScaleCase{10, 100, 18.47},
                                           ScaleCase{100, 100, 18.47}, ScaleCase{10000, 100, 18.47},
                                           ScaleCase{0.001, 1000, 18.25},
                                           ScaleCase{0.1, 1000, 18.25}, ScaleCase{1, 1000, 18.25},
                                           ScaleCase{10, 1000, 18.25}, ScaleCase{100, 1000, 18.25},
                                           ScaleCase{10000, 1000, 18.25}));

struct NoteCase {
  const char* name;
  const char* e;
  const char* R;
  const char* ratio;
  const char* note;  // a part of the note; empty for none
};

void PrintTo(const NoteCase& c, std::ostream* os) {
  *os << c.name;
}

class Notes : public ::testing::TestWithParam<NoteCase> {};

TEST_P(Notes, GoWithTheFiguresAndStopNothing) {
  const NoteCase& c = GetParam();
  const HeadlessResult result = computeHeadless(c.e, c.R, "80", 100);
  ASSERT_EQ(result.outcome, Outcome::kResults) << result.message;
  EXPECT_EQ(result.ratio, c.ratio);
  EXPECT_EQ(result.message, "");
  if (*c.note) {
    EXPECT_NE(result.note.find(c.note), std::string::npos) << result.note;
  } else {
    EXPECT_EQ(result.note, "");
  }

  std::ostringstream out, err;
  EXPECT_EQ(runCommandLine({"--eccentricity", c.e, "--rotor-radius", c.R}, out, err), kExitOk);
  EXPECT_NE(out.str().find(std::string("compression ratio: ") + c.ratio), std::string::npos);
  EXPECT_EQ(err.str().empty(), !*c.note) << err.str();
}

INSTANTIATE_TEST_SUITE_P(
    Table, Notes,
    ::testing::Values(
        NoteCase{"Defaults", "15", "105", "18.47", ""},
        NoteCase{"MiddleSampleAtSmallE", "0.1", "105", "60.3",
                 "60.3 as computed, 76.99 with the sample taken from its neighbour"},
        NoteCase{"MiddleSampleAtHalf", "0.5", "105", "69.77", "72.97 with the sample"},
        NoteCase{"AtTheRotorLimit", "35", "105", "8.04", "describe the curves only"},
        NoteCase{"JustInsideTheLimit", "34.9", "105", "7.59", ""},
        NoteCase{"BeyondTheRadius", "200", "105", "7.56", "describe the curves only"}),
    [](const auto& info) { return info.param.name; });

TEST(Figures, AreTheValuesBehindTheTexts) {
  const HeadlessResult result = computeHeadless("15", "105", "80", 100);
  ASSERT_TRUE(result.figures.has_value());
  EXPECT_EQ(formatNumber(result.figures->capacity), result.capacity);
  EXPECT_EQ(formatNumber(result.figures->deadVolume), result.deadVolume);
  EXPECT_EQ(formatNumber(result.figures->ratio), result.ratio);
  // The profiles after the mirroring: the middle of the bottom-dead-centre profile keeps its
  // start value, its neighbours lie near -135.
  EXPECT_EQ(result.profiles.bdcline[400], -60);
  EXPECT_NEAR(result.profiles.bdcline[399], -135, 1);
  EXPECT_EQ(result.profiles.envelope[0], result.profiles.envelope[800]);
  EXPECT_FALSE(computeHeadless("0.01", "105", "80", 100).figures.has_value());
}

}  // namespace
}  // namespace rotary
