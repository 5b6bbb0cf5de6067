// The window as it opens: caption, controls, geometry, fonts, texts and focus order.
#include "form.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>

#include "layout.h"

namespace rotary::app {
namespace {

constexpr double kPixelsPerTwipAt96 = 96.0 / 1440;

struct Geometry96 {
  const char* name;
  int left, top, width, height;  // pixels at 96 dpi
};

void PrintTo(const Geometry96& c, std::ostream* os) {
  *os << c.name;
}

class ControlGeometry : public ::testing::TestWithParam<Geometry96> {};

TEST_P(ControlGeometry, FollowsTheTwipsAtNinetySixDpi) {
  Form1 form(kPixelsPerTwipAt96);
  const auto* widget = form.findChild<QWidget*>(GetParam().name);
  ASSERT_NE(widget, nullptr) << GetParam().name;
  EXPECT_EQ(widget->geometry(),
            QRect(GetParam().left, GetParam().top, GetParam().width, GetParam().height));
}

INSTANTIATE_TEST_SUITE_P(
    Controls, ControlGeometry,
    ::testing::Values(
        Geometry96{"Text1", 832, 16, 65, 25}, Geometry96{"Text2", 832, 64, 65, 25},
        Geometry96{"Text3", 832, 112, 65, 25}, Geometry96{"Text4", 832, 160, 65, 25},
        Geometry96{"Text5", 832, 208, 65, 25}, Geometry96{"Text6", 832, 256, 65, 25},
        Geometry96{"Label1", 696, 16, 129, 25}, Geometry96{"Label2", 696, 64, 129, 25},
        Geometry96{"Label3", 696, 112, 129, 25}, Geometry96{"Label4", 696, 256, 129, 25},
        Geometry96{"Label5", 696, 208, 129, 25}, Geometry96{"Label6", 696, 160, 129, 25},
        Geometry96{"Command1", 832, 304, 65, 41}, Geometry96{"VScroll1", 880, 376, 17, 161},
        Geometry96{"Label7", 864, 408, 9, 97}, Geometry96{"Surface", 0, 0, 904, 728}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Form, OpensWithItsCaptionSizeAndTexts) {
  Form1 form(kPixelsPerTwipAt96);
  EXPECT_EQ(form.windowTitle().size(), 164);
  EXPECT_EQ(form.windowTitle(), QString(kCaption));
  EXPECT_TRUE(form.windowTitle().startsWith(QString(18, ' ') + "Quorin-Rotary"));
  // The client area keeps its size under the menu bar, which the window grows by.
  EXPECT_EQ(form.client()->geometry(),
            QRect(QPoint(0, form.menus().bar->height()), QSize(904, 728)));
  EXPECT_GT(form.menus().bar->height(), 10);
  EXPECT_EQ(form.size(), QSize(904, 728 + form.menus().bar->height()));
  EXPECT_EQ(form.palette().color(QPalette::Window), QColor(224, 224, 224));
  EXPECT_EQ(form.text(1)->text(), " ");
  for (int n = 2; n <= 6; ++n) EXPECT_EQ(form.text(n)->text(), "") << n;
  EXPECT_EQ(form.label(4)->text(), "% completed");
  EXPECT_EQ(form.label(6)->text(), "chamber capacity");
  EXPECT_EQ(form.label(7)->text(), "s t e p ");
  EXPECT_EQ(form.command1()->text(), "recalculate");
  EXPECT_EQ(form.messageArea()->text(), "");
}

TEST(Form, StepScrollBarRunsFromFiftyToAThousand) {
  Form1 form(kPixelsPerTwipAt96);
  EXPECT_EQ(form.vscroll1()->orientation(), Qt::Vertical);
  EXPECT_EQ(form.vscroll1()->minimum(), 50);
  EXPECT_EQ(form.vscroll1()->maximum(), 1000);
  EXPECT_EQ(form.vscroll1()->singleStep(), 1);
  EXPECT_EQ(form.vscroll1()->pageStep(), 50);
  EXPECT_EQ(form.vscroll1()->value(), 100);
}

TEST(Form, FocusStartsInTheEccentricityAndMovesInColumnOrder) {
  Form1 form(kPixelsPerTwipAt96);
  form.show();
  form.activateWindow();
  QApplication::processEvents();
  std::vector<QString> order;
  QWidget* widget = form.text(1);
  for (int n = 0; n < 8; ++n) {
    order.push_back(widget->objectName());
    widget = widget->nextInFocusChain();
    while (widget->focusPolicy() == Qt::NoFocus || !widget->isVisible()) {
      widget = widget->nextInFocusChain();
    }
  }
  EXPECT_EQ(order, (std::vector<QString>{"Text1", "Text2", "Text3", "Text4", "Text5", "Text6",
                                         "Command1", "VScroll1"}));
  EXPECT_EQ(QApplication::focusWidget(), form.text(1));
}

TEST(Form, UsesTheSansSerifFaceAtTwelvePointsAndClipsNoLabel) {
  Form1 form(kPixelsPerTwipAt96);
  EXPECT_TRUE(controlFontFamily() == "MS Sans Serif" || controlFontFamily() == "Liberation Sans")
      << controlFontFamily().toStdString();
  const QFont font = form.text(1)->font();
  EXPECT_EQ(font.pointSize(), 12);
  EXPECT_EQ(font.weight(), QFont::Normal);
  EXPECT_FALSE(font.italic());
  EXPECT_EQ(QFontInfo(font).family(), controlFontFamily());
  for (int n = 1; n <= 6; ++n) {
    const QLabel* label = form.label(n);
    EXPECT_LE(QFontMetrics(label->font()).horizontalAdvance(label->text()), label->width())
        << label->text().toStdString();
    EXPECT_TRUE(label->alignment() & Qt::AlignRight);
  }
  EXPECT_LE(QFontMetrics(form.label(4)->font()).horizontalAdvance("compression ratio"),
            form.label(4)->width());
  EXPECT_LE(QFontMetrics(form.command1()->font()).horizontalAdvance("recalculate"),
            form.command1()->width());
  EXPECT_TRUE(form.label(7)->wordWrap());
}

TEST(Form, ControlsStandAboveTheSurface) {
  Form1 form(kPixelsPerTwipAt96);
  form.show();
  QApplication::processEvents();
  for (const char* name : {"Text1", "Label6", "Command1", "VScroll1", "Label7"}) {
    const auto* widget = form.findChild<QWidget*>(name);
    EXPECT_EQ(form.client()->childAt(widget->geometry().center()), widget) << name;
  }
  EXPECT_EQ(form.client()->childAt(100, 100), form.surface());
}

}  // namespace
}  // namespace rotary::app
