#include "cycle_binding.h"

#include <vector>

#include "binding.h"
#include "design_outcome.h"
#include "working_cycle.h"

namespace py = pybind11;

namespace rotary::python {

py::dict cycleFor(const study::Design& design) {
  const study::DesignOutcome outcome = study::designOutcome(design, study::Face::kPython);
  if (!outcome.message.empty()) throw DesignRefused(outcome.message);
  study::EngineRow row = outcome.row;
  cycle::CycleOutcome whole;
  {
    py::gil_scoped_release released;
    cycle::addWorkingCycle(row, &whole);
  }
  if (!row.cycle) throw py::value_error(row.cycleMessage);
  const study::CycleFigures& f = *row.cycle;
  py::dict d;
  d["imep_net"] = f.imepNet;
  d["imep_gross"] = f.imepGross;
  d["pmep"] = f.pmep;
  d["volumetric_efficiency"] = f.volumetricEfficiency;
  d["residual_fraction"] = f.residualFraction;
  d["indicated_work"] = f.indicatedWork;
  d["indicated_efficiency"] = f.indicatedEfficiency;
  d["indicated_power"] = f.indicatedPower;
  d["indicated_torque"] = f.indicatedTorque;
  d["peak_pressure"] = f.peakPressure;
  d["peak_pressure_deg"] = f.peakPressureAngle;
  d["heat_lost"] = f.heatLost;
  d["mass_leaked"] = f.massLeaked;
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

}  // namespace rotary::python
