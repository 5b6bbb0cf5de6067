#include "design_panel.h"

#include <QFileInfo>
#include <QFormLayout>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QtConcurrent>

#include "chamber_values.h"
#include "exact_limit.h"
#include "number_text.h"
#include "port_file.h"
#include "port_values.h"
#include "results_table.h"
#include "typed_fields.h"
#include "vector_state.h"

namespace rotary::app {
namespace {

// The pause after a key within which the keys that follow are taken together.
constexpr int kSettleMilliseconds = 20;

using study::Field;

constexpr Field kFields[] = {Field::kSealOffset,  Field::kClearance, Field::kRecess,
                             Field::kTargetRatio, Field::kRpm,       Field::kGamma};
// The real engine's values among them: any of these typed asks for it.
constexpr std::size_t kRealValues = 4;
// %L stands for the unit of length, %V for the volumes'.
constexpr const char* kInputNames[] = {"seal offset A (%L)", "clearance C (%L)",
                                       "recess V (%V)",      "target ratio X",
                                       "shaft speed (rpm)",  "gamma (ideal cycle)"};
constexpr const char* kObjectNames[] = {"SealOffset",  "Clearance",  "Recess",
                                        "TargetRatio", "ShaftSpeed", "Gamma"};
constexpr const char* kFigureNames[] = {"chamber capacity (%V)",
                                        "dead volume (%V)",
                                        "compression ratio",
                                        "recess for the target (%V)",
                                        "S/V at TDC (per %L)",
                                        "ideal Otto efficiency",
                                        "apex seal sliding on the bore (m/s)",
                                        "apex seal inertia (N per gram)",
                                        "recess pocket"};
constexpr const char* kDesignerNames[] = {"K",
                                          "displacement (%V)",
                                          "largest seal lean (degrees)",
                                          "bore axes (%L)",
                                          "gear pitch radii (%L)",
                                          "gear teeth",
                                          "exact limit (%V, %V, ratio)"};
constexpr const char* kUnits[] = {"mm", "cm", "m", "in"};
// The seal's figures read as sentences: each under its name, the panel's width for it.
constexpr std::size_t kFirstFigureUnderItsName = 6;

// As the companion's text gives them.
QString sixDigits(double value) {
  return QString::fromStdString(significantDigits(value, 6));
}

}  // namespace

DesignPanel::DesignPanel(QWidget* parent) : QWidget(parent) {
  setObjectName("DesignPanel");
  setAccessibleName("design panel");

  // The values on top, where F2 puts the keyboard, with the engine they are for; under them the
  // pages: the engine drawn, its figures, and its chamber over the cycle.
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(6, 4, 6, 4);
  outer->setSpacing(4);
  auto* title = new QLabel("<b>Real engine</b>", this);
  outer->addWidget(title);
  caption_ = new QLabel("no engine with figures yet", this);
  caption_->setObjectName("DesignCaption");
  caption_->setWordWrap(true);
  outer->addWidget(caption_);

  // The values in one column, in the order the Tab key takes them: the real engine's, then the
  // designer's.
  auto* inputs = new QFormLayout;
  inputs->setVerticalSpacing(2);
  inputs->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
  for (std::size_t n = 0; n < inputs_.size(); ++n) {
    inputs_[n] = new QLineEdit(this);
    inputs_[n]->setObjectName(kObjectNames[n]);
    inputs_[n]->setPlaceholderText("not given");
    inputLabels_[n] = new QLabel(this);
    inputLabels_[n]->setBuddy(inputs_[n]);
    inputs->addRow(inputLabels_[n], inputs_[n]);
    connect(inputs_[n], &QLineEdit::textChanged, this, &DesignPanel::typed);
  }
  rotors_ = new QSpinBox(this);
  rotors_->setObjectName("Rotors");
  rotors_->setAccessibleName("rotors");
  rotors_->setRange(1, study::kMostRotors);
  inputs->addRow("rotors", rotors_);
  module_ = new QLineEdit(this);
  module_->setObjectName("GearModule");
  module_->setPlaceholderText("not given");
  moduleLabel_ = new QLabel(this);
  moduleLabel_->setBuddy(module_);
  inputs->addRow(moduleLabel_, module_);
  for (std::size_t n = 0; n < peripheral_.size(); ++n) {
    peripheral_[n] = new QLineEdit(this);
    peripheral_[n]->setObjectName(n == 0 ? "PeripheralIntake" : "PeripheralExhaust");
    peripheral_[n]->setPlaceholderText("FROM,TO,WIDTH");
    peripheral_[n]->setToolTip(
        "A window in the bore: two polar angles in degrees, counterclockwise from the first, and "
        "its width along the shaft");
    peripheralLabels_[n] = new QLabel(n == 0 ? "peripheral intake" : "peripheral exhaust", this);
    peripheralLabels_[n]->setBuddy(peripheral_[n]);
    peripheral_[n]->setAccessibleName(peripheralLabels_[n]->text());
    inputs->addRow(peripheralLabels_[n], peripheral_[n]);
    connect(peripheral_[n], &QLineEdit::textChanged, this, &DesignPanel::typed);
  }
  for (std::size_t n = 0; n < shape_.size(); ++n) {
    shape_[n] = new QLineEdit(this);
    shape_[n]->setObjectName(n == 0 ? "RecessPocket" : "ApexSlot");
    shape_[n]->setPlaceholderText(n == 0 ? "LENGTH,WIDTH,LEAD" : "WIDTH,DEPTH");
    shape_[n]->setToolTip(
        n == 0 ? "The recess as a pocket in each flank: its length along the flank, its width "
                 "across the rotor, and how far it leans toward the leading apex; its depth "
                 "holds the recess, or the target's"
               : "The apex seals' slots in the rotor: their width, and their depth from the "
                 "rotor's tip");
    shapeLabels_[n] = new QLabel(this);
    shapeLabels_[n]->setBuddy(shape_[n]);
    inputs->addRow(shapeLabels_[n], shape_[n]);
    connect(shape_[n], &QLineEdit::textChanged, this, &DesignPanel::typed);
  }
  unit_ = new QComboBox(this);
  unit_->setObjectName("LengthUnit");
  unit_->setAccessibleName("unit of length");
  for (const char* unit : kUnits) unit_->addItem(unit);
  auto* unitLabel = new QLabel("unit of length", this);
  unitLabel->setBuddy(unit_);
  inputs->addRow(unitLabel, unit_);
  outer->addLayout(inputs);

  hint_ = new QLabel(
      "Type a seal offset, a clearance, a recess or a target ratio: the real engine's figures "
      "follow as you type, and Save, Export and Copy take the real engine.",
      this);
  hint_->setObjectName("DesignHint");
  hint_->setWordWrap(true);
  hint_->setStyleSheet("color: #707070");
  outer->addWidget(hint_);
  refusal_ = new QLabel(this);
  refusal_->setObjectName("DesignRefusal");
  refusal_->setWordWrap(true);
  refusal_->setStyleSheet("color: #c00000");
  outer->addWidget(refusal_);

  tabs_ = new QTabWidget(this);
  tabs_->setObjectName("DesignTabs");
  outer->addWidget(tabs_, 1);
  engineView_ = new EngineView;
  tabs_->addTab(engineView_, "Engine");
  auto* figuresPage = new QWidget;
  // Taller than the page with every note shown: it scrolls rather than clips.
  auto* scroll = new QScrollArea;
  scroll->setWidget(figuresPage);
  scroll->setWidgetResizable(true);
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  tabs_->addTab(scroll, "Figures");
  cycle_ = new CycleChart;
  tabs_->addTab(cycle_, "Cycle");
  model_ = new CycleModelPage;
  tabs_->addTab(model_, "Cycle model");
  connect(model_, &CycleModelPage::edited, this, &DesignPanel::typed);
  auto* column = new QVBoxLayout(figuresPage);

  auto* results = new QFormLayout;
  for (std::size_t n = 0; n < figures_.size(); ++n) {
    figures_[n] = new QLabel(this);
    figures_[n]->setObjectName(QString("DesignFigure%1").arg(n + 1));
    figures_[n]->setTextInteractionFlags(Qt::TextSelectableByMouse);
    figureLabels_[n] = new QLabel(this);
    if (n < kFirstFigureUnderItsName) {
      results->addRow(figureLabels_[n], figures_[n]);
    } else {
      figures_[n]->setWordWrap(true);
      figureLabels_[n]->setWordWrap(true);
      results->addRow(figureLabels_[n]);
      results->addRow(figures_[n]);
    }
  }
  column->addLayout(results);

  // The designer's figures, of the engine shown or its real engine.
  auto* designerTitle = new QLabel("<b>Designer's figures</b>", this);
  column->addWidget(designerTitle);
  auto* designerFigures = new QFormLayout;
  for (std::size_t n = 0; n < designer_.size(); ++n) {
    designer_[n] = new QLabel(this);
    designer_[n]->setObjectName(QString("DesignerFigure%1").arg(n + 1));
    designer_[n]->setTextInteractionFlags(Qt::TextSelectableByMouse);
    designer_[n]->setWordWrap(true);
    designerLabels_[n] = new QLabel(this);
    designerFigures->addRow(designerLabels_[n], designer_[n]);
  }
  column->addLayout(designerFigures);
  designerNote_ = new QLabel(this);
  designerNote_->setObjectName("DesignerNote");
  designerNote_->setWordWrap(true);
  column->addWidget(designerNote_);
  solidFigures_ = new QLabel(this);
  solidFigures_->setObjectName("SolidFigures");
  solidFigures_->setAccessibleName("solids' mass properties");
  solidFigures_->setWordWrap(true);
  solidFigures_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  column->addWidget(solidFigures_);
  portTiming_ = new QLabel(this);
  portTiming_->setObjectName("PortTiming");
  portTiming_->setAccessibleName("port timing");
  portTiming_->setWordWrap(true);
  portTiming_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  column->addWidget(portTiming_);
  column->addStretch();
  // The rotors and the module are the design's as much as the real engine's values: the figures
  // of the design follow them, and a refused module keeps the saves from dropping it.
  connect(rotors_, &QSpinBox::valueChanged, this, &DesignPanel::typed);
  connect(module_, &QLineEdit::textChanged, this, &DesignPanel::typed);
  connect(unit_, &QComboBox::currentIndexChanged, this, [this] {
    nameInUnits();
    // The volumes and the speeds of the engine typed change with its unit.
    recompute();
    emit unitChanged();
  });
  nameInUnits();
  // Long enough to span a typist's keys, short enough that the figures follow within 50 ms.
  settle_.setSingleShot(true);
  settle_.setInterval(kSettleMilliseconds);
  connect(&settle_, &QTimer::timeout, this, [this] {
    if (!settlePending_) return;
    settlePending_ = false;
    recompute();
  });

  connect(&figuresWatcher_, &QFutureWatcher<std::pair<long, study::DesignOutcome>>::finished, this,
          [this] {
            const auto& [request, outcome] = figuresWatcher_.result();
            // Stale, or the whole computation came first.
            if (request != request_ || !computing_ || !realGiven()) return;
            showOutcome(outcome, false);
          });
  connect(&watcher_, &QFutureWatcher<Computed>::finished, this, [this] {
    const Computed computed = watcher_.result();
    if (computed.request != request_) return;  // values typed since; theirs is on its way
    computing_ = false;
    if (realGiven()) {
      showOutcome(computed.outcome);
      cycle_->setCurve(computed.curve);
      engineView_->setOutlines(computed.outlines);
    }
    engineView_->setPorts(computed.shown);
    portTiming_->setText(computed.timing ? QString::fromStdString(formats::portTimingText(
                                               ports(), *computed.timing, unit().name))
                                         : QString());
    portTiming_->setAccessibleDescription(portTiming_->text());
    emit outcomeChanged();
  });
}

QLineEdit* DesignPanel::input(Field field) const {
  for (std::size_t n = 0; n < inputs_.size(); ++n) {
    if (kFields[n] == field) return inputs_[n];
  }
  return nullptr;
}

bool DesignPanel::realGiven() const {
  for (std::size_t n = 0; n < kRealValues; ++n) {
    if (!inputs_[n]->text().trimmed().isEmpty()) return true;
  }
  return false;
}

study::Design DesignPanel::design(const study::Design& engine) const {
  study::Design design = engine;
  const auto typed = typedText;
  // The window's own unit, millimetres, is the companion's without --units.
  design.unit = unit_->currentIndex() == 0 ? "" : unit().name;
  design.real = realGiven();
  const auto orZero = [](const std::string& text) { return text.empty() ? "0" : text; };
  design.sealOffset = orZero(typed(input(Field::kSealOffset)));
  design.clearance = orZero(typed(input(Field::kClearance)));
  design.recess = typed(input(Field::kRecess));
  design.targetRatio = typed(input(Field::kTargetRatio));
  design.rpm = typed(input(Field::kRpm));
  if (const std::string gamma = typed(input(Field::kGamma)); !gamma.empty()) design.gamma = gamma;
  design.rotors = std::to_string(rotors_->value());
  design.gearModule = typed(module_);
  splitTyped(shape_[0], {&design.pocketLength, &design.pocketWidth, &design.pocketLead});
  splitTyped(shape_[1], {&design.apexSlotWidth, &design.apexSlotDepth});
  model_->fillDesign(design);
  const std::vector<PortDefinition> all = ports();
  design.ports = all.empty() ? nullptr : std::make_shared<const std::vector<PortDefinition>>(all);
  return design;
}

study::Design DesignPanel::design() const {
  return design(engine_.value_or(study::Design{}));
}

std::optional<study::Refusal> DesignPanel::refusal() const {
  return study::refusalOf(design(), study::Face::kWindow);
}

QString DesignPanel::addPorts(PortRole role, const QStringList& paths) {
  std::vector<PortDefinition> added;
  for (const QString& path : paths) {
    std::string why;
    const auto port =
        formats::readSidePort(role, path.toStdString(), QFileInfo(path).fileName().toStdString(),
                              study::Face::kWindow, why);
    if (!port) return QString::fromStdString(why);
    // Judged by the design's rules, as the companion judges it, with the real engine typed
    // where its values are numbers.
    study::Design trial = design();
    if (study::refusalOf(trial, study::Face::kWindow)) trial.real = false;
    trial.ports = std::make_shared<const std::vector<PortDefinition>>(1, *port);
    if (const auto refused = study::refusalOf(trial, study::Face::kWindow);
        refused &&
        (refused->field == Field::kIntakePort || refused->field == Field::kExhaustPort)) {
      return QString::fromStdString(refused->message);
    }
    added.push_back(*port);
  }
  ports_.insert(ports_.end(), added.begin(), added.end());
  recompute();
  return "";
}

std::vector<PortDefinition> DesignPanel::ports(std::string* refusal) const {
  std::vector<PortDefinition> all = ports_;
  for (std::size_t n = 0; n < peripheral_.size(); ++n) {
    const std::string text = peripheral_[n]->text().trimmed().toStdString();
    if (text.empty()) continue;
    const std::string field = peripheralLabels_[n]->text().toStdString();
    std::string why;
    const PeripheralPort window = study::parsePeripheralPort(field, text, why);
    if (!why.empty()) {
      if (refusal && refusal->empty()) *refusal = why;
      continue;
    }
    all.push_back(PortDefinition::peripheralPort(n == 0 ? PortRole::kIntake : PortRole::kExhaust,
                                                 window, text));
  }
  return all;
}

void DesignPanel::clearPorts() {
  ports_.clear();
  recompute();
}

const study::LengthUnit& DesignPanel::unit() const {
  return study::lengthUnitOf(unit_->currentText().toStdString());
}

QString DesignPanel::inUnits(const char* name) const {
  return QString(name).replace("%L", unit().name).replace("%V", unit().volumeUnit);
}

void DesignPanel::nameInUnits() {
  for (std::size_t n = 0; n < inputs_.size(); ++n) {
    inputLabels_[n]->setText(inUnits(kInputNames[n]));
    inputs_[n]->setAccessibleName(inputLabels_[n]->text());
  }
  for (std::size_t n = 0; n < figures_.size(); ++n) {
    figureLabels_[n]->setText(inUnits(kFigureNames[n]));
    figures_[n]->setAccessibleName(figureLabels_[n]->text());
  }
  for (std::size_t n = 0; n < designer_.size(); ++n) {
    designerLabels_[n]->setText(inUnits(kDesignerNames[n]));
    designer_[n]->setAccessibleName(designerLabels_[n]->text());
  }
  shapeLabels_[0]->setText(inUnits("recess pocket (%L)"));
  shapeLabels_[1]->setText(inUnits("apex slot (%L)"));
  for (std::size_t n = 0; n < shape_.size(); ++n) {
    shape_[n]->setAccessibleName(shapeLabels_[n]->text());
  }
  moduleLabel_->setText(inUnits("gear module (%L)"));
  module_->setAccessibleName(moduleLabel_->text());
  engineView_->setLengthUnit(unit().name);
  cycle_->setUnits(unit().name, unit().volumeUnit);
  model_->setLengthUnit(unit().name);
}

std::string DesignPanel::gearModuleRefusal() const {
  if (module_->text().trimmed().isEmpty() || !engine_) return "";
  const auto refused = refusal();
  return refused && refused->field == Field::kGearModule ? refused->message : "";
}

void DesignPanel::setEngine(const study::Design& engine) {
  engine_ = engine;
  engineCaption_ = QString("for e = %1, R = %2, W = %3")
                       .arg(QString::fromStdString(engine.eccentricity.shown()),
                            QString::fromStdString(engine.rotorRadius.shown()),
                            QString::fromStdString(engine.chamberWidth.shown()));
  caption_->setText(engineCaption_);
  // Its designer's figures come with it.
  recompute();
}

std::optional<RealOutlines> DesignPanel::bareOutlines() const {
  if (!engine_) return std::nullopt;
  const auto &e = engine_->eccentricity.number, &R = engine_->rotorRadius.number,
             &W = engine_->chamberWidth.number;
  // On the window's thread, after Qt has painted: a third of a millisecond once the vector state
  // is cleared, ten times that before.
  clearUpperVectorState();
  if (!e || !R || !W || !realLimit(*e, *R, *W, RealEngine{}).hasFigures()) return std::nullopt;
  return realOutlines(*e, *R, RealEngine{}, drawingChordError(*R));
}

void DesignPanel::updateDesigner() {
  for (QLabel* figure : designer_) figure->clear();
  designerNote_->clear();
  designerNote_->setStyleSheet("");
  if (!engine_) return;
  // The real engine's row where the panel has its figures, else the shape's own.
  study::EngineRow row;
  if (outcome_ && outcome_->hasFigures()) {
    row = outcome_->row;
  } else if (realGiven()) {
    // A real engine typed has no figures yet, or none at all: the shape's would stand for it.
    return;
  } else {
    row.input = design();
  }
  // The shape's exact limit beside the real engine's figures, as the tables give it.
  const auto &e = engine_->eccentricity.number, &R = engine_->rotorRadius.number,
             &W = engine_->chamberWidth.number;
  if (!row.exact && e && R && W) row.exact = exactLimit(*e, *R, *W, row.input.volumeDivisor());
  moduleLabel_->setStyleSheet("");
  if (const std::string why = gearModuleRefusal(); !why.empty()) {
    moduleLabel_->setStyleSheet("color: #c00000");
    designerNote_->setText(QString::fromStdString(why));
    designerNote_->setStyleSheet("color: #c00000");
    return;
  }
  const auto d = formats::designerFiguresOf(row);
  if (!d || !row.exact || !row.exact->hasFigures()) return;
  designer_[0]->setText(QString::fromStdString(
      significantDigits(*engine_->rotorRadius.number / *engine_->eccentricity.number, 6)));
  designer_[1]->setText(sixDigits(d->displacement));
  designer_[2]->setText(sixDigits(d->largestSealLean));
  designer_[3]->setText(QString("%1 by %2").arg(sixDigits(d->majorAxis), sixDigits(d->minorAxis)));
  designer_[4]->setText(
      QString("rotor %1, stationary %2 (3:2)")
          .arg(sixDigits(d->rotorGearRadius), sixDigits(d->stationaryGearRadius)));
  if (d->teeth) {
    designer_[5]->setText(
        QString("%1 and %2").arg(sixDigits(d->teeth->rotor), sixDigits(d->teeth->stationary)));
  }
  const ExactFigures& x = row.exact->figures;
  designer_[6]->setText(
      QString("%1 / %2 / %3")
          .arg(sixDigits(x.capacity), sixDigits(x.deadVolume), sixDigits(x.ratio)));
  for (QLabel* figure : designer_) figure->setAccessibleDescription(figure->text());
  designerNote_->setText(QString::fromStdString(formats::figureNotes(row, false)));
}

void DesignPanel::setStale(bool stale) {
  if (engineCaption_.isEmpty()) return;
  caption_->setText(stale ? engineCaption_ + "; press recalculate for the values typed"
                          : engineCaption_);
}

void DesignPanel::clearFigures() {
  for (QLabel* figure : figures_) figure->clear();
  refusal_->clear();
  for (QLabel* label : inputLabels_) label->setStyleSheet("");
  for (QLabel* label : shapeLabels_) label->setStyleSheet("");
  // Measured for other values.
  solidFigures_->clear();
}

void DesignPanel::setSolidFigures(const study::SolidFigures& f) {
  const QString unit = QString::fromStdString(this->unit().name);
  QString text = QString(
                     "<b>The solids</b>, as exported:<br>rotor %1 %2^3, %3 kg, centre of "
                     "mass %4 %2 off its centre, moment of inertia %5 kg m^2; "
                     "counterweight %6 kg m")
                     .arg(sixDigits(f.rotorVolume), unit, sixDigits(f.rotorMass),
                          sixDigits(f.rotorCentreOffset), sixDigits(f.rotorMomentOfInertia),
                          sixDigits(f.counterweight));
  if (f.eccentricLoad) {
    text += QString(", load on the eccentric %1 N").arg(sixDigits(*f.eccentricLoad));
  }
  text += QString("; the bore's cavity %1 %2^3; curves within %3 %2 of the exact ones")
              .arg(sixDigits(f.housingCavityVolume), unit,
                   QString::fromStdString(significantDigits(f.curveDeviation, 3)));
  solidFigures_->setText(text);
  solidFigures_->setAccessibleDescription(solidFigures_->text());
}

void DesignPanel::typed() {
  // A refusal, and the panel without values, stand at once: they take nothing to find.
  if (!realGiven() || refusal()) {
    recompute();
    return;
  }
  // The first key computes at once; those that follow within the pause are taken together when
  // it ends.
  if (!settle_.isActive()) {
    recompute();
    settle_.start();
    return;
  }
  // Whatever is on its way is for values no longer typed; the saves wait for the new ones.
  settlePending_ = true;
  ++request_;
  outcome_.reset();
  clearFigures();
  hint_->setVisible(false);
  figures_[0]->setText("computing...");
  // The model's figures are for values no longer typed too: its run for these starts now, and
  // the one the pause ends in follows it.
  model_->compute(design());
  updateDesigner();
  settle_.start();
  emit outcomeChanged();
}

void DesignPanel::recompute() {
  // This takes the values as they stand: keys waiting for the pause are in it.
  settlePending_ = false;
  ++request_;
  outcome_.reset();
  computing_ = false;
  clearFigures();
  cycle_->setCurve({});
  const bool realGiven = this->realGiven();
  engineView_->setOutlines(realGiven ? std::nullopt : bareOutlines());
  engineView_->setPorts({});
  portTiming_->clear();
  hint_->setVisible(!realGiven);
  const study::Design design = this->design();
  const study::DesignOutcome checked = study::checkDesign(design);
  // A value the companion would refuse is refused at once, engine or not.
  if (!checked.message.empty()) showOutcome(checked);
  std::string portRefusal;
  const std::vector<PortDefinition> ports = this->ports(&portRefusal);
  for (std::size_t n = 0; n < peripheral_.size(); ++n) {
    const bool refused =
        portRefusal.rfind(peripheralLabels_[n]->text().toStdString() + ":", 0) == 0 ||
        checked.refused == (n == 0 ? Field::kPeripheralIntake : Field::kPeripheralExhaust);
    peripheralLabels_[n]->setStyleSheet(refused ? "color: #c00000" : "");
  }
  if (!portRefusal.empty() && checked.message.empty()) {
    refusal_->setText(QString::fromStdString(portRefusal));
  }
  if (engine_ && checked.message.empty() && (realGiven || !ports.empty())) {
    computing_ = true;
    if (realGiven) figures_[0]->setText("computing...");
    if (!ports.empty()) portTiming_->setText("timing the ports...");
    const long request = request_;
    if (realGiven) {
      // The figures alone first, in a fraction of the curve's time: the ports' timing and the
      // curve follow with the rest.
      study::Design figuresOnly = design;
      figuresOnly.ports = nullptr;
      figuresWatcher_.setFuture(QtConcurrent::run([request, figuresOnly] {
        clearUpperVectorState();
        return std::pair{request, study::designOutcome(figuresOnly)};
      }));
    }
    watcher_.setFuture(QtConcurrent::run([request, design, realGiven, ports] {
      // A pool thread carries whatever vector state the window's drawing left: the sines of
      // the curve would pay for it nine times over.
      clearUpperVectorState();
      Computed computed{request, {}, {}, std::nullopt, std::nullopt, {}};
      const double e = *design.eccentricity.number, R = *design.rotorRadius.number,
                   W = *design.chamberWidth.number;
      RealEngine real{};
      bool figures = false;
      if (realGiven) {
        computed.outcome = study::designOutcome(design);
        if (computed.outcome.hasFigures()) {
          const study::Design& input = computed.outcome.row.input;
          real = input.realEngine();
          figures = true;
          computed.curve = volumeCurve(e, R, W, real, 1, input.volumeDivisor(),
                                       computed.outcome.row.chamberSettings());
          computed.outlines = realOutlines(e, R, real, drawingChordError(R));
        }
      } else {
        figures = realLimit(e, R, W, real, design.volumeDivisor()).hasFigures();
      }
      if (figures && !ports.empty()) {
        // The real engine's row timed its ports already, as every save takes them.
        computed.timing = computed.outcome.row.timing
                              ? *computed.outcome.row.timing
                              : engineTiming(e, R, W, real, design.volumeDivisor(), ports);
        for (const PortDefinition& port : ports) {
          if (port.kind != PortKind::kSide) continue;  // drawn in the bore, not on the side
          computed.shown.push_back({port.role == PortRole::kIntake, port.outline,
                                    std::make_shared<const SideOpening>(e, R, real, port.outline)});
        }
      }
      return computed;
    }));
  }
  // The model runs on its own: a slow cycle never holds up the real engine's figures.
  model_->compute(design);
  updateDesigner();
  emit outcomeChanged();
}

void DesignPanel::showOutcome(const study::DesignOutcome& outcome, bool final) {
  clearFigures();
  if (final) outcome_ = outcome;
  if (outcome.hasFigures()) {
    const ExactFigures& figures = outcome.row.real->figures;
    figures_[0]->setText(sixDigits(figures.capacity));
    figures_[1]->setText(sixDigits(figures.deadVolume));
    figures_[2]->setText(sixDigits(figures.ratio));
    if (outcome.row.targetRecess) figures_[3]->setText(sixDigits(*outcome.row.targetRecess));
    if (const auto& chamber = outcome.row.chamber) {
      figures_[4]->setText(sixDigits(chamber->surfaceToVolumeAtTdc));
      if (const auto& pocket = outcome.row.pocket) {
        figures_[8]->setText(inUnits("%1 %L deep; its walls add %2 %L^2 to the surface")
                                 .arg(sixDigits(pocket->depth), sixDigits(pocket->wallArea)));
      }
      figures_[5]->setText(sixDigits(chamber->ottoEfficiency));
      if (const auto& seal = chamber->seal) {
        figures_[6]->setText(QString("%1 to %2, mean %3")
                                 .arg(sixDigits(seal->leastSpeed), sixDigits(seal->largestSpeed),
                                      sixDigits(seal->meanSpeed)));
        QString inertia =
            QString("%1 to %2").arg(sixDigits(seal->leastInertia), sixDigits(seal->largestInertia));
        if (seal->drawnIn) {
          inertia += QString("; drawn in from %1 to %2 degrees, and 540 later")
                         .arg(QString::fromStdString(significantDigits(seal->drawnIn->first, 4)),
                              QString::fromStdString(significantDigits(seal->drawnIn->second, 4)));
        }
        figures_[7]->setText(inertia);
      }
    }
  }
  for (std::size_t n = 0; n < figures_.size(); ++n) {
    figures_[n]->setAccessibleDescription(figures_[n]->text());
  }
  refusal_->setText(QString::fromStdString(outcome.message));
  for (std::size_t n = 0; n < inputs_.size(); ++n) {
    if (kFields[n] == outcome.refused) inputLabels_[n]->setStyleSheet("color: #c00000");
  }
  for (std::size_t n = 0; n < shape_.size(); ++n) {
    if (outcome.refused == (n == 0 ? Field::kRecessPocket : Field::kApexSlot)) {
      shapeLabels_[n]->setStyleSheet("color: #c00000");
    }
  }
  if (!final) return;
  updateDesigner();
  emit outcomeChanged();
}

}  // namespace rotary::app
