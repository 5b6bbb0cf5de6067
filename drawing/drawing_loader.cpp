#include "drawing.h"
#include "module_loader.h"

namespace rotary::drawing {
namespace {

#define ROTARY_STRINGIFY(name) #name
#define ROTARY_NAME_OF(name) ROTARY_STRINGIFY(name)

struct Loaded {
  const Drawing* drawing = nullptr;
  std::string error;
};

Loaded load() {
  Loaded loaded;
  std::string path;
  void* entry = formats::moduleEntry(ROTARY_DRAWING_MODULE, ROTARY_NAME_OF(ROTARY_DRAWING_ENTRY),
                                     "drawing module", path, loaded.error);
  if (!entry) return loaded;
  loaded.drawing = reinterpret_cast<DrawingEntry>(entry)(ROTARY_VERSION);
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
