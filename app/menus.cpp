#include "menus.h"

#include <QApplication>
#include <QMenu>

namespace rotary::app {
namespace {

QMenu* addMenu(QMenuBar* bar, const QString& title, const char* name) {
  QMenu* menu = bar->addMenu(title);
  menu->setObjectName(name);
  menu->setAccessibleName(QString(title).remove('&'));
  // A greyed item's tooltip says why it is greyed.
  menu->setToolTipsVisible(true);
  return menu;
}

QAction* addAction(QMenu* menu, const QString& text, const char* name,
                   const QList<QKeySequence>& keys = {}) {
  QAction* action = menu->addAction(text);
  action->setObjectName(name);
  // The platform's standard key may be the same as the one named beside it; a key given twice
  // would be ambiguous and trigger nothing.
  QList<QKeySequence> distinct;
  for (const QKeySequence& key : keys) {
    if (!key.isEmpty() && !distinct.contains(key)) distinct.append(key);
  }
  action->setShortcuts(distinct);
  return action;
}

}  // namespace

Menus createMenus(QWidget* parent) {
  Menus m;
  m.bar = new QMenuBar(parent);
  m.bar->setObjectName("MenuBar");
  m.bar->setAccessibleName("menu bar");
  // The platform's look, not the grey of the client area below it.
  m.bar->setPalette(QApplication::palette());
  m.bar->setAutoFillBackground(true);

  QMenu* file = addMenu(m.bar, "&File", "FileMenu");
  m.saveFigure =
      addAction(file, "Save &Figure...", "SaveFigure", {QKeySequence(QKeySequence::Save)});
  m.exportDxf = addAction(file, "Export CAD &Outlines (DXF)...", "ExportDxf");
  m.exportProfiles = addAction(file, "Export &Profiles (CSV)...", "ExportProfiles");
  m.exportResults = addAction(file, "Export &Results (CSV or JSON)...", "ExportResults");
  m.exportVolumeCurve = addAction(file, "Export &Volume Curve (CSV)...", "ExportVolumeCurve");
  m.saveCycleChart = addAction(file, "Save C&ycle Chart (SVG or PNG)...", "SaveCycleChart");
  m.saveCycleModel = addAction(file, "Save Cycle &Model (CSV, SVG or PNG)...", "SaveCycleModel");
  m.exportSolids = addAction(file, "Export &Solids (STEP or STL)...", "ExportSolids");
  file->addSeparator();
  m.openIntakePorts = addAction(file, "Open &Intake Ports (DXF or CSV)...", "OpenIntakePorts");
  m.openExhaustPorts = addAction(file, "Open E&xhaust Ports (DXF or CSV)...", "OpenExhaustPorts");
  m.clearPorts = addAction(file, "C&lear Ports", "ClearPorts");
  file->addSeparator();
  m.quit =
      addAction(file, "&Quit", "Quit", {QKeySequence(QKeySequence::Quit), QKeySequence("Ctrl+Q")});

  QMenu* edit = addMenu(m.bar, "&Edit", "EditMenu");
  // Ctrl+C copies the results too, unless a text box has a selection of its own to copy.
  m.copyResults = addAction(edit, "&Copy Results", "CopyResults",
                            {QKeySequence("Ctrl+Shift+C"), QKeySequence(QKeySequence::Copy)});

  QMenu* view = addMenu(m.bar, "&View", "ViewMenu");
  m.designPanel = addAction(view, "&Design Panel", "DesignPanel", {QKeySequence(Qt::Key_F2)});
  m.designPanel->setCheckable(true);

  QMenu* help = addMenu(m.bar, "&Help", "HelpMenu");
  m.method = addAction(help, "&Method", "Method", {QKeySequence(QKeySequence::HelpContents)});
  m.about = addAction(help, "&About", "About");
  return m;
}

}  // namespace rotary::app
