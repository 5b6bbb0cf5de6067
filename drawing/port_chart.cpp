#include <QChart>
#include <QFont>
#include <QFontMetricsF>
#include <QGraphicsRectItem>
#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPen>
#include <QValueAxis>
#include <algorithm>
#include <filesystem>

#include "chart.h"
#include "chart_render.h"
#include "cycle_chart_parts.h"
#include "headless_qt.h"
#include "number_text.h"

namespace rotary::drawing {
namespace {

// Intakes in blues and greens, exhausts in reds and browns, each port its own.
QColor portColour(PortRole role, int ofItsRole) {
  static const QColor intake[] = {{16, 89, 198}, {0, 140, 120}, {110, 70, 200}, {40, 160, 40}};
  static const QColor exhaust[] = {{198, 16, 36}, {215, 110, 0}, {150, 40, 120}, {130, 80, 40}};
  const auto& palette = role == PortRole::kIntake ? intake : exhaust;
  return palette[ofItsRole % 4];
}

}  // namespace

bool drawPortChart(ImageFormat format, const PortChart& chart, std::string& content,
                   std::string& error) {
  ensureHeadlessQt();
  constexpr double kWidth = 960, kHeight = 600;
  QChart* drawn =
      newCycleChart(chart.realEngine, chart.eccentricity, chart.rotorRadius, chart.chamberWidth,
                    "each port's area open to one chamber over its cycle");
  QValueAxis* shaft = newShaftAxis();
  auto* areas = new QValueAxis;
  areas->setTitleText(QString::fromStdString("open area, " + chart.lengthUnit + "^2"));
  auto* volumes = new QValueAxis;
  volumes->setTitleText(QString::fromStdString("chamber volume, " + chart.volumeUnit));
  drawn->addAxis(shaft, Qt::AlignBottom);
  drawn->addAxis(areas, Qt::AlignLeft);
  drawn->addAxis(volumes, Qt::AlignRight);

  // The volume in grey behind the ports, for where in the strokes they stand open.
  auto* volume = new QLineSeries;
  volume->setName("chamber volume (right axis)");
  volume->setPen(wholeLinePen(QColor(128, 128, 128), 1.5));
  double mostVolume = 0;
  for (const CyclePoint& p : chart.curve) {
    volume->append(p.shaftAngle, p.volume);
    mostVolume = std::max(mostVolume, p.volume);
  }
  drawn->addSeries(volume);
  volume->attachAxis(shaft);
  volume->attachAxis(volumes);
  volumes->setRange(0, mostVolume);
  volumes->applyNiceNumbers();

  double mostArea = 0;
  for (const std::vector<double>& row : chart.areas) {
    for (const double area : row) mostArea = std::max(mostArea, area);
  }
  areas->setRange(0, mostArea > 0 ? mostArea : 1);
  areas->applyNiceNumbers();
  const double top = areas->max();

  struct Event {
    double angle;
    QColor colour;
    QString words;
    QLineSeries* mark = nullptr;
  };
  std::vector<Event> events;
  int intakes = 0, exhausts = 0;
  for (std::size_t n = 0; n < chart.ports.size() && n < chart.areas.size(); ++n) {
    const PortDefinition& port = chart.ports[n];
    const QColor colour =
        portColour(port.role, port.role == PortRole::kIntake ? intakes++ : exhausts++);
    // A side port by its file's name: the legend has no room for folders.
    auto* line = new QLineSeries;
    line->setName(QString::fromStdString(
        "port" + std::to_string(n + 1) + ": " +
        (port.role == PortRole::kIntake ? "intake" : "exhaust") +
        (port.kind == PortKind::kSide
             ? " side " + std::filesystem::path(port.source).filename().string()
             : " peripheral " + port.source)));
    line->setPen(wholeLinePen(colour, 2));
    for (std::size_t k = 0; k < chart.curve.size() && k < chart.areas[n].size(); ++k) {
      line->append(chart.curve[k].shaftAngle, chart.areas[n][k]);
    }
    drawn->addSeries(line);
    line->attachAxis(shaft);
    line->attachAxis(areas);
    if (n >= chart.timing.ports.size()) continue;
    for (const PortOpening& o : chart.timing.ports[n].openings) {
      for (const auto& [angle, opening] : {std::pair{o.opens, true}, std::pair{o.closes, false}}) {
        const TradeAngle said = tradeAngle(angle, port.role, opening);
        events.push_back({angle, colour.darker(150),
                          QString::fromStdString(
                              "port" + std::to_string(n + 1) + (opening ? " opens " : " closes ") +
                              significantDigits(said.degrees, 4) + " " + said.words)});
      }
    }
  }
  // Each event a dashed line up the chart in its port's colour, darker, named along it.
  for (Event& event : events) {
    auto* mark = event.mark = new QLineSeries;
    mark->setPen(QPen(event.colour, 1, Qt::DashLine));
    mark->append(event.angle, 0);
    mark->append(event.angle, top);
    drawn->addSeries(mark);
    mark->attachAxis(shaft);
    mark->attachAxis(areas);
    for (QLegendMarker* marker : drawn->legend()->markers(mark)) marker->setVisible(false);
  }

  QGraphicsScene scene;
  scene.addItem(drawn);
  const QRectF area(0, 0, kWidth, kHeight);
  drawn->setGeometry(area);
  scene.setSceneRect(area);
  // The chart lays itself out when first asked where a value lies. Each event named along its
  // line, reading upwards from a little below the top; where a name would touch the one before
  // it, it goes further down, below that one's end.
  QFont small;
  small.setPointSizeF(7.5);
  std::sort(events.begin(), events.end(),
            [](const Event& a, const Event& b) { return a.angle < b.angle; });
  const QFontMetricsF measure(small);
  double longest = 0;
  for (const Event& event : events)
    longest = std::max(longest, measure.horizontalAdvance(event.words));
  std::vector<double> lastAtLevel;  // where the last name of each level stands across
  for (const Event& event : events) {
    const QPointF at = drawn->mapToPosition(QPointF(event.angle, top), event.mark);
    std::size_t level = 0;
    while (level < lastAtLevel.size() && at.x() - lastAtLevel[level] < measure.height() + 2) {
      ++level;
    }
    if (level == lastAtLevel.size()) lastAtLevel.push_back(0);
    lastAtLevel[level] = at.x();
    // Turned to read upwards, just right of its line, on white where other lines cross it.
    auto* words = new QGraphicsSimpleTextItem(event.words);
    words->setFont(small);
    words->setBrush(event.colour);
    const QRectF box = words->boundingRect();
    auto* ground = new QGraphicsRectItem(box, drawn);
    ground->setPen(Qt::NoPen);
    ground->setBrush(QColor(255, 255, 255, 220));
    words->setParentItem(ground);
    ground->setZValue(1000);
    ground->setRotation(-90);
    ground->setPos(at.x() + 1, at.y() + 4 + level * (longest + 8) + box.width());
  }
  return renderScene(format, scene, area, "Ports' open areas over the cycle", content, error);
}

}  // namespace rotary::drawing
