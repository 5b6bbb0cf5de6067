// The companion run in the tests' own process, as a script runs it: its status and both outputs.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "command_line.h"

namespace rotary {

struct ToolRun {
  int status;
  std::string out, err;
};

inline ToolRun run(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const int status = runCommandLine(args, out, err);
  return {status, out.str(), err.str()};
}

}  // namespace rotary
