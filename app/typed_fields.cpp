#include "typed_fields.h"

namespace rotary::app {

std::string typedText(const QLineEdit* box) {
  return box->text().trimmed().toStdString();
}

void splitTyped(const QLineEdit* box, const std::vector<study::TypedNumber*>& into) {
  const std::string text = typedText(box);
  if (text.empty()) return;
  std::size_t from = 0;
  for (std::size_t n = 0; n < into.size(); ++n) {
    const std::size_t comma = n + 1 == into.size() ? text.npos : text.find(',', from);
    *into[n] = text.substr(from, comma == text.npos ? text.npos : comma - from);
    from = comma == text.npos ? text.size() : comma + 1;
  }
}

}  // namespace rotary::app
