#include "number_box.h"

#include <QPainter>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOptionFrame>

namespace rotary::app {
namespace {

// QLineEdit's own margins around its text, which it does not report.
constexpr int kHorizontalMargin = 2;
constexpr int kVerticalMargin = 1;

}  // namespace

NumberBox::NumberBox(const QString& text, QWidget* parent) : QLineEdit(text, parent) {
  connect(this, &QLineEdit::textChanged, this, &NumberBox::updateToolTip);
}

QRect NumberBox::textArea() const {
  QStyleOptionFrame option;
  initStyleOption(&option);
  const QRect contents = style()->subElementRect(QStyle::SE_LineEditContents, &option, this);
  return contents.marginsRemoved(textMargins())
      .adjusted(kHorizontalMargin, kVerticalMargin, -kHorizontalMargin, -kVerticalMargin);
}

bool NumberBox::fits() const {
  return fontMetrics().horizontalAdvance(text()) <= textArea().width();
}

QString NumberBox::shownText() const {
  if (hasFocus() || fits()) return text();
  // A number's exponent stays whole after the cut: "4.140…E+16", never "4.140…" for 4.14E+16,
  // which would read as a number 10^16 times smaller.
  const QString whole = text();
  const qsizetype exponent = whole.lastIndexOf(QRegularExpression("[eE][+-]?\\d+$"));
  const int width = textArea().width();
  if (exponent > 0) {
    const QString tail = whole.mid(exponent);
    // What the mantissa keeps of its digits once the exponent has its room.
    const int room = width - fontMetrics().horizontalAdvance(QChar(0x2026) + tail);
    QString mantissa = whole.left(exponent);
    while (!mantissa.isEmpty() && fontMetrics().horizontalAdvance(mantissa) > room) {
      mantissa.chop(1);
    }
    return mantissa + QChar(0x2026) + tail;
  }
  return fontMetrics().elidedText(whole, Qt::ElideRight, width);
}

void NumberBox::updateToolTip() {
  setToolTip(fits() ? QString() : text());
}

QRect NumberBox::cutMark(bool after) const {
  const QRect area = textArea();
  const int width = fontMetrics().horizontalAdvance(QChar(0x2026)) + 2;
  const int left =
      after ? area.right() + kHorizontalMargin + 1 - width : area.left() - kHorizontalMargin;
  return {left, area.top(), width, area.height()};
}

NumberBox::Cut NumberBox::cutWhileEdited() const {
  if (!hasFocus() || fits()) return {};
  // QLineEdit scrolls its text to keep the cursor in view and says neither where the text now
  // begins nor that it scrolled: its cursor rectangle starts five pixels before the cursor.
  const int cursorX = cursorRect().left() + 5;
  const int textLeft = cursorX - fontMetrics().horizontalAdvance(text().left(cursorPosition()));
  const int textRight = textLeft + fontMetrics().horizontalAdvance(text());
  const QRect area = textArea();
  return {textLeft<area.left(), textRight> area.right() + 1};
}

void NumberBox::paintEvent(QPaintEvent* event) {
  if (!elided()) {
    QLineEdit::paintEvent(event);
    // Being edited, a number wider than the box is cut where it scrolls out of sight: an
    // ellipsis there, so that "4.1400000" is not read for the whole of 4.14000000000000E+16.
    const Cut cut = cutWhileEdited();
    if (!cut.before && !cut.after) return;
    QPainter painter(this);
    const auto mark = [&](bool after) {
      const QRect place = cutMark(after);
      painter.fillRect(place, palette().color(QPalette::Base));
      painter.setPen(palette().color(QPalette::Text));
      painter.drawText(place, Qt::AlignCenter, QString(QChar(0x2026)));
    };
    if (cut.before) mark(false);
    if (cut.after) mark(true);
    return;
  }
  // The frame as the style draws it, then the beginning of the text where QLineEdit puts it.
  QPainter painter(this);
  QStyleOptionFrame option;
  initStyleOption(&option);
  style()->drawPrimitive(QStyle::PE_PanelLineEdit, &option, &painter, this);
  painter.setPen(
      palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Text));
  painter.drawText(textArea(), Qt::AlignLeft | Qt::AlignVCenter, shownText());
}

}  // namespace rotary::app
