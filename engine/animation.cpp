#include "animation.h"

namespace rotary {
namespace {

inline constexpr int kTurns = 400;

// Erases the housing drawn at angle o by drawing it over in the background colour. Yields
// after every piece and stops early on a restart request.
void eraseHousing(CycleState& state, Surface& surface, double o) {
  const Geometry& g = state.g;
  HousingPoint& h = state.point;
  const double Dx = g.e * std::sin(o);
  const double Dy = g.e * std::cos(o);
  const double rEnd = 2 * g.pi;
  const double step = g.step1;
  for (double r = -step; r <= rEnd; r += step) {
    h.advance(g, r, o);
    if (r >= 0) surface.line(Dx + h.w, Dy + h.q, Dx + h.t, Dy + h.v, colours::kBackground);
    surface.yield();
    if (state.flags.restartRequested()) break;
  }
}

// Draws the housing at angle a in the foreground colour, without yielding.
void drawHousing(CycleState& state, Surface& surface, double a) {
  const Geometry& g = state.g;
  HousingPoint& h = state.point;
  const double Dx = g.e * std::sin(a);
  const double Dy = g.e * std::cos(a);
  const double rEnd = 2 * g.pi;
  const double step = g.step1;
  for (double r = -step; r <= rEnd; r += step) {
    h.advance(g, r, a);
    if (r >= 0) surface.line(Dx + h.w, Dy + h.q, Dx + h.t, Dy + h.v, std::nullopt);
  }
}

void drawGears(CycleState& state, Surface& surface, double o, double a) {
  const double e = state.g.e;
  surface.circle(e * std::sin(o), e * std::cos(o), 2 * e, colours::kBackground);
  surface.circle(e * std::sin(o), e * std::cos(o), 2, colours::kBackground);
  surface.circle(e * std::sin(a), e * std::cos(a), 2 * e, colours::kHousingGear);
  surface.circle(e * std::sin(a), e * std::cos(a), 2, colours::kHousingGear);
  surface.circle(0, 0, 3 * e, colours::kRotor);
  surface.circle(0, 0, 2, colours::kRotor);
}

}  // namespace

void animate(CycleState& state, Surface& surface) {
  const Geometry& g = state.g;
  const double aEnd = 2 * kTurns * g.pi;
  const double da = g.da;
  for (double a = 0; a <= aEnd; a += da) {
    const double o = a - da;
    eraseHousing(state, surface, o);
    drawGears(state, surface, o, a);
    drawHousing(state, surface, a);
    surface.yield(Pace::kFrame);
    while (state.flags.suspended()) surface.yield(Pace::kIdle);
    if (state.flags.restartRequested()) {
      surface.clear();
      return;
    }
  }
}

}  // namespace rotary
