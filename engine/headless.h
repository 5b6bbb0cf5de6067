// The computation without a screen: a window that keeps its texts in memory and draws nothing,
// and one cycle's results computed on it. The command-line tool, the benchmarks and the fuzzer
// use it; the cycle runs exactly as it does in the real window.
#pragma once

#include <array>
#include <atomic>
#include <optional>
#include <string>

#include "cycle.h"
#include "window.h"

namespace rotary {

class HeadlessWindow : public Window {
 public:
  std::string readText(Box box) override { return texts[index(box)]; }
  void writeText(Box box, const std::string& text) override { texts[index(box)] = text; }
  void setRatioCaption(const std::string& text) override { ratioCaption = text; }
  int readStepCount() override { return steps; }
  void clear() override {}
  void setForeColor(Colour) override {}
  void setPenWidth(int) override {}
  void line(float, float, float, float, std::optional<Colour>) override {}
  void circle(float, float, float, Colour) override {}
  void point(float, float, Colour) override {}
  void yield(Pace) override {}
  // The cycle gives up at its next yield once `stop` is set: a caller's Ctrl-C.
  bool ending() const override { return stop && stop->load(std::memory_order_relaxed); }
  void showMessage(const std::string& text) override {
    message = text;
    note.clear();
  }
  void showNote(const std::string& text) override { note = text; }
  bool drawsNothing() const override { return true; }

  std::string& text(Box box) { return texts[index(box)]; }

  std::array<std::string, 6> texts;
  std::string ratioCaption;
  std::string message;
  std::string note;
  int steps = 100;
  const std::atomic<bool>* stop = nullptr;

 private:
  static std::size_t index(Box box) { return static_cast<std::size_t>(box); }
};

struct HeadlessResult {
  Outcome outcome = Outcome::kMessage;
  std::string capacity;    // as the chamber capacity box shows it
  std::string deadVolume;  // as the dead volume box shows it
  std::string ratio;       // as the ratio box shows it
  std::string message;     // set when the outcome is a message
  std::string note;        // a note that goes with the results, if any

  // The computation behind the texts, as values: the dimensions read, the profiles after the
  // mirroring, the areas summed and the figures shown (none when there are no results).
  Geometry geometry;
  Profiles profiles;
  Areas areas;
  std::optional<Figures> figures;
  std::optional<ExactLimit> exact;  // none when the dimensions could not be read
};

// One first cycle on the given input texts and step count, up to its results.
// The companion takes step counts beyond the window's scroll bar, up to kMostCompanionSteps.
HeadlessResult computeHeadless(const std::string& eccentricity, const std::string& rotorRadius,
                               const std::string& chamberWidth, int steps,
                               SweepFunction sweep = nullptr, int mostSteps = kMostWindowSteps,
                               double volumeDivisor = kWindowVolumeDivisor,
                               const std::atomic<bool>* stop = nullptr);

}  // namespace rotary
