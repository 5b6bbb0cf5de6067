#include "length_unit.h"

namespace rotary::study {
namespace {

// $INSUNITS: 1 inches, 4 millimetres, 5 centimetres, 6 metres.
constexpr LengthUnit kUnits[] = {{"mm", 4, "cm^3", 1000, 0.001},
                                 {"cm", 5, "cm^3", 1, 0.01},
                                 {"m", 6, "m^3", 1, 1},
                                 {"in", 1, "in^3", 1, 0.0254}};

}  // namespace

bool isLengthUnit(const std::string& name) {
  for (const LengthUnit& unit : kUnits) {
    if (name == unit.name) return true;
  }
  return false;
}

const LengthUnit& lengthUnitOf(const std::string& name) {
  for (const LengthUnit& unit : kUnits) {
    if (name == unit.name) return unit;
  }
  return kUnits[0];
}

}  // namespace rotary::study
