// The sweep with the work of the straightforward loops taken apart. Within one motion angle the
// housing points do not depend on the sample, so they are evaluated once per angle (their terms
// in r alone once per cycle), and every piece of the curve finds the samples it crosses from its
// two ends by binary search. The crossing tests and the interpolations are the same expressions
// on the same doubles, and each sample meets its pieces in the same order, so every profile value
// comes out bit for bit as in the straightforward loops.
#include <algorithm>
#include <vector>

#include "sweep.h"

namespace rotary {
namespace {

struct Point {
  double t;
  double v;
};

using SampleIterator = std::array<double, kSampleCount>::const_iterator;

// The first sample of [begin, end) above `value`, the samples ascending. The grid is even, so
// the index is first estimated from the value and then moved to the exact boundary by the same
// comparisons a binary search makes: the result is the same, at a fraction of the cost.
SampleIterator firstAbove(SampleIterator begin, SampleIterator end, double value, double spacing) {
  if (begin == end || !(value >= *begin)) return begin;  // NaN too: no sample is <= NaN
  if (value >= *(end - 1)) return end;
  const double estimate = (value - *begin) / spacing;
  auto it = begin + static_cast<std::ptrdiff_t>(
                        std::min(std::max(estimate, 0.0), static_cast<double>(end - begin - 1)));
  while (it != begin && *(it - 1) > value) --it;
  while (it != end && *it <= value) ++it;
  return it;
}

// The samples s of [begin, end), ascending, with low < s <= high.
std::pair<SampleIterator, SampleIterator> crossedSamples(SampleIterator begin, SampleIterator end,
                                                         double low, double high, double spacing) {
  if (!(low < high)) return {end, end};
  const auto first = firstAbove(begin, end, low, spacing);
  return {first, firstAbove(first, end, high, spacing)};
}

// The crossings of one piece of the curve, from `from` to `to`, with the samples it spans, taken
// exactly as the straightforward loops take them.
struct PieceCrossings {
  CycleState& state;
  Surface& surface;
  const std::array<double, kSampleCount>& samples;
  double spacing;  // between neighbouring samples
  double a, Dx, Dy;

  void run(const Point& from, const Point& to, int firstSample, int lastSample) {
    const double w = from.t, q = from.v, t = to.t, v = to.v;
    const auto begin = samples.begin() + firstSample;
    const auto end = samples.begin() + lastSample + 1;
    const auto index = [this](SampleIterator it) { return static_cast<int>(it - samples.begin()); };

    // The curve crosses sample s where Dx + w < s <= Dx + t.
    const auto [first, last] = crossedSamples(begin, end, Dx + w, Dx + t, spacing);
    for (auto it = first; it != last; ++it) {
      takeCurveCrossing(state, surface, index(it), *it, a, Dx, Dy, w, q, t, v);
    }
    // The exchanged copy crosses it where Dx + q < s <= Dx + v.
    const auto [copyFirst, copyLast] = crossedSamples(begin, end, Dx + q, Dx + v, spacing);
    for (auto it = copyFirst; it != copyLast; ++it) {
      takeCopyCrossing(state, surface, index(it), *it, a, Dx, Dy, w, q, t, v);
    }
  }
};

void drawConstruction(Surface& surface, const Geometry& g, double Dx, double Dy, const Point& from,
                      const Point& to) {
  drawConstructionPiece(surface, g, Dx, Dy, from.t, from.v, to.t, to.v);
}

}  // namespace

void sweepFast(CycleState& state, Surface& surface) {
  const Geometry& g = state.g;

  std::array<double, kSampleCount> samples;
  for (int i = 0; i <= kLastSample; ++i) samples[i] = g.sample(i);
  // The binary searches need the samples in ascending order, as they are for every rotor radius
  // that makes sense; anything else takes the plain loops.
  const bool ascending =
      std::is_sorted(samples.begin(), samples.end()) &&
      std::none_of(samples.begin(), samples.end(), [](double s) { return std::isnan(s); });
  if (!ascending) return sweepStraightforward(state, surface);
  const double spacing = (samples[kLastSample] - samples[0]) / kLastSample;

  // The curve parameters of one inner sweep, the same sequence of doubles for every sample and
  // every angle, and the terms that depend on them alone.
  HousingTable table;
  const double rEnd = 2 * g.pi;
  const double step = g.step1;
  for (double r = 3 * g.pi / 2; curveSweepGoesOn(r, rEnd, step); r += step) table.add(g, r);
  const std::size_t J = table.size();
  if (J == 0) return;

  std::vector<Point> points(J);
  HousingPoint& h = state.point;
  const double aEnd = g.pi / 2;
  const double da = g.da;
  for (double a = 0; a <= aEnd; a += da) {
    const double Dx = g.e * std::sin(a);
    const double Dy = g.e * std::cos(a);
    for (std::size_t j = 0; j < J; ++j) table.pointAt(g, j, a, points[j].t, points[j].v);
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

    PieceCrossings crossings{state, surface, samples, spacing, a, Dx, Dy};
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
