// The module's entry: OpenCASCADE's failures are caught here and become the caller's message.
#include <Standard_Failure.hxx>
#include <string>

#include "mass.h"
#include "parts.h"
#include "solids.h"
#include "writers.h"

namespace rotary::solids {
namespace {

bool build(const SolidEngine& engine, const SolidsRequest& request, SolidsResult& result,
           std::string& error) {
  try {
    Parts parts;
    // The figures alone take the rotor alone.
    const bool files = request.step || request.stepParts || request.stl;
    if (!buildParts(engine, parts, error, files)) return false;
    result.figures = measure(engine, parts);
    result.parts = partVolumes(parts);
    const std::vector<NamedPart> named = {{"ROTOR_HOUSING", &parts.rotorHousing},
                                          {"SIDE_HOUSING_FRONT", &parts.sideFront},
                                          {"SIDE_HOUSING_REAR", &parts.sideRear},
                                          {"ROTOR", &parts.rotor}};
    if (request.step) result.step.push_back({"", stepOf(named, request.unit)});
    if (request.stepParts) {
      for (const NamedPart& part : named) {
        result.step.push_back({part.name, stepOf({part}, request.unit)});
      }
    }
    if (request.stl) {
      for (const NamedPart& part : named) {
        result.stl.push_back({part.name, stlOf(*part.shape, engine.settings.chord)});
      }
    }
    return true;
  } catch (const Standard_Failure& failure) {
    error = std::string("the solids cannot be made: ") + failure.GetMessageString();
    return false;
  }
}

const Solids kSolids{&build};

}  // namespace
}  // namespace rotary::solids

extern "C" __attribute__((visibility("default"))) const rotary::solids::Solids* ROTARY_SOLIDS_ENTRY(
    const char* version) {
  return std::string(version) == ROTARY_VERSION ? &rotary::solids::kSolids : nullptr;
}
