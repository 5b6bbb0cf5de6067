// What the binding's files share: the refusal Python sees as DesignError, a number a script
// passed as a design holds it, and numbers as a numpy array.
#pragma once

#include <pybind11/numpy.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <stdexcept>
#include <vector>

#include "number_text.h"
#include "typed_number.h"

namespace rotary::python {

// A design that breaks a rule: raised as DesignError, a ValueError, with the rule's words.
struct DesignRefused : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Written so that it reads back the same.
inline study::TypedNumber typed(double value) {
  if (std::isfinite(value)) return significantDigits(value, 17);
  // NaN and the infinities are no lengths, whatever a parser makes of their names.
  study::TypedNumber none;
  none.text = formatNumber(value);
  return none;
}
inline study::TypedNumber typed(std::optional<double> value) {
  return value ? typed(*value) : study::TypedNumber();
}

inline pybind11::array_t<double> arrayOf(const std::vector<double>& values) {
  pybind11::array_t<double> array(static_cast<pybind11::ssize_t>(values.size()));
  std::copy(values.begin(), values.end(), array.mutable_data());
  return array;
}

}  // namespace rotary::python
