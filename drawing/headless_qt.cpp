#include "headless_qt.h"

#include <QApplication>
#include <cstdio>
#include <memory>

namespace rotary::drawing {

void ensureHeadlessQt() {
  if (QCoreApplication::instance()) return;
  // The companion speaks for itself on standard error; Qt's remarks about the offscreen
  // session (no runtime folder, no display) are not the user's business.
  qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg) {
      std::fprintf(stderr, "rotary-ratio: %s\n", qPrintable(text));
    }
  });
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "rotary-ratio";
  static char* argv[] = {name, nullptr};
  static std::unique_ptr<QApplication> application = std::make_unique<QApplication>(argc, argv);
}

}  // namespace rotary::drawing
