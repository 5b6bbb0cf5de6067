// The Wiebe function: the fraction of the charge burned since the start of combustion,
// x = 1 - exp(-a ((theta - start) / duration)^(m + 1)), and its rate per degree; a duration of
// 0 burns everything at the start.
#pragma once

#include <cmath>

namespace rotary::cycle {

struct Wiebe {
  double start = 0;     // shaft degrees
  double duration = 0;  // shaft degrees
  double a = 5, m = 2;

  double burned(double theta) const {
    if (theta <= start) return 0;
    if (duration <= 0) return 1;
    const double s = (theta - start) / duration;
    return 1 - std::exp(-a * std::pow(s, m + 1));
  }
  double rate(double theta) const {
    if (theta <= start || duration <= 0) return 0;
    const double s = (theta - start) / duration;
    return a * (m + 1) / duration * std::pow(s, m) * std::exp(-a * std::pow(s, m + 1));
  }
};

}  // namespace rotary::cycle
