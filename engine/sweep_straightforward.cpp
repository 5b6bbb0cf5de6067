#include "number_text.h"
#include "sweep.h"

namespace rotary {

void showSweepProgress(CycleState& state, Surface& surface, double a) {
  surface.writeText(Box::kRatio, formatNumber(Int((200 * a) / state.g.pi)));
  surface.yield();
  if (state.flags.restartRequested()) surface.clear();
}

void drawConstructionPiece(Surface& surface, const Geometry& g, double Dx, double Dy, double w,
                           double q, double t, double v) {
  surface.line(Dx + w, Dy + q, Dx + t, Dy + v, colours::kConstruction);
  surface.line(Dx + q, (Dy + w) - 2 * g.e, Dx + v, (Dy + t) - 2 * g.e, colours::kConstruction);
}

void takeCurveCrossing(CycleState& state, Surface& surface, int i, double s, double a, double Dx,
                       double Dy, double w, double q, double t, double v) {
  Profiles& p = state.profiles;
  const double C = (Dy + q) + ((v - q) * ((s - w) - Dx)) / (t - w);
  if (C < -state.g.R / 3) {
    if (p.envelope[i] < C) p.envelope[i] = C;
    if (a == 0) {
      p.tdcline[i] = C;
      surface.circle(s, p.tdcline[i], 0.25, colours::kTopDeadCentre);
    }
  } else {
    ++state.tally.curveRejected;
  }
}

void takeCopyCrossing(CycleState& state, Surface& surface, int i, double s, double a, double Dx,
                      double Dy, double w, double q, double t, double v) {
  const double e = state.g.e;
  const double C2 = ((w + Dy) - 2 * e) + ((t - w) * ((s - q) - Dx)) / (v - q);
  if (a != 0) return;  // the copy only counts at top dead centre
  if (C2 >= e) {
    state.profiles.bdcline[i] = (-2 * e) - C2;
    surface.circle(s, state.profiles.bdcline[i], 0.25, colours::kBottomDeadCentre);
  } else {
    ++state.tally.copyRejected;
  }
}

void sweepStraightforward(CycleState& state, Surface& surface) {
  const Geometry& g = state.g;
  HousingPoint& h = state.point;
  const RunFlags& flags = state.flags;

  const double aEnd = g.pi / 2;
  const double da = g.da;
  for (double a = 0; a <= aEnd; a += da) {
    const double Dx = g.e * std::sin(a);
    const double Dy = g.e * std::cos(a);
    for (int i = 0; i <= kLastSample; ++i) {
      const double s = g.sample(i);
      const double rEnd = 2 * g.pi;
      const double step = g.step1;
      for (double r = 3 * g.pi / 2; curveSweepGoesOn(r, rEnd, step); r += step) {
        h.advance(g, r, a);
        const double w = h.w, q = h.q, t = h.t, v = h.v;
        if (a == 0) drawConstructionPiece(surface, g, Dx, Dy, w, q, t, v);
        if (Dx + w < s && Dx + t >= s)
          takeCurveCrossing(state, surface, i, s, a, Dx, Dy, w, q, t, v);
        if (Dx + q < s && Dx + v >= s)
          takeCopyCrossing(state, surface, i, s, a, Dx, Dy, w, q, t, v);
        surface.yield();
        if (flags.restartRequested()) break;
      }
      if (flags.restartRequested()) break;
    }
    showSweepProgress(state, surface, a);
    if (flags.restartRequested()) return;
  }
}

}  // namespace rotary
