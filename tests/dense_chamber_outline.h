// The outline of one chamber at motion angle a, in units of the eccentricity, sampled densely
// from the shape's own points: the bore from seal to seal, round the right seal's tip to the
// rotor, along the rotor flank, and round the left tip back. The tests measure it with a
// polygon's own rules (shoelace, shapely) against the integrals.
#pragma once

#include <cmath>
#include <numbers>
#include <vector>

#include "exact_shape.h"
#include "real_shape.h"

namespace rotary::testing {

inline std::vector<exact::Point> chamberOutline(double K, const exact::Offsets& o, double a,
                                                int samples = 4000) {
  using exact::Point;
  using std::numbers::pi;
  std::vector<Point> outline;
  for (int n = 0; n <= samples; ++n) {
    const double r = exact::kLeftApex + (exact::kRightApex - exact::kLeftApex) * n / samples;
    outline.push_back(exact::borePoint(K, r, a, o.bore));
  }
  const auto arc = [&](Point centre, Point from, Point to) {
    if (o.bore == 0) {
      outline.push_back(to);
      return;
    }
    const double t0 = std::atan2(from.y - centre.y, from.x - centre.x);
    const double turn = std::remainder(std::atan2(to.y - centre.y, to.x - centre.x) - t0, 2 * pi);
    for (int n = 1; n <= 200; ++n) {
      const double t = t0 + turn * n / 200;
      outline.push_back({centre.x + o.bore * std::cos(t), centre.y + o.bore * std::sin(t)});
    }
  };
  const Point rightApex = exact::housingPoint(K, exact::kRightApex, a);
  const Point leftApex = exact::housingPoint(K, exact::kLeftApex, a);
  const Point normalAtTheEnd = exact::flankNormal(K, exact::kRightApex);
  const Point tip{rightApex.x + o.bore * normalAtTheEnd.x, rightApex.y + o.bore * normalAtTheEnd.y};
  arc(rightApex, outline.back(), tip);
  const double end = exact::flankEnd(K, o.flank);
  for (int n = samples; n >= -samples; --n) {
    const double r = exact::kFlankMiddle + (end - exact::kFlankMiddle) * std::abs(n) / samples;
    const Point p = exact::rotorFlankPoint(K, r, o.flank);
    outline.push_back({n < 0 ? -p.x : p.x, p.y});
  }
  outline.push_back({-tip.x, tip.y});
  const Point leftTouch = exact::borePoint(K, exact::kLeftApex, a, o.bore);
  arc(leftApex, outline.back(), leftTouch);
  // Consecutive points that coincide (the bare shape's tips) would make a zero-length edge.
  std::vector<Point> distinct;
  for (const Point& p : outline) {
    if (distinct.empty() || p.x != distinct.back().x || p.y != distinct.back().y) {
      distinct.push_back(p);
    }
  }
  return distinct;
}

}  // namespace rotary::testing
