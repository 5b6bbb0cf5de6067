#include "chart.h"

#include <QChart>
#include <QGraphicsScene>
#include <QImage>
#include <QLegend>
#include <QLineSeries>
#include <QPainter>
#include <QScatterSeries>
#include <QSvgGenerator>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <map>
#include <type_traits>

#include "headless_qt.h"
#include "number_text.h"
#include "results_table.h"

namespace rotary::exporting {
namespace {

constexpr int kPanelWidth = 900;
constexpr int kPanelHeight = 560;

struct Point {
  double k, capacity, deadVolume, ratio;
};

using Groups = std::map<std::string, std::vector<Point>>;

// The figures of a study, grouped by what varies besides K, each group sorted by K: the sweep's
// at their step counts, and the shape's exact ones, which do not depend on the step count.
struct Series {
  Groups sweep;
  Groups exact;
};

void sortByK(Groups& groups) {
  for (auto& [name, points] : groups) {
    std::stable_sort(points.begin(), points.end(),
                     [](const Point& a, const Point& b) { return a.k < b.k; });
  }
}

Series seriesOf(const std::vector<study::EngineRow>& rows) {
  bool radiusVaries = false, stepsVary = false;
  for (const study::EngineRow& row : rows) {
    radiusVaries |= shownInput(row.input.rotorRadius) != shownInput(rows[0].input.rotorRadius);
    stepsVary |= row.input.steps != rows[0].input.steps;
  }
  Series series;
  std::map<std::string, std::vector<double>> exactKs;  // each K once per group
  for (const study::EngineRow& row : rows) {
    const auto k = trochoidRatioValue(row.input);
    if (!k) continue;
    const std::string shape = radiusVaries ? "R = " + shownInput(row.input.rotorRadius) : "";
    if (row.figures) {
      std::string name = shape;
      if (stepsVary)
        name += (name.empty() ? "" : ", ") + std::string("N = ") + std::to_string(row.input.steps);
      series.sweep[name].push_back(
          {*k, row.figures->capacity, row.figures->deadVolume, row.figures->ratio});
    }
    if (row.exact && row.exact->hasFigures()) {
      std::vector<double>& ks = exactKs[shape];
      if (std::find(ks.begin(), ks.end(), *k) != ks.end()) continue;
      ks.push_back(*k);
      const ExactFigures& x = row.exact->figures;
      series.exact[shape].push_back({*k, x.capacity, x.deadVolume, x.ratio});
    }
  }
  sortByK(series.sweep);
  sortByK(series.exact);
  return series;
}

QChart* chartWith(const QString& title) {
  auto* chart = new QChart;
  chart->setTitle(title);
  chart->setAnimationOptions(QChart::NoAnimation);
  chart->legend()->setAlignment(Qt::AlignRight);
  return chart;
}

void addAxes(QChart* chart, const QString& yTitle) {
  auto* x = new QValueAxis;
  x->setTitleText("trochoid ratio K = R / e");
  auto* y = new QValueAxis;
  y->setTitleText(yTitle);
  chart->addAxis(x, Qt::AlignBottom);
  chart->addAxis(y, Qt::AlignLeft);
  // The axes span every series, not only the first one attached.
  double left = INFINITY, right = -INFINITY, top = 0, bottom = -INFINITY;
  for (QAbstractSeries* series : chart->series()) {
    series->attachAxis(x);
    series->attachAxis(y);
    for (const QPointF& p : static_cast<QXYSeries*>(series)->points()) {
      left = std::min(left, p.x());
      right = std::max(right, p.x());
      top = std::min(top, p.y());
      bottom = std::max(bottom, p.y());
    }
  }
  if (left <= right) {
    x->setRange(left, right);
    y->setRange(top, bottom);
  }
  x->applyNiceNumbers();
  y->applyNiceNumbers();
}

// The exact figures as a line, the sweep's as points: the line is what the points approach.
template <typename Kind>
Kind* series(const QString& name, const std::vector<Point>& points, double Point::*value) {
  auto* series = new Kind;
  series->setName(name);
  for (const Point& p : points) series->append(p.k, p.*value);
  if constexpr (std::is_same_v<Kind, QScatterSeries>) series->setMarkerSize(6);
  return series;
}

QString labelled(const char* what, const std::string& group) {
  return group.empty() ? QString(what) : QString(what) + ", " + QString::fromStdString(group);
}

}  // namespace

bool writeChart(const std::string& path, ImageFormat format,
                const std::vector<study::EngineRow>& rows, std::string& error) {
  ensureHeadlessQt();
  const Series all = seriesOf(rows);

  QGraphicsScene scene;
  QChart* ratio = chartWith("Compression-ratio limit against K");
  QChart* volumes = chartWith("Chamber capacity and dead volume against K");
  // The ratio depends on K alone: one exact line serves every group.
  if (!all.exact.empty()) {
    std::vector<Point> everyK;
    for (const auto& [name, points] : all.exact)
      everyK.insert(everyK.end(), points.begin(), points.end());
    std::sort(everyK.begin(), everyK.end(),
              [](const Point& a, const Point& b) { return a.k < b.k; });
    everyK.erase(std::unique(everyK.begin(), everyK.end(),
                             [](const Point& a, const Point& b) { return a.k == b.k; }),
                 everyK.end());
    ratio->addSeries(series<QLineSeries>("exact limit", everyK, &Point::ratio));
  }
  for (const auto& [name, points] : all.exact) {
    volumes->addSeries(
        series<QLineSeries>(labelled("exact capacity", name), points, &Point::capacity));
    volumes->addSeries(
        series<QLineSeries>(labelled("exact dead volume", name), points, &Point::deadVolume));
  }
  for (const auto& [name, points] : all.sweep) {
    ratio->addSeries(series<QScatterSeries>(
        name.empty() ? QString("sweep") : QString::fromStdString(name), points, &Point::ratio));
    volumes->addSeries(
        series<QScatterSeries>(labelled("capacity", name), points, &Point::capacity));
    volumes->addSeries(
        series<QScatterSeries>(labelled("dead volume", name), points, &Point::deadVolume));
  }
  addAxes(ratio, "compression ratio");
  addAxes(volumes, "volume (area x width / 1000)");
  if (all.sweep.empty() && all.exact.empty()) {
    ratio->setTitle("No engine of the study has figures");
  }
  scene.addItem(ratio);
  scene.addItem(volumes);
  ratio->setGeometry(QRectF(0, 0, kPanelWidth, kPanelHeight));
  volumes->setGeometry(QRectF(0, kPanelHeight, kPanelWidth, kPanelHeight));
  const QRectF area(0, 0, kPanelWidth, 2 * kPanelHeight);
  scene.setSceneRect(area);

  const QString file = QString::fromStdString(path);
  if (format == ImageFormat::kSvg) {
    QSvgGenerator svg;
    svg.setFileName(file);
    svg.setSize(area.size().toSize());
    svg.setViewBox(area);
    svg.setTitle("Compression-ratio limit against K");
    QPainter painter;
    if (painter.begin(&svg)) {
      painter.fillRect(area, Qt::white);
      scene.render(&painter, area, area);
      if (painter.end()) return true;
    }
  } else {
    QImage image(area.size().toSize() * 2, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    scene.render(&painter, QRectF(image.rect()), area);
    painter.end();
    if (image.save(file, "PNG")) return true;
  }
  error = "cannot be written";
  return false;
}

}  // namespace rotary::exporting
