// The construction figure for a report: the housing at top dead centre, the largest rotor's
// three flanks, the top- and bottom-dead-centre profiles, both gear circles and their centres,
// and a legend with the inputs and the three results. SVG and PDF come at true scale (one unit
// of length is one millimetre on paper) with y growing upwards; PNG is 1600 pixels wide.
#pragma once

#include <string>

#include "headless.h"

namespace rotary::exporting {

enum class ImageFormat { kSvg, kPdf, kPng };

// The format that a file name's extension asks for; false for an extension of no image format
// among `allowed`.
bool imageFormatOf(const std::string& path, std::initializer_list<ImageFormat> allowed,
                   ImageFormat& format);

// Draws the figure of a computation that has results into `path` (a file Qt may write).
bool writeFigure(const std::string& path, ImageFormat format, const HeadlessResult& result,
                 std::string& error);

}  // namespace rotary::exporting
