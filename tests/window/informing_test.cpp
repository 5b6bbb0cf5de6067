// The window tells the user what it is doing: what it draws of engines too large for the
// surface, whole numbers in narrow boxes, the step count and the hold in the message area, Enter,
// and the names a screen reader reads.
#include <gtest/gtest.h>

#include "running_window.h"

namespace rotary::app {
namespace {

using testing::RunningWindow;

constexpr QRgb kTeal = 0xFF00C0C0;

// Types the dimensions once the defaults' animation runs, recalculates, and calls `check` once
// the new cycle's animation has drawn a few frames.
void runEngine(RunningWindow& window, const char* e, const char* R, const char* W,
               const std::function<void()>& check) {
  enum { kDefaults, kTyped, kAnimating } stage = kDefaults;
  long frames = 0;
  ASSERT_TRUE(window.runUntil([&] {
    switch (stage) {
      case kDefaults:
        if (window.frames() < 2) return false;
        window.form.text(1)->setText(e);
        window.form.text(2)->setText(R);
        window.form.text(3)->setText(W);
        window.clickRecalculate();
        stage = kTyped;
        return false;
      case kTyped:
        if (window.cycles() < 2 && window.message().isEmpty()) return false;
        frames = window.frames();
        stage = kAnimating;
        return false;
      case kAnimating:
        if (window.message().isEmpty() && window.frames() < frames + 3) return false;
        check();
        return true;
    }
    return true;
  }));
}

struct LargeEngine {
  const char* e;
  const char* R;
};

void PrintTo(const LargeEngine& c, std::ostream* os) {
  *os << "e = " << c.e << ", R = " << c.R;
}

class EngineBeyondTheSurface : public ::testing::TestWithParam<LargeEngine> {};

// Everything but the rotor's centre mark lies far off the surface: nothing else may show, however
// far beyond the integer range of the painter its coordinates lie.
TEST_P(EngineBeyondTheSurface, DrawsOnlyWhatLiesOnIt) {
  RunningWindow window;
  runEngine(window, GetParam().e, GetParam().R, "80", [&] {
    EXPECT_EQ(window.message(), "");
    const QPointF centre = window.form.surface()->toPixels(0, 0);
    const QImage& image = window.form.surface()->image();
    int teal = 0, tealAway = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        if (image.pixel(x, y) != kTeal) continue;
        ++teal;
        tealAway += std::hypot(x - centre.x(), y - centre.y()) > 12;
      }
    }
    EXPECT_GT(teal, 0);  // the centre mark
    EXPECT_EQ(tealAway, 0);
  });
}

INSTANTIATE_TEST_SUITE_P(Sizes, EngineBeyondTheSurface,
                         ::testing::Values(LargeEngine{"1e8", "1e9"},
                                           LargeEngine{"1.5e9", "1.05e10"},
                                           LargeEngine{"1e37", "7e37"}));

