#include <dlfcn.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>

#include "drawing.h"

namespace rotary::drawing {
namespace {

#define ROTARY_STRINGIFY(name) #name
#define ROTARY_NAME_OF(name) ROTARY_STRINGIFY(name)

// The program's own folder: the module's place is known relative to it, wherever the package
// or the build put both.
bool programFolder(std::string& folder, std::string& error) {
  char path[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) {
    error = std::string("the program's own path cannot be read: ") + std::strerror(errno);
    return false;
  }
  folder.assign(path, static_cast<size_t>(length));
  folder.erase(folder.rfind('/') + 1);
  return true;
}

struct Loaded {
  const Drawing* drawing = nullptr;
  std::string error;
};

Loaded load() {
  Loaded loaded;
  std::string folder;
  if (!programFolder(folder, loaded.error)) return loaded;
  const std::string path = folder + ROTARY_DRAWING_MODULE;
  // Kept until the program ends: Qt's objects in it live as long as the process.
  void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!module) {
    loaded.error = std::string("the drawing module cannot be loaded: ") + dlerror();
    return loaded;
  }
  const auto entry =
      reinterpret_cast<DrawingEntry>(dlsym(module, ROTARY_NAME_OF(ROTARY_DRAWING_ENTRY)));
  if (!entry) {
    loaded.error = "the drawing module " + path + " is not this program's";
    return loaded;
  }
  loaded.drawing = entry(ROTARY_VERSION);
  if (!loaded.drawing) {
    loaded.error = "the drawing module " + path + " belongs to another version than " +
                   ROTARY_VERSION + "; reinstall rotary-ratio";
  }
  return loaded;
}

}  // namespace

const Drawing* loadDrawing(std::string& error) {
  static const Loaded loaded = load();
  error = loaded.error;
  return loaded.drawing;
}

}  // namespace rotary::drawing
