// A text box for the window's numbers. One too wide for the box shows its beginning with an
// ellipsis at the end ("1090714…" for 109071426643.4), and a number with an exponent keeps it
// whole ("4.140…E+16"), never a cut that reads as another number;
// the whole stands in the tooltip, and in the box again while the user edits it, with an
// ellipsis on either side where it runs out of sight.
#pragma once

#include <QLineEdit>

namespace rotary::app {

class NumberBox : public QLineEdit {
  Q_OBJECT

 public:
  NumberBox(const QString& text, QWidget* parent);

  // What the box shows while it has no focus: the text, or its elided beginning.
  QString shownText() const;
  bool elided() const { return shownText() != text(); }
  // Which ends of the text lay out of sight at the last paint while the box had the focus and
  // scrolled it, and where the ellipsis that says so stands.
  struct Cut {
    bool before = false, after = false;
  };
  Cut cutWhileEdited() const;
  QRect cutMark(bool after) const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QRect textArea() const;
  bool fits() const;
  void updateToolTip();
};

}  // namespace rotary::app
