// Arbitrary argument vectors through the companion's whole command line, in a scratch folder of
// its own. Every case must end in results (status 0), in the engine's message (status 1), or in
// one line on standard error with status 2 and no file left behind; a crash, a hang or a
// sanitizer report is a finding.
//
// Input: the arguments, one to a line. Slashes become underscores, so that every file lands in
// the scratch folder; runs that would compute more than a few engines at a few thousand steps
// are only parsed, so that a case takes milliseconds; so are the runs that draw, which would load
// Qt, those that build solids, which would load OpenCASCADE, and those that run the working
// cycle, a tenth of a second a speed.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "command_line.h"
#include "options.h"
#include "ranges.h"

namespace {

namespace fs = std::filesystem;

long parsedOnly = 0, withResults = 0, withMessages = 0, refused = 0;
const bool reportAtExit = [] {
  std::atexit([] {
    std::printf(
        "fuzzing outcomes: %ld with results, %ld with a message, %ld refused, %ld only "
        "parsed\n",
        withResults, withMessages, refused, parsedOnly);
  });
  return true;
}();

void require(bool condition, const char* what, const std::string& more = "") {
  if (!condition) {
    std::fprintf(stderr, "finding: %s\n%s\n", what, more.c_str());
    std::abort();
  }
}

// The scratch folder, made once, the working folder from then on.
const fs::path& scratch() {
  static const fs::path folder = [] {
    char pattern[] = "/tmp/rotary-fuzz-options.XXXXXX";
    const char* made = mkdtemp(pattern);
    require(made != nullptr, "no scratch folder");
    fs::current_path(made);
    static const fs::path removed = made;
    std::atexit([] {
      std::error_code ignored;
      fs::remove_all(removed, ignored);
    });
    return fs::path(made);
  }();
  return folder;
}

// Whether the options, as far as they parse, ask for little work: at most 8 engines of at most
// 2000 steps each, no drawing and no port curve.
bool cheap(const std::vector<std::string>& args) {
  std::ostringstream ignored;
  bool done = false;
  rotary::Options options;
  try {
    options = rotary::parseOptions(args, ignored, done);
  } catch (const rotary::BadUsage&) {
    return true;  // refused before any work
  }
  if (done) return true;
  // A port curve at a thousandth of a degree times its ports a million times over.
  if (options.figure || options.chart || options.portCurve) return false;
  // The solids load OpenCASCADE and take a third of a second an engine; the solids' own tests
  // and their read-back check them.
  if (options.step || options.stl) return false;
  // The working cycle takes a tenth of a second a speed; its own tests run it.
  if (!options.cycleSpeeds.empty()) return false;
  double engines = 1;
  for (const std::string* text :
       {&options.eccentricity, &options.rotorRadius, &options.chamberWidth, &options.sealOffset,
        &options.clearance, &options.recess, &options.targetRatio}) {
    if (!text->empty())
      engines *= std::max<std::size_t>(1, rotary::study::parseValues(*text).texts.size());
  }
  // A window's edges studied: an engine a window.
  for (const rotary::Options::PortRange& range : options.portRanges) {
    engines *= static_cast<double>(range.windows.size());
  }
  const rotary::study::Values steps = rotary::study::parseStepValues(options.steps, 50, 20000);
  engines *= std::max<std::size_t>(1, steps.texts.size());
  for (const std::string& N : steps.texts) {
    if (std::stoi(N) > 2000) return false;
  }
  return engines <= 8;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fs::path& folder = scratch();
  std::vector<std::string> args(1);
  for (std::size_t n = 0; n < size && args.size() <= 12; ++n) {
    const char c = static_cast<char>(data[n]);
    if (c == '\n') {
      args.emplace_back();
    } else {
      args.back() += c == '/' ? '_' : c;
    }
  }
  if (args.size() == 1 && args.front().empty()) args.clear();
  if (!cheap(args)) {
    ++parsedOnly;
    return 0;
  }
  std::ostringstream out, err;
  const int status = rotary::runCommandLine(args, out, err);
  const std::string said = err.str();
  require(status == 0 || status == 1 || status == 2, "an exit status of no meaning", said);
  if (status == 2) {
    ++refused;
    require(!said.empty() && said.find('\n') == said.size() - 1, "not one line for status 2", said);
    require(fs::is_empty(folder), "a file left behind by a refusal", said);
  } else if (status == 1) {
    ++withMessages;
    require(!said.empty(), "status 1 without a message");
  } else {
    ++withResults;
  }
  for (const auto& entry : fs::directory_iterator(folder)) fs::remove_all(entry.path());
  return 0;
}
