// Runs many engines on every core: a worker per hardware thread takes the next engine in turn,
// and the results are put back in input order, so that the rows do not depend on the number of
// workers.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "chamber_cycle.h"
#include "figures.h"
#include "headless.h"
#include "port_timing.h"
#include "real_engine.h"
#include "typed_number.h"

namespace rotary::study {

struct EngineInput {
  TypedNumber eccentricity, rotorRadius, chamberWidth;
  int steps = 100;
  // The real engine, when any of its options is given: apex-seal offset, clearance, recess, and
  // the ratio whose recess is asked for (empty for none).
  bool real = false;
  TypedNumber sealOffset = "0", clearance = "0", recess = "0", targetRatio;
  // The volumes are area x width over this: the window's 1000 (mm give cm^3), or 1 where the
  // lengths' unit cubed is the volumes' (cm^3, m^3, in^3).
  double volumeDivisor = kWindowVolumeDivisor;
  // The unit's metres, the shaft's speed, gamma and the recess's walls, for the figures of the
  // chamber and its seals.
  ChamberSettings chamber;
  // Why the values as given make no engine (a length that is no number, say), where the row is
  // made from values it could not refuse one by one: the row then carries this as its message,
  // and no figures. Empty for an engine to compute.
  std::string refusal;
  // The ports whose timing the row gives, the same for every engine of a study; none or empty
  // for none.
  std::shared_ptr<const std::vector<PortDefinition>> ports;
  // The threads the ports' timing may share: a study that runs engines side by side gives each
  // its share of the cores. None for every core.
  unsigned portThreads = 0;
  // Where the caller may give up on the engines under way (Ctrl-C in Python): a long sweep then
  // ends at its next step, without figures.
  const std::atomic<bool>* stop = nullptr;

  // The real engine's values, 0 where one is no number.
  RealEngine realEngine() const;
  // K = R / e, where both are numbers, e is above 0 and the ratio is finite.
  std::optional<double> trochoidRatio() const;
};

// One engine's outcome, kept small: a study may hold a hundred thousand of them.
struct EngineRow {
  EngineInput input;
  std::optional<Figures> figures;      // none when the engine ended in a message
  std::optional<ExactLimit> exact;     // the shape's own figures, none when unread
  std::optional<RealLimit> real;       // the real engine's, when asked for
  std::optional<double> targetRecess;  // the recess that gives the target ratio
  // S/V at top dead centre, the ideal cycle, the seal at an rpm: of the real engine where asked
  // for, else of the shape; none where that has no figures.
  std::optional<ChamberFigures> chamber;
  // The ports' timing, of the real engine where asked for, else of the shape; with ports given.
  std::optional<EngineTiming> timing;
  std::string message;
};

// Called from the calling thread with the engines done so far: whenever rows come, and every
// 200 ms when none do.
using Progress = std::function<void(long done, long total)>;

// Every combination of the given values, the eccentricity varying slowest and the step count
// fastest.
std::vector<EngineInput> combinations(const std::vector<TypedNumber>& eccentricities,
                                      const std::vector<TypedNumber>& rotorRadii,
                                      const std::vector<TypedNumber>& chamberWidths,
                                      const std::vector<int>& stepCounts);

using EngineFunction = EngineRow (*)(const EngineInput&);
// Called on the calling thread with each row as soon as it and all rows before it are done.
using RowReady = std::function<void(const EngineRow&)>;

EngineRow runEngine(const EngineInput& engine);
// The shape's exact figures alone, as the row's figures to six significant digits, with no
// sweep and no step count; a row whose shape has none carries the reason as its message.
EngineRow runExactEngine(const EngineInput& engine);

// Every combination of the engines with the real engine's values, these varying fastest.
std::vector<EngineInput> withRealEngine(const std::vector<EngineInput>& engines,
                                        const std::vector<TypedNumber>& sealOffsets,
                                        const std::vector<TypedNumber>& clearances,
                                        const std::vector<TypedNumber>& recesses,
                                        const std::vector<TypedNumber>& targetRatios);

// The real engine's figures beside the row's own, and the recess for the target ratio.
void addRealEngine(const EngineInput& engine, EngineRow& row);
// The chamber's figures of a row whose shape, or real engine where asked for, has figures, and
// the timing of its ports.
void addChamberFigures(EngineRow& row);

// workers 0 means one per hardware thread. Once `stop` is set (from `progress`, say), no engine
// starts any more and the study returns when those under way are done; the rows of engines that
// never started are empty.
std::vector<EngineRow> runStudy(const std::vector<EngineInput>& engines, unsigned workers = 0,
                                const Progress& progress = nullptr, EngineFunction run = runEngine,
                                const RowReady& ready = nullptr,
                                const std::atomic<bool>* stop = nullptr);

// `compute` of each number from 0 up to `count`, on every core, in no set order, with the same
// progress and stop as a study: for callers that put each engine's figures in a place of its own.
void forEachEngine(std::size_t count, const std::function<void(std::size_t)>& compute,
                   unsigned workers = 0, const Progress& progress = nullptr,
                   const std::atomic<bool>* stop = nullptr);

// The row of an engine already computed.
EngineRow rowOf(const EngineInput& engine, const HeadlessResult& result);

}  // namespace rotary::study
