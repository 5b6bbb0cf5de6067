#include "window_adapter.h"

#include <QCoreApplication>
#include <QFontMetrics>

namespace rotary::app {

WindowAdapter::WindowAdapter(Form1& form) : form_(form), surface_(*form.surface()) {}

QLineEdit* WindowAdapter::box(Box box) const {
  return form_.text(static_cast<int>(box) + 1);
}

std::string WindowAdapter::readText(Box which) {
  std::string text = box(which)->text().toStdString();
  const auto index = static_cast<std::size_t>(which);
  if (index < inputsRead_.size()) inputsRead_[index] = text;
  return text;
}

study::Design WindowAdapter::engineRead() const {
  study::Design engine;
  engine.eccentricity = inputsRead_[0];
  engine.rotorRadius = inputsRead_[1];
  engine.chamberWidth = inputsRead_[2];
  engine.steps = stepsRead_;
  return engine;
}

void WindowAdapter::showingFigures(bool) {
  if (changed) changed();
}

void WindowAdapter::writeText(Box which, const std::string& text) {
  QLineEdit* edit = box(which);
  edit->setText(QString::fromStdString(text));
  // Its beginning in view: the most significant digits, not the last ones.
  edit->setCursorPosition(0);
}

void WindowAdapter::setRatioCaption(const std::string& text) {
  if (text == "% completed") ++cyclesStarted_;
  form_.setRatioCaption(QString::fromStdString(text));
}

int WindowAdapter::readStepCount() {
  const int steps = static_cast<std::int16_t>(form_.vscroll1()->value());
  // The cycle reads the step count as it starts: the figures it gives are at that count.
  form_.messageArea()->setCycleSteps(steps);
  stepsRead_ = steps;
  return steps;
}

void WindowAdapter::clear() {
  surface_.clear();
}
void WindowAdapter::setForeColor(Colour colour) {
  surface_.setForeColor(colour);
}
void WindowAdapter::setPenWidth(int pixels) {
  surface_.setPenWidth(pixels);
}

void WindowAdapter::line(float x1, float y1, float x2, float y2, std::optional<Colour> colour) {
  if (colour) {
    surface_.line(x1, y1, x2, y2, *colour);
  } else {
    surface_.lineInForeColor(x1, y1, x2, y2);
  }
}

void WindowAdapter::circle(float x, float y, float radius, Colour colour) {
  surface_.circle(x, y, radius, colour);
}

void WindowAdapter::point(float x, float y, Colour colour) {
  surface_.point(x, y, colour);
}

void WindowAdapter::yield(Pace pace) {
  if (pace == Pace::kFrame) {
    ++framesShown_;
    if (frameShown) frameShown();
  }
  if (pace == Pace::kBusy && Clock::now() < nextPump_) return;
  pump(pace == Pace::kIdle);
  // Frames nobody can see are not worth a core: the animation holds after the frame it has
  // drawn and goes on from there once the window is shown again.
  if (pace == Pace::kFrame) {
    while (!ending_ && !form_.canBeSeen()) pump(true);
  }
}

void WindowAdapter::pump(bool wait) {
  surface_.flush();
  QCoreApplication::processEvents(wait ? QEventLoop::WaitForMoreEvents : QEventLoop::AllEvents);
  nextPump_ = Clock::now() + kPumpInterval;
}

void WindowAdapter::showMessage(const std::string& text) {
  form_.messageArea()->showMessage(QString::fromStdString(text));
  if (changed) changed();
}

bool WindowAdapter::canShow(char32_t c) const {
  return QFontMetrics(form_.messageArea()->font()).inFontUcs4(c);
}

void WindowAdapter::showExactLimit(const std::string& text) {
  form_.messageArea()->setExactLimit(QString::fromStdString(text));
  if (changed) changed();
}

void WindowAdapter::showNote(const std::string& text) {
  form_.messageArea()->showNote(QString::fromStdString(text));
}

}  // namespace rotary::app
