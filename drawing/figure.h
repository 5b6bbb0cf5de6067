// The construction figure for a report: the housing at top dead centre, the largest rotor's
// three flanks, the top- and bottom-dead-centre profiles, both gear circles and their centres,
// and a legend with the inputs and the three results. SVG and PDF come at true scale (one unit
// of length is one millimetre on paper) with y growing upwards; PNG is 1600 pixels wide.
#pragma once

#include <string>

#include "drawing.h"
#include "headless.h"

namespace rotary::drawing {

// Draws the figure of a computation that has results into `content`, the bytes of the file.
bool drawFigure(ImageFormat format, const HeadlessResult& result, const FigureUnit& unit,
                std::string& content, std::string& error);

// A real engine: the bore, the trochoid, the rotor with and without its clearance, the gears.
bool drawFigure(ImageFormat format, const RealFigure& real, std::string& content,
                std::string& error);

}  // namespace rotary::drawing
