#include "cycle_model_page.h"

#include <QAbstractSeries>
#include <QChart>
#include <QChartView>
#include <QFormLayout>
#include <QScrollArea>
#include <QVBoxLayout>
#include <QtConcurrent>

#include "cycle_chart_parts.h"
#include "drawing.h"
#include "number_text.h"
#include "typed_fields.h"
#include "vector_state.h"

namespace rotary::app {
namespace {

using study::Field;

struct Setting {
  Field field;
  const char* unit;  // after the rule's name; %L stands for the unit of length
  const char* object;
};
constexpr Setting kSettings[] = {
    {Field::kCycle, " (rpm)", "CycleSpeed"},
    {Field::kDischarge, "", "Discharge"},
    {Field::kIntakePlenum, " (bar,K)", "IntakePlenum"},
    {Field::kExhaustPlenum, " (bar,K)", "ExhaustPlenum"},
    {Field::kSpark, " (degrees BTDC)", "Spark"},
    {Field::kBurn, " (degrees)", "Burn"},
    {Field::kWiebe, "", "Wiebe"},
    {Field::kAirFuelRatio, "", "AirFuelRatio"},
    {Field::kSealGap, " (%L)", "SealGap"},
    {Field::kWallTemperature, " (K)", "WallTemperature"},
    {Field::kHeatTransfer, " (factor)", "HeatTransfer"},
    {Field::kCycleGamma, "", "CycleGamma"},
};

// Each figure the page shows under its label; the cycles it took, a count, have no member.
struct Shown {
  const char* label;
  double study::CycleFigures::*member;
};
using F = study::CycleFigures;
constexpr Shown kShown[] = {{"IMEP net (bar)", &F::imepNet},
                            {"IMEP gross (bar)", &F::imepGross},
                            {"PMEP (bar)", &F::pmep},
                            {"indicated power (kW)", &F::indicatedPower},
                            {"indicated torque (N m)", &F::indicatedTorque},
                            {"indicated efficiency", &F::indicatedEfficiency},
                            {"work a chamber a cycle (J)", &F::indicatedWork},
                            {"trapped mass a chamber (kg)", &F::trappedMass},
                            {"volumetric efficiency", &F::volumetricEfficiency},
                            {"residual gas fraction", &F::residualFraction},
                            {"peak pressure (bar, at deg)", &F::peakPressure},
                            {"heat lost a cycle (J)", &F::heatLost},
                            {"mass leaked a cycle (kg)", &F::massLeaked},
                            {"cycles until it repeats", nullptr}};
static_assert(std::size(kShown) == CycleModelPage::kFigureCount);

// The defaults the empty boxes take, as their placeholders show them.
QString placeholderOf(Field field) {
  const study::CycleValues d;
  const auto n = [](double value) { return QString::fromStdString(formatNumber(value)); };
  switch (field) {
    case Field::kCycle:
      return "not given: no model";
    case Field::kDischarge:
      return n(d.discharge);
    case Field::kIntakePlenum:
      return n(d.intakePressure) + "," + n(d.intakeTemperature);
    case Field::kExhaustPlenum:
      return n(d.exhaustPressure) + "," + n(d.exhaustTemperature);
    case Field::kSpark:
      return n(d.spark);
    case Field::kBurn:
      return n(d.burn);
    case Field::kWiebe:
      return n(d.wiebeA) + "," + n(d.wiebeM);
    case Field::kAirFuelRatio:
      return n(d.airFuelRatio);
    case Field::kSealGap:
      return n(d.sealGap);
    case Field::kWallTemperature:
      return n(d.wallTemperature);
    case Field::kHeatTransfer:
      return n(d.heatTransfer);
    default:
      return "with the gas's temperature";
  }
}

QString six(double value) {
  return QString::fromStdString(significantDigits(value, 6));
}

}  // namespace

CycleModelPage::CycleModelPage(QWidget* parent) : QWidget(parent) {
  setObjectName("CycleModelPage");
  // Taller than the tab with its chart: it scrolls rather than clips.
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  auto* scroll = new QScrollArea;
  scroll->setWidgetResizable(true);
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  outer->addWidget(scroll);
  auto* inside = new QWidget;
  scroll->setWidget(inside);
  auto* column = new QVBoxLayout(inside);

  // The speed on top, then what the model gives at it, then the settings it runs with: the
  // speed is what a designer changes most.
  const auto settingsForm = [] {
    auto* form = new QFormLayout;
    form->setVerticalSpacing(2);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    return form;
  };
  QFormLayout* speed = settingsForm();
  QFormLayout* settings = settingsForm();
  for (std::size_t n = 0; n < inputs_.size(); ++n) {
    inputs_[n] = new QLineEdit(this);
    inputs_[n]->setObjectName(kSettings[n].object);
    inputs_[n]->setPlaceholderText(placeholderOf(kSettings[n].field));
    // Their full height in a page that scrolls: the page never squeezes them.
    inputs_[n]->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    labels_[n] = new QLabel(this);
    labels_[n]->setBuddy(inputs_[n]);
    (n == 0 ? speed : settings)->addRow(labels_[n], inputs_[n]);
    connect(inputs_[n], &QLineEdit::textChanged, this, &CycleModelPage::edited);
  }
  inputs_[0]->setToolTip(
      "The shaft speed the model runs one chamber at, cycle after cycle until it repeats");
  column->addLayout(speed);
  setLengthUnit("mm");

  caption_ = new QLabel(this);
  caption_->setObjectName("CycleModelCaption");
  caption_->setWordWrap(true);
  caption_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  column->addWidget(caption_);

  auto* figures = new QFormLayout;
  figures->setVerticalSpacing(2);
  for (std::size_t n = 0; n < figures_.size(); ++n) {
    figures_[n] = new QLabel(this);
    figures_[n]->setObjectName(QString("CycleFigure%1").arg(n + 1));
    figures_[n]->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* label = new QLabel(kShown[n].label, this);
    figures_[n]->setAccessibleName(label->text());
    figures->addRow(label, figures_[n]);
  }
  column->addLayout(figures);

  chartView_ = new QChartView(this);
  chartView_->setObjectName("CycleModelChart");
  chartView_->setAccessibleName("pressure against volume, a model");
  chartView_->setRenderHint(QPainter::Antialiasing);
  chartView_->setMinimumHeight(340);
  chartView_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  chartView_->setVisible(false);
  column->addWidget(chartView_);
  auto* settingsTitle =
      new QLabel("<b>The model's settings</b> (each empty takes the default shown)", this);
  settingsTitle->setWordWrap(true);
  column->addWidget(settingsTitle);
  column->addLayout(settings);
  column->addStretch();
  clearShown();

  connect(&watcher_, &QFutureWatcher<Run>::finished, this, [this] {
    running_ = false;
    const Run run = watcher_.result();
    if (run.request == request_) {
      modelled_ = run.modelled;
      show(run.modelled);
      emit modelledChanged();
    }
    if (pending_) {
      const auto [request, design] = *pending_;
      pending_.reset();
      start(request, design);
    }
  });
}

QLineEdit* CycleModelPage::input(Field field) const {
  for (std::size_t n = 0; n < inputs_.size(); ++n) {
    if (kSettings[n].field == field) return inputs_[n];
  }
  return nullptr;
}

void CycleModelPage::fillDesign(study::Design& d) const {
  d.cycleRpm = typedText(input(Field::kCycle));
  d.discharge = typedText(input(Field::kDischarge));
  splitTyped(input(Field::kIntakePlenum), {&d.intakePressure, &d.intakeTemperature});
  splitTyped(input(Field::kExhaustPlenum), {&d.exhaustPressure, &d.exhaustTemperature});
  d.spark = typedText(input(Field::kSpark));
  d.burn = typedText(input(Field::kBurn));
  splitTyped(input(Field::kWiebe), {&d.wiebeA, &d.wiebeM});
  d.airFuelRatio = typedText(input(Field::kAirFuelRatio));
  d.sealGap = typedText(input(Field::kSealGap));
  d.wallTemperature = typedText(input(Field::kWallTemperature));
  d.heatTransfer = typedText(input(Field::kHeatTransfer));
  d.cycleGamma = typedText(input(Field::kCycleGamma));
}

void CycleModelPage::setLengthUnit(const QString& unit) {
  for (std::size_t n = 0; n < inputs_.size(); ++n) {
    labels_[n]->setText(QString::fromUtf8(study::nameOn(kSettings[n].field, study::Face::kWindow)) +
                        QString(kSettings[n].unit).replace("%L", unit));
    inputs_[n]->setAccessibleName(labels_[n]->text());
  }
}

void CycleModelPage::clearShown() {
  for (QLabel* figure : figures_) {
    figure->clear();
    figure->setAccessibleDescription("");
  }
  for (QLabel* label : labels_) label->setStyleSheet("");
  caption_->setStyleSheet("");
  chartView_->setVisible(false);
}

void CycleModelPage::compute(const study::Design& design) {
  ++request_;
  const bool had = modelled_.has_value();
  modelled_.reset();
  clearShown();
  const auto refused = study::refusalOf(design, study::Face::kWindow);
  const bool engine =
      design.eccentricity.number && design.rotorRadius.number && design.chamberWidth.number;
  if (!design.hasCycle() || refused || !engine) {
    pending_.reset();
    if (!design.hasCycle()) {
      caption_->setText(
          "Type a cycle speed: a single-zone model runs one chamber through its working cycle "
          "at it, through the ports given (or closed, without them), and gives its pressure, "
          "breathing and power.");
      caption_->setStyleSheet("color: #707070");
    } else if (refused) {
      caption_->setText(QString::fromStdString(refused->message));
      caption_->setStyleSheet("color: #c00000");
      for (std::size_t n = 0; n < inputs_.size(); ++n) {
        if (kSettings[n].field == refused->field) labels_[n]->setStyleSheet("color: #c00000");
      }
    } else {
      caption_->setText("No engine with figures yet.");
    }
    if (had) emit modelledChanged();
    return;
  }
  caption_->setText("running the model...");
  if (running_) {
    pending_ = std::pair{request_, design};
  } else {
    start(request_, design);
  }
  if (had) emit modelledChanged();
}

void CycleModelPage::start(long request, const study::Design& design) {
  running_ = true;
  watcher_.setFuture(QtConcurrent::run([request, design] {
    // A pool thread carries whatever vector state the window's drawing left.
    clearUpperVectorState();
    return Run{request, {cycle::modelDesign(design, study::Face::kWindow), design.real}};
  }));
}

void CycleModelPage::show(const Modelled& modelled) {
  clearShown();
  const study::EngineRow& row = modelled.model.design.row;
  const std::string model =
      "working cycle, " + study::cycleSettingsText(study::cycleValuesOf(row.input));
  if (!modelled.model.figures()) {
    caption_->setText(QString::fromStdString(model + ":\n" + modelled.model.why()));
    caption_->setStyleSheet("color: #c00000");
    return;
  }
  caption_->setText(QString::fromStdString(model) + ".");
  const study::CycleFigures& f = *row.cycle;
  for (std::size_t n = 0; n < figures_.size(); ++n) {
    const auto member = kShown[n].member;
    QString text = member ? six(f.*member) : QString::number(f.cyclesToConverge);
    if (member == &F::peakPressure) text += " at " + six(f.peakPressureAngle);
    figures_[n]->setText(text);
  }
  for (QLabel* figure : figures_) figure->setAccessibleDescription(figure->text());
  QChart* old = chartView_->chart();
  QChart* chart = drawing::newPressureVolumeChart(
      drawing::modelChartOf(row, modelled.model.cycle.curve, modelled.realEngine));
  // The page's caption names the engine and the model: the title fits the page's width.
  chart->setTitle("pressure against volume, log-log (a model)");
  const QList<QAbstractSeries*> series = chart->series();
  if (series.size() == 2) {
    series[0]->setName("pressure");
    series[1]->setName("a port opens or closes");
  }
  chartView_->setChart(chart);
  delete old;
  chartView_->setVisible(true);
}

}  // namespace rotary::app
