// The design panel's Cycle-model page as a designer uses it: the model runs off the event loop,
// the figures that stand are those of the speed typed last, a setting the model cannot take is
// named in red in the companion's words, and the page draws the loop it computed.
#include <gtest/gtest.h>

#include <QApplication>
#include <QChartView>
#include <QClipboard>
#include <QFileInfo>
#include <QImage>
#include <QScrollArea>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include "desk_window.h"
#include "number_text.h"
#include "working_cycle.h"

namespace rotary::app {
namespace {

using study::Field;

study::Design defaults() {
  study::Design engine;
  engine.eccentricity = "15";
  engine.rotorRadius = "105";
  engine.chamberWidth = "80";
  return engine;
}

void waitFor(const DesignPanel& panel) {
  for (int n = 0; n < 4000 && panel.computing(); ++n) QTest::qWait(5);
}

TEST(CycleModelPage, RunsOffTheEventLoopAndShowsTheSpeedTypedLast) {
  DesignPanel panel;
  panel.setEngine(defaults());
  CycleModelPage& page = *panel.cycleModel();
  EXPECT_TRUE(page.caption().startsWith("Type a cycle speed")) << page.caption().toStdString();
  page.input(Field::kCycleGamma)->setText("1.4");
  page.input(Field::kHeatTransfer)->setText("0");
  page.input(Field::kCycle)->setText("3000");
  // The key returns with the model still to come: it runs on a thread of its own.
  EXPECT_TRUE(page.computing());
  EXPECT_EQ(page.caption(), "running the model...");
  EXPECT_TRUE(page.figure(0).isEmpty());
  // Another speed while the first runs: the first's figures never stand.
  page.input(Field::kCycle)->setText("9000");
  waitFor(panel);
  ASSERT_TRUE(page.modelled());
  const study::EngineRow& row = page.modelled()->model.design.row;
  ASSERT_TRUE(row.cycle) << row.cycleMessage;
  EXPECT_EQ(row.input.cycleRpm.text, "9000");
  // The very figures of the design run on its own, not a rounding of another run.
  const cycle::ModelledDesign alone = cycle::modelDesign(panel.design(), study::Face::kWindow);
  ASSERT_TRUE(alone.design.row.cycle);
  EXPECT_EQ(row.cycle->imepNet, alone.design.row.cycle->imepNet);
  EXPECT_EQ(page.figure(0).toStdString(), significantDigits(alone.design.row.cycle->imepNet, 6));
  EXPECT_EQ(page.figure(3).toStdString(),
            significantDigits(alone.design.row.cycle->indicatedPower, 6));
  EXPECT_TRUE(page.caption().contains("single-zone model at 9000 rpm"))
      << page.caption().toStdString();
  EXPECT_FALSE(page.chartView()->isHidden());
  // The speed cleared: no model, no figures, no chart.
  page.input(Field::kCycle)->clear();
  EXPECT_FALSE(page.modelled());
  EXPECT_TRUE(page.figure(0).isEmpty());
  EXPECT_TRUE(page.chartView()->isHidden());
}

// Each setting the model cannot take: the page names it in red in the window's words, shows no
// figure, and the panel's refusal says the same.
struct Refused {
  Field field;
  const char *typed, *words;
};

class RefusedSetting : public ::testing::TestWithParam<Refused> {};

TEST_P(RefusedSetting, IsNamedInRedWithNoFigure) {
  const Refused& c = GetParam();
  DesignPanel panel;
  panel.setEngine(defaults());
  CycleModelPage& page = *panel.cycleModel();
  if (c.field != Field::kCycle) page.input(Field::kCycle)->setText("3000");
  page.input(c.field)->setText(c.typed);
  waitFor(panel);
  EXPECT_TRUE(page.caption().startsWith(c.words)) << page.caption().toStdString();
  EXPECT_TRUE(panel.refusalShown().startsWith(c.words)) << panel.refusalShown().toStdString();
  EXPECT_FALSE(page.modelled());
  EXPECT_TRUE(page.figure(0).isEmpty());
  bool red = false;
  for (const QLabel* each : page.findChildren<QLabel*>()) {
    if (each->buddy() == page.input(c.field)) red = each->styleSheet().contains("#c00000");
  }
  EXPECT_TRUE(red) << "the setting's label is not red";
}

INSTANTIATE_TEST_SUITE_P(
    Table, RefusedSetting,
    ::testing::Values(
        Refused{Field::kCycle, "-3000", "cycle speed: \"-3000\" is not a shaft speed above 0"},
        Refused{Field::kDischarge, "1.2", "discharge coefficient: \"1.2\" is not a discharge"},
        Refused{Field::kAirFuelRatio, "40", "air-fuel ratio: \"40\" is not an air-fuel ratio"},
        Refused{Field::kIntakePlenum, "1.013", "intake plenum: \"1.013\" is not P,T"},
        Refused{Field::kSealGap, "0.02", "seal gap: \"0.02\" leaks to the chambers either side"}),
    [](const auto& info) {
      std::string name(study::ruleOf(info.param.field).option.substr(2));
      for (char& c : name) c = c == '-' ? '_' : c;
      return name;
    });

// The window with the page shown: the loop drawn in its blue on a page that shows its figures
// and its caption whole. With ROTARY_SCREENSHOTS set, the window is saved there to be looked at.
TEST(CycleModelPage, DrawsTheLoopBesideTheWindow) {
  testing::DeskWindow window;
  QImage shot, chart, whole;
  QString caption;
  window.runWith(
      [&] {
        window.window.form.menus().designPanel->setChecked(true);
        auto* tabs = window.desk.panel()->findChild<QTabWidget*>("DesignTabs");
        tabs->setCurrentWidget(window.desk.panel()->cycleModel());
        window.desk.panel()->cycleModel()->input(Field::kCycle)->setText("6000");
      },
      [&] {
        CycleModelPage& page = *window.desk.panel()->cycleModel();
        caption = page.caption();
        chart = page.chartView()->grab().toImage();
        // The page laid out with its chart, as the user sees it after the next frame.
        QTest::qWait(50);
        shot = window.window.form.grab().toImage();
        whole = window.desk.panel()
                    ->cycleModel()
                    ->findChild<QScrollArea*>()
                    ->widget()
                    ->grab()
                    .toImage();
      });
  ASSERT_FALSE(chart.isNull());
  EXPECT_TRUE(caption.startsWith("working cycle, single-zone model at 6000 rpm"))
      << caption.toStdString();
  // The loop's pen: blue well above its red and green.
  int blue = 0;
  for (int y = 0; y < chart.height(); ++y) {
    for (int x = 0; x < chart.width(); ++x) {
      const QRgb p = chart.pixel(x, y);
      if (qBlue(p) > 150 && qRed(p) < 80 && qGreen(p) < 130) ++blue;
    }
  }
  EXPECT_GT(blue, 200) << "no loop drawn";
  if (const QByteArray folder = qgetenv("ROTARY_SCREENSHOTS"); !folder.isEmpty()) {
    shot.save(QString::fromLocal8Bit(folder) + "/cycle-model-window.png");
    whole.save(QString::fromLocal8Bit(folder) + "/cycle-model-page.png");
  }
}

}  // namespace
}  // namespace rotary::app

