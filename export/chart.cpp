#include "chart.h"

#include <QBuffer>
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
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <map>
#include <optional>
#include <type_traits>

#include "chart_render.h"
#include "headless_qt.h"
#include "number_text.h"
#include "results_table.h"

namespace rotary::exporting {
namespace {

constexpr int kPanelWidth = 900;
constexpr int kPanelHeight = 560;

struct Point {
  double x, capacity, deadVolume, ratio;
};

// Series names in the order of their values: "N = 100, N = 200, N = 1000", not as text.
struct ByValue {
  bool operator()(const std::string& a, const std::string& b) const {
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
      const bool numberA = std::isdigit(static_cast<unsigned char>(a[i]));
      const bool numberB = std::isdigit(static_cast<unsigned char>(b[j]));
      if (numberA && numberB) {
        char* endA = nullptr;
        char* endB = nullptr;
        const double x = std::strtod(a.c_str() + i, &endA), y = std::strtod(b.c_str() + j, &endB);
        if (x != y) return x < y;
        i = static_cast<std::size_t>(endA - a.c_str());
        j = static_cast<std::size_t>(endB - b.c_str());
      } else {
        if (a[i] != b[j]) return a[i] < b[j];
        ++i, ++j;
      }
    }
    return a.size() - i < b.size() - j;
  }
};

using Groups = std::map<std::string, std::vector<Point>, ByValue>;

// A parameter of the study: what a chart may be drawn against, or what tells its series apart.
struct Parameter {
  const char* axisTitle;
  const char* name;
  std::function<std::optional<double>(const study::EngineInput&)> value;
};

std::optional<double> number(const std::string& text) {
  return parseNumber(text);
}

const std::vector<Parameter>& parameters() {
  static const std::vector<Parameter> all = {
      {"trochoid ratio K = R / e", "K", trochoidRatioValue},
      {"apex-seal offset A", "A", [](const auto& in) { return number(in.sealOffset); }},
      {"clearance C", "C", [](const auto& in) { return number(in.clearance); }},
      {"recess V", "V", [](const auto& in) { return number(in.recess); }},
      {"chamber width W", "W", [](const auto& in) { return number(in.chamberWidth); }},
      {"step count N", "N", [](const auto& in) { return std::optional<double>(in.steps); }},
      {"rotor radius R", "R", [](const auto& in) { return number(in.rotorRadius); }},
  };
  return all;
}

bool varies(const Parameter& parameter, const std::vector<study::EngineRow>& rows) {
  std::optional<double> first;
  for (const study::EngineRow& row : rows) {
    const auto value = parameter.value(row.input);
    if (!value) continue;
    if (first && *value != *first) return true;
    first = value;
  }
  return false;
}

// The figures of a study against one parameter, grouped by the others that vary, each group
// sorted: the sweep's at their step counts, and the exact ones (the real engine's, where the
// study asks for it), which do not depend on the step count.
struct Series {
  const Parameter* against = nullptr;
  Groups sweep;
  Groups exact;
};

// Sorted by x; the exact figures, which do not depend on the step count, once for each x.
void sortByX(Groups& groups, bool oncePerX) {
  for (auto& [name, points] : groups) {
    std::stable_sort(points.begin(), points.end(),
                     [](const Point& a, const Point& b) { return a.x < b.x; });
    if (!oncePerX) continue;
    points.erase(std::unique(points.begin(), points.end(),
                             [](const Point& a, const Point& b) { return a.x == b.x; }),
                 points.end());
  }
}

Series seriesOf(const std::vector<study::EngineRow>& rows) {
  // Looked at once: what varies across the whole study.
  std::vector<const Parameter*> varying;
  for (const Parameter& parameter : parameters()) {
    if (varies(parameter, rows)) varying.push_back(&parameter);
  }
  Series series;
  series.against = &parameters().front();
  for (const Parameter* parameter : varying) {
    if (parameter != &parameters().back()) {
      series.against = parameter;
      break;
    }
  }
  // Against K, R tells the shapes apart; against anything else, K does already.
  const std::string implied = series.against->name == std::string("K") ? "K" : "R";
  const bool real = !rows.empty() && rows.front().input.real;
  const auto nameOf = [&](const study::EngineInput& input, bool withSteps) {
    std::string name;
    for (const Parameter* parameter : varying) {
      if (parameter == series.against || parameter->name == implied) continue;
      if (parameter->name == std::string("N") && !withSteps) continue;
      name += (name.empty() ? "" : ", ") + std::string(parameter->name) + " = " +
              formatNumber(*parameter->value(input));
    }
    return name;
  };
  for (const study::EngineRow& row : rows) {
    const auto x = series.against->value(row.input);
    if (!x) continue;
    if (real) {
      if (row.real && row.real->hasFigures()) {
        const ExactFigures& f = row.real->figures;
        series.exact[nameOf(row.input, false)].push_back({*x, f.capacity, f.deadVolume, f.ratio});
      }
      continue;
    }
    if (row.figures) {
      series.sweep[nameOf(row.input, true)].push_back(
          {*x, row.figures->capacity, row.figures->deadVolume, row.figures->ratio});
    }
    if (row.exact && row.exact->hasFigures()) {
      const ExactFigures& f = row.exact->figures;
      series.exact[nameOf(row.input, false)].push_back({*x, f.capacity, f.deadVolume, f.ratio});
    }
  }
  sortByX(series.sweep, false);
  sortByX(series.exact, true);
  return series;
}

QChart* chartWith(const QString& title) {
  auto* chart = new QChart;
  chart->setTitle(title);
  chart->setAnimationOptions(QChart::NoAnimation);
  chart->legend()->setAlignment(Qt::AlignRight);
  return chart;
}

void addAxes(QChart* chart, const QString& xTitle, const QString& yTitle) {
  auto* x = new QValueAxis;
  x->setTitleText(xTitle);
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
  for (const Point& p : points) series->append(p.x, p.*value);
  if constexpr (std::is_same_v<Kind, QScatterSeries>) series->setMarkerSize(6);
  return series;
}

// Every series of both panels in a colour of its own, so that a colour means one thing: hues
// spread by the golden angle, in two lightnesses, as many as there are series.
void giveEachSeriesItsOwnColour(std::initializer_list<QChart*> charts) {
  int count = 0;
  for (QChart* chart : charts) count += static_cast<int>(chart->series().size());
  int n = 0;
  for (QChart* chart : charts) {
    for (QAbstractSeries* each : chart->series()) {
      const double hue = std::fmod(0.6 + n * 0.381966, 1.0);
      const double lightness = count > 12 && n % 2 ? 0.62 : 0.42;
      const QColor colour =
          QColor::fromHslF(static_cast<float>(hue), 0.85f, static_cast<float>(lightness));
      auto* xy = static_cast<QXYSeries*>(each);
      if (auto* points = qobject_cast<QScatterSeries*>(xy)) {
        points->setColor(colour);
        points->setBorderColor(colour);
      } else {
        xy->setPen(QPen(colour, 2));
      }
      ++n;
    }
  }
}

QString labelled(const char* what, const std::string& group) {
  return group.empty() ? QString(what) : QString(what) + ", " + QString::fromStdString(group);
}

}  // namespace

