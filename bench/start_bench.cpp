// How long the companion takes as a script sees it: the whole process, from the start to the
// exit, against a program that does nothing. Runs that draw nothing load no Qt, so a plain run at
// N = 100 costs little more than starting any program.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

extern char** environ;

namespace {

// Runs the program to its end with standard output thrown away; false when it did not exit 0.
bool runToTheEnd(const std::vector<std::string>& command) {
  std::vector<char*> argv;
  for (const std::string& word : command) argv.push_back(const_cast<char*>(word.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t child = 0;
  const int failed = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  int status = 0;
  return failed == 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) &&
         WEXITSTATUS(status) == 0;
}

void wholeProcess(benchmark::State& state, std::vector<std::string> command) {
  for (auto _ : state) {
    if (!runToTheEnd(command)) state.SkipWithError(("failed: " + command.front()).c_str());
  }
}

const std::string kFigure = "/tmp/rotary-start-bench.svg";

BENCHMARK_CAPTURE(wholeProcess, EmptyProgram, {EMPTY_PROGRAM})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(wholeProcess, DefaultsAtN100, {ROTARY_RATIO})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(wholeProcess, Version, {ROTARY_RATIO, "--version"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(wholeProcess, DefaultsAtN1000, {ROTARY_RATIO, "--steps", "1000"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
// The run that loads Qt, for comparison.
BENCHMARK_CAPTURE(wholeProcess, FigureSvg, {ROTARY_RATIO, "--figure", kFigure})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
