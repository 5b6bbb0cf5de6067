#include "engine_view.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <numbers>

#include "number_text.h"

namespace rotary::app {
namespace {

// Room under the drawing for the legend's lines and the scale bar.
constexpr int kLegendRow = 16;
constexpr int kLegendHeight = 5 * kLegendRow + 10;
constexpr int kMargin = 8;

const QColor kBore(0, 0, 0), kTrochoid(0x90, 0x90, 0x90), kRotor(0x00, 0x80, 0x80),
    kGears(0x20, 0x40, 0xc0), kIntake(0x20, 0x90, 0x20), kExhaust(0xc0, 0x30, 0x30),
    kOpen(0xe0, 0x80, 0x20, 0x90);
// The engine's own keys, in the legend's first column.
constexpr std::size_t kEngineKeys = 5;

// 1, 2 or 5 times a power of ten, at or below `value`.
double roundDown(double value) {
  const double decade = std::pow(10.0, std::floor(std::log10(value)));
  for (const double nice : {5.0, 2.0, 1.0}) {
    if (nice * decade <= value) return nice * decade;
  }
  return decade;
}

}  // namespace

EngineView::EngineView(QWidget* parent) : QWidget(parent) {
  setObjectName("EngineView");
  setAccessibleName("engine drawing");
  setMinimumSize(240, 240);
}

void EngineView::setOutlines(std::optional<RealOutlines> outlines) {
  outlines_ = std::move(outlines);
  fit();
  update();
}

void EngineView::setPorts(std::vector<PortShown> ports) {
  ports_ = std::move(ports);
  update();
}

std::vector<Polyline> EngineView::openPartsNow() const {
  std::vector<Polyline> parts;
  for (const PortShown& port : ports_) {
    if (!port.opening) continue;
    // The other two chambers see the port 360 and 720 degrees of the shaft later.
    for (const double turn : {0.0, 360.0, 720.0}) {
      for (Polyline& part : port.opening->openParts(shaftAngle_ + turn)) {
        parts.push_back(std::move(part));
      }
    }
  }
  return parts;
}

void EngineView::setLengthUnit(const QString& unit) {
  lengthUnit_ = unit;
  update();
}

void EngineView::setShaftAngle(double degrees) {
  shaftAngle_ = degrees;
  update();
}

void EngineView::resizeEvent(QResizeEvent*) {
  fit();
}

void EngineView::fit() {
  if (!outlines_ || outlines_->bore.empty()) return;
  double left = 0, right = 0, bottom = 0, top = 0;
  bool first = true;
  for (const PlanePoint& p : outlines_->bore) {
    if (first) left = right = p.x, bottom = top = p.y, first = false;
    left = std::min(left, p.x), right = std::max(right, p.x);
    bottom = std::min(bottom, p.y), top = std::max(top, p.y);
  }
  const double width = std::max(1.0, double(this->width() - 2 * kMargin));
  const double height = std::max(1.0, double(this->height() - 2 * kMargin - kLegendHeight));
  scale_ = std::min(width / (right - left), height / (top - bottom));
  origin_ = QPointF(kMargin + (width - scale_ * (right - left)) / 2 - scale_ * left,
                    kMargin + (height - scale_ * (top - bottom)) / 2 + scale_ * top);
  scaleBar_ = roundDown((right - left) / 4);
}

std::vector<EngineView::LegendKey> EngineView::legendKeys() const {
  std::vector<LegendKey> keys = {{kBore, Qt::SolidLine, "bore", false},
                                 {kTrochoid, Qt::DashLine, "seal tips' trochoid", false},
                                 {kRotor, Qt::SolidLine, "rotor at its clearance", false},
                                 {kRotor, Qt::DotLine, "largest rotor inside the bore", false},
                                 {kGears, Qt::SolidLine, "gears' pitch circles", false}};
  const auto any = [this](bool intake) {
    return std::any_of(ports_.begin(), ports_.end(),
                       [intake](const PortShown& port) { return port.intake == intake; });
  };
  if (any(true)) keys.push_back({kIntake, Qt::SolidLine, "intake side ports", false});
  if (any(false)) keys.push_back({kExhaust, Qt::SolidLine, "exhaust side ports", false});
  if (!ports_.empty()) keys.push_back({kOpen, Qt::SolidLine, "open to a chamber", true});
  return keys;
}

QStringList EngineView::legendNames() const {
  QStringList names;
  for (const LegendKey& key : legendKeys()) names << key.name;
  return names;
}

QPointF EngineView::toView(PlanePoint p) const {
  return {origin_.x() + scale_ * p.x, origin_.y() - scale_ * p.y};
}

PlanePoint EngineView::moved(PlanePoint p) const {
  // At top dead centre the rotor centre stands at (0, -e); it circles the crank axis
  // counterclockwise as the shaft turns, and the rotor turns about it a third as fast the same
  // way, as in the DXF's frame the ports are drawn in.
  const double e = -outlines_->rotorCentre.y;
  const double shaft = shaftAngle_ * std::numbers::pi / 180, turn = shaft / 3;
  const double x = p.x - outlines_->rotorCentre.x, y = p.y - outlines_->rotorCentre.y;
  const PlanePoint centre{e * std::sin(shaft), -e * std::cos(shaft)};
  return {centre.x + x * std::cos(turn) - y * std::sin(turn),
          centre.y + x * std::sin(turn) + y * std::cos(turn)};
}

Polyline EngineView::rotorNow() const {
  Polyline out;
  if (!outlines_) return out;
  for (const PlanePoint& p : outlines_->rotor) out.push_back(moved(p));
  return out;
}

PlanePoint EngineView::rotorGearCentreNow() const {
  return outlines_ ? moved(outlines_->rotorGear.centre) : PlanePoint{0, 0};
}

void EngineView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::white);
  painter.setRenderHint(QPainter::Antialiasing);
  if (!outlines_) {
    painter.setPen(QColor(0x70, 0x70, 0x70));
    painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap,
                     "no engine drawn: the real engine has no figures yet");
    return;
  }
  const auto draw = [&](const Polyline& line, const QPen& pen) {
    QPolygonF shape;
    for (const PlanePoint& p : line) shape << toView(p);
    painter.setPen(pen);
    painter.drawPolygon(shape);
  };
  const auto circle = [&](PlanePoint centre, double radius, const QPen& pen) {
    painter.setPen(pen);
    painter.drawEllipse(toView(centre), scale_ * radius, scale_ * radius);
  };
  const RealOutlines& o = *outlines_;
  draw(o.trochoid, QPen(kTrochoid, 1, Qt::DashLine));
  draw(o.bore, QPen(kBore, 1.5));
  Polyline limit;
  for (const PlanePoint& p : o.rotorLimit) limit.push_back(moved(p));
  draw(limit, QPen(kRotor, 1, Qt::DotLine));
  draw(rotorNow(), QPen(kRotor, 1.5));
  circle(o.housingGear.centre, o.housingGear.radius, QPen(kGears, 1));
  circle(rotorGearCentreNow(), o.rotorGear.radius, QPen(kGears, 1));
  // The ports, their open parts shaded.
  for (const PortShown& port : ports_) {
    const QColor colour = port.intake ? kIntake : kExhaust;
    draw(port.outline, QPen(colour, 1.5));
  }
  painter.setPen(Qt::NoPen);
  painter.setBrush(kOpen);
  for (const Polyline& part : openPartsNow()) {
    QPolygonF shape;
    for (const PlanePoint& p : part) shape << toView(p);
    painter.drawPolygon(shape);
  }
  painter.setBrush(Qt::NoBrush);
  // The crank axis and the rotor centre.
  circle(o.crankAxis, 1.5 / scale_, QPen(kBore, 1));
  circle(moved(o.rotorCentre), 1.5 / scale_, QPen(kRotor, 1));

  // The legend and the scale bar under the drawing.
  QFont font = painter.font();
  font.setPointSizeF(8);
  painter.setFont(font);
  const int top = height() - kMargin - kLegendHeight + 6;
  // The engine's lines in the first column; the ports' and their shading, where there are
  // ports, in the second.
  const std::vector<LegendKey> keys = legendKeys();
  for (std::size_t n = 0; n < keys.size(); ++n) {
    const LegendKey& key = keys[n];
    const int column = n < kEngineKeys ? 0 : 1,
              row = static_cast<int>(column ? n - kEngineKeys : n);
    const int x = kMargin + column * width() / 2, y = top + row * kLegendRow;
    if (key.shaded) {
      painter.setPen(Qt::NoPen);
      painter.setBrush(key.colour);
      painter.drawRect(x, y + 1, 22, 10);
      painter.setBrush(Qt::NoBrush);
    } else {
      painter.setPen(QPen(key.colour, 1.5, key.style));
      painter.drawLine(x, y + 6, x + 22, y + 6);
    }
    painter.setPen(Qt::black);
    painter.drawText(QPoint(x + 28, y + 10), key.name);
  }
  const double bar = scale_ * scaleBar_;
  const int y = top + 4 * kLegendRow + 6, x = width() - kMargin - int(bar) - 4;
  painter.setPen(QPen(Qt::black, 2));
  painter.drawLine(QPointF(x, y), QPointF(x + bar, y));
  painter.drawText(QPointF(x, y - 4),
                   QString::fromStdString(formatNumber(scaleBar_)) + " " + lengthUnit_);
}

}  // namespace rotary::app