TEST(WindowBoxes, ShowTheBeginningOfATextTooWideAndTheWholeInTheTooltip) {
  RunningWindow window;
  runEngine(window, "300", "2100", "1600", [&] {
    QLineEdit* capacity = window.form.text(4);
    EXPECT_EQ(capacity->text(), "5219866.6");
    EXPECT_EQ(capacity->cursorPosition(), 0);
    EXPECT_EQ(capacity->toolTip(), "5219866.6");
    EXPECT_EQ(window.form.text(5)->toolTip(), "298640.18");
    EXPECT_EQ(window.form.text(6)->toolTip(), "");  // "18.47" fits
    // Too wide: the beginning and an ellipsis, never a cut that reads as a smaller number.
    const QString shown = window.form.text(4)->shownText();
    EXPECT_TRUE(shown.startsWith("52") && shown.endsWith(QChar(0x2026))) << shown.toStdString();
    EXPECT_EQ(window.form.text(6)->shownText(), "18.47");
    // And that is what the screen shows, not the plain box's cut.
    QLineEdit plain(window.form.text(4)->text());
    plain.setFont(window.form.text(4)->font());
    plain.setPalette(window.form.text(4)->palette());
    plain.resize(window.form.text(4)->size());
    plain.setCursorPosition(0);
    // Inside the frame, whose rounded corners show what lies behind each box.
    const QRect inside = plain.rect().adjusted(3, 3, -3, -3);
    const auto inFrame = [&inside](QWidget& box) {
      return box.grab().toImage().copy(inside).convertToFormat(QImage::Format_RGB32);
    };
    EXPECT_NE(inFrame(*window.form.text(4)), inFrame(plain));
  });
  RunningWindow tiny;
  runEngine(tiny, "1.5e-161", "1.05e-160", "80", [&] {
    EXPECT_TRUE(tiny.message().contains("too small to compute with"))
        << tiny.message().toStdString();
    EXPECT_EQ(tiny.text(2), "1.05E-160");
    EXPECT_EQ(tiny.form.text(2)->cursorPosition(), 0);
    EXPECT_EQ(tiny.form.text(2)->toolTip(), "1.05E-160");
    NumberBox* radius = tiny.form.text(2);
    // The exponent whole after the ellipsis: a cut "1.05E-1" would read as 0.105.
    const QString shown = radius->shownText();
    EXPECT_TRUE(shown.endsWith(QString(QChar(0x2026)) + "E-160")) << shown.toStdString();
    EXPECT_TRUE(QString("1.05").startsWith(shown.left(shown.indexOf(QChar(0x2026)))))
        << shown.toStdString();
    EXPECT_LE(radius->fontMetrics().horizontalAdvance(shown), radius->width());
    // Being edited, the box holds the whole text for the cursor to move through, and an
    // ellipsis stands where it runs out of sight: no "1.05E-1" for the cursor at the start.
    radius->setFocus();
    EXPECT_EQ(radius->shownText(), "1.05E-160");
    // Dark pixels in the upper half of the text's height where the ellipsis stands at the box's
    // left or right end: its dots sit on the baseline, a digit's strokes reach up.
    const auto darkAbove = [&](const QImage& shot, bool right) {
      const QRect mark = radius->cutMark(right).adjusted(1, 0, -1, 0);
      const int middle = mark.center().y(), ascent = radius->fontMetrics().ascent();
      int dark = 0;
      for (int y = middle - ascent / 2; y < middle; ++y) {
        for (int x = mark.left(); x <= mark.right(); ++x) dark += qGray(shot.pixel(x, y)) < 128;
      }
      return dark;
    };
    for (const bool atEnd : {false, true}) {
      radius->setCursorPosition(atEnd ? radius->text().size() : 0);
      // QLineEdit scrolls as it paints.
      const QImage shot = radius->grab().toImage();
      const NumberBox::Cut cut = radius->cutWhileEdited();
      EXPECT_EQ(cut.before, atEnd);
      EXPECT_EQ(cut.after, !atEnd);
      EXPECT_EQ(darkAbove(shot, /*right=*/!atEnd), 0) << "no ellipsis where the text is cut";
      EXPECT_GT(darkAbove(shot, /*right=*/atEnd), 0) << "the digits on the side in sight";
    }
    radius->clearFocus();
    EXPECT_FALSE(radius->cutWhileEdited().after);
  });
}

