// The user's inputs and the cycle running in the real window.
#include "program.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <functional>

#include "form.h"

namespace rotary::app {
namespace {

constexpr double kPixelsPerTwipAt96 = 96.0 / 1440;

class ProgramTest : public ::testing::Test {
 protected:
  ProgramTest() {
    form.show();
    QApplication::processEvents();
  }

  // Runs the cycle in the window; `step` is called every few milliseconds from inside the
  // cycle's yields and ends the program by returning true. Gives up after `seconds`.
  void runUntil(const std::function<bool()>& step, int seconds = 60) {
    QTimer timer;
    QElapsedTimer clock;
    clock.start();
    QObject::connect(&timer, &QTimer::timeout, [&] {
      if (program.adapter().ending()) return;
      if (step()) {
        program.end();
      } else if (clock.elapsed() > seconds * 1000) {
        timedOut = true;
        program.end();
      }
    });
    timer.start(5);
    program.runCycle();
  }

  bool showsResults() const {
    return form.label(4)->text() == "compression ratio" && form.text(5)->text() != "0";
  }

  Form1 form{kPixelsPerTwipAt96};
  Program program{form};
  bool timedOut = false;
};

TEST_F(ProgramTest, EscFromEverySourceEndsTheProgram) {
  std::vector<QWidget*> sources = {&form, form.command1(), form.vscroll1()};
  for (int n = 1; n <= 6; ++n) sources.push_back(form.text(n));
  ASSERT_EQ(sources.size(), 9u);
  for (QWidget* source : sources) {
    Form1 other(kPixelsPerTwipAt96);
    Program otherProgram(other);
    other.show();
    const QString before = other.text(1)->text();
    QTest::keyClick(source == &form ? static_cast<QWidget*>(&other)
                                    : other.findChild<QWidget*>(source->objectName()),
                    Qt::Key_Escape);
    EXPECT_TRUE(otherProgram.adapter().ending()) << source->objectName().toStdString();
    EXPECT_EQ(other.text(1)->text(), before);
  }
}

TEST_F(ProgramTest, OtherKeysDoNotEnd) {
  QTest::keyClick(form.text(2), Qt::Key_A);
  QTest::keyClick(form.text(2), Qt::Key_Return);
  EXPECT_FALSE(program.adapter().ending());
  EXPECT_EQ(form.text(2)->text(), "a");
}

TEST_F(ProgramTest, TheButtonTogglesTheRestartRequest) {
  QTest::mouseClick(form.command1(), Qt::LeftButton);
  EXPECT_EQ(program.cycle().flags().comcom, 1);
  QTest::mouseClick(form.command1(), Qt::LeftButton);
  EXPECT_EQ(program.cycle().flags().comcom, 0);
  EXPECT_EQ(program.cycle().flags().stoop, 0);
}

TEST_F(ProgramTest, APressOnTheSurfaceTogglesTheSuspension) {
  QTest::mousePress(form.surface(), Qt::LeftButton, {}, QPoint(200, 200));
  EXPECT_EQ(program.cycle().flags().stoop, 1);
  QTest::mousePress(form.surface(), Qt::RightButton, Qt::ShiftModifier, QPoint(10, 700));
  EXPECT_EQ(program.cycle().flags().stoop, 0);
}

TEST_F(ProgramTest, APressOnAControlDoesNotSuspend) {
  for (QWidget* control :
       std::initializer_list<QWidget*>{form.label(1), form.label(4), form.label(7), form.text(3),
                                       form.command1(), form.vscroll1()}) {
    QTest::mousePress(control, Qt::LeftButton, {}, QPoint(3, 3));
    QTest::mouseRelease(control, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_EQ(program.cycle().flags().stoop, 0) << control->objectName().toStdString();
  }
}

TEST_F(ProgramTest, APressOnTheMessageAreaTogglesTheSuspension) {
  // Pressed where the user presses, while the animation runs: the window finds the widget
  // under the pointer, with the message area empty and with a message in it.
  const QPoint inMessageArea(760, 650);
  ASSERT_TRUE(form.messageArea()->geometry().contains(inMessageArea));
  std::vector<int> seen;
  runUntil([&] {
    if (program.adapter().framesShown() < 2) return false;
    for (const char* text : {"", "eccentricity: \"abc\" is not a number"}) {
      form.messageArea()->showMessage(text);
      QTest::mousePress(form.windowHandle(), Qt::LeftButton, {}, inMessageArea);
      QTest::mouseRelease(form.windowHandle(), Qt::LeftButton, {}, inMessageArea);
      seen.push_back(program.cycle().flags().stoop);
    }
    return true;
  });
  ASSERT_FALSE(timedOut);
  EXPECT_EQ(seen, (std::vector<int>{1, 0}));
}

TEST_F(ProgramTest, MessagesAndNotesWrapInsideTheirAreaAndLookApart) {
  MessageArea& area = *form.messageArea();
  std::string escapes;
  for (int n = 0; n < 6; ++n) escapes += "\\u202E";
  const std::string line = "eccentricity: \"" + escapes + "...\" is not a number";
  area.showMessage(QString::fromStdString(line + "\n" + line + "\n" + line));
  const QRectF bounds = area.textBounds();
  EXPECT_LE(bounds.right(), area.width());
  EXPECT_LE(bounds.bottom(), area.height());
  EXPECT_TRUE(form.rect().contains(area.geometry()));
  const QColor error = area.textColour();
  area.showNote("Note: these figures describe the curves only.");
  EXPECT_TRUE(area.isNote());
  EXPECT_NE(area.textColour(), error);
}

TEST_F(ProgramTest, TheAnimationHoldsWhileTheWindowIsMinimised) {
  enum { kRunning, kMinimised, kShownAgain } stage = kRunning;
  long framesWhenMinimised = 0, framesWhileMinimised = 0;
  QElapsedTimer held;
  runUntil([&] {
    const long frames = program.adapter().framesShown();
    switch (stage) {
      case kRunning:
        if (frames < 5) return false;
        form.showMinimized();
        framesWhenMinimised = frames;
        held.start();
        stage = kMinimised;
        return false;
      case kMinimised:
        if (held.elapsed() < 300) return false;
        framesWhileMinimised = frames - framesWhenMinimised;
        form.showNormal();
        stage = kShownAgain;
        return false;
      case kShownAgain:
        return frames > framesWhenMinimised + 5;
    }
    return false;
  });
  ASSERT_FALSE(timedOut);
  EXPECT_LE(framesWhileMinimised, 1);  // the frame under way is finished, no more
}

TEST_F(ProgramTest, ClosingTheWindowEndsTheCycle) {
  runUntil(
      [&] {
        if (form.isVisible()) form.close();
        return false;
      },
      10);
  EXPECT_TRUE(program.adapter().ending());
  EXPECT_FALSE(program.running());
}

TEST_F(ProgramTest, FirstCycleShowsTheReferenceResults) {
  int teal = 0, blue = 0;
  runUntil([&] {
    if (!showsResults()) return false;
    // The rotor in teal and the housing gear in blue, left of the column of fields.
    const QImage image = form.surface()->image();
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < 690; ++x) {
        teal += image.pixelColor(x, y) == QColor(0, 192, 192);
        blue += image.pixelColor(x, y) == QColor(0, 0, 255);
      }
    }
    return true;
  });
  ASSERT_FALSE(timedOut);
  EXPECT_EQ(form.text(1)->text(), "15");
  EXPECT_EQ(form.text(2)->text(), "105");
  EXPECT_EQ(form.text(3)->text(), "80");
  EXPECT_EQ(form.text(4)->text(), "652.4");
  EXPECT_EQ(form.text(5)->text(), "37.33");
  EXPECT_EQ(form.text(6)->text(), "18.47");
  EXPECT_GT(teal, 1000);
  EXPECT_GT(blue, 300);
  // Esc cleared the surface on its way out.
  EXPECT_EQ(form.surface()->image().pixel(300, 300), 0xFFE0E0E0u);
}

TEST_F(ProgramTest, RejectedInputShowsItsMessageAndRecalculateRecovers) {
  enum { kTyping, kMessage, kCorrected } stage = kTyping;
  runUntil([&] {
    switch (stage) {
      case kTyping:
        if (form.text(1)->text() != "15") return false;  // the defaults are in
        form.text(1)->setText("1,5");
        QTest::mouseClick(form.command1(), Qt::LeftButton);
        stage = kMessage;
        return false;
      case kMessage:
        if (form.messageArea()->text().isEmpty()) return false;
        EXPECT_EQ(form.messageArea()->text(),
                  "eccentricity: \"1,5\" is not a number; use a point as the decimal separator: "
                  "\"1.5\".");
        EXPECT_EQ(form.text(1)->text(), "1,5");
        EXPECT_TRUE(form.messageArea()->isVisible());
        form.text(1)->setText("10");
        form.text(2)->setText("100");
        form.text(3)->setText("60");
        QTest::mouseClick(form.command1(), Qt::LeftButton);
        stage = kCorrected;
        return false;
      case kCorrected:
        return showsResults() && form.text(4)->text() == "310.5";
    }
    return false;
  });
  ASSERT_FALSE(timedOut);
  EXPECT_EQ(form.messageArea()->text(), "");
  EXPECT_EQ(form.text(5)->text(), "12.6");
  EXPECT_EQ(form.text(6)->text(), "25.63");
}

}  // namespace
}  // namespace rotary::app
