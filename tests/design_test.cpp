// The design's rules, once for every face: each value refused by name in the words of the face it
// came by (the companion's option with what was typed quoted, the window's field, Python's
// argument with the number it passed), the first rule broken first, and the ports judged with
// the engine they are cut in.
#include "design.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace rotary::study {
namespace {

Design defaults() {
  Design d;
  d.eccentricity = "15";
  d.rotorRadius = "105";
  d.chamberWidth = "80";
  return d;
}

Design withPort(Design d, PortDefinition port) {
  d.ports = std::make_shared<const std::vector<PortDefinition>>(1, port);
  return d;
}

struct RuleCase {
  const char* name;
  std::function<Design()> design;
  Field field;
  const char *companion, *window, *python;  // the whole message on each face
};

void PrintTo(const RuleCase& c, std::ostream* os) {
  *os << c.name;
}

class DesignRule : public ::testing::TestWithParam<RuleCase> {};

TEST_P(DesignRule, RefusesInEachFacesWords) {
  const RuleCase& c = GetParam();
  const Design design = c.design();
  for (const auto& [face, words] :
       {std::pair{Face::kCompanion, c.companion}, std::pair{Face::kWindow, c.window},
        std::pair{Face::kPython, c.python}}) {
    const auto refusal = refusalOf(design, face);
    ASSERT_TRUE(refusal) << static_cast<int>(face);
    EXPECT_EQ(refusal->field, c.field);
    EXPECT_EQ(refusal->message, words);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, DesignRule,
    ::testing::Values(
        RuleCase{"Rotors",
                 [] {
                   Design d = defaults();
                   d.rotors = "0";
                   return d;
                 },
                 Field::kRotors, "--rotors: \"0\" is not a whole number from 1 to 100",
                 "rotors: \"0\" is not a whole number from 1 to 100",
                 "rotors: 0 is not a whole number from 1 to 100"},
        RuleCase{"RotorsNotWhole",
                 [] {
                   Design d = defaults();
                   d.rotors = "2.5";
                   return d;
                 },
                 Field::kRotors, "--rotors: \"2.5\" is not a whole number from 1 to 100",
                 "rotors: \"2.5\" is not a whole number from 1 to 100",
                 "rotors: 2.5 is not a whole number from 1 to 100"},
        RuleCase{"ShaftSpeed",
                 [] {
                   Design d = defaults();
                   d.rpm = "-5";
                   return d;
                 },
                 Field::kRpm, "--rpm: \"-5\" is not a shaft speed above 0, up to 1000000 rpm",
                 "shaft speed: \"-5\" is not a shaft speed above 0, up to 1000000 rpm",
                 "rpm: -5 is not a shaft speed above 0, up to 1000000 rpm"},
        RuleCase{"Gamma",
                 [] {
                   Design d = defaults();
                   d.gamma = "1";
                   return d;
                 },
                 Field::kGamma, "--gamma: \"1\" is not a ratio of specific heats above 1, up to 10",
                 "gamma: \"1\" is not a ratio of specific heats above 1, up to 10",
                 "gamma: 1 is not a ratio of specific heats above 1, up to 10"},
        RuleCase{"RecessAreaWithoutARecess",
                 [] {
                   Design d = defaults();
                   d.real = true;
                   d.sealOffset = "2";
                   d.recessArea = "100";
                   return d;
                 },
                 Field::kRecessArea, "--recess-area goes with --recess",
                 "recess area goes with recess", "recess_area goes with recess"},
        RuleCase{"Unit",
                 [] {
                   Design d = defaults();
                   d.unit = "ft";
                   return d;
                 },
                 Field::kUnit, "--units: \"ft\" is not mm, cm, m or in",
                 "unit: \"ft\" is not mm, cm, m or in", "units: ft is not mm, cm, m or in"},
        RuleCase{"TargetRatio",
                 [] {
                   Design d = defaults();
                   d.real = true;
                   d.targetRatio = "1";
                   return d;
                 },
                 Field::kTargetRatio, "--target-ratio: \"1\" is not a ratio above 1",
                 "target ratio: \"1\" is not a ratio above 1",
                 "target ratio: 1 is not a ratio above 1"},
        RuleCase{"GearModuleOfNoWholeTeeth",
                 [] {
                   Design d = defaults();
                   d.gearModule = "2.6";
                   return d;
                 },
                 Field::kGearModule,
                 "--gear-module: \"2.6\" gives eccentricity 15 gears of 34.6153846154 and "
                 "23.0769230769 teeth (6e/m and 4e/m), not whole numbers of at least one",
                 "gear module: \"2.6\" gives eccentricity 15 gears of 34.6153846154 and "
                 "23.0769230769 teeth (6e/m and 4e/m), not whole numbers of at least one",
                 "gear module: 2.6 gives eccentricity 15 gears of 34.6153846154 and "
                 "23.0769230769 teeth (6e/m and 4e/m), not whole numbers of at least one"},
        RuleCase{"SealOffsetNegative",
                 [] {
                   Design d = defaults();
                   d.real = true;
                   d.sealOffset = "-2";
                   return d;
                 },
                 Field::kSealOffset,
                 "--seal-offset: \"-2\" is negative; a length cannot be negative.",
                 "seal offset: \"-2\" is negative; a length cannot be negative.",
                 "seal offset: \"-2\" is negative; a length cannot be negative."},
        RuleCase{"PeripheralPortWiderThanTheChamber",
                 [] {
                   return withPort(defaults(),
                                   PortDefinition::peripheralPort(
                                       PortRole::kExhaust, {42.5, 54.4, 90}, "42.5,54.4,90"));
                 },
                 Field::kPeripheralExhaust,
                 "--peripheral-exhaust: \"42.5,54.4,90\" is 90 wide, wider than the chamber (80): "
                 "a window in the bore cannot reach past the side housings",
                 "peripheral exhaust: \"42.5,54.4,90\" is 90 wide, wider than the chamber (80): a "
                 "window in the bore cannot reach past the side housings",
                 "peripheral_exhaust: 42.5,54.4,90 is 90 wide, wider than the chamber (80): a "
                 "window in the bore cannot reach past the side housings"},
        RuleCase{"SideClearanceLeavingNoRotor",
                 [] {
                   Design d = defaults();
                   d.solids = true;
                   d.sideClearance = "40";
                   return d;
                 },
                 Field::kSideClearance,
                 "--side-clearance: \"40\" on each face leaves the rotor no width in a chamber 80 "
                 "wide",
                 "side clearance: \"40\" on each face leaves the rotor no width in a chamber 80 "
                 "wide",
                 "side_clearance: 40 on each face leaves the rotor no width in a chamber 80 wide"},
        RuleCase{
            "DefaultRotorBoreReachingTheFlank",
            [] {
              Design d = defaults();
              d.solids = true;
              d.eccentricity = "30";
              d.rotorRadius = "95";
              return d;
            },
            Field::kRotorBore,
            "--rotor-bore: the default 97.5 reaches the rotor's flank, 35 from its centre (0 "
            "for no bore)",
            "rotor bore: the default 97.5 reaches the rotor's flank, 35 from its centre (0 for "
            "no bore)",
            "rotor_bore: the default 97.5 reaches the rotor's flank, 35 from its centre (0 for "
            "no bore)"},
        RuleCase{"SidePortOutsideTheBore",
                 [] {
                   return withPort(
                       defaults(),
                       PortDefinition::sidePort(
                           PortRole::kIntake,
                           {{-10, 150}, {10, 150}, {10, 170}, {-10, 170}, {-10, 150}}, "far.csv"));
                 },
                 Field::kIntakePort,
                 "--intake-port: \"far.csv\" lies wholly outside the bore of this engine: it can "
                 "never open",
                 "intake port: \"far.csv\" lies wholly outside the bore of this engine: it can "
                 "never open",
                 "intake: far.csv lies wholly outside the bore of this engine: it can never open"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DesignRules, NameEveryValueOnEveryFace) {
  for (int n = 0; n <= static_cast<int>(Field::kTolerance); ++n) {
    const auto field = static_cast<Field>(n);
    EXPECT_EQ(ruleOf(field).field, field) << n;
    for (const Face face : {Face::kWindow, Face::kCompanion, Face::kPython}) {
      EXPECT_FALSE(nameOn(field, face).empty()) << n;
    }
    EXPECT_EQ(nameOn(field, Face::kCompanion).substr(0, 2), "--") << n;
  }
}

TEST(DesignRules, TakeTheFirstRuleBrokenAndPassAGoodDesign) {
  Design d = defaults();
  EXPECT_FALSE(refusalOf(d, Face::kCompanion));
  d.gamma = "0.5";
  d.rpm = "0";
  d.rotors = "200";
  // The rotors, then the shaft speed, then gamma: the order of the options' help.
  EXPECT_EQ(refusalOf(d, Face::kWindow)->field, Field::kRotors);
  d.rotors = "2";
  EXPECT_EQ(refusalOf(d, Face::kWindow)->field, Field::kRpm);
  d.rpm = "7000";
  EXPECT_EQ(refusalOf(d, Face::kWindow)->field, Field::kGamma);
  d.gamma = "1.3";
  EXPECT_FALSE(refusalOf(d, Face::kWindow));
  // A length that is no number comes before anything else.
  d.chamberWidth = "80,5";
  const auto refusal = refusalOf(d, Face::kCompanion);
  ASSERT_TRUE(refusal);
  EXPECT_EQ(refusal->field, Field::kChamberWidth);
  EXPECT_EQ(refusal->message,
            "--chamber-width: \"80,5\" is not a number; use a point as the decimal separator: "
            "\"80.5\".");
}

TEST(DesignRules, LeaveAStudysRowToNoteASidePortOutsideItsBore) {
  const Design d = withPort(
      defaults(), PortDefinition::sidePort(
                      PortRole::kIntake, {{-10, 150}, {10, 150}, {10, 170}, {-10, 170}, {-10, 150}},
                      "far.csv"));
  EXPECT_TRUE(refusalOf(d, Face::kCompanion, Scope::kEngine));
  EXPECT_FALSE(refusalOf(d, Face::kCompanion, Scope::kStudyRow));
  // What every engine shares is judged alone, with no lengths: the rotors, but not the teeth.
  Design shared;
  shared.gearModule = "2.6";
  EXPECT_FALSE(sharedRefusal(shared, Face::kPython));
  shared.gearModule = "0";
  EXPECT_EQ(sharedRefusal(shared, Face::kPython)->message,
            "gear module: 0 is not a length above 0");
}

TEST(DesignRules, JudgeTheWindowsValuesBeforeItsFirstEngine) {
  // The window's panel with no engine read yet: its own values are judged, its lengths are not.
  Design d;
  EXPECT_FALSE(refusalOf(d, Face::kWindow));
  d.real = true;
  d.sealOffset = "2x";
  EXPECT_EQ(refusalOf(d, Face::kWindow)->message, "seal offset: \"2x\" is not a number.");
  // The companion gives no empty length: one is refused as no number.
  Design empty = defaults();
  empty.eccentricity = "";
  EXPECT_EQ(refusalOf(empty, Face::kCompanion)->field, Field::kEccentricity);
}

TEST(Design, GivesItsUnitsVolumesAndSpeeds) {
  const struct {
    const char* unit;
    double divisor, metres;
  } units[] = {
      {"", 1000, 0.001}, {"mm", 1000, 0.001}, {"cm", 1, 0.01}, {"m", 1, 1}, {"in", 1, 0.0254}};
  for (const auto& u : units) {
    Design d = defaults();
    d.unit = u.unit;
    d.rpm = "7000";
    EXPECT_EQ(d.volumeDivisor(), u.divisor) << u.unit;
    EXPECT_EQ(d.chamberSettings().metresPerUnit, u.metres) << u.unit;
    EXPECT_EQ(d.chamberSettings().rpm, 7000) << u.unit;
  }
  Design d = defaults();
  EXPECT_EQ(d.chamberSettings().gamma, 1.4);
  EXPECT_FALSE(d.chamberSettings().rpm);
  EXPECT_EQ(d.recessShown().text, "0");
}

}  // namespace
}  // namespace rotary::study
