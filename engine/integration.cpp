#include "integration.h"

#include "number_text.h"
#include "outline.h"

namespace rotary {
namespace {

// The rotor drawing: the flank point, and the same point turned a third of a turn about the
// rotor centre and mirrored across the y axis, which together draw all three flanks.
void drawRotorPoint(CycleState& state, Surface& surface, double s, double flank) {
  const Geometry& g = state.g;
  surface.setPenWidth(5);
  surface.point(s, flank, colours::kRotor);
  double px = 0, py = 0;
  turnFlankPoint(g, s, flank, state.rotorAngle, px, py);
  surface.point(px - g.d * g.e, 0.5 * g.e + py, colours::kRotor);
  surface.point((-px) + g.d * g.e, 0.5 * g.e + py, colours::kRotor);
  surface.setPenWidth(1);
}

}  // namespace

Areas integrate(CycleState& state, Surface& surface) {
  const Geometry& g = state.g;
  Profiles& p = state.profiles;
  surface.setRatioCaption("compression ratio");
  Areas areas;
  surface.clear();
  for (int i = 0; i <= kLastSample; ++i) {
    if (i < kMiddleSample) {
      p.bdcline[kLastSample - i] = p.bdcline[i];
      p.envelope[i] = p.envelope[kLastSample - i];
      p.tdcline[i] = p.tdcline[kLastSample - i];
    }
    const double s = g.sample(i);
    areas.Sb = areas.Sb + g.dx * p.bdcline[i];
    drawRotorPoint(state, surface, s, p.envelope[i]);
    areas.Se = areas.Se + g.dx * p.envelope[i];
    areas.St = areas.St + p.tdcline[i] * g.dx;
    if (state.flags.restartRequested()) break;
  }
  Surface::checkArithmetic();
  return areas;
}

void showResults(CycleState& state, Surface& surface, const Figures& figures) {
  Geometry& g = state.g;
  surface.writeText(Box::kCapacity, formatNumber(figures.capacity));
  surface.writeText(Box::kRatio, formatNumber(figures.ratio));
  surface.writeText(Box::kDeadVolume, formatNumber(figures.deadVolume));

  surface.circle(0, 0, 3 * g.e, colours::kRotor);
  surface.circle(0, 0, 2, colours::kRotor);
  surface.circle(0, g.e, 2 * g.e, colours::kHousingGear);
  surface.circle(0, g.e, 2, colours::kHousingGear);
  surface.setPenWidth(1);
  g.da = 2 * g.pi / kAnimationSteps;
  g.step1 = 2 * g.pi / kAnimationSteps;
}

}  // namespace rotary
