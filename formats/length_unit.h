// The units a length may be given in: what the DXF declares and what the volumes come in.
#pragma once

#include <string>

namespace rotary::formats {

struct LengthUnit {
  const char* name;        // "mm"
  int insunits;            // the DXF's $INSUNITS code
  const char* volumeUnit;  // of area x width / 1000: cm^3 for millimetres
};

bool isLengthUnit(const std::string& name);
// The unit of that name; millimetres for any other.
const LengthUnit& lengthUnitOf(const std::string& name);

}  // namespace rotary::formats
