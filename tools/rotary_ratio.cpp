#include <unistd.h>

#include <iostream>

#include "command_line.h"

int main(int argc, char** argv) {
  return rotary::runCommandLine(std::vector<std::string>(argv + 1, argv + argc), std::cout,
                                std::cerr, isatty(STDERR_FILENO) != 0);
}
