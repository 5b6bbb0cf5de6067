// The drawing surface: the whole client area, beneath the controls. It paints into an image that
// is kept across repaints, so uncovering or resizing the window keeps the picture, and maps the
// engine's user coordinates onto pixels.
#pragma once

#include <QImage>
#include <QPainter>
#include <QPointF>
#include <QRect>
#include <QWidget>

namespace rotary::app {

class DrawingSurface : public QWidget {
  Q_OBJECT

 public:
  // pixelsPerTwip follows the screen's logical resolution (1/15 at 96 dpi).
  DrawingSurface(double pixelsPerTwip, QWidget* parent);

  QPointF toPixels(double x, double y) const;
  double radiusToPixels(double radius) const;

  void clear();
  void setForeColor(unsigned colour) { foreColour_ = colour; }
  void setPenWidth(int pixels) { penWidth_ = pixels < 1 ? 1 : pixels; }
  void line(double x1, double y1, double x2, double y2, unsigned colour);
  void lineInForeColor(double x1, double y1, double x2, double y2) {
    line(x1, y1, x2, y2, foreColour_);
  }
  void circle(double x, double y, double radius, unsigned colour);
  void point(double x, double y, unsigned colour);

  // Schedules a repaint of what was drawn since the last call.
  void flush();

  const QImage& image() {
    closePainter();
    fitImage();
    return image_;
  }

 signals:
  void pressed();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  void touched(const QRectF& area);
  // The image with a margin of a pen's width: what a drawing call may touch. Anything beyond it
  // is left out in floating point, before any coordinate becomes an integer.
  QRectF drawableBox();
  // The image grows with the widget, whether or not it is shown, and never shrinks, so that
  // making the window smaller and larger again keeps the picture.
  void fitImage();
  // A painter kept open between event pumps: opening one per drawing call would cost more than
  // the drawing itself.
  QPainter& painter();
  QPainter& painterWithPen(unsigned colour);
  void closePainter();

  double pixelsPerUnitX_;
  double pixelsPerUnitY_;
  QImage image_;
  QPainter painter_;
  QRect dirty_;
  unsigned foreColour_ = 0;
  int penWidth_ = 1;
  unsigned penColour_ = 0;
  bool penSet_ = false;
};

// 0x00BBGGRR, as the engine packs its colours.
QColor fromPacked(unsigned colour);

}  // namespace rotary::app
