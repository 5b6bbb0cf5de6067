// The modules a program loads only when a run needs them (the drawing with Qt, the solids with
// OpenCASCADE): each lies at a place fixed at build time relative to the program's own folder,
// the same in the build tree and installed.
#pragma once

#include <string>

namespace rotary::formats {

// The entry `symbol` of the module at `relativePath` from the program's folder (with `anchor`,
// from the folder of the library that holds that address: Python's extension, whose program is
// Python), whose whole path goes in `path`; null with the reason in `error` (naming the module
// as `what`) when the module cannot be loaded or has no such entry. The module stays loaded
// until the program ends.
void* moduleEntry(const std::string& relativePath, const char* symbol, const std::string& what,
                  std::string& path, std::string& error, const void* anchor = nullptr);

// A module's functions as its entry gives them to this version of the program, or why not.
template <typename Module>
struct LoadedModule {
  const Module* module = nullptr;
  std::string error;
};

// Loads the module and asks its entry, a `const Module* (*)(const char* version)`, for this
// version's functions: a module of another version gives none, and is named so.
template <typename Module>
LoadedModule<Module> loadModule(const std::string& relativePath, const char* symbol,
                                const std::string& what, const void* anchor = nullptr) {
  LoadedModule<Module> loaded;
  std::string path;
  void* entry = moduleEntry(relativePath, symbol, what, path, loaded.error, anchor);
  if (!entry) return loaded;
  using Entry = const Module* (*)(const char*);
  loaded.module = reinterpret_cast<Entry>(entry)(ROTARY_VERSION);
  if (!loaded.module) {
    loaded.error = "the " + what + " " + path + " belongs to another version than " +
                   ROTARY_VERSION + "; reinstall rotary-ratio";
  }
  return loaded;
}

}  // namespace rotary::formats
