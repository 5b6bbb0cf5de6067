// How long the companion takes: a study of 301 eccentricities at N = 1000 on every core, one
// engine at N = 20,000, and the figure and the DXF beyond the computation.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "chamber_cycle.h"
#include "cycle.h"
#include "designer.h"
#include "dxf_export.h"
#include "exact_limit.h"
#include "figure.h"
#include "headless.h"
#include "headless_qt.h"
#include "outline.h"
#include "output_file.h"
#include "port_timing.h"
#include "ranges.h"
#include "real_engine.h"
#include "real_outline.h"
#include "results_table.h"
#include "runner.h"
#include "vector_state.h"
#include "volume_curve.h"

namespace rotary {
namespace {

void studyOf301Eccentricities(benchmark::State& state) {
  const auto eccentricities = study::parseValues("5:35:0.1").texts;
  const auto engines = study::combinations({}, {eccentricities.begin(), eccentricities.end()},
                                           {"105"}, {"80"}, {1000});
  for (auto _ : state) {
    const auto rows = study::runStudy(engines);
    benchmark::DoNotOptimize(rows.data());
    if (rows.size() != 301) state.SkipWithError("not 301 engines");
  }
}
BENCHMARK(studyOf301Eccentricities)->Unit(benchmark::kMillisecond)->UseRealTime();

// The exact figures alone, as --method exact computes them.
void exactStudyOf301Eccentricities(benchmark::State& state) {
  const auto eccentricities = study::parseValues("5:35:0.1").texts;
  const auto engines = study::combinations({}, {eccentricities.begin(), eccentricities.end()},
                                           {"105"}, {"80"}, {1000});
  for (auto _ : state) {
    const auto rows = study::runStudy(engines, 0, nullptr, study::runExactEngine);
    benchmark::DoNotOptimize(rows.data());
  }
}
BENCHMARK(exactStudyOf301Eccentricities)->Unit(benchmark::kMillisecond)->UseRealTime();

void oneEngineAt20000Steps(benchmark::State& state) {
  for (auto _ : state) {
    const HeadlessResult result =
        computeHeadless("15", "105", "80", 20000, nullptr, kMostCompanionSteps);
    if (!result.figures) state.SkipWithError("no results");
  }
}
BENCHMARK(oneEngineAt20000Steps)->Unit(benchmark::kMillisecond)->Iterations(3);

const HeadlessResult& defaults() {
  static const HeadlessResult result = computeHeadless("15", "105", "80", 100);
  return result;
}

void figureBeyondTheComputation(benchmark::State& state, formats::ImageFormat format,
                                const char* path) {
  std::string error, content;
  for (auto _ : state) {
    formats::OutputFile file(path);
    if (!drawing::drawFigure(format, defaults(), {}, content, error) || !file.write(content)) {
      state.SkipWithError("failed");
    }
  }
  std::remove(path);
}
BENCHMARK_CAPTURE(figureBeyondTheComputation, Svg, formats::ImageFormat::kSvg,
                  "/tmp/rotary-bench.svg")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(figureBeyondTheComputation, Pdf, formats::ImageFormat::kPdf,
                  "/tmp/rotary-bench.pdf")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(figureBeyondTheComputation, Png, formats::ImageFormat::kPng,
                  "/tmp/rotary-bench.png")
    ->Unit(benchmark::kMillisecond);

// The real engine of a designer: seal offset 2, clearance 0.1; its figures, then its outlines
// to 0.0005 mm and the DXF.
const RealEngine kDesign{2, 0.1, 0};

void realEngineFigures(benchmark::State& state) {
  // As the companion, which loads no Qt for these, and the window, which clears after Qt.
  clearUpperVectorState();
  for (auto _ : state) {
    const RealLimit limit = realLimit(15, 105, 80, kDesign);
    benchmark::DoNotOptimize(limit.figures.ratio);
  }
}
BENCHMARK(realEngineFigures)->Unit(benchmark::kMicrosecond);

// The exact limit of one engine across K, down to just above 3, where the contact angle turns
// within a sliver before the apex.
void exactLimitAtK(benchmark::State& state) {
  // As the companion, which loads no Qt for these, and the window, which clears after Qt.
  clearUpperVectorState();
  const double K = static_cast<double>(state.range(0)) / 1000;
  for (auto _ : state) {
    const ExactLimit limit = exactLimit(105 / K, 105, 80);
    benchmark::DoNotOptimize(limit.figures.ratio);
  }
  state.SetLabel("K = " + std::to_string(K));
}
BENCHMARK(exactLimitAtK)
    ->Arg(3001)
    ->Arg(3010)
    ->Arg(3500)
    ->Arg(7000)
    ->Arg(50000)
    ->Unit(benchmark::kMicrosecond);

// A clearance at the edge of what the defaults with seal offset 2 take (77), where the flank has
// shrunk to a sliver near the rotor centre; and the refusal just beyond it, which finds the edge.
void realEngineAtTheClearanceEdge(benchmark::State& state) {
  // As the companion, which loads no Qt for these, and the window, which clears after Qt.
  clearUpperVectorState();
  const double clearance = static_cast<double>(state.range(0)) / 1e5;
  for (auto _ : state) {
    const RealLimit limit = realLimit(15, 105, 80, RealEngine{2, clearance, 0});
    benchmark::DoNotOptimize(limit.figures.ratio);
  }
  state.SetLabel("clearance " + std::to_string(clearance));
}
BENCHMARK(realEngineAtTheClearanceEdge)
    ->Arg(7600000)
    ->Arg(7699000)
    ->Arg(7699999)
    ->Arg(7700000)
    ->Unit(benchmark::kMillisecond);

// One chamber's volume over its cycle at every degree of the shaft, with every column (the walls,
// the torque and, at an rpm, the seal): the bare shape, and the real engine of a designer.
// Budgets: 5 ms bare, 50 ms real.
void volumeCurveOfOneEngine(benchmark::State& state) {
  clearUpperVectorState();
  const RealEngine engine = state.range(0) ? kDesign : RealEngine{};
  ChamberSettings settings;
  settings.rpm = 7000;
  settings.recessArea = 1500;
  for (auto _ : state) {
    const std::vector<CyclePoint> curve =
        volumeCurve(15, 105, 80, engine, 1, kWindowVolumeDivisor, settings);
    benchmark::DoNotOptimize(curve.back().volume);
  }
  state.SetLabel(state.range(0) ? "real engine" : "bare shape");
}
BENCHMARK(volumeCurveOfOneEngine)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The chamber's figures at top dead centre for one engine (S/V, the ideal cycle, the seal at an
// rpm), as each row of a study computes them: budget 100 us bare.
void chamberFiguresOfOneEngine(benchmark::State& state) {
  clearUpperVectorState();
  const RealEngine engine = state.range(0) ? kDesign : RealEngine{};
  const RealLimit limit = realLimit(15, 105, 80, engine);
  ChamberSettings settings;
  settings.rpm = 7000;
  for (auto _ : state) {
    const ChamberFigures f =
        chamberFigures(15, 105, 80, engine, limit.figures, kWindowVolumeDivisor, settings);
    benchmark::DoNotOptimize(f.surfaceToVolumeAtTdc);
  }
  state.SetLabel(state.range(0) ? "real engine" : "bare shape");
}
BENCHMARK(chamberFiguresOfOneEngine)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// One row of an exact study with every column, as the companion's CSV writes it at an rpm, and
// each column's part of it: the exact limit, the chamber's and the seal's figures, the designer's,
// and the row's text. Budget: the whole row within 15 us, and within twice the exact limit.
enum class RowPart { kWhole, kExactLimit, kChamber, kDesigner, kText };

void studyRowWithEveryColumn(benchmark::State& state) {
  clearUpperVectorState();
  const auto part = static_cast<RowPart>(state.range(0));
  study::Design engine;
  engine.eccentricity = "15";
  engine.rotorRadius = "105";
  engine.chamberWidth = "80";
  engine.rpm = "7000";
  const study::EngineRow row = study::runExactEngine(engine);
  const ExactLimit& exact = *row.exact;
  // As a study prints its rows: the header once, then a row at a time.
  std::ostringstream out;
  formats::RowPrinter printer(out, formats::Table::kCsv, engine, true);
  for (auto _ : state) {
    out.str("");
    switch (part) {
      case RowPart::kWhole:
        printer.row(study::runExactEngine(engine));
        break;
      case RowPart::kExactLimit:
        benchmark::DoNotOptimize(exactLimit(15, 105, 80).figures.ratio);
        break;
      case RowPart::kChamber:
        benchmark::DoNotOptimize(chamberFigures(15, 105, 80, RealEngine{}, exact.figures,
                                                kWindowVolumeDivisor, engine.chamberSettings())
                                     .surfaceToVolumeAtTdc);
        break;
      case RowPart::kDesigner:
        benchmark::DoNotOptimize(
            designerFigures(15, 105, RealEngine{}, exact.figures.capacity, 1, std::nullopt)
                .displacement);
        break;
      case RowPart::kText:
        printer.row(row);
        break;
    }
  }
  static const char* const kNames[] = {"whole row, CSV included", "exact limit",
                                       "S/V, Otto and the seal", "designer's", "CSV text"};
  state.SetLabel(kNames[state.range(0)]);
}
BENCHMARK(studyRowWithEveryColumn)->DenseRange(0, 4)->Unit(benchmark::kMicrosecond);

// What the designer's figures add to each engine of a study.
void designerFiguresOfOneEngine(benchmark::State& state) {
  clearUpperVectorState();
  double e = 15;
  for (auto _ : state) {
    const DesignerFigures figures = designerFigures(e, 105, kDesign, 654.7, 2, 3.0);
    benchmark::DoNotOptimize(figures.flankDistance);
    e = e == 15 ? 14.999 : 15;
  }
}
BENCHMARK(designerFiguresOfOneEngine)->Unit(benchmark::kMicrosecond);

void dxfOfTheRealEngine(benchmark::State& state) {
  std::string error, content;
  for (auto _ : state) {
    const RealOutlines outlines = realOutlines(15, 105, kDesign, 0.0005);
    formats::OutputFile file("/tmp/rotary-bench.dxf");
    if (!formats::drawDxf(outlines, kDesign, 4, content, error) || !file.write(content)) {
      state.SkipWithError("failed");
    }
  }
  std::remove("/tmp/rotary-bench.dxf");
}
BENCHMARK(dxfOfTheRealEngine)->Unit(benchmark::kMillisecond);

// Four side ports (a primary and a secondary intake, an exhaust and an auxiliary one) and a
// peripheral exhaust on the real engine: their timing and the engine's (budget 5 ms).
std::vector<PortDefinition> fivePorts() {
  const auto side = [](PortRole role, Polyline outline) {
    return PortDefinition::sidePort(role, std::move(outline), "");
  };
  return {side(PortRole::kIntake, {{-95, -10}, {-70, -10}, {-65, 10}, {-92, 12}}),
          side(PortRole::kIntake, {{-96, 14}, {-80, 14}, {-80, 24}, {-94, 26}}),
          side(PortRole::kExhaust, {{62, 18}, {88, 22}, {95, 40}, {80, 52}, {64, 40}}),
          side(PortRole::kExhaust, {{40, 50}, {52, 50}, {52, 60}, {40, 60}}),
          PortDefinition::peripheralPort(PortRole::kExhaust, {40, 62, 25}, "")};
}

void portTimingOfOneEngine(benchmark::State& state) {
  clearUpperVectorState();
  const auto ports = fivePorts();
  for (auto _ : state) {
    const EngineTiming timing = engineTiming(15, 105, 80, kDesign, 1000, ports);
    benchmark::DoNotOptimize(timing.overlap);
  }
}
BENCHMARK(portTimingOfOneEngine)->Unit(benchmark::kMillisecond);

// --port-curve at every degree: the five ports' open areas beside the volume (budget 50 ms).
void portCurveAtEveryDegree(benchmark::State& state) {
  clearUpperVectorState();
  const auto ports = fivePorts();
  for (auto _ : state) {
    const auto curve = volumeCurve(15, 105, 80, kDesign, 1);
    std::vector<double> angles;
    for (const CyclePoint& point : curve) angles.push_back(point.shaftAngle);
    const auto areas = openAreas(15, 105, kDesign, ports, angles);
    benchmark::DoNotOptimize(areas.back().back());
  }
}
BENCHMARK(portCurveAtEveryDegree)->Unit(benchmark::kMillisecond);

// A study of 1,000 engines with ports on every core, exact figures and the ports' timing in every
// row (budget 5 s): the peripheral exhaust alone, and with the side intake.
void studyWithPorts(benchmark::State& state) {
  const auto eccentricities = study::parseValues("13:17.995:0.005").texts;
  auto engines = study::combinations({}, {eccentricities.begin(), eccentricities.end()}, {"105"},
                                     {"80"}, {100});
  auto ports = fivePorts();
  ports = state.range(0) ? std::vector<PortDefinition>{ports[0], ports[4]}
                         : std::vector<PortDefinition>{ports[4]};
  const auto shared = std::make_shared<const std::vector<PortDefinition>>(ports);
  for (study::Design& engine : engines) engine.ports = shared;
  for (auto _ : state) {
    const auto rows = study::runStudy(engines, 0, nullptr, study::runExactEngine);
    if (rows.size() != 1000 || !rows.back().timing) state.SkipWithError("no timing");
  }
}
BENCHMARK(studyWithPorts)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

}  // namespace
}  // namespace rotary

int main(int argc, char** argv) {
  if (!std::getenv("NOQT")) rotary::drawing::ensureHeadlessQt();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
