// rotary-ratio: the chamber capacity, dead volume and compression ratio for the dimensions and
// step count given on the command line, computed exactly as the window's first cycle does; the
// profiles, a figure, CAD outlines and studies across many engines.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace rotary {

inline constexpr int kExitOk = 0;
inline constexpr int kExitComputationFailed = 1;
inline constexpr int kExitBadUsage = 2;

// Runs the tool on its arguments (without the program name); returns the exit status. A long
// study shows its progress on `err` when that is a terminal. `standardOutputKey` says which file
// `out` writes to, where it is one (formats::sameFileKeyOf), so that no output is written into
// it.
int runCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                   bool errIsTerminal = false, const std::string& standardOutputKey = "");

}  // namespace rotary
