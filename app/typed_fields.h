// What a text box holds as the design takes it: its text trimmed, or several numbers split at
// their commas.
#pragma once

#include <QLineEdit>
#include <string>
#include <vector>

#include "typed_number.h"

namespace rotary::app {

std::string typedText(const QLineEdit* box);

// "A,B,C" into its values in order; the last takes what is left, so that a box with too many
// numbers is refused as no number. An empty box leaves the values as they are.
void splitTyped(const QLineEdit* box, const std::vector<study::TypedNumber*>& into);

}  // namespace rotary::app
