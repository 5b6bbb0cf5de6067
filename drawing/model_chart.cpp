#include <QChart>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QLegend>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QPen>
#include <QScatterSeries>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "chart.h"
#include "chart_render.h"
#include "cycle_chart_parts.h"
#include "headless_qt.h"

namespace rotary::drawing {
namespace {

constexpr double kWidth = 900, kHeight = 1000;

// The chart's point at a shaft angle, from the curve's degrees.
std::size_t nearest(const std::vector<double>& angles, double angle) {
  std::size_t best = 0;
  for (std::size_t n = 0; n < angles.size(); ++n) {
    if (std::abs(angles[n] - angle) < std::abs(angles[best] - angle)) best = n;
  }
  return best;
}

// The model's settings in words under the charts, as wide as they are; where the picture ends.
double addCaption(QGraphicsScene& scene, const QString& text, double top, double width) {
  auto* caption = scene.addText("A model: " + text + ".");
  caption->setTextWidth(width - 40);
  caption->setPos(20, top);
  caption->setDefaultTextColor(QColor(64, 64, 64));
  return top + caption->boundingRect().height() + 10;
}

QValueAxis* valueAxis(const QString& title, double low, double high) {
  auto* axis = new QValueAxis;
  axis->setTitleText(title);
  axis->setRange(low, high);
  axis->applyNiceNumbers();
  return axis;
}

}  // namespace

QChart* newPressureVolumeChart(const ModelChart& chart) {
  QChart* pv = newCycleChart(chart.realEngine, chart.eccentricity, chart.rotorRadius,
                             chart.chamberWidth, "pressure against volume, a model");
  auto* loop = new QLineSeries;
  loop->setName("pressure (a model: its settings below)");
  loop->setPen(QPen(QColor(16, 89, 198), 2));
  double vLow = 1e300, vHigh = 0, pLow = 1e300, pHigh = 0;
  for (std::size_t n = 0; n < chart.volume.size(); ++n) {
    loop->append(chart.volume[n], chart.pressure[n]);
    vLow = std::min(vLow, chart.volume[n]);
    vHigh = std::max(vHigh, chart.volume[n]);
    pLow = std::min(pLow, chart.pressure[n]);
    pHigh = std::max(pHigh, chart.pressure[n]);
  }
  pv->addSeries(loop);
  auto* events = new QScatterSeries;
  events->setName("ports open and close");
  events->setMarkerSize(9);
  events->setColor(QColor(198, 16, 36));
  for (const ModelChart::Event& event : chart.events) {
    const std::size_t n = nearest(chart.shaftAngle, event.shaftAngle);
    if (n < chart.volume.size()) events->append(chart.volume[n], chart.pressure[n]);
  }
  pv->addSeries(events);
  auto* volumes = new QLogValueAxis;
  volumes->setTitleText("volume, " + QString::fromStdString(chart.volumeUnit) + " (log)");
  volumes->setBase(10);
  volumes->setRange(vLow * 0.9, vHigh * 1.1);
  volumes->setMinorTickCount(8);
  auto* pressures = new QLogValueAxis;
  pressures->setTitleText("pressure, bar (log)");
  pressures->setBase(10);
  pressures->setRange(std::max(pLow * 0.8, 1e-3), pHigh * 1.2);
  pressures->setMinorTickCount(8);
  pv->addAxis(volumes, Qt::AlignBottom);
  pv->addAxis(pressures, Qt::AlignLeft);
  for (QAbstractSeries* series :
       {static_cast<QAbstractSeries*>(loop), static_cast<QAbstractSeries*>(events)}) {
    series->attachAxis(volumes);
    series->attachAxis(pressures);
  }
  return pv;
}

bool drawModelChart(ImageFormat format, const ModelChart& chart, std::string& content,
                    std::string& error) {
  ensureHeadlessQt();
  const QString model = QString::fromStdString(chart.settings);
  // Above: p against V, log-log, the events marked.
  QChart* pv = newPressureVolumeChart(chart);
  double pHigh = 0;
  for (double p : chart.pressure) pHigh = std::max(pHigh, p);
  // Below: p over the shaft's angle.
  QChart* overAngle = newCycleChart(chart.realEngine, chart.eccentricity, chart.rotorRadius,
                                    chart.chamberWidth, "pressure over the cycle, a model");
  auto* trace = new QLineSeries;
  trace->setName("pressure, bar");
  trace->setPen(wholeLinePen(QColor(16, 89, 198), 2));
  for (std::size_t n = 0; n < chart.shaftAngle.size(); ++n) {
    trace->append(chart.shaftAngle[n], chart.pressure[n]);
  }
  overAngle->addSeries(trace);
  QValueAxis* shaft = newShaftAxis();
  QValueAxis* bar = valueAxis("pressure, bar", 0, pHigh);
  overAngle->addAxis(shaft, Qt::AlignBottom);
  overAngle->addAxis(bar, Qt::AlignLeft);
  trace->attachAxis(shaft);
  trace->attachAxis(bar);

  QGraphicsScene scene;
  scene.addItem(pv);
  scene.addItem(overAngle);
  pv->setGeometry(QRectF(0, 0, kWidth, kHeight * 0.58));
  overAngle->setGeometry(QRectF(0, kHeight * 0.58, kWidth, kHeight * 0.42));
  const double below = addCaption(scene, model, kHeight, kWidth);
  const QRectF area(0, 0, kWidth, below);
  scene.setSceneRect(area);
  return renderScene(format, scene, area, "The working cycle, a single-zone model", content, error);
}

bool drawPowerChart(ImageFormat format, const PowerChart& chart, std::string& content,
                    std::string& error) {
  ensureHeadlessQt();
  constexpr double width = 900, height = 560;
  auto* drawn = new QChart;
  drawn->setTitle(QString::fromStdString(chart.engine) +
                  ": indicated power and torque, a single-zone model");
  drawn->legend()->setAlignment(Qt::AlignBottom);
  auto* power = new QLineSeries;
  power->setName("indicated power, kW");
  power->setPen(QPen(QColor(16, 89, 198), 2));
  auto* torque = new QLineSeries;
  torque->setName("indicated torque, N m (right axis)");
  torque->setPen(QPen(QColor(198, 16, 36), 2, Qt::DashLine));
  double most = 0, mostTorque = 0, low = 1e300, high = 0;
  for (std::size_t n = 0; n < chart.rpm.size(); ++n) {
    power->append(chart.rpm[n], chart.power[n]);
    torque->append(chart.rpm[n], chart.torque[n]);
    most = std::max(most, chart.power[n]);
    mostTorque = std::max(mostTorque, chart.torque[n]);
    low = std::min(low, chart.rpm[n]);
    high = std::max(high, chart.rpm[n]);
  }
  drawn->addSeries(power);
  drawn->addSeries(torque);
  QValueAxis* speed = valueAxis("shaft speed, rpm", low, high);
  speed->setLabelFormat("%.0f");
  QValueAxis* kilowatts = valueAxis("kW", 0, most * 1.1);
  QValueAxis* newtonMetres = valueAxis("N m", 0, mostTorque * 1.1);
  drawn->addAxis(speed, Qt::AlignBottom);
  drawn->addAxis(kilowatts, Qt::AlignLeft);
  drawn->addAxis(newtonMetres, Qt::AlignRight);
  power->attachAxis(speed);
  power->attachAxis(kilowatts);
  torque->attachAxis(speed);
  torque->attachAxis(newtonMetres);
  QGraphicsScene scene;
  scene.addItem(drawn);
  drawn->setGeometry(QRectF(0, 0, width, height));
  const double below = addCaption(scene, QString::fromStdString(chart.settings), height, width);
  const QRectF area(0, 0, width, below);
  scene.setSceneRect(area);
  return renderScene(format, scene, area, "Power and torque, a single-zone model", content, error);
}

}  // namespace rotary::drawing
