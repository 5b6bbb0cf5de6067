#include "chamber_values.h"

#include <cmath>

namespace rotary::study {

std::string rpmRefusal(double rpm) {
  // A million rpm is beyond any engine; the bound keeps the speeds and forces finite.
  if (rpm > 0 && rpm <= 1e6) return "";
  return "is not a shaft speed above 0, up to 1000000 rpm";
}

std::string gammaRefusal(double gamma) {
  if (gamma > 1 && gamma <= 10) return "";
  return "is not a ratio of specific heats above 1, up to 10";
}

std::string recessAreaRefusal(double area) {
  if (area >= 0 && std::isfinite(area)) return "";
  return "is not an area of 0 or more";
}

}  // namespace rotary::study
