#include "chamber_values.h"

#include <cmath>

#include "designer.h"
#include "number_text.h"

namespace rotary::study {

std::string rotorsRefusal(double rotors) {
  if (rotors >= 1 && rotors <= kMostRotors && rotors == std::floor(rotors)) return "";
  return "is not a whole number from 1 to " + std::to_string(kMostRotors);
}

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

std::string gearModuleRefusal(const std::string& field, const std::string& given,
                              const TypedNumber& module, const TypedNumber& eccentricity) {
  // The most teeth the rotor's gear may have: production engines cut a few dozen, and a module
  // that gives more than this is a slip of a digit.
  constexpr double kMostGearTeeth = 10000;
  if (!module.number || !(*module.number > 0)) {
    return field + ": " + given + " is not a length above 0";
  }
  const double m = *module.number;
  if (!eccentricity.number || *eccentricity.number == 0) return "";
  const double e = *eccentricity.number;
  const double rotorTeeth = 6 * e / m, stationaryTeeth = 4 * e / m;
  const std::string gives =
      field + ": " + given + " gives eccentricity " + eccentricity.shown() + " ";
  if (!(rotorTeeth <= kMostGearTeeth)) {
    return gives + "a rotor gear of " + significantDigits(rotorTeeth, 6) +
           " teeth (6e/m), more than the " + std::to_string(static_cast<int>(kMostGearTeeth)) +
           " a phasing gear is cut with";
  }
  if (!wholeTeeth(e, m)) {
    // Enough digits to see why a count that shows as whole is not: 36.0000002.
    return gives + "gears of " + significantDigits(rotorTeeth, 12) + " and " +
           significantDigits(stationaryTeeth, 12) +
           " teeth (6e/m and 4e/m), not whole numbers of at least one";
  }
  return "";
}

}  // namespace rotary::study
