// Volumes in the unit they name: the same engine typed in millimetres, centimetres, metres and
// inches holds the same physical chamber once each printed figure is converted by the unit its
// own output names. A label off by a factor (mm^3 for area x width / 1000 in centimetres, say)
// fails here however right the numbers of one unit are.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <sstream>

#include "command_line.h"
#include "number_text.h"

namespace rotary {
namespace {

struct UnitCase {
  const char* unit;
  double millimetres;       // one unit of length, in millimetres
  double cubicCentimetres;  // one unit of volume, as the unit's figures should come in
};
void PrintTo(const UnitCase& c, std::ostream* os) {
  *os << c.unit;
}

// Cubic centimetres in one of each volume unit a label may name, old ones too.
double cubicCentimetresIn(const std::string& volumeUnit) {
  static const std::map<std::string, double> kFactors = {
      {"cm^3", 1}, {"mm^3", 1e-3},      {"m^3", 1e6},
      {"l", 1e3},  {"in^3", 16.387064}, {"in^3/1000", 16.387064e-3}};
  const auto found = kFactors.find(volumeUnit);
  return found == kFactors.end() ? std::nan("") : found->second;
}

std::string run(const std::vector<std::string>& args, int& status) {
  std::ostringstream out, err;
  status = runCommandLine(args, out, err);
  return out.str() + err.str();
}

class VolumeUnit : public ::testing::TestWithParam<UnitCase> {
 protected:
  // The defaults, 15, 105 and 80 mm, in this unit to the last digit a double carries.
  std::vector<std::string> engine() const {
    const double unit = GetParam().millimetres;
    return {"--units",         GetParam().unit,
            "--eccentricity",  significantDigits(15 / unit, 17),
            "--rotor-radius",  significantDigits(105 / unit, 17),
            "--chamber-width", significantDigits(80 / unit, 17)};
  }
};

// The defaults' chamber capacity, 654.715205 cm^3, the shape's exact figure.
constexpr double kCapacityCm3 = 654.715205;

TEST_P(VolumeUnit, TheVolumeCurveHoldsTheSameChamberInEveryUnit) {
  std::vector<std::string> args = engine();
  args.insert(args.end(), {"--volume-curve", "-"});
  int status = 0;
  const std::string curve = run(args, status);
  ASSERT_EQ(status, kExitOk) << curve;
  std::smatch named;
  ASSERT_TRUE(
      std::regex_search(curve, named, std::regex("^# unit of length: (\\S+), of volume: (\\S+)\n")))
      << curve.substr(0, 200);
  EXPECT_EQ(named[1], GetParam().unit);
  const double factor = cubicCentimetresIn(named[2]);
  // Seventeen digits of the volume at top (0 degrees) and bottom dead centre (270).
  const auto volumeAt = [&](const std::string& angle) {
    std::smatch row;
    EXPECT_TRUE(std::regex_search(curve, row, std::regex("\n" + angle + ",[^,]*,([^,]*),")));
    return std::stod(row[1]);
  };
  const double capacity = (volumeAt("270") - volumeAt("0")) * factor;
  EXPECT_NEAR(capacity / kCapacityCm3, 1, 1e-9) << capacity << " cm^3 from " << named[2];
}

TEST_P(VolumeUnit, TheTablesFiguresConvertToTheSameChamber) {
  std::vector<std::string> args = engine();
  args.insert(args.end(),
              {"--method", "exact", "--format", "json", "--rotors", "2", "--seal-offset", "0",
               "--recess", significantDigits(3 / GetParam().cubicCentimetres, 17)});
  int status = 0;
  const std::string json = run(args, status);
  ASSERT_EQ(status, kExitOk) << json;
  std::smatch unit;
  ASSERT_TRUE(std::regex_search(json, unit, std::regex("\"volume_unit\":\"([^\"]*)\"")));
  const double factor = cubicCentimetresIn(unit[1]);
  const auto figure = [&](const std::string& key) {
    std::smatch found;
    EXPECT_TRUE(std::regex_search(json, found, std::regex("\"" + key + "\":([-0-9.eE+]+)"))) << key;
    return std::stod(found[1]);
  };
  // Nine digits in the columns.
  EXPECT_NEAR(figure("exact_chamber_capacity") * factor / kCapacityCm3, 1, 1e-8);
  EXPECT_NEAR(figure("displacement") * factor / (2 * kCapacityCm3), 1, 1e-8);
  // A recess of 3 cm^3, typed in the unit of the volumes (cm^3 for millimetres, that unit cubed
  // for the others), is 3 cm^3 of the dead volume.
  EXPECT_NEAR((figure("real_dead_volume") - figure("exact_dead_volume")) * factor, 3, 1e-6);
  EXPECT_NEAR(figure("real_compression_ratio"), (654.715205 + 37.8761046 + 3) / (37.8761046 + 3),
              1e-6);
}

// The sweep's figures are in the unit's volume too, cut as the window cuts them: the defaults in
// centimetres hold the same 652.4 cm^3, in inches 39.8 in^3.
TEST(SweepVolumeUnit, CutsTheFiguresInTheUnitsOwnVolume) {
  int status = 0;
  const std::string cm = run(
      {"--units", "cm", "--eccentricity", "1.5", "--rotor-radius", "10.5", "--chamber-width", "8"},
      status);
  EXPECT_EQ(status, kExitOk);
  EXPECT_NE(cm.find("of volume: cm^3\nchamber capacity: 652.4\ndead volume: 37.33\n"),
            std::string::npos)
      << cm;
  const std::string in = run({"--units", "in", "--eccentricity", "0.590551", "--rotor-radius",
                              "4.13386", "--chamber-width", "3.14961"},
                             status);
  EXPECT_NE(in.find("of volume: in^3\nchamber capacity: 39.8\n"), std::string::npos) << in;
}

// A figure is drawn a millimetre to the unit (rounded where the engine is too small or too large
// to read): in another unit its legend names the unit and the scale that gives on paper. The
// defaults typed in centimetres are ten times the millimetre engine, drawn at 1 : 10.
TEST(FigureUnit, NamesTheScaleOnPaper) {
  const struct {
    std::vector<std::string> args;
    const char* scale;  // none where drawn at true size
  } cases[] = {
      {{}, nullptr},
      {{"--units", "cm"}, "scale 1 : 10"},
      {{"--units", "in"}, "scale 1 : 25.4"},
      {{"--units", "cm", "--seal-offset", "0.2"}, "scale 1 : 10"},
      {{"--units", "cm", "--eccentricity", "1.5", "--rotor-radius", "10.5", "--chamber-width", "8"},
       "scale 1 : 2"}};
  const std::string path = "/tmp/rotary-figure-unit-" + std::to_string(::getpid()) + ".svg";
  for (const auto& c : cases) {
    std::remove(path.c_str());
    std::vector<std::string> args = c.args;
    args.insert(args.end(), {"--figure", path});
    int status = 0;
    const std::string said = run(args, status);
    ASSERT_EQ(status, kExitOk) << said;
    std::ifstream in(path);
    const std::string svg((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (c.scale) {
      EXPECT_NE(svg.find(c.scale), std::string::npos) << c.scale;
      EXPECT_NE(svg.find(" (" + c.args[1] + ")"), std::string::npos) << "the unit unnamed";
    } else {
      EXPECT_EQ(svg.find("scale 1 :"), std::string::npos);
    }
  }
  std::remove(path.c_str());
}

// A study chart's title names each fixed value in its own unit: the lengths in the unit of
// length, the recess, a volume, in the unit of the volumes.
TEST(ChartUnit, NamesTheRecessInTheVolumesUnit) {
  const std::string path = "/tmp/rotary-chart-unit-" + std::to_string(::getpid()) + ".svg";
  for (const auto& [unit, volume] : {std::pair{"cm", "cm^3"}, std::pair{"m", "m^3"}}) {
    std::remove(path.c_str());
    int status = 0;
    const std::string said =
        run({"--units", unit, "--recess", "1", "--seal-offset", "0.2", "--eccentricity", "14:16:1",
             "--method", "exact", "--chart", path},
            status);
    ASSERT_EQ(status, kExitOk) << said;
    std::ifstream in(path);
    const std::string svg((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(svg.find(std::string("A = 0.2 ") + unit + ", C = 0 " + unit + ", V = 1 " + volume),
              std::string::npos)
        << unit;
  }
  std::remove(path.c_str());
}

INSTANTIATE_TEST_SUITE_P(Units, VolumeUnit,
                         ::testing::Values(UnitCase{"mm", 1, 1}, UnitCase{"cm", 10, 1},
                                           UnitCase{"m", 1000, 1e6},
                                           UnitCase{"in", 25.4, 16.387064}));

}  // namespace
}  // namespace rotary
