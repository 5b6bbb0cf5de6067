// One chamber of a real engine over its working cycle, run until its state repeats: the
// single-zone model with the engine's exact volume and walls, its ports' open areas from the
// tool's own timing, plenums behind them, a Wiebe heat release and Woschni's heat loss. A model,
// and it says so: the waves in the ducts, the flame's travel in a long chamber, the crevices and
// friction are not in it, so its figures are indicated ones.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cycle_values.h"
#include "design_outcome.h"
#include "port_timing.h"
#include "real_engine.h"
#include "runner.h"
#include "single_zone.h"

namespace rotary::cycle {

// The model's settings are the design's (study::CycleValues), each default stated with its
// source in docs/method.md: pressures in bar, the seal gap in the engine's unit of length.
using study::CycleValues;

// The engine in the figures' units: lengths of `metresPerUnit` metres, volumes in the volume
// unit (area x width over `volumeDivisor`).
struct CycleEngine {
  double e = 0, R = 0, W = 0;
  RealEngine real;
  double volumeDivisor = 1000, metresPerUnit = 0.001;
  std::vector<PortDefinition> ports;
  int rotors = 1;
  double recessArea = 0;  // what a pocket's walls add to the chamber's surface, unit^2
};

using study::CycleFigures;

// The state over the last cycle, at each degree from 0 to 1080.
struct CyclePointSI {
  double theta = 0;
  double volume = 0;                       // m^3
  double pressure = 0;                     // Pa
  double temperature = 0;                  // K
  double massFlowIn = 0, massFlowOut = 0;  // kg per degree through the ports, summed
};

struct CycleOutcome {
  std::optional<CycleFigures> figures;
  std::vector<CyclePointSI> curve;
  std::string message;  // why there are no figures
};

// The step of the ports' open-area tables, degrees of the shaft; between its points the area is
// interpolated.
inline constexpr double kAreaTableStep = 0.5;

CycleOutcome runWorkingCycle(const CycleEngine& engine, const CycleValues& settings);

// The row's engine run through its working cycle, where its design asks for one and its real
// engine (or shape) has figures: its figures in row.cycle, or why none in row.cycleMessage.
// The whole outcome, the curve with it, where `outcome` is given.
void addWorkingCycle(study::EngineRow& row, CycleOutcome* outcome = nullptr);

// A design's working cycle on its own, as the window's page and Python run it: the design judged
// and its real engine evaluated in the face's words, then, where that leaves figures, its cycle:
// the figures in design.row.cycle (or why none in its cycleMessage), the curve in `cycle`.
struct ModelledDesign {
  study::DesignOutcome design;
  CycleOutcome cycle;
  // The model's figures; none where the design was refused or the cycle gave none.
  const std::optional<CycleFigures>& figures() const { return design.row.cycle; }
  // Why there are none: the design's refusal, else the cycle's own words.
  const std::string& why() const {
    return design.message.empty() ? design.row.cycleMessage : design.message;
  }
};
ModelledDesign modelDesign(const study::Design& design, study::Face face);

// study::evaluate with the working cycle: for a study's runner.
study::EngineRow evaluateWithCycle(const study::Design& design, const study::RunRequest& request);

}  // namespace rotary::cycle
