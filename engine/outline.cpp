#include "outline.h"

#include <algorithm>
#include <cmath>

namespace rotary {

void turnFlankPoint(const Geometry& g, double s, double flank, double& B, double& px, double& py) {
  const double L = std::sqrt(s * s + (flank + g.e) * (flank + g.e));
  if (s > 0) B = 2 * g.pi / 3 - std::atan((g.e + flank) / s);
  if (s < 0) B = (-g.pi) / 3 - std::atan((g.e + flank) / s);
  px = L * std::cos(B);
  py = (-L) * std::sin(B);
}

std::array<Polyline, 3> rotorFlanks(const Geometry& g, const Profiles& p) {
  std::array<Polyline, 3> flanks;
  double B = 0;
  for (int i = 0; i <= kLastSample; ++i) {
    const double s = g.sample(i);
    double px = 0, py = 0;
    turnFlankPoint(g, s, p.envelope[i], B, px, py);
    flanks[0].push_back({s, p.envelope[i]});
    flanks[1].push_back({px - g.d * g.e, 0.5 * g.e + py});
    flanks[2].push_back({(-px) + g.d * g.e, 0.5 * g.e + py});
  }
  return flanks;
}

Polyline rotorOutline(const Geometry& g, const Profiles& p) {
  std::array<Polyline, 3> flanks = rotorFlanks(g, p);
  const auto distance = [](const PlanePoint& a, const PlanePoint& b) {
    return std::hypot(a.x - b.x, a.y - b.y);
  };
  // Each flank runs from apex to apex; chain them so that every flank starts at the apex where
  // the one before it ends.
  Polyline outline = flanks[0];
  bool used[3] = {true, false, false};
  for (int joined = 1; joined < 3; ++joined) {
    int best = -1;
    bool reversed = false;
    double nearest = 0;
    for (int f = 1; f < 3; ++f) {
      if (used[f]) continue;
      for (const bool reverse : {false, true}) {
        const PlanePoint& start = reverse ? flanks[f].back() : flanks[f].front();
        const double gap = distance(outline.back(), start);
        if (best < 0 || gap < nearest) best = f, reversed = reverse, nearest = gap;
      }
    }
    used[best] = true;
    Polyline& next = flanks[best];
    if (reversed) std::reverse(next.begin(), next.end());
    // The shared apex once only.
    outline.insert(outline.end(), next.begin() + 1, next.end());
  }
  if (outline.size() > 1 && distance(outline.front(), outline.back()) <= 1e-9 * (1 + g.R)) {
    outline.pop_back();
  }
  return outline;
}

Polyline housingCurve(const Geometry& g, double a, int count) {
  Polyline curve;
  const double Dx = g.e * std::sin(a);
  const double Dy = g.e * std::cos(a);
  HousingPoint h;
  for (int n = 0; n < count; ++n) {
    h.advance(g, 2 * g.pi * n / count, a);
    curve.push_back({Dx + h.t, Dy + h.v});
  }
  return curve;
}

Polyline profileLine(const Geometry& g, const Profile& profile) {
  Polyline line;
  for (int i = 0; i <= kLastSample; ++i) line.push_back({g.sample(i), profile[i]});
  return line;
}

}  // namespace rotary
