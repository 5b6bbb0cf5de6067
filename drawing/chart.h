// Charts of a study with Qt Charts: the compression ratio against what the study varies (K, or
// else the seal offset, clearance, recess, chamber width or step count), one series per other
// parameter that varies, and beneath it the chamber capacity and the dead volume.
#pragma once

#include <string>
#include <vector>

#include "drawing.h"
#include "figure.h"
#include "runner.h"

namespace rotary::drawing {

// SVG or PNG, drawn into `content`, the bytes of the file; the axes name the unit of the lengths
// (millimetres when `lengthUnit` is empty).
bool drawChart(ImageFormat format, const std::vector<study::EngineRow>& rows,
               const std::string& lengthUnit, std::string& content, std::string& error);

// One engine's chamber over its cycle: the volume against the shaft angle on the left axis, the
// leading apex seal's lean on the right one.
bool drawCurveChart(ImageFormat format, const CurveChart& chart, std::string& content,
                    std::string& error);

// One engine's ports: each port's open area over the cycle with its events marked, the volume on
// the right axis.
bool drawModelChart(ImageFormat format, const ModelChart& chart, std::string& content,
                    std::string& error);
bool drawPowerChart(ImageFormat format, const PowerChart& chart, std::string& content,
                    std::string& error);
bool drawPortChart(ImageFormat format, const PortChart& chart, std::string& content,
                   std::string& error);

}  // namespace rotary::drawing
