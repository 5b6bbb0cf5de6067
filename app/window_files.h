// The files the window saves for the engine it shows: the figure, the CAD outlines, the profiles
// and the results, each the very bytes the companion writes for the same engine and options.
#pragma once

#include <string>

#include "design_outcome.h"
#include "results_table.h"
#include "runner.h"
#include "working_cycle.h"

namespace rotary::app {

enum class WindowFile {
  kFigureSvg,
  kFigurePdf,
  kFigurePng,
  kDxf,
  kProfiles,
  kResultsCsv,
  kResultsJson,
  kVolumeCurve,
  kCycleChartSvg,
  kCycleChartPng,
  // The working cycle's model: its last cycle (the companion's --cycle-curve) and its chart
  // (--chart with --cycle).
  kModelCurve,
  kModelChartSvg,
  kModelChartPng
};

// `engine` is what the cycle read (its texts and step count); `real` the design panel's outcome
// when it has values, so that the figure, the outlines and the results are the real engine's;
// the design's unit, rotors, gear module, shaft speed and ports are what the companion's options
// would give.
// `model` is the design panel's working cycle of the design, where it asks for one: the results
// carry its figures, and the model's files are its. `realEngine` names the chart's engine a real
// one.
// False with the reason in `error` when there is nothing to write.
struct WindowModel {
  const cycle::ModelledDesign* model = nullptr;
  bool realEngine = false;
};
bool windowFileContent(WindowFile file, const study::Design& engine,
                       const study::DesignOutcome* real, std::string& content, std::string& error,
                       WindowModel model = {});

// The name a save dialog proposes: "rotor-e15-R105-W80.dxf", or with a kind of its own
// "rotor-e15-R105-W80-results.csv".
std::string proposedFileName(const study::Design& engine, const std::string& extension,
                             const std::string& kind = "");

}  // namespace rotary::app
