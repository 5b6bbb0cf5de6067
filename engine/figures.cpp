#include "figures.h"

#include <algorithm>
#include <cmath>

#include "faults.h"
#include "messages.h"
#include "number_text.h"
#include "shape_texts.h"
#include "surface.h"

namespace rotary {
namespace {

bool strays(double sampled, double exact) {
  return !(std::abs(sampled - exact) <= kExactTolerance * std::abs(exact));
}

// The figures before the cut.
struct Uncut {
  double capacity, deadVolume, ratio;
};

Uncut uncut(const Geometry& g, const Areas& a) {
  return {((-(a.Sb - a.St)) * g.W) / g.volumeDivisor, ((-(a.St - a.Se)) * g.W) / g.volumeDivisor,
          (a.Sb - a.Se) / (a.St - a.Se)};
}

bool straysFrom(const Uncut& sampled, const ExactFigures& x) {
  return strays(sampled.capacity, x.capacity) || strays(sampled.deadVolume, x.deadVolume) ||
         strays(sampled.ratio, x.ratio);
}

// The figures the sweep would give had it reached every sample it missed.
Uncut withMissedSamplesBridged(const Geometry& g, const Profiles& p) {
  const Profile envelope = bridgedProfile(p.envelope, envelopeStart(g));
  const Profile tdcline = bridgedProfile(p.tdcline, kTdclineStart);
  const Profile bdcline = bridgedProfile(p.bdcline, bdclineStart(g));
  Areas a;
  for (int i = 0; i <= kLastSample; ++i) {
    a.Sb = a.Sb + g.dx * bdcline[i];
    a.Se = a.Se + g.dx * envelope[i];
    a.St = a.St + tdcline[i] * g.dx;
  }
  return uncut(g, a);
}

}  // namespace

// A profile with the samples that kept their start value bridged by straight lines between the
// nearest samples the sweep reached on either side.
Profile bridgedProfile(const Profile& profile, double start) {
  Profile out = profile;
  int before = -1;  // the last sample reached
  for (int i = 0; i <= kLastSample; ++i) {
    if (profile[i] == start) continue;
    for (int j = before + 1; j < i; ++j) {
      out[j] = before < 0
                   ? profile[i]
                   : profile[before] + (profile[i] - profile[before]) * (j - before) / (i - before);
    }
    before = i;
  }
  if (before >= 0) std::fill(out.begin() + before + 1, out.end(), profile[before]);
  return out;
}

int missedSamples(const Geometry& g, const Profiles& p) {
  const double envelopeFrom = envelopeStart(g), bdclineFrom = bdclineStart(g);
  int missed = 0;
  for (int i = 0; i <= kLastSample; ++i) {
    if (p.envelope[i] == envelopeFrom || p.tdcline[i] == kTdclineStart ||
        p.bdcline[i] == bdclineFrom) {
      ++missed;
    }
  }
  return missed;
}

bool missedSamplesMatter(const Geometry& g, const Profiles& p, int missed,
                         const ExactFigures* yardstick) {
  if (missed == 0) return false;
  const Uncut bridgedFigures = withMissedSamplesBridged(g, p);
  if (yardstick) return !straysFrom(bridgedFigures, *yardstick);
  return bridgedFigures.capacity > 0 && bridgedFigures.deadVolume > 0 && bridgedFigures.ratio > 1;
}

double ratioWithMissedSamplesBridged(const Geometry& g, const Profiles& p) {
  return withMissedSamplesBridged(g, p).ratio;
}

std::string strayCause(const Geometry& g, int missed, bool missedMatter) {
  const std::string N = std::to_string(g.N);
  if (g.N % 4 != 0) return "N = " + N + " does not divide the quarter turn: use a multiple of 4.";
  if (missedMatter) {
    return "at N = " + N + " the sweep missed " + std::to_string(missed) +
           " of the 801 samples across the flank, which keep their start values.";
  }
  const double K = g.R / g.e;
  if (K < 6) {
    return "at K = " + significantDigits(K, 4) +
           " the housing at bottom dead centre bulges out beyond the apexes, where the samples "
           "across the flank do not reach.";
  }
  return "at K = " + significantDigits(K, 4) + " the 801 samples across the flank and N = " + N +
         " are too coarse; a multiple of 4 from 1000 up comes closer.";
}

Figures workOutFigures(const Geometry& g, const Profiles& p, const Areas& areas,
                       const std::optional<ExactLimit>& exact) {
  const auto [Sb, Se, St] = areas;
  Figures f;

  // Before the cut: a tiny engine whose capacity shows as 0 is still an engine.
  const double capacity = ((-(Sb - St)) * g.W) / g.volumeDivisor;
  f.capacity = 0.1 * Int(10 * capacity);
  Surface::checkArithmetic();

  if (St - Se == 0) throw NoChamberFault{Sb - Se == 0};
  const double ratio100 = (100 * (Sb - Se)) / (St - Se);
  f.ratio = 0.01 * Int(ratio100);
  Surface::checkArithmetic();

  const double deadVolume = ((-(St - Se)) * g.W) / g.volumeDivisor;
  f.deadVolume = 0.01 * Int(100 * deadVolume);
  Surface::checkArithmetic();

  if (!(capacity > 0) || !(deadVolume > 0) || !(ratio100 > 100)) throw NoResultFault{};

  const int missed = missedSamples(g, p);
  if (exact && exact->hasFigures()) {
    const ExactFigures& x = exact->figures;
    if (straysFrom(uncut(g, areas), x)) {
      f.note = strayNote(exactFiguresText(x),
                         strayCause(g, missed, missedSamplesMatter(g, p, missed, &x)));
    }
  }
  if (f.capacity == 0 || f.deadVolume == 0) {
    const bool exactFigures = exact && exact->hasFigures();
    f.note += (f.note.empty() ? "" : "\n") +
              cutToZeroNote(exactFigures ? exactFiguresText(exact->figures) : "");
  }
  if (g.e >= g.R / 3) {
    f.note += (f.note.empty() ? "" : "\n") + beyondRotorLimitNote();
    // No exact figures to go by here; but a few missed samples, which keep start values that do
    // not scale with the engine, make the figures depend on its size. Say so.
    const double bridgedRatio = ratioWithMissedSamplesBridged(g, p);
    if (missed > 0 && missed <= kLastSample / 10 && strays(f.ratio, bridgedRatio)) {
      f.note += "\n" + missedSamplesNote(g.N, missed, formatNumber(0.01 * Int(100 * bridgedRatio)));
    }
  }
  return f;
}

}  // namespace rotary