namespace rotary::app {
namespace {

// Copy and the saves carry the model's figures: while the model runs they wait, and say why;
// once it is in, Copy holds the page's figures; without a speed, Save Cycle Model says how to get
// one.
TEST(CycleModelPage, CopyAndTheSavesWaitForTheModel) {
  testing::DeskWindow window;
  QString noSpeed, whileRunning, copied, shownNet, proposed;
  bool copyWhileRunning = true, modelSaveAfter = false;
  QTemporaryDir folder;
  // The menu's dialog: its proposal noted, a file of the CSV kind chosen.
  window.desk.setFileQuestion(
      [&](const QString&, const QString& offered, const QString&, QString&) {
        proposed = QFileInfo(offered).fileName();
        return folder.filePath("model.csv");
      });
  window.runWith(
      [&] {
        window.window.form.menus().designPanel->setChecked(true);
        noSpeed = window.window.form.menus().saveCycleModel->toolTip();
        window.desk.panel()->cycleModel()->input(Field::kHeatTransfer)->setText("0");
        window.desk.panel()->cycleModel()->input(Field::kCycle)->setText("4000");
        copyWhileRunning = window.window.form.menus().copyResults->isEnabled();
        whileRunning = window.window.form.menus().copyResults->toolTip();
      },
      [&] {
        window.window.form.menus().copyResults->trigger();
        copied = QApplication::clipboard()->text();
        shownNet = window.desk.panel()->cycleModel()->figure(0);
        modelSaveAfter = window.window.form.menus().saveCycleModel->isEnabled();
        window.window.form.menus().saveCycleModel->trigger();
      });
  EXPECT_TRUE(noSpeed.startsWith("Type a cycle speed")) << noSpeed.toStdString();
  EXPECT_FALSE(copyWhileRunning);
  EXPECT_EQ(whileRunning, "The design panel's working cycle is still being computed.");
  const std::map<QString, QString> cells = testing::pasted(copied);
  ASSERT_TRUE(cells.count("imep_net")) << copied.toStdString();
  EXPECT_EQ(significantDigits(cells.at("imep_net").toDouble(), 6), shownNet.toStdString());
  EXPECT_TRUE(cells.at("cycle_model").contains("single-zone model at 4000 rpm"));
  EXPECT_TRUE(modelSaveAfter);
  // File > Save Cycle Model writes the last cycle, named as the model.
  EXPECT_EQ(proposed, "rotor-e15-R105-W80-cycle-model.csv");
  const QByteArray saved = testing::contentOf(folder.filePath("model.csv"));
  EXPECT_TRUE(saved.startsWith("# single-zone model at 4000 rpm")) << saved.left(80).toStdString();
}

}  // namespace
}  // namespace rotary::app

