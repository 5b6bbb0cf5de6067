#include "drawing_surface.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "clipping.h"
#include "layout.h"

namespace rotary::app {

QColor fromPacked(unsigned colour) {
  return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

namespace {

// Beyond this radius in pixels a circle's place on the surface is no longer known to a pixel in
// double precision; such a circle is not drawn.
constexpr double kLargestPlaceableRadius = 1e14;
// Below it, the painter draws the circle itself; above, the visible arc as short chords.
constexpr double kLargestPaintedRadius = 1e5;

}  // namespace

DrawingSurface::DrawingSurface(double pixelsPerTwip, QWidget* parent)
    : QWidget(parent),
      pixelsPerUnitX_(kTwipsPerUnitX * pixelsPerTwip),
      pixelsPerUnitY_(kTwipsPerUnitY * pixelsPerTwip) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setObjectName("Surface");
}

QPointF DrawingSurface::toPixels(double x, double y) const {
  return {(x - kLeftUnits) * pixelsPerUnitX_, (y - kTopUnits) * pixelsPerUnitY_};
}

double DrawingSurface::radiusToPixels(double radius) const {
  return radius * pixelsPerUnitX_;
}

QPainter& DrawingSurface::painter() {
  if (!painter_.isActive()) {
    fitImage();
    painter_.begin(&image_);
  }
  return painter_;
}

QPainter& DrawingSurface::painterWithPen(unsigned colour) {
  QPainter& p = painter();
  // Setting a pen costs as much as drawing a short line: only when it changes.
  if (!penSet_ || colour != penColour_ || penWidth_ != p.pen().width()) {
    p.setPen(QPen(fromPacked(colour), penWidth_, Qt::SolidLine, Qt::SquareCap));
    penColour_ = colour;
    penSet_ = true;
  }
  return p;
}

void DrawingSurface::closePainter() {
  if (painter_.isActive()) painter_.end();
  penSet_ = false;
}

void DrawingSurface::clear() {
  closePainter();
  fitImage();
  image_.fill(fromPacked(kBackground));
  dirty_ = image_.rect();
}

QRectF DrawingSurface::drawableBox() {
  fitImage();
  const double margin = penWidth_ + 2;
  return QRectF(image_.rect()).adjusted(-margin, -margin, margin, margin);
}

void DrawingSurface::line(double x1, double y1, double x2, double y2, unsigned colour) {
  QPointF from = toPixels(x1, y1), to = toPixels(x2, y2);
  if (!clipToBox(from, to, drawableBox())) return;
  QPainter& p = painterWithPen(colour);
  p.drawLine(from, to);
  touched(QRectF(from, to).normalized());
}

void DrawingSurface::circle(double x, double y, double radius, unsigned colour) {
  const QPointF centre = toPixels(x, y);
  const double r = std::abs(radiusToPixels(radius));
  const QRectF box = drawableBox();
  // Off the surface: beside it, or around it without touching it.
  if (!box.intersects(QRectF(centre.x() - r, centre.y() - r, 2 * r, 2 * r))) return;
  double farthest = 0;
  for (const QPointF& corner :
       {box.topLeft(), box.topRight(), box.bottomLeft(), box.bottomRight()}) {
    farthest = std::max(farthest, std::hypot(corner.x() - centre.x(), corner.y() - centre.y()));
  }
  if (farthest < r || r > kLargestPlaceableRadius) return;
  if (r <= kLargestPaintedRadius) {
    QPainter& p = painterWithPen(colour);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(centre, r, r);
    touched(QRectF(centre.x() - r, centre.y() - r, 2 * r, 2 * r) & box);
    return;
  }
  // A huge circle whose centre lies far off: the arc across the surface, in chords that stray
  // less than a quarter pixel from it, each clipped like a line.
  const QPointF middle = box.center();
  const double towards = std::atan2(middle.y() - centre.y(), middle.x() - centre.x());
  double from = 0, to = 0;
  for (const QPointF& corner :
       {box.topLeft(), box.topRight(), box.bottomLeft(), box.bottomRight()}) {
    const double off = std::remainder(
        std::atan2(corner.y() - centre.y(), corner.x() - centre.x()) - towards, 2 * M_PI);
    from = std::min(from, off);
    to = std::max(to, off);
  }
  const double step = std::sqrt(2 / r);
  const int chords = std::max(1, static_cast<int>(std::ceil((to - from) / step)));
  const auto onCircle = [&](int k) {
    const double angle = towards + from + (to - from) * k / chords;
    return QPointF(centre.x() + r * std::cos(angle), centre.y() + r * std::sin(angle));
  };
  QPointF before = onCircle(0);
  for (int k = 1; k <= chords; ++k) {
    QPointF a = before, b = onCircle(k);
    before = b;
    if (!clipToBox(a, b, box)) continue;
    painterWithPen(colour).drawLine(a, b);
    touched(QRectF(a, b).normalized());
  }
}

void DrawingSurface::point(double x, double y, unsigned colour) {
  const QPointF centre = toPixels(x, y);
  if (!drawableBox().contains(centre)) return;
  // A square dot as wide as the pen, centred on the pixel the point falls in.
  const int left = static_cast<int>(std::floor(centre.x())) - (penWidth_ - 1) / 2;
  const int top = static_cast<int>(std::floor(centre.y())) - (penWidth_ - 1) / 2;
  const QRect dot(left, top, penWidth_, penWidth_);
  painter().fillRect(dot, fromPacked(colour));
  touched(dot);
}

void DrawingSurface::touched(const QRectF& area) {
  const int margin = penWidth_ + 2;
  dirty_ |= area.toAlignedRect().adjusted(-margin, -margin, margin, margin) & image_.rect();
}

void DrawingSurface::flush() {
  closePainter();
  if (dirty_.isEmpty()) return;
  update(dirty_);
  dirty_ = QRect();
}

void DrawingSurface::paintEvent(QPaintEvent* event) {
  closePainter();
  QPainter painter(this);
  painter.drawImage(event->rect(), image_, event->rect());
}

void DrawingSurface::resizeEvent(QResizeEvent*) {
  fitImage();
}

void DrawingSurface::fitImage() {
  if (image_.width() >= width() && image_.height() >= height()) return;
  closePainter();
  // A larger window shows more of the plane at the same scale: keep the picture where it was.
  QImage larger(size().expandedTo(image_.size()), QImage::Format_RGB32);
  larger.fill(fromPacked(kBackground));
  if (!image_.isNull()) {
    QPainter painter(&larger);
    painter.drawImage(0, 0, image_);
  }
  image_ = larger;
}

void DrawingSurface::mousePressEvent(QMouseEvent* event) {
  event->accept();
  emit pressed();
}

}  // namespace rotary::app
