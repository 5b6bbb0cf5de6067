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
#include "cycle_values.h"
#include "design.h"
#include "figures.h"
#include "headless.h"
#include "port_timing.h"
#include "real_engine.h"
#include "recess_pocket.h"
#include "solid_settings.h"
#include "typed_number.h"

namespace rotary::study {

// One engine's outcome, kept small: a study may hold a hundred thousand of them.
struct EngineRow {
  Design input;
  std::optional<Figures> figures;      // none when the engine ended in a message
  std::optional<ExactLimit> exact;     // the shape's own figures, none when unread
  std::optional<RealLimit> real;       // the real engine's, when asked for
  std::optional<double> targetRecess;  // the recess that gives the target ratio
  // S/V at top dead centre, the ideal cycle, the seal at an rpm: of the real engine where asked
  // for, else of the shape; none where that has no figures.
  std::optional<ChamberFigures> chamber;
  // The ports' timing, of the real engine where asked for, else of the shape; with ports given.
  std::optional<EngineTiming> timing;
  // The parts' mass properties, where they were built.
  std::optional<SolidFigures> solids;
  // The recess's pocket, with the depth that holds the recess (or the target's).
  std::optional<PocketFigures> pocket;
  // The working cycle's model, where asked for and it converged; else why not, in cycleMessage.
  std::optional<CycleFigures> cycle;
  std::string cycleMessage;
  std::string message;
  // The value the message refuses, where the design cannot be made as given (a pocket that
  // cannot be cut): a face refuses it as it refuses a value, not as an engine without figures.
  std::optional<Field> refusedBy;

  // The chamber's settings of this engine: the design's, with the pocket's walls where it has
  // one.
  ChamberSettings chamberSettings() const;
};

// Called from the calling thread with the engines done so far: whenever rows come, and every
// 200 ms when none do.
using Progress = std::function<void(long done, long total)>;

// Every combination of the given values in `base`, the eccentricity varying slowest and the step
// count fastest.
std::vector<Design> combinations(const Design& base, const std::vector<TypedNumber>& eccentricities,
                                 const std::vector<TypedNumber>& rotorRadii,
                                 const std::vector<TypedNumber>& chamberWidths,
                                 const std::vector<int>& stepCounts);

using EngineFunction = EngineRow (*)(const Design&, const RunRequest&);
// Called on the calling thread with each row as soon as it and all rows before it are done.
using RowReady = std::function<void(const EngineRow&)>;

EngineRow runEngine(const Design& engine, const RunRequest& request = {});
// The shape's exact figures alone, as the row's figures to six significant digits, with no
// sweep and no step count; a row whose shape has none carries the reason as its message.
EngineRow runExactEngine(const Design& engine, const RunRequest& request = {});
// Every figure of the design: the exact ones alone for 0 steps, else the sweep's too.
EngineRow evaluate(const Design& design, const RunRequest& request = {});
// A design refused by a rule: the row carries the words, and no figures.
EngineRow refusedRow(const Design& design, const std::string& message);

// Every combination of the engines with the real engine's values, these varying fastest.
std::vector<Design> withRealEngine(const std::vector<Design>& engines,
                                   const std::vector<TypedNumber>& sealOffsets,
                                   const std::vector<TypedNumber>& clearances,
                                   const std::vector<TypedNumber>& recesses,
                                   const std::vector<TypedNumber>& targetRatios);

// The real engine's figures beside the row's own, and the recess for the target ratio.
// A pocket that cannot be cut is refused in the words of `face`.
void addRealEngine(const Design& engine, EngineRow& row, Face face = Face::kCompanion);
// The chamber's figures of a row whose shape, or real engine where asked for, has figures, and
// the timing of its ports.
void addChamberFigures(EngineRow& row, const RunRequest& request = {});

// workers 0 means one per hardware thread. Once `stop` is set (from `progress`, say), no engine
// starts any more and the study returns when those under way are done; the rows of engines that
// never started are empty.
std::vector<EngineRow> runStudy(const std::vector<Design>& engines, unsigned workers = 0,
                                const Progress& progress = nullptr, EngineFunction run = runEngine,
                                const RowReady& ready = nullptr,
                                const std::atomic<bool>* stop = nullptr);

// `compute` of each number from 0 up to `count`, on every core, in no set order, with the same
// progress and stop as a study: for callers that put each engine's figures in a place of its own.
void forEachEngine(std::size_t count, const std::function<void(std::size_t)>& compute,
                   unsigned workers = 0, const Progress& progress = nullptr,
                   const std::atomic<bool>* stop = nullptr);

// The row of an engine already computed.
EngineRow rowOf(const Design& engine, const HeadlessResult& result, const RunRequest& request = {});

}  // namespace rotary::study