namespace rotary::app {
namespace {

// Keys typed in a run, slower than the model and faster than the pause that ends the run: no
// model of a value typed before stands on the page, however early its run ends.
TEST(CycleModelPage, NeverShowsTheModelOfAValueTypedBefore) {
  DesignPanel panel;
  panel.setEngine(defaults());
  CycleModelPage& page = *panel.cycleModel();
  page.input(Field::kHeatTransfer)->setText("0");
  page.input(Field::kCycle)->setText("9000");
  QLineEdit* offset = panel.input(Field::kSealOffset);
  offset->setText("2.");
  waitFor(panel);
  ASSERT_TRUE(page.modelled() && page.modelled()->model.figures());
  QStringList stale;
  QObject::connect(&page, &CycleModelPage::modelledChanged, [&] {
    if (page.modelled() &&
        QString::fromStdString(page.modelled()->model.design.row.input.sealOffset.text) !=
            offset->text().trimmed()) {
      stale << offset->text();
    }
  });
  offset->setFocus();
  for (int n = 0; n < 25; ++n) {
    QTest::keyClick(offset, '0');
    QTest::qWait(8);
  }
  waitFor(panel);
  EXPECT_TRUE(stale.isEmpty()) << stale.join(", ").toStdString();
  EXPECT_EQ(offset->text().size(), 27);
  ASSERT_TRUE(page.modelled());
  EXPECT_EQ(page.modelled()->model.design.row.input.sealOffset.text, offset->text().toStdString());
}

// The seal gap is a length: its label follows the unit chosen.
TEST(CycleModelPage, NamesTheSealGapInTheUnitChosen) {
  DesignPanel panel;
  panel.unitBox()->setCurrentText("cm");
  const QLineEdit* gap = panel.cycleModel()->input(Field::kSealGap);
  EXPECT_EQ(gap->accessibleName(), "seal gap (cm)");
}

}  // namespace
}  // namespace rotary::app
