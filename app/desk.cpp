#include "desk.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMessageBox>
#include <QScrollBar>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <numbers>

#include "method_browser.h"
#include "output_file.h"
#include "results_table.h"
#include "solid_files.h"
#include "solids.h"

namespace rotary::app {
namespace {}  // namespace

struct Desk::Filter {
  QString text;
  QString extension;
  WindowFile file;
};

namespace {

using Filter = Desk::Filter;

const QList<Filter> kFigureFilters = {{"SVG image (*.svg)", "svg", WindowFile::kFigureSvg},
                                      {"PDF document (*.pdf)", "pdf", WindowFile::kFigurePdf},
                                      {"PNG image (*.png)", "png", WindowFile::kFigurePng}};
const QList<Filter> kDxfFilters = {{"DXF drawing (*.dxf)", "dxf", WindowFile::kDxf}};
const QList<Filter> kProfileFilters = {{"CSV table (*.csv)", "csv", WindowFile::kProfiles}};
const QList<Filter> kCurveFilters = {{"CSV table (*.csv)", "csv", WindowFile::kVolumeCurve}};
const QList<Filter> kCycleChartFilters = {{"SVG image (*.svg)", "svg", WindowFile::kCycleChartSvg},
                                          {"PNG image (*.png)", "png", WindowFile::kCycleChartPng}};
const QList<Filter> kModelFilters = {
    {"CSV table of the last cycle (*.csv)", "csv", WindowFile::kModelCurve},
    {"SVG chart (*.svg)", "svg", WindowFile::kModelChartSvg},
    {"PNG chart (*.png)", "png", WindowFile::kModelChartPng}};
// Not files of one content each: Export Solids writes them itself.
const QList<Filter> kSolidFilters = {{"STEP assembly (*.step)", "step", WindowFile::kFigureSvg},
                                     {"STL, a file a part (*.stl)", "stl", WindowFile::kFigureSvg}};
const QList<Filter> kResultFilters = {{"CSV table (*.csv)", "csv", WindowFile::kResultsCsv},
                                      {"JSON (*.json)", "json", WindowFile::kResultsJson}};

QString withFullStop(const std::string& text) {
  QString said = QString::fromStdString(text);
  return said.endsWith('.') ? said : said + '.';
}

// Where the method's description lies: installed beside the program's share folder, or in the
// source tree of a build that was not installed.
QString methodFile() {
  const QString installed =
      QCoreApplication::applicationDirPath() + "/../share/doc/rotary-ratio/method.md";
  if (QFileInfo::exists(installed)) return installed;
  return ROTARY_DOCS_FOLDER "/method.md";
}

}  // namespace

Desk::Desk(Form1& form, Program& program) : form_(form), program_(program) {
  panel_ = new DesignPanel;
  form_.setSidePanel(panel_);
  askFile_ = [this](const QString& title, const QString& proposed, const QString& filters,
                    QString& filter) {
    // Qt's own dialog: the same on every desktop, and it hands back the filter chosen.
    return QFileDialog::getSaveFileName(&form_, title, proposed, filters, &filter,
                                        QFileDialog::DontUseNativeDialog);
  };
  complain_ = [this](const QString& text) {
    // Titled by what failed: a save, or the ports being opened.
    QMessageBox::warning(&form_, text.startsWith("Cannot open the ports") ? "Open Ports" : "Save",
                         text);
  };
  askFiles_ = [this](const QString& title) {
    return QFileDialog::getOpenFileNames(&form_, title, lastFolder_,
                                         "Port outlines (*.dxf *.csv);;DXF drawing (*.dxf);;CSV "
                                         "points (*.csv)",
                                         nullptr, QFileDialog::DontUseNativeDialog);
  };

  const Menus& menus = form_.menus();
  connect(menus.saveFigure, &QAction::triggered, this,
          [this] { askAndSave("Save Figure", kFigureFilters); });
  connect(menus.exportDxf, &QAction::triggered, this,
          [this] { askAndSave("Export CAD Outlines", kDxfFilters); });
  connect(menus.exportProfiles, &QAction::triggered, this,
          [this] { askAndSave("Export Profiles", kProfileFilters); });
  connect(menus.exportResults, &QAction::triggered, this,
          [this] { askAndSave("Export Results", kResultFilters, "results"); });
  connect(menus.exportVolumeCurve, &QAction::triggered, this,
          [this] { askAndSave("Export Volume Curve", kCurveFilters, "volume-curve"); });
  connect(menus.saveCycleChart, &QAction::triggered, this,
          [this] { askAndSave("Save Cycle Chart", kCycleChartFilters, "cycle"); });
  connect(menus.saveCycleModel, &QAction::triggered, this,
          [this] { askAndSave("Save Cycle Model", kModelFilters, "cycle-model"); });
  connect(menus.exportSolids, &QAction::triggered, this,
          [this] { askAndSave("Export Solids", kSolidFilters, "", true); });
  connect(menus.openIntakePorts, &QAction::triggered, this,
          [this] { openPorts(PortRole::kIntake); });
  connect(menus.openExhaustPorts, &QAction::triggered, this,
          [this] { openPorts(PortRole::kExhaust); });
  connect(menus.clearPorts, &QAction::triggered, this, [this] { panel_->clearPorts(); });
  connect(menus.quit, &QAction::triggered, this, [this] { program_.end(); });
  connect(menus.copyResults, &QAction::triggered, this, [this] {
    const QString text = resultsToCopy();
    if (!text.isEmpty()) QApplication::clipboard()->setText(text);
  });
  connect(menus.designPanel, &QAction::toggled, this, [this](bool shown) {
    form_.showSidePanel(shown);
    if (shown) {
      panel_->input(study::Field::kSealOffset)->setFocus();
    } else if (QWidget* focus = QApplication::focusWidget();
               !focus || panel_->isAncestorOf(focus)) {
      // The keyboard goes back to the client area rather than to a hidden field.
      form_.text(1)->setFocus();
    }
    followUnit();
    updateActions();
  });
  connect(panel_, &DesignPanel::unitChanged, this, &Desk::followUnit);
  connect(menus.method, &QAction::triggered, this, &Desk::showMethod);
  connect(menus.about, &QAction::triggered, this, &Desk::showAbout);
  connect(panel_, &DesignPanel::outcomeChanged, this, &Desk::updateActions);
  connect(panel_->cycleModel(), &CycleModelPage::modelledChanged, this, &Desk::updateActions);

  program_.adapter().changed = [this] { cycleChanged(); };
  program_.adapter().frameShown = [this] { frameShown(); };
  for (int n = 1; n <= 6; ++n) form_.text(n)->installEventFilter(this);
  for (int n = 1; n <= 3; ++n) {
    connect(form_.text(n), &QLineEdit::textChanged, this, &Desk::updateStale);
  }
  connect(form_.vscroll1(), &QScrollBar::valueChanged, this, &Desk::updateStale);
  updateActions();
}

Desk::~Desk() {
  program_.adapter().changed = nullptr;
  program_.adapter().frameShown = nullptr;
}

void Desk::cycleChanged() {
  if (figuresShown()) {
    const study::Design engine = program_.adapter().engineRead();
    const auto& current = panel_->engine();
    if (!current || current->eccentricity != engine.eccentricity ||
        current->rotorRadius != engine.rotorRadius ||
        current->chamberWidth != engine.chamberWidth) {
      panel_->setEngine(engine);
    }
  }
  updateStale();
  updateActions();
}

void Desk::frameShown() {
  // Only where it can be seen, and no more often than the eye follows: a chart's repaint costs
  // more than a frame of the animation.
  CycleChart* chart = panel_->cycleChart();
  EngineView* view = panel_->engineView();
  if (!chart->isVisible() && !view->isVisible()) return;
  const auto now = std::chrono::steady_clock::now();
  if (now - lastMark_ < markInterval_) return;
  lastMark_ = now;
  // The shaft turns one and a half times the chamber's motion angle.
  const double motion = program_.cycle().state().animationAngle;
  const double shaft = 1.5 * motion * 180 / std::numbers::pi;
  if (chart->isVisible()) chart->setShaftAngle(shaft);
  if (view->isVisible()) view->setShaftAngle(shaft);
}

void Desk::updateStale() {
  QString line;
  if (figuresShown()) {
    const study::Design engine = program_.adapter().engineRead();
    // A box the window reformatted ("80.0" shown as "80") holds the value it read.
    const auto other = [](const QLineEdit* box, const study::TypedNumber& read) {
      const study::TypedNumber typed(box->text().toStdString());
      return typed.number && read.number ? *typed.number != *read.number : typed != read;
    };
    const bool typedOther = other(form_.text(1), engine.eccentricity) ||
                            other(form_.text(2), engine.rotorRadius) ||
                            other(form_.text(3), engine.chamberWidth);
    const bool stepsOther = form_.vscroll1()->value() != engine.steps;
    if (typedOther || stepsOther) {
      line = QString("figures for e = %1, R = %2, W = %3; press recalculate for the values typed")
                 .arg(QString::fromStdString(engine.eccentricity.shown()),
                      QString::fromStdString(engine.rotorRadius.shown()),
                      QString::fromStdString(engine.chamberWidth.shown()));
    }
  }
  form_.messageArea()->setStale(line);
  panel_->setStale(!line.isEmpty());
}

bool Desk::figuresShown() const {
  return program_.cycle().state().figures.has_value();
}

bool Desk::somethingToCopy() const {
  // Without figures, the shape's exact limit alone, where it has one.
  const CycleState& state = program_.cycle().state();
  return figuresShown() || (state.exact && state.exact->hasFigures());
}

bool Desk::takesRealEngine() const {
  return form_.sidePanelShown() && panel_->realGiven();
}

const study::DesignOutcome* Desk::realEngine() const {
  if (!takesRealEngine() || !panel_->outcome()) return nullptr;
  return &*panel_->outcome();
}

QString Desk::whyNoSave(bool needsRealEngineReady) const {
  if (!figuresShown()) {
    return form_.messageArea()->text().isEmpty() || form_.messageArea()->isNote()
               ? "No figures to save while the sweep is under way."
               : "No figures to save: the window shows a message instead.";
  }
  if (const QString why = panelRefusal(needsRealEngineReady); !why.isEmpty()) return why;
  if (needsRealEngineReady && modelPending()) {
    return "The design panel's working cycle is still being computed.";
  }
  if (needsRealEngineReady && takesRealEngine()) {
    if (!panel_->outcome()) {
      return "The design panel's real engine is still being computed.";
    }
    if (!panel_->outcome()->message.empty()) {
      return "The design panel refuses its values: " +
             QString::fromStdString(panel_->outcome()->message);
    }
  }
  return "";
}

void Desk::updateActions() {
  const Menus& menus = form_.menus();
  const auto enable = [](QAction* action, const QString& why) {
    action->setEnabled(why.isEmpty());
    action->setToolTip(why.isEmpty() ? action->text().remove('&').remove("...") : why);
  };
  enable(menus.saveFigure, whyNoSave(true));
  enable(menus.exportDxf, whyNoSave(true));
  enable(menus.exportResults, whyNoSave(true));
  enable(menus.exportVolumeCurve, whyNoSave(true));
  enable(menus.saveCycleChart, whyNoSave(true));
  enable(menus.exportSolids, whyNoSave(true));
  QString whyNoModel = whyNoSave(true);
  if (whyNoModel.isEmpty() && !modelShown()) {
    whyNoModel = "Type a cycle speed on the design panel's Cycle model page to run the model.";
  }
  if (const auto* model = modelShown(); whyNoModel.isEmpty() && !model->figures()) {
    whyNoModel = "The model has no figures: " + withFullStop(model->why());
  }
  enable(menus.saveCycleModel, whyNoModel);
  for (QAction* ports : {menus.openIntakePorts, menus.openExhaustPorts, menus.clearPorts}) {
    enable(ports, "");
  }
  // The profiles are the sweep's own, whatever the real engine.
  enable(menus.exportProfiles, whyNoSave(false));
  QString whyNoCopy =
      somethingToCopy() ? "" : "Nothing to copy: no figures, and no exact limit of the shape.";
  if (const QString why = panelRefusal(true); whyNoCopy.isEmpty() && !why.isEmpty()) {
    whyNoCopy = why;
  }
  if (whyNoCopy.isEmpty() && modelPending()) {
    whyNoCopy = "The design panel's working cycle is still being computed.";
  }
  enable(menus.copyResults, whyNoCopy);
}

QString Desk::resultsToCopy() const {
  const CycleState& state = program_.cycle().state();
  const bool figures = figuresShown();
  if (!somethingToCopy() || !form_.menus().copyResults->isEnabled()) return "";
  study::EngineRow row;
  if (const study::DesignOutcome* real = realEngine(); real && figures) row = real->row;
  row.input = row.input.real ? row.input : engineShown();
  row.input.steps = figures ? row.input.steps : 0;
  if (figures) row.figures = state.figures;
  row.exact = state.exact;
  if (!row.input.real) study::addChamberFigures(row);
  if (const cycle::ModelledDesign* model = modelShown()) {
    row.cycle = model->figures();
    row.cycleMessage = model->why();
  }
  return QString::fromStdString(formats::tabSeparatedRow(row));
}

void Desk::openPorts(PortRole role) {
  const QString title = role == PortRole::kIntake ? "Open Intake Ports" : "Open Exhaust Ports";
  const QStringList paths = askFiles_(title + ": " + savedEngine());
  if (paths.isEmpty()) return;
  if (!form_.sidePanelShown()) form_.menus().designPanel->setChecked(true);
  if (const QString why = panel_->addPorts(role, paths); !why.isEmpty()) {
    complain_("Cannot open the ports: " + withFullStop(why.toStdString()));
  }
}

bool Desk::save(WindowFile file, const QString& path) {
  const QString name = QFileInfo(path).fileName();
  const auto fail = [&](const QString& why) {
    complain_("Cannot save " + name + ": " + why);
    return false;
  };
  const bool drawsRealEngine = file != WindowFile::kProfiles;
  if (const QString why = whyNoSave(drawsRealEngine); !why.isEmpty()) return fail(why);
  formats::OutputFile output(path.toStdString());
  if (!output.ok()) return fail(withFullStop(output.error()));
  std::string content, error;
  const study::DesignOutcome* real = drawsRealEngine ? realEngine() : nullptr;
  if (!windowFileContent(file, engineShown(), real, content, error,
                         {modelShown(), takesRealEngine()})) {
    return fail(withFullStop(error));
  }
  if (!output.write(content)) return fail(withFullStop(output.error()));
  lastFolder_ = QFileInfo(path).absolutePath();
  return true;
}

bool Desk::saveSolids(const QString& path, bool stl) {
  const QString name = QFileInfo(path).fileName();
  const auto fail = [&](const QString& why) {
    complain_("Cannot save " + name + ": " + why);
    return false;
  };
  if (const QString why = whyNoSave(true); !why.isEmpty()) return fail(why);
  // The real engine's row where the panel has one, with its pocket; else the engine shown, as
  // the companion builds it without the real engine's values.
  study::EngineRow row;
  if (const study::DesignOutcome* real = realEngine()) {
    row = real->row;
  } else {
    row.input = engineShown();
  }
  row.input.solids = true;
  if (const auto refusal = study::refusalOf(row.input, study::Face::kWindow)) {
    return fail(withFullStop(refusal->message));
  }
  std::string why;
  const solids::Solids* maker = solids::loadSolids(why);
  if (!maker) return fail(withFullStop(why));
  const std::optional<std::string> step =
      stl ? std::nullopt : std::optional<std::string>(path.toStdString());
  const std::optional<std::string> stlPath =
      stl ? std::optional<std::string>(path.toStdString()) : std::nullopt;
  const solids::SolidsRequest request = solids::requestFor(step, false, stlPath, row.input.unit);
  solids::SolidsResult made;
  {
    // A third of a second to a second: the user sees that it works.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool built = maker->build(solids::solidEngineOf(row), request, made, why);
    QApplication::restoreOverrideCursor();
    if (!built) return fail(withFullStop(why));
  }
  if (!solids::writeSolidFiles(solids::solidFilePaths(step, false, stlPath), made, why)) {
    return fail(withFullStop(why));
  }
  if (form_.sidePanelShown()) panel_->setSolidFigures(made.figures);
  lastFolder_ = QFileInfo(path).absolutePath();
  return true;
}

bool Desk::modelPending() const {
  if (!form_.sidePanelShown() || !engineShown().hasCycle()) return false;
  const CycleModelPage& page = *panel_->cycleModel();
  return page.computing() || !page.modelled();
}

const cycle::ModelledDesign* Desk::modelShown() const {
  if (!form_.sidePanelShown() || !engineShown().hasCycle()) return nullptr;
  const auto& modelled = panel_->cycleModel()->modelled();
  return modelled ? &modelled->model : nullptr;
}

study::Design Desk::engineShown() const {
  const study::Design engine = program_.adapter().engineRead();
  return form_.sidePanelShown() ? panel_->design(engine) : engine;
}

QString Desk::panelRefusal(bool realValuesCount) const {
  if (!form_.sidePanelShown()) return "";
  const auto refused = panel_->refusal();
  if (!refused) return "";
  using study::Field;
  if (refused->field == Field::kGearModule) {
    return "The design panel refuses its gear module: " + QString::fromStdString(refused->message);
  }
  // The profiles are the sweep's own: the real engine's values do not reach them.
  const bool realValue = refused->field == Field::kSealOffset ||
                         refused->field == Field::kClearance || refused->field == Field::kRecess ||
                         refused->field == Field::kTargetRatio;
  if (realValue && (!realValuesCount || !panel_->realGiven())) return "";
  return "The design panel refuses its values: " + QString::fromStdString(refused->message);
}

void Desk::followUnit() {
  const double divisor =
      form_.sidePanelShown() ? panel_->unit().volumeDivisor : kWindowVolumeDivisor;
  Cycle& cycle = program_.cycle();
  if (divisor == cycle.volumeDivisor()) return;
  cycle.setVolumeDivisor(divisor);
  // The figures shown are the old unit's volumes: the cycle starts over in the new one, as the
  // button would start it.
  if (!cycle.flags().restartRequested()) form_.command1()->click();
}

QString Desk::savedEngine() const {
  const study::Design engine = program_.adapter().engineRead();
  QString named = QString("e = %1, R = %2, W = %3")
                      .arg(QString::fromStdString(engine.eccentricity.shown()),
                           QString::fromStdString(engine.rotorRadius.shown()),
                           QString::fromStdString(engine.chamberWidth.shown()));
  if (const study::DesignOutcome* real = realEngine()) {
    const study::Design& values = real->row.input;
    named += QString(", A = %1, C = %2, V = %3")
                 .arg(QString::fromStdString(values.sealOffset.shown()),
                      QString::fromStdString(values.clearance.shown()),
                      QString::fromStdString(values.recess.shown()));
  }
  return named;
}

void Desk::askAndSave(const QString& action, const QList<Filter>& all, const QString& kind,
                      bool solids) {
  // The title names the engine whose figures stand: the one saved, whatever is typed since.
  const QString title = action + ": " + savedEngine();
  QStringList texts;
  for (const Filter& filter : all) texts << filter.text;
  const QString folder = lastFolder_.isEmpty() ? QDir::currentPath() : lastFolder_;
  const QString proposed = folder + "/" +
                           QString::fromStdString(proposedFileName(
                               program_.adapter().engineRead(), all.front().extension.toStdString(),
                               kind.toStdString()));
  QString chosen = texts.front();
  QString path = askFile_(title, proposed, texts.join(";;"), chosen);
  if (path.isEmpty()) return;
  // The extension names the format where it names one of the dialog's; otherwise the filter
  // does, and a name without any extension gets the filter's.
  const Filter* format = nullptr;
  for (const Filter& filter : all) {
    if (QFileInfo(path).suffix().compare(filter.extension, Qt::CaseInsensitive) == 0) {
      format = &filter;
    }
  }
  if (!format) {
    format = &all.front();
    for (const Filter& filter : all) {
      if (filter.text == chosen) format = &filter;
    }
    if (QFileInfo(path).suffix().isEmpty()) path += "." + format->extension;
  }
  if (solids) {
    saveSolids(path, format->extension == "stl");
    return;
  }
  save(format->file, path);
}

bool Desk::eventFilter(QObject* watched, QEvent* event) {
  // Ctrl+C in a text box with nothing selected copies the results, not an empty selection.
  if (event->type() == QEvent::ShortcutOverride) {
    auto* key = static_cast<QKeyEvent*>(event);
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (box && key->matches(QKeySequence::Copy) && !box->hasSelectedText()) {
      event->ignore();
      return true;
    }
  }
  return QObject::eventFilter(watched, event);
}

void Desk::showMethod() {
  auto* dialog = new QDialog(&form_);
  dialog->setObjectName("MethodDialog");
  dialog->setWindowTitle("Method");
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  auto* browser = new MethodBrowser(dialog);
  browser->setObjectName("MethodText");
  browser->setOpenExternalLinks(true);
  auto* layout = new QVBoxLayout(dialog);
  layout->addWidget(browser);
  dialog->resize(760, 640);
  QFile file(methodFile());
  if (file.open(QIODevice::ReadOnly)) {
    // Its figures lie beside it, named relative to it.
    browser->showMarkdown(QString::fromUtf8(file.readAll()), QFileInfo(file).absolutePath());
  } else {
    browser->setPlainText("The description of the method is not at " + file.fileName() + ": " +
                          file.errorString() + ".");
  }
  dialog->show();
}

void Desk::showAbout() {
  QMessageBox::about(
      &form_, "About rotary-window",
      "<p><b>rotary-window " ROTARY_VERSION
      "</b></p>"
      "<p>Finds the compression-ratio limit of a rotary engine whose three-flank rotor turns "
      "inside a two-lobe epitrochoidal housing, and the real engine with seal offset, clearance "
      "and recess.</p>"
      "<p>Licence: proprietary; all rights reserved.</p>"
      "<p>Built with Qt " QT_VERSION_STR
      " (Widgets, SVG, Concurrent), dxflib, nlohmann-json "
      "and Boost.Math.</p>");
}

}  // namespace rotary::app
