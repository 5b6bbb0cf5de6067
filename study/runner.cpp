#include "runner.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <utility>

#include "cycle.h"
#include "exact_limit.h"
#include "headless.h"
#include "number_text.h"
#include "pocket_rules.h"
#include "shape_texts.h"
#include "vector_state.h"

namespace rotary::study {

std::vector<Design> combinations(const Design& base, const std::vector<TypedNumber>& eccentricities,
                                 const std::vector<TypedNumber>& rotorRadii,
                                 const std::vector<TypedNumber>& chamberWidths,
                                 const std::vector<int>& stepCounts) {
  std::vector<Design> engines;
  for (const TypedNumber& e : eccentricities) {
    for (const TypedNumber& R : rotorRadii) {
      for (const TypedNumber& W : chamberWidths) {
        for (const int N : stepCounts) {
          Design input = base;
          input.eccentricity = e;
          input.rotorRadius = R;
          input.chamberWidth = W;
          input.steps = N;
          engines.push_back(input);
        }
      }
    }
  }
  return engines;
}

std::vector<Design> withRealEngine(const std::vector<Design>& engines,
                                   const std::vector<TypedNumber>& sealOffsets,
                                   const std::vector<TypedNumber>& clearances,
                                   const std::vector<TypedNumber>& recesses,
                                   const std::vector<TypedNumber>& targetRatios) {
  std::vector<Design> real;
  for (const Design& engine : engines) {
    for (const TypedNumber& A : sealOffsets) {
      for (const TypedNumber& C : clearances) {
        for (const TypedNumber& V : recesses) {
          for (const TypedNumber& X : targetRatios) {
            Design input = engine;
            input.real = true;
            input.sealOffset = A;
            input.clearance = C;
            input.recess = V;
            input.targetRatio = X;
            real.push_back(input);
          }
        }
      }
    }
  }
  return real;
}

EngineRow refusedRow(const Design& design, const std::string& message) {
  EngineRow row;
  row.input = design;
  row.message = message;
  return row;
}

namespace {

// The pocket that holds the row's recess, or why it cannot be cut: then the row has no figures.
void addPocket(EngineRow& row, Face face) {
  if (!row.input.hasPocket() || !row.real || !row.real->hasFigures()) return;
  if (!row.input.targetRatio.empty() && !row.targetRecess) return;
  const PocketOutcome pocket =
      pocketOutcome(row.input, face, row.input.realEngine(), row.input.volumeDivisor());
  if (pocket.refusal) {
    row.message = pocket.refusal->message;
    row.refusedBy = pocket.refusal->field;
    row.figures.reset();
    row.real.reset();
    row.targetRecess.reset();
    return;
  }
  row.pocket = pocket.figures;
}

}  // namespace

ChamberSettings EngineRow::chamberSettings() const {
  ChamberSettings settings = input.chamberSettings();
  if (pocket) settings.recessArea = pocket->wallArea;
  return settings;
}

void addRealEngine(const Design& engine, EngineRow& row, Face face) {
  const auto &e = engine.eccentricity.number, &R = engine.rotorRadius.number,
             &W = engine.chamberWidth.number, &A = engine.sealOffset.number,
             &C = engine.clearance.number;
  if (!e || !R || !W || !A || !C || !(engine.recess.empty() || engine.recess.number)) return;
  // The row's own exact limit, where it has one, comes from these very dimensions.
  const RealEngine real = engine.realEngine();
  const double divisor = engine.volumeDivisor();
  row.real = row.exact ? realLimit(*e, *R, *W, real, *row.exact, divisor)
                       : realLimit(*e, *R, *W, real, divisor);
  const auto& X = engine.targetRatio.number;
  if (X && row.real->hasFigures()) row.targetRecess = recessForRatio(row.real->withoutRecess, *X);
  // The target's recess stands in place of any recess given: every figure of the row, and every
  // file made from it, is of the engine with that recess.
  if (row.targetRecess) {
    row.real = withRecess(*row.real, *row.targetRecess);
    row.input.recess = formatNumber(*row.targetRecess);
    row.input.recess.number = *row.targetRecess;
  }
  addPocket(row, face);
}

void addChamberFigures(EngineRow& row, const RunRequest& request) {
  const Design& engine = row.input;
  const ExactFigures* figures = nullptr;
  if (engine.real) {
    if (row.real && row.real->hasFigures()) figures = &row.real->figures;
  } else if (row.exact && row.exact->hasFigures()) {
    figures = &row.exact->figures;
  }
  if (!figures) return;
  row.chamber = chamberFigures(*engine.eccentricity.number, *engine.rotorRadius.number,
                               *engine.chamberWidth.number, engine.realEngine(), *figures,
                               engine.volumeDivisor(), row.chamberSettings());
  if (engine.hasPorts()) {
    row.timing =
        engineTiming(*engine.eccentricity.number, *engine.rotorRadius.number,
                     *engine.chamberWidth.number, engine.realEngine(), engine.volumeDivisor(),
                     *engine.ports, request.portThreads ? request.portThreads : allCores());
  }
}

EngineRow runEngine(const Design& engine, const RunRequest& request) {
  return rowOf(engine,
               computeHeadless(engine.eccentricity.text, engine.rotorRadius.text,
                               engine.chamberWidth.text, engine.steps, nullptr, kMostCompanionSteps,
                               engine.volumeDivisor(), request.stop),
               request);
}

EngineRow evaluate(const Design& design, const RunRequest& request) {
  return design.steps == 0 ? runExactEngine(design, request) : runEngine(design, request);
}

EngineRow runExactEngine(const Design& engine, const RunRequest& request) {
  EngineRow row;
  row.input = engine;
  row.input.steps = 0;
  const auto &e = engine.eccentricity.number, &R = engine.rotorRadius.number,
             &W = engine.chamberWidth.number;
  if (!e || !R || !W) {
    row.message = "No exact figures: the dimensions are no numbers.";
    return row;
  }
  row.exact = exactLimit(*e, *R, *W, engine.volumeDivisor());
  if (!row.exact->hasFigures()) {
    row.message = "No exact figures: " + whyNoExactFigures(row.exact->status) + ".";
    return row;
  }
  // Rounded to the digits the exact computation promises, so that the display format shows
  // just those.
  const auto promised = [](double value) { return roundedToDigits(value, 6); };
  const ExactFigures& x = row.exact->figures;
  row.figures = Figures{promised(x.capacity), promised(x.deadVolume), promised(x.ratio), ""};
  if (engine.real) addRealEngine(engine, row, request.face);
  addChamberFigures(row, request);
  return row;
}

EngineRow rowOf(const Design& engine, const HeadlessResult& result, const RunRequest& request) {
  EngineRow row;
  row.input = engine;
  row.figures = result.figures;
  row.exact = result.exact;
  row.message = result.message;
  if (engine.real) addRealEngine(engine, row, request.face);
  addChamberFigures(row, request);
  return row;
}

std::vector<EngineRow> runStudy(const std::vector<Design>& engines, unsigned workers,
                                const Progress& progress, EngineFunction run, const RowReady& ready,
                                const std::atomic<bool>* stop) {
  std::vector<EngineRow> rows(engines.size());
  if (workers == 0) workers = std::max(1u, std::thread::hardware_concurrency());
  workers = std::min<unsigned>(workers, std::max<std::size_t>(1, engines.size()));

  std::atomic<std::size_t> next{0};
  std::atomic<long> done{0};
  std::mutex mutex;
  std::condition_variable changed;
  unsigned running = workers;
  std::vector<char> finished(engines.size(), 0);  // guarded by the mutex
  std::size_t handedOut = 0;                      // rows given to `ready` so far
  const auto work = [&] {
    // A thread inherits the caller's vector state: a study from Python after numpy, or from the
    // window after Qt, would pay for it on every sine.
    clearUpperVectorState();
    const auto stopped = [stop] { return stop && stop->load(); };
    for (std::size_t n; !stopped() && (n = next.fetch_add(1)) < engines.size();) {
      const RunRequest request{stop, std::max(1u, allCores() / workers)};
      EngineRow row = run(engines[n], request);
      std::lock_guard lock(mutex);
      rows[n] = std::move(row);
      finished[n] = 1;
      ++done;
      if (n == handedOut) changed.notify_all();
    }
    std::lock_guard lock(mutex);
    if (--running == 0) changed.notify_all();
  };
  std::vector<std::thread> threads;
  for (unsigned w = 0; w < workers; ++w) threads.emplace_back(work);
  {
    std::unique_lock lock(mutex);
    const auto total = static_cast<long>(engines.size());
    for (;;) {
      changed.wait_for(lock, std::chrono::milliseconds(200), [&] {
        return running == 0 || (handedOut < finished.size() && finished[handedOut]);
      });
      // The rows ready in order, handed out without the lock: the workers write other rows.
      while (handedOut < finished.size() && finished[handedOut]) {
        const std::size_t n = handedOut++;
        if (ready) {
          lock.unlock();
          ready(rows[n]);
          lock.lock();
        }
      }
      if (running == 0 && (handedOut == finished.size() || (stop && stop->load()))) break;
      // Whatever the pace of the rows: a study whose rows come steadily runs long all the same.
      if (progress) {
        lock.unlock();
        progress(done.load(), total);
        lock.lock();
      }
    }
  }
  for (std::thread& thread : threads) thread.join();
  return rows;
}

void forEachEngine(std::size_t count, const std::function<void(std::size_t)>& compute,
                   unsigned workers, const Progress& progress, const std::atomic<bool>* stop) {
  if (workers == 0) workers = std::max(1u, std::thread::hardware_concurrency());
  workers = std::min<unsigned>(workers, std::max<std::size_t>(1, count));
  std::atomic<std::size_t> next{0};
  std::atomic<long> done{0};
  std::mutex mutex;
  std::condition_variable finished;
  unsigned running = workers;  // guarded by the mutex
  const auto stopped = [stop] { return stop && stop->load(); };
  std::vector<std::thread> threads;
  for (unsigned w = 0; w < workers; ++w) {
    threads.emplace_back([&] {
      clearUpperVectorState();
      for (std::size_t n; !stopped() && (n = next.fetch_add(1)) < count;) {
        compute(n);
        ++done;
      }
      std::lock_guard lock(mutex);
      if (--running == 0) finished.notify_all();
    });
  }
  {
    std::unique_lock lock(mutex);
    while (!finished.wait_for(lock, std::chrono::milliseconds(200), [&] { return running == 0; })) {
      if (!progress) continue;
      lock.unlock();
      progress(done.load(), static_cast<long>(count));
      lock.lock();
    }
  }
  for (std::thread& thread : threads) thread.join();
}

}  // namespace rotary::study
