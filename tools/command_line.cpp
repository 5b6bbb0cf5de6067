#include "command_line.h"

#include <cmath>
#include <optional>

#include "headless.h"
#include "messages.h"
#include "number_text.h"

namespace rotary {
namespace {

constexpr const char* kUsage =
    "usage: rotary-ratio [--eccentricity E] [--rotor-radius R] [--chamber-width W] [--steps N]\n"
    "\n"
    "Prints the chamber capacity, the dead volume and the compression-ratio limit of a rotary\n"
    "engine with a three-flank rotor in a two-lobe epitrochoidal housing.\n"
    "\n"
    "  --eccentricity E   crank radius (default 15)\n"
    "  --rotor-radius R   rotor centre to apex (default 105)\n"
    "  --chamber-width W  axial depth of the chamber (default 80)\n"
    "  --steps N          angular steps per turn of the sweep, 50 to 1000 (default 100)\n"
    "  --help             this text\n";

struct Options {
  std::string eccentricity = "15";
  std::string rotorRadius = "105";
  std::string chamberWidth = "80";
  int steps = 100;
};

std::optional<int> parseSteps(const std::string& text) {
  const auto value = parseNumber(text);
  if (!value || *value != std::floor(*value) || *value < 50 || *value > 1000) return std::nullopt;
  return static_cast<int>(*value);
}

}  // namespace

int runCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  Options options;
  const auto fail = [&err](const std::string& line) {
    err << "rotary-ratio: " << line << "\n";
    return kExitBadUsage;
  };

  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string name = args[i];
    std::optional<std::string> value;
    if (const auto equals = name.find('='); name.rfind("--", 0) == 0 && equals != name.npos) {
      value = name.substr(equals + 1);
      name.resize(equals);
    }
    if (name == "--help" || name == "-h") {
      out << kUsage;
      return kExitOk;
    }
    std::string* target = nullptr;
    if (name == "--eccentricity") target = &options.eccentricity;
    if (name == "--rotor-radius") target = &options.rotorRadius;
    if (name == "--chamber-width") target = &options.chamberWidth;
    if (!target && name != "--steps")
      return fail("unknown option " + quoteForMessage(name) + " (try --help)");
    if (!value) {
      if (i + 1 == args.size()) return fail(name + ": a value is missing");
      value = args[++i];
    }
    if (target) {
      // The same checks as the window's, with the option named in place of the field.
      double number = 0;
      switch (convertNumber(*value, number)) {
        case Conversion::kNotANumber:
          return fail(notANumberMessage(name, *value));
        case Conversion::kTooLarge:
          return fail(tooLargeMessage(name, *value));
        case Conversion::kTooSmall:
          return fail(tooSmallMessage(name, *value));
        case Conversion::kNumber:
          if (number < 0) return fail(negativeMessage(name, *value));
          break;
      }
      *target = *value;
    } else if (const auto steps = parseSteps(*value)) {
      options.steps = *steps;
    } else {
      return fail(name + ": " + quoteForMessage(*value) + " is not a whole number from 50 to 1000");
    }
  }

  const HeadlessResult result = computeHeadless(options.eccentricity, options.rotorRadius,
                                                options.chamberWidth, options.steps);
  if (result.outcome != Outcome::kResults) {
    err << "rotary-ratio: " << result.message << "\n";
    return kExitComputationFailed;
  }
  // A note is no failure: the figures stand, and scripts that read standard output get them.
  if (!result.note.empty()) err << "rotary-ratio: " << result.note << "\n";
  out << "chamber capacity: " << result.capacity << "\n"
      << "dead volume: " << result.deadVolume << "\n"
      << "compression ratio: " << result.ratio << "\n";
  return kExitOk;
}

}  // namespace rotary
