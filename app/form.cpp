#include "form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QWindow>
#include <algorithm>
#include <limits>

#include "layout.h"

namespace rotary::app {
namespace {

constexpr int kControlPointSize = 12;
constexpr int kSmallestPointSize = 7;

double screenPixelsPerTwip() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  const double dpi = screen ? screen->logicalDotsPerInchX() : 96.0;
  return dpi / kTwipsPerInch;
}

// Shrinks a control's font until its text fits, should a substitute face be wider than the one
// the layout was made for.
void fitText(QWidget* widget, const QString& text, int room) {
  QFont font = widget->font();
  while (font.pointSize() > kSmallestPointSize &&
         QFontMetrics(font).horizontalAdvance(text) > room) {
    font.setPointSize(font.pointSize() - 1);
  }
  widget->setFont(font);
}

}  // namespace

QString controlFontFamily() {
  static const QString family = [] {
    const QStringList families = QFontDatabase::families();
    for (const char* wanted : {"MS Sans Serif", "Liberation Sans"}) {
      if (families.contains(wanted, Qt::CaseInsensitive)) return QString(wanted);
    }
    return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
  }();
  return family;
}

Form1::Form1(double pixelsPerTwip)
    : pixelsPerTwip_(pixelsPerTwip > 0 ? pixelsPerTwip : screenPixelsPerTwip()) {
  setObjectName("Form1");
  setWindowTitle(kCaption);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, fromPacked(kBackground));
  setPalette(palette);
  setAutoFillBackground(true);
  menus_ = createMenus(this);
  client_ = new QWidget(this);
  client_->setObjectName("Client");
  // Never smaller than the client area and the menu bar: no control ever vanishes off the
  // window's edge.
  setMinimumSize(clientSize() + QSize(0, menuHeight()));
  resize(minimumSize());

  // Created first, so that every control stands above it.
  surface_ = new DrawingSurface(pixelsPerTwip_, client_);

  const QFont font = controlFont();
  QWidget* previous = nullptr;
  for (const ControlLayout& control : kControls) {
    QWidget* widget = nullptr;
    const QString name = control.name;
    switch (control.kind) {
      case Kind::kTextBox: {
        auto* box = new NumberBox(control.text, client_);
        // No limit of the box's own: a long paste stays whole, and the cycle says what is wrong
        // with it.
        box->setMaxLength(std::numeric_limits<int>::max());
        texts_.at(name.mid(4).toInt() - 1) = box;
        widget = box;
        break;
      }
      case Kind::kLabel: {
        auto* label = new QLabel(control.text, client_);
        label->setAutoFillBackground(true);
        label->setPalette(palette);
        label->setFocusPolicy(Qt::NoFocus);
        if (name == "Label7") {
          label->setWordWrap(true);  // too narrow for two letters: one letter a line
          label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        } else {
          label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        }
        labels_.at(name.mid(5).toInt() - 1) = label;
        widget = label;
        break;
      }
      case Kind::kButton:
        command1_ = new QPushButton(control.text, client_);
        command1_->setAutoDefault(false);
        widget = command1_;
        break;
      case Kind::kScrollBar:
        vscroll1_ = new QScrollBar(Qt::Vertical, client_);
        vscroll1_->setRange(kFewestSteps, kMostSteps);
        vscroll1_->setSingleStep(1);
        vscroll1_->setPageStep(kStepsPerTroughClick);
        vscroll1_->setValue(kInitialSteps);
        vscroll1_->setFocusPolicy(Qt::StrongFocus);
        widget = vscroll1_;
        break;
    }
    widget->setObjectName(name);
    widget->setFont(font);
    // A press on a control is the control's, never the surface's.
    widget->setAttribute(Qt::WA_NoMousePropagation);
    place(widget, control.left, control.top, control.width, control.height);
    if (control.kind != Kind::kLabel) {
      if (previous) setTabOrder(previous, widget);
      previous = widget;
    }
  }
  // The labels stand right-aligned next to their boxes; a wider face than the original must
  // not clip them, nor the button's caption.
  for (QLabel* label : labels_) {
    if (label != labels_[6]) fitText(label, label->text(), label->width() - 2);
  }
  fitText(labels_[3], "compression ratio", labels_[3]->width() - 2);
  fitText(command1_, command1_->text(), command1_->width() - 8);

  message_ = new MessageArea(client_);
  message_->setObjectName(kMessageArea.name);
  message_->setFont(font);
  message_->setPalette(palette);
  place(message_, kMessageArea.left, kMessageArea.top, kMessageArea.width, kMessageArea.height);

  connectControls();
  arrange();
  texts_[0]->setFocus();
}

QSize Form1::clientSize() const {
  return {toPixels(kClientWidthTwips), toPixels(kClientHeightTwips)};
}

int Form1::menuHeight() const {
  return menus_.bar->sizeHint().height();
}

void Form1::arrange() {
  const int top = menuHeight();
  // The panel takes what the window has beyond the client area, so that widening the window
  // widens the panel; without it the client area takes the whole width, as it always did.
  const int panelWidth = sidePanelShown() ? width() - clientSize().width() : 0;
  menus_.bar->setGeometry(0, 0, width(), top);
  client_->setGeometry(0, top, width() - panelWidth, height() - top);
  surface_->setGeometry(client_->rect());
  if (sidePanel_) sidePanel_->setGeometry(width() - panelWidth, top, panelWidth, height() - top);
}

