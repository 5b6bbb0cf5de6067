#include "cycle_binding.h"

#include <cmath>
#include <string>
#include <vector>

#include "binding.h"
#include "design_outcome.h"
#include "runner.h"
#include "working_cycle.h"

namespace py = pybind11;

namespace rotary::python {

py::dict cycleFor(const study::Design& design) {
  cycle::ModelledDesign modelled;
  {
    py::gil_scoped_release released;
    modelled = cycle::modelDesign(design, study::Face::kPython);
  }
  if (!modelled.design.message.empty()) throw DesignRefused(modelled.design.message);
  const study::EngineRow& row = modelled.design.row;
  const cycle::CycleOutcome& whole = modelled.cycle;
  if (!row.cycle) throw py::value_error(row.cycleMessage);
  const study::CycleFigures& f = *row.cycle;
  py::dict d;
  for (const auto& [name, member] : study::kCycleFigureNames) d[name] = f.*member;
  d["cycles_to_converge"] = f.cyclesToConverge;
  d["cycle_model"] = study::cycleSettingsText(study::cycleValuesOf(row.input));
  const double cubic = design.volumeDivisor() * std::pow(design.lengthUnit().metres, 3);
  std::vector<double> theta, volume, pressure, temperature, in, out;
  for (const cycle::CyclePointSI& p : whole.curve) {
    theta.push_back(p.theta);
    volume.push_back(p.volume / cubic);
    pressure.push_back(p.pressure / 1e5);
    temperature.push_back(p.temperature);
    in.push_back(p.massFlowIn);
    out.push_back(p.massFlowOut);
  }
  d["shaft_angle_deg"] = arrayOf(theta);
  d["volume"] = arrayOf(volume);
  d["pressure"] = arrayOf(pressure);
  d["temperature"] = arrayOf(temperature);
  d["mass_in_per_deg"] = arrayOf(in);
  d["mass_out_per_deg"] = arrayOf(out);
  return d;
}

py::dict cycleSweepFor(const std::vector<study::Design>& designs) {
  const std::size_t n = designs.size();
  std::vector<study::EngineRow> rows(n);
  std::vector<std::string> messages(n);
  {
    py::gil_scoped_release released;
    study::forEachEngine(n, [&](std::size_t k) {
      cycle::ModelledDesign modelled = cycle::modelDesign(designs[k], study::Face::kPython);
      messages[k] = modelled.why();
      rows[k] = std::move(modelled.design.row);
    });
  }
  const double none = std::nan("");
  const auto column = [&](double study::CycleFigures::*member) {
    std::vector<double> values;
    for (const study::EngineRow& row : rows) {
      values.push_back(row.cycle ? (*row.cycle).*member : none);
    }
    return arrayOf(values);
  };
  const auto given = [&](study::TypedNumber study::Design::*member) {
    std::vector<double> values;
    for (const study::Design& design : designs) values.push_back((design.*member).valueOr(none));
    return arrayOf(values);
  };
  py::dict d;
  d["e"] = given(&study::Design::eccentricity);
  d["R"] = given(&study::Design::rotorRadius);
  d["W"] = given(&study::Design::chamberWidth);
  d["rpm"] = given(&study::Design::cycleRpm);
  for (const auto& [name, member] : study::kCycleFigureNames) d[name] = column(member);
  std::vector<double> cycles;
  for (const study::EngineRow& row : rows) {
    cycles.push_back(row.cycle ? row.cycle->cyclesToConverge : none);
  }
  d["cycles_to_converge"] = arrayOf(cycles);
  py::list said;
  for (const std::string& message : messages) {
    said.append(message.empty() ? py::object(py::none()) : py::object(py::str(message)));
  }
  d["message"] = said;
  return d;
}

}  // namespace rotary::python