// The form alone: with no program, showing it starts no cycle.
// Under the step count, in grey, the shape's exact limit while the figures stand; gone with a
// message that quotes it already.
TEST(WindowExactLine, StandsUnderTheStepCountWithTheFigures) {
  RunningWindow window;
  const QString line = "exact limit 654.715 / 37.8761 / 18.2857, K = 7";
  const MessageArea& area = *window.form.messageArea();
  ASSERT_TRUE(window.runUntil([&] { return window.frames() >= 2; }));
  EXPECT_TRUE(area.statusText().startsWith("N = 100 steps\n" + line))
      << area.statusText().toStdString();
  // Drawn, and in grey: the band under the step count has text, none of it as dark as the step
  // count's own.
  const QImage shown = window.form.client()->grab().toImage();
  const QRectF status = area.statusBounds();
  const int top = area.geometry().top() + static_cast<int>(status.top()) + 16;
  int drawn = 0, dark = 0;
  for (int y = top; y < top + 14; ++y) {
    for (int x = area.geometry().left(); x < area.geometry().right(); ++x) {
      const int value = qGray(shown.pixel(x, y));
      drawn += value < 0xC0;
      dark += value < 0x58;
    }
  }
  EXPECT_GT(drawn, 30);
  EXPECT_EQ(dark, 0);
  runEngine(window, "6.9506", "82.018", "80", [&] {
    EXPECT_FALSE(area.statusText().contains("exact limit")) << area.statusText().toStdString();
    EXPECT_TRUE(area.text().contains("236.975 / 8.48982 / 28.9129"));
  });
}

// Where the scroll bar has moved on since the figures were computed, the step line says both.
TEST(WindowStepCount, NamesTheFiguresStepCountWhereTheScrollBarMovedOn) {
  RunningWindow window;
  const MessageArea& area = *window.form.messageArea();
  ASSERT_TRUE(window.runUntil([&] { return window.frames() >= 2; }));
  window.form.vscroll1()->setValue(1000);
  EXPECT_TRUE(
      area.statusText().startsWith("N = 1000 steps from the next start (figures at N = 100)\n"))
      << area.statusText().toStdString();
  window.form.vscroll1()->setValue(100);
  EXPECT_TRUE(area.statusText().startsWith("N = 100 steps\n")) << area.statusText().toStdString();
}

// The message area is "messages" to assistive technology, and its description is what it says,
// kept up to date. (The change event it sends reaches no handler on the offscreen platform,
// which has no accessibility bridge.)
TEST(WindowMessages, AreReadByAssistiveTechnology) {
  Form1 form{testing::kPixelsPerTwipAt96};
  MessageArea& area = *form.messageArea();
  EXPECT_EQ(area.accessibleName(), "messages");
  EXPECT_EQ(area.accessibleDescription(), "N = 100 steps");
  area.showMessage("eccentricity: \"abc\" is not a number.");
  EXPECT_EQ(area.accessibleDescription(), "N = 100 steps\neccentricity: \"abc\" is not a number.");
  form.vscroll1()->setValue(400);
  EXPECT_TRUE(area.accessibleDescription().startsWith("N = 400 steps\n"));
  area.showMessage("");
  EXPECT_EQ(area.accessibleDescription(), "N = 400 steps");
}

// The step line names the figures' step count beside a note, whose figures stand, and not beside
// a message, which stands instead of them; a release tells assistive technology at once that no
// recalculation waits any more.
TEST(WindowMessages, SayWhichStepCountTheFiguresHaveAndWhatNoLongerWaits) {
  Form1 form{testing::kPixelsPerTwipAt96};
  MessageArea& area = *form.messageArea();
  area.setCycleSteps(100);
  area.setSteps(1000);
  area.showNote("Note: N = 103 does not divide the quarter turn: use a multiple of 4.");
  EXPECT_TRUE(
      area.statusText().startsWith("N = 1000 steps from the next start (figures at N = 100)"))
      << area.statusText().toStdString();
  area.showMessage("eccentricity: \"abc\" is not a number.");
  EXPECT_TRUE(area.statusText().startsWith("N = 1000 steps from the next start\n") ||
              area.statusText() == "N = 1000 steps from the next start")
      << area.statusText().toStdString();
  area.showMessage("");
  area.setHeld(true);
  area.setRestartWaiting(true);
  EXPECT_TRUE(area.accessibleDescription().contains("Recalculation waits for the release."));
  area.setHeld(false);  // the release: the recalculation starts
  EXPECT_FALSE(area.accessibleDescription().contains("waits"))
      << area.accessibleDescription().toStdString();
  EXPECT_FALSE(area.accessibleDescription().contains("Held"));
}

