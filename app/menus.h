// The menu bar above the client area: saving and exporting what the window shows, copying it,
// the design panel, and the method behind the figures.
#pragma once

#include <QAction>
#include <QMenuBar>

namespace rotary::app {

struct Menus {
  QMenuBar* bar = nullptr;
  QAction* saveFigure = nullptr;
  QAction* exportDxf = nullptr;
  QAction* exportProfiles = nullptr;
  QAction* exportResults = nullptr;
  QAction* exportVolumeCurve = nullptr;
  QAction* saveCycleChart = nullptr;
  QAction* saveCycleModel = nullptr;
  QAction* exportSolids = nullptr;
  QAction* openIntakePorts = nullptr;
  QAction* openExhaustPorts = nullptr;
  QAction* clearPorts = nullptr;
  QAction* quit = nullptr;
  QAction* copyResults = nullptr;
  QAction* designPanel = nullptr;  // checked while the panel is shown
  QAction* method = nullptr;
  QAction* about = nullptr;
};

// The menus, on a bar of the given parent; the actions are connected by whoever acts on them.
Menus createMenus(QWidget* parent);

}  // namespace rotary::app
