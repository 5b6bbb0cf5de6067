// The texts the cycle shows when it cannot give results, in the user's terms.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "number_text.h"

namespace rotary {

// Where in the cycle an arithmetic fault was found.
enum class Phase { kSetup, kSweep, kIntegration, kAnimation };

// What is wrong with a typed length; `shown` tells which characters the window can draw.
std::string notANumberMessage(std::string_view field, std::string_view text,
                              const ShownCharacters& shown = nullptr);
std::string tooLargeMessage(std::string_view field, std::string_view text,
                            const ShownCharacters& shown = nullptr);
std::string negativeMessage(std::string_view field, std::string_view text,
                            const ShownCharacters& shown = nullptr);
std::string tooSmallMessage(std::string_view field, std::string_view text,
                            const ShownCharacters& shown = nullptr);
std::string stepCountMessage(int steps, int mostSteps);
std::string arithmeticMessage(Phase phase);
std::string drawingRangeMessage();
std::string noChamberMessage(bool bottomEmptyToo, double eccentricity, double rotorRadius);
std::string lengthsTooSmallMessage();

// Why the sweep gave no result, with what the shape's exact figures say of it.
struct NoResultCause {
  double eccentricity = 0, rotorRadius = 0, chamberWidth = 0;
  int steps = 0;
  std::string exactFigures;         // "C / D / R", empty where the shape has none
  int missed = 0;                   // samples the sweep missed
  std::optional<int> workingSteps;  // a step count whose sweep gives figures
  int mostStepsTried = 0;
};
std::string noResultMessage(const NoResultCause& cause);

// Notes go with figures that are shown; they are no errors.
std::string strayNote(const std::string& exactFigures, const std::string& cause);
std::string beyondRotorLimitNote();
std::string missedSamplesNote(int steps, int missed, const std::string& bridgedRatio);
// The display cuts the capacity to tenths and the dead volume to hundredths: an engine measured
// in a large unit (metres, inches) reads 0. `exactFigures` is empty where the shape has none.
std::string cutToZeroNote(const std::string& exactFigures);

}  // namespace rotary
