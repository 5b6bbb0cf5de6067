// Numbers as the text boxes show them, and texts as the cycle reads them.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace rotary {

// Rounded to 15 significant digits, then written without trailing zeros or a needless decimal
// point; zero of either sign is "0". Magnitudes from 1e-5 up to below 1e15 are written as plain
// decimals, others in exponent form ("1.5E+300"), which reads back the same.
std::string formatNumber(double value);

// The value with the given number of significant digits in the shortest of plain and exponent
// form ("654.715", "1.5e+300"), independent of the locale; 17 digits read back the same double.
std::string significantDigits(double value, int digits);

// The double nearest to the value rounded to the given number of significant digits: what
// significantDigits writes, as a number (formatNumber shows 15).
double roundedToDigits(double value, int digits);

// roundedToDigits and formatNumber of it at once, for 15 digits or fewer: one conversion for
// both, as a table writes many.
struct RoundedNumber {
  double value;
  std::string text;
};
RoundedNumber roundedNumber(double value, int digits);

// Strict decimal conversion: optional surrounding spaces, a sign, digits with at most one
// decimal point, an optional exponent; spaces, tabs and non-breaking spaces around it are
// ignored. Anything else, and a value beyond the range of a double or below its normal range
// (other than zero itself), gives nothing.
std::optional<double> parseNumber(std::string_view text);

enum class Conversion { kNumber, kNotANumber, kTooLarge, kTooSmall };
// The same conversion, telling a number too large or too small for a double from a text that is
// no number.
Conversion convertNumber(std::string_view text, double& value);

// Rounds towards minus infinity and keeps the double.
double Int(double value);

// Whether the window's font can draw a character; one it cannot would show as an empty box.
using ShownCharacters = std::function<bool(char32_t)>;

// The text quoted for a message: at most about 40 characters, long pastes elided with "...",
// and control, invisible and direction-changing characters shown as escapes (\t, \u202E), so
// that a message never hides, reverses or runs away with the text around it. Characters that
// `shown` (where given) says the window cannot draw are shown as escapes too (\uFF11).
std::string quoteForMessage(std::string_view text, const ShownCharacters& shown = nullptr);

}  // namespace rotary
