// What the charts of one engine over its cycle share: the chart, titled with the engine and
// its legend below; the shaft's axis over the cycle; and a pen for lines drawn whole.
#pragma once

#include <QChart>
#include <QColor>
#include <QPen>
#include <QValueAxis>
#include <string>

#include "drawing.h"

namespace rotary::drawing {

// "Real engine, e = 15, R = 105, W = 80: " followed by what the chart shows.
QChart* newCycleChart(bool realEngine, double eccentricity, double rotorRadius, double chamberWidth,
                      const std::string& what);

// The eccentric shaft's angle from 0 to 1080 degrees, a tick every 90: the dead centres and the
// strokes between.
QValueAxis* newShaftAxis();

// The working cycle's pressure against its volume, log-log, the ports' events marked: the upper
// half of the model's chart, and the window's Cycle-model page.
QChart* newPressureVolumeChart(const ModelChart& chart);

// Dashed with a dash longer than the line: one path in an SVG, not a line per degree.
QPen wholeLinePen(const QColor& colour, double width);

}  // namespace rotary::drawing
