// The window as a designer's desk: the files it saves are the companion's to the byte, Copy
// Results pastes as one row, the design panel refuses by name, and the menus neither stop the
// cycle nor take Esc from an open menu.
#include "desk.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <cmath>
#include <map>
#include <numbers>

#include "desk_window.h"
#include "housing_frame.h"
#include "message_area.h"
#include "method_browser.h"
#include "port_file.h"
#include "real_outline.h"
#include "side_port.h"
#include "volume_curve.h"

namespace rotary::app {
namespace {

using study::Field;
using testing::companion;
using testing::contentOf;
using testing::csvCells;
using testing::DeskWindow;
using testing::pasted;
using testing::runThen;

struct SavedFileCase {
  const char* name;
  WindowFile file;
  const char* extension;
  const char *A, *C, *X;  // the design panel; all empty for the plain engine
  const char* options;    // the companion's, with the file's option last
  const char* rpm = "";   // the panel's shaft speed, the companion's --rpm
  const char* unit = "";  // the panel's unit of length, the companion's --units
  int rotors = 1;         // the panel's rotors and gear module, --rotors and --gear-module
  const char* module = "";
  const char* port = "";  // the panel's peripheral intake, --peripheral-intake
};

void PrintTo(const SavedFileCase& c, std::ostream* os) {
  *os << c.name;
}

class SavedFile : public ::testing::TestWithParam<SavedFileCase> {};

TEST_P(SavedFile, IsTheCompanionsToTheByte) {
  const SavedFileCase& c = GetParam();
  QTemporaryDir folder;
  const QString path = folder.filePath(QString("window.") + c.extension);
  DeskWindow window;
  bool saved = false;
  window.runWith(
      [&] {
        window.setPanel(c.A, c.C, "", c.X);
        window.desk.panel()->input(Field::kRpm)->setText(c.rpm);
        if (*c.unit) window.desk.panel()->unitBox()->setCurrentText(c.unit);
        window.desk.panel()->rotors()->setValue(c.rotors);
        window.desk.panel()->gearModule()->setText(c.module);
        window.desk.panel()->peripheralPort(PortRole::kIntake)->setText(c.port);
      },
      [&] { saved = window.desk.save(c.file, path); });
  ASSERT_TRUE(saved) << window.complaints.join("\n").toStdString();

  QStringList options = QString(c.options).split(' ', Qt::SkipEmptyParts);
  const bool toStandardOutput = options.last() == "--format";
  if (toStandardOutput) options << c.extension;
  if (*c.A) options << "--seal-offset" << c.A;
  if (*c.C) options << "--clearance" << c.C;
  if (*c.X) options << "--target-ratio" << c.X;
  if (*c.rpm) options << "--rpm" << c.rpm;
  if (*c.unit) options << "--units" << c.unit;
  if (c.rotors != 1) options << "--rotors" << QString::number(c.rotors);
  if (*c.module) options << "--gear-module" << c.module;
  if (*c.port) options << "--peripheral-intake" << c.port;
  // The file's option goes last, so that its path follows it.
  if (!toStandardOutput) options.move(0, options.size() - 1);
  QByteArray expected =
      toStandardOutput ? companion(options)
                       : companion(options, folder.filePath(QString("companion.") + c.extension));
  QByteArray written = contentOf(path);
  ASSERT_FALSE(expected.isEmpty());
  if (c.file == WindowFile::kFigurePdf) {
    // The one thing that may differ: the second at which each was made.
    const QRegularExpression date(R"(/CreationDate \(D:\d+Z\))");
    expected = QString::fromLatin1(expected).replace(date, "").toLatin1();
    written = QString::fromLatin1(written).replace(date, "").toLatin1();
  }
  EXPECT_EQ(written, expected);
  // Where text differs, the lines that do.
  if (written != expected && c.file != WindowFile::kFigurePng &&
      c.file != WindowFile::kCycleChartPng && c.file != WindowFile::kFigurePdf) {
    EXPECT_EQ(written.toStdString(), expected.toStdString());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, SavedFile,
    ::testing::Values(
        SavedFileCase{"FigureSvg", WindowFile::kFigureSvg, "svg", "", "", "", "--figure"},
        SavedFileCase{"FigurePdf", WindowFile::kFigurePdf, "pdf", "", "", "", "--figure"},
        SavedFileCase{"FigurePng", WindowFile::kFigurePng, "png", "", "", "", "--figure"},
        SavedFileCase{"Dxf", WindowFile::kDxf, "dxf", "", "", "", "--dxf"},
        SavedFileCase{"Profiles", WindowFile::kProfiles, "csv", "", "", "", "--profiles"},
        SavedFileCase{"ResultsCsv", WindowFile::kResultsCsv, "csv", "", "", "", "--format"},
        SavedFileCase{"ResultsJson", WindowFile::kResultsJson, "json", "", "", "", "--format"},
        SavedFileCase{"RealFigure", WindowFile::kFigureSvg, "svg", "2", "0.1", "", "--figure"},
        SavedFileCase{"RealDxf", WindowFile::kDxf, "dxf", "2", "0.1", "", "--dxf"},
        SavedFileCase{"RealResults", WindowFile::kResultsCsv, "csv", "2", "0.1", "9.4", "--format"},
        SavedFileCase{"VolumeCurve", WindowFile::kVolumeCurve, "csv", "", "", "", "--volume-curve"},
        SavedFileCase{"RealVolumeCurveAtSpeed", WindowFile::kVolumeCurve, "csv", "2", "0.1", "",
                      "--volume-curve", "7000"},
        SavedFileCase{"CycleChartSvg", WindowFile::kCycleChartSvg, "svg", "", "", "",
                      "--chart --volume-curve /dev/null"},
        SavedFileCase{"RealCycleChartPng", WindowFile::kCycleChartPng, "png", "2", "0.1", "",
                      "--chart --volume-curve /dev/null"},
        SavedFileCase{"RealResultsAtSpeed", WindowFile::kResultsJson, "json", "2", "0.1", "",
                      "--format", "7000"},
        // The panel's unit of length, rotors and gear module, as the companion's options.
        SavedFileCase{"DxfInInches", WindowFile::kDxf, "dxf", "", "", "", "--dxf", "", "in"},
        SavedFileCase{"ProfilesInInches", WindowFile::kProfiles, "csv", "", "", "", "--profiles",
                      "", "in"},
        SavedFileCase{"FigureInCentimetres", WindowFile::kFigureSvg, "svg", "", "", "", "--figure",
                      "", "cm"},
        SavedFileCase{"ResultsInMetresForTwoRotors", WindowFile::kResultsCsv, "csv", "", "", "",
                      "--format", "", "m", 2, "2.5"},
        SavedFileCase{"RealResultsInCentimetresAtSpeed", WindowFile::kResultsJson, "json", "2",
                      "0.1", "9.4", "--format", "7000", "cm", 3, "2.5"},
        SavedFileCase{"RealVolumeCurveInInches", WindowFile::kVolumeCurve, "csv", "2", "0.1", "",
                      "--volume-curve", "7000", "in"},
        SavedFileCase{"CycleChartInMetres", WindowFile::kCycleChartSvg, "svg", "", "", "",
                      "--chart --volume-curve /dev/null", "", "m"},
        // The panel's ports in every save, as the companion's port options.
        SavedFileCase{"ResultsWithAPort", WindowFile::kResultsCsv, "csv", "", "", "", "--format",
                      "", "", 1, "", "150,175,30"},
        SavedFileCase{"RealResultsWithAPortInCentimetres", WindowFile::kResultsJson, "json", "0.2",
                      "0.01", "9.4", "--format", "", "cm", 1, "", "150,175,3"},
        SavedFileCase{"CycleChartWithAPort", WindowFile::kCycleChartSvg, "svg", "", "", "",
                      "--chart --volume-curve /dev/null", "", "", 1, "", "150,175,30"},
        SavedFileCase{"RealCycleChartWithAPort", WindowFile::kCycleChartSvg, "svg", "2", "0.1", "",
                      "--chart --volume-curve /dev/null", "", "", 1, "", "150,175,30"},
        SavedFileCase{"RealFigureWithAPort", WindowFile::kFigureSvg, "svg", "2", "0.1", "",
                      "--figure", "", "", 1, "", "150,175,30"}),
    [](const auto& info) { return std::string(info.param.name); });

// One design in the window and in the companion: lengths typed in centimetres, a peripheral
// intake typed in the panel. The result boxes hold the volumes in cm^3, as --units cm prints them,
// and Copy carries every column the companion's CSV has, ports included, cell for cell.
TEST(Desk, TheWindowsFiguresAndCopyAreTheCompanionsInTheUnitChosenWithItsPorts) {
  DeskWindow window;
  QStringList boxes;
  std::map<QString, QString> copied;
  runThen(
      window,
      [&] {
        window.window.form.text(1)->setText("1.5");
        window.window.form.text(2)->setText("10.5");
        window.window.form.text(3)->setText("8");
        window.window.clickRecalculate();
        // The unit chosen with a restart already asked for: the cycle starts over once, in it.
        window.window.form.menus().designPanel->setChecked(true);
        window.desk.panel()->unitBox()->setCurrentText("cm");
        window.desk.panel()->peripheralPort(PortRole::kIntake)->setText("150,175,3");
      },
      [&] {
        const auto& engine = window.desk.panel()->engine();
        return engine && engine->eccentricity.text == "1.5";
      },
      [&] {
        for (int n = 4; n <= 6; ++n) boxes << window.window.text(n);
        window.window.form.menus().copyResults->trigger();
        copied = pasted(QApplication::clipboard()->text());
      });
  EXPECT_EQ(boxes, QStringList({"652.4", "37.33", "18.47"}));
  const QStringList csv =
      QString::fromUtf8(companion({"--units", "cm", "--eccentricity", "1.5", "--rotor-radius",
                                   "10.5", "--chamber-width", "8", "--peripheral-intake",
                                   "150,175,3", "--format", "csv"}))
          .split('\n', Qt::SkipEmptyParts);
  ASSERT_EQ(csv.size(), 2);
  const QStringList names = csvCells(csv[0]), values = csvCells(csv[1]);
  ASSERT_EQ(names.size(), values.size());
  EXPECT_EQ(copied.size(), static_cast<std::size_t>(names.size() - 1)) << "all but the note";
  for (int n = 0; n < names.size(); ++n) {
    if (names[n] == "note") continue;
    ASSERT_TRUE(copied.count(names[n])) << names[n].toStdString();
    EXPECT_EQ(copied.at(names[n]), values[n]) << names[n].toStdString();
  }
  EXPECT_EQ(copied["port1_kind"], "peripheral");
  EXPECT_EQ(copied["volume_unit"], "cm^3");
}

// A box the window rewrote in its display format ("80.0" as "80") holds the engine it read.
TEST(Desk, AReformattedBoxIsNotStale) {
  DeskWindow window;
  QString shown, stale, staleAfterEdit;
  runThen(
      window,
      [&] {
        window.window.form.text(3)->setText("80.0");
        window.window.form.text(2)->setText("1.05e2");
        window.window.clickRecalculate();
      },
      [&] { return window.window.text(3) == "80"; },
      [&] {
        shown = window.window.text(2);
        stale = window.window.form.messageArea()->stale();
        window.window.form.text(3)->setText("81");
        staleAfterEdit = window.window.form.messageArea()->stale();
      });
  EXPECT_EQ(shown, "105");
  EXPECT_TRUE(stale.isEmpty()) << stale.toStdString();
  EXPECT_FALSE(staleAfterEdit.isEmpty());
}

// A gear module the engine cannot take is refused in red, and the saves and Copy wait for it
// rather than drop it.
TEST(Desk, ARefusedGearModuleKeepsTheSavesAndCopy) {
  DeskWindow window;
  bool saveEnabled = true, copyEnabled = true;
  QString tip;
  window.runWith(
      [&] {
        window.window.form.menus().designPanel->setChecked(true);
        window.desk.panel()->gearModule()->setText("7");  // 90 / 7 teeth: no whole number
      },
      [&] {
        saveEnabled = window.window.form.menus().exportResults->isEnabled();
        copyEnabled = window.window.form.menus().copyResults->isEnabled();
        tip = window.window.form.menus().exportResults->toolTip();
        window.desk.panel()->gearModule()->setText("2.5");
      });
  EXPECT_FALSE(saveEnabled);
  EXPECT_FALSE(copyEnabled);
  EXPECT_TRUE(tip.contains("gear module")) << tip.toStdString();
  EXPECT_TRUE(window.window.form.menus().exportResults->isEnabled());
  EXPECT_TRUE(window.window.form.menus().copyResults->isEnabled());
}

TEST(Desk, CopyResultsPastesAsOneRow) {
  DeskWindow window;
  QString plain, real, byCtrlC, selection;
  window.runWith(
      [&] {
        window.window.form.menus().copyResults->trigger();
        plain = QApplication::clipboard()->text();
        // Ctrl+C in a box without a selection copies the results; with one, the selection.
        QApplication::clipboard()->clear();
        window.window.form.activateWindow();
        window.window.form.text(2)->setFocus();
        QTest::keyClick(window.window.form.text(2), Qt::Key_C, Qt::ControlModifier);
        byCtrlC = QApplication::clipboard()->text();
        window.window.form.text(2)->selectAll();
        QTest::keyClick(window.window.form.text(2), Qt::Key_C, Qt::ControlModifier);
        selection = QApplication::clipboard()->text();
        window.setPanel("2", "0.1", "", "9.4");
        // The rotors and gear module given, in the unit chosen.
        window.desk.panel()->rotors()->setValue(2);
        window.desk.panel()->gearModule()->setText("2.5");
        window.desk.panel()->unitBox()->setCurrentText("cm");
      },
      [&] {
        window.window.form.menus().copyResults->trigger();
        real = QApplication::clipboard()->text();
      });
  const auto cells = pasted(plain);
  EXPECT_EQ(cells.size(), 20u) << plain.toStdString();
  const std::map<QString, QString> expected = {{"eccentricity", "15"},
                                               {"rotor_radius", "105"},
                                               {"chamber_width", "80"},
                                               {"steps", "100"},
                                               {"k", "7"},
                                               {"chamber_capacity", "652.4"},
                                               {"dead_volume", "37.33"},
                                               {"compression_ratio", "18.47"},
                                               {"exact_chamber_capacity", "654.715205"},
                                               {"exact_dead_volume", "37.8761046"},
                                               {"exact_compression_ratio", "18.2857059"},
                                               // The designer's and the chamber's after them.
                                               {"rotors", "1"},
                                               {"displacement", "654.715205"},
                                               {"largest_seal_lean_deg", "25.3769335"},
                                               {"housing_major_axis", "240"},
                                               {"housing_minor_axis", "180"},
                                               {"rotor_gear_radius", "45"},
                                               {"stationary_gear_radius", "30"},
                                               {"surface_to_volume_tdc", "0.836389255"},
                                               {"otto_efficiency", "0.687280252"}};
  EXPECT_EQ(cells, expected);
  EXPECT_EQ(byCtrlC, plain);
  EXPECT_EQ(selection, "105");
  auto realCells = pasted(real);
  EXPECT_EQ(realCells["seal_offset"], "2");
  // Centimetres typed: a thousand times the volumes of the millimetre engine in cm^3.
  EXPECT_EQ(realCells["real_chamber_capacity"], "666888.721");
  // The target's engine throughout: its recess stands in the dead volume.
  EXPECT_EQ(realCells["real_compression_ratio"], "9.4");
  EXPECT_EQ(realCells["target_recess"], "39352.9387");
  EXPECT_EQ(realCells["compression_ratio"], "18.47");
  EXPECT_EQ(realCells["rotors"], "2");
  EXPECT_EQ(realCells["displacement"], "1333777.44");
  EXPECT_EQ(realCells["rotor_gear_teeth"], "36");
  EXPECT_EQ(realCells["length_unit"], "cm");
  EXPECT_EQ(realCells["volume_unit"], "cm^3");
  EXPECT_EQ(realCells["housing_major_axis"], "244");
}

// Without figures the saves wait, and say why; the exact limit alone can still be copied.
TEST(Desk, SavesWaitForFiguresAndSayWhy) {
  DeskWindow window;
  const Menus& menus = window.window.form.menus();
  QTemporaryDir folder;
  const QString path = folder.filePath("rotor.dxf");
  enum { kDefaults, kMissed, kNoNumber } stage = kDefaults;
  QString copied;
  ASSERT_TRUE(window.window.runUntil([&] {
    const auto type = [&](const char* e, const char* R) {
      window.window.form.text(1)->setText(e);
      window.window.form.text(2)->setText(R);
      window.window.clickRecalculate();
    };
    switch (stage) {
      case kDefaults:
        if (window.window.frames() < 2) return false;
        EXPECT_TRUE(menus.saveFigure->isEnabled());
        EXPECT_TRUE(menus.exportProfiles->isEnabled());
        // An enabled item's tooltip is its name, without the dialog's dots or the mnemonic.
        EXPECT_EQ(menus.saveFigure->toolTip(), "Save Figure");
        EXPECT_EQ(menus.exportDxf->toolTip(), "Export CAD Outlines (DXF)");
        type("6.9506", "82.018");  // K = 11.8: missed at every step count
        stage = kMissed;
        return false;
      case kMissed:
        if (window.window.message().isEmpty()) return false;
        for (QAction* action :
             {menus.saveFigure, menus.exportDxf, menus.exportProfiles, menus.exportResults}) {
          EXPECT_FALSE(action->isEnabled()) << action->text().toStdString();
          EXPECT_EQ(action->toolTip(), "No figures to save: the window shows a message instead.");
        }
        EXPECT_TRUE(menus.copyResults->isEnabled());
        copied = window.desk.resultsToCopy();
        EXPECT_FALSE(window.desk.save(WindowFile::kDxf, path));
        type("x", "82.018");
        stage = kNoNumber;
        return false;
      case kNoNumber:
        if (!window.window.message().contains("not a number")) return false;
        EXPECT_FALSE(menus.copyResults->isEnabled());
        EXPECT_TRUE(window.desk.resultsToCopy().isEmpty());
        return true;
    }
    return true;
  }));
  auto cells = pasted(copied);
  EXPECT_EQ(cells["eccentricity"], "6.9506");
  EXPECT_EQ(cells["compression_ratio"], "");
  // No figures, no step count they would be at.
  EXPECT_EQ(cells["steps"], "");
  EXPECT_TRUE(cells["exact_compression_ratio"].startsWith("28.9129")) << copied.toStdString();
  EXPECT_EQ(window.complaints,
            QStringList{"Cannot save rotor.dxf: No figures to save: the window shows a message "
                        "instead."});
  EXPECT_FALSE(QFile::exists(path));
}

// The design panel refuses a value as the companion does, by name and in red, and shows no
// number in its place.
struct RefusalCase {
  const char* name;
  const char *A, *C, *V, *X;
  Field refused;
  const char* message;  // the beginning of it
  bool figures;         // the real engine's figures stand beside the refusal
};

void PrintTo(const RefusalCase& c, std::ostream* os) {
  *os << c.name;
}

class PanelRefusal : public ::testing::TestWithParam<RefusalCase> {};

// The defaults, as the cycle reads them.
study::Design defaultEngine() {
  study::Design engine;
  engine.eccentricity = "15";
  engine.rotorRadius = "105";
  engine.chamberWidth = "80";
  return engine;
}

TEST_P(PanelRefusal, NamesTheValueInRed) {
  const RefusalCase& c = GetParam();
  DesignPanel panel;
  panel.setEngine(defaultEngine());
  panel.input(Field::kSealOffset)->setText(c.A);
  panel.input(Field::kClearance)->setText(c.C);
  panel.input(Field::kRecess)->setText(c.V);
  panel.input(Field::kTargetRatio)->setText(c.X);
  for (int n = 0; n < 2000 && panel.computing(); ++n) QTest::qWait(5);
  ASSERT_TRUE(panel.outcome());
  EXPECT_EQ(panel.outcome()->refused, c.refused);
  EXPECT_TRUE(panel.refusalShown().startsWith(c.message)) << panel.refusalShown().toStdString();
  for (int row = 0; row < 3; ++row) EXPECT_EQ(!panel.figure(row).isEmpty(), c.figures) << row;
  EXPECT_TRUE(panel.figure(3).isEmpty());
  // The refused value's own label in red, and no other.
  for (const QLabel* label : panel.findChildren<QLabel*>()) {
    if (!label->buddy()) continue;
    const bool red = label->styleSheet().contains("#c00000");
    EXPECT_EQ(red, label->buddy() == panel.input(c.refused)) << label->text().toStdString();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, PanelRefusal,
    ::testing::Values(RefusalCase{"SealOffsetNoNumber", "2x", "", "", "", Field::kSealOffset,
                                  "seal offset: \"2x\" is not a number", false},
                      RefusalCase{"NegativeClearance", "", "-1", "", "", Field::kClearance,
                                  "clearance: \"-1\"", false},
                      RefusalCase{"RecessTooLarge", "", "", "1e999", "", Field::kRecess,
                                  "recess: ", false},
                      // (R - 3e)^2 / (9e - R) = 120 for the defaults.
                      RefusalCase{"SealOffsetAtTheWaist", "150", "", "", "", Field::kSealOffset,
                                  "seal offset 150 would give the bore cusps", false},
                      RefusalCase{"ClearanceWithoutFlank", "", "80", "", "", Field::kClearance,
                                  "clearance 80 leaves no rotor flank", false},
                      RefusalCase{"TargetNoRatio", "", "", "", "1", Field::kTargetRatio,
                                  "target ratio: \"1\" is not a ratio above 1", false},
                      RefusalCase{"TargetAboveTheLimit", "", "", "", "30", Field::kTargetRatio,
                                  "ratio 30 is above the limit of this engine, 18.2857", true}),
    [](const auto& info) { return std::string(info.param.name); });

// The real engine's figures show ahead of its curve, its drawing and its ports' timing; until
// those are in, the panel has no outcome, so no save takes the figures without the rest.
TEST(DesignPanel, ShowsTheFiguresFirstAndHoldsTheOutcomeForTheRest) {
  DesignPanel panel;
  panel.setEngine(defaultEngine());
  panel.peripheralPort(PortRole::kIntake)->setText("150,175,30");
  for (int n = 0; n < 2000 && panel.computing(); ++n) QTest::qWait(1);
  panel.input(Field::kSealOffset)->setText("2");
  bool early = false;
  for (int n = 0; n < 5000 && panel.computing(); ++n) {
    const bool figures = panel.figure(0) == "666.889";
    if (figures && panel.computing()) {
      early = true;
      EXPECT_FALSE(panel.outcome());
      EXPECT_TRUE(panel.cycleChart()->curve().empty());
    }
    QTest::qWait(1);
  }
  EXPECT_TRUE(early);
  ASSERT_TRUE(panel.outcome());
  EXPECT_TRUE(panel.outcome()->row.timing);
  EXPECT_FALSE(panel.cycleChart()->curve().empty());
  EXPECT_EQ(panel.figure(0), "666.889");
}

// The chamber's walls and the ideal cycle come with the real engine's figures, and the seal's at a
// shaft speed typed; a speed that is none is refused in red and leaves the other figures away.
TEST(DesignPanel, ShowsTheChamberAndTheSealAtTheSpeedTyped) {
  DesignPanel panel;
  panel.setEngine(defaultEngine());
  panel.input(Field::kSealOffset)->setText("0");
  for (int n = 0; n < 2000 && panel.computing(); ++n) QTest::qWait(5);
  EXPECT_EQ(panel.figure(4), "0.836389");  // per mm, as the companion gives it
  EXPECT_EQ(panel.figure(5), "0.68728");
  EXPECT_TRUE(panel.figure(6).isEmpty()) << "a seal speed with no shaft speed";
  panel.input(Field::kRpm)->setText("7000");
  for (int n = 0; n < 2000 && panel.computing(); ++n) QTest::qWait(5);
  EXPECT_EQ(panel.figure(6), "14.6608 to 36.6519, mean 26.8486");
  EXPECT_TRUE(panel.figure(7).startsWith("-1.79115 to 14.3292; drawn in from 301.6 to 418.4"))
      << panel.figure(7).toStdString();
  const QLabel* speed = panel.findChild<QLabel*>("DesignFigure7");
  ASSERT_NE(speed, nullptr);
  EXPECT_EQ(speed->accessibleDescription(), panel.figure(6));
  panel.input(Field::kRpm)->setText("-5");
  for (int n = 0; n < 2000 && panel.computing(); ++n) QTest::qWait(5);
  ASSERT_TRUE(panel.outcome());
  EXPECT_EQ(panel.outcome()->refused, Field::kRpm);
  EXPECT_TRUE(panel.refusalShown().startsWith("shaft speed: \"-5\" is not a shaft speed above 0"))
      << panel.refusalShown().toStdString();
  for (int row = 0; row < 8; ++row) EXPECT_TRUE(panel.figure(row).isEmpty()) << row;
}

// The panel's second page draws the real engine's curve, computed with its figures off the event
// loop: the volume and the series beside it are the curve's points, the dead centres every
// stroke, and the seal's speed offered only with a shaft speed.
TEST(DesignPanel, DrawsTheChamberOverItsCycle) {
  DesignPanel panel;
  panel.setEngine(defaultEngine());
  CycleChart* chart = panel.cycleChart();
  ASSERT_NE(chart, nullptr);
  EXPECT_TRUE(chart->volumePoints().isEmpty());
  panel.input(Field::kSealOffset)->setText("2");
  panel.input(Field::kClearance)->setText("0.1");
  for (int n = 0; n < 2000 && panel.computing(); ++n) QTest::qWait(5);
  const std::vector<CyclePoint> curve = volumeCurve(15, 105, 80, RealEngine{2, 0.1, 0}, 1);
  const QList<QPointF> volume = chart->volumePoints();
  ASSERT_EQ(volume.size(), static_cast<qsizetype>(curve.size()));
  for (std::size_t n = 0; n < curve.size(); n += 37) {
    EXPECT_EQ(volume[n].x(), curve[n].shaftAngle);
    EXPECT_EQ(volume[n].y(), curve[n].volume) << n;
    EXPECT_EQ(chart->besidePoints()[n].y(), curve[n].sealLean) << n;
  }
  const QList<QPointF> centres = chart->deadCentres();
  ASSERT_EQ(centres.size(), 5);
  EXPECT_EQ(centres[1].x(), 270);
  EXPECT_EQ(centres[1].y(), curve[270].volume);
  EXPECT_FALSE(chart->besideChoices().contains("seal speed (m/s)"));
  chart->setBeside(CycleChart::Beside::kTorquePerBar);
  EXPECT_EQ(chart->besidePoints()[135].y(), curve[135].torquePerBar);
  EXPECT_TRUE(chart->readingAt(270.2).startsWith("shaft 270 degrees: volume 706.927 cm^3"))
      << chart->readingAt(270.2).toStdString();

  panel.input(Field::kRpm)->setText("7000");
  for (int n = 0; n < 2000 && panel.computing(); ++n) QTest::qWait(5);
  ASSERT_TRUE(chart->besideChoices().contains("seal speed (m/s)"));
  chart->setBeside(CycleChart::Beside::kSealSpeed);
  ChamberSettings atSpeed;
  atSpeed.rpm = 7000;
  EXPECT_EQ(chart->besidePoints()[0].y(),
            *volumeCurve(15, 105, 80, RealEngine{2, 0.1, 0}, 1, 1000, atSpeed)[0].sealSpeed);
  // A value refused: no curve, as no figures.
  panel.input(Field::kSealOffset)->setText("2x");
  EXPECT_TRUE(chart->volumePoints().isEmpty());
}

// The designer's figures of the engine shown, and of its real engine once the panel has it; a
// module that cuts no whole gears is refused in the companion's words.
TEST(DesignPanel, GivesTheDesignersFiguresForTheRotorsAndModule) {
  DesignPanel panel;
  panel.setEngine(defaultEngine());
  EXPECT_EQ(panel.designerFigure(0), "7");
  EXPECT_EQ(panel.designerFigure(1), "654.715");
  EXPECT_EQ(panel.designerFigure(2), "25.3769");
  EXPECT_EQ(panel.designerFigure(3), "240 by 180");
  EXPECT_EQ(panel.designerFigure(4), "rotor 45, stationary 30 (3:2)");
  EXPECT_EQ(panel.designerFigure(5), "");
  EXPECT_EQ(panel.designerFigure(6), "654.715 / 37.8761 / 18.2857");
  panel.rotors()->setValue(2);
  EXPECT_EQ(panel.designerFigure(1), "1309.43");
  panel.gearModule()->setText("2.5");
  EXPECT_EQ(panel.designerFigure(5), "36 and 24");
  panel.gearModule()->setText("4");
  EXPECT_TRUE(panel.designerNote().startsWith(
      "gear module: \"4\" gives eccentricity 15 gears of 22.5 and 15 teeth"))
      << panel.designerNote().toStdString();
  EXPECT_EQ(panel.designerFigure(1), "");
  panel.gearModule()->clear();
  // The real engine's: its bore and displacement.
  panel.input(Field::kSealOffset)->setText("2");
  EXPECT_EQ(panel.designerFigure(1), "") << "the shape's figures standing for a real engine";
  for (int n = 0; n < 2000 && panel.computing(); ++n) QTest::qWait(5);
  EXPECT_EQ(panel.designerFigure(3), "244 by 184");
  EXPECT_EQ(panel.designerFigure(1), "1333.78");
  // e = 10, R = 50: K = 5, and the rotor's internal gear reaches past the flank.
  study::Design small = defaultEngine();
  small.eccentricity = "10";
  small.rotorRadius = "50";
  panel.input(Field::kSealOffset)->clear();
  panel.setEngine(small);
  EXPECT_TRUE(panel.designerNote().contains("does not fit inside the rotor"))
      << panel.designerNote().toStdString();
}

// The lengths typed are in the unit chosen: every volume, speed and length the panel gives is the
// millimetre engine's converted as a physicist would, and each names its unit.
TEST(DesignPanel, GivesEveryFigureInTheUnitChosen) {
  struct Unit {
    const char* name;
    double millimetres;       // in one unit
    double cubicCentimetres;  // in one unit of volume
    const char* volume;
  };
  const Unit units[] = {{"mm", 1, 1, "cm^3"},
                        {"cm", 10, 1, "cm^3"},
                        {"m", 1000, 1e6, "m^3"},
                        {"in", 25.4, 16.387064, "in^3"}};
  const auto number = [](const QString& text) { return text.split(' ').first().toDouble(); };
  const auto meanSpeed = [](const QString& text) { return text.section("mean ", 1).toDouble(); };
  DesignPanel panel;
  panel.resize(400, 700);
  panel.show();
  panel.setEngine(defaultEngine());
  panel.input(Field::kSealOffset)->setText("2");
  panel.input(Field::kClearance)->setText("0.1");
  panel.input(Field::kRpm)->setText("7000");
  double capacity = 0, displacement = 0, speed = 0, surfaceToVolume = 0;
  for (const Unit& unit : units) {
    panel.unitBox()->setCurrentText(unit.name);
    for (int n = 0; n < 2000 && panel.computing(); ++n) QTest::qWait(5);
    ASSERT_TRUE(panel.outcome() && panel.outcome()->hasFigures()) << unit.name;
    const double scale = unit.millimetres * unit.millimetres * unit.millimetres;
    if (unit.millimetres == 1) {
      capacity = number(panel.figure(0));
      displacement = number(panel.designerFigure(1));
      speed = meanSpeed(panel.figure(6));
      surfaceToVolume = number(panel.figure(4));
      EXPECT_EQ(panel.figure(0), "666.889");
    }
    EXPECT_NEAR(number(panel.figure(0)) * unit.cubicCentimetres, capacity * scale,
                1e-5 * capacity * scale)
        << unit.name;
    EXPECT_NEAR(number(panel.designerFigure(1)) * unit.cubicCentimetres, displacement * scale,
                1e-5 * displacement * scale)
        << unit.name;
    // Metres per second whatever the unit: a larger engine's seal runs faster.
    EXPECT_NEAR(meanSpeed(panel.figure(6)), speed * unit.millimetres,
                1e-5 * speed * unit.millimetres)
        << unit.name;
    // Per unit of length: the same number, for an engine as many units across.
    EXPECT_EQ(number(panel.figure(4)), surfaceToVolume) << unit.name;
    EXPECT_EQ(panel.designerFigure(3), "244 by 184") << unit.name;
    const QString volume = QString("(%1)").arg(unit.volume);
    const QString length = QString("(%1)").arg(unit.name);
    EXPECT_TRUE(panel.findChild<QLabel*>("DesignFigure1")->accessibleName().endsWith(volume));
    EXPECT_TRUE(panel.findChild<QLabel*>("DesignerFigure2")->accessibleName().endsWith(volume));
    EXPECT_TRUE(panel.findChild<QLabel*>("DesignerFigure4")->accessibleName().endsWith(length));
    EXPECT_TRUE(panel.findChild<QLabel*>("DesignFigure5")
                    ->accessibleName()
                    .endsWith(QString("(per %1)").arg(unit.name)));
    EXPECT_TRUE(panel.gearModule()->accessibleName().endsWith(length));
    EXPECT_EQ(panel.engineView()->lengthUnit(), unit.name);
    EXPECT_TRUE(panel.cycleChart()->readingAt(90).contains(QString(" %1,").arg(unit.volume)))
        << panel.cycleChart()->readingAt(90).toStdString();
  }
}

// The keyboard reaches every value in the order they stand, then the pages; each figure is read
// out under its name, its value as its description.
TEST(DesignPanel, TabReachesEveryFieldAndEachFigureIsNamed) {
  DesignPanel panel;
  panel.resize(400, 700);
  panel.show();
  panel.activateWindow();
  panel.setEngine(defaultEngine());
  panel.input(Field::kSealOffset)->setText("2");
  panel.input(Field::kRpm)->setText("7000");
  for (int n = 0; n < 2000 && panel.computing(); ++n) QTest::qWait(5);
  panel.input(Field::kSealOffset)->setFocus();
  QApplication::processEvents();
  std::vector<QString> order;
  for (int n = 0; n < 14; ++n) {
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    order.push_back(focus->objectName());
    QTest::keyClick(focus, Qt::Key_Tab);
  }
  EXPECT_EQ(order, (std::vector<QString>{"SealOffset", "Clearance", "Recess", "TargetRatio",
                                         "ShaftSpeed", "Gamma", "Rotors", "GearModule",
                                         "PeripheralIntake", "PeripheralExhaust", "RecessPocket",
                                         "ApexSlot", "LengthUnit", "qt_tabwidget_tabbar"}));
  int figures = 0;
  for (const QLabel* label : panel.findChildren<QLabel*>()) {
    if (!label->objectName().contains("Figure") || label->text().isEmpty()) continue;
    ++figures;
    EXPECT_FALSE(label->accessibleName().isEmpty()) << label->objectName().toStdString();
    EXPECT_EQ(label->accessibleDescription(), label->text()) << label->objectName().toStdString();
  }
  EXPECT_GE(figures, 12);
}

// The Engine page draws the DXF's own outlines, fitted to the view; as the shaft turns, the rotor
// keeps its clearance to the bore all round, as an engine does.
// The Engine page draws an intake port green and an exhaust port red, as its legend says, and
// names the ports and their shading only where there are ports.
TEST(EngineView, DrawsEachPortInItsRolesColourAndNamesItInTheLegend) {
  EngineView view;
  view.resize(400, 480);
  view.setOutlines(realOutlines(15, 105, RealEngine{}, drawingChordError(105)));
  EXPECT_FALSE(view.legendNames().contains("open to a chamber"));
  // Two ports far apart on the side housing, each a square in the bore.
  const auto square = [](double x, double y) {
    return Polyline{{x - 8, y - 8}, {x + 8, y - 8}, {x + 8, y + 8}, {x - 8, y + 8}, {x - 8, y - 8}};
  };
  view.setPorts({{true, square(-80, 0), nullptr}, {false, square(80, 0), nullptr}});
  EXPECT_TRUE(view.legendNames().contains("intake side ports"));
  EXPECT_TRUE(view.legendNames().contains("exhaust side ports"));
  EXPECT_TRUE(view.legendNames().contains("open to a chamber"));
  const QImage shown = view.grab().toImage();
  // Along each port's bottom edge, away from the corners: its colour's channel leads.
  const auto colourAlong = [&](double x, double y) {
    int red = 0, green = 0;
    for (double t = -5; t <= 5; t += 1) {
      const QPoint at = view.toView({x + t, y - 8}).toPoint();
      QRgb darkest = qRgb(255, 255, 255);
      for (int dy = -1; dy <= 1; ++dy) {
        const QRgb p = shown.pixel(at + QPoint(0, dy));
        if (qGray(p) < qGray(darkest)) darkest = p;
      }
      red += qRed(darkest), green += qGreen(darkest);
    }
    return std::pair{red, green};
  };
  const auto [intakeRed, intakeGreen] = colourAlong(-80, 0);
  const auto [exhaustRed, exhaustGreen] = colourAlong(80, 0);
  EXPECT_GT(intakeGreen, intakeRed) << "the intake not green";
  EXPECT_GT(exhaustRed, exhaustGreen) << "the exhaust not red";
}

// The Engine page shades a side port where the real engine typed leaves it open: its shaded
// parts hold the real engine's open area, three chambers' worth at the shaft's angle, not the bare
// engine's.
TEST(DesignPanel, ShadesThePortsOfTheRealEngineTyped) {
  QTemporaryDir folder;
  const QString path = folder.filePath("intake.csv");
  {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("x,y\n-45,82\n-75,70\n-72,58\n-40,70\n");
  }
  const Polyline outline = {{-45, 82}, {-75, 70}, {-72, 58}, {-40, 70}, {-45, 82}};
  DesignPanel panel;
  panel.setEngine(defaultEngine());
  ASSERT_TRUE(panel.addPorts(PortRole::kIntake, {path}).isEmpty());
  panel.input(Field::kSealOffset)->setText("2");
  panel.input(Field::kClearance)->setText("0.1");
  for (int n = 0; n < 2000 && panel.computing(); ++n) QTest::qWait(5);
  const auto openNow = [](const SideOpening& opening, double shaft) {
    return opening.area(shaft) + opening.area(shaft + 360) + opening.area(shaft + 720);
  };
  const SideOpening real(15, 105, RealEngine{2, 0.1, 0}, outline);
  const SideOpening bare(15, 105, RealEngine{}, outline);
  for (const double shaft : {590.0, 600.0, 850.0}) {
    panel.engineView()->setShaftAngle(shaft);
    double shaded = 0;
    for (const Polyline& part : panel.engineView()->openPartsNow()) {
      for (std::size_t n = 0; n + 1 < part.size(); ++n) {
        shaded += part[n].x * part[n + 1].y - part[n + 1].x * part[n].y;
      }
    }
    shaded = std::abs(shaded) / 2;
    EXPECT_NEAR(shaded, openNow(real, shaft), 1e-6 * real.portArea()) << shaft;
    EXPECT_GT(std::abs(openNow(real, shaft) - openNow(bare, shaft)), 1) << shaft;
  }
}

TEST(DesignPanel, DrawsTheRealEngineItsDxfHas) {
  DesignPanel panel;
  panel.resize(400, 700);
  panel.show();
  panel.setEngine(defaultEngine());
  EngineView* view = panel.engineView();
  ASSERT_TRUE(view->outlines()) << "the bare engine drawn before any value is typed";
  EXPECT_DOUBLE_EQ(view->scaleBarLength(), 50);  // a quarter of the 240 mm bore, rounded
  panel.input(Field::kSealOffset)->setText("2");
  panel.input(Field::kClearance)->setText("0.1");
  for (int n = 0; n < 2000 && panel.computing(); ++n) QTest::qWait(5);
  ASSERT_TRUE(view->outlines());
  const RealOutlines expected = realOutlines(15, 105, RealEngine{2, 0.1, 0}, 0.002);
  ASSERT_EQ(view->outlines()->bore.size(), expected.bore.size());
  for (std::size_t n = 0; n < expected.bore.size(); n += 50) {
    EXPECT_EQ(view->outlines()->bore[n].x, expected.bore[n].x);
    EXPECT_EQ(view->outlines()->bore[n].y, expected.bore[n].y);
  }
  const Polyline atTdc = view->rotorNow();
  ASSERT_EQ(atTdc.size(), expected.rotor.size());
  EXPECT_NEAR(atTdc[7].x, expected.rotor[7].x, 1e-12);
  EXPECT_NEAR(atTdc[7].y, expected.rotor[7].y, 1e-12);
  const HousingFrame frame(15, 105, RealEngine{2, 0.1, 0});
  for (double shaft = 0; shaft < 1080; shaft += 67.5) {
    view->setShaftAngle(shaft);
    // Within the chords' 0.002 either side of the clearance.
    EXPECT_NEAR(smallestDistance(view->rotorNow(), expected.bore), 0.1, 0.005) << shaft;
    // Turning counterclockwise as the frame the ports are timed in.
    const PlanePoint turned = frame.fromRotor(frame.toRotor(expected.rotor[7], 0), shaft);
    EXPECT_NEAR(view->rotorNow()[7].x, turned.x, 1e-9) << shaft;
    EXPECT_NEAR(view->rotorNow()[7].y, turned.y, 1e-9) << shaft;
  }
  // And the screen shows the bore where the view puts it.
  view->setShaftAngle(0);
  const QImage shown = view->grab().toImage();
  int dark = 0, looked = 0;
  for (std::size_t n = 0; n < expected.bore.size(); n += 13, ++looked) {
    // The antialiased line's darkest pixel lies within a pixel of the point.
    const QPoint at = view->toView(expected.bore[n]).toPoint();
    int darkest = 255;
    for (int dx = -1; dx <= 1; ++dx) {
      for (int dy = -1; dy <= 1; ++dy)
        darkest = std::min(darkest, qGray(shown.pixel(at + QPoint(dx, dy))));
    }
    if (darkest < 128) ++dark;
  }
  EXPECT_EQ(dark, looked);
  // Refused values: nothing drawn.
  panel.input(Field::kSealOffset)->setText("2x");
  EXPECT_FALSE(view->outlines());
}

// A refusal typed while a slow real engine computes stands: the late result is for values no
// longer typed. The hint that says what to type goes with the first value typed.
TEST(DesignPanel, KeepsWhatWasTypedLastAndItsHintOnlyWhileNothingIs) {
  DesignPanel panel;
  panel.setEngine(defaultEngine());
  const QLabel* hint = panel.findChild<QLabel*>("DesignHint");
  ASSERT_NE(hint, nullptr);
  EXPECT_FALSE(hint->isHidden());
  panel.input(Field::kSealOffset)->setText("2");
  EXPECT_TRUE(hint->isHidden()) << "the hint stayed after a value was typed";
  // The clearance at its edge takes some milliseconds; the seal offset refused meanwhile at once.
  panel.input(Field::kClearance)->setText("76.99");
  ASSERT_TRUE(panel.computing());
  panel.input(Field::kSealOffset)->setText("2x");
  for (int n = 0; n < 200; ++n) QTest::qWait(5);  // long past the clearance's result
  ASSERT_TRUE(panel.outcome());
  EXPECT_EQ(panel.outcome()->refused, Field::kSealOffset);
  EXPECT_TRUE(panel.refusalShown().startsWith("seal offset: \"2x\" is not a number"))
      << panel.refusalShown().toStdString();
  EXPECT_TRUE(panel.figure(0).isEmpty()) << panel.figure(0).toStdString();
  for (QLineEdit* input : panel.findChildren<QLineEdit*>()) input->clear();
  EXPECT_FALSE(hint->isHidden()) << "no hint once every value is gone";
}

// Keys typed in a run: the first computes at once, the rest together once they pause, and the
// figures that stand are those of the value typed last.
TEST(DesignPanel, AKeyRunEndsInTheFiguresOfTheLastValue) {
  DesignPanel panel;
  panel.setEngine(defaultEngine());
  QLineEdit* offset = panel.input(Field::kSealOffset);
  offset->setFocus();
  for (const char* key : {"2", ".", "5"}) QTest::keyClicks(offset, key);
  EXPECT_EQ(offset->text(), "2.5");
  EXPECT_TRUE(panel.computing());
  EXPECT_EQ(panel.figure(0), "computing...");
  for (int n = 0; n < 2000 && panel.computing(); ++n) QTest::qWait(5);
  ASSERT_TRUE(panel.outcome() && panel.outcome()->hasFigures());
  EXPECT_EQ(panel.outcome()->row.input.sealOffset.text, "2.5");
  const RealLimit expected = realLimit(15, 105, 80, RealEngine{2.5, 0, 0});
  EXPECT_EQ(panel.figure(0).toStdString(), significantDigits(expected.figures.capacity, 6));
}

TEST(DesignPanel, ShowsTheRealEngineForTheShownEngine) {
  DeskWindow window;
  QString caption, capacity, ratio, recess;
  QSize before, shown, hidden;
  int widened = 0;
  QRect client;
  bool computingAtOnce = false;
  window.runWith(
      [&] {
        before = window.window.form.size();
        client = window.window.form.client()->geometry();
        // F2 shows the panel beside the client area, which stays as it was.
        window.window.form.activateWindow();
        QTest::keyClick(window.window.form.text(1), Qt::Key_F2);
        shown = window.window.form.size();
        // The keyboard in the panel's first field, with the engine drawn in sight.
        EXPECT_EQ(QApplication::focusWidget(), window.desk.panel()->input(Field::kSealOffset));
        EXPECT_TRUE(window.desk.panel()->engineView()->isVisible());
        EXPECT_EQ(window.window.form.client()->geometry(), client);
        EXPECT_EQ(window.window.form.minimumSize(), shown);
        window.setPanel("2", "0.1", "", "9.4");
        // Off the event loop: the figures come later, however slow they are to compute.
        computingAtOnce = window.desk.panel()->computing();
        EXPECT_EQ(window.desk.panel()->figure(0), "computing...");
      },
      [&] {
        caption = window.desk.panel()->caption();
        capacity = window.desk.panel()->figure(0);
        ratio = window.desk.panel()->figure(2);
        recess = window.desk.panel()->figure(3);
        // A wider window widens the panel alone; closed, it gives its whole width back.
        window.window.form.resize(shown + QSize(120, 0));
        QApplication::processEvents();
        widened = window.desk.panel()->width();
        EXPECT_EQ(window.window.form.client()->geometry(), client);
        window.window.form.menus().designPanel->trigger();
        hidden = window.window.form.size();
        EXPECT_EQ(QApplication::focusWidget(), window.window.form.text(1))
            << "the keyboard left in a hidden field";
      });
  EXPECT_TRUE(computingAtOnce);
  EXPECT_EQ(shown, before + QSize(400, 0));
  EXPECT_EQ(widened, 520);
  EXPECT_EQ(hidden, before);
  EXPECT_EQ(caption, "for e = 15, R = 105, W = 80");
  EXPECT_EQ(capacity, "666.889");
  EXPECT_EQ(ratio, "9.4");
  EXPECT_EQ(recess, "39.3529");
}

// Side ports opened from the File menu: timed for the engine shown as the companion times them,
// drawn on the Engine page and shaded where the rotor has uncovered them; a file that is no port
// is refused with the companion's words.
TEST(Desk, OpensPortsTimesThemAndShadesWhereTheyStandOpen) {
  DeskWindow window;
  QTemporaryDir folder;
  const QString crossing = folder.filePath("crossing.csv");
  QFile file(crossing);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("-95,-10\n-70,-10\n-92,12\n-65,10\n");
  file.close();
  const QString intake = ROTARY_DOCS_FOLDER "/side-intake.csv";
  QString asked, timing;
  std::vector<double> shaded, expected;
  window.runWith(
      [&] {
        window.desk.setFilesQuestion([&](const QString& title) {
          asked = title;
          return QStringList{intake};
        });
        window.window.form.menus().openIntakePorts->trigger();
      },
      [&] {
        timing = window.desk.panel()->portTiming();
        EngineView* view = window.desk.panel()->engineView();
        const SideOpening opening(15, 105, RealEngine{},
                                  window.desk.panel()->ports().front().outline);
        for (const double shaft : {100.0, 450.0, 700.0}) {
          view->setShaftAngle(shaft);
          double area = 0;
          for (const Polyline& part : view->openPartsNow()) {
            for (std::size_t n = 0; n < part.size(); ++n) {
              const PlanePoint &a = part[n], &b = part[(n + 1) % part.size()];
              area += (a.x * b.y - b.x * a.y) / 2;
            }
          }
          shaded.push_back(std::abs(area));
          expected.push_back(opening.area(shaft) + opening.area(shaft + 360) +
                             opening.area(shaft + 720));
        }
        window.desk.setFilesQuestion([&](const QString&) { return QStringList{crossing}; });
        window.window.form.menus().openExhaustPorts->trigger();
      });
  EXPECT_TRUE(asked.startsWith("Open Intake Ports: e = 15, R = 105, W = 80"))
      << asked.toStdString();
  EXPECT_TRUE(window.window.form.sidePanelShown());
  Polyline outline;
  std::string error;
  ASSERT_TRUE(formats::readPortOutline(intake.toStdString(), outline, error));
  const std::vector<PortDefinition> ports = {
      PortDefinition::sidePort(PortRole::kIntake, outline, "side-intake.csv")};
  EXPECT_EQ(
      timing.toStdString(),
      formats::portTimingText(ports, engineTiming(15, 105, 80, RealEngine{}, 1000, ports), "mm"));
  ASSERT_EQ(shaded.size(), 3u);
  for (std::size_t n = 0; n < shaded.size(); ++n) {
    EXPECT_NEAR(shaded[n], expected[n], 1e-9 * 360) << n;
  }
  EXPECT_GT(shaded[2], 0);
  ASSERT_EQ(window.complaints.size(), 1);
  EXPECT_TRUE(window.complaints.front().contains("crosses itself"))
      << window.complaints.front().toStdString();
  EXPECT_EQ(window.desk.panel()->ports().size(), 1u) << "a refused file added a port";
}

// Values the panel refuses keep the real engine's saves greyed, and say why; the profiles, the
// sweep's own, stay.
TEST(Desk, RefusedPanelValuesHoldTheRealEnginesSaves) {
  DeskWindow window;
  const Menus& menus = window.window.form.menus();
  bool figure = true, profiles = false;
  QString why;
  window.runWith([&] { window.setPanel("", "", "", "30"); },
                 [&] {
                   figure = menus.saveFigure->isEnabled();
                   profiles = menus.exportProfiles->isEnabled();
                   why = menus.exportDxf->toolTip();
                 });
  EXPECT_FALSE(figure);
  EXPECT_TRUE(profiles);
  EXPECT_TRUE(why.startsWith("The design panel refuses its values: ratio 30 is above the limit"))
      << why.toStdString();
}

TEST(Desk, TheSaveDialogProposesTheEnginesNameAndRemembersItsFolder) {
  DeskWindow window;
  QTemporaryDir folder;
  QStringList proposed, titles;
  window.desk.setFileQuestion(
      [&](const QString& title, const QString& offered, const QString& filters, QString& filter) {
        proposed << offered;
        titles << title;
        // The last filter (PNG for the figure) and a name without extension: the filter's
        // extension is added.
        filter = filters.split(";;").last();
        return folder.filePath("chosen");
      });
  window.runWith(nullptr, [&] {
    window.window.form.menus().saveFigure->trigger();
    window.window.form.menus().exportDxf->trigger();
    window.window.form.menus().exportResults->trigger();
    window.window.form.menus().exportProfiles->trigger();
    // Typed but not recalculated: the saves still take the engine whose figures stand.
    window.window.form.text(1)->setText("20");
    window.window.form.menus().exportResults->trigger();
  });
  ASSERT_EQ(proposed.size(), 5);
  EXPECT_EQ(titles[0], "Save Figure: e = 15, R = 105, W = 80");
  EXPECT_EQ(titles[1], "Export CAD Outlines: e = 15, R = 105, W = 80");
  EXPECT_TRUE(proposed[2].endsWith("/rotor-e15-R105-W80-results.csv")) << proposed[2].toStdString();
  EXPECT_TRUE(proposed[3].endsWith("/rotor-e15-R105-W80.csv")) << proposed[3].toStdString();
  EXPECT_EQ(titles[4], "Export Results: e = 15, R = 105, W = 80");
  EXPECT_TRUE(proposed[4].endsWith("/rotor-e15-R105-W80-results.csv")) << proposed[4].toStdString();
  EXPECT_TRUE(proposed[0].endsWith("/rotor-e15-R105-W80.svg")) << proposed[0].toStdString();
  EXPECT_EQ(proposed[1], QDir(folder.path()).filePath("rotor-e15-R105-W80.dxf"));
  EXPECT_TRUE(contentOf(folder.filePath("chosen.png")).startsWith("\x89PNG"));
  EXPECT_TRUE(contentOf(folder.filePath("chosen.dxf")).contains("HOUSING"));
}

// Typed and not recalculated: the message area and the panel's caption say whose figures stand,
// until recalculate makes them the values typed; the scroll bar moved says so too.
TEST(Desk, SaysWhenTheFiguresAreOfAnotherEngineThanTyped) {
  DeskWindow window;
  MessageArea* area = window.window.form.messageArea();
  const QString line =
      "figures for e = 15, R = 105, W = 80; press recalculate for the values typed";
  enum { kShown, kTyped, kRecalculated } stage = kShown;
  QString whileTyped, captionTyped, afterward, afterScroll;
  long cycles = 0;
  ASSERT_TRUE(window.window.runUntil([&] {
    switch (stage) {
      case kShown:
        if (window.window.frames() < 2) return false;
        EXPECT_EQ(area->stale(), "");
        window.window.form.text(1)->setText("20");
        whileTyped = area->stale();
        captionTyped = window.desk.panel()->caption();
        EXPECT_TRUE(area->statusText().contains(line)) << area->statusText().toStdString();
        cycles = window.window.cycles();
        window.window.clickRecalculate();
        stage = kTyped;
        return false;
      case kTyped:
        if (window.window.cycles() == cycles || window.window.frames() < 2 ||
            !window.window.program.cycle().state().figures)
          return false;
        afterward = area->stale();
        window.window.form.vscroll1()->setValue(window.window.form.vscroll1()->value() + 1);
        afterScroll = area->stale();
        stage = kRecalculated;
        return true;
      case kRecalculated:
        return true;
    }
    return true;
  }));
  EXPECT_EQ(whileTyped, line);
  EXPECT_EQ(captionTyped, "for e = 15, R = 105, W = 80; press recalculate for the values typed");
  EXPECT_EQ(afterward, "") << afterward.toStdString();
  EXPECT_TRUE(afterScroll.startsWith("figures for e = 20, R = 105, W = 80"))
      << afterScroll.toStdString();
}

// On the Cycle page a mark follows the animation: the shaft at one and a half times the frame's
// motion angle, over the cycle's 1080 degrees.
TEST(Desk, TheCyclePageMarksTheShaftAsTheAnimationTurns) {
  DeskWindow window;
  enum { kStarting, kComputing, kMarked } stage = kStarting;
  double first = std::nan(""), later = std::nan(""), motion = 0;
  QList<QPointF> mark;
  long framesAtFirst = 0;
  CycleChart* chart = window.desk.panel()->cycleChart();
  // Every frame: the mark then stands where the frame on screen does.
  window.desk.setMarkInterval(std::chrono::milliseconds(0));
  ASSERT_TRUE(window.window.runUntil([&] {
    switch (stage) {
      case kStarting:
        if (window.window.frames() < 2) return false;
        window.setPanel("2", "0.1", "", "");
        window.desk.panel()->findChild<QTabWidget*>("DesignTabs")->setCurrentWidget(chart);
        stage = kComputing;
        return false;
      case kComputing:
        if (window.desk.panel()->computing() || chart->curve().empty() ||
            std::isnan(chart->markedAngle()))
          return false;
        first = chart->markedAngle();
        framesAtFirst = window.window.frames();
        stage = kMarked;
        return false;
      case kMarked:
        if (window.window.frames() < framesAtFirst + 20 || chart->markedAngle() == first) {
          return false;
        }
        later = chart->markedAngle();
        motion = window.window.program.cycle().state().animationAngle;
        mark = chart->markPoints();
        return true;
    }
    return true;
  }));
  ASSERT_EQ(mark.size(), 2);
  EXPECT_EQ(mark[0].x(), later);
  EXPECT_EQ(mark[1].x(), later);
  EXPECT_NEAR(later, std::fmod(1.5 * motion * 180 / std::numbers::pi, 1080), 1e-9);
}

// While the animation is held no frame moves the mark: a curve computed anew (a value typed)
// keeps it where the shaft stands, across the new curve's volume axis.
TEST(CycleChart, KeepsTheMarkWhereTheShaftStandsWhenTheCurveComesAnew) {
  CycleChart chart;
  const auto curve = [](double A) {
    return volumeCurve(15, 105, 80, RealEngine{A, 0, 0}, 1, kWindowVolumeDivisor, {});
  };
  chart.setCurve(curve(0));
  chart.setShaftAngle(300);
  chart.setCurve({});
  EXPECT_TRUE(chart.markPoints().isEmpty());
  chart.setCurve(curve(2));
  const QList<QPointF> mark = chart.markPoints();
  ASSERT_EQ(mark.size(), 2);
  EXPECT_EQ(mark[0].x(), 300);
  EXPECT_EQ(mark[1].x(), 300);
  EXPECT_LE(mark[0].y(), chart.volumePoints().front().y());
}

// Each axis fitted to its own curve: the second to the lean, the walls over the volume or the
// torque, whichever is chosen, holding every point of it without the volume's range.
TEST(CycleChart, FitsTheSecondAxisToItsOwnCurve) {
  CycleChart chart;
  chart.setCurve(volumeCurve(15, 105, 80, RealEngine{2, 0.1, 0}, 1, kWindowVolumeDivisor, {}));
  const auto [volumeLow, volumeHigh] = chart.volumeAxisRange();
  for (const auto beside : {CycleChart::Beside::kSealLean, CycleChart::Beside::kTorquePerBar}) {
    chart.setBeside(beside);
    double low = INFINITY, high = -INFINITY;
    for (const QPointF& p : chart.besidePoints())
      low = std::min(low, p.y()), high = std::max(high, p.y());
    const auto [axisLow, axisHigh] = chart.besideAxisRange();
    EXPECT_LE(axisLow, low);
    EXPECT_GE(axisHigh, high);
    // No more than a round step either side of the curve's own range.
    EXPECT_LT(axisHigh - axisLow, 2.5 * (high - low));
    EXPECT_FALSE(axisLow == volumeLow && axisHigh == volumeHigh);
  }
}

TEST(Desk, AFailedSaveSaysWhyAndKeepsTheOldFile) {
  DeskWindow window;
  QTemporaryDir folder;
  const QString path = folder.filePath("rotor.dxf");
  QFile old(path);
  ASSERT_TRUE(old.open(QIODevice::WriteOnly));
  old.write("the user's drawing");
  old.close();
  old.setPermissions(QFileDevice::ReadOwner);
  bool saved = true, savedToNowhere = true;
  window.runWith(nullptr, [&] {
    saved = window.desk.save(WindowFile::kDxf, path);
    savedToNowhere = window.desk.save(WindowFile::kDxf, folder.filePath("no/such/rotor.dxf"));
  });
  EXPECT_FALSE(saved);
  EXPECT_FALSE(savedToNowhere);
  ASSERT_EQ(window.complaints.size(), 2);
  EXPECT_TRUE(window.complaints[0].startsWith("Cannot save rotor.dxf: "))
      << window.complaints[0].toStdString();
  EXPECT_TRUE(window.complaints[0].endsWith("."));
  EXPECT_EQ(window.complaints[1], "Cannot save rotor.dxf: No such file or directory.");
  EXPECT_EQ(contentOf(path), "the user's drawing");
}

// Esc closes an open menu first; only then does it end the program. Quit ends it too.
TEST(Desk, EscClosesAnOpenMenuBeforeItQuits) {
  DeskWindow window;
  QMenu* file = window.window.form.findChild<QMenu*>("FileMenu");
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(file->accessibleName(), "File");
  bool endedWithMenuOpen = true, menuOpened = false, menuBarInUse = false,
       endedWithMenuBarInUse = true;
  window.runWith(nullptr, [&] {
    window.window.form.activateWindow();
    QTest::keyClick(window.window.form.text(1), Qt::Key_F, Qt::AltModifier);
    menuOpened = QApplication::activePopupWidget() == file;
    if (!menuOpened) file->popup(QPoint(0, 0));
    QTest::keyClick(file, Qt::Key_Escape);
    endedWithMenuOpen = window.window.program.adapter().ending();
    // Alt alone puts the menu bar in use, keys and all: Esc leaves it, and does not quit.
    QApplication::setActiveWindow(&window.window.form);
    window.window.form.text(1)->setFocus();
    QTest::keyClick(window.window.form.text(1), Qt::Key_Alt);
    menuBarInUse = window.window.form.menus().bar->activeAction() != nullptr;
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    endedWithMenuBarInUse = window.window.program.adapter().ending();
  });
  EXPECT_TRUE(menuBarInUse);
  EXPECT_FALSE(endedWithMenuBarInUse);
  EXPECT_TRUE(menuOpened) << "Alt+F did not open the File menu";
  EXPECT_FALSE(endedWithMenuOpen);
  EXPECT_FALSE(file->isVisible());

  DeskWindow quitting;
  ASSERT_TRUE(quitting.window.runUntil([&] {
    if (quitting.window.frames() < 2) return false;
    quitting.window.form.menus().quit->trigger();
    return false;  // the program ends by itself
  }));
  EXPECT_TRUE(quitting.window.program.adapter().ending());
}

TEST(Desk, TheMethodOpensInItsOwnWindow) {
  DeskWindow window;
  window.window.form.menus().method->trigger();
  auto* text = window.window.form.findChild<QTextBrowser*>("MethodText");
  ASSERT_NE(text, nullptr);
  EXPECT_FALSE(text->toPlainText().startsWith("The description of the method is not at"));
  EXPECT_TRUE(text->toPlainText().contains("exact")) << text->toPlainText().left(200).toStdString();
  EXPECT_TRUE(text->window()->isVisible());
  // Its figures load, not broken-image marks: each image the text names is a picture.
  int images = 0;
  for (QTextBlock block = text->document()->begin(); block.isValid(); block = block.next()) {
    for (auto piece = block.begin(); !piece.atEnd(); ++piece) {
      const QTextImageFormat image = piece.fragment().charFormat().toImageFormat();
      if (!image.isValid()) continue;
      ++images;
      const QVariant picture =
          text->document()->resource(QTextDocument::ImageResource, QUrl(image.name()));
      EXPECT_TRUE(picture.isValid() && !picture.value<QImage>().isNull())
          << image.name().toStdString();
    }
  }
  EXPECT_EQ(images, 4);
  // Each figure within the window's width, at the width it is read at: none wider than the text.
  auto* browser = qobject_cast<MethodBrowser*>(text);
  ASSERT_NE(browser, nullptr);
  for (const QSize size : {QSize(760, 640), QSize(420, 500)}) {
    // The dialog's layout hands the browser its new width at once, as the resize comes.
    text->window()->resize(size);
    const QList<double> widths = browser->imageWidths();
    ASSERT_EQ(widths.size(), 4);
    for (const double width : widths) {
      EXPECT_GT(width, 0);
      EXPECT_LE(width, text->viewport()->width()) << size.width();
    }
  }
}

// While the sweep runs the saves are greyed, and say that it runs, not that a message stands.
TEST(Desk, SavesGreyedDuringTheSweepSaySo) {
  DeskWindow window;
  const Menus& menus = window.window.form.menus();
  enum { kDefaults, kSweeping } stage = kDefaults;
  bool seen = false;
  long cyclesBefore = 0;
  // Seen as the items change, not by a timer that a short sweep may slip between.
  const auto greyed = [&] {
    if (stage != kSweeping || seen) return;
    // An item turns grey, then says why: seen once both have said it.
    const QString why = "No figures to save while the sweep is under way.";
    if (!menus.saveFigure->isEnabled() && window.window.message().isEmpty() &&
        menus.saveFigure->toolTip() == why && menus.exportProfiles->toolTip() == why) {
      seen = true;
    }
  };
  QObject::connect(menus.saveFigure, &QAction::changed, greyed);
  QObject::connect(menus.exportProfiles, &QAction::changed, greyed);
  ASSERT_TRUE(window.window.runUntil([&] {
    if (stage == kDefaults) {
      if (window.window.frames() < 2) return false;
      window.window.form.vscroll1()->setValue(1000);
      cyclesBefore = window.window.cycles();
      stage = kSweeping;
      window.window.clickRecalculate();
      return false;
    }
    return window.window.cycles() > cyclesBefore && menus.saveFigure->isEnabled();
  }));
  EXPECT_TRUE(seen) << "the sweep at N = 1000 was never seen with the saves greyed";
}

// Every menu shows its items' tooltips, where a greyed item says why; Quit answers Ctrl+Q once,
// not twice over, which would make the key ambiguous and trigger nothing.
TEST(Desk, MenusShowWhyAndQuitTakesCtrlQOnce) {
  DeskWindow window;
  const Menus& menus = window.window.form.menus();
  int named = 0;
  for (QMenu* menu : menus.bar->findChildren<QMenu*>()) {
    if (menu->objectName().isEmpty()) continue;  // the bar's own, for items that do not fit
    ++named;
    EXPECT_TRUE(menu->toolTipsVisible()) << menu->title().toStdString();
  }
  EXPECT_EQ(named, 4);
  const QList<QKeySequence> keys = menus.quit->shortcuts();
  EXPECT_EQ(keys.count(QKeySequence("Ctrl+Q")), 1);
  for (const QKeySequence& key : keys)
    EXPECT_EQ(keys.count(key), 1) << key.toString().toStdString();
  // That the key reaches Quit is the end-to-end test's, on a real display: the offscreen
  // platform activates no window to take shortcuts.
}

}  // namespace
}  // namespace rotary::app
