// The real window with its program, run by a script: a function called every few milliseconds
// from inside the cycle's own event pumps, as a user's actions would be.
#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <functional>

#include "form.h"
#include "program.h"

namespace rotary::app::testing {

inline constexpr double kPixelsPerTwipAt96 = 96.0 / 1440;

class RunningWindow {
 public:
  explicit RunningWindow(SweepFunction sweep = nullptr) : program(form, sweep) {
    form.show();
    QApplication::processEvents();
  }

  // Runs the cycle until the script returns true (then Esc is pressed) or the program ends by
  // itself; gives up after `seconds`. Returns false on time-out.
  bool runUntil(const std::function<bool()>& script, int seconds = 60) {
    QTimer timer;
    QElapsedTimer clock;
    clock.start();
    bool timedOut = false;
    QObject::connect(&timer, &QTimer::timeout, [&] {
      if (program.adapter().ending()) return;
      if (script()) {
        pressEsc();
      } else if (clock.elapsed() > seconds * 1000) {
        timedOut = true;
        pressEsc();
      }
    });
    timer.start(2);
    program.runCycle();
    return !timedOut;
  }

  void pressEsc() { QTest::keyClick(form.text(1), Qt::Key_Escape); }
  void clickRecalculate() { QTest::mouseClick(form.command1(), Qt::LeftButton); }
  void pressOnSurface() { QTest::mousePress(form.surface(), Qt::LeftButton, {}, QPoint(300, 500)); }

  long cycles() const { return program.adapter().cyclesStarted(); }
  long frames() const { return program.adapter().framesShown(); }
  QString text(int box) const { return form.text(box)->text(); }
  // The message that stands instead of results; a note beside results is none.
  QString message() const {
    return form.messageArea()->isNote() ? QString() : form.messageArea()->text();
  }
  QString note() const { return form.messageArea()->isNote() ? form.messageArea()->text() : ""; }

  // Every pixel of the surface in the background colour.
  bool surfaceBlank() {
    const QImage& image = form.surface()->image();
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        if (image.pixel(x, y) != 0xFFE0E0E0u) return false;
      }
    }
    return true;
  }

  Form1 form{kPixelsPerTwipAt96};
  Program program;
};

}  // namespace rotary::app::testing