void Form1::setSidePanel(QWidget* panel) {
  sidePanel_ = panel;
  panel->setParent(this);
  // The platform's look, set apart from the grey of the client area.
  panel->setPalette(QApplication::palette());
  panel->setAutoFillBackground(true);
  panel->hide();
}

int Form1::sidePanelWidth() const {
  const int wanted = toPixels(kSidePanelWidthTwips);
  // On a screen that holds the client area but not both (1280 pixels at 96 dpi), the panel takes
  // the room left rather than reach past the screen's edge, down to a width its pages still read
  // at.
  const QScreen* screen = this->screen();
  if (!screen) return wanted;
  const int frame = frameGeometry().width() - width();
  const int room = screen->availableGeometry().width() - frame - clientSize().width();
  const int least = toPixels(kSidePanelLeastTwips);
  return room < wanted && room >= least ? room : wanted;
}

void Form1::showSidePanel(bool shown) {
  if (!sidePanel_ || shown == sidePanelShown()) return;
  const int panelWidth = sidePanelWidth();
  const QSize least = clientSize() + QSize(shown ? panelWidth : 0, menuHeight());
  // The width before the new least size, which may already widen the window; a panel widened
  // since it opened gives its whole width back when it closes.
  const int before = width();
  const int shownWidth = shown ? panelWidth : sidePanel_->width();
  sidePanel_->setVisible(shown);
  setMinimumSize(least);
  resize(before + (shown ? shownWidth : -shownWidth), height());
  // A window that now reaches past the screen's right edge moves back onto it.
  if (const QScreen* screen = this->screen(); screen && shown) {
    const QRect room = screen->availableGeometry();
    const int over = frameGeometry().right() - room.right();
    if (over > 0) move(std::max(room.left(), x() - over), y());
  }
  arrange();
}

void Form1::connectControls() {
  // Each box is read out under its label's caption: "eccentricity, 15".
  const int captionOf[] = {1, 2, 3, 6, 5, 4};
  for (int box = 0; box < 6; ++box) {
    QLineEdit* edit = texts_[box];
    edit->setAccessibleName(labels_[captionOf[box] - 1]->text());
    // Enter in an input box recalculates, as the button does.
    if (box < 3) connect(edit, &QLineEdit::returnPressed, command1_, &QPushButton::click);
  }
  command1_->installEventFilter(this);

  // The step count is seen at a glance, in the message area, and heard from the scroll bar.
  connect(vscroll1_, &QScrollBar::valueChanged, this, &Form1::showStepCount);
  showStepCount(vscroll1_->value());
  vscroll1_->setAccessibleName("step count");
  vscroll1_->installEventFilter(this);

  // Qt's styles draw no focus on a scroll bar: a frame around it does.
  scrollFocusMark_ = new QWidget(client_);
  scrollFocusMark_->setObjectName("StepFocusMark");
  scrollFocusMark_->setAttribute(Qt::WA_TransparentForMouseEvents);
  scrollFocusMark_->setStyleSheet("#StepFocusMark { border: 2px solid #1060d0; }");
  scrollFocusMark_->setGeometry(vscroll1_->geometry().adjusted(-3, -3, 3, 3));
  scrollFocusMark_->hide();
}

void Form1::showStepCount(int steps) {
  const QString text = QString("step count N = %1").arg(steps);
  vscroll1_->setToolTip(text);
  vscroll1_->setAccessibleDescription(text);
  message_->setSteps(steps);
}

void Form1::setRatioCaption(const QString& text) {
  labels_[3]->setText(text);
  texts_[5]->setAccessibleName(text);
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
  if (watched == command1_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      command1_->click();
      return true;
    }
  }
  if (watched == vscroll1_ && scrollFocusMark_) {
    if (event->type() == QEvent::FocusIn) {
      scrollFocusMark_->show();
      scrollFocusMark_->raise();
    } else if (event->type() == QEvent::FocusOut) {
      scrollFocusMark_->hide();
    }
  }
  return QWidget::eventFilter(watched, event);
}

int Form1::toPixels(int twips) const {
  return qRound(twips * pixelsPerTwip_);
}

bool Form1::canBeSeen() const {
  const QWindow* handle = windowHandle();
  return isVisible() && !isMinimized() && handle && handle->isExposed();
}

void Form1::place(QWidget* widget, int left, int top, int width, int height) {
  widget->setGeometry(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}

QFont Form1::controlFont() const {
  QFont font(controlFontFamily());
  font.setPointSize(kControlPointSize);
  font.setWeight(QFont::Normal);
  font.setItalic(false);
  font.setUnderline(false);
  font.setStrikeOut(false);
  return font;
}

bool Form1::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate && !activated_) {
    activated_ = true;
    emit firstActivated();
  }
  return QWidget::event(event);
}

void Form1::closeEvent(QCloseEvent* event) {
  emit closing();
  event->accept();
}

void Form1::resizeEvent(QResizeEvent* event) {
  arrange();
  QWidget::resizeEvent(event);
}

}  // namespace rotary::app
