#include "message_area.h"

#include <QPainter>
#include <QTextOption>

namespace rotary::app {
namespace {

constexpr int kLargestPointSize = 10;
constexpr int kSmallestPointSize = 6;

QTextOption wrapping() {
  QTextOption option(Qt::AlignLeft | Qt::AlignTop);
  option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  return option;
}

}  // namespace

MessageArea::MessageArea(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

QColor MessageArea::textColour() const {
  return note_ ? QColor(0x00, 0x30, 0x80) : QColor(0xB0, 0x00, 0x00);
}

void MessageArea::show(const QString& text, bool note) {
  if (text == text_ && note == note_) return;
  text_ = text;
  note_ = note;
  update();
}

QRectF MessageArea::boundsAt(int pointSize) const {
  // Laid out as the painter will lay it out on this widget's screen.
  QImage probe(1, 1, QImage::Format_RGB32);
  probe.setDotsPerMeterX(qRound(logicalDpiX() / 0.0254));
  probe.setDotsPerMeterY(qRound(logicalDpiY() / 0.0254));
  QPainter painter(&probe);
  QFont font = this->font();
  font.setPointSize(pointSize);
  painter.setFont(font);
  return painter.boundingRect(QRectF(rect()), text_, wrapping());
}

int MessageArea::fittedPointSize() const {
  for (int size = kLargestPointSize; size > kSmallestPointSize; --size) {
    if (boundsAt(size).height() <= height()) return size;
  }
  return kSmallestPointSize;
}

QRectF MessageArea::textBounds() const {
  return boundsAt(fittedPointSize());
}

void MessageArea::paintEvent(QPaintEvent*) {
  if (text_.isEmpty()) return;  // the drawing shows through
  QPainter painter(this);
  painter.fillRect(rect(), palette().color(QPalette::Window));
  QFont font = this->font();
  font.setPointSize(fittedPointSize());
  painter.setFont(font);
  painter.setPen(textColour());
  painter.setClipRect(rect());
  painter.drawText(QRectF(rect()), text_, wrapping());
}

}  // namespace rotary::app
