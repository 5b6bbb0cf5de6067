#include <QChart>
#include <QGraphicsScene>
#include <QLegend>
#include <QLineSeries>
#include <QPen>
#include <QValueAxis>
#include <algorithm>

#include "chart.h"
#include "chart_render.h"
#include "cycle_chart_parts.h"
#include "headless_qt.h"

namespace rotary::drawing {

bool drawCurveChart(ImageFormat format, const CurveChart& chart, std::string& content,
                    std::string& error) {
  ensureHeadlessQt();
  constexpr double kWidth = 900, kHeight = 560;
  QChart* drawn = newCycleChart(chart.realEngine, chart.eccentricity, chart.rotorRadius,
                                chart.chamberWidth, "one chamber's volume over its four strokes");

  auto* volume = new QLineSeries;
  volume->setName("chamber volume");
  volume->setPen(wholeLinePen(QColor(16, 89, 198), 2));
  auto* lean = new QLineSeries;
  lean->setName("apex seal's lean, degrees (right axis)");
  lean->setPen(QPen(QColor(198, 16, 36), 2, Qt::DashLine));
  double lowest = 0, highest = 0, mostLean = 0;
  for (const CyclePoint& p : chart.curve) {
    volume->append(p.shaftAngle, p.volume);
    lean->append(p.shaftAngle, p.sealLean);
    highest = std::max(highest, p.volume);
    mostLean = std::max(mostLean, std::abs(p.sealLean));
  }
  drawn->addSeries(volume);
  drawn->addSeries(lean);

  QValueAxis* shaft = newShaftAxis();
  auto* volumes = new QValueAxis;
  volumes->setTitleText(QString("volume, ") + QString::fromStdString(chart.volumeUnit));
  volumes->setRange(lowest, highest);
  volumes->applyNiceNumbers();
  auto* degrees = new QValueAxis;
  degrees->setTitleText("seal lean, degrees");
  degrees->setRange(-mostLean, mostLean);
  degrees->applyNiceNumbers();
  drawn->addAxis(shaft, Qt::AlignBottom);
  drawn->addAxis(volumes, Qt::AlignLeft);
  drawn->addAxis(degrees, Qt::AlignRight);
  volume->attachAxis(shaft);
  volume->attachAxis(volumes);
  lean->attachAxis(shaft);
  lean->attachAxis(degrees);

  QGraphicsScene scene;
  scene.addItem(drawn);
  const QRectF area(0, 0, kWidth, kHeight);
  drawn->setGeometry(area);
  scene.setSceneRect(area);
  return renderScene(format, scene, area, "Chamber volume over the cycle", content, error);
}

}  // namespace rotary::drawing
