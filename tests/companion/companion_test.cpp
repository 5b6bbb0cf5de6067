// The companion's tables, studies, profiles and files, checked against single computations of
// the engine and against what a script or a CAD user would find.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>

#include "command_line.h"
#include "headless.h"
#include "number_text.h"
#include "output_file.h"
#include "results_table.h"
#include "runner.h"
#include "tool_run.h"

namespace rotary {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> found;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) found.push_back(line);
  return found;
}

TEST(CompanionTable, RowsCarryTheWindowsFigures) {
  struct Reference {
    std::string e, R, W;
    int N;
  };
  const Reference references[] = {{"15", "105", "80", 100},  {"15", "105", "80", 50},
                                  {"15", "105", "80", 1000}, {"10", "100", "60", 100},
                                  {"35", "105", "80", 100},  {"0", "105", "80", 100}};
  for (const Reference& r : references) {
    const HeadlessResult window = computeHeadless(r.e, r.R, r.W, r.N);
    const std::vector<std::string> args = {
        "--eccentricity",  r.e, "--rotor-radius", r.R,
        "--chamber-width", r.W, "--steps",        std::to_string(r.N)};
    std::vector<std::string> csvArgs = args, jsonArgs = args;
    csvArgs.insert(csvArgs.end(), {"--format", "csv"});
    jsonArgs.insert(jsonArgs.end(), {"--format", "json"});
    const ToolRun csv = run(csvArgs), json = run(jsonArgs);
    const int status = window.figures ? kExitOk : kExitComputationFailed;
    ASSERT_EQ(csv.status, status) << csv.err;
    ASSERT_EQ(json.status, status) << json.err;
    const auto rows = lines(csv.out);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(
        rows[0],
        "eccentricity,rotor_radius,chamber_width,steps,k,chamber_capacity,dead_volume,"
        "compression_ratio,exact_chamber_capacity,exact_dead_volume,exact_compression_ratio,"
        "rotors,displacement,largest_seal_lean_deg,housing_major_axis,housing_minor_axis,"
        "rotor_gear_radius,stationary_gear_radius,surface_to_volume_tdc,otto_efficiency,note");
    const std::string figures = window.capacity + "," + window.deadVolume + "," + window.ratio;
    EXPECT_NE(rows[1].find("," + std::to_string(r.N) + ","), std::string::npos);
    if (window.figures) {
      EXPECT_NE(rows[1].find(figures), std::string::npos) << rows[1];
      EXPECT_NE(json.out.find("\"compression_ratio\":" + window.ratio), std::string::npos);
    } else {
      EXPECT_NE(rows[1].find(",,,,"), std::string::npos) << rows[1];  // no k, no figures
      EXPECT_NE(json.out.find("\"message\":\"" + window.message), std::string::npos);
    }
  }
}

// One engine's outcome gives one exit status in every format: the figures 0, no figures or no
// real engine 1, a seal offset or clearance the engine cannot take 2. CSV and JSON print the row
// of a 1 all the same, with the reason, and every JSON object has both "note" and "message"; a
// usage error (2) prints no row.
struct OutcomeCase {
  const char* name;
  std::vector<std::string> args;
  int status;
  const char* reason;  // in the row and on standard error; none for 0
};

void PrintTo(const OutcomeCase& c, std::ostream* os) {
  *os << c.name;
}

class OneStatusPerOutcome : public ::testing::TestWithParam<OutcomeCase> {};

