// The companion says only what happens: a port that never opens says so in words with no angles
// and gives no effective ratio; a port that opens twice a cycle gives both openings and the
// overlap of the true open intervals; a side port beyond the bore is noted, a peripheral one wider
// than the chamber refused; and a target ratio's recess is in every figure of the engine. Each
// is checked against the open areas or the volume curve computed here on their own.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "chamber_cycle.h"
#include "command_line.h"
#include "port_timing.h"
#include "real_engine.h"
#include "tool_run.h"

namespace rotary {
namespace {

namespace fs = std::filesystem;

// A folder of port outlines made afresh for each test.
class PortFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("rotary-events-" + std::to_string(getpid()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  // A rectangle's outline as a CSV of points.
  std::string rectangle(const std::string& name, double left, double right, double bottom,
                        double top) const {
    const fs::path path = folder_ / name;
    std::ofstream(path) << "x,y\n"
                        << left << ',' << bottom << '\n'
                        << right << ',' << bottom << '\n'
                        << right << ',' << top << '\n'
                        << left << ',' << top << '\n';
    return path.string();
  }

  fs::path folder_;
};

// The open stretches of a port's area sampled every hundredth of a degree: their lengths.
std::vector<double> openStretches(const std::vector<double>& areas, double step) {
  std::vector<double> stretches;
  const std::size_t n = areas.size();
  std::size_t start = 0;
  while (start < n && areas[start] > 0) ++start;  // a closed sample to begin from
  double length = 0;
  for (std::size_t k = 1; k <= n; ++k) {
    const bool open = areas[(start + k) % n] > 0;
    if (open) length += step;
    if (!open && length > 0) stretches.push_back(length), length = 0;
  }
  return stretches;
}

std::vector<double> everyHundredth() {
  std::vector<double> angles;
  for (int n = 0; n < 108000; ++n) angles.push_back(n / 100.0);
  return angles;
}

TEST_F(PortFiles, APortInTheRotorsPathNeverOpensAndGivesNoRatio) {
  const std::string inside = rectangle("centre.csv", -1, 1, -1, 1);
  // Drawn a thousand times too small: a port in metres read as millimetres, near the crank axis.
  const std::string tiny = rectangle("tiny.csv", -0.075, -0.045, 0.058, 0.082);
  for (const std::string& port : {inside, tiny}) {
    const ToolRun text = run({"--intake-port", port});
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_NE(text.out.find(": never opens: the rotor covers it the whole cycle\n"),
              std::string::npos)
        << text.out;
    EXPECT_EQ(text.out.find("opens 0"), std::string::npos) << text.out;
    EXPECT_EQ(text.out.find("effective compression ratio"), std::string::npos) << text.out;
    const ToolRun json = run({"--intake-port", port, "--format", "json"});
    const auto row = nlohmann::json::parse(json.out).at(0);
    EXPECT_EQ(row.at("ports")[0].at("openings"), 0);
    EXPECT_TRUE(row.at("ports")[0].at("opens_deg").is_null());
    EXPECT_TRUE(row.at("ports")[0].at("each_opening").empty());
    EXPECT_TRUE(row.at("effective_compression_ratio").is_null());
    EXPECT_NE(row.at("note").get<std::string>().find("never opens"), std::string::npos);
  }
}

// Near the waist the chamber passes over the port twice a cycle: 310.1 degrees open in all, not
// one opening of 365.7; with the peripheral exhaust, 175.9 degrees of overlap, not 231.5.
TEST_F(PortFiles, APortThatOpensTwiceGivesBothOpeningsAndTheTrueOverlap) {
  const std::string waist = rectangle("waist.csv", -2, 2, 86, 89.5);
  const ToolRun json =
      run({"--intake-port", waist, "--peripheral-exhaust", "42.5,54.4,30", "--format", "json"});
  ASSERT_EQ(json.status, 0) << json.err;
  const auto row = nlohmann::json::parse(json.out).at(0);
  const auto& port = row.at("ports")[0];
  ASSERT_EQ(port.at("openings"), 2);
  const auto& each = port.at("each_opening");
  ASSERT_EQ(each.size(), 2u);
  const double open = each[0].at("open_deg").get<double>() + each[1].at("open_deg").get<double>();
  EXPECT_NEAR(open, 310.1, 0.05);

  // Against the open areas sampled on their own.
  const std::vector<double> angles = everyHundredth();
  const PortDefinition side = PortDefinition::sidePort(
      PortRole::kIntake, {{-2, 86}, {2, 86}, {2, 89.5}, {-2, 89.5}, {-2, 86}}, "");
  const PortDefinition exhaust =
      PortDefinition::peripheralPort(PortRole::kExhaust, {42.5, 54.4, 30}, "");
  const auto areas = openAreas(15, 105, RealEngine{}, {side, exhaust}, angles);
  const std::vector<double> stretches = openStretches(areas[0], 0.01);
  ASSERT_EQ(stretches.size(), 2u);
  for (std::size_t k = 0; k < 2; ++k) {
    EXPECT_NEAR(each[k].at("open_deg").get<double>(), stretches[k], 0.02) << k;
    // Closed just before each opening and just after each closing, open just inside.
    const double opens = each[k].at("opens_deg").get<double>();
    const double closes = each[k].at("closes_deg").get<double>();
    const auto area = [&](double angle) {
      return openAreas(15, 105, RealEngine{}, {side}, {std::fmod(angle + 1080, 1080)})[0][0];
    };
    EXPECT_EQ(area(opens - 1e-3), 0) << k;
    EXPECT_GT(area(opens + 1e-2), 0) << k;
    EXPECT_GT(area(closes - 1e-2), 0) << k;
    EXPECT_EQ(area(closes + 1e-3), 0) << k;
  }
  double shared = 0;
  for (std::size_t n = 0; n < angles.size(); ++n) {
    if (areas[0][n] > 0 && areas[1][n] > 0) shared += 0.01;
  }
  EXPECT_NEAR(row.at("overlap_deg").get<double>(), shared, 0.05);
  EXPECT_NEAR(shared, 175.9, 0.05);
  // The text gives each opening, the note column says it.
  const ToolRun text = run({"--intake-port", waist});
  EXPECT_NE(text.out.find("opens 2 times a cycle: opens "), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("; then opens "), std::string::npos) << text.out;
  EXPECT_NE(row.at("note").get<std::string>().find("opens 2 times a cycle"), std::string::npos);
}

TEST_F(PortFiles, ASidePortBeyondTheBoreIsNotedAndAPeripheralOneWiderThanTheChamberRefused) {
  // The bore's minor semi-axis is R - e = 90 at the defaults: this port reaches 10 past it.
  const std::string beyond = rectangle("beyond.csv", -10, 10, 80, 100);
  const ToolRun text = run({"--intake-port", beyond});
  ASSERT_EQ(text.status, 0) << text.err;
  EXPECT_NE(text.out.find("it reaches beyond the bore, and only the part inside it opens"),
            std::string::npos)
      << text.out;
  const std::string inside = rectangle("inside.csv", -10, 10, 70, 85);
  EXPECT_EQ(run({"--intake-port", inside}).out.find("beyond the bore"), std::string::npos);

  const ToolRun wide = run({"--peripheral-exhaust", "42.5,54.4,90"});
  EXPECT_EQ(wide.status, 2);
  EXPECT_NE(wide.err.find("\"42.5,54.4,90\" is 90 wide, wider than the chamber (80)"),
            std::string::npos)
      << wide.err;
  // As wide as the chamber is a port; in a study, the narrowest chamber decides.
  EXPECT_EQ(run({"--peripheral-exhaust", "42.5,54.4,80"}).status, 0);
  EXPECT_EQ(run({"--peripheral-exhaust", "42.5,54.4,70", "--chamber-width", "60:80:10"}).status, 2);
}

TEST_F(PortFiles, AStudyRowSaysAPortLiesOutsideItsBore) {
  // Outside the bore of the smaller engines, inside that of the larger.
  const std::string far = rectangle("far.csv", 95, 105, -5, 5);
  const ToolRun study =
      run({"--intake-port", far, "--rotor-radius", "80:120:40", "--format", "json"});
  ASSERT_EQ(study.status, 0) << study.err;
  const auto rows = nlohmann::json::parse(study.out);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_NE(rows[0].at("note").get<std::string>().find(
                "port 1 (intake side " + far + ") lies wholly outside the bore, and never opens"),
            std::string::npos)
      << rows[0].at("note");
  EXPECT_EQ(rows[0].at("ports")[0].at("openings"), 0);
  EXPECT_EQ(rows[1].at("ports")[0].at("openings"), 1);
}

// The recess that brings the ratio to 10 stands in the dead volume of every figure: the ratio
// reads 10, and an intake closing at 60 ABDC gives V(870) + V / (V(0) + V), 8.95, not the 16.26 of
// the engine without it.
TEST(CompanionTarget, TheTargetsEngineGivesEveryFigure) {
  const PeripheralPort intake{150, 165, 30};
  const std::vector<PortDefinition> ports = {
      PortDefinition::peripheralPort(PortRole::kIntake, intake, "")};
  const EngineTiming bare = engineTiming(15, 105, 80, RealEngine{2, 0.1, 0}, 1000, ports);
  const RealLimit limit = realLimit(15, 105, 80, RealEngine{2, 0.1, 0});
  const double recess = *recessForRatio(limit.withoutRecess, 10);
  const double closes = bare.ports[0].openings.at(0).closes;
  const ChamberCycle withoutRecess(15, 105, 80, RealEngine{2, 0.1, 0}, 1000);
  const double expected =
      (withoutRecess.volume(closes) + recess) / (withoutRecess.volume(0) + recess);

  const ToolRun json =
      run({"--seal-offset", "2", "--clearance", "0.1", "--target-ratio", "10",
           "--peripheral-intake", "150,165,30", "--rpm", "7000", "--format", "json"});
  ASSERT_EQ(json.status, 0) << json.err;
  const auto row = nlohmann::json::parse(json.out).at(0);
  EXPECT_NEAR(row.at("real_compression_ratio").get<double>(), 10, 1e-8);
  EXPECT_NEAR(row.at("recess").get<double>(), recess, 1e-9 * recess);
  EXPECT_NEAR(row.at("effective_compression_ratio").get<double>(), expected, 1e-8 * expected);
  EXPECT_LT(row.at("effective_compression_ratio").get<double>(),
            *bare.effectiveCompressionRatio * 0.7);
  // The ideal cycle's efficiency at the ratio of 10, and the S/V of a dead volume that holds the
  // recess (its walls left out, and said so).
  EXPECT_NEAR(row.at("otto_efficiency").get<double>(), 1 - std::pow(10, -0.4), 1e-8);
  EXPECT_NE(row.at("note").get<std::string>().find("leaves out the walls of the recess"),
            std::string::npos);

  // The volume curve is the target's engine's too: its least volume is the dead volume.
  const fs::path curve =
      fs::temp_directory_path() / ("rotary-target-" + std::to_string(getpid()) + ".csv");
  fs::remove(curve);
  ASSERT_EQ(run({"--seal-offset", "2", "--clearance", "0.1", "--target-ratio", "10",
                 "--volume-curve", curve.string()})
                .status,
            0);
  std::ifstream in(curve);
  double least = INFINITY;
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#' || line[0] == 's') continue;
    least = std::min(least, std::stod(line.substr(line.find(',', line.find(',') + 1) + 1)));
  }
  fs::remove(curve);
  EXPECT_NEAR(least, row.at("real_dead_volume").get<double>(), 1e-6);
}

// The volume curve's seal columns by their names: the tip's sliding speed with its offset, ω (R/3
// - e + A/3) to ω (R/3 + e + A/3), always forward; the inertia, which turns negative where R/9 < e.
TEST(CompanionCurve, NamesTheSealsSlidingSpeedAndInertiaColumns) {
  const fs::path curve =
      fs::temp_directory_path() / ("rotary-seal-" + std::to_string(getpid()) + ".csv");
  fs::remove(curve);
  ASSERT_EQ(run({"--seal-offset", "2", "--rpm", "9000", "--volume-curve", curve.string()}).status,
            0);
  std::ifstream in(curve);
  std::vector<std::string> names;
  double leastSpeed = INFINITY, largestSpeed = -INFINITY, leastInertia = INFINITY;
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> cells;
    std::istringstream row(line);
    for (std::string cell; std::getline(row, cell, ',');) cells.push_back(cell);
    if (names.empty()) {
      names = cells;
      continue;
    }
    const auto at = [&](const std::string& name) {
      const auto found = std::find(names.begin(), names.end(), name);
      return std::stod(cells.at(static_cast<std::size_t>(found - names.begin())));
    };
    leastSpeed = std::min(leastSpeed, at("seal_speed"));
    largestSpeed = std::max(largestSpeed, at("seal_speed"));
    leastInertia = std::min(leastInertia, at("seal_inertia_per_gram"));
  }
  fs::remove(curve);
  const double omega = 9000 * 2 * M_PI / 60;
  EXPECT_NEAR(leastSpeed, omega * (35 - 15 + 2.0 / 3) / 1000, 1e-3);
  EXPECT_NEAR(largestSpeed, omega * (35 + 15 + 2.0 / 3) / 1000, 1e-3);
  EXPECT_NEAR(leastInertia, omega * omega * (105.0 / 9 - 15) / 1e6, 1e-3 * omega * omega / 1e6);
}

}  // namespace
}  // namespace rotary
