#include "cycle.h"

#include <algorithm>
#include <optional>
#include <string>

#include "animation.h"
#include "integration.h"
#include "number_text.h"
#include "shape_texts.h"
#include "step_search.h"
#include "sweep.h"
#include "vector_state.h"

namespace rotary {
namespace {

struct InputField {
  Box box;
  const char* name;
  double Geometry::*value;
};

constexpr InputField kInputs[] = {
    {Box::kEccentricity, "eccentricity", &Geometry::e},
    {Box::kRotorRadius, "rotor radius", &Geometry::R},
    {Box::kChamberWidth, "chamber width", &Geometry::W},
};

}  // namespace

Cycle::Cycle(Window& window, SweepFunction sweep, int mostSteps, double volumeDivisor)
    : window_(window),
      surface_(window),
      sweep_(sweep ? sweep : sweepFast),
      mostSteps_(mostSteps),
      volumeDivisor_(volumeDivisor) {
  state_.g.volumeDivisor = volumeDivisor;
}

void Cycle::run() {
  writeDefaults();
  for (;;) {
    Outcome outcome = compute();
    if (outcome == Outcome::kMessage) {
      outcome = waitForRestart();
    } else if (outcome != Outcome::kEnded) {
      outcome = animate();
    }
    if (outcome == Outcome::kEnded) return;
  }
}

void Cycle::writeDefaults() {
  window_.writeText(Box::kEccentricity, "15");
  window_.writeText(Box::kRotorRadius, "105");
  window_.writeText(Box::kChamberWidth, "80");
}

template <typename Steps>
Outcome Cycle::guarded(Steps steps) {
  try {
    return steps();
  } catch (const Ending&) {
    return Outcome::kEnded;
  } catch (const ArithmeticFault&) {
    show(arithmeticMessage(phase_));
  } catch (const DrawingRangeFault&) {
    show(drawingRangeMessage());
  } catch (const NoChamberFault& fault) {
    show(noChamberMessage(fault.bottomEmptyToo, state_.g.e, state_.g.R));
  } catch (const NoResultFault&) {
    show(noResultMessage(noResultCause()));
  } catch (const LengthsTooSmallFault&) {
    show(lengthsTooSmallMessage());
  }
  blankOutputs();
  return Outcome::kMessage;
}

Outcome Cycle::compute() {
  return guarded([this] {
    Geometry& g = state_.g;
    g.volumeDivisor = volumeDivisor_;
    if (messageShown_) show("");
    state_.flags.comcom = 0;
    state_.figures.reset();
    state_.exact.reset();
    window_.showingFigures(false);
    // The exact limit goes with the figures it stands beside.
    window_.showExactLimit("");
    // Whoever runs the cycle (the window, a study worker started by it) may hand it a dirty
    // vector state.
    clearUpperVectorState();
    Surface::forgetArithmetic();
    phase_ = Phase::kSetup;

    g.pi = 4 * std::atan(1.0);
    surface_.setForeColor(colours::kBlack);
    if (!readDimensions()) {
      blankOutputs();
      return Outcome::kMessage;
    }

    surface_.setRatioCaption("% completed");
    surface_.writeText(Box::kEccentricity, formatNumber(g.e));
    surface_.writeText(Box::kRotorRadius, formatNumber(g.R));
    surface_.writeText(Box::kChamberWidth, formatNumber(g.W));
    surface_.writeText(Box::kCapacity, "0");
    surface_.writeText(Box::kDeadVolume, "0");
    surface_.writeText(Box::kRatio, "0");
    prepareProfiles();
    Surface::checkArithmetic();
    state_.exact = exactLimit(g.e, g.R, g.W, g.volumeDivisor);
    if (state_.exact->status == ExactStatus::kLengthsTooSmall) throw LengthsTooSmallFault{};

    phase_ = Phase::kSweep;
    state_.tally = {};
    sweep_(state_, surface_);

    phase_ = Phase::kIntegration;
    state_.areas = integrate(state_, surface_);
    if (state_.flags.restartRequested()) return Outcome::kRestart;
    const Figures figures = workOutFigures(state_.g, state_.profiles, state_.areas, state_.exact);
    showResults(state_, surface_, figures);
    if (!figures.note.empty()) {
      window_.showNote(figures.note);
      messageShown_ = true;
    }
    showExactLimit(figures.note);
    state_.figures = figures;
    window_.showingFigures(true);
    return Outcome::kResults;
  });
}

bool Cycle::readDimensions() {
  Geometry& g = state_.g;
  std::string problems;
  const auto note = [&problems](const std::string& problem) {
    problems += problems.empty() ? problem : "\n" + problem;
  };

  // The step count is read twice, once for each step, as the window may change it between.
  for (double* step : {&g.step1, &g.da}) {
    g.N = window_.readStepCount();
    if (g.N < kFewestSteps || g.N > mostSteps_) {
      note(stepCountMessage(g.N, mostSteps_));
      break;
    }
    *step = 2 * g.pi / g.N;
  }
  const ShownCharacters shown = [this](char32_t c) { return window_.canShow(c); };
  for (const InputField& field : kInputs) {
    const std::string text = window_.readText(field.box);
    double value = 0;
    switch (convertNumber(text, value)) {
      case Conversion::kNotANumber:
        note(notANumberMessage(field.name, text, shown));
        break;
      case Conversion::kTooLarge:
        note(tooLargeMessage(field.name, text, shown));
        break;
      case Conversion::kTooSmall:
        note(tooSmallMessage(field.name, text, shown));
        break;
      case Conversion::kNumber:
        // A negative length gives negative volumes that look like results.
        if (value < 0) {
          note(negativeMessage(field.name, text, shown));
        } else {
          g.*field.value = value;
        }
        break;
    }
  }
  if (problems.empty()) return true;
  show(problems);
  return false;
}

void Cycle::prepareProfiles() {
  Geometry& g = state_.g;
  Profiles& p = state_.profiles;
  const double envelopeFrom = envelopeStart(g);
  g.k = -1.0 / 3;
  g.d = std::sqrt(3.0) / 2;
  for (int i = 0; i <= kLastSample; ++i) {
    p.bdcline[i] = bdclineStart(g);
    p.envelope[i] = envelopeFrom;
    // Cleared at every cycle, so that a cycle's results never depend on the one before.
    p.tdcline[i] = kTdclineStart;
  }
  g.dx = (2 * g.R) * g.d / 800;
}

Outcome Cycle::animate() {
  const Outcome outcome = guarded([this] {
    phase_ = Phase::kAnimation;
    rotary::animate(state_, surface_);
    return state_.flags.restartRequested() ? Outcome::kRestart : Outcome::kResults;
  });
  return outcome == Outcome::kMessage ? waitForRestart() : outcome;
}

Outcome Cycle::waitForRestart() {
  Surface::forgetArithmetic();
  try {
    while (!state_.flags.restartRequested()) surface_.yield(Pace::kIdle);
    return Outcome::kRestart;
  } catch (const Ending&) {
    return Outcome::kEnded;
  }
}

NoResultCause Cycle::noResultCause() const {
  const Geometry& g = state_.g;
  NoResultCause cause;
  cause.eccentricity = g.e;
  cause.rotorRadius = g.R;
  cause.chamberWidth = g.W;
  cause.steps = g.N;
  const int missed = missedSamples(g, state_.profiles);
  if (missedSamplesMatter(g, state_.profiles, missed, nullptr)) cause.missed = missed;
  cause.mostStepsTried = std::min(mostSteps_, kMostStepsSearched);
  if (state_.exact && state_.exact->hasFigures()) {
    cause.exactFigures = exactFiguresText(state_.exact->figures);
    if (searchStepCounts_) cause.workingSteps = findWorkingStepCount(g, mostSteps_, sweep_);
  }
  return cause;
}

void Cycle::blankOutputs() {
  // Nothing that reads as a result stays beside a message: not an earlier cycle's figures, not
  // a figure written before the fault, not the sweep's percentage.
  window_.writeText(Box::kCapacity, "");
  window_.writeText(Box::kDeadVolume, "");
  window_.writeText(Box::kRatio, "");
  window_.setRatioCaption("compression ratio");
}

void Cycle::show(const std::string& message) {
  window_.showMessage(message);
  messageShown_ = !message.empty();
  if (!message.empty()) showExactLimit(message);
}

void Cycle::showExactLimit(const std::string& beside) {
  if (!state_.exact || !state_.exact->hasFigures()) return;
  const std::string figures = exactFiguresText(state_.exact->figures);
  if (beside.find(figures) != std::string::npos) return;
  window_.showExactLimit("exact limit " + figures +
                         ", K = " + significantDigits(state_.g.R / state_.g.e, 6));
}

}  // namespace rotary
