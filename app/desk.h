// What the menus do with the engine the window shows: save its figure, outlines, profiles and
// results through the one file writer, copy it for a spreadsheet, open the design panel, and
// tell how the figures are found. The cycle goes on around it all: nothing here ends or restarts
// it.
#pragma once

#include <QObject>
#include <QString>
#include <chrono>
#include <functional>

#include "design_panel.h"
#include "form.h"
#include "program.h"
#include "window_files.h"

namespace rotary::app {

class Desk : public QObject {
  Q_OBJECT

 public:
  // A format the save dialog offers: "DXF drawing (*.dxf)", its extension and its file.
  struct Filter;

  Desk(Form1& form, Program& program);
  ~Desk() override;

  DesignPanel* panel() const { return panel_; }

  // Asks for the file to save into, starting at `proposed`; the chosen filter in `filter`. An
  // empty path means the user cancelled. The file dialog unless another is given (the tests').
  using FileQuestion = std::function<QString(const QString& title, const QString& proposed,
                                             const QString& filters, QString& filter)>;
  void setFileQuestion(FileQuestion question) { askFile_ = std::move(question); }
  // Asks for port files to open; none when the user cancelled. The file dialog unless another is
  // given (the tests').
  using FilesQuestion = std::function<QStringList(const QString& title)>;
  void setFilesQuestion(FilesQuestion question) { askFiles_ = std::move(question); }
  // Loads side ports of a role into the design panel, showing it; says why where a file is none.
  void openPorts(PortRole role);
  // Tells the user why a file was not saved; a message box unless another is given.
  void setComplaint(std::function<void(const QString&)> complaint) {
    complain_ = std::move(complaint);
  }

  // Writes one file of the shown engine; false with the user told why.
  bool save(WindowFile file, const QString& path);
  // Writes the shown engine as solids: the STEP assembly at `path`, or with `stl` an STL file a
  // part, the part's name added to the path's; all or none, false with the user told why. The
  // design panel shows their mass properties.
  bool saveSolids(const QString& path, bool stl);
  // The tab-separated block Copy Results puts on the clipboard; empty with nothing to copy.
  QString resultsToCopy() const;
  // How often the Cycle page's mark may follow the animation (40 ms; the tests' every frame).
  void setMarkInterval(std::chrono::milliseconds interval) { markInterval_ = interval; }
  // The folder the next save dialog opens in: the last one saved into.
  const QString& lastFolder() const { return lastFolder_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // A completed cycle's figures stand; they go as the next cycle starts.
  bool figuresShown() const;
  bool somethingToCopy() const;
  // Whether the saves take the design panel's real engine, and its outcome when they do.
  bool takesRealEngine() const;
  const study::DesignOutcome* realEngine() const;
  // Why a save cannot be made now; empty when it can.
  QString whyNoSave(bool needsRealEngineReady) const;
  void updateActions();
  void cycleChanged();
  // The window's engine as the saves and the copy take it: in the panel's unit, with its ports,
  // where the panel is shown.
  study::Design engineShown() const;
  // The design panel's working cycle of the design shown, where it asks for one and it has run.
  const cycle::ModelledDesign* modelShown() const;
  // Whether the design shown asks for the working cycle and its model has not come: the saves
  // and Copy, which carry its figures, wait for it.
  bool modelPending() const;
  // The window's volumes in the unit chosen: the panel's where it is shown, else millimetres'
  // cubic centimetres.
  void followUnit();
  // Whether the boxes or the scroll bar now hold other values than the figures' engine, and
  // where they do, the line that says so.
  void updateStale();
  // An animation frame is on screen: the Cycle page marks the shaft's angle.
  void frameShown();
  std::chrono::steady_clock::time_point lastMark_{};
  std::chrono::milliseconds markInterval_{40};
  // Asks for a file by the dialog, offering the formats of `filters`, and saves into it.
  // `kind` names the file beside the engine ("results").
  void askAndSave(const QString& title, const QList<Filter>& filters, const QString& kind = "",
                  bool solids = false);
  // Which engine the saves take, as the dialogs' titles name it.
  QString savedEngine() const;
  // The companion's options the saves and Copy take from the design panel while it is shown.
  // Why the saves (and with `realValuesCount`, those of the real engine and Copy) cannot take
  // the panel's design: the rule it breaks; empty when it breaks none, or the panel is hidden.
  QString panelRefusal(bool realValuesCount) const;
  void showMethod();
  void showAbout();

  Form1& form_;
  Program& program_;
  DesignPanel* panel_ = nullptr;
  FileQuestion askFile_;
  FilesQuestion askFiles_;
  std::function<void(const QString&)> complain_;
  QString lastFolder_;
};

}  // namespace rotary::app
