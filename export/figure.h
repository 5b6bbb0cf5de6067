// The construction figure for a report: the housing at top dead centre, the largest rotor's
// three flanks, the top- and bottom-dead-centre profiles, both gear circles and their centres,
// and a legend with the inputs and the three results. SVG and PDF come at true scale (one unit
// of length is one millimetre on paper) with y growing upwards; PNG is 1600 pixels wide.
#pragma once

#include <string>

#include "headless.h"
#include "real_engine.h"

namespace rotary::exporting {

enum class ImageFormat { kSvg, kPdf, kPng };

// The format that a file name's extension asks for; false for an extension of no image format
// among `allowed`.
bool imageFormatOf(const std::string& path, std::initializer_list<ImageFormat> allowed,
                   ImageFormat& format);

// Draws the figure of a computation that has results into `content`, the bytes of the file.
bool drawFigure(ImageFormat format, const HeadlessResult& result, std::string& content,
                std::string& error);

// A real engine with figures: the bore, the trochoid, the rotor with and without its clearance,
// the gears, and a legend with A, C, V and the real engine's figures.
struct RealFigure {
  double eccentricity, rotorRadius, chamberWidth;
  RealEngine engine;
  ExactFigures figures;
};
bool drawFigure(ImageFormat format, const RealFigure& real, std::string& content,
                std::string& error);

}  // namespace rotary::exporting
