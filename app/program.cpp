#include "program.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTimer>

namespace rotary::app {

Program::Program(Form1& form, SweepFunction sweep)
    : form_(form), adapter_(form), cycle_(adapter_, sweep) {
  // Esc is handled before any control sees it, so the character never reaches a text box.
  QCoreApplication::instance()->installEventFilter(this);
  connect(form.command1(), &QPushButton::clicked, this, [this] {
    cycle_.flags().toggleRestart();
    showHold();
  });
  // A hold that nothing showed would look like a program that stopped listening: the message
  // area says so while it lasts.
  connect(form.surface(), &DrawingSurface::pressed, this, [this] {
    cycle_.flags().toggleSuspend();
    showHold();
  });
  connect(&form, &Form1::closing, this, [this] { adapter_.end(); });
  connect(&form, &Form1::firstActivated, this, [this] {
    // Started from the event loop rather than inside the activation event itself.
    QTimer::singleShot(0, this, &Program::runCycle);
  });
}

void Program::showHold() {
  const RunFlags& flags = cycle_.flags();
  form_.messageArea()->setHeld(flags.suspended());
  form_.messageArea()->setRestartWaiting(flags.suspended() && flags.restartRequested());
}

void Program::runCycle() {
  if (started_) return;
  started_ = true;
  running_ = true;
  cycle_.run();
  running_ = false;
  QCoreApplication::exit(0);
}

void Program::end() {
  form_.surface()->clear();
  form_.surface()->flush();
  adapter_.end();
  if (!running_) QCoreApplication::exit(0);
}

bool Program::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
    // An open menu, a menu bar in use or a dialog take Esc for themselves: it closes them.
    const bool menuInUse = QApplication::activePopupWidget() || QApplication::activeModalWidget() ||
                           form_.menus().bar->activeAction();
    if (!menuInUse && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == &form_) {
      end();
      return true;
    }
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace rotary::app
