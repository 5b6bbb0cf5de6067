#include "messages.h"

#include <algorithm>

#include "number_text.h"

namespace rotary {

std::string notANumberMessage(std::string_view field, std::string_view text,
                              const ShownCharacters& shown) {
  std::string message =
      std::string(field) + ": " + quoteForMessage(text, shown) + " is not a number";
  // "15,5": a decimal comma where a point is wanted.
  std::string withPoint(text);
  std::replace(withPoint.begin(), withPoint.end(), ',', '.');
  if (withPoint != text && parseNumber(withPoint)) {
    return message + "; use a point as the decimal separator: " + quoteForMessage(withPoint) + ".";
  }
  return message + ".";
}

std::string tooLargeMessage(std::string_view field, std::string_view text,
                            const ShownCharacters& shown) {
  return std::string(field) + ": " + quoteForMessage(text, shown) + " is too large a number.";
}

std::string negativeMessage(std::string_view field, std::string_view text,
                            const ShownCharacters& shown) {
  return std::string(field) + ": " + quoteForMessage(text, shown) +
         " is negative; a length cannot be negative.";
}

std::string tooSmallMessage(std::string_view field, std::string_view text,
                            const ShownCharacters& shown) {
  return std::string(field) + ": " + quoteForMessage(text, shown) +
         " is too small a number to compute with; it would count as 0.";
}

std::string noResultMessage(const NoResultCause& cause) {
  if (cause.chamberWidth == 0)
    return "No result: a chamber width of 0 gives the chamber no volume.";
  if (cause.eccentricity >= cause.rotorRadius / 3) {
    return "No result: with a rotor radius of not more than three eccentricities the curves "
           "enclose no chamber of sound volume.";
  }
  std::string text;
  if (cause.missed > 0) {
    text = "No result at N = " + std::to_string(cause.steps) + ": the sweep missed " +
           std::to_string(cause.missed) +
           " of the 801 samples across the flank, so its volumes describe no engine.";
  } else {
    text =
        "No result: the eccentricity is too small against the rotor radius for the 801 "
        "samples across the rotor flank, so the volumes come out as no engine has them.";
  }
  if (cause.exactFigures.empty()) {
    return text + " Use a larger eccentricity or a smaller rotor radius.";
  }
  text +=
      " The shape's exact limit is " + cause.exactFigures + " (capacity / dead volume / ratio).";
  if (cause.workingSteps) {
    return text + " N = " + std::to_string(*cause.workingSteps) + " gives figures.";
  }
  return text + " No step count up to " + std::to_string(cause.mostStepsTried) + " gives figures.";
}

std::string lengthsTooSmallMessage() {
  return "The dimensions are too small to compute with: the chamber volumes fall below the "
         "smallest numbers a double holds. Give the lengths in a smaller unit.";
}

std::string strayNote(const std::string& exactFigures, const std::string& cause) {
  return "Note: the shape's exact limit is " + exactFigures +
         " (capacity / dead volume / ratio); " + cause;
}

std::string missedSamplesNote(int steps, int missed, const std::string& bridgedRatio) {
  return "Note: at N = " + std::to_string(steps) + " the sweep missed " + std::to_string(missed) +
         " of the 801 samples across the flank, which keep start values that do not scale with "
         "the engine, so these figures change with its size; with those samples bridged from "
         "their neighbours the ratio reads " +
         bridgedRatio + ".";
}

std::string cutToZeroNote(const std::string& exactFigures) {
  std::string note =
      "Note: the display cuts the capacity to tenths and the dead volume to hundredths, so here "
      "they read 0 (lengths in a large unit, such as metres or inches); ";
  if (exactFigures.empty()) return note + "give the lengths in a smaller unit to see them.";
  return note + "the shape's exact limit gives them: " + exactFigures +
         " (capacity / dead volume / ratio).";
}

std::string beyondRotorLimitNote() {
  return "Note: the rotor radius is not more than three eccentricities, the geometric limit of a "
         "three-flank rotor; no working engine has this shape, and these figures describe the "
         "curves only.";
}

std::string stepCountMessage(int steps, int mostSteps) {
  return "step count: " + std::to_string(steps) + " is not between 50 and " +
         std::to_string(mostSteps) + ".";
}

std::string arithmeticMessage(Phase phase) {
  switch (phase) {
    case Phase::kSetup:
      return "The dimensions are too large to compute with: the housing size overflows the "
             "range of numbers.";
    case Phase::kSweep:
      return "The housing sweep failed: its values overflowed the range of numbers, so the "
             "dimensions are too large or too small to compute with.";
    case Phase::kIntegration:
      return "The volumes overflowed the range of numbers: the dimensions are too large or too "
             "small to compute with.";
    case Phase::kAnimation:
      return "The animation overflowed the range of numbers: the dimensions are too large to "
             "compute with.";
  }
  return "The computation failed.";
}

std::string drawingRangeMessage() {
  return "The engine cannot be drawn: its coordinates lie beyond the drawing range, so the "
         "dimensions are too large.";
}

std::string noChamberMessage(bool bottomEmptyToo, double eccentricity, double rotorRadius) {
  std::string text = bottomEmptyToo
                         ? "No compression ratio: the chamber has no volume at top dead centre "
                           "nor at bottom dead centre."
                         : "No compression ratio: the chamber at top dead centre has no volume.";
  if (rotorRadius == 0) {
    text += " A rotor radius of 0 leaves no chamber.";
  } else if (eccentricity == 0) {
    text += " With eccentricity 0 the housing is a circle around the rotor.";
  }
  return text;
}

}  // namespace rotary
