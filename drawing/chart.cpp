#include "chart.h"

#include <QBuffer>
#include <QChart>
#include <QCoreApplication>
#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QImage>
#include <QLegend>
#include <QLegendMarker>
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
#include "length_unit.h"
#include "number_text.h"
#include "results_table.h"

namespace rotary::drawing {
namespace {

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
  std::function<std::optional<double>(const study::Design&)> value;
};

const std::vector<Parameter>& parameters() {
  static const std::vector<Parameter> all = {
      {"trochoid ratio K = R / e", "K", [](const auto& in) { return in.trochoidRatio(); }},
      {"apex-seal offset A", "A", [](const auto& in) { return in.sealOffset.number; }},
      {"clearance C", "C", [](const auto& in) { return in.clearance.number; }},
      {"recess V", "V", [](const auto& in) { return in.recessShown().number; }},
      {"chamber width W", "W", [](const auto& in) { return in.chamberWidth.number; }},
      {"step count N", "N", [](const auto& in) { return std::optional<double>(in.steps); }},
      {"rotor radius R", "R", [](const auto& in) { return in.rotorRadius.number; }},
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
  // Against K, R tells the shapes apart where the eccentricity varies too; where it does not, K
  // follows from R, and R is the axis itself. Against anything else, K tells them apart already.
  const bool eccentricityVaries =
      std::any_of(rows.begin(), rows.end(), [&](const study::EngineRow& row) {
        return row.input.eccentricity.text != rows.front().input.eccentricity.text;
      });
  const std::string implied =
      series.against->name == std::string("K") && eccentricityVaries ? "K" : "R";
  const bool real = !rows.empty() && rows.front().input.real;
  const auto nameOf = [&](const study::Design& input, bool withSteps) {
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

// An axis over what the data span, with a little room either side, and ticks at round numbers
// inside it: a study over K from 3.2 to 21 starts at 3, not at 0, and a quantity that hardly
// changes still shows its change.
void fitAxis(QValueAxis* axis, double low, double high) {
  if (!(low <= high)) return;
  double span = high - low;
  if (span <= 1e-12 * std::max(std::abs(low), std::abs(high))) {
    span = std::max(std::abs(low) * 0.02, 1e-300);  // one value: a band around it
  }
  low -= 0.04 * span;
  high += 0.04 * span;
  span = high - low;
  const double rough = span / 6;
  const double magnitude = std::pow(10.0, std::floor(std::log10(rough)));
  double step = magnitude;
  for (const double nice : {1.0, 2.0, 2.5, 5.0, 10.0}) {
    if (nice * magnitude >= rough) {
      step = nice * magnitude;
      break;
    }
  }
  axis->setRange(low, high);
  axis->setTickType(QValueAxis::TicksDynamic);
  axis->setTickAnchor(std::ceil(low / step) * step);
  axis->setTickInterval(step);
  const int decimals = std::max(0, static_cast<int>(-std::floor(std::log10(step) + 1e-9)) +
                                       (step / magnitude == 2.5 ? 1 : 0));
  axis->setLabelFormat(decimals > 6 ? "%.3g" : ("%." + std::to_string(decimals) + "f").c_str());
}

void addAxes(QChart* chart, const QString& xTitle, const QString& yTitle) {
  auto* x = new QValueAxis;
  x->setTitleText(xTitle);
  auto* y = new QValueAxis;
  y->setTitleText(yTitle);
  chart->addAxis(x, Qt::AlignBottom);
  chart->addAxis(y, Qt::AlignLeft);
  // The axes span every series, not only the first one attached.
  double left = INFINITY, right = -INFINITY, top = INFINITY, bottom = -INFINITY;
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
  fitAxis(x, left, right);
  fitAxis(y, top, bottom);
}

// Drawn as one path rather than a line per segment: a 301-engine chart stays small as an SVG.
// A dash longer than any line is no dash at all.
QPen unbrokenPen(const QColor& colour, double width) {
  QPen pen(colour, width);
  pen.setDashPattern({1e6, 1});
  pen.setCapStyle(Qt::RoundCap);
  pen.setJoinStyle(Qt::RoundJoin);
  return pen;
}

// A group's colour: hues spread by the golden angle, so that neighbouring groups differ.
QColor groupColour(int group, double lightness) {
  const double hue = std::fmod(0.6 + group * 0.381966, 1.0);
  return QColor::fromHslF(static_cast<float>(hue), 0.8f, static_cast<float>(lightness));
}

// Every panel's plot, in the panel's own coordinates: the same left edge and width in all three,
// so that one K stands above the same K in each; the ratio's legend goes to the right of it.
constexpr double kWidth = 1250, kPlotLeft = 110, kPlotWidth = 790, kPlotTop = 60, kPlotBelow = 70;

// The sweep's points: 5 pixels across, smaller where they crowd, never less than 2.5.
double markerSize(const std::vector<Point>& points, double span) {
  constexpr double kLargest = 5, kSmallest = 2.5;
  if (points.size() < 2 || !(span > 0)) return kLargest;
  const double apart =
      (points.back().x - points.front().x) / span * kPlotWidth / (points.size() - 1);
  return std::clamp(apart, kSmallest, kLargest);
}

// The exact figures as a line drawn over the sweep's, the sweep's as points, each a figure the
// sweep gave: its steps between samples are no curve.
QXYSeries* sweepSeries(const QString& name, const std::vector<Point>& points, double Point::*value,
                       const QColor& colour, double marker) {
  auto* series = new QScatterSeries;
  series->setMarkerSize(marker);
  series->setColor(colour);
  series->setBorderColor(colour);
  series->setName(name);
  for (const Point& p : points) series->append(p.x, p.*value);
  return series;
}

QLineSeries* exactSeries(const QString& name, const std::vector<Point>& points,
                         double Point::*value, const QColor& colour) {
  auto* series = new QLineSeries;
  series->setName(name);
  series->setPen(unbrokenPen(colour, 2.5));
  for (const Point& p : points) series->append(p.x, p.*value);
  return series;
}

QString labelled(const char* what, const std::string& group) {
  return group.empty() ? QString(what) : QString(what) + ", " + QString::fromStdString(group);
}

// The unit of what an axis shows, after its name.
QString withUnit(const Parameter& parameter, const std::string& lengthUnit,
                 const std::string& volumeUnit) {
  const std::string name = parameter.name;
  std::string unit;
  if (name == "A" || name == "C" || name == "W" || name == "R") unit = lengthUnit;
  if (name == "V") unit = volumeUnit;
  return QString::fromStdString(std::string(parameter.axisTitle) +
                                (unit.empty() ? "" : ", " + unit));
}

// What stays fixed across the study, for the title: "R = 105 mm, W = 80 mm, N = 100". The axis
// and what tells the series apart are not fixed; the real engine's values count where it is asked
// for, the step count where the sweep ran.
QString fixedValues(const std::vector<study::EngineRow>& rows, const Parameter& against,
                    const std::string& lengthUnit, const std::string& volumeUnit) {
  if (rows.empty()) return "";
  const study::Design& first = rows.front().input;
  const auto same = [&](const auto& value) {
    return std::all_of(rows.begin(), rows.end(), [&](const study::EngineRow& row) {
      return value(row.input) == value(first);
    });
  };
  QStringList fixed;
  const auto add = [&](const char* name, const std::optional<double>& value,
                       const std::string& unit) {
    if (!value || name == std::string(against.name)) return;
    fixed << QString::fromStdString(std::string(name) + " = " + formatNumber(*value) +
                                    (unit.empty() ? "" : " " + unit));
  };
  using Value = std::optional<double> (*)(const study::Design&);
  const struct {
    const char* name;
    Value number;
    bool length;
    bool real;
  } values[] = {
      {"e", [](const study::Design& in) { return in.eccentricity.number; }, true, false},
      {"R", [](const study::Design& in) { return in.rotorRadius.number; }, true, false},
      {"W", [](const study::Design& in) { return in.chamberWidth.number; }, true, false},
      {"A", [](const study::Design& in) { return in.sealOffset.number; }, true, true},
      {"C", [](const study::Design& in) { return in.clearance.number; }, true, true},
      {"V", [](const study::Design& in) { return in.recessShown().number; }, false, true}};
  for (const auto& value : values) {
    if (value.real && !first.real) continue;
    // Against K, the eccentricity stands in the axis where the radius is fixed, and the other way
    // round: only the fixed one of the two is named.
    if (same(value.number)) {
      add(value.name, value.number(first),
          lengthUnit.empty() ? ""
          : value.length     ? lengthUnit
                             : volumeUnit);
    }
  }
  const auto steps = [](const study::Design& in) { return in.steps; };
  if (first.steps > 0 && !first.real && same(steps)) add("N", first.steps, "");
  return fixed.join(", ");
}

}  // namespace

bool drawChart(ImageFormat format, const std::vector<study::EngineRow>& rows,
               const std::string& lengthUnit, std::string& content, std::string& error) {
  ensureHeadlessQt();
  const Series all = seriesOf(rows);
  const study::LengthUnit& unit = study::lengthUnitOf(lengthUnit);

  QGraphicsScene scene;
  const QString against = withUnit(*all.against, unit.name, unit.volumeUnit);
  const bool real = !rows.empty() && rows.front().input.real;
  const QString exactName = real ? "real engine" : "exact limit";
  const QString by = QString(all.against->name);
  const QString fixed = fixedValues(rows, *all.against, lengthUnit, unit.volumeUnit);
  QChart* ratio = chartWith((real ? "Compression ratio of the real engine against "
                                  : "Compression-ratio limit against ") +
                            by + (fixed.isEmpty() ? "" : " (" + fixed + ")"));
  QChart* capacity = chartWith("Chamber capacity against " + by);
  QChart* dead = chartWith("Dead volume against " + by);
  const QString volumeTitle = QString("volume, ") + unit.volumeUnit;

  // One colour for each group in every panel, the exact line darker than the sweep.
  std::vector<std::string> groups;
  for (const auto& each : {&all.exact, &all.sweep}) {
    for (const auto& [name, points] : *each) {
      if (std::find(groups.begin(), groups.end(), name) == groups.end()) groups.push_back(name);
    }
  }
  std::sort(groups.begin(), groups.end(), ByValue());
  const auto groupOf = [&](const std::string& name) {
    return static_cast<int>(std::find(groups.begin(), groups.end(), name) - groups.begin());
  };
  double left = INFINITY, right = -INFINITY;
  for (const auto& each : {&all.exact, &all.sweep}) {
    for (const auto& [name, points] : *each) {
      for (const Point& p : points) {
        left = std::min(left, p.x);
        right = std::max(right, p.x);
      }
    }
  }
  // Sweep first, so that the exact lines lie over it.
  for (const auto& [name, points] : all.sweep) {
    // With one group, the sweep in the opposite hue, so that it shows beside the exact line.
    const QColor colour =
        groups.size() == 1 ? QColor(230, 120, 20) : groupColour(groupOf(name), 0.62);
    const double marker = markerSize(points, right - left);
    ratio->addSeries(sweepSeries(labelled("sweep", name), points, &Point::ratio, colour, marker));
    capacity->addSeries(
        sweepSeries(labelled("sweep", name), points, &Point::capacity, colour, marker));
    dead->addSeries(
        sweepSeries(labelled("sweep", name), points, &Point::deadVolume, colour, marker));
  }
  for (const auto& [name, points] : all.exact) {
    const QColor colour = groupColour(groupOf(name), 0.36);
    ratio->addSeries(
        exactSeries(labelled(exactName.toUtf8(), name), points, &Point::ratio, colour));
    capacity->addSeries(
        exactSeries(labelled(exactName.toUtf8(), name), points, &Point::capacity, colour));
    dead->addSeries(
        exactSeries(labelled(exactName.toUtf8(), name), points, &Point::deadVolume, colour));
  }
  addAxes(ratio, against, "compression ratio");
  addAxes(capacity, against, volumeTitle);
  addAxes(dead, against, volumeTitle);
  // The colours mean the same in every panel: one legend, under the ratio, in full. Where the
  // series are more than it holds in a few lines, it names the first and says how many there are.
  capacity->legend()->setVisible(false);
  dead->legend()->setVisible(false);
  constexpr int kMostInLegend = 24;
  const auto& markers = ratio->legend()->markers();
  for (int n = kMostInLegend; n < markers.size(); ++n) markers[n]->setVisible(false);
  if (markers.size() > kMostInLegend) {
    ratio->setTitle(ratio->title() + QString(" (%1 series; the legend names the first %2)")
                                         .arg(markers.size())
                                         .arg(kMostInLegend));
  }
  if (all.sweep.empty() && all.exact.empty()) {
    ratio->setTitle("No engine of the study has figures");
  }
  // The legend lists the series down the right; the ratio's panel grows to hold them all.
  constexpr double kPanel = 420, kLegendLine = 21;
  const int shown = std::min<int>(static_cast<int>(markers.size()), kMostInLegend);
  const double ratioHeight = std::max(kPanel, 120 + kLegendLine * shown);
  scene.addItem(ratio);
  scene.addItem(capacity);
  scene.addItem(dead);
  // Each panel's plot at the same place, its title centred over it, the legend to its right: a
  // chart given its plot area lays out neither title nor legend itself.
  const QString documentTitle = ratio->title();
  const auto place = [&scene](QChart* panel, double top, double height) {
    auto* title = new QGraphicsSimpleTextItem(panel->title());
    panel->setTitle("");
    panel->setPlotArea(QRectF(kPlotLeft, kPlotTop, kPlotWidth, height - kPlotTop - kPlotBelow));
    panel->setGeometry(QRectF(0, top, kWidth, height));
    title->setFont(panel->titleFont());
    title->setBrush(panel->titleBrush());
    const QRectF box = title->boundingRect();
    title->setPos(kPlotLeft + (kPlotWidth - box.width()) / 2, top + (kPlotTop - box.height()) / 2);
    scene.addItem(title);
    if (panel->legend()->isVisible()) {
      panel->legend()->detachFromChart();
      panel->legend()->setGeometry(QRectF(kPlotLeft + kPlotWidth + 20, top + kPlotTop,
                                          kWidth - kPlotLeft - kPlotWidth - 30,
                                          height - kPlotTop - kPlotBelow));
    }
  };
  place(ratio, 0, ratioHeight);
  place(capacity, ratioHeight, kPanel - 40);
  place(dead, ratioHeight + kPanel - 40, kPanel - 40);
  // The charts lay their series out on the events that the plot areas post.
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents();
  const QRectF area(0, 0, kWidth, ratioHeight + 2 * (kPanel - 40));
  scene.setSceneRect(area);
  return renderScene(format, scene, area, documentTitle, content, error);
}

}  // namespace rotary::drawing
