#include "ranges.h"

#include <cmath>

#include "number_text.h"

namespace rotary::study {
namespace {

struct Range {
  double start = 0, stop = 0, step = 0;
};

std::string quoted(const std::string& text) {
  return quoteForMessage(text);
}

// Splits START:STOP:STEP; says what is wrong otherwise.
bool splitRange(const std::string& text, Range& range, std::string& error) {
  const auto first = text.find(':');
  const auto second = text.find(':', first + 1);
  if (second == std::string::npos || text.find(':', second + 1) != std::string::npos) {
    error = quoted(text) + " is no range; a range is START:STOP:STEP";
    return false;
  }
  const std::string parts[] = {text.substr(0, first), text.substr(first + 1, second - first - 1),
                               text.substr(second + 1)};
  double* targets[] = {&range.start, &range.stop, &range.step};
  const char* names[] = {"start", "stop", "step"};
  for (int n = 0; n < 3; ++n) {
    const auto value = parseNumber(parts[n]);
    if (!value) {
      // "inf" and "nan" read as numbers elsewhere; here they are just not finite.
      const double loose = std::strtod(parts[n].c_str(), nullptr);
      const bool infinite = !parts[n].empty() && !std::isfinite(loose);
      error = quoted(text) + ": the " + names[n] + " " + quoted(parts[n]) +
              (infinite ? " is not finite" : " is not a number");
      return false;
    }
    *targets[n] = *value;
  }
  if (range.step == 0) {
    error = quoted(text) + " has a step of 0";
  } else if (range.step < 0) {
    error = quoted(text) + " has a negative step";
  } else if (range.stop < range.start) {
    error = quoted(text) + " stops before it starts";
  } else if ((range.stop - range.start) / range.step + 1 > kMostEngines) {
    error = quoted(text) + " makes more than " + std::to_string(kMostEngines) + " values";
  }
  return error.empty();
}

std::vector<double> expand(const Range& range) {
  const double tolerance = range.step * 1e-6;
  const long count =
      static_cast<long>(std::floor((range.stop - range.start + tolerance) / range.step)) + 1;
  std::vector<double> values;
  for (long k = 0; k < count; ++k) {
    double value = range.start + static_cast<double>(k) * range.step;
    if (std::abs(value - range.stop) <= tolerance) value = range.stop;
    values.push_back(value);
  }
  return values;
}

}  // namespace

bool isRange(const std::string& text) {
  return text.find(':') != std::string::npos;
}

Values parseValues(const std::string& text) {
  Values out;
  if (!isRange(text)) {
    out.texts.push_back(text);
    return out;
  }
  Range range;
  if (!splitRange(text, range, out.error)) return out;
  for (const double value : expand(range)) out.texts.push_back(formatNumber(value));
  return out;
}

Values parseStepValues(const std::string& text, int fewest, int most) {
  Values out;
  const std::string wanted =
      " is not a whole number from " + std::to_string(fewest) + " to " + std::to_string(most);
  std::vector<double> values;
  if (isRange(text)) {
    Range range;
    if (!splitRange(text, range, out.error)) return out;
    if (range.start != std::floor(range.start) || range.step != std::floor(range.step)) {
      out.error = quoted(text) + " has a start or step that is not a whole number";
      return out;
    }
    values = expand(range);
  } else if (const auto value = parseNumber(text)) {
    values.push_back(*value);
  } else {
    out.error = quoted(text) + wanted;
    return out;
  }
  for (const double value : values) {
    if (value != std::floor(value) || value < fewest || value > most) {
      out.error =
          (isRange(text) ? quoted(text) + ": " + formatNumber(value) : quoted(text)) + wanted;
      out.texts.clear();
      return out;
    }
    out.texts.push_back(formatNumber(value));
  }
  return out;
}

}  // namespace rotary::study
