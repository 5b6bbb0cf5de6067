#include "number_text.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <system_error>

namespace rotary {
namespace {

constexpr int kSignificantDigits = 15;
constexpr int kSmallestPlainExponent = -5;
constexpr int kLargestPlainExponent = kSignificantDigits - 1;

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}
bool isSpace(char c) {
  return c == ' ' || c == '\t';
}

// A non-breaking space, as word processors and web pages put around numbers.
constexpr std::string_view kNoBreakSpace = "\xc2\xa0";

std::string_view trimSpaces(std::string_view text) {
  for (;;) {
    if (!text.empty() && isSpace(text.front())) {
      text.remove_prefix(1);
    } else if (text.starts_with(kNoBreakSpace)) {
      text.remove_prefix(kNoBreakSpace.size());
    } else {
      break;
    }
  }
  for (;;) {
    if (!text.empty() && isSpace(text.back())) {
      text.remove_suffix(1);
    } else if (text.ends_with(kNoBreakSpace)) {
      text.remove_suffix(kNoBreakSpace.size());
    } else {
      break;
    }
  }
  return text;
}

// The decimal exponent of the first significant digit of a well-formed number, clamped so that
// absurdly long exponents cannot overflow. Only its sign matters: it tells an overflow from an
// underflow.
long roughDecimalExponent(std::string_view mantissa, long exponent) {
  const auto point = mantissa.find('.');
  const std::string_view whole = mantissa.substr(0, point);
  const auto firstWhole = whole.find_first_not_of('0');
  long position = 0;
  if (firstWhole != std::string_view::npos) {
    position = static_cast<long>(whole.size() - firstWhole) - 1;
  } else if (point != std::string_view::npos) {
    const std::string_view fraction = mantissa.substr(point + 1);
    position = -static_cast<long>(fraction.find_first_not_of('0')) - 1;
  }
  return position + exponent;
}

}  // namespace

std::string significantDigits(double value, int digits) {
  char buffer[48];
  const auto end =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, digits).ptr;
  return std::string(buffer, end);
}

double roundedToDigits(double value, int digits) {
  if (!std::isfinite(value)) return value;
  char buffer[48];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, value,
                                 std::chars_format::scientific, digits - 1)
                       .ptr;
  double rounded = value;
  std::from_chars(buffer, end, rounded, std::chars_format::scientific);
  return rounded;
}

namespace {

// The display format of a number written in scientific form with at most 15 significant digits
// ("-6.5471520000000e+02"): its digits without trailing zeros, plain or in exponent form.
std::string displayedScientific(const char* text, const char* written) {
  const bool negative = text[0] == '-';
  char digits[kSignificantDigits];
  int count = 0;
  const char* at = text + (negative ? 1 : 0);
  for (; at < written && *at != 'e'; ++at) {
    if (isDigit(*at)) digits[count++] = *at;
  }
  int exponent = 0;
  std::from_chars(at + 1 + (at[1] == '+' ? 1 : 0), written, exponent);
  while (count > 1 && digits[count - 1] == '0') --count;

  char out[48];
  char* put = out;
  if (negative) *put++ = '-';
  const auto copy = [&put](const char* from, int length) {
    for (int n = 0; n < length; ++n) *put++ = from[n];
  };
  if (exponent < kSmallestPlainExponent || exponent > kLargestPlainExponent) {
    *put++ = digits[0];
    if (count > 1) {
      *put++ = '.';
      copy(digits + 1, count - 1);
    }
    *put++ = 'E';
    *put++ = exponent < 0 ? '-' : '+';
    const int magnitude = std::abs(exponent);
    if (magnitude < 10) *put++ = '0';
    put = std::to_chars(put, out + sizeof out, magnitude).ptr;
  } else if (exponent < 0) {
    *put++ = '0';
    *put++ = '.';
    for (int n = 0; n < -exponent - 1; ++n) *put++ = '0';
    copy(digits, count);
  } else {
    const int whole = exponent + 1;
    if (count <= whole) {
      copy(digits, count);
      for (int n = count; n < whole; ++n) *put++ = '0';
    } else {
      copy(digits, whole);
      *put++ = '.';
      copy(digits + whole, count - whole);
    }
  }
  return std::string(out, put);
}

// Zero, NaN and the infinities as the display format writes them; empty for other numbers.
const char* displayedSpecially(double value) {
  if (value == 0) return "0";
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value < 0 ? "-Infinity" : "Infinity";
  return "";
}

}  // namespace

std::string formatNumber(double value) {
  if (const char* special = displayedSpecially(value); *special) return special;
  // d.dddddddddddddde±x, correctly rounded and independent of the locale.
  char buffer[48];
  const char* const written = std::to_chars(buffer, buffer + sizeof buffer, value,
                                            std::chars_format::scientific, kSignificantDigits - 1)
                                  .ptr;
  return displayedScientific(buffer, written);
}

RoundedNumber roundedNumber(double value, int digits) {
  if (const char* special = displayedSpecially(value); *special) return {value, special};
  char buffer[48];
  const char* const written = std::to_chars(buffer, buffer + sizeof buffer, value,
                                            std::chars_format::scientific, digits - 1)
                                  .ptr;
  double rounded = value;
  const auto read = std::from_chars(buffer, written, rounded, std::chars_format::scientific);
  // A number of these few digits is its own rounding to 15, and so has the text formatNumber
  // writes; not so beyond the largest double or among the subnormal ones, which lack digits.
  if (read.ec != std::errc() || std::abs(rounded) < std::numeric_limits<double>::min()) {
    return {rounded, formatNumber(rounded)};
  }
  return {rounded, displayedScientific(buffer, written)};
}

