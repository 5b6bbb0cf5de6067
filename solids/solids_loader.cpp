#include "module_loader.h"
#include "solids.h"

namespace rotary::solids {
namespace {

#define ROTARY_STRINGIFY(name) #name
#define ROTARY_NAME_OF(name) ROTARY_STRINGIFY(name)

struct Loaded {
  const Solids* solids = nullptr;
  std::string error;
};

Loaded load() {
  Loaded loaded;
  std::string path;
  void* entry = formats::moduleEntry(ROTARY_SOLIDS_MODULE, ROTARY_NAME_OF(ROTARY_SOLIDS_ENTRY),
                                     "solids module", path, loaded.error);
  if (!entry) return loaded;
  loaded.solids = reinterpret_cast<SolidsEntry>(entry)(ROTARY_VERSION);
  if (!loaded.solids) {
    loaded.error = "the solids module " + path + " belongs to another version than " +
                   ROTARY_VERSION + "; reinstall rotary-ratio";
  }
  return loaded;
}

}  // namespace

const Solids* loadSolids(std::string& error) {
  static const Loaded loaded = load();
  error = loaded.error;
  return loaded.solids;
}

}  // namespace rotary::solids
