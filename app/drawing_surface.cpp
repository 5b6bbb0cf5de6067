#include "drawing_surface.h"

#include <QMouseEvent>
#include <QPainter>
#include <cmath>

#include "layout.h"

namespace rotary::app {

QColor fromPacked(unsigned colour) {
  return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

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

void DrawingSurface::line(double x1, double y1, double x2, double y2, unsigned colour) {
  const QPointF from = toPixels(x1, y1), to = toPixels(x2, y2);
  QPainter& p = painterWithPen(colour);
  p.drawLine(from, to);
  touched(QRectF(from, to).normalized());
}

void DrawingSurface::circle(double x, double y, double radius, unsigned colour) {
  const QPointF centre = toPixels(x, y);
  const double r = std::abs(radiusToPixels(radius));
  QPainter& p = painterWithPen(colour);
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(centre, r, r);
  touched(QRectF(centre.x() - r, centre.y() - r, 2 * r, 2 * r));
}

void DrawingSurface::point(double x, double y, unsigned colour) {
  const QPointF centre = toPixels(x, y);
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
