#include "solids_binding.h"

#include "binding.h"
#include "design_outcome.h"
#include "solid_files.h"
#include "solids.h"

namespace py = pybind11;

namespace rotary::python {

py::dict solidsFor(study::Design design, const std::optional<std::string>& step, bool stepParts,
                   const std::optional<std::string>& stl) {
  design.solids = true;
  const study::DesignOutcome outcome = study::designOutcome(design, study::Face::kPython);
  if (!outcome.message.empty()) throw DesignRefused(outcome.message);
  if (stepParts && !step) throw py::value_error("step_parts goes with step");
  // OpenCASCADE comes in only now, from the copy of the module in this package's folder.
  std::string why;
  const solids::Solids* maker =
      solids::loadSolidsBeside(reinterpret_cast<const void*>(&solidsFor), why);
  if (!maker) throw std::runtime_error(why);
  const solids::SolidEngine engine = solids::solidEngineOf(outcome.row);
  const solids::SolidsRequest request = solids::requestFor(step, stepParts, stl, design.unit);
  solids::SolidsResult made;
  bool built = false;
  {
    py::gil_scoped_release released;
    built = maker->build(engine, request, made, why);
  }
  if (!built) throw DesignRefused(why);
  const std::vector<solids::SolidFilePath> paths = solids::solidFilePaths(step, stepParts, stl);
  if (!solids::writeSolidFiles(paths, made, why)) {
    PyErr_SetString(PyExc_OSError, why.c_str());
    throw py::error_already_set();
  }
  const study::SolidFigures& f = made.figures;
  py::dict d;
  d["rotor_volume"] = f.rotorVolume;
  d["rotor_mass"] = f.rotorMass;
  d["rotor_centre_offset"] = f.rotorCentreOffset;
  d["rotor_moment_of_inertia"] = f.rotorMomentOfInertia;
  d["rotor_eccentric_load"] =
      f.eccentricLoad ? py::object(py::float_(*f.eccentricLoad)) : py::none();
  d["counterweight"] = f.counterweight;
  d["housing_cavity_volume"] = f.housingCavityVolume;
  d["curve_deviation"] = f.curveDeviation;
  const auto& pocket = outcome.row.pocket;
  d["recess_depth"] = pocket ? py::object(py::float_(pocket->depth)) : py::none();
  py::dict volumes;
  for (const solids::PartVolume& part : made.parts) volumes[part.name.c_str()] = part.volume;
  d["part_volumes"] = volumes;
  py::list files;
  for (const solids::SolidFilePath& path : paths) files.append(path.path);
  d["files"] = files;
  return d;
}

}  // namespace rotary::python
