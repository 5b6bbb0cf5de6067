// The units a length may be given in: what the DXF declares and what the volumes come in. The
// window's millimetres give cubic centimetres (area x width / 1000); every other unit gives its
// own cube (area x width).
#pragma once

#include <string>

namespace rotary::study {

struct LengthUnit {
  const char* name;        // "mm"
  int insunits;            // the DXF's $INSUNITS code
  const char* volumeUnit;  // "cm^3" for millimetres and centimetres, "m^3", "in^3"
  double volumeDivisor;    // area x width over this is in volumeUnit
  double metres;           // in one unit, for the speeds, forces and torques in SI units
};

bool isLengthUnit(const std::string& name);
// The unit of that name; millimetres for any other.
const LengthUnit& lengthUnitOf(const std::string& name);

}  // namespace rotary::study
