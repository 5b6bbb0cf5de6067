// The solids of one real engine (A = 2, C = 0.1) with the defaults' settings: the four parts
// built and checked; with their mass properties; as the STEP assembly; as STL, one file a part.
// Budgets: STEP under 1 s, STL under 1 s, the mass properties under 200 ms.
#include <benchmark/benchmark.h>

#include "mass.h"
#include "parts.h"
#include "writers.h"

namespace rotary::solids {
namespace {

SolidEngine realEngine() {
  SolidEngine engine;
  engine.e = 15, engine.R = 105, engine.W = 80;
  engine.real = {2, 0.1, 0};
  engine.rpm = 7000;
  study::Design design;
  design.eccentricity = "15", design.rotorRadius = "105", design.chamberWidth = "80";
  engine.settings = study::solidSettingsOf(design);
  return engine;
}

enum class Made { kParts, kMass, kStep, kStl };

void solidsOfOneEngine(benchmark::State& state) {
  const auto made = static_cast<Made>(state.range(0));
  const SolidEngine engine = realEngine();
  for (auto _ : state) {
    Parts parts;
    std::string error;
    if (!buildParts(engine, parts, error)) state.SkipWithError(error.c_str());
    switch (made) {
      case Made::kParts:
        break;
      case Made::kMass:
        benchmark::DoNotOptimize(measure(engine, parts).rotorMass);
        break;
      case Made::kStep: {
        const std::vector<NamedPart> named = {{"ROTOR_HOUSING", &parts.rotorHousing},
                                              {"SIDE_HOUSING_FRONT", &parts.sideFront},
                                              {"SIDE_HOUSING_REAR", &parts.sideRear},
                                              {"ROTOR", &parts.rotor}};
        benchmark::DoNotOptimize(stepOf(named, "mm").size());
        break;
      }
      case Made::kStl:
        for (const TopoDS_Shape* shape :
             {&parts.rotorHousing, &parts.sideFront, &parts.sideRear, &parts.rotor}) {
          benchmark::DoNotOptimize(stlOf(*shape, engine.settings.chord).size());
        }
        break;
    }
  }
  const char* labels[] = {"the four parts, built and checked", "with their mass properties",
                          "as the STEP assembly", "as STL, one file a part"};
  state.SetLabel(labels[state.range(0)]);
}
BENCHMARK(solidsOfOneEngine)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace rotary::solids

BENCHMARK_MAIN();
