// File > Export Solids as a designer uses it: the parts of the panel's real engine with its
// pocket and slots, equal to the companion's for the same design, the pocket's depth and the
// solids' mass properties on the Figures page, and a pocket that cannot be cut refused by name.
#include <QDir>
#include <QTemporaryDir>

#include "desk_window.h"

namespace rotary::app::testing {
namespace {

const char* const kParts[] = {"rotor", "rotor_housing", "side_housing_front", "side_housing_rear"};

TEST(Solids, ExportedEqualTheCompanionsWithTheirFiguresShown) {
  DeskWindow window;
  QTemporaryDir folder;
  bool savedStl = false, savedStep = false;
  QString depth, masses;
  window.runWith(
      [&] {
        window.setPanel("2", "0.1", "", "9.4");
        window.desk.panel()->recessPocket()->setText("60,30,5");
        window.desk.panel()->apexSlot()->setText("2,8");
        window.desk.panel()->input(study::Field::kRpm)->setText("6000");
      },
      [&] {
        savedStl = window.desk.saveSolids(folder.filePath("window.stl"), true);
        savedStep = window.desk.saveSolids(folder.filePath("window.step"), false);
        depth = window.desk.panel()->figure(8);
        masses = window.desk.panel()->solidFigures();
      });
  ASSERT_TRUE(savedStl) << window.complaints.join("; ").toStdString();
  ASSERT_TRUE(savedStep) << window.complaints.join("; ").toStdString();
  const QStringList design = {"--seal-offset",  "2",   "--clearance",     "0.1",
                              "--target-ratio", "9.4", "--recess-pocket", "60,30,5",
                              "--apex-slot",    "2,8", "--rpm",           "6000"};
  const QByteArray text = companion(design + QStringList{"--stl", folder.filePath("tool.stl")});
  for (const char* part : kParts) {
    const QByteArray ours = contentOf(folder.filePath(QString("window-%1.stl").arg(part)));
    EXPECT_FALSE(ours.isEmpty()) << part;
    EXPECT_EQ(ours, contentOf(folder.filePath(QString("tool-%1.stl").arg(part)))) << part;
  }
  const QByteArray step = contentOf(folder.filePath("window.step"));
  for (const char* name : {"'ROTOR'", "'ROTOR_HOUSING'", "'SIDE_HOUSING_FRONT'"}) {
    EXPECT_TRUE(step.contains(name)) << name;
  }
  // The companion's lines, to six digits, on the Figures page.
  const QString said = QString::fromUtf8(text);
  const QString depthLine = said.section("depth ", 1).section(" mm", 0, 0);
  EXPECT_FALSE(depthLine.isEmpty()) << said.toStdString();
  EXPECT_TRUE(depth.startsWith(depthLine + " mm deep")) << depth.toStdString();
  const QString mass = said.section("kg,", 0, 0).section("mass ", -1).trimmed();
  EXPECT_TRUE(masses.contains(mass + " kg")) << masses.toStdString() << " / " << mass.toStdString();
  EXPECT_TRUE(masses.contains("load on the eccentric")) << masses.toStdString();
}

TEST(Solids, APocketThatCannotBeCutKeepsExportSolidsWithItsReason) {
  DeskWindow window;
  QTemporaryDir folder;
  bool enabled = true, saved = true;
  QString tip, refusal;
  window.runWith(
      [&] {
        window.setPanel("2", "0.1", "15", "");
        window.desk.panel()->recessPocket()->setText("20,20,0");
      },
      [&] {
        enabled = window.window.form.menus().exportSolids->isEnabled();
        tip = window.window.form.menus().exportSolids->toolTip();
        refusal = window.desk.panel()->refusalShown();
        saved = window.desk.saveSolids(folder.filePath("deep.step"), false);
      });
  EXPECT_FALSE(enabled);
  EXPECT_FALSE(saved);
  EXPECT_TRUE(tip.contains("deeper than the rotor at its bore")) << tip.toStdString();
  EXPECT_TRUE(refusal.startsWith("recess pocket: \"20,20,0\"")) << refusal.toStdString();
  EXPECT_TRUE(QDir(folder.path()).isEmpty());
}

}  // namespace
}  // namespace rotary::app::testing
