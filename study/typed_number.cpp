#include "typed_number.h"

#include "number_text.h"

namespace rotary::study {

TypedNumber::TypedNumber(std::string typed) : text(std::move(typed)), number(parseNumber(text)) {}

std::string TypedNumber::shown() const {
  return number ? formatNumber(*number) : text;
}

}  // namespace rotary::study
