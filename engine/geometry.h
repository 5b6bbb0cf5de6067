// The engine's dimensions, the constants derived from them, the sample grid across one rotor
// flank and the three profiles sampled on it. Every formula keeps the order of operations in
// which the results were established: the loop counts and the middle samples depend on it.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <vector>

#include "exact_limit.h"

namespace rotary {

inline constexpr int kLastSample = 800;  // samples 0..800 across the flank chord
inline constexpr int kMiddleSample = kLastSample / 2;
inline constexpr int kSampleCount = kLastSample + 1;
inline constexpr int kAnimationSteps = 400;  // steps per turn of the animation

struct Geometry {
  double e = 0;  // eccentricity (crank radius), also the unit of the gear radii
  double R = 0;  // rotor radius: rotor centre to apex
  double W = 0;  // chamber width; only scales the volumes
  int N = 0;     // angular step count of the sweep
  // Volumes are area x width divided by this: 1000 in the window (millimetres give cm^3).
  double volumeDivisor = kWindowVolumeDivisor;

  double pi = 0;
  double k = 0;      // phase factor of the housing curve
  double d = 0;      // half the flank chord per unit radius
  double dx = 0;     // width of one sample strip
  double da = 0;     // step of the motion angle
  double step1 = 0;  // step of the housing curve parameter

  // Sample abscissa across the flank chord; s(400) is exactly 0 for whole-number R.
  double sample(int i) const { return d * ((-R) + (R * i) / 400); }
};

// The curve parameters of one loop over r, the same sequence of doubles every time the loop runs,
// with the terms that depend on r alone, so that a point costs only its terms in the motion angle.
struct HousingTable {
  std::vector<double> r;
  std::vector<double> radialCos;  // R * cos(r)
  std::vector<double> radialSin;  // R * sin(r)

  void add(const Geometry& g, double rValue) {
    r.push_back(rValue);
    radialCos.push_back(g.R * std::cos(rValue));
    radialSin.push_back(g.R * std::sin(rValue));
  }
  std::size_t size() const { return r.size(); }

  // The housing point at entry j and motion angle a, the same doubles as evaluating it whole.
  void pointAt(const Geometry& g, std::size_t j, double a, double& t, double& v) const {
    const double phase = 3 * (r[j] + a * g.k);
    t = radialCos[j] + g.e * std::cos(phase);
    v = radialSin[j] + g.e * std::sin(phase);
  }
};

// The housing point relative to the housing centre, (t, v), and the point before it, (w, q).
// It carries over from one loop into the next: the first piece of every loop starts at the
// last point of the loop before.
struct HousingPoint {
  double t = 0;
  double v = 0;
  double w = 0;
  double q = 0;

  // Moves on to curve parameter r at motion angle a.
  void advance(const Geometry& g, double r, double a) {
    w = t;
    q = v;
    t = g.R * std::cos(r) + g.e * std::cos(3 * (r + a * g.k));
    v = g.R * std::sin(r) + g.e * std::sin(3 * (r + a * g.k));
  }
  // The same, with the terms in r taken from a table.
  void advance(const Geometry& g, const HousingTable& table, std::size_t j, double a) {
    w = t;
    q = v;
    table.pointAt(g, j, a, t, v);
  }
};

using Profile = std::array<double, kSampleCount>;

// The values the profiles start from at every cycle; a sample the sweep never reaches keeps its
// own. The envelope starts below anything the housing can reach, which lies within R + 2e of the
// rotor centre; at -800 as long as the housing stays above that.
inline double envelopeStart(const Geometry& g) {
  return std::min(-800.0, -1.001 * (g.R + 2 * g.e));
}
inline double bdclineStart(const Geometry& g) {
  return (-(g.e + g.R)) / 2;
}
inline constexpr double kTdclineStart = 0;

struct Profiles {
  Profile envelope{};  // the largest rotor flank that clears the housing
  Profile tdcline{};   // the housing at top dead centre
  Profile bdcline{};   // the housing at bottom dead centre
};

}  // namespace rotary
