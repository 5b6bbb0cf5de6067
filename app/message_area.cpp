#include "message_area.h"

#include <QAccessible>
#include <QPainter>
#include <QTextOption>

namespace rotary::app {
namespace {

constexpr int kLargestPointSize = 10;
constexpr int kSmallestPointSize = 6;
constexpr int kStatusPointSize = 9;
constexpr int kStatusGap = 4;  // pixels between the status lines and the message

QTextOption wrapping() {
  QTextOption option(Qt::AlignLeft | Qt::AlignTop);
  option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  return option;
}

}  // namespace

MessageArea::MessageArea(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAccessibleName("messages");
  announce();
}

void MessageArea::announce() {
  const QString said = text_.isEmpty() ? statusText() : statusText() + "\n" + text_;
  if (said == accessibleDescription()) return;
  setAccessibleDescription(said);
  QAccessibleEvent changed(this, QAccessible::DescriptionChanged);
  QAccessible::updateAccessibility(&changed);
}

QColor MessageArea::textColour() const {
  return note_ ? QColor(0x00, 0x30, 0x80) : QColor(0xB0, 0x00, 0x00);
}

void MessageArea::show(const QString& text, bool note) {
  if (text == text_ && note == note_) return;
  text_ = text;
  note_ = note;
  announce();
  update();
}

template <typename Value>
void MessageArea::change(Value& member, const Value& value) {
  if (value == member) return;
  member = value;
  announce();
  update();
}

void MessageArea::setSteps(int steps) {
  change(steps_, steps);
}

void MessageArea::setCycleSteps(int steps) {
  change(cycleSteps_, steps);
}

void MessageArea::setExactLimit(const QString& text) {
  change(exactLimit_, text);
}

void MessageArea::setStale(const QString& text) {
  change(stale_, text);
}

void MessageArea::setRestartWaiting(bool waiting) {
  change(restartWaiting_, waiting);
}

void MessageArea::setHeld(bool held) {
  change(held_, held);
}

QString MessageArea::stepLine() const {
  QString line = QString("N = %1 steps").arg(steps_);
  if (cycleSteps_ == 0 || cycleSteps_ == steps_) return line;
  line += " from the next start";
  // A message stands instead of figures: there are none to name.
  if (text_.isEmpty() || note_) line += QString(" (figures at N = %1)").arg(cycleSteps_);
  return line;
}

QString MessageArea::statusText() const {
  QString status = stepLine();
  if (!exactLimit_.isEmpty()) status += "\n" + exactLimit_;
  if (!stale_.isEmpty()) status += "\n" + stale_;
  if (held_) status += "\nHeld: press on the drawing to go on.";
  if (held_ && restartWaiting_) status += "\nRecalculation waits for the release.";
  return status;
}

QRectF MessageArea::statusBounds() const {
  return boundsAt(statusText(), QRectF(rect()), kStatusPointSize);
}

QRectF MessageArea::textRoom() const {
  QRectF room(rect());
  room.setTop(statusBounds().bottom() + kStatusGap);
  return room;
}

QRectF MessageArea::boundsAt(const QString& text, const QRectF& room, int pointSize) const {
  // Laid out as the painter will lay it out on this widget's screen.
  QImage probe(1, 1, QImage::Format_RGB32);
  probe.setDotsPerMeterX(qRound(logicalDpiX() / 0.0254));
  probe.setDotsPerMeterY(qRound(logicalDpiY() / 0.0254));
  QPainter painter(&probe);
  QFont font = this->font();
  font.setPointSize(pointSize);
  painter.setFont(font);
  return painter.boundingRect(room, text, wrapping());
}

int MessageArea::fittedPointSize() const {
  const QRectF room = textRoom();
  for (int size = kLargestPointSize; size > kSmallestPointSize; --size) {
    if (boundsAt(text_, room, size).bottom() <= room.bottom()) return size;
  }
  return kSmallestPointSize;
}

QRectF MessageArea::textBounds() const {
  return boundsAt(text_, textRoom(), fittedPointSize());
}

void MessageArea::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setClipRect(rect());
  const QColor background = palette().color(QPalette::Window);
  // Only where there is text: elsewhere the drawing shows through.
  const QRectF status = statusBounds();
  painter.fillRect(QRectF(0, 0, width(), status.bottom() + kStatusGap), background);
  QFont font = this->font();
  font.setPointSize(kStatusPointSize);
  painter.setFont(font);
  // Line by line: the step count and the hold in dark grey, the exact limit lighter.
  QRectF lines(rect());
  const auto drawLines = [&](const QString& text, const QColor& colour) {
    painter.setPen(colour);
    painter.drawText(lines, text, wrapping());
    lines.setTop(boundsAt(text, lines, kStatusPointSize).bottom());
  };
  const QColor dark(0x30, 0x30, 0x30);
  drawLines(stepLine(), dark);
  if (!exactLimit_.isEmpty()) drawLines(exactLimit_, QColor(0x70, 0x70, 0x70));
  // The figures of another engine than typed: in the notes' dark blue, as a caution.
  if (!stale_.isEmpty()) drawLines(stale_, QColor(0x00, 0x00, 0x80));
  if (held_) drawLines("Held: press on the drawing to go on.", dark);
  if (held_ && restartWaiting_) drawLines("Recalculation waits for the release.", dark);
  if (text_.isEmpty()) return;

  const QRectF room = textRoom();
  painter.fillRect(room, background);
  font.setPointSize(fittedPointSize());
  painter.setFont(font);
  painter.setPen(textColour());
  painter.drawText(room, text_, wrapping());
}

}  // namespace rotary::app
