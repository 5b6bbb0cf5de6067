// The cycle's view of the window: every drawing call and yield goes through here, so that no
// arithmetic fault slips past unnoticed, nothing non-finite is drawn and the cycle stops as soon
// as the window is ending.
#pragma once

#include <cfenv>
#include <cmath>
#include <optional>
#include <string>

#include "faults.h"
#include "vector_state.h"
#include "window.h"

namespace rotary {

inline constexpr int kFaultFlags = FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW;

class Surface {
 public:
  explicit Surface(Window& window) : window_(window), drawsNothing_(window.drawsNothing()) {}

  // Throws ArithmeticFault when an operation since the last check divided by zero, was
  // invalid or overflowed.
  static void checkArithmetic() {
    if (std::fetestexcept(kFaultFlags)) throw ArithmeticFault{};
  }
  static void forgetArithmetic() { std::feclearexcept(kFaultFlags); }

  void line(double x1, double y1, double x2, double y2, std::optional<Colour> colour) {
    checkArithmetic();
    if (drawsNothing_) return;
    const float fx1 = drawable(x1), fy1 = drawable(y1), fx2 = drawable(x2), fy2 = drawable(y2);
    forward([&] { window_.line(fx1, fy1, fx2, fy2, colour); });
  }
  void circle(double x, double y, double radius, Colour colour) {
    checkArithmetic();
    if (drawsNothing_) return;
    const float fx = drawable(x), fy = drawable(y), fr = drawable(radius);
    forward([&] { window_.circle(fx, fy, fr, colour); });
  }
  void point(double x, double y, Colour colour) {
    checkArithmetic();
    if (drawsNothing_) return;
    const float fx = drawable(x), fy = drawable(y);
    forward([&] { window_.point(fx, fy, colour); });
  }
  void clear() {
    guarded([&] { window_.clear(); });
  }
  void setPenWidth(int pixels) {
    guarded([&] { window_.setPenWidth(pixels); });
  }
  void setForeColor(Colour colour) {
    guarded([&] { window_.setForeColor(colour); });
  }
  void writeText(Box box, const std::string& text) {
    guarded([&] { window_.writeText(box, text); });
  }
  void setRatioCaption(const std::string& text) {
    guarded([&] { window_.setRatioCaption(text); });
  }

  // Runs the window's pending events; throws Ending once the window is ending.
  void yield(Pace pace = Pace::kBusy) {
    guarded([&] { window_.yield(pace); });
    if (window_.ending()) throw Ending{};
  }

 private:
  // Checks the computation before a call; whatever flags the window's own code raises are
  // not the computation's and are dropped.
  template <typename Call>
  void guarded(Call call) {
    checkArithmetic();
    forward(call);
  }
  template <typename Call>
  static void forward(Call call) {
    call();
    if (std::fetestexcept(kFaultFlags)) forgetArithmetic();
    clearUpperVectorState();
  }

  static float drawable(double value) {
    constexpr double kLargestFloat = 3.40282346638528859811704183484516925e+38;
    if (!(std::abs(value) <= kLargestFloat)) throw DrawingRangeFault{};
    return static_cast<float>(value);
  }

  Window& window_;
  // Asked once: the drawing calls come millions of times in a cycle.
  const bool drawsNothing_;
};

}  // namespace rotary
