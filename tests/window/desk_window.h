// The window as a designer's desk, run by a script, beside the companion run as a script runs
// it: what the window's and the desk's tests share.
#pragma once

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <functional>
#include <map>

#include "desk.h"
#include "running_window.h"

namespace rotary::app::testing {

inline QByteArray contentOf(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The companion's output for the same engine: into `path`, or its standard output when no path.
inline QByteArray companion(QStringList arguments, const QString& path = {}) {
  if (!path.isEmpty()) arguments << path;
  QProcess process;
  process.start(ROTARY_COMPANION, arguments);
  process.waitForFinished(60000);
  const QByteArray out = process.readAllStandardOutput();
  return path.isEmpty() ? out : contentOf(path);
}

// The window running with its desk, the defaults' figures shown.
struct DeskWindow {
  DeskWindow() : desk(window.form, window.program) {
    desk.setComplaint([this](const QString& text) { complaints << text; });
  }
  // Runs until the figures are shown, then `prepare`; once the design panel has its real
  // engine, `act`; returns once a few more frames show that the animation goes on.
  void runWith(const std::function<void()>& prepare, const std::function<void()>& act) {
    enum { kWaiting, kPrepared, kActed } stage = kWaiting;
    long framesAfter = 0;
    ASSERT_TRUE(window.runUntil([&] {
      switch (stage) {
        case kWaiting:
          if (window.frames() < 2) return false;
          if (prepare) prepare();
          stage = kPrepared;
          return false;
        case kPrepared:
          // The panel's figures in, and the cycle's: a unit chosen starts the cycle over.
          if (desk.panel()->computing() || !window.program.cycle().state().figures ||
              window.program.cycle().flags().restartRequested()) {
            return false;
          }
          act();
          framesAfter = window.frames();
          stage = kActed;
          return false;
        case kActed:
          return window.frames() > framesAfter + 2;
      }
      return true;
    }));
  }
  void setPanel(const char* A, const char* C, const char* V, const char* X) {
    window.form.menus().designPanel->setChecked(true);
    desk.panel()->input(study::Field::kSealOffset)->setText(A);
    desk.panel()->input(study::Field::kClearance)->setText(C);
    desk.panel()->input(study::Field::kRecess)->setText(V);
    desk.panel()->input(study::Field::kTargetRatio)->setText(X);
  }

  RunningWindow window;
  Desk desk;
  QStringList complaints;
};

// The clipboard's block, as a spreadsheet splits it: column name to value.
inline std::map<QString, QString> pasted(const QString& block) {
  const QStringList lines = block.split('\n', Qt::SkipEmptyParts);
  std::map<QString, QString> cells;
  if (lines.size() != 2) return cells;
  const QStringList names = lines[0].split('\t'), values = lines[1].split('\t');
  if (names.size() != values.size()) return cells;
  for (int n = 0; n < names.size(); ++n) cells[names[n]] = values[n];
  return cells;
}

// A CSV line's cells, a quoted one unquoted.
inline QStringList csvCells(const QString& line) {
  QStringList cells{""};
  bool quoted = false;
  for (int n = 0; n < line.size(); ++n) {
    const QChar c = line[n];
    if (c == '"' && quoted && n + 1 < line.size() && line[n + 1] == '"') {
      cells.back() += '"';
      ++n;
    } else if (c == '"') {
      quoted = !quoted;
    } else if (c == ',' && !quoted) {
      cells << "";
    } else {
      cells.back() += c;
    }
  }
  return cells;
}

// Runs the window until its figures show, then `prepare`; then, once `ready` holds and a few more
// frames show, `check`.
inline void runThen(DeskWindow& window, const std::function<void()>& prepare,
                    const std::function<bool()>& ready, const std::function<void()>& check) {
  bool prepared = false;
  long framesAt = 0;
  ASSERT_TRUE(window.window.runUntil([&] {
    if (!prepared) {
      if (window.window.frames() < 2) return false;
      prepare();
      prepared = true;
      framesAt = window.window.frames();
      return false;
    }
    if (window.window.frames() < framesAt + 3 || window.desk.panel()->computing() || !ready()) {
      return false;
    }
    check();
    return true;
  }));
}

}  // namespace rotary::app::testing
