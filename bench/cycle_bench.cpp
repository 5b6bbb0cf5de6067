// The working cycle's model: one engine at one speed run to its periodic state (the README's
// ports on the defaults' real engine), and a sweep of 15 speeds, 2000 to 9000 rpm, on every core
// as the companion's study runs it. Budgets: 100 ms an engine; 1 s the sweep.
#include <benchmark/benchmark.h>

#include <atomic>
#include <vector>

#include "runner.h"
#include "working_cycle.h"

namespace rotary::cycle {
namespace {

CycleEngine portedEngine() {
  CycleEngine engine;
  engine.e = 15, engine.R = 105, engine.W = 80;
  engine.real = {2, 0.1, 0};
  engine.ports = {PortDefinition::sidePort(PortRole::kIntake,
                                           {{-45, 82}, {-75, 70}, {-72, 58}, {-42, 70}}, "intake"),
                  PortDefinition::peripheralPort(PortRole::kExhaust, {42.5, 54.4, 30}, "exhaust")};
  return engine;
}

void oneEngineAtOneSpeed(benchmark::State& state) {
  const CycleEngine engine = portedEngine();
  CycleValues settings;
  settings.rpm = static_cast<double>(state.range(0));
  for (auto _ : state) {
    const CycleOutcome outcome = runWorkingCycle(engine, settings);
    if (!outcome.figures) state.SkipWithError(outcome.message.c_str());
    benchmark::DoNotOptimize(outcome.figures->imepNet);
  }
}
BENCHMARK(oneEngineAtOneSpeed)->Arg(3000)->Arg(9000)->Unit(benchmark::kMillisecond);

void fifteenSpeedsOnEveryCore(benchmark::State& state) {
  const CycleEngine engine = portedEngine();
  for (auto _ : state) {
    std::vector<double> imep(15);
    study::forEachEngine(15, [&](std::size_t n) {
      CycleValues settings;
      settings.rpm = 2000 + 500.0 * static_cast<double>(n);
      const CycleOutcome outcome = runWorkingCycle(engine, settings);
      imep[n] = outcome.figures ? outcome.figures->imepNet : 0;
    });
    benchmark::DoNotOptimize(imep.data());
  }
}
BENCHMARK(fifteenSpeedsOnEveryCore)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace rotary::cycle

BENCHMARK_MAIN();
