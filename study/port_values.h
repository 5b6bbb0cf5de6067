// The ports a designer gives, checked where they come in: a peripheral window typed as
// FROM,TO,WIDTH (two polar angles of the bore in degrees and a width), refused in one line that
// names what is wrong.
#pragma once

#include <string>

#include "port_timing.h"

namespace rotary::study {

// The window typed for `option` ("--peripheral-intake"), or why it is none: the refusal is set
// and the port left as it was.
PeripheralPort parsePeripheralPort(const std::string& option, const std::string& text,
                                   std::string& refusal);

// Why a window read as numbers is none, after the window's quoted text ("has no width above
// 0"); empty when it is one.
std::string peripheralPortRefusal(const PeripheralPort& window);

}  // namespace rotary::study
