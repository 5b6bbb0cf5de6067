#include "typed_number.h"

#include "messages.h"
#include "number_text.h"

namespace rotary::study {

TypedNumber::TypedNumber(std::string typed) : text(std::move(typed)), number(parseNumber(text)) {}

std::string TypedNumber::shown() const {
  return number ? formatNumber(*number) : text;
}

std::string lengthRefusal(std::string_view field, const TypedNumber& length) {
  if (length.number) return *length.number < 0 ? negativeMessage(field, length.text) : "";
  double ignored = 0;
  switch (convertNumber(length.text, ignored)) {
    case Conversion::kTooLarge:
      return tooLargeMessage(field, length.text);
    case Conversion::kTooSmall:
      return tooSmallMessage(field, length.text);
    default:
      return notANumberMessage(field, length.text);
  }
}

}  // namespace rotary::study
