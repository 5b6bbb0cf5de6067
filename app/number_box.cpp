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

void NumberBox::paintEvent(QPaintEvent* event) {
  if (!elided()) {
    QLineEdit::paintEvent(event);
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
