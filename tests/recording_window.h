// A window that keeps what the cycle does to it: the texts of its boxes, a log of writes,
// captions, messages, clears and (optionally) drawing calls, and counts of every operation. A
// script runs at each yield, standing in for the user's handlers.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "window.h"

namespace rotary::testing {

struct Call {
  enum class Kind {
    kWrite,
    kCaption,
    kMessage,
    kNote,
    kClear,
    kForeColor,
    kPenWidth,
    kLine,
    kCircle,
    kPoint
  };
  Kind kind = Kind::kWrite;
  Box box = Box::kEccentricity;
  std::string text;
  float x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // for a circle, x2 is the radius
  std::optional<Colour> colour;
  int pen = 0;
};

class RecordingWindow : public Window {
 public:
  std::string readText(Box box) override { return text(box); }
  void writeText(Box box, const std::string& value) override {
    text(box) = value;
    Call& c = record(Call::Kind::kWrite);
    c.box = box;
    c.text = value;
  }
  void setRatioCaption(const std::string& value) override {
    caption = value;
    if (value == "% completed") ++cyclesStarted;
    record(Call::Kind::kCaption).text = value;
  }
  int readStepCount() override {
    ++stepCountReads;
    return steps;
  }
  void clear() override {
    ++clears;
    record(Call::Kind::kClear);
  }
  void setForeColor(Colour colour) override { record(Call::Kind::kForeColor).colour = colour; }
  void setPenWidth(int pixels) override {
    pen = pixels;
    if (logDrawing) record(Call::Kind::kPenWidth).pen = pixels;
  }
  void line(float x1, float y1, float x2, float y2, std::optional<Colour> colour) override {
    ++lines;
    if (logDrawing) drawn(Call::Kind::kLine, x1, y1, x2, y2, colour);
  }
  void circle(float x, float y, float radius, Colour colour) override {
    ++circles;
    if (logDrawing) drawn(Call::Kind::kCircle, x, y, radius, 0, colour);
  }
  void point(float x, float y, Colour colour) override {
    ++points;
    if (logDrawing) drawn(Call::Kind::kPoint, x, y, 0, 0, colour);
  }
  void yield(Pace pace) override {
    ++yields;
    if (pace == Pace::kFrame) ++frameYields;
    if (pace == Pace::kIdle) ++idleYields;
    lastPace = pace;
    if (onYield) onYield(*this);
  }
  bool ending() const override { return ended; }
  void showMessage(const std::string& value) override {
    message = value;
    note.clear();
    record(Call::Kind::kMessage).text = value;
  }
  void showNote(const std::string& value) override {
    note = value;
    record(Call::Kind::kNote).text = value;
  }
  void showExactLimit(const std::string& value) override { exactLimit = value; }
  void showingFigures(bool shown) override { figuresShown = shown; }

  std::string& text(Box box) { return texts[static_cast<std::size_t>(box)]; }
  void end() { ended = true; }

  // The calls of one kind, in order.
  std::vector<Call> calls(Call::Kind kind) const {
    std::vector<Call> found;
    for (const Call& call : log) {
      if (call.kind == kind) found.push_back(call);
    }
    return found;
  }
  // The texts written into one box, in order.
  std::vector<std::string> writes(Box box) const {
    std::vector<std::string> found;
    for (const Call& call : log) {
      if (call.kind == Call::Kind::kWrite && call.box == box) found.push_back(call.text);
    }
    return found;
  }

  std::array<std::string, 6> texts;
  std::string caption;
  std::string message;
  std::string note;
  std::string exactLimit;
  bool figuresShown = false;
  int steps = 100;
  int pen = 1;
  bool ended = false;
  bool logDrawing = false;
  std::function<void(RecordingWindow&)> onYield;

  std::vector<Call> log;
  long yields = 0, frameYields = 0, idleYields = 0, lines = 0, circles = 0, points = 0, clears = 0;
  int stepCountReads = 0;
  int cyclesStarted = 0;  // captions switched to "% completed"
  Pace lastPace = Pace::kBusy;

 private:
  Call& record(Call::Kind kind) {
    log.emplace_back().kind = kind;
    return log.back();
  }
  void drawn(Call::Kind kind, float x1, float y1, float x2, float y2,
             std::optional<Colour> colour) {
    Call& c = record(kind);
    c.x1 = x1;
    c.y1 = y1;
    c.x2 = x2;
    c.y2 = y2;
    c.colour = colour;
    c.pen = pen;
  }
};

}  // namespace rotary::testing
