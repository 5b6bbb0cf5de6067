// The texts the cycle shows when it cannot give results, in the user's terms.
#pragma once

#include <string>
#include <string_view>

namespace rotary {

// Where in the cycle an arithmetic fault was found.
enum class Phase { kSetup, kSweep, kIntegration, kAnimation };

std::string notANumberMessage(std::string_view field, std::string_view text);
std::string tooLargeMessage(std::string_view field, std::string_view text);
std::string negativeMessage(std::string_view field, std::string_view text);
std::string tooSmallMessage(std::string_view field, std::string_view text);
std::string stepCountMessage(int steps, int mostSteps);
std::string arithmeticMessage(Phase phase);
std::string drawingRangeMessage();
std::string noChamberMessage(bool bottomEmptyToo, double eccentricity, double rotorRadius);
std::string noResultMessage(double eccentricity, double rotorRadius, double chamberWidth);

// Notes go with figures that are shown; they are no errors.
std::string middleSampleNote(const std::string& ratio, const std::string& neighbourRatio);
std::string beyondRotorLimitNote();

}  // namespace rotary