TEST_P(OneStatusPerOutcome, InEveryFormat) {
  const OutcomeCase& c = GetParam();
  for (const char* format : {"text", "csv", "json"}) {
    std::vector<std::string> args = c.args;
    args.insert(args.end(), {"--format", format});
    const ToolRun result = run(args);
    EXPECT_EQ(result.status, c.status) << format << ": " << result.err;
    if (c.status == kExitBadUsage) {
      // A usage error: one line, and no row of an engine that was never computed.
      EXPECT_NE(result.err.find(c.reason), std::string::npos) << format << ": " << result.err;
      EXPECT_EQ(result.out, "") << format;
      continue;
    }
    if (std::string(format) == "json") {
      EXPECT_NE(result.out.find("\"note\":"), std::string::npos) << result.out;
      EXPECT_NE(result.out.find("\"message\":"), std::string::npos) << result.out;
    }
    if (c.status == kExitOk) continue;
    EXPECT_NE(result.err.find(c.reason), std::string::npos) << format << ": " << result.err;
    EXPECT_EQ(lines(result.err).size(), 1u) << format;
    if (std::string(format) == "text") continue;
    EXPECT_NE(result.out.find(c.reason), std::string::npos) << format << ": " << result.out;
    if (std::string(format) == "json") {
      EXPECT_NE(result.out.find("\"note\":null,\"message\":\""), std::string::npos) << result.out;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, OneStatusPerOutcome,
    ::testing::Values(
        OutcomeCase{"Figures", {}, kExitOk, ""},
        OutcomeCase{"NoChamber",
                    {"--eccentricity", "0"},
                    kExitComputationFailed,
                    "the housing is a circle"},
        OutcomeCase{"ExactBeyondTheRotorLimit",
                    {"--eccentricity", "1", "--rotor-radius", "3", "--method", "exact"},
                    kExitComputationFailed,
                    "with a rotor radius of not more than three"},
        OutcomeCase{"RealEngineWithoutShape",
                    {"--eccentricity", "0", "--seal-offset", "1"},
                    kExitComputationFailed,
                    "No figures of the real engine"},
        OutcomeCase{"TargetAboveTheLimit",
                    {"--target-ratio", "30"},
                    kExitComputationFailed,
                    "ratio 30 is above the limit of this engine, 18.2857"},
        OutcomeCase{
            "SealOffsetTooLarge", {"--seal-offset", "130"}, kExitBadUsage, "must stay below 120."},
        OutcomeCase{"ClearanceTooLarge",
                    {"--seal-offset", "2", "--clearance", "77.5"},
                    kExitBadUsage,
                    "it must stay below 77."}),
    [](const auto& info) { return std::string(info.param.name); });

// Every number of a CSV row is written alike, the inputs as the exact columns: plain decimals,
// or the display format's exponent ("1E-06", "3.6373067E-20"), never "2.9e-06" beside it.
TEST(CompanionTable, EveryNumberInOneStyle) {
  const std::regex number("-?[0-9]+(\\.[0-9]+)?(E[+-][0-9]+)?");
  for (const auto& scale : {std::pair{"1e-6", "7e-6"}, std::pair{"1e6", "7e6"}}) {
    const auto rows =
        lines(run({"--eccentricity", scale.first, "--rotor-radius", scale.second, "--chamber-width",
                   scale.first, "--seal-offset", "0", "--format", "csv"})
                  .out);
    ASSERT_EQ(rows.size(), 2u);
    // The numbers, the note (quoted, with its commas) aside.
    std::istringstream fields(rows[1].substr(0, rows[1].find(",\"")));
    int numbers = 0;
    for (std::string field; std::getline(fields, field, ',');) {
      if (field.empty()) continue;
      EXPECT_TRUE(std::regex_match(field, number)) << field << " in " << rows[1];
      ++numbers;
    }
    EXPECT_GE(numbers, 17) << rows[1];
    EXPECT_NE(rows[1].find("E"), std::string::npos) << rows[1];
  }
}

// The volume curve as a script reads it: the figures first, then a row a degree over the four
// strokes, meeting the dead volume at top dead centre and dead volume plus capacity at bottom.
TEST(CompanionVolumeCurve, RowsRunBetweenTheFiguresItStartsWith) {
  for (const std::vector<std::string>& real :
       {std::vector<std::string>{},
        std::vector<std::string>{"--seal-offset", "2", "--recess", "3"}}) {
    std::vector<std::string> args = {"--volume-curve", "-", "--units", "mm"};
    args.insert(args.end(), real.begin(), real.end());
    const ToolRun curve = run(args);
    ASSERT_EQ(curve.status, kExitOk) << curve.err;
    const auto rows = lines(curve.out);
    ASSERT_EQ(rows.size(), 6u + 1081u);
    EXPECT_EQ(rows[0], "# unit of length: mm, of volume: cm^3");
    EXPECT_EQ(rows[5],
              "shaft_angle_deg,rotor_angle_deg,volume,dvolume_dtheta,seal_lean_deg,surface,"
              "surface_to_volume,torque_per_bar");
    std::vector<std::string> withFigures = {"--format", "json"};
    withFigures.insert(withFigures.end(), real.begin(), real.end());
    const std::string table = run(withFigures).out;
    const auto figure = [&](const std::string& key) {
      const auto at = table.find("\"" + key + "\":") + key.size() + 3;
      return std::stod(table.substr(at));
    };
    const std::string prefix = real.empty() ? "exact_" : "real_";
    const double dead = figure(prefix + "dead_volume");
    const double capacity = figure(prefix + "chamber_capacity");
    const auto volumeAt = [&](std::size_t row) {
      std::istringstream fields(rows[row]);
      std::string field;
      for (int n = 0; n < 3; ++n) std::getline(fields, field, ',');
      return std::stod(field);
    };
    EXPECT_NEAR(volumeAt(6) / dead, 1, 1e-8) << rows[6];
    EXPECT_EQ(rows[6 + 270].substr(0, 7), "270,90,");
    EXPECT_NEAR(volumeAt(6 + 270) / (dead + capacity), 1, 1e-8) << rows[6 + 270];
  }
}

// --method exact prints the shape's own figures in every format, without a sweep.
TEST(CompanionExact, PrintsTheShapesFiguresInEveryFormat) {
  const ToolRun text = run({"--method", "exact"});
  EXPECT_EQ(text.status, 0);
  EXPECT_EQ(text.out,
            "chamber capacity: 654.715\ndead volume: 37.8761\ncompression ratio: 18.2857\n");
  const ToolRun csv = run({"--method", "exact", "--format", "csv", "--steps", "103"});
  ASSERT_EQ(lines(csv.out).size(), 2u);
  EXPECT_EQ(lines(csv.out)[1],
            "15,105,80,,7,654.715,37.8761,18.2857,654.715205,37.8761046,18.2857059,1,654.715205,"
            "25.3769335,240,180,45,30,0.836389255,0.687280252,");
  const ToolRun json = run({"--method", "exact", "--format", "json"});
  EXPECT_NE(json.out.find("\"steps\":null,\"k\":7,\"chamber_capacity\":654.715"), std::string::npos)
      << json.out;

  const ToolRun none = run({"--method", "exact", "--eccentricity", "35"});
  EXPECT_EQ(none.status, kExitComputationFailed);
  EXPECT_NE(none.err.find("No exact figures: with a rotor radius of not more than three"),
            std::string::npos);
  const ToolRun study = run({"--method", "exact", "--eccentricity", "0:15:15"});
  EXPECT_EQ(study.status, 0);
  EXPECT_NE(study.out.find("\"No exact figures: with eccentricity 0"), std::string::npos);

  EXPECT_EQ(run({"--method", "closed"}).status, kExitBadUsage);
  // The DXF comes from the exact computation, so it goes with the exact method.
  const fs::path dxf =
      fs::temp_directory_path() / ("rotary-exact-" + std::to_string(getpid()) + ".dxf");
  EXPECT_EQ(run({"--method", "exact", "--dxf", dxf.string()}).status, kExitOk);
  EXPECT_TRUE(fs::exists(dxf));
  fs::remove(dxf);
  const ToolRun figure = run({"--method", "exact", "--figure", "never.svg"});
  EXPECT_EQ(figure.status, kExitBadUsage);
  EXPECT_FALSE(fs::exists("never.svg"));
}

// A signal while a file is being written removes its temporary file and ends the program as the
// signal would: in a child, a temporary file is remembered and the signal raised.
TEST(CompanionSignals, RemoveTemporaryFilesAndEndAsTheSignalWould) {
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    const std::string path =
        (fs::temp_directory_path() / (".rotary-signal-" + std::to_string(getpid()))).string();
    std::ofstream(path) << "half a file";
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      std::signal(signal, SIG_DFL);
      formats::removeTemporaryFilesOnSignals();
      formats::rememberTemporaryFile(path);
      std::raise(signal);
      _exit(0);  // not reached
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << signal;
    EXPECT_FALSE(fs::exists(path)) << "signal " << signal;
    fs::remove(path);
  }
}

// Behaviour a script relies on, each case with the stream and the words it finds there.
struct Pinned {
  const char* name;
  std::vector<std::string> args;
  int status;
  bool onError;  // the words on standard error, not standard output
  std::vector<std::string> words;
};

void PrintTo(const Pinned& c, std::ostream* os) {
  *os << c.name;
}

class CompanionPinned : public ::testing::TestWithParam<Pinned> {};

TEST_P(CompanionPinned, SaysWhatScriptsRelyOn) {
  const Pinned& c = GetParam();
  const ToolRun result = run(c.args);
  EXPECT_EQ(result.status, c.status) << result.err;
  const std::string& said = c.onError ? result.err : result.out;
  for (const std::string& words : c.words) {
    EXPECT_NE(said.find(words), std::string::npos) << words << "\n" << said;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, CompanionPinned,
    ::testing::Values(
        Pinned{"SetupOverflow",
               {"--rotor-radius", "1e308"},
               kExitComputationFailed,
               true,
               {"rotary-ratio: The dimensions are too large to compute with: the housing size "
                "overflows the range of numbers.\n"}},
        Pinned{"ShortHelp", {"-h"}, kExitOk, false, {"Usage: rotary-ratio [OPTION]...\n"}},
        Pinned{"BothNotes",
               {"--eccentricity", "3.5", "--rotor-radius", "10.5"},
               kExitOk,
               true,
               {"Note: the rotor radius is not more than three eccentricities",
                "\nNote: at N = 100 the sweep missed 1 of the 801 samples"}},
        Pinned{"RangeEndsOnItsStop",
               {"--eccentricity", "5:5.3:0.1"},
               kExitOk,
               false,
               {"\n5,105,", "\n5.1,105,", "\n5.2,105,", "\n5.3,105,"}},
        Pinned{"OneRangeTooMany",
               {"--eccentricity", "1:100001:1"},
               kExitBadUsage,
               true,
               {"--eccentricity: \"1:100001:1\" makes more than 100000 values"}},
        Pinned{"MiddleRowOfTwoRanges",
               {"--eccentricity", "10:12:1", "--rotor-radius", "100:102:1"},
               kExitOk,
               false,
               {"\n11,100,", "\n11,101,", "\n11,102,"}},
        // The companion draws nothing: the drawing range is no reason to withhold figures.
        Pinned{"BeyondTheDrawingRange",
               {"--eccentricity", "1e38", "--rotor-radius", "7e38"},
               kExitOk,
               false,
               {"compression ratio: 18.47\n"}},
        Pinned{"HugeEccentricitySaysWhyNot",
               {"--eccentricity", "1e100"},
               kExitComputationFailed,
               true,
               {"rotary-ratio: No result: with a rotor radius of not more than three "
                "eccentricities"}},
        // At the rotor limit itself, e = R / 3, not only beyond it.
        Pinned{"AtTheRotorLimit",
               {"--eccentricity", "1", "--rotor-radius", "3"},
               kExitComputationFailed,
               true,
               {"rotary-ratio: No result: with a rotor radius of not more than three "
                "eccentricities"}},
        // K = 5.25: below 6 the bulge beyond the apexes is the cause, not the grid.
        Pinned{"BulgeBelowKSix",
               {"--eccentricity", "20", "--rotor-radius", "105", "--steps", "52"},
               kExitOk,
               true,
               {"at K = 5.25 the housing at bottom dead centre bulges out beyond the apexes"}},
        // Too small to compute with: the lengths want a smaller unit, whose numbers are larger.
        Pinned{"TooSmallWantsASmallerUnit",
               {"--eccentricity", "1.5e-154", "--rotor-radius", "1.05e-153"},
               kExitComputationFailed,
               true,
               {"rotary-ratio: The dimensions are too small to compute with: the chamber volumes "
                "fall below the smallest numbers a double holds. Give the lengths in a smaller "
                "unit.\n"}},
        // The designer's figures: two rotors of the defaults displace 2 x 654.715205, the seal
        // leans arcsin(3/7) at most, the bore's axes are 2 (R +- e + A), the gears 3e and 2e.
        Pinned{"DesignerInText",
               {"--rotors", "2", "--gear-module", "3"},
               kExitOk,
               false,
               {"compression ratio: 18.47\ndisplacement (2 rotors): 1309.43\n",
                "largest apex-seal lean: 25.3769 degrees\n", "housing bore axes: 240 by 180\n",
                "gear pitch radii: rotor 45, stationary 30 (3:2); teeth 30 and 20\n"}},
        Pinned{"DesignerOfTheRealEngine",
               {"--seal-offset", "2", "--rotors", "3", "--format", "csv"},
               kExitOk,
               false,
               {",3,2000.66616,25.3769335,244,184,45,30,0.835745416,0.687530792,\n"}},
        // The chamber and the seal in the text, with their units, and the values they take.
        Pinned{"ChamberAndSealInText",
               {"--rpm", "7000"},
               kExitOk,
               false,
               {"surface to volume at top dead centre: 0.836389 per mm\n",
                "ideal Otto cycle's efficiency (gamma 1.4): 0.68728\n",
                "apex seal at 7000 rpm: 14.6608 to 36.6519 m/s sliding on the bore, mean 26.8486; "
                "inertia along its groove -1.79115 to 14.3292 N per gram of seal\n",
                "Note: from 301.6 to 418.4 degrees of the shaft, and again 540 degrees later"}},
        Pinned{"GammaInText",
               {"--gamma", "1.3", "--units", "cm", "--eccentricity", "1.5", "--rotor-radius",
                "10.5", "--chamber-width", "8"},
               kExitOk,
               false,
               {"surface to volume at top dead centre: 8.36389 per cm\n",
                "ideal Otto cycle's efficiency (gamma 1.3): 0.581"}},
        Pinned{"RpmNotASpeed",
               {"--rpm", "0"},
               kExitBadUsage,
               true,
               {"--rpm: \"0\" is not a shaft speed above 0, up to 1000000 rpm"}},
        Pinned{"GammaNotAboveOne",
               {"--gamma", "x"},
               kExitBadUsage,
               true,
               {"--gamma: \"x\" is not a ratio of specific heats above 1, up to 10"}},
        Pinned{"RecessAreaWithoutRecess",
               {"--recess-area", "100"},
               kExitBadUsage,
               true,
               {"--recess-area goes with --recess"}},
        Pinned{"RecessWallsLeftOut",
               {"--recess", "3", "--format", "csv"},
               kExitOk,
               false,
               {"the surface-to-volume ratio leaves out the walls of the recess"}},
        Pinned{"GearTeethNotWhole",
               {"--gear-module", "4"},
               kExitBadUsage,
               true,
               {"--gear-module: \"4\" gives eccentricity 15 gears of 22.5 and 15 teeth"}},
        // At K = 4.2 the flank's middle comes within 55 of the rotor centre, inside the gear.
        Pinned{"GearPastTheFlank",
               {"--eccentricity", "25", "--rotors", "1"},
               kExitOk,
               false,
               {"reaches 81.25 from the rotor centre, and the flank comes within 55 of it."}},
        // In metres the display's cut reads 0: the note gives the exact figures.
        Pinned{"CutToZeroInMetres",
               {"--eccentricity", "0.015", "--rotor-radius", "0.105", "--chamber-width", "0.08"},
               kExitOk,
               true,
               {"so here they read 0 (lengths in a large unit, such as metres or inches); the "
                "shape's exact limit gives them: 6.54715e-07 / 3.78761e-08 / 18.2857"}},
        Pinned{"NoteOfProfilesOnStandardError",
               {"--eccentricity", "35", "--profiles", "-"},
               kExitOk,
               true,
               {"Note: the rotor radius is not more than three eccentricities"}},
        // One rotor is a rotor.
        Pinned{
            "OneRotor", {"--rotors", "1"}, kExitOk, false, {"displacement (1 rotor): 654.715\n"}},
        Pinned{"MostRotors", {"--rotors", "100", "--format", "csv"}, kExitOk, false, {",100,"}},
        Pinned{"TooManyRotors",
               {"--rotors", "101"},
               kExitBadUsage,
               true,
               {"--rotors: \"101\" is not a whole number from 1 to 100\n"}},
        Pinned{"SmallestAngleStep",
               {"--volume-curve", "-", "--angle-step", "0.001"},
               kExitOk,
               false,
               {"\n0.001,", "\n1080,"}},
        Pinned{"AngleStepTooSmall",
               {"--volume-curve", "-", "--angle-step", "0.0009"},
               kExitBadUsage,
               true,
               {"--angle-step: \"0.0009\" is not a number of degrees from 0.001 to 1080\n"}},
        Pinned{"GearModuleOfZero",
               {"--gear-module", "0"},
               kExitBadUsage,
               true,
               {"--gear-module: \"0\" is not a length above 0\n"}},
        // /proc/self/fd/1 is standard output, as "-" is: the profiles go there, not the results.
        Pinned{"ProfilesOnProcSelfFdOne",
               {"--profiles", "/proc/self/fd/1"},
               kExitOk,
               false,
               {"# samples across the rotor flank"}}),
    [](const auto& info) { return std::string(info.param.name); });

// A range whose steps land on its stop ends there: four rows, the last 5.3, none beyond.
TEST(CompanionStudy, RangeEndsOnItsStop) {
  const auto rows = lines(run({"--eccentricity", "5:5.3:0.1"}).out);
  ASSERT_EQ(rows.size(), 5u);
  EXPECT_EQ(rows.back().substr(0, 8), "5.3,105,");
}

// The middle rows of a two-range study, in the order of the ranges.
TEST(CompanionStudy, MiddleRowsComeInTheOrderOfTheRanges) {
  const auto rows = lines(run({"--eccentricity", "10:12:1", "--rotor-radius", "100:102:1"}).out);
  ASSERT_EQ(rows.size(), 10u);
  EXPECT_EQ(rows[5].substr(0, 8), "11,101,8");
}

// Every row in the order of the ranges, the eccentricity slowest, then the rotor radius, the
// chamber width and the step count: off-centre rows of a grid tell each order from the others.
TEST(CompanionStudy, EveryRowInTheOrderOfTheRanges) {
  const auto rows = lines(run({"--eccentricity", "10:12:1", "--rotor-radius", "100:102:1",
                               "--chamber-width", "60:80:20", "--steps", "100:200:100"})
                              .out);
  ASSERT_EQ(rows.size(), 1u + 3 * 3 * 2 * 2);
  std::size_t n = 1;
  for (const char* e : {"10", "11", "12"}) {
    for (const char* R : {"100", "101", "102"}) {
      for (const char* W : {"60", "80"}) {
        for (const char* N : {"100", "200"}) {
          const std::string inputs = std::string(e) + "," + R + "," + W + "," + N + ",";
          EXPECT_EQ(rows[n].substr(0, inputs.size()), inputs) << "row " << n;
          ++n;
        }
      }
    }
  }
}

// A study on a terminal shows its progress from its first second on, however steadily its rows
// come, and clears the line at the end.
TEST(CompanionStudy, ShowsProgressOnATerminalAfterASecond) {
  std::ostringstream out, err;
  const auto start = std::chrono::steady_clock::now();
  const int status = runCommandLine({"--eccentricity", "5:35:0.02", "--steps", "1000"}, out, err,
                                    /*errIsTerminal=*/true);
  const auto took = std::chrono::steady_clock::now() - start;
  ASSERT_EQ(status, kExitOk);
  if (took < std::chrono::milliseconds(1300)) GTEST_SKIP() << "the study took under a second";
  EXPECT_NE(err.str().find("\rrotary-ratio: "), std::string::npos) << err.str();
  EXPECT_NE(err.str().find(" of 1501 engines"), std::string::npos);
  EXPECT_EQ(err.str().substr(err.str().size() - 4), "\r\033[K");
  std::ostringstream quiet;
  runCommandLine({"--eccentricity", "5:6:0.5"}, out, quiet, true);
  EXPECT_EQ(quiet.str(), "");
}

// A file option given twice is not told that a range takes START:STOP:STEP; a length is.
TEST(CompanionOptions, RangeHintOnlyForOptionsThatTakeRanges) {
  const ToolRun file = run({"--dxf", "a.dxf", "--dxf", "b.dxf"});
  EXPECT_EQ(file.err, "rotary-ratio: --dxf is given twice; give it once\n");
  const ToolRun length = run({"--steps", "100", "--steps", "200"});
  EXPECT_NE(length.err.find("(a range takes START:STOP:STEP)"), std::string::npos);
  const ToolRun missing = run({"--eccentricity", "--dxf", "o.dxf"});
  EXPECT_EQ(missing.err,
            "rotary-ratio: --eccentricity needs a value; \"--dxf\" is the next option\n");
}

// An engine without results writes no file, whatever the format.
TEST(CompanionFiles, NoFigureForAnEngineWithoutResults) {
  const fs::path figure =
      fs::temp_directory_path() / ("rotary-none-" + std::to_string(getpid()) + ".svg");
  const ToolRun none = run({"--eccentricity", "0", "--format", "csv", "--figure", figure.string()});
  EXPECT_EQ(none.status, kExitComputationFailed);
  EXPECT_FALSE(fs::exists(figure));
}

TEST(CompanionStudy, RowsEqualSingleRunsWhateverTheWorkers) {
  const auto engines =
      study::combinations({}, {"10", "15", "0", "abc"}, {"100", "105"}, {"80"}, {50, 100});
  ASSERT_EQ(engines.size(), 16u);
  std::string single;
  {
    std::ostringstream out;
    std::vector<study::EngineRow> rows;
    for (const study::Design& engine : engines) rows.push_back(study::runEngine(engine));
    formats::writeCsv(out, rows);
    single = out.str();
  }
  for (const unsigned workers : {1u, 2u, 3u, 16u}) {
    std::ostringstream out;
    formats::writeCsv(out, study::runStudy(engines, workers));
    EXPECT_EQ(out.str(), single) << workers << " workers";
  }
  // The ranges run in the same order: the eccentricity slowest, the step count fastest.
  const ToolRun ranged =
      run({"--eccentricity", "10:15:5", "--rotor-radius", "100:105:5", "--steps", "50:100:50"});
  ASSERT_EQ(ranged.status, 0);
  const auto rows = lines(ranged.out);
  ASSERT_EQ(rows.size(), 9u);
  EXPECT_EQ(rows[1].substr(0, 14), "10,100,80,50,1");
  EXPECT_EQ(rows[8].substr(0, 15), "15,105,80,100,7");
}

// In a study's text each note stands on a line of its own, saying "Note:" once.
TEST(CompanionStudy, TextNotesSayNoteOnce) {
  const ToolRun text = run({"--eccentricity", "34:35:1", "--format", "text"});
  EXPECT_EQ(text.status, 0);
  EXPECT_EQ(text.out.find("note: Note"), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("\nNote: the rotor radius is not more than three"), std::string::npos);
}

TEST(CompanionStudy, RangesIncludeTheirStopWithinAMillionthOfTheStep) {
  const ToolRun run301 = run({"--eccentricity", "5:35:0.1", "--steps", "50"});
  EXPECT_EQ(lines(run301.out).size(), 302u);
  EXPECT_EQ(lines(run301.out).back().substr(0, 3), "35,");
  EXPECT_EQ(lines(run({"--eccentricity", "5:35.0000000001:0.1"}).out).size(), 302u);
  EXPECT_EQ(lines(run({"--eccentricity", "5:34.99:0.1"}).out).size(), 301u);
}

TEST(CompanionProfiles, ReadBackToTheEnginesProfilesBitForBit) {
  const HeadlessResult result = computeHeadless("15", "105", "80", 100);
  const ToolRun profiles = run({"--profiles", "-"});
  ASSERT_EQ(profiles.status, 0);
  std::istringstream in(profiles.out);
  std::string line;
  int comments = 0, samples = 0;
  while (std::getline(in, line)) {
    if (line[0] == '#') {
      ++comments;
      continue;
    }
    if (line == "i,s,envelope,tdcline,bdcline") continue;
    std::istringstream fields(line);
    std::string field;
    std::vector<double> values;
    while (std::getline(fields, field, ',')) values.push_back(std::strtod(field.c_str(), nullptr));
    ASSERT_EQ(values.size(), 5u);
    const int i = static_cast<int>(values[0]);
    EXPECT_EQ(values[1], result.geometry.sample(i));
    EXPECT_EQ(values[2], result.profiles.envelope[i]);
    EXPECT_EQ(values[3], result.profiles.tdcline[i]);
    EXPECT_EQ(values[4], result.profiles.bdcline[i]);
    ++samples;
  }
  EXPECT_EQ(samples, 801);
  EXPECT_GE(comments, 2);
  EXPECT_NE(profiles.out.find("compression ratio 18.47"), std::string::npos);
}

struct BadInput {
  const char* name;
  std::vector<std::string> args;
  const char* said;  // the line names the option and the value
};

void PrintTo(const BadInput& c, std::ostream* os) {
  *os << c.name;
}

class CompanionBadInput : public ::testing::TestWithParam<BadInput> {};

TEST_P(CompanionBadInput, SaysWhyWithStatusTwoAndLeavesNoFile) {
  const fs::path folder = fs::temp_directory_path() / ("rotary-bad-" + std::to_string(getpid()));
  fs::remove_all(folder);
  fs::create_directories(folder);
  std::vector<std::string> args;
  for (std::string arg : GetParam().args) {
    if (const auto at = arg.find("DIR"); at != std::string::npos)
      arg.replace(at, 3, folder.string());
    args.push_back(arg);
  }
  const ToolRun bad = run(args);
  EXPECT_EQ(bad.status, 2);
  EXPECT_EQ(bad.out, "");
  EXPECT_EQ(std::count(bad.err.begin(), bad.err.end(), '\n'), 1) << bad.err;
  EXPECT_NE(bad.err.find(GetParam().said), std::string::npos) << bad.err;
  EXPECT_TRUE(fs::is_empty(folder)) << fs::directory_iterator(folder)->path();
  fs::remove_all(folder);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CompanionBadInput,
    ::testing::Values(
        BadInput{"StepZero",
                 {"--eccentricity", "5:35:0", "--chart", "DIR/c.svg"},
                 "--eccentricity: \"5:35:0\" has a step of 0"},
        BadInput{"NegativeStep",
                 {"--rotor-radius", "100:110:-1"},
                 "--rotor-radius: \"100:110:-1\" has a negative step"},
        BadInput{"StopBeforeStart",
                 {"--chamber-width", "80:60:1"},
                 "--chamber-width: \"80:60:1\" stops before it starts"},
        BadInput{
            "NotARange", {"--eccentricity", "5:x:1"}, "--eccentricity: \"5:x:1\": the stop \"x\""},
        BadInput{
            "NegativeInRange", {"--eccentricity", "-5:5:5"}, "--eccentricity: \"-5\" is negative"},
        BadInput{"TooManyInOne", {"--eccentricity", "1:200000:1"}, "more than 100000"},
        BadInput{"TooManyTogether",
                 {"--eccentricity", "1:400:1", "--rotor-radius", "100:400:1", "--dxf", "DIR/e.dxf"},
                 "more than 100000"},
        BadInput{"StepsNotWhole", {"--steps", "50:100:2.5"}, "--steps: \"50:100:2.5\""},
        BadInput{"StepsBeyond",
                 {"--steps", "19000:21000:1000"},
                 "--steps: \"19000:21000:1000\": 21000 is not a whole number"},
        BadInput{"NoSuchFolder", {"--figure", "DIR/missing/f.svg"}, "--figure: \""},
        BadInput{"UnknownFigure", {"--figure", "DIR/f.jpg"}, "--figure: \""},
        BadInput{"ChartAsPdf", {"--eccentricity", "5:6:1", "--chart", "DIR/c.pdf"}, "--chart: \""},
        BadInput{"DxfExtension", {"--dxf", "DIR/e.txt"}, "--dxf: \""},
        BadInput{"FolderAsFile", {"--profiles", "DIR/"}, "--profiles: \""},
        BadInput{"ProfilesOfAStudy",
                 {"--eccentricity", "5:6:1", "--profiles", "DIR/p.csv"},
                 "--profiles takes one engine"},
        BadInput{"UnknownFormat", {"--format", "xml"}, "--format: \"xml\""},
        BadInput{"RepeatedOption",
                 {"--figure", "DIR/a.png", "--figure", "DIR/b.svg"},
                 "--figure is given twice"},
        BadInput{"RepeatedLength", {"--eccentricity", "10", "--eccentricity", "12"}, "given twice"},
        BadInput{"InfiniteStop", {"--eccentricity", "5:inf:1"}, "the stop \"inf\" is not finite"},
        BadInput{"ChartOfOneEngine", {"--chart", "DIR/c.svg"}, "--chart draws a study"},
        BadInput{"MissingValueBeforeAnOption",
                 {"--eccentricity", "--dxf", "DIR/o.dxf"},
                 "--eccentricity needs a value"},
        BadInput{"FigureOnStandardOutputWithoutFormat", {"--figure", "-"}, "--figure-format"},
        BadInput{"FigureFormatAgainstTheName",
                 {"--figure", "DIR/a.svg", "--figure-format", "png"},
                 "names another format than --figure-format png"},
        BadInput{"FigureFormatWithoutFigure",
                 {"--figure-format", "svg"},
                 "--figure-format goes with --figure"},
        BadInput{"VolumeCurveOfAStudy",
                 {"--eccentricity", "5:6:1", "--volume-curve", "DIR/v.csv"},
                 "--volume-curve takes one engine, not a study of 2"},
        BadInput{"AngleStepWithoutCurve",
                 {"--angle-step", "2", "--dxf", "DIR/x.dxf"},
                 "--angle-step goes with --volume-curve"},
        BadInput{"GearCountJustOffWhole",
                 {"--gear-module", "2.5", "--eccentricity", "15.0000001", "--dxf", "DIR/x.dxf"},
                 "gives eccentricity 15.0000001 gears of 36.00000024 and 24.00000016 teeth "
                 "(6e/m and 4e/m), not whole numbers"},
        BadInput{"GearOfCountlessTeeth",
                 {"--gear-module", "1e-300", "--profiles", "DIR/p.csv"},
                 "a rotor gear of 9e+301 teeth (6e/m), more than the 10000 a phasing gear"},
        BadInput{"GearJustPastTheMostTeeth",
                 {"--gear-module", "0.0089", "--eccentricity", "15"},
                 "a rotor gear of 10112.4 teeth (6e/m), more than the 10000"},
        BadInput{"GearOfLessThanATooth",
                 {"--gear-module", "2.5", "--eccentricity", "0.1"},
                 "gears of 0.24 and 0.16 teeth (6e/m and 4e/m), not whole numbers of at least one"},
        BadInput{"AngleStepOfZero",
                 {"--volume-curve", "DIR/v.csv", "--angle-step", "0"},
                 "--angle-step: \"0\" is not a number of degrees from 0.001 to 1080"},
        BadInput{"UnknownUnit", {"--units", "ft"}, "--units: \"ft\" is not mm, cm, m or in"},
        BadInput{"SameFileTwice",
                 {"--profiles", "DIR/x.dxf", "--dxf", "DIR/./x.dxf"},
                 "is the file that --profiles writes too"},
        BadInput{"TwoOnStandardOutput",
                 {"--profiles", "-", "--dxf", "/dev/stdout"},
                 "--profiles and --dxf both go to standard output"},
        BadInput{"ProfilesBesideJson",
                 {"--profiles", "-", "--format", "json"},
                 "--profiles goes to standard output, where the results in --format go"},
        // Ports that are none: too few values, no width, no length, or a window that never
        // closes.
        BadInput{"PortWithoutWidth",
                 {"--peripheral-intake", "150,175", "--dxf", "DIR/x.dxf"},
                 "--peripheral-intake: \"150,175\" is not FROM,TO,WIDTH"},
        BadInput{"PortOfNoWidth",
                 {"--peripheral-exhaust", "40,62,0"},
                 "--peripheral-exhaust: \"40,62,0\" has no width above 0"},
        BadInput{"PortAngleNoNumber",
                 {"--peripheral-exhaust", "40,x,3"},
                 "--peripheral-exhaust: \"40,x,3\" does not start with two polar angles"},
        BadInput{"PortOfNoLength",
                 {"--peripheral-intake", "150,510,20"},
                 "has no length along the bore"},
        BadInput{"PortEdgeWithoutFile",
                 {"--port-edge", "600"},
                 "--port-edge and --port-edge-dxf go together"},
        BadInput{"PortEdgeBeyondTheCycle",
                 {"--port-edge", "1200", "--port-edge-dxf", "DIR/e.dxf"},
                 "--port-edge: \"1200\" is not a shaft angle from 0 to 1080 degrees"},
        BadInput{"PortEdgeNoDxf",
                 {"--port-edge", "600", "--port-edge-dxf", "DIR/e.txt"},
                 "--port-edge-dxf: \""},
        BadInput{
            "PortEdgeOfAStudy",
            {"--eccentricity", "14:15:1", "--port-edge", "600", "--port-edge-dxf", "DIR/e.dxf"},
            "--port-edge-dxf takes one engine"},
        BadInput{"PortCurveWithoutPorts",
                 {"--port-curve", "DIR/c.csv"},
                 "--port-curve goes with a port"},
        BadInput{"PortTheWrongWayRound",
                 {"--peripheral-intake", "175,150,20", "--profiles", "DIR/p.csv"},
                 "spans 335 degrees of the bore counterclockwise from its first edge"}),
    [](const auto& info) { return info.param.name; });

// Peripheral ports, given more than once, in the text's trade words and in every row of a study;
// the timing of the row is the shape's own and follows the engine.
TEST(CompanionPorts, TimeEveryPortInTextCsvJsonAndStudies) {
  const std::vector<std::string> ports = {"--peripheral-intake",  "150,175,30",
                                          "--peripheral-exhaust", "40,62,25",
                                          "--peripheral-intake",  "160,170,10"};
  std::vector<std::string> args = ports;
  const ToolRun text = run(args);
  ASSERT_EQ(text.status, 0) << text.err;
  EXPECT_NE(text.out.find("intake peripheral 150,175,30: opens 556.828 (16.83 ATDC), closes "
                          "977.995 (168 ABDC), open 421.167 degrees"),
            std::string::npos)
      << text.out;
  EXPECT_NE(text.out.find("exhaust peripheral 40,62,25: opens 188.917 (81.08 BBDC), closes "
                          "611.716 (71.72 ATDC)"),
            std::string::npos)
      << text.out;
  EXPECT_NE(text.out.find("effective compression ratio: 6.40566\n"), std::string::npos);
  // The timing is the engine's, whatever the sweep: the shape's exact engine.
  const EngineTiming timing =
      engineTiming(15, 105, 80, RealEngine{}, 1000,
                   {PortDefinition::peripheralPort(PortRole::kIntake, {150, 175, 30}, ""),
                    PortDefinition::peripheralPort(PortRole::kExhaust, {40, 62, 25}, ""),
                    PortDefinition::peripheralPort(PortRole::kIntake, {160, 170, 10}, "")});
  args.insert(args.end(), {"--format", "json"});
  const ToolRun json = run(args);
  ASSERT_EQ(json.status, 0) << json.err;
  const auto object = nlohmann::json::parse(json.out).at(0);
  ASSERT_EQ(object.at("ports").size(), 3u);
  EXPECT_EQ(object.at("ports")[1].at("role"), "exhaust");
  EXPECT_EQ(object.at("ports")[1].at("kind"), "peripheral");
  EXPECT_EQ(object.at("ports")[1].at("source"), "40,62,25");
  EXPECT_NEAR(object.at("ports")[1].at("opens_deg").get<double>(),
              timing.ports[1].openings.at(0).opens, 1e-6);
  EXPECT_NEAR(object.at("ports")[2].at("angle_area").get<double>(), timing.ports[2].angleArea,
              1e-8 * timing.ports[2].angleArea);
  EXPECT_NEAR(object.at("overlap_deg").get<double>(), timing.overlap, 1e-6);
  // Nine digits, as every exact column.
  EXPECT_NEAR(object.at("effective_expansion_ratio").get<double>(), *timing.effectiveExpansionRatio,
              1e-8 * *timing.effectiveExpansionRatio);
  EXPECT_EQ(object.at("rotation"), "counterclockwise");
  // A study: every row times its own engine, the later intake closing later in a larger one.
  args = ports;
  args.insert(args.end(), {"--eccentricity", "14:16:1", "--format", "csv"});
  const ToolRun study = run(args);
  ASSERT_EQ(study.status, 0) << study.err;
  const auto rows = lines(study.out);
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_NE(rows[0].find(",port3_angle_area,overlap_deg,effective_compression_ratio,"
                         "effective_expansion_ratio,rotation,note"),
            std::string::npos)
      << rows[0];
  for (int n = 1; n <= 3; ++n) {
    const EngineTiming own =
        engineTiming(13 + n, 105, 80, RealEngine{}, 1000,
                     {PortDefinition::peripheralPort(PortRole::kIntake, {150, 175, 30}, ""),
                      PortDefinition::peripheralPort(PortRole::kExhaust, {40, 62, 25}, ""),
                      PortDefinition::peripheralPort(PortRole::kIntake, {160, 170, 10}, "")});
    EXPECT_NE(rows[n].find(significantDigits(own.ports[0].openings.at(0).closes, 9)),
              std::string::npos)
        << rows[n];
  }
  // The real engine's bore: the seal offset moves the edges' parameters and so the events.
  args = ports;
  args.insert(args.end(), {"--seal-offset", "2", "--clearance", "0.1", "--format", "json"});
  const auto real = nlohmann::json::parse(run(args).out).at(0);
  const EngineTiming ofTheRealEngine =
      engineTiming(15, 105, 80, RealEngine{2, 0.1, 0}, 1000,
                   {PortDefinition::peripheralPort(PortRole::kIntake, {150, 175, 30}, "")});
  EXPECT_NEAR(real.at("ports")[0].at("closes_deg").get<double>(),
              ofTheRealEngine.ports[0].openings.at(0).closes, 1e-6);
  EXPECT_GT(std::abs(ofTheRealEngine.ports[0].openings.at(0).closes -
                     timing.ports[0].openings.at(0).closes),
            0.01);
}

TEST(CompanionFiles, AppearWholeAndOnlyWithResults) {
  const fs::path folder = fs::temp_directory_path() / ("rotary-files-" + std::to_string(getpid()));
  fs::remove_all(folder);
  fs::create_directories(folder);
  const std::string figure = (folder / "e.svg").string(), dxf = (folder / "e.dxf").string();
  const ToolRun none = run({"--eccentricity", "0", "--figure", figure, "--dxf", dxf});
  EXPECT_EQ(none.status, 1);
  EXPECT_TRUE(fs::is_empty(folder));
  const ToolRun made = run({"--figure", figure, "--dxf", dxf});
  EXPECT_EQ(made.status, 0) << made.err;
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 2);
  EXPECT_GT(fs::file_size(figure), 1000u);
  fs::remove_all(folder);
}

}  // namespace
}  // namespace rotary

