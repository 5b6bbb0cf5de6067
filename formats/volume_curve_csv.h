// One chamber's volume over its cycle as CSV, for a cycle simulation or a p-V diagram: comment
// lines first with the inputs and the figures, then a row every step of the shaft.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "real_engine.h"
#include "volume_curve.h"

namespace rotary::formats {

struct CurveHeader {
  double eccentricity, rotorRadius, chamberWidth;
  bool realEngine;  // seal offset, clearance or recess given
  RealEngine engine;
  ExactFigures figures;       // the figures the curve runs between
  std::string lengthUnit;     // as --units names it; empty when not given
  std::optional<double> rpm;  // the seal's columns, at this shaft speed
};

void writeVolumeCurve(std::ostream& out, const CurveHeader& header,
                      const std::vector<CyclePoint>& curve);

}  // namespace rotary::formats
