// What a file name's extension asks for.
#pragma once

#include <string>

namespace rotary::exporting {

// The extension after the last dot of the file name, in lower case; empty when there is none.
std::string lowerExtension(const std::string& path);

}  // namespace rotary::exporting
