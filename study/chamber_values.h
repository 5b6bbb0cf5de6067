// The values the chamber's and the seal's figures take besides the engine, checked alike
// wherever they are typed: the shaft's speed, the ratio of specific heats and a recess's walls.
#pragma once

#include <string>

namespace rotary::study {

// What the value is not, after its quoted text ("is not a shaft speed ..."); empty when it can
// be taken.
std::string rpmRefusal(double rpm);
std::string gammaRefusal(double gamma);
std::string recessAreaRefusal(double area);

}  // namespace rotary::study
