#include "animation.h"

namespace rotary {
namespace {

inline constexpr int kTurns = 400;

// Traces the housing outline at motion angle `angle`. The erase, in the background colour, yields
// after every piece and stops early on a restart request; the drawing, in the foreground colour
// (no colour of its own), does neither.
void traceHousing(CycleState& state, Surface& surface, const HousingTable& table, double angle,
                  std::optional<Colour> colour) {
  const bool erasing = colour.has_value();
  const Geometry& g = state.g;
  HousingPoint& h = state.point;
  const double Dx = g.e * std::sin(angle);
  const double Dy = g.e * std::cos(angle);
  for (std::size_t j = 0; j < table.size(); ++j) {
    h.advance(g, table, j, angle);
    if (table.r[j] >= 0) surface.line(Dx + h.w, Dy + h.q, Dx + h.t, Dy + h.v, colour);
    if (erasing) {
      surface.yield();
      if (state.flags.restartRequested()) break;
    }
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

HousingTable housingTable(const Geometry& g) {
  HousingTable table;
  const double rEnd = 2 * g.pi;
  const double step = g.step1;
  for (double r = -step; r <= rEnd; r += step) table.add(g, r);
  return table;
}

void animationFrame(CycleState& state, Surface& surface, const HousingTable& table, double a) {
  const double o = a - state.g.da;
  traceHousing(state, surface, table, o, colours::kBackground);
  drawGears(state, surface, o, a);
  traceHousing(state, surface, table, a, std::nullopt);
}

void animate(CycleState& state, Surface& surface) {
  const Geometry& g = state.g;
  const HousingTable table = housingTable(g);
  const double aEnd = 2 * kTurns * g.pi;
  const double da = g.da;
  for (double a = 0; a <= aEnd; a += da) {
    animationFrame(state, surface, table, a);
    state.animationAngle = a;
    surface.yield(Pace::kFrame);
    while (state.flags.suspended()) surface.yield(Pace::kIdle);
    if (state.flags.restartRequested()) {
      surface.clear();
      return;
    }
  }
}

}  // namespace rotary
