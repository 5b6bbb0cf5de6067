#include "chart.h"

#include <QChart>
#include <QGraphicsScene>
#include <QImage>
#include <QLegend>
#include <QLineSeries>
#include <QPainter>
#include <QSvgGenerator>
#include <QValueAxis>
#include <algorithm>
#include <map>

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

// The engines with figures, grouped by what varies besides K, each group sorted by K.
std::map<std::string, std::vector<Point>> seriesOf(const std::vector<study::EngineRow>& rows) {
  bool radiusVaries = false, stepsVary = false;
  for (const study::EngineRow& row : rows) {
    radiusVaries |= shownInput(row.input.rotorRadius) != shownInput(rows[0].input.rotorRadius);
    stepsVary |= row.input.steps != rows[0].input.steps;
  }
  std::map<std::string, std::vector<Point>> groups;
  for (const study::EngineRow& row : rows) {
    const auto k = trochoidRatioValue(row.input);
    if (!row.figures || !k) continue;
    std::string name;
    if (radiusVaries) name = "R = " + shownInput(row.input.rotorRadius);
    if (stepsVary)
      name += (name.empty() ? "" : ", ") + std::string("N = ") + std::to_string(row.input.steps);
    groups[name].push_back(
        {*k, row.figures->capacity, row.figures->deadVolume, row.figures->ratio});
  }
  for (auto& [name, points] : groups) {
    std::stable_sort(points.begin(), points.end(),
                     [](const Point& a, const Point& b) { return a.k < b.k; });
  }
  return groups;
}

QChart* chartWith(const QString& title) {
  auto* chart = new QChart;
  chart->setTitle(title);
  chart->setAnimationOptions(QChart::NoAnimation);
  chart->legend()->setAlignment(Qt::AlignBottom);
  return chart;
}

void addAxes(QChart* chart, const QString& yTitle) {
  auto* x = new QValueAxis;
  x->setTitleText("trochoid ratio K = R / e");
  auto* y = new QValueAxis;
  y->setTitleText(yTitle);
  chart->addAxis(x, Qt::AlignBottom);
  chart->addAxis(y, Qt::AlignLeft);
  for (QAbstractSeries* series : chart->series()) {
    series->attachAxis(x);
    series->attachAxis(y);
  }
  x->applyNiceNumbers();
  y->applyNiceNumbers();
}

QLineSeries* series(const QString& name, const std::vector<Point>& points, double Point::*value) {
  auto* line = new QLineSeries;
  line->setName(name);
  for (const Point& p : points) line->append(p.k, p.*value);
  return line;
}

}  // namespace

bool writeChart(const std::string& path, ImageFormat format,
                const std::vector<study::EngineRow>& rows, std::string& error) {
  ensureHeadlessQt();
  const auto groups = seriesOf(rows);

  QGraphicsScene scene;
  QChart* ratio = chartWith("Compression-ratio limit against K");
  QChart* volumes = chartWith("Chamber capacity and dead volume against K");
  for (const auto& [name, points] : groups) {
    const QString label = QString::fromStdString(name);
    ratio->addSeries(series(label.isEmpty() ? "compression ratio" : label, points, &Point::ratio));
    volumes->addSeries(series(label.isEmpty() ? "chamber capacity" : "capacity, " + label, points,
                              &Point::capacity));
    volumes->addSeries(series(label.isEmpty() ? "dead volume" : "dead volume, " + label, points,
                              &Point::deadVolume));
  }
  addAxes(ratio, "compression ratio");
  addAxes(volumes, "volume (area x width / 1000)");
  if (groups.empty()) ratio->setTitle("No engine of the study has figures");
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
