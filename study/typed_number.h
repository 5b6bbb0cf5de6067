// A value as the user typed it, beside the number it reads as. The text is parsed once, where
// the row is made; everything below formats the number and never parses the text again.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace rotary::study {

struct TypedNumber {
  std::string text;              // as typed, for the cycle that reads texts and for messages
  std::optional<double> number;  // none when the text is no number the engine can take

  TypedNumber() = default;
  // Rows are made from the texts a user typed, a range gave or a script passed.
  TypedNumber(std::string typed);  // NOLINT(google-explicit-constructor)
  TypedNumber(const char* typed) : TypedNumber(std::string(typed)) {}

  bool empty() const { return text.empty(); }
  // As the window echoes an input: the number in the display format, anything else as typed.
  std::string shown() const;
  double valueOr(double fallback) const { return number.value_or(fallback); }
  // The number follows from the text: two values typed alike are the same value.
  bool operator==(const TypedNumber& other) const { return text == other.text; }
};

// Why a typed length is none the engine takes, as the window and the companion say it: no
// number, too large, too small to tell from 0, or negative; empty when it is a length. `field`
// names it ("seal offset", "--seal-offset").
std::string lengthRefusal(std::string_view field, const TypedNumber& length);

}  // namespace rotary::study