namespace rotary {
namespace {

// The volume curve is the exact shape's: a sweep that misses a sample (K = 11.8 at N = 100) does
// not keep it from its file, and a shape without a curve says the shape's own reason.
TEST(CompanionVolumeCurve, ComesFromTheShapeWhateverTheSweepMakesOfIt) {
  const fs::path file =
      fs::temp_directory_path() / ("rotary-curve-" + std::to_string(getpid()) + ".csv");
  fs::remove(file);
  const std::vector<std::string> missed = {"--eccentricity", "6.9506", "--rotor-radius", "82.018"};
  std::vector<std::string> args = missed;
  args.insert(args.end(), {"--volume-curve", file.string()});
  const ToolRun toFile = run(args);
  // The text's results have no figures, and say so; the curve stands.
  EXPECT_EQ(toFile.status, kExitComputationFailed);
  EXPECT_NE(toFile.err.find("the sweep missed 1 of the 801 samples"), std::string::npos)
      << toFile.err;
  EXPECT_EQ(toFile.out, "");
  ASSERT_TRUE(fs::exists(file));
  std::ifstream in(file);
  const std::string written((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(written.find("# exact limit: chamber capacity 236.975441"), std::string::npos);
  EXPECT_EQ(lines(written).size(), 5u + 1081u);
  fs::remove(file);

  // On standard output the curve takes the results' place: nothing asked for is missing.
  args = missed;
  args.insert(args.end(), {"--volume-curve", "-"});
  const ToolRun toOutput = run(args);
  EXPECT_EQ(toOutput.status, kExitOk) << toOutput.err;
  EXPECT_EQ(toOutput.out, written);

  const ToolRun noShape = run({"--volume-curve", "-", "--eccentricity", "40"});
  EXPECT_EQ(noShape.status, kExitComputationFailed);
  EXPECT_EQ(noShape.err,
            "rotary-ratio: No exact figures: with a rotor radius of not more than three "
            "eccentricities no three-flank rotor fits the housing.\n");
  EXPECT_EQ(noShape.out, "");
}

// A seal offset or clearance the engine cannot take is a usage error: one line, no row, as any
// other refused value.
TEST(CompanionRefusal, ARefusedRealEngineValuePrintsNoRow) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--seal-offset", "130", "--format", "csv"},
        std::vector<std::string>{"--clearance", "77", "--format", "json"},
        std::vector<std::string>{"--clearance", "77", "--format", "csv", "--dxf", "-"}}) {
    const ToolRun refused = run(args);
    EXPECT_EQ(refused.status, kExitBadUsage) << args[0];
    EXPECT_EQ(refused.out, "") << args[0];
    EXPECT_EQ(lines(refused.err).size(), 1u) << refused.err;
  }
  // A target above the limit is the engine's answer, not a usage error: its row says it, and
  // keeps the designer's figures of the engine, which has them.
  const ToolRun target = run({"--seal-offset", "2", "--target-ratio", "40", "--format", "csv"});
  EXPECT_EQ(target.status, kExitComputationFailed);
  EXPECT_NE(target.out.find("is above the limit of this engine"), std::string::npos);
  EXPECT_NE(target.out.find(",40,,1,666.888721,25.3769335,244,184,45,30,"), std::string::npos)
      << target.out;
}

// The gears of an eccentricity of 0 are no reason to refuse a module: that engine has no
// figures, and its own message says why.
TEST(CompanionRefusal, AModuleDoesNotSpeakForAnEngineWithoutGears) {
  const ToolRun none = run({"--gear-module", "2.5", "--eccentricity", "0"});
  EXPECT_EQ(none.status, kExitComputationFailed);
  EXPECT_NE(none.err.find("With eccentricity 0 the housing is a circle"), std::string::npos)
      << none.err;
  EXPECT_EQ(none.err.find("teeth"), std::string::npos) << none.err;
  // A fine module below the bound is taken: 9000 teeth.
  EXPECT_EQ(run({"--gear-module", "0.01", "--eccentricity", "15"}).status, kExitOk);
}

}  // namespace
}  // namespace rotary

namespace rotary {
namespace {

// A note goes to standard error only beside the text; a table carries it in its note column and
// leaves standard error to what is wrong.
TEST(CompanionNotes, GoToStandardErrorBesideTheTextAloneAndToStandardOutputNeverTwice) {
  const ToolRun text = run({"--steps", "103"});
  EXPECT_NE(text.err.find("does not divide the quarter turn"), std::string::npos) << text.err;
  for (const char* format : {"csv", "json"}) {
    const ToolRun table = run({"--steps", "103", "--format", format});
    EXPECT_EQ(table.status, kExitOk);
    EXPECT_EQ(table.err, "") << format;
    EXPECT_NE(table.out.find("does not divide the quarter turn"), std::string::npos) << format;
  }
  // With /proc/self/fd/1 for the profiles, standard output takes them and no results.
  const ToolRun profiles = run({"--profiles", "/proc/self/fd/1", "--format", "csv"});
  EXPECT_EQ(profiles.status, kExitBadUsage);
  EXPECT_NE(profiles.err.find("goes to standard output"), std::string::npos) << profiles.err;
}

}  // namespace
}  // namespace rotary
