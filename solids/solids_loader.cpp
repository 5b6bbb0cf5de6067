#include "module_loader.h"
#include "solids.h"

namespace rotary::solids {

#define ROTARY_STRINGIFY(name) #name
#define ROTARY_NAME_OF(name) ROTARY_STRINGIFY(name)

const Solids* loadSolids(std::string& error) {
  // Loaded once, and kept.
  static const formats::LoadedModule<Solids> loaded = formats::loadModule<Solids>(
      ROTARY_SOLIDS_MODULE, ROTARY_NAME_OF(ROTARY_SOLIDS_ENTRY), "solids module");
  error = loaded.error;
  return loaded.module;
}

}  // namespace rotary::solids
