// The solids of one real engine (A = 2, C = 0.1) with the defaults' settings, two side ports
// and a peripheral one, and for the second of each pair a pocket for ratio 9.4 and apex slots:
// the four parts built and checked; with their mass properties; as the STEP assembly; as STL,
// one file a part. Budgets: STEP under 1 s, STL under 1 s, the mass properties under 200 ms.
#include <benchmark/benchmark.h>

#include "mass.h"
#include "parts.h"
#include "writers.h"

namespace rotary::solids {
namespace {

SolidEngine realEngine(bool cut) {
  SolidEngine engine;
  engine.e = 15, engine.R = 105, engine.W = 80;
  engine.real = {2, 0.1, 0};
  engine.rpm = 7000;
  study::Design design;
  design.eccentricity = "15", design.rotorRadius = "105", design.chamberWidth = "80";
  engine.settings = study::solidSettingsOf(design);
  engine.ports = {
      PortDefinition::sidePort(PortRole::kIntake, {{40, -60}, {70, -60}, {70, -40}, {40, -40}},
                               "intake"),
      PortDefinition::sidePort(PortRole::kIntake, {{-70, -60}, {-40, -60}, {-40, -40}, {-70, -40}},
                               "secondary"),
      PortDefinition::peripheralPort(PortRole::kExhaust, {250, 290, 30}, "exhaust")};
  if (cut) {
    // The depth of a 60 x 30 pocket leaning 5 toward the leading apex for ratio 9.4.
    engine.pocket = RecessPocket{60, 30, 5};
    engine.pocketDepth = 21.9817;
    engine.settings.apexSlotWidth = 2;
    engine.settings.apexSlotDepth = 8;
  }
  return engine;
}

enum class Made { kParts, kMass, kStep, kStl };

void solidsOfOneEngine(benchmark::State& state) {
  const auto made = static_cast<Made>(state.range(0));
  const SolidEngine engine = realEngine(state.range(1) != 0);
  for (auto _ : state) {
    Parts parts;
    std::string error;
    // The mass properties alone take the rotor alone, as the module builds it for them.
    if (!buildParts(engine, parts, error, made != Made::kMass)) state.SkipWithError(error.c_str());
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
  const char* labels[] = {"the four parts, built and checked",
                          "the mass properties alone (the rotor alone)", "as the STEP assembly",
                          "as STL, one file a part"};
  state.SetLabel(std::string(labels[state.range(0)]) +
                 (state.range(1) ? ", pocket and slots" : ", plain rotor"));
}
BENCHMARK(solidsOfOneEngine)->ArgsProduct({{0, 1, 2, 3}, {0, 1}})->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace rotary::solids

BENCHMARK_MAIN();
