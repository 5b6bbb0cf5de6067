// The values the designer's figures take besides the engine, checked alike wherever they are
// typed: the shaft's speed, the ratio of specific heats, a recess's walls and the gear module.
#pragma once

#include <string>

#include "typed_number.h"

namespace rotary::study {

// The rotors an engine may have, in every face: its displacement is that many chambers.
inline constexpr int kMostRotors = 100;

// Why a rotor count is none ("is not a whole number from 1 to 100"), after its quoted text;
// empty when it is one.
std::string rotorsRefusal(double rotors);

// What the value is not, after its quoted text ("is not a shaft speed ..."); empty when it can
// be taken.
std::string rpmRefusal(double rpm);
std::string gammaRefusal(double gamma);
std::string recessAreaRefusal(double area);

// Why a gear module typed as `field` cannot cut the phasing gears of an engine of this
// eccentricity, with what was given as the face shows it (`given`); empty when it can (or the
// eccentricity, 0, has no gears). The module itself must be a number above 0.
std::string gearModuleRefusal(const std::string& field, const std::string& given,
                              const TypedNumber& module, const TypedNumber& eccentricity);

}  // namespace rotary::study
