// The 801 samples of the three profiles after the mirroring, as CSV with 17 significant digits,
// so that every number reads back to the same double; comment lines first with the inputs and
// the three results.
#pragma once

#include <ostream>

#include "headless.h"

namespace rotary::exporting {

void writeProfiles(std::ostream& out, const HeadlessResult& result);

}  // namespace rotary::exporting
