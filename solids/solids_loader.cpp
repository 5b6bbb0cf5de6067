#include "module_loader.h"
#include "solids.h"

namespace rotary::solids {

#define ROTARY_STRINGIFY(name) #name
#define ROTARY_NAME_OF(name) ROTARY_STRINGIFY(name)

SolidEngine solidEngineOf(const study::EngineRow& row) {
  const study::Design& d = row.input;
  SolidEngine engine;
  engine.e = d.eccentricity.valueOr(0);
  engine.R = d.rotorRadius.valueOr(0);
  engine.W = d.chamberWidth.valueOr(0);
  engine.real = d.realEngine();
  engine.ports = d.portList();
  engine.metresPerUnit = d.lengthUnit().metres;
  engine.rpm = d.rpm.number;
  engine.rotors = d.rotorCount();
  engine.settings = study::solidSettingsOf(d);
  if (row.pocket) {
    engine.pocket =
        RecessPocket{d.pocketLength.valueOr(0), d.pocketWidth.valueOr(0), d.pocketLead.valueOr(0)};
    engine.pocketDepth = row.pocket->depth;
  }
  return engine;
}

const Solids* loadSolids(std::string& error) {
  // Loaded once, and kept.
  static const formats::LoadedModule<Solids> loaded = formats::loadModule<Solids>(
      ROTARY_SOLIDS_MODULE, ROTARY_NAME_OF(ROTARY_SOLIDS_ENTRY), "solids module");
  error = loaded.error;
  return loaded.module;
}

const Solids* loadSolidsBeside(const void* anchor, std::string& error) {
  static const formats::LoadedModule<Solids> loaded = formats::loadModule<Solids>(
      ROTARY_SOLIDS_FILE, ROTARY_NAME_OF(ROTARY_SOLIDS_ENTRY), "solids module", anchor);
  error = loaded.error;
  return loaded.module;
}

}  // namespace rotary::solids
