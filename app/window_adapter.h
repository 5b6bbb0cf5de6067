// Carries out the cycle's window operations on Form1. Yield pumps the event queue, where the
// handlers run; it is called millions of times per cycle, so between pumps it only reads a clock.
#pragma once

#include <array>
#include <chrono>
#include <functional>
#include <optional>

#include "form.h"
#include "runner.h"
#include "window.h"

namespace rotary::app {

class WindowAdapter : public Window {
 public:
  explicit WindowAdapter(Form1& form);

  std::string readText(Box box) override;
  void writeText(Box box, const std::string& text) override;
  void setRatioCaption(const std::string& text) override;
  int readStepCount() override;

  void clear() override;
  void setForeColor(Colour colour) override;
  void setPenWidth(int pixels) override;
  void line(float x1, float y1, float x2, float y2, std::optional<Colour> colour) override;
  void circle(float x, float y, float radius, Colour colour) override;
  void point(float x, float y, Colour colour) override;

  void yield(Pace pace) override;
  bool ending() const override { return ending_; }
  void showMessage(const std::string& text) override;
  void showNote(const std::string& text) override;
  void showExactLimit(const std::string& text) override;
  void showingFigures(bool shown) override;
  bool canShow(char32_t c) const override;

  // Esc, or the window closing: the cycle returns at its next yield.
  void end() { ending_ = true; }

  // How far the program has got: cycles started and animation frames shown.
  long cyclesStarted() const { return cyclesStarted_; }
  long framesShown() const { return framesShown_; }

  // The engine as the cycle last read it (its texts and step count); `changed` is called
  // whenever figures come or go, or the exact limit's line or a message changes.
  study::Design engineRead() const;
  std::function<void()> changed;
  // Called after each animation frame is shown.
  std::function<void()> frameShown;

 private:
  using Clock = std::chrono::steady_clock;
  static constexpr auto kPumpInterval = std::chrono::milliseconds(4);

  void pump(bool wait);
  QLineEdit* box(Box box) const;

  Form1& form_;
  DrawingSurface& surface_;
  Clock::time_point nextPump_{};
  bool ending_ = false;
  long cyclesStarted_ = 0;
  long framesShown_ = 0;
  std::array<std::string, 3> inputsRead_;
  int stepsRead_ = 0;
};

}  // namespace rotary::app
