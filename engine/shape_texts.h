// What the figures and messages say of the shape's exact limit and of the real engine.
#pragma once

#include <string>

#include "exact_limit.h"
#include "real_engine.h"

namespace rotary {

// "C / D / R" with six significant digits each, as notes and messages quote them.
std::string exactFiguresText(const ExactFigures& figures);

// Why a shape has no exact figures, as a clause for a message; empty when it has them.
std::string whyNoExactFigures(ExactStatus status);

// Why a real engine has no figures, as a sentence.
std::string whyNoRealFigures(const RealLimit& limit, const RealEngine& real);

// Why no recess gives the target ratio: the real engine without a recess has less, and a recess
// only lowers the ratio.
std::string targetAboveLimit(double target, double limit);

}  // namespace rotary
