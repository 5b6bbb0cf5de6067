// The modules a program loads only when a run needs them (the drawing with Qt, the solids with
// OpenCASCADE): each lies at a place fixed at build time relative to the program's own folder,
// the same in the build tree and installed.
#pragma once

#include <string>

namespace rotary::formats {

// The entry `symbol` of the module at `relativePath` from the program's folder, whose whole path
// goes in `path`; null with the reason in `error` (naming the module as `what`) when the module
// cannot be loaded or has no such entry. The module stays loaded until the program ends.
void* moduleEntry(const std::string& relativePath, const char* symbol, const std::string& what,
                  std::string& path, std::string& error);

}  // namespace rotary::formats
