// The main window Form1: the column of input and output fields at the right, the "recalculate"
// button, the step scroll bar, a message area, and the drawing surface beneath them all, in a
// client area of fixed layout; the menu bar above it, and a side panel that may stand beside it.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QWidget>
#include <array>

#include "drawing_surface.h"
#include "menus.h"
#include "message_area.h"
#include "number_box.h"

namespace rotary::app {

class Form1 : public QWidget {
  Q_OBJECT

 public:
  // pixelsPerTwip 0 means the primary screen's logical resolution.
  explicit Form1(double pixelsPerTwip = 0);

  // Text1 to Text6, by number from 1.
  NumberBox* text(int number) const { return texts_.at(number - 1); }
  // Label1 to Label7.
  QLabel* label(int number) const { return labels_.at(number - 1); }
  QPushButton* command1() const { return command1_; }
  QScrollBar* vscroll1() const { return vscroll1_; }
  MessageArea* messageArea() const { return message_; }
  DrawingSurface* surface() const { return surface_; }
  const Menus& menus() const { return menus_; }
  // The area every control and the drawing are laid out in, below the menu bar.
  QWidget* client() const { return client_; }

  // A panel to the right of the client area, hidden until shown; the window grows by its width
  // while it is shown, and the client area keeps its place and size. The panel takes whatever
  // the window is widened by.
  void setSidePanel(QWidget* panel);
  void showSidePanel(bool shown);
  bool sidePanelShown() const { return sidePanel_ && sidePanel_->isVisibleTo(this); }
  // The panel's width as it opens: 400 pixels at 96 dpi, less on a screen without the room.
  int sidePanelWidth() const;

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
  void arrange();
  int menuHeight() const;
  QSize clientSize() const;
  void connectControls();
  void showStepCount(int steps);
  QFont controlFont() const;

  double pixelsPerTwip_;
  Menus menus_;
  QWidget* client_ = nullptr;
  QWidget* sidePanel_ = nullptr;
  std::array<NumberBox*, 6> texts_{};
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