// The window never shrinks below its client area: no control vanishes off its edge.
TEST(WindowSize, NeverBelowTheClientArea) {
  Form1 form{testing::kPixelsPerTwipAt96};
  form.show();
  form.resize(300, 200);
  QApplication::processEvents();
  // The client area and the menu bar above it, whole.
  EXPECT_GE(form.width(), 904);
  EXPECT_GE(form.height(), 728 + form.menus().bar->height());
  EXPECT_EQ(form.client()->size(), QSize(904, 728));
  EXPECT_TRUE(form.client()->rect().contains(form.vscroll1()->geometry()));
}

TEST(WindowStepCount, IsShownAndFollowsTheScrollBar) {
  Form1 form{testing::kPixelsPerTwipAt96};
  form.show();
  QApplication::processEvents();
  const MessageArea& area = *form.messageArea();
  EXPECT_TRUE(area.statusText().startsWith("N = 100 steps"));
  QScrollBar& steps = *form.vscroll1();
  for (const int N : {237, 50, 1000}) {
    steps.setValue(N);
    EXPECT_TRUE(area.statusText().startsWith(QString("N = %1 steps").arg(N)));
    EXPECT_EQ(steps.toolTip(), QString("step count N = %1").arg(N));
    EXPECT_EQ(steps.accessibleDescription(), QString("step count N = %1").arg(N));
  }
  // The keyboard moves it too, and its focus shows.
  QWidget* mark = form.findChild<QWidget*>("StepFocusMark");
  ASSERT_NE(mark, nullptr);
  EXPECT_FALSE(mark->isVisible());
  form.activateWindow();
  steps.setFocus();
  QApplication::processEvents();
  ASSERT_TRUE(steps.hasFocus());
  EXPECT_TRUE(mark->isVisible());
  QTest::keyClick(&steps, Qt::Key_Up);
  EXPECT_TRUE(area.statusText().startsWith("N = 999 steps"));
  form.text(1)->setFocus();
  QApplication::processEvents();
  EXPECT_FALSE(mark->isVisible());
}

TEST(WindowHold, IsNotedWhileItLasts) {
  RunningWindow window;
  const MessageArea& area = *window.form.messageArea();
  enum { kAnimating, kHeld, kReleased } stage = kAnimating;
  long framesHeld = 0;
  ASSERT_TRUE(window.runUntil([&] {
    switch (stage) {
      case kAnimating:
        if (window.frames() < 2) return false;
        EXPECT_FALSE(area.statusText().contains("Held"));
        window.pressOnSurface();
        framesHeld = window.frames();
        stage = kHeld;
        return false;
      case kHeld:
        EXPECT_TRUE(area.statusText().contains("Held: press on the drawing to go on."));
        EXPECT_LE(window.frames(), framesHeld + 1);  // the frame under way ends
        // A recalculation waits for the release, and says so; a second press cancels it.
        EXPECT_FALSE(area.statusText().contains("Recalculation waits"));
        window.clickRecalculate();
        EXPECT_TRUE(area.statusText().contains("\nRecalculation waits for the release."));
        window.clickRecalculate();
        EXPECT_FALSE(area.statusText().contains("Recalculation waits"));
        window.pressOnSurface();
        stage = kReleased;
        return false;
      case kReleased:
        EXPECT_FALSE(area.statusText().contains("Held"));
        return window.frames() > framesHeld + 2;
    }
    return true;
  }));
}

struct EnterCase {
  const char* name;
  int box;  // 0: the button
  Qt::Key key;
  Qt::KeyboardModifiers modifiers;
};

class WindowEnter : public ::testing::TestWithParam<EnterCase> {};

// Enter, or the keypad's Enter, in an input box or on the button recalculates.
TEST_P(WindowEnter, Recalculates) {
  const EnterCase& c = GetParam();
  RunningWindow window;
  bool pressed = false;
  ASSERT_TRUE(window.runUntil(
      [&] {
        if (!pressed) {
          if (window.frames() < 2) return false;
          QWidget* target = c.box ? static_cast<QWidget*>(window.form.text(c.box))
                                  : static_cast<QWidget*>(window.form.command1());
          QTest::keyClick(target, c.key, c.modifiers);
          pressed = true;
          return false;
        }
        return window.cycles() >= 2;
      },
      20));
  EXPECT_GE(window.cycles(), 2);
}