bool drawChart(ImageFormat format, const std::vector<study::EngineRow>& rows, std::string& content,
               std::string& error) {
  ensureHeadlessQt();
  const Series all = seriesOf(rows);

  QGraphicsScene scene;
  const QString against = QString::fromStdString(all.against->axisTitle);
  const bool real = !rows.empty() && rows.front().input.real;
  const QString exactName = real ? "real engine" : "exact limit";
  QChart* ratio = chartWith((real ? "Compression ratio of the real engine against "
                                  : "Compression-ratio limit against ") +
                            QString(all.against->name));
  QChart* volumes =
      chartWith("Chamber capacity and dead volume against " + QString(all.against->name));
  for (const auto& [name, points] : all.exact) {
    ratio->addSeries(
        series<QLineSeries>(labelled(exactName.toUtf8(), name), points, &Point::ratio));
    volumes->addSeries(series<QLineSeries>(labelled(real ? "capacity" : "exact capacity", name),
                                           points, &Point::capacity));
    volumes->addSeries(series<QLineSeries>(
        labelled(real ? "dead volume" : "exact dead volume", name), points, &Point::deadVolume));
  }
  for (const auto& [name, points] : all.sweep) {
    ratio->addSeries(series<QScatterSeries>(labelled("sweep", name), points, &Point::ratio));
    volumes->addSeries(
        series<QScatterSeries>(labelled("capacity", name), points, &Point::capacity));
    volumes->addSeries(
        series<QScatterSeries>(labelled("dead volume", name), points, &Point::deadVolume));
  }
  giveEachSeriesItsOwnColour({ratio, volumes});
  addAxes(ratio, against, "compression ratio");
  addAxes(volumes, against, "volume (area x width / 1000)");
  if (all.sweep.empty() && all.exact.empty()) {
    ratio->setTitle("No engine of the study has figures");
  }
  scene.addItem(ratio);
  scene.addItem(volumes);
  ratio->setGeometry(QRectF(0, 0, kPanelWidth, kPanelHeight));
  volumes->setGeometry(QRectF(0, kPanelHeight, kPanelWidth, kPanelHeight));
  const QRectF area(0, 0, kPanelWidth, 2 * kPanelHeight);
  scene.setSceneRect(area);

  return renderScene(format, scene, area, "Compression-ratio limit against K", content, error);
}

}  // namespace rotary::exporting
