// The message area under the scroll bar: a message in dark red when the cycle cannot give
// results, a note in dark blue when the results shown need a word of caution. It wraps any text
// inside its own rectangle, breaking a long word where it must, and lets mouse presses through to
// the drawing beneath, so that a press there holds the animation as anywhere on the drawing.
#pragma once

#include <QString>
#include <QWidget>

namespace rotary::app {

class MessageArea : public QWidget {
  Q_OBJECT

 public:
  explicit MessageArea(QWidget* parent);

  void showMessage(const QString& text) { show(text, false); }
  void showNote(const QString& text) { show(text, true); }

  QString text() const { return text_; }
  bool isNote() const { return note_; }
  QColor textColour() const;
  // The point size the text is drawn at: smaller for a text that would not fit otherwise.
  int fittedPointSize() const;
  // Where the text stands inside the area when drawn.
  QRectF textBounds() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void show(const QString& text, bool note);
  QRectF boundsAt(int pointSize) const;

  QString text_;
  bool note_ = false;
};

}  // namespace rotary::app
