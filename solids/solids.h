// The engine as solids a shop can cut: the rotor housing, the two side housings and the rotor,
// built from the exact curves with OpenCASCADE, measured, and written as STEP and STL. Loading
// OpenCASCADE takes longer than computing an engine, so the solids live in a module of their own,
// which a run loads only when it asks for a solid; nothing here names an OpenCASCADE type.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "port_timing.h"
#include "real_engine.h"
#include "recess_pocket.h"
#include "runner.h"
#include "solid_settings.h"

namespace rotary::solids {

// One engine, its lengths in its unit.
struct SolidEngine {
  double e = 0, R = 0, W = 0;
  RealEngine real;
  std::vector<PortDefinition> ports;
  double metresPerUnit = 0.001;
  std::optional<double> rpm;
  int rotors = 1;
  study::SolidSettings settings;
  // The recess's pocket in each flank, at its depth; none for a rotor without one.
  std::optional<RecessPocket> pocket;
  double pocketDepth = 0;
};

// The engine of a row whose real engine has figures, with its pocket, settings and ports, as
// every face builds it.
SolidEngine solidEngineOf(const study::EngineRow& row);

using study::SolidFigures;

// The files asked for: the bytes of each, named by its part (empty for the whole assembly).
struct SolidFile {
  std::string part;
  std::string content;
};

struct SolidsRequest {
  bool step = false;       // the assembly, every part named and coloured
  bool stepParts = false;  // one STEP file a part
  bool stl = false;        // one binary STL file a part
  std::string unit = "mm";
};

// Each part's volume, by its name: ROTOR, ROTOR_HOUSING, SIDE_HOUSING_FRONT, SIDE_HOUSING_REAR.
struct PartVolume {
  std::string name;
  double volume = 0;
};

struct SolidsResult {
  SolidFigures figures;
  std::vector<PartVolume> parts;
  std::vector<SolidFile> step, stl;
};

// What the module does: builds the parts, checks them, measures them and writes what is asked;
// false with the reason in `error` when a part cannot be made.
struct Solids {
  bool (*build)(const SolidEngine& engine, const SolidsRequest& request, SolidsResult& result,
                std::string& error);
};

#define ROTARY_SOLIDS_ENTRY rotary_ratio_solids
using SolidsEntry = const Solids* (*)(const char* version);

// Loads the module beside the program, once; null with the reason in `error` when it cannot.
const Solids* loadSolids(std::string& error);
// The same from the folder of the library holding `anchor`, where a copy lies beside it (the
// Python package's).
const Solids* loadSolidsBeside(const void* anchor, std::string& error);

}  // namespace rotary::solids
