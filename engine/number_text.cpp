#include "number_text.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
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

std::string formatNumber(double value) {
  if (value == 0) return "0";
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value < 0 ? "-Infinity" : "Infinity";

  // d.dddddddddddddde±x, correctly rounded and independent of the locale.
  char buffer[48];
  const auto written = std::to_chars(buffer, buffer + sizeof buffer, value,
                                     std::chars_format::scientific, kSignificantDigits - 1);
  const std::string_view text(buffer, static_cast<std::size_t>(written.ptr - buffer));
  const auto ePosition = text.find('e');
  const bool negative = text.front() == '-';
  std::string digits;
  for (char c : text.substr(0, ePosition)) {
    if (isDigit(c)) digits += c;
  }
  const int exponent = std::atoi(std::string(text.substr(ePosition + 1)).c_str());
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

  std::string out = negative ? "-" : "";
  if (exponent < kSmallestPlainExponent || exponent > kLargestPlainExponent) {
    out += digits.front();
    if (digits.size() > 1) out += "." + digits.substr(1);
    out += exponent < 0 ? "E-" : "E+";
    const std::string magnitude = std::to_string(std::abs(exponent));
    out += (magnitude.size() < 2 ? "0" : "") + magnitude;
  } else if (exponent < 0) {
    out += "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
  } else {
    const auto wholeDigits = static_cast<std::size_t>(exponent) + 1;
    if (digits.size() <= wholeDigits) {
      out += digits + std::string(wholeDigits - digits.size(), '0');
    } else {
      out += digits.substr(0, wholeDigits) + "." + digits.substr(wholeDigits);
    }
  }
  return out;
}

std::optional<double> parseNumber(std::string_view text) {
  double value = 0;
  if (convertNumber(text, value) != Conversion::kNumber) return std::nullopt;
  return value;
}

Conversion convertNumber(std::string_view text, double& out) {
  while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);

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
  if (result.ec == std::errc::result_out_of_range) {
    if (roughDecimalExponent(mantissa, exponent) >= 0) return Conversion::kTooLarge;
    value = 0;  // too small to hold: zero
  } else if (result.ec != std::errc() || result.ptr != text.data() + text.size()) {
    return Conversion::kNotANumber;
  }
  out = negative ? -value : value;
  return Conversion::kNumber;
}

double Int(double value) {
  return std::floor(value);
}

std::string quoteForMessage(std::string_view text) {
  constexpr std::size_t kLongest = 40;
  std::string quoted = "\"";
  if (text.size() <= kLongest) {
    quoted += text;
  } else {
    std::size_t cut = kLongest;
    // Do not cut a multi-byte character in two.
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    quoted += text.substr(0, cut);
    quoted += "...";
  }
  return quoted + "\"";
}

}  // namespace rotary
