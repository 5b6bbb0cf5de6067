// The recess's pocket in a design: its depth for the recess or the target, the chamber's surface
// it gives, the same engine in another unit, and the pockets that cannot be cut.
#include <gtest/gtest.h>

#include "design_outcome.h"
#include "number_text.h"
#include "runner.h"

namespace rotary::study {
namespace {

Design pocketed(const char* pocket, const char* recess, const char* target = "") {
  Design d;
  d.eccentricity = "15", d.rotorRadius = "105", d.chamberWidth = "80";
  d.steps = 0;
  d.real = true;
  d.sealOffset = "2", d.clearance = "0.1";
  if (*recess) d.recess = recess;
  if (*target) d.targetRatio = target;
  std::string texts[3];
  int n = 0;
  for (const char* c = pocket; *c; ++c) {
    if (*c == ',') {
      ++n;
    } else {
      texts[n] += *c;
    }
  }
  d.pocketLength = texts[0], d.pocketWidth = texts[1], d.pocketLead = texts[2];
  return d;
}

// The pocket's walls stand in the chamber's surface as a recess area typed from CAD would.
TEST(RecessPocket, CountsItsWallsInTheSurfaceAsATypedAreaWould) {
  const EngineRow withPocket = evaluate(pocketed("60,30,5", "20"));
  ASSERT_TRUE(withPocket.pocket) << withPocket.message;
  EXPECT_GT(withPocket.pocket->wallArea, 0);
  const auto depth = pocketDepthFor(15, 105, withPocket.input.realEngine(), {60, 30, 5}, 20000);
  ASSERT_TRUE(depth);
  EXPECT_DOUBLE_EQ(withPocket.pocket->depth, *depth);
  Design typed = pocketed("", "20");
  typed.pocketLength = typed.pocketWidth = typed.pocketLead = "";
  typed.recessArea = formatNumber(withPocket.pocket->wallArea);
  typed.recessArea.number = withPocket.pocket->wallArea;
  const EngineRow withArea = evaluate(typed);
  ASSERT_TRUE(withArea.chamber && withPocket.chamber);
  EXPECT_DOUBLE_EQ(withPocket.chamber->surfaceToVolumeAtTdc,
                   withArea.chamber->surfaceToVolumeAtTdc);
  EXPECT_FALSE(withPocket.chamber->recessWallsLeftOut);
}

// The target's recess in the pocket keeps the target, and the same engine in centimetres has
// the same pocket a tenth as deep.
TEST(RecessPocket, HoldsTheTargetsRecessInAnyUnit) {
  const EngineRow mm = evaluate(pocketed("60,30,5", "", "9.4"));
  ASSERT_TRUE(mm.pocket && mm.real) << mm.message;
  EXPECT_NEAR(mm.real->figures.ratio, 9.4, 1e-12);
  Design cm = pocketed("6,3,0.5", "", "9.4");
  cm.eccentricity = "1.5", cm.rotorRadius = "10.5", cm.chamberWidth = "8";
  cm.sealOffset = "0.2", cm.clearance = "0.01", cm.unit = "cm";
  const EngineRow inCm = evaluate(cm);
  ASSERT_TRUE(inCm.pocket) << inCm.message;
  EXPECT_NEAR(inCm.pocket->depth, mm.pocket->depth / 10, 1e-9 * mm.pocket->depth);
  EXPECT_NEAR(inCm.pocket->wallArea, mm.pocket->wallArea / 100, 1e-9 * mm.pocket->wallArea);
  EXPECT_NEAR(inCm.chamber->surfaceToVolumeAtTdc, mm.chamber->surfaceToVolumeAtTdc * 10,
              1e-9 * mm.chamber->surfaceToVolumeAtTdc * 10);
}

struct Refused {
  const char* name;
  Design design;
  Field field;
  const char* words;
};

void PrintTo(const Refused& c, std::ostream* out) {
  *out << c.name;
}

class PocketRefused : public ::testing::TestWithParam<Refused> {};

// Each is refused by name before or after the engine is computed, with no figures left.
TEST_P(PocketRefused, SaysWhyAndGivesNoFigures) {
  const Refused& c = GetParam();
  const DesignOutcome outcome = designOutcome(c.design, Face::kCompanion);
  EXPECT_EQ(outcome.refused, c.field) << outcome.message;
  EXPECT_NE(outcome.message.find(c.words), std::string::npos) << outcome.message;
  const EngineRow row = evaluate(c.design);
  if (row.refusedBy) {
    EXPECT_FALSE(row.real);
    EXPECT_FALSE(row.figures);
    EXPECT_EQ(row.message, outcome.message);
  }
}

Design withSlot(Design d, const char* width) {
  d.apexSlotWidth = width, d.apexSlotDepth = "10";
  return d;
}

Design withRecessArea(Design d) {
  d.recessArea = "500";
  return d;
}

INSTANTIATE_TEST_SUITE_P(
    Table, PocketRefused,
    ::testing::Values(Refused{"WiderThanTheRotor", pocketed("60,80,0", "20"), Field::kRecessPocket,
                              "is wider than the rotor, 79.8"},
                      Refused{"LongerThanTheFlank", pocketed("200,30,0", "20"),
                              Field::kRecessPocket, "runs past the flank"},
                      Refused{"PastTheSlots", withSlot(pocketed("186,30,0", "20"), "8"),
                              Field::kRecessPocket, "between the apex slots"},
                      Refused{"LeaningOffTheFlank", pocketed("60,30,70", "20"),
                              Field::kRecessPocket, "runs past the flank"},
                      Refused{"IntoTheBore", pocketed("20,20,0", "15"), Field::kRecessPocket,
                              "deeper than the rotor at its bore"},
                      Refused{"HoldsTooLittle", pocketed("10,10,0", "60"), Field::kRecessPocket,
                              "holds at most"},
                      Refused{"NoDepthToHold", pocketed("60,30,0", ""), Field::kRecessPocket,
                              "goes with --recess or --target-ratio"},
                      Refused{"NoLength", pocketed("0,30,0", "20"), Field::kRecessPocket,
                              "is not LENGTH,WIDTH,LEAD"},
                      Refused{"WallsTwice", withRecessArea(pocketed("60,30,0", "20")),
                              Field::kRecessArea, "counted from its shape"}),
    [](const auto& info) { return std::string(info.param.name); });

// The same pocket, short of the slots, is taken.
TEST(RecessPocket, FitsBetweenSlotsNarrowerThanItsRoom) {
  const EngineRow row = evaluate(withSlot(pocketed("150,30,0", "20"), "2"));
  EXPECT_TRUE(row.pocket) << row.message;
  EXPECT_FALSE(row.refusedBy);
}

}  // namespace
}  // namespace rotary::study