INSTANTIATE_TEST_SUITE_P(
    Targets, WindowEnter,
    ::testing::Values(EnterCase{"Eccentricity", 1, Qt::Key_Return, Qt::NoModifier},
                      EnterCase{"RotorRadius", 2, Qt::Key_Return, Qt::NoModifier},
                      EnterCase{"ChamberWidth", 3, Qt::Key_Enter, Qt::KeypadModifier},
                      EnterCase{"Button", 0, Qt::Key_Return, Qt::NoModifier},
                      EnterCase{"ButtonKeypad", 0, Qt::Key_Enter, Qt::KeypadModifier}),
    [](const auto& info) { return std::string(info.param.name); });

// An output box is no input: Enter there changes nothing.
TEST(WindowEnter, InAnOutputBoxDoesNothing) {
  RunningWindow window;
  long cyclesAtPress = 0;
  long framesAtPress = 0;
  ASSERT_TRUE(window.runUntil([&] {
    if (!framesAtPress) {
      if (window.frames() < 2) return false;
      cyclesAtPress = window.cycles();
      framesAtPress = window.frames();
      QTest::keyClick(window.form.text(4), Qt::Key_Return);
      return false;
    }
    return window.frames() > framesAtPress + 5;
  }));
  EXPECT_EQ(window.cycles(), cyclesAtPress);
}

// A note belongs to its engine: the next engine in the same window shows none of it.
TEST(WindowNotes, GoWithTheNextEngine) {
  RunningWindow again;
  enum { kNoted, kTyped, kAnimating } stage = kNoted;
  long frames = 0;
  ASSERT_TRUE(again.runUntil([&] {
    switch (stage) {
      case kNoted:
        if (again.frames() < 2) return false;
        if (again.cycles() == 1) {
          again.form.text(1)->setText("34.9");
          again.clickRecalculate();
          return false;
        }
        if (!again.note().contains("bulges out beyond the apexes")) return false;
        again.form.text(1)->setText("15");
        again.clickRecalculate();
        stage = kTyped;
        return false;
      case kTyped:
        if (again.cycles() < 3) return false;
        frames = again.frames();
        stage = kAnimating;
        return false;
      case kAnimating:
        return again.frames() > frames + 2;
    }
    return true;
  }));
  EXPECT_EQ(again.note(), "");
  EXPECT_EQ(again.text(6), "18.47");
}

TEST(WindowAccessibility, BoxesCarryTheirCaptions) {
  RunningWindow window;
  const char* names[] = {"eccentricity", "rotor radius", "chamber width", "chamber capacity",
                         "dead volume"};
  for (int box = 1; box <= 5; ++box) {
    EXPECT_EQ(window.form.text(box)->accessibleName(), names[box - 1]);
  }
  ASSERT_TRUE(window.runUntil([&] { return window.frames() >= 1; }));
  // The ratio box follows its label: "% completed" while sweeping, then the ratio.
  EXPECT_EQ(window.form.text(6)->accessibleName(), "compression ratio");
  EXPECT_EQ(window.form.vscroll1()->accessibleName(), "step count");
}

TEST(WindowMessages, QuoteWhatTheFontCannotDrawAsEscapes) {
  RunningWindow window;
  if (QFontMetrics(window.form.messageArea()->font()).inFontUcs4(0xFF11)) {
    GTEST_SKIP() << "the control font draws full-width digits";
  }
  runEngine(window, "\xef\xbc\x91\xef\xbc\x95", "105", "80", [&] {
    EXPECT_EQ(window.message(), "eccentricity: \"\\uFF11\\uFF15\" is not a number.");
  });
}

}  // namespace
}  // namespace rotary::app
