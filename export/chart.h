// Charts of a study with Qt Charts: the compression ratio against the trochoid ratio K = R / e,
// one series per rotor radius or step count where those vary, and beneath it the chamber
// capacity and the dead volume against K.
#pragma once

#include <string>
#include <vector>

#include "figure.h"
#include "runner.h"

namespace rotary::exporting {

// SVG or PNG.
bool writeChart(const std::string& path, ImageFormat format,
                const std::vector<study::EngineRow>& rows, std::string& error);

}  // namespace rotary::exporting
