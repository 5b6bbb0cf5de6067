// The program around the window: the cycle started by the window's first activation, and the
// handlers of the user's inputs. Esc anywhere ends the program, the button asks for a restart,
// a press on the drawing surface holds or releases the animation.
#pragma once

#include <QObject>

#include "cycle.h"
#include "form.h"
#include "window_adapter.h"

namespace rotary::app {

class Program : public QObject {
  Q_OBJECT

 public:
  // The cycle sweeps with the fast sweep unless another is given.
  explicit Program(Form1& form, SweepFunction sweep = nullptr);

  Cycle& cycle() { return cycle_; }
  WindowAdapter& adapter() { return adapter_; }
  const WindowAdapter& adapter() const { return adapter_; }
  bool running() const { return running_; }

  // Runs the endless cycle inside the event loop; quits the application once it returns.
  void runCycle();
  // Clears the surface and ends the program at once.
  void end();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The hold, and a recalculation waiting for its release, as the message area says them.
  void showHold();

  Form1& form_;
  WindowAdapter adapter_;
  Cycle cycle_;
  bool running_ = false;
  bool started_ = false;
};

}  // namespace rotary::app
