// The message area under the scroll bar, "messages" to assistive technology. At its top, always,
// the step count the scroll bar is set to ("N = 100 steps"), and while the animation is held, a
// line that says so. Beneath them a message in dark red when the cycle cannot give results, or a
// note in dark blue when the results shown need a word of caution. It wraps any text inside its own
// rectangle, breaking a long word where it must, and lets mouse presses through to the drawing
// beneath, so that a press there holds the animation as anywhere on the drawing.
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

  void setSteps(int steps);
  // The step count the cycle under way read: where the scroll bar has moved on since, the step
  // line says both.
  void setCycleSteps(int steps);
  void setHeld(bool held);
  // While held, a press on recalculate waits for the release: a line says so.
  void setRestartWaiting(bool waiting);
  // The grey line of the shape's exact limit under the step count; empty for none.
  void setExactLimit(const QString& text);
  // The line that says the figures shown are of another engine than the values typed ("figures
  // for e = 15, R = 105, W = 80; press recalculate for the values typed"); empty for none.
  void setStale(const QString& text);
  QString stale() const { return stale_; }

  // The message or note, without the lines above it.
  QString text() const { return text_; }
  // The lines at the top: the step count, the exact limit where there is one, and the hold
  // while there is one.
  QString statusText() const;
  bool isNote() const { return note_; }
  QColor textColour() const;
  // The point size the text is drawn at: smaller for a text that would not fit otherwise.
  int fittedPointSize() const;
  // Where the text stands inside the area when drawn, beneath the status lines.
  QRectF textBounds() const;
  QRectF statusBounds() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void show(const QString& text, bool note);
  QRectF boundsAt(const QString& text, const QRectF& room, int pointSize) const;
  // What the message or note has below the status lines.
  QRectF textRoom() const;

  // Sets one thing the area shows; where it changes, says so and repaints.
  template <typename Value>
  void change(Value& member, const Value& value);
  // Tells assistive technology what the area now says: its description is its whole text.
  void announce();
  QString stepLine() const;

  QString text_;
  bool note_ = false;
  int steps_ = 0;
  int cycleSteps_ = 0;
  bool held_ = false;
  bool restartWaiting_ = false;
  QString exactLimit_;
  QString stale_;
};

}  // namespace rotary::app
