#include "figures.h"

#include <cmath>

#include "faults.h"
#include "messages.h"
#include "number_text.h"
#include "surface.h"

namespace rotary {
namespace {

// The middle sample may move the shown ratio by this share before the user hears of it.
constexpr double kMiddleSampleTolerance = 0.01;

double shownRatio(const Areas& areas) {
  const auto [Sb, Se, St] = areas;
  return 0.01 * Int((100 * (Sb - Se)) / (St - Se));
}

}  // namespace

double ratioWithMiddleFromNeighbour(const Geometry& g, const Profiles& p, const Areas& areas) {
  Areas neighbour = areas;
  neighbour.Sb = 0;
  for (int i = 0; i <= kLastSample; ++i) {
    const double bdc = i == kMiddleSample ? p.bdcline[kMiddleSample - 1] : p.bdcline[i];
    neighbour.Sb = neighbour.Sb + g.dx * bdc;
  }
  return shownRatio(neighbour);
}

Figures workOutFigures(const Geometry& g, const Profiles& p, const Areas& areas) {
  const auto [Sb, Se, St] = areas;
  Figures f;

  // Before the cut: a tiny engine whose capacity shows as 0 is still an engine.
  const double capacity = ((-(Sb - St)) * g.W) / 1000;
  f.capacity = 0.1 * Int(10 * capacity);
  Surface::checkArithmetic();

  if (St - Se == 0) throw NoChamberFault{Sb - Se == 0};
  const double ratio100 = (100 * (Sb - Se)) / (St - Se);
  f.ratio = 0.01 * Int(ratio100);
  Surface::checkArithmetic();

  const double deadVolume = ((-(St - Se)) * g.W) / 1000;
  f.deadVolume = 0.01 * Int(100 * deadVolume);
  Surface::checkArithmetic();

  if (!(capacity > 0) || !(deadVolume > 0) || !(ratio100 > 100)) throw NoResultFault{};

  const double neighbourRatio = ratioWithMiddleFromNeighbour(g, p, areas);
  Surface::checkArithmetic();
  if (std::abs(neighbourRatio - f.ratio) > kMiddleSampleTolerance * std::abs(f.ratio)) {
    f.note = middleSampleNote(formatNumber(f.ratio), formatNumber(neighbourRatio));
  }
  if (g.e >= g.R / 3) {
    f.note += (f.note.empty() ? "" : "\n") + beyondRotorLimitNote();
  }
  return f;
}

}  // namespace rotary
