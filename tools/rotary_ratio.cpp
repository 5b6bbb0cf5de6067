#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>

#include "command_line.h"
#include "output_file.h"

int main(int argc, char** argv) {
  // Ctrl-C or a kill while a file is being written leaves no temporary file behind.
  rotary::formats::removeTemporaryFilesOnSignals();
  int status = rotary::runCommandLine(std::vector<std::string>(argv + 1, argv + argc), std::cout,
                                      std::cerr, isatty(STDERR_FILENO) != 0,
                                      rotary::formats::sameFileKeyOf(STDOUT_FILENO));
  // The last of standard output leaves only here; its failure is a failure too.
  errno = 0;
  if (std::fclose(stdout) != 0 && status == rotary::kExitOk) {
    std::fprintf(stderr, "rotary-ratio: standard output: %s\n", std::strerror(errno));
    status = rotary::kExitBadUsage;
  }
  return status;
}
