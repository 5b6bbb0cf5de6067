// The operations through which the computation reaches the window. The Qt main window carries
// them out on screen; the tests' recording window and the command-line tool carry them out in
// memory. Nothing here depends on a toolkit.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace rotary {

// Colours are packed 0x00BBGGRR: red in the lowest byte.
using Colour = std::uint32_t;

namespace colours {
inline constexpr Colour kBackground = 0xE0E0E0;  // also the eraser of the animation
inline constexpr Colour kBlack = 0;
inline constexpr Colour kConstruction = 1;  // near-black: the value 1, not 0
inline constexpr Colour kTopDeadCentre = 255;
inline constexpr Colour kBottomDeadCentre = 0xC000;
inline constexpr Colour kRotor = 0xC0C000;
inline constexpr Colour kHousingGear = 0xFF0000;
}  // namespace colours

// The six text boxes: three inputs, three outputs.
enum class Box { kEccentricity, kRotorRadius, kChamberWidth, kCapacity, kDeadVolume, kRatio };

// How much a yield has to do. Busy yields come millions of times per cycle and may be skipped
// when the last event pump was only a moment ago; a frame yield must bring the screen up to
// date; an idle yield may sleep until the next event, since the cycle only waits.
enum class Pace { kBusy, kFrame, kIdle };

class Window {
 public:
  virtual ~Window() = default;

  virtual std::string readText(Box box) = 0;
  virtual void writeText(Box box, const std::string& text) = 0;
  // The caption of the label beside the ratio box ("% completed" or "compression ratio").
  virtual void setRatioCaption(const std::string& text) = 0;
  virtual int readStepCount() = 0;

  virtual void clear() = 0;
  virtual void setForeColor(Colour colour) = 0;
  virtual void setPenWidth(int pixels) = 0;
  // No colour means the foreground colour.
  virtual void line(float x1, float y1, float x2, float y2, std::optional<Colour> colour) = 0;
  virtual void circle(float x, float y, float radius, Colour colour) = 0;
  virtual void point(float x, float y, Colour colour) = 0;

  // Runs the pending events of the window, and with them the handlers that toggle the run flags
  // or end the program.
  virtual void yield(Pace pace) = 0;
  // True once the program is ending (Esc, or the window closed): the cycle then returns.
  virtual bool ending() const = 0;

  // A message about the inputs or the computation, shown instead of results; the empty text
  // takes it away.
  virtual void showMessage(const std::string& text) = 0;
  // A note that goes with results that are shown: no error, and it looks like none. The empty
  // text of showMessage takes it away too.
  virtual void showNote(const std::string& text) = 0;

  // The shape's exact limit beside the cycle's figures ("exact limit 654.715 / 37.8761 /
  // 18.2857, K = 7"), or beside a message that does not give it already; the empty text takes it
  // away. A window without a place for it ignores it.
  virtual void showExactLimit(const std::string&) {}
  // The figures of a completed cycle are shown (true), or gone as the next cycle starts (false):
  // a window may offer to save or copy them only in between.
  virtual void showingFigures(bool) {}

  // Whether the window's font can draw a character; a quoted text shows the others as escapes.
  virtual bool canShow(char32_t) const { return true; }

  // A window that shows no drawing (the companion's): what lies beyond the drawing range is then
  // no reason to withhold the figures.
  virtual bool drawsNothing() const { return false; }
};

}  // namespace rotary
