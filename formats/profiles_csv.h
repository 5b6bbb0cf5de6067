// The 801 samples of the three profiles after the mirroring, as CSV with 17 significant digits,
// so that every number reads back to the same double; comment lines first with the inputs and
// the three results.
#pragma once

#include <ostream>
#include <string>

#include "headless.h"

namespace rotary::formats {

// `lengthUnit`, where given ("mm"), is named in a comment line of its own.
void writeProfiles(std::ostream& out, const HeadlessResult& result,
                   const std::string& lengthUnit = "");

}  // namespace rotary::formats
