// The chamber over its cycle in the design panel: the volume against the eccentric shaft's
// 1080 degrees on the left axis, its dead centres marked, and on the right axis what the
// designer picks beside it (the seal's lean, the walls over the volume, the torque per bar, and
// at a shaft speed the seal's speed). Hovering reads a point off.
#pragma once

#include <QComboBox>
#include <QLabel>
#include <QWidget>
#include <cmath>
#include <utility>
#include <vector>

#include "volume_curve.h"

class QChart;
class QChartView;
class QLineSeries;
class QScatterSeries;
class QValueAxis;

namespace rotary::app {

class CycleChart : public QWidget {
  Q_OBJECT

 public:
  explicit CycleChart(QWidget* parent = nullptr);

  // The curve of the engine the panel shows; an empty one clears the chart.
  void setCurve(std::vector<CyclePoint> curve);
  const std::vector<CyclePoint>& curve() const { return curve_; }

  // What the right axis shows, by the names the picker offers.
  enum class Beside { kSealLean, kSurfaceToVolume, kTorquePerBar, kSealSpeed };
  void setBeside(Beside beside);
  // The units the axes, the picker and the reading name: the lengths' and the volumes'.
  void setUnits(const QString& length, const QString& volume);
  // The picker's and the right axis's name of a choice, in the units set.
  QString nameOf(Beside beside) const;
  Beside beside() const { return beside_; }
  // The picker's choices now: the seal's speed only where the curve has it.
  QStringList besideChoices() const;

  // The points each series draws, for the checks against the curve.
  QList<QPointF> volumePoints() const;
  QList<QPointF> besidePoints() const;
  QList<QPointF> deadCentres() const;
  // The ranges the volume's axis and the second axis show.
  std::pair<double, double> volumeAxisRange() const;
  std::pair<double, double> besideAxisRange() const;
  // The reading of the point nearest a shaft angle, as hovering shows it.
  QString readingAt(double shaftAngle) const;
  QString reading() const { return reading_->text(); }

  // The shaft angle the animation shows, in degrees (any, taken over the 1080 of the cycle): a
  // vertical mark on the chart.
  void setShaftAngle(double degrees);
  // Where the mark stands, NaN before any.
  double markedAngle() const { return markedAngle_; }
  QList<QPointF> markPoints() const;

 private:
  void redraw();
  double besideValue(const CyclePoint& point) const;

  std::vector<CyclePoint> curve_;
  Beside beside_ = Beside::kSealLean;
  QComboBox* picker_ = nullptr;
  QLabel* reading_ = nullptr;
  QChartView* view_ = nullptr;
  QChart* chart_ = nullptr;
  QLineSeries* volume_ = nullptr;
  QLineSeries* besideSeries_ = nullptr;
  QScatterSeries* deadCentres_ = nullptr;
  QLineSeries* mark_ = nullptr;
  double markedAngle_ = std::nan("");
  QString lengthUnit_ = "mm", volumeUnit_ = "cm^3";
  QValueAxis *angleAxis_ = nullptr, *volumeAxis_ = nullptr, *besideAxis_ = nullptr;
};

}  // namespace rotary::app