std::optional<double> parseNumber(std::string_view text) {
  double value = 0;
  if (convertNumber(text, value) != Conversion::kNumber) return std::nullopt;
  return value;
}

Conversion convertNumber(std::string_view text, double& out) {
  text = trimSpaces(text);

  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }

  std::size_t pos = 0;
  int mantissaDigits = 0;
  bool seenPoint = false;
  for (; pos < text.size(); ++pos) {
    const char c = text[pos];
    if (isDigit(c)) {
      ++mantissaDigits;
    } else if (c == '.' && !seenPoint) {
      seenPoint = true;
    } else {
      break;
    }
  }
  if (mantissaDigits == 0) return Conversion::kNotANumber;
  const std::string_view mantissa = text.substr(0, pos);

  long exponent = 0;
  if (pos < text.size()) {
    if (text[pos] != 'e' && text[pos] != 'E') return Conversion::kNotANumber;
    ++pos;
    bool negativeExponent = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
      negativeExponent = text[pos] == '-';
      ++pos;
    }
    const std::size_t firstExponentDigit = pos;
    for (; pos < text.size() && isDigit(text[pos]); ++pos) {
      if (exponent < 1'000'000'000) exponent = exponent * 10 + (text[pos] - '0');
    }
    if (pos == firstExponentDigit || pos != text.size()) return Conversion::kNotANumber;
    if (negativeExponent) exponent = -exponent;
  }

  double value = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  const bool anyDigitAboveZero = mantissa.find_first_of("123456789") != std::string_view::npos;
  if (result.ec == std::errc::result_out_of_range) {
    if (roughDecimalExponent(mantissa, exponent) >= 0) return Conversion::kTooLarge;
    value = 0;
  } else if (result.ec != std::errc() || result.ptr != text.data() + text.size()) {
    return Conversion::kNotANumber;
  }
  // A length typed as more than zero must not turn into zero, or into a denormal that has lost
  // its digits, without a word.
  if (anyDigitAboveZero && std::abs(value) < std::numeric_limits<double>::min()) {
    return Conversion::kTooSmall;
  }
  out = negative ? -value : value;
  return Conversion::kNumber;
}

double Int(double value) {
  return std::floor(value);
}

namespace {

// One character of UTF-8 text: its code point, or -1 for a byte that starts no valid character.
struct Decoded {
  long codePoint;
  std::size_t length;
};

Decoded decodeUtf8(std::string_view text, std::size_t at) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[at + k]); };
  const unsigned char lead = byte(0);
  if (lead < 0x80) return {lead, 1};
  std::size_t length = 0;
  long value = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, value = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, value = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, value = lead & 0x07;
  } else {
    return {-1, 1};
  }
  if (at + length > text.size()) return {-1, 1};
  for (std::size_t k = 1; k < length; ++k) {
    if ((byte(k) & 0xC0) != 0x80) return {-1, 1};
    value = (value << 6) | (byte(k) & 0x3F);
  }
  const long smallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (value < smallest[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
    return {-1, 1};
  }
  return {value, length};
}

// Characters that show nothing, move the text or turn its direction.
bool needsEscape(long c) {
  return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0xAD || c == 0x34F || c == 0x61C ||
         c == 0x115F || c == 0x1160 || c == 0x180E || (c >= 0x200B && c <= 0x200F) ||
         (c >= 0x2028 && c <= 0x202E) || (c >= 0x2060 && c <= 0x206F) || c == 0x3164 ||
         (c >= 0xFE00 && c <= 0xFE0F) || c == 0xFEFF || (c >= 0xFFF0 && c <= 0xFFFB) ||
         (c >= 0x1D173 && c <= 0x1D17A) || (c >= 0xE0000 && c <= 0xE0FFF);
}

std::string hex(unsigned long value, int digits) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string out(static_cast<std::size_t>(digits), '0');
  for (int k = digits - 1; k >= 0; --k, value >>= 4)
    out[static_cast<std::size_t>(k)] = kDigits[value & 0xF];
  return out;
}

bool escaped(const Decoded& c, const ShownCharacters& shown) {
  return c.codePoint < 0 || needsEscape(c.codePoint) ||
         (shown && !shown(static_cast<char32_t>(c.codePoint)));
}

std::string visibleForm(std::string_view text, std::size_t at, const Decoded& c,
                        const ShownCharacters& shown) {
  if (c.codePoint < 0) return "\\x" + hex(static_cast<unsigned char>(text[at]), 2);
  if (!escaped(c, shown)) return std::string(text.substr(at, c.length));
  switch (c.codePoint) {
    case '\t':
      return "\\t";
    case '\n':
      return "\\n";
    case '\r':
      return "\\r";
  }
  const auto value = static_cast<unsigned long>(c.codePoint);
  return value > 0xFFFF ? "\\U" + hex(value, 8) : "\\u" + hex(value, 4);
}

}  // namespace

std::string quoteForMessage(std::string_view text, const ShownCharacters& drawable) {
  constexpr std::size_t kLongest = 40;  // characters shown, escapes counted at their length
  std::string shown;
  std::size_t shownLength = 0;
  for (std::size_t at = 0; at < text.size();) {
    const Decoded c = decodeUtf8(text, at);
    const std::string form = visibleForm(text, at, c, drawable);
    const std::size_t formLength = escaped(c, drawable) ? form.size() : 1;
    if (shownLength + formLength > kLongest) {
      shown += "...";
      break;
    }
    shown += form;
    shownLength += formLength;
    at += c.length;
  }
  return "\"" + shown + "\"";
}

}  // namespace rotary
