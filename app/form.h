// The main window Form1: the column of input and output fields at the right, the "recalculate"
// button, the step scroll bar, a message area, and the drawing surface beneath them all.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QWidget>
#include <array>

#include "drawing_surface.h"
#include "message_area.h"

namespace rotary::app {

class Form1 : public QWidget {
  Q_OBJECT

 public:
  // pixelsPerTwip 0 means the primary screen's logical resolution.
  explicit Form1(double pixelsPerTwip = 0);

  // Text1 to Text6, by number from 1.
  QLineEdit* text(int number) const { return texts_.at(number - 1); }
  // Label1 to Label7.
  QLabel* label(int number) const { return labels_.at(number - 1); }
  QPushButton* command1() const { return command1_; }
  QScrollBar* vscroll1() const { return vscroll1_; }
  MessageArea* messageArea() const { return message_; }
  DrawingSurface* surface() const { return surface_; }

  // The caption of Label4, which is also the accessible name of the ratio box beside it.
  void setRatioCaption(const QString& text);

  int toPixels(int twips) const;
  // Shown, not minimised and mapped on the screen.
  bool canBeSeen() const;

 signals:
  void firstActivated();
  void closing();

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void place(QWidget* widget, int left, int top, int width, int height);
  void connectControls();
  void showStepCount(int steps);
  QFont controlFont() const;

  double pixelsPerTwip_;
  std::array<QLineEdit*, 6> texts_{};
  std::array<QLabel*, 7> labels_{};
  QPushButton* command1_ = nullptr;
  QScrollBar* vscroll1_ = nullptr;
  MessageArea* message_ = nullptr;
  QWidget* scrollFocusMark_ = nullptr;
  DrawingSurface* surface_ = nullptr;
  bool activated_ = false;
};

// The face the controls use: MS Sans Serif where the system has it, Liberation Sans otherwise.
QString controlFontFamily();

}  // namespace rotary::app
