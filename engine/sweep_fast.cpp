// The sweep with the work of the straightforward loops taken apart. Within one motion angle the
// housing points do not depend on the sample, so they are evaluated once per angle (their terms
// in r alone once per cycle), and every piece of the curve finds the samples it crosses from its
// two ends by binary search. The crossing tests and the interpolations are the same expressions
// on the same doubles, and each sample meets its pieces in the same order, so every profile value
// comes out bit for bit as in the straightforward loops.
#include <algorithm>
#include <vector>

#include "number_text.h"
#include "sweep.h"

namespace rotary {
namespace {

struct Point {
  double t;
  double v;
};

// One sample's crossings with the piece from `from` to `to`, exactly as the straightforward loop
// tests and interpolates them.
struct PieceCrossings {
  CycleState& state;
  Surface& surface;
  const std::array<double, kSampleCount>& samples;
  double a, Dx, Dy;

  void run(const Point& from, const Point& to, int firstSample, int lastSample) {
    const Geometry& g = state.g;
    Profiles& p = state.profiles;
    const double w = from.t, q = from.v, t = to.t, v = to.v;
    const auto begin = samples.begin() + firstSample;
    const auto end = samples.begin() + lastSample + 1;

    // The curve crosses sample s where Dx + w < s <= Dx + t.
    const double low = Dx + w, high = Dx + t;
    if (low < high) {
      const auto first = std::partition_point(begin, end, [low](double s) { return s <= low; });
      const auto last = std::partition_point(first, end, [high](double s) { return s <= high; });
      for (auto it = first; it != last; ++it) {
        const auto i = static_cast<std::size_t>(it - samples.begin());
        const double s = *it;
        const double C = (Dy + q) + ((v - q) * ((s - w) - Dx)) / (t - w);
        if (C < -g.R / 3) {
          if (p.envelope[i] < C) p.envelope[i] = C;
          if (a == 0) {
            p.tdcline[i] = C;
            surface.circle(s, p.tdcline[i], 0.25, colours::kTopDeadCentre);
          }
        } else {
          ++state.tally.curveRejected;
        }
      }
    }

    // The exchanged copy crosses it where Dx + q < s <= Dx + v.
    const double copyLow = Dx + q, copyHigh = Dx + v;
    if (copyLow < copyHigh) {
      const auto first =
          std::partition_point(begin, end, [copyLow](double s) { return s <= copyLow; });
      const auto last =
          std::partition_point(first, end, [copyHigh](double s) { return s <= copyHigh; });
      for (auto it = first; it != last; ++it) {
        const auto i = static_cast<std::size_t>(it - samples.begin());
        const double s = *it;
        const double C2 = ((w + Dy) - 2 * g.e) + ((t - w) * ((s - q) - Dx)) / (v - q);
        if (C2 >= g.e && a == 0) {
          p.bdcline[i] = (-2 * g.e) - C2;
          surface.circle(s, p.bdcline[i], 0.25, colours::kBottomDeadCentre);
        } else if (a == 0) {
          ++state.tally.copyRejected;
        }
      }
    }
  }
};

void drawConstruction(Surface& surface, const Geometry& g, double Dx, double Dy,
                      const Point& from, const Point& to) {
  const double w = from.t, q = from.v, t = to.t, v = to.v;
  surface.line(Dx + w, Dy + q, Dx + t, Dy + v, colours::kConstruction);
  surface.line(Dx + q, (Dy + w) - 2 * g.e, Dx + v, (Dy + t) - 2 * g.e, colours::kConstruction);
}

}  // namespace

void sweepFast(CycleState& state, Surface& surface) {
  const Geometry& g = state.g;

  std::array<double, kSampleCount> samples;
  for (int i = 0; i <= kLastSample; ++i) samples[i] = g.sample(i);
  // The binary searches need the samples in ascending order, as they are for every rotor radius
  // that makes sense; anything else takes the plain loops.
  const bool ascending = std::is_sorted(samples.begin(), samples.end()) &&
                         std::none_of(samples.begin(), samples.end(),
                                      [](double s) { return std::isnan(s); });
  if (!ascending) return sweepStraightforward(state, surface);

  // The curve parameters of one inner sweep, the same sequence of doubles for every sample and
  // every angle, and the terms that depend on them alone.
  std::vector<double> rs, radialCos, radialSin;
  const double rEnd = 2 * g.pi;
  const double step = g.step1;
  for (double r = 3 * g.pi / 2; curveSweepGoesOn(r, rEnd, step); r += step) {
    rs.push_back(r);
    radialCos.push_back(g.R * std::cos(r));
    radialSin.push_back(g.R * std::sin(r));
  }
  const std::size_t J = rs.size();
  if (J == 0) return;

  std::vector<Point> points(J);
  HousingPoint& h = state.point;
  const double aEnd = g.pi / 2;
  const double da = g.da;
  for (double a = 0; a <= aEnd; a += da) {
    const double Dx = g.e * std::sin(a);
    const double Dy = g.e * std::cos(a);
    for (std::size_t j = 0; j < J; ++j) {
      const double phase = 3 * (rs[j] + a * g.k);
      points[j] = {radialCos[j] + g.e * std::cos(phase), radialSin[j] + g.e * std::sin(phase)};
    }
    // Sample 0 starts from the point the last loop left; every later sample from the end of the
    // sweep of the sample before it.
    const Point carried{h.t, h.v};
    const Point& wrap = points[J - 1];

    if (a == 0) {
      drawConstruction(surface, g, Dx, Dy, carried, points[0]);
      for (std::size_t j = 1; j < J; ++j) {
        drawConstruction(surface, g, Dx, Dy, points[j - 1], points[j]);
      }
      drawConstruction(surface, g, Dx, Dy, wrap, points[0]);
    }

    PieceCrossings crossings{state, surface, samples, a, Dx, Dy};
    crossings.run(carried, points[0], 0, 0);
    crossings.run(wrap, points[0], 1, kLastSample);
    for (std::size_t j = 1; j < J; ++j) crossings.run(points[j - 1], points[j], 0, kLastSample);

    // Leave the housing point as the last step of the plain loops leaves it.
    const Point& beforeLast = J >= 2 ? points[J - 2] : wrap;
    h.w = beforeLast.t;
    h.q = beforeLast.v;
    h.t = wrap.t;
    h.v = wrap.v;

    showSweepProgress(state, surface, a);
    if (state.flags.restartRequested()) return;
  }
}

}  // namespace rotary
