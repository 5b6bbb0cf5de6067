#include "cycle_chart.h"

#include <QChart>
#include <QChartView>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QScatterSeries>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "number_text.h"

namespace rotary::app {
namespace {

struct BesideChoice {
  CycleChart::Beside beside;
  const char* name;    // the picker's and the right axis's; %L stands for the unit of length
  const char* short_;  // the legend's, which has a quarter of the width
};
constexpr BesideChoice kChoices[] = {
    {CycleChart::Beside::kSealLean, "seal lean (degrees)", "seal lean"},
    {CycleChart::Beside::kSurfaceToVolume, "surface to volume (per %L)", "S/V"},
    {CycleChart::Beside::kTorquePerBar, "torque per bar (N m)", "torque"},
    {CycleChart::Beside::kSealSpeed, "seal speed (m/s)", "seal speed"}};

QString sixDigits(double value) {
  return QString::fromStdString(significantDigits(value, 6));
}

// A value axis over [low, high] with a little room, at round numbers.
void fit(QValueAxis* axis, double low, double high) {
  if (!(high > low)) high = low + 1;
  const double room = (high - low) * 0.05;
  axis->setRange(low - room, high + room);
  axis->applyNiceNumbers();
}

}  // namespace

CycleChart::CycleChart(QWidget* parent) : QWidget(parent) {
  setObjectName("CycleChart");
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  picker_ = new QComboBox(this);
  picker_->setObjectName("CycleBeside");
  picker_->setAccessibleName("right axis");
  column->addWidget(picker_);

  chart_ = new QChart;
  chart_->legend()->setAlignment(Qt::AlignBottom);
  chart_->setMargins(QMargins(2, 2, 2, 2));
  volume_ = new QLineSeries;
  volume_->setName("volume");
  besideSeries_ = new QLineSeries;
  deadCentres_ = new QScatterSeries;
  deadCentres_->setName("dead centre");
  deadCentres_->setMarkerSize(7);
  chart_->addSeries(volume_);
  chart_->addSeries(besideSeries_);
  chart_->addSeries(deadCentres_);
  mark_ = new QLineSeries;
  mark_->setName("shaft now");
  mark_->setPen(QPen(QColor(0x80, 0x80, 0x80), 1, Qt::DashLine));
  chart_->addSeries(mark_);
  // The mark speaks for itself; the legend has room for the curves alone.
  for (QLegendMarker* marker : chart_->legend()->markers(mark_)) marker->setVisible(false);
  angleAxis_ = new QValueAxis;
  angleAxis_->setTitleText("shaft angle (degrees)");
  angleAxis_->setRange(0, 1080);
  angleAxis_->setTickCount(5);
  angleAxis_->setLabelFormat("%.0f");
  volumeAxis_ = new QValueAxis;
  besideAxis_ = new QValueAxis;
  volumeAxis_->setLabelFormat("%g");
  besideAxis_->setLabelFormat("%g");
  chart_->addAxis(angleAxis_, Qt::AlignBottom);
  chart_->addAxis(volumeAxis_, Qt::AlignLeft);
  chart_->addAxis(besideAxis_, Qt::AlignRight);
  for (QAbstractSeries* series :
       {static_cast<QAbstractSeries*>(volume_), static_cast<QAbstractSeries*>(deadCentres_),
        static_cast<QAbstractSeries*>(mark_)}) {
    series->attachAxis(angleAxis_);
    series->attachAxis(volumeAxis_);
  }
  besideSeries_->attachAxis(angleAxis_);
  besideSeries_->attachAxis(besideAxis_);

  view_ = new QChartView(chart_, this);
  view_->setRenderHint(QPainter::Antialiasing);
  view_->setMinimumHeight(260);
  column->addWidget(view_, 1);
  reading_ = new QLabel(this);
  reading_->setObjectName("CycleReading");
  reading_->setAccessibleName("reading");
  reading_->setWordWrap(true);
  column->addWidget(reading_);

  for (QLineSeries* series : {volume_, besideSeries_}) {
    connect(series, &QLineSeries::hovered, this, [this](const QPointF& point, bool inside) {
      if (inside) reading_->setText(readingAt(point.x()));
    });
  }
  connect(picker_, &QComboBox::currentIndexChanged, this, [this](int index) {
    for (const BesideChoice& choice : kChoices) {
      if (picker_->itemText(index) == nameOf(choice.beside) && choice.beside != beside_) {
        beside_ = choice.beside;
        redraw();
      }
    }
  });
  redraw();
}

QStringList CycleChart::besideChoices() const {
  QStringList names;
  const bool speed = !curve_.empty() && curve_.front().sealSpeed.has_value();
  for (const BesideChoice& choice : kChoices) {
    if (choice.beside != Beside::kSealSpeed || speed) names << nameOf(choice.beside);
  }
  return names;
}

void CycleChart::setCurve(std::vector<CyclePoint> curve) {
  curve_ = std::move(curve);
  // The speed goes with the curve that has it.
  if (beside_ == Beside::kSealSpeed && !besideChoices().contains(nameOf(Beside::kSealSpeed))) {
    beside_ = Beside::kSealLean;
  }
  redraw();
}

void CycleChart::setUnits(const QString& length, const QString& volume) {
  lengthUnit_ = length;
  volumeUnit_ = volume;
  redraw();
}

QString CycleChart::nameOf(Beside beside) const {
  for (const BesideChoice& choice : kChoices) {
    if (choice.beside == beside) return QString(choice.name).replace("%L", lengthUnit_);
  }
  return "";
}

void CycleChart::setBeside(Beside beside) {
  beside_ = beside;
  redraw();
}

double CycleChart::besideValue(const CyclePoint& p) const {
  switch (beside_) {
    case Beside::kSealLean:
      return p.sealLean;
    case Beside::kSurfaceToVolume:
      return p.surfaceToVolume;
    case Beside::kTorquePerBar:
      return p.torquePerBar;
    case Beside::kSealSpeed:
      return p.sealSpeed.value_or(std::nan(""));
  }
  return std::nan("");
}

void CycleChart::redraw() {
  const QStringList choices = besideChoices();
  QString name, legend;
  for (const BesideChoice& choice : kChoices) {
    if (choice.beside == beside_) name = nameOf(choice.beside), legend = choice.short_;
  }
  {
    const QSignalBlocker quiet(picker_);
    picker_->clear();
    picker_->addItems(choices);
    picker_->setCurrentText(name);
  }
  besideSeries_->setName(legend);
  besideAxis_->setTitleText(name);
  volumeAxis_->setTitleText("volume (" + volumeUnit_ + ")");
  QList<QPointF> volume, beside, centres;
  double low = 0, high = 1, besideLow = 0, besideHigh = 1;
  for (const CyclePoint& p : curve_) {
    volume << QPointF(p.shaftAngle, p.volume);
    beside << QPointF(p.shaftAngle, besideValue(p));
  }
  // The dead centres: top at 0, 540 and 1080 degrees, bottom at 270 and 810, each stroke 270.
  for (const CyclePoint& p : curve_) {
    if (std::fmod(p.shaftAngle, 270) == 0) centres << QPointF(p.shaftAngle, p.volume);
  }
  if (!curve_.empty()) {
    const auto [vLow, vHigh] = std::minmax_element(
        curve_.begin(), curve_.end(),
        [](const CyclePoint& a, const CyclePoint& b) { return a.volume < b.volume; });
    low = vLow->volume, high = vHigh->volume;
    besideLow = besideHigh = besideValue(curve_.front());
    for (const CyclePoint& p : curve_) {
      // The chamber pinched at top dead centre gives a tall spike of S/V; the axis follows it.
      besideLow = std::min(besideLow, besideValue(p));
      besideHigh = std::max(besideHigh, besideValue(p));
    }
  }
  volume_->replace(volume);
  besideSeries_->replace(beside);
  deadCentres_->replace(centres);
  fit(volumeAxis_, low, high);
  fit(besideAxis_, besideLow, besideHigh);
  // The mark stays where the shaft stands, across the new axis, held or not: while held no frame
  // moves it back.
  setShaftAngle(markedAngle_);
  reading_->setText(curve_.empty() ? "no curve: the real engine has no figures yet"
                                   : "hover over the curve to read it off");
}

void CycleChart::setShaftAngle(double degrees) {
  markedAngle_ = std::fmod(std::fmod(degrees, 1080) + 1080, 1080);
  if (curve_.empty() || std::isnan(markedAngle_)) {
    mark_->clear();
    return;
  }
  mark_->replace(
      QList<QPointF>{{markedAngle_, volumeAxis_->min()}, {markedAngle_, volumeAxis_->max()}});
}

std::pair<double, double> CycleChart::volumeAxisRange() const {
  return {volumeAxis_->min(), volumeAxis_->max()};
}

std::pair<double, double> CycleChart::besideAxisRange() const {
  return {besideAxis_->min(), besideAxis_->max()};
}

QList<QPointF> CycleChart::markPoints() const {
  return mark_->points();
}

QList<QPointF> CycleChart::volumePoints() const {
  return volume_->points();
}
QList<QPointF> CycleChart::besidePoints() const {
  return besideSeries_->points();
}
QList<QPointF> CycleChart::deadCentres() const {
  return deadCentres_->points();
}

QString CycleChart::readingAt(double shaftAngle) const {
  if (curve_.empty()) return "";
  const auto nearest = std::min_element(
      curve_.begin(), curve_.end(), [shaftAngle](const CyclePoint& a, const CyclePoint& b) {
        return std::abs(a.shaftAngle - shaftAngle) < std::abs(b.shaftAngle - shaftAngle);
      });
  QString text = QString("shaft %1 degrees: volume %2 %3, seal lean %4 degrees")
                     .arg(sixDigits(nearest->shaftAngle), sixDigits(nearest->volume), volumeUnit_,
                          sixDigits(nearest->sealLean));
  if (beside_ != Beside::kSealLean) {
    for (const BesideChoice& choice : kChoices) {
      if (choice.beside == beside_) {
        text += QString(", %1 %2").arg(nameOf(choice.beside), sixDigits(besideValue(*nearest)));
      }
    }
  }
  return text;
}

}  // namespace rotary::app
