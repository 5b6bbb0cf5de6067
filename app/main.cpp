#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "form.h"
#include "program.h"

namespace {

bool displayAvailable() {
  const auto set = [](const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
  };
  return set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM");
}

}  // namespace

int main(int argc, char** argv) {
  if (!displayAvailable()) {
    std::fprintf(stderr,
                 "rotary-window: no display to open the window on; run it under a virtual one: "
                 "xvfb-run -s '-screen 0 1280x1024x24' %s\n",
                 argv[0]);
    return 1;
  }
  QApplication application(argc, argv);
  rotary::app::Form1 form;
  rotary::app::Program program(form);
  form.show();
  form.activateWindow();
  return application.exec();
}
