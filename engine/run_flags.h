// The two flags through which the window's handlers steer the cycle. Each handler toggles one;
// only the cycle resets the restart request.
#pragma once

namespace rotary {

struct RunFlags {
  int comcom = 0;  // restart request, toggled by the "recalculate" button
  int stoop = 0;   // suspend latch, toggled by a mouse press on the drawing surface

  void toggleRestart() { comcom = (1 + comcom) % 2; }
  void toggleSuspend() { stoop = (stoop + 1) % 2; }
  bool restartRequested() const { return comcom == 1; }
  bool suspended() const { return stoop == 1; }
};

}  // namespace rotary
