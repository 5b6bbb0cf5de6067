#include "drawing.h"
#include "module_loader.h"

namespace rotary::drawing {

#define ROTARY_STRINGIFY(name) #name
#define ROTARY_NAME_OF(name) ROTARY_STRINGIFY(name)

const Drawing* loadDrawing(std::string& error) {
  // Loaded once, and kept.
  static const formats::LoadedModule<Drawing> loaded = formats::loadModule<Drawing>(
      ROTARY_DRAWING_MODULE, ROTARY_NAME_OF(ROTARY_DRAWING_ENTRY), "drawing module");
  error = loaded.error;
  return loaded.module;
}

}  // namespace rotary::drawing
