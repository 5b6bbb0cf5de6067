// How long the computation and the window take: the sweep with the integration, straightforward
// and fast; one animation frame on the real drawing surface; a yield with nothing to do.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QKeyEvent>
#include <QTabWidget>
#include <cstdlib>
#include <optional>

#include "animation.h"
#include "desk.h"
#include "exact_limit.h"
#include "form.h"
#include "headless.h"
#include "sweep.h"
#include "vector_state.h"
#include "volume_curve.h"
#include "window_adapter.h"
#include "window_files.h"

namespace rotary {
namespace {

constexpr double kPixelsPerTwipAt96 = 96.0 / 1440;

// The shape's exact figures, which every cycle and every study row computes beside the sweep.
void exactLimitOfOneEngine(benchmark::State& state) {
  // As the companion, which loads no Qt for these, and the window, which clears after Qt.
  clearUpperVectorState();
  double e = 15;
  for (auto _ : state) {
    const ExactLimit limit = exactLimit(e, 105, 80);
    benchmark::DoNotOptimize(limit.figures.ratio);
    e = e == 15 ? 14.999 : 15;  // no result kept from the run before
  }
}
BENCHMARK(exactLimitOfOneEngine)->Unit(benchmark::kMicrosecond);

// A cycle that gives no result searches a few step counts for one that does.
void noResultWithStepCountSearch(benchmark::State& state) {
  for (auto _ : state) {
    const HeadlessResult result = computeHeadless("6.9506", "82.018", "80", 100);
    if (result.outcome != Outcome::kMessage) state.SkipWithError("figures");
  }
}
BENCHMARK(noResultWithStepCountSearch)->Unit(benchmark::kMillisecond);

void sweepAndIntegration(benchmark::State& state, SweepFunction sweep) {
  const int steps = static_cast<int>(state.range(0));
  for (auto _ : state) {
    const HeadlessResult result = computeHeadless("15", "105", "80", steps, sweep);
    benchmark::DoNotOptimize(result.capacity.data());
    if (result.outcome != Outcome::kResults) state.SkipWithError("no results");
  }
}
BENCHMARK_CAPTURE(sweepAndIntegration, Straightforward, sweepStraightforward)
    ->Arg(100)
    ->Arg(1000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(sweepAndIntegration, Fast, sweepFast)
    ->Arg(100)
    ->Arg(1000)
    ->Unit(benchmark::kMillisecond);

// The window at its default size with the results of the defaults on it, ready to animate.
struct AnimatedWindow {
  AnimatedWindow() {
    form.show();
    QApplication::processEvents();
    Cycle cycle(adapter);
    cycle.writeDefaults();
    cycle.compute();
    state = cycle.state();
    table = housingTable(state.g);
  }
  app::Form1 form{kPixelsPerTwipAt96};
  app::WindowAdapter adapter{form};
  Surface surface{adapter};
  CycleState state;
  HousingTable table;
};

void animationFrame(benchmark::State& state) {
  AnimatedWindow window;
  double a = 0;
  for (auto _ : state) {
    animationFrame(window.state, window.surface, window.table, a);
    a += window.state.g.da;
  }
}
BENCHMARK(animationFrame)->Unit(benchmark::kMicrosecond);

// The frame as the user sees it: drawn, then pumped to the screen.
void animationFrameOnScreen(benchmark::State& state) {
  AnimatedWindow window;
  double a = 0;
  for (auto _ : state) {
    animationFrame(window.state, window.surface, window.table, a);
    window.surface.yield(Pace::kFrame);
    a += window.state.g.da;
  }
}
BENCHMARK(animationFrameOnScreen)->Unit(benchmark::kMicrosecond);

// The window with its desk and the design panel shown beside it, the real engine (A = 2,
// C = 0.1) in it, on the page given (0 Engine, 1 Figures, 2 Cycle), the defaults' results
// computed and ready to animate.
struct AnimatedDesk {
  explicit AnimatedDesk(int page) {
    // Shown and activated before the program is made: the cycle the first activation starts
    // would run the animation for good.
    form.show();
    QApplication::processEvents();
    program.emplace(form);
    desk.emplace(form, *program);
    surface.emplace(program->adapter());
    program->cycle().writeDefaults();
    program->cycle().compute();
    state = program->cycle().state();
    table = housingTable(state.g);
    form.menus().designPanel->setChecked(true);
    panel()->input(study::Field::kSealOffset)->setText("2");
    panel()->input(study::Field::kClearance)->setText("0.1");
    settle();
    panel()->findChild<QTabWidget*>("DesignTabs")->setCurrentIndex(page);
    QApplication::processEvents();
  }
  app::DesignPanel* panel() const { return desk->panel(); }
  // Until the panel's figures are in and drawn.
  void settle() {
    while (panel()->computing()) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QApplication::processEvents();
  }
  app::Form1 form{kPixelsPerTwipAt96};
  std::optional<app::Program> program;
  std::optional<app::Desk> desk;
  std::optional<Surface> surface;
  CycleState state;
  HousingTable table;
};

// An animation frame pumped to the screen with the panel's page in sight, as the desk follows the
// shaft on it (budget 1 ms; the window's CPU no more than 1.3 times the frame's without it).
void animationFrameWithTheViewShown(benchmark::State& state) {
  AnimatedDesk window(static_cast<int>(state.range(0)));
  double a = 0;
  for (auto _ : state) {
    animationFrame(window.state, *window.surface, window.table, a);
    window.surface->yield(Pace::kFrame);
    a += window.state.g.da;
  }
}
BENCHMARK(animationFrameWithTheViewShown)
    ->ArgName("page")
    ->Arg(0)
    ->Arg(2)
    ->Unit(benchmark::kMicrosecond);

// One repaint of the panel's page with the real engine: the Engine page's drawing at a new shaft
// angle, or the Cycle page's chart with its mark moved (budget 5 ms).
void designViewRepaint(benchmark::State& state) {
  const int page = static_cast<int>(state.range(0));
  AnimatedDesk window(page);
  QWidget* shown = page == 0 ? static_cast<QWidget*>(window.panel()->engineView())
                             : static_cast<QWidget*>(window.panel()->cycleChart());
  double shaft = 0;
  for (auto _ : state) {
    shaft += 7.5;
    window.panel()->engineView()->setShaftAngle(shaft);
    window.panel()->cycleChart()->setShaftAngle(shaft);
    shown->repaint();
  }
}
BENCHMARK(designViewRepaint)->ArgName("page")->Arg(0)->Arg(2)->Unit(benchmark::kMillisecond);

// From a value typed in the view to the real engine's new figures, curve and drawing on screen,
// the work done off the event loop as the window does it (budget 50 ms).
void designViewChange(benchmark::State& state) {
  AnimatedDesk window(0);
  QLineEdit* offset = window.panel()->input(study::Field::kSealOffset);
  bool other = false;
  for (auto _ : state) {
    other = !other;
    offset->setText(other ? "2.5" : "2");
    window.settle();
    window.panel()->engineView()->repaint();
    if (!window.panel()->outcome() || !window.panel()->outcome()->hasFigures()) {
      state.SkipWithError("no figures");
    }
  }
}
BENCHMARK(designViewChange)->UseRealTime()->Unit(benchmark::kMillisecond);

// A cycle speed typed on the Cycle-model page, shown, with the real engine and the README's
// ports: until the model's figures and its p-V chart are on screen, the model run off the event
// loop as the window runs it (budget 200 ms).
void cycleModelPageUpdate(benchmark::State& state) {
  AnimatedDesk window(3);
  app::CycleModelPage* page = window.panel()->cycleModel();
  window.panel()->peripheralPort(PortRole::kIntake)->setText("150,175,30");
  window.panel()->peripheralPort(PortRole::kExhaust)->setText("42.5,54.4,30");
  window.settle();
  QLineEdit* speed = page->input(study::Field::kCycle);
  bool other = false;
  for (auto _ : state) {
    other = !other;
    speed->setText(other ? "3000" : "3100");
    window.settle();
    page->repaint();
    if (!page->modelled() || !page->modelled()->model.design.row.cycle) {
      state.SkipWithError("no model figures");
    }
  }
}
BENCHMARK(cycleModelPageUpdate)->UseRealTime()->Unit(benchmark::kMillisecond);

// A key typed in the design panel while the animation runs: until the field has the character
// and has repainted it (budget 16 ms), and until the new figures stand, the animation going on
// meanwhile (budget 50 ms).
void designPanelKeystroke(benchmark::State& state) {
  AnimatedDesk window(0);
  QLineEdit* offset = window.panel()->input(study::Field::kSealOffset);
  offset->setFocus();
  double a = 0;
  const auto frame = [&] {
    animationFrame(window.state, *window.surface, window.table, a);
    window.surface->yield(Pace::kFrame);
    a += window.state.g.da;
  };
  bool other = false;
  for (auto _ : state) {
    other = !other;
    // "2" becomes "25" and back: a digit typed, then one taken away.
    const int key = other ? Qt::Key_5 : Qt::Key_Backspace;
    const QString text = other ? "5" : "";
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(offset, &press);
    QApplication::sendEvent(offset, &release);
    offset->repaint();
    if (state.range(0) == 1) {
      // The capacity of the value typed on screen.
      const QString before = window.panel()->figure(0);
      const auto shown = [&] {
        const QString now = window.panel()->figure(0);
        return now != before && now != "computing..." && !now.isEmpty();
      };
      while (!shown() && window.panel()->computing()) frame();
      window.panel()->repaint();
    } else if (state.range(0) == 2) {
      while (window.panel()->computing()) frame();
      window.panel()->engineView()->repaint();
    }
  }
  if (offset->text() != "2" && offset->text() != "25") state.SkipWithError("the keys went astray");
  const char* labels[] = {"to the key on screen", "to the new figures, animating",
                          "to the new curve and drawing too, animating"};
  state.SetLabel(labels[state.range(0)]);
}
BENCHMARK(designPanelKeystroke)->DenseRange(0, 2)->UseRealTime()->Unit(benchmark::kMillisecond);

// The design panel given the engine whose figures stand, its drawing and designer's figures made
// on the event loop: the defaults, and the defaults scaled by 10^8 (e = 1.5e9, R = 1.05e10),
// which must come as fast.
void designPanelEngineShown(benchmark::State& state) {
  app::DesignPanel panel;
  study::Design engine;
  engine.eccentricity = "1.5" + std::string(state.range(0) ? "e9" : "e1");
  engine.rotorRadius = "1.05" + std::string(state.range(0) ? "e10" : "e2");
  engine.chamberWidth = "8" + std::string(state.range(0) ? "e9" : "e1");
  clearUpperVectorState();
  for (auto _ : state) panel.setEngine(engine);
  if (!panel.engineView()->outlines()) state.SkipWithError("nothing drawn");
  state.SetLabel(state.range(0) ? "the defaults scaled by 1e8" : "the defaults");
}
BENCHMARK(designPanelEngineShown)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// What the design panel computes off the event loop for a value typed: the real engine's figures
// with the chamber's and the seal's, and its curve for the Cycle page (budget 50 ms).
void designPanelComputation(benchmark::State& state) {
  study::Design engine;
  engine.eccentricity = "15";
  engine.rotorRadius = "105";
  engine.chamberWidth = "80";
  // As the panel's worker starts.
  clearUpperVectorState();
  for (auto _ : state) {
    study::Design typed = engine;
    typed.sealOffset = "2";
    typed.clearance = "0.1";
    typed.rpm = "7000";
    const study::DesignOutcome real = study::designOutcome(typed);
    const study::Design& input = real.row.input;
    const auto curve = volumeCurve(15, 105, 80, input.realEngine(), 1, input.volumeDivisor(),
                                   input.chamberSettings());
    benchmark::DoNotOptimize(curve.back().volume);
  }
}
BENCHMARK(designPanelComputation)->Unit(benchmark::kMillisecond);

// What a save from the window's File menu computes and draws before the write: the figure, the
// CAD outlines, the results, each for the defaults; the real engine with a seal offset and a
// clearance as the design panel would give it.
void saveFromTheWindow(benchmark::State& state) {
  const auto file = static_cast<app::WindowFile>(state.range(0));
  study::Design engine;
  engine.eccentricity = "15";
  engine.rotorRadius = "105";
  engine.chamberWidth = "80";
  engine.steps = 100;
  study::Design typed = engine;
  typed.sealOffset = "2";
  typed.clearance = "0.1";
  const study::DesignOutcome real = study::designOutcome(typed);
  const study::DesignOutcome* panel = state.range(1) ? &real : nullptr;
  for (auto _ : state) {
    std::string content, error;
    if (!app::windowFileContent(file, engine, panel, content, error)) state.SkipWithError("none");
    benchmark::DoNotOptimize(content.data());
  }
}
BENCHMARK(saveFromTheWindow)
    ->ArgsProduct({{static_cast<int>(app::WindowFile::kFigureSvg),
                    static_cast<int>(app::WindowFile::kFigurePng),
                    static_cast<int>(app::WindowFile::kDxf),
                    static_cast<int>(app::WindowFile::kProfiles),
                    static_cast<int>(app::WindowFile::kResultsCsv),
                    static_cast<int>(app::WindowFile::kVolumeCurve)},
                   {0, 1}})
    ->Unit(benchmark::kMillisecond);

void yieldWithNothingToDo(benchmark::State& state) {
  app::Form1 form{kPixelsPerTwipAt96};
  form.show();  // a frame yield holds while the window cannot be seen
  app::WindowAdapter adapter{form};
  adapter.yield(Pace::kFrame);
  for (auto _ : state) adapter.yield(Pace::kBusy);
}
BENCHMARK(yieldWithNothingToDo);

}  // namespace
}  // namespace rotary

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
