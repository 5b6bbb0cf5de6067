// The figures as a user reads them: the ratio of a scaled engine, and the notes and messages
// where the computation has no sound figures to give.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <vector>

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
  int N;
  const char* ratio;
  const char* note;  // a part of the note; empty for none
};

void PrintTo(const NoteCase& c, std::ostream* os) {
  *os << c.name;
}

class Notes : public ::testing::TestWithParam<NoteCase> {};

TEST_P(Notes, GoWithTheFiguresAndStopNothing) {
  const NoteCase& c = GetParam();
  const HeadlessResult result = computeHeadless(c.e, c.R, "80", c.N);
  ASSERT_EQ(result.outcome, Outcome::kResults) << result.message;
  EXPECT_EQ(result.ratio, c.ratio);
  EXPECT_EQ(result.message, "");
  if (*c.note) {
    EXPECT_NE(result.note.find(c.note), std::string::npos) << result.note;
  } else {
    EXPECT_EQ(result.note, "");
  }

  std::ostringstream out, err;
  EXPECT_EQ(
      runCommandLine({"--eccentricity", c.e, "--rotor-radius", c.R, "--steps", std::to_string(c.N)},
                     out, err),
      kExitOk);
  EXPECT_NE(out.str().find(std::string("compression ratio: ") + c.ratio), std::string::npos);
  EXPECT_EQ(err.str().empty(), !*c.note) << err.str();
}

INSTANTIATE_TEST_SUITE_P(
    Table, Notes,
    ::testing::Values(
        // About 1 % from the exact 654.715 / 37.8761 / 18.2857: no note.
        NoteCase{"Defaults", "15", "105", 100, "18.47", ""},
        NoteCase{"DefaultsAtAThousand", "15", "105", 1000, "18.25", ""},
        NoteCase{"StepsNotAMultipleOfFour", "5.25", "105", 103, "31.84",
                 "exact limit is 229.15 / 5.77541 / 40.6769 (capacity / dead volume / ratio); "
                 "N = 103 does not divide the quarter turn: use a multiple of 4."},
        NoteCase{"FewestSteps", "15", "105", 50, "16.05", "N = 50 does not divide"},
        NoteCase{"MissedMiddleSample", "0.1", "105", 100, "60.3",
                 "exact limit is 4.36477 / 0.0584568 / 75.6666 (capacity / dead volume / ratio); "
                 "at N = 100 the sweep missed 1 of the 801 samples"},
        NoteCase{"CoarseGrid", "0.5", "105", 100, "69.77",
                 "at K = 210 the 801 samples across the flank and N = 100 are too coarse"},
        NoteCase{"BulgeBeyondTheApexes", "30", "105", 100, "8.4",
                 "1309.43 / 178.656 / 8.32934 (capacity / dead volume / ratio); at K = 3.5 the "
                 "housing at bottom dead centre bulges out beyond the apexes"},
        NoteCase{"JustInsideTheLimit", "34.9", "105", 100, "7.59", "bulges out beyond the apexes"},
        NoteCase{"AtTheRotorLimit", "35", "105", 100, "8.04", "describe the curves only"},
        // The same shape at a tenth of the size: the missed sample's start value does not scale.
        NoteCase{"AtTheRotorLimitSmall", "3.5", "10.5", 100, "19.97",
                 "these figures change with its size; with those samples bridged from their "
                 "neighbours the ratio reads 7.59."},
        NoteCase{"BeyondTheRadius", "200", "105", 100, "7.56", "describe the curves only"}),
    [](const auto& info) { return info.param.name; });

struct MessageCase {
  const char* name;
  const char* e;
  const char* R;
  int N;
  std::vector<const char*> parts;  // of the message
};

void PrintTo(const MessageCase& c, std::ostream* os) {
  *os << c.name;
}

class NoResultMessages : public ::testing::TestWithParam<MessageCase> {};

// Where the sweep gives no result the message says why, with the shape's exact figures where it
// has them, in the window and in the companion alike.
TEST_P(NoResultMessages, SayWhyWithTheExactFigures) {
  const MessageCase& c = GetParam();
  const HeadlessResult result = computeHeadless(c.e, c.R, "80", c.N);
  ASSERT_EQ(result.outcome, Outcome::kMessage);
  EXPECT_EQ(result.ratio, "");
  for (const char* part : c.parts) {
    EXPECT_NE(result.message.find(part), std::string::npos) << part << "\n" << result.message;
  }
  std::ostringstream out, err;
  EXPECT_EQ(
      runCommandLine({"--eccentricity", c.e, "--rotor-radius", c.R, "--steps", std::to_string(c.N)},
                     out, err),
      kExitComputationFailed);
  EXPECT_EQ(err.str(), "rotary-ratio: " + result.message + "\n");
  EXPECT_EQ(out.str(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Table, NoResultMessages,
    ::testing::Values(
        // K = 11.8: no crossing reaches the middle of the flank at any step count.
        MessageCase{"OrdinaryEngine",
                    "6.9506",
                    "82.018",
                    100,
                    {"No result at N = 100: the sweep missed 1 of the 801 samples",
                     "exact limit is 236.975 / 8.48982 / 28.9129",
                     "No step count up to 1000 gives figures"}},
        MessageCase{"SmallOrdinaryEngine",
                    "1.7603",
                    "21.556",
                    1000,
                    {"missed", "exact limit is 15.7735 / 0.549025 / 29.7299"}},
        MessageCase{"AStepCountThatWorks",
                    "0.5",
                    "105",
                    50,
                    {"the sweep missed 59 of the 801", "N = 52 gives figures."}},
        MessageCase{"TinyEccentricity", "0.01", "105", 100, {"exact limit is 0.436477"}},
        MessageCase{"TooSmallBeyondExactReach",
                    "1e-7",
                    "105",
                    100,
                    {"eccentricity is too small against the rotor radius"}},
        // Lengths too small to compute with, whatever the sweep would make of them.
        MessageCase{"Underflow", "1.5e-161", "1.05e-160", 100, {"too small to compute with"}},
        MessageCase{
            "UnderflowNearTheEdge", "1.5e-154", "1.05e-153", 100, {"too small to compute with"}},
        MessageCase{
            "UnderflowAtTheBottom", "1.5e-166", "1.05e-165", 100, {"too small to compute with"}},
        MessageCase{
            "UnderflowBeyondTheLimit", "1.5e-161", "3e-161", 100, {"too small to compute with"}}),
    [](const auto& info) { return info.param.name; });

// Just above the smallest lengths, the figures are those of any other scale.
TEST(Figures, SmallestLengthsComputedWithKeepTheRatio) {
  const HeadlessResult result = computeHeadless("1.5e-150", "1.05e-149", "80", 100);
  ASSERT_EQ(result.outcome, Outcome::kResults) << result.message;
  EXPECT_EQ(result.ratio, "18.47");
}

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
