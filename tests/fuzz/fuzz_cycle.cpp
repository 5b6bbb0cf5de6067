// Arbitrary texts through the conversion and, when they convert, arbitrary dimensions and step
// counts through a whole sweep and integration. Every case must end in three finite results or
// in one of the cycle's messages; a crash, a hang or a sanitizer report is a finding.
//
// Input: two bytes of step count (high bit set: taken as a raw 16-bit value, so that counts
// outside the scroll bar's range are tried too; otherwise 50 to 1000), then the eccentricity,
// rotor radius and chamber width texts separated by newlines. A third byte 0xFF instead makes the
// next 24 bytes three arbitrary doubles, typed in as the window would show them.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "headless.h"
#include "number_text.h"

namespace {

// How the cases ended, printed when the run ends.
long withResults = 0, withMessages = 0;
const bool reportAtExit = [] {
  std::atexit([] {
    std::printf("fuzzing outcomes: %ld cases with results, %ld with a message\n", withResults,
                withMessages);
  });
  return true;
}();

void require(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "finding: %s\n", what);
    std::abort();
  }
}

void checkConversion(const std::string& text) {
  const auto value = rotary::parseNumber(text);
  if (!value) return;
  require(std::isfinite(*value), "a converted text is not finite");
  const std::string shown = rotary::formatNumber(*value);
  const auto back = rotary::parseNumber(shown);
  require(back.has_value(), "a displayed number does not read back");
  require(rotary::formatNumber(*back) == shown, "a displayed number reads back differently");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const unsigned raw = data[0] | (data[1] << 8);
  const int steps = (raw & 0x8000) ? static_cast<std::int16_t>(raw) : 50 + raw % 951;

  std::vector<std::string> fields(3);
  const bool rawDoubles = size >= 27 && data[2] == 0xFF;
  if (rawDoubles) {
    for (std::size_t n = 0; n < 3; ++n) {
      double value = 0;
      std::memcpy(&value, data + 3 + 8 * n, sizeof value);
      fields[n] = rotary::formatNumber(value);
    }
  }
  std::size_t field = 0;
  for (std::size_t n = 2; n < size && !rawDoubles; ++n) {
    const char c = static_cast<char>(data[n]);
    if (c == '\n' && field < 2) {
      ++field;
    } else {
      fields[field] += c;
    }
  }
  for (const std::string& text : fields) checkConversion(text);

  const rotary::HeadlessResult result =
      rotary::computeHeadless(fields[0], fields[1], fields[2], steps);
  if (result.outcome == rotary::Outcome::kResults) {
    for (const std::string* shown : {&result.capacity, &result.deadVolume, &result.ratio}) {
      const auto value = rotary::parseNumber(*shown);
      require(value && std::isfinite(*value), "a result is not a finite number");
    }
    ++withResults;
  } else {
    require(result.outcome == rotary::Outcome::kMessage, "the cycle ended without results");
    require(!result.message.empty(), "no results and no message");
    ++withMessages;
  }
  // The shape's exact figures, where it has them, are an engine's: positive, finite volumes and
  // a ratio above 1.
  if (result.exact && result.exact->hasFigures()) {
    const rotary::ExactFigures& x = result.exact->figures;
    require(std::isfinite(x.capacity) && x.capacity > 0, "an exact capacity that is no volume");
    require(std::isfinite(x.deadVolume) && x.deadVolume > 0, "an exact dead volume that is none");
    require(std::isfinite(x.ratio) && x.ratio > 1, "an exact ratio not above 1");
  }
  return 0;
}
