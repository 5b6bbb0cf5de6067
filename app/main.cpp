#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "desk.h"
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
  // These two answer on the terminal and open no window.
  for (int n = 1; n < argc; ++n) {
    const std::string_view argument = argv[n];
    if (argument == "--version") {
      std::printf("rotary-window %s\n", ROTARY_VERSION);
      return 0;
    }
    if (argument == "--help" || argument == "-h") {
      std::printf(
          "Usage: rotary-window [--help] [--version]: opens the window that finds the "
          "compression-ratio limit of a rotary engine (Esc quits).\n");
      return 0;
    }
  }
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
  rotary::app::Desk desk(form, program);
  form.show();
  form.activateWindow();
  return application.exec();
}
