// The ports a designer gives, checked where they come in: a peripheral window typed as
// FROM,TO,WIDTH (two polar angles of the bore in degrees and a width), refused in one line that
// names what is wrong.
#pragma once

#include <string>
#include <vector>

#include "port_timing.h"

namespace rotary::study {

// The window typed for `option` ("--peripheral-intake"), or why it is none: the refusal is set
// and the port left as it was.
PeripheralPort parsePeripheralPort(const std::string& option, const std::string& text,
                                   std::string& refusal);

// A window typed with START:STOP:STEP in any of FROM, TO and WIDTH: every window of the ranges
// as if typed alone, the first part varying slowest, for parsePeripheralPort to read each; or
// why the ranges are none, in `refusal`. A text without three parts comes back as it is.
std::vector<std::string> peripheralWindowTexts(const std::string& option, const std::string& text,
                                               std::string& refusal);

// Why a window read as numbers is none, after the window's quoted text ("has no width above
// 0"); empty when it is one.
std::string peripheralPortRefusal(const PeripheralPort& window);

// Why a window cut in the bore of a chamber `chamberWidth` wide is none: it is wider than the
// chamber, and would cut through the side housings ("is 90 wide, wider than the chamber (80)");
// empty when it fits.
std::string peripheralWidthRefusal(const PeripheralPort& window, double chamberWidth);

// The first side port of `ports` that lies wholly outside the bore of this engine, and so can
// never open, with why ("lies wholly outside the bore of this engine: it can never open"); none
// where every one reaches into it, or the engine has no figures to tell by.
const PortDefinition* sidePortOutsideTheBore(double e, double R, double W, const RealEngine& real,
                                             const std::vector<PortDefinition>& ports,
                                             std::string& why);

// The first peripheral port of `ports` wider than the chamber, with why; none when all fit.
const PortDefinition* peripheralPortTooWide(const std::vector<PortDefinition>& ports,
                                            double chamberWidth, std::string& why);

}  // namespace rotary::study
