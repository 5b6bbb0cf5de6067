// The engine for Python: each function converts its arguments, calls the same libraries as the
// programs and converts the answer; numpy's broadcasting and the package's face are in Python.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <atomic>
#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "cycle.h"
#include "designer.h"
#include "exact_limit.h"
#include "headless.h"
#include "messages.h"
#include "number_text.h"
#include "real_engine.h"
#include "runner.h"
#include "shape_texts.h"
#include "volume_curve.h"

namespace py = pybind11;

namespace rotary::python {
namespace {

// A length as the engine reads it: the double written so that it reads back the same.
std::string lengthText(const char* field, double value) {
  if (!std::isfinite(value)) {
    throw py::value_error(std::string(field) + ": " + formatNumber(value) + " is not a number");
  }
  if (value < 0) throw py::value_error(negativeMessage(field, significantDigits(value, 17)));
  return significantDigits(value, 17);
}

py::array_t<double> arrayOf(const std::vector<double>& values) {
  py::array_t<double> array(static_cast<py::ssize_t>(values.size()));
  std::copy(values.begin(), values.end(), array.mutable_data());
  return array;
}

py::dict figuresOf(const ExactFigures& f) {
  py::dict d;
  d["chamber_capacity"] = f.capacity;
  d["dead_volume"] = f.deadVolume;
  d["compression_ratio"] = f.ratio;
  return d;
}

py::dict sweep(double e, double R, double W, int steps) {
  if (steps < kFewestSteps || steps > kMostCompanionSteps) {
    throw py::value_error(stepCountMessage(steps, kMostCompanionSteps));
  }
  const HeadlessResult result =
      computeHeadless(lengthText("eccentricity", e), lengthText("rotor radius", R),
                      lengthText("chamber width", W), steps, nullptr, kMostCompanionSteps);
  if (!result.figures) throw py::value_error(result.message);
  // As the window shows them: 652.4, not the 652.4000000000001 of the cut.
  const auto shown = [](double value) { return *parseNumber(formatNumber(value)); };
  py::dict d;
  d["chamber_capacity"] = shown(result.figures->capacity);
  d["dead_volume"] = shown(result.figures->deadVolume);
  d["compression_ratio"] = shown(result.figures->ratio);
  d["notes"] = result.note;
  std::vector<double> s, envelope, tdcline, bdcline;
  for (int i = 0; i <= kLastSample; ++i) {
    s.push_back(result.geometry.sample(i));
    envelope.push_back(result.profiles.envelope[static_cast<std::size_t>(i)]);
    tdcline.push_back(result.profiles.tdcline[static_cast<std::size_t>(i)]);
    bdcline.push_back(result.profiles.bdcline[static_cast<std::size_t>(i)]);
  }
  d["s"] = arrayOf(s);
  d["envelope"] = arrayOf(envelope);
  d["tdcline"] = arrayOf(tdcline);
  d["bdcline"] = arrayOf(bdcline);
  return d;
}

py::dict exactLimitOf(double e, double R, double W) {
  lengthText("eccentricity", e), lengthText("rotor radius", R), lengthText("chamber width", W);
  const ExactLimit limit = exactLimit(e, R, W);
  if (!limit.hasFigures()) {
    throw py::value_error("No exact figures: " + whyNoExactFigures(limit.status) + ".");
  }
  return figuresOf(limit.figures);
}

// The real engine, or why not as the companion says it.
RealLimit realOrRefused(double e, double R, double W, const RealEngine& real) {
  lengthText("eccentricity", e), lengthText("rotor radius", R), lengthText("chamber width", W);
  lengthText("seal offset", real.sealOffset), lengthText("clearance", real.clearance);
  lengthText("recess", real.recess);
  const RealLimit limit = realLimit(e, R, W, real);
  if (!limit.hasFigures()) throw py::value_error(whyNoRealFigures(limit, real));
  return limit;
}

py::dict realEngineOf(double e, double R, double W, double A, double C, double V,
                      std::optional<double> target, int rotors) {
  const RealEngine real{A, C, V};
  const RealLimit limit = realOrRefused(e, R, W, real);
  py::dict d = figuresOf(limit.figures);
  if (target) {
    const auto recess = recessForRatio(limit.withoutRecess, *target);
    if (!recess) {
      throw py::value_error(targetAboveLimit(*target, limit.withoutRecess.ratio));
    }
    d["target_recess"] = *recess;
  }
  const DesignerFigures f =
      designerFigures(e, R, real, limit.figures.capacity, rotors, std::nullopt);
  d["rotors"] = rotors;
  d["displacement"] = f.displacement;
  d["largest_seal_lean_deg"] = f.largestSealLean;
  d["housing_major_axis"] = f.majorAxis;
  d["housing_minor_axis"] = f.minorAxis;
  return d;
}

py::dict volumeCurveOf(double e, double R, double W, double A, double C, double V,
                       double angleStep) {
  if (!(angleStep >= 0.001 && angleStep <= 1080)) {
    throw py::value_error("angle step: " + formatNumber(angleStep) +
                          " is not a number of degrees from 0.001 to 1080");
  }
  const RealEngine real{A, C, V};
  realOrRefused(e, R, W, real);
  std::vector<CyclePoint> curve;
  {
    py::gil_scoped_release released;
    curve = volumeCurve(e, R, W, real, angleStep);
  }
  std::vector<double> shaft, rotor, volume, slope, lean;
  for (const CyclePoint& p : curve) {
    shaft.push_back(p.shaftAngle);
    rotor.push_back(p.rotorAngle);
    volume.push_back(p.volume);
    slope.push_back(p.slope);
    lean.push_back(p.sealLean);
  }
  py::dict d;
  d["shaft_angle"] = arrayOf(shaft);
  d["rotor_angle"] = arrayOf(rotor);
  d["volume"] = arrayOf(volume);
  d["dvolume_dtheta"] = arrayOf(slope);
  d["seal_lean"] = arrayOf(lean);
  return d;
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Flat arrays of one length, already broadcast: one row each, on every core, the GIL released.
// Ctrl-C is looked for between rows and every 200 ms.
py::dict studyOf(py::array_t<double, py::array::c_style | py::array::forcecast> e,
                 py::array_t<double, py::array::c_style | py::array::forcecast> R,
                 py::array_t<double, py::array::c_style | py::array::forcecast> W,
                 py::array_t<double, py::array::c_style | py::array::forcecast> steps,
                 const std::string& method,
                 py::array_t<double, py::array::c_style | py::array::forcecast> A,
                 py::array_t<double, py::array::c_style | py::array::forcecast> C,
                 py::array_t<double, py::array::c_style | py::array::forcecast> V, bool real) {
  if (method != "exact" && method != "sweep") {
    throw py::value_error("method: \"" + method + "\" is not sweep or exact");
  }
  const auto n = static_cast<std::size_t>(e.size());
  std::vector<study::EngineInput> engines(n);
  for (std::size_t i = 0; i < n; ++i) {
    study::EngineInput& in = engines[i];
    in.eccentricity = lengthText("eccentricity", e.data()[i]);
    in.rotorRadius = lengthText("rotor radius", R.data()[i]);
    in.chamberWidth = lengthText("chamber width", W.data()[i]);
    const double N = steps.data()[i];
    if (!(N >= kFewestSteps && N <= kMostCompanionSteps) || N != std::floor(N)) {
      throw py::value_error(stepCountMessage(static_cast<int>(N), kMostCompanionSteps));
    }
    in.steps = static_cast<int>(N);
    if (real) {
      in.real = true;
      in.sealOffset = lengthText("seal offset", A.data()[i]);
      in.clearance = lengthText("clearance", C.data()[i]);
      in.recess = lengthText("recess", V.data()[i]);
    }
  }
  std::atomic<bool> stop{false};
  bool interrupted = false;
  std::vector<study::EngineRow> rows;
  {
    py::gil_scoped_release released;
    rows = study::runStudy(
        engines, 0,
        [&](long, long) {
          py::gil_scoped_acquire held;
          if (PyErr_CheckSignals() != 0) {
            interrupted = true;
            stop = true;
          }
        },
        method == "exact" ? study::runExactEngine : study::runEngine, nullptr, &stop);
  }
  if (interrupted) throw py::error_already_set();

  std::vector<std::pair<const char*, std::vector<double>>> columns = {
      {"k", {}},
      {"chamber_capacity", {}},
      {"dead_volume", {}},
      {"compression_ratio", {}},
      {"exact_chamber_capacity", {}},
      {"exact_dead_volume", {}},
      {"exact_compression_ratio", {}},
      {"real_chamber_capacity", {}},
      {"real_dead_volume", {}},
      {"real_compression_ratio", {}}};
  py::list messages, notes;
  for (std::size_t i = 0; i < n; ++i) {
    const study::EngineRow& row = rows[i];
    const double K = e.data()[i] > 0 ? R.data()[i] / e.data()[i] : kNaN;
    const bool figures = row.figures.has_value();
    const bool exact = row.exact && row.exact->hasFigures();
    const bool realFigures = row.real && row.real->hasFigures();
    const auto shown = [](double value) { return *parseNumber(formatNumber(value)); };
    const double values[] = {std::isfinite(K) ? K : kNaN,
                             figures ? shown(row.figures->capacity) : kNaN,
                             figures ? shown(row.figures->deadVolume) : kNaN,
                             figures ? shown(row.figures->ratio) : kNaN,
                             exact ? row.exact->figures.capacity : kNaN,
                             exact ? row.exact->figures.deadVolume : kNaN,
                             exact ? row.exact->figures.ratio : kNaN,
                             realFigures ? row.real->figures.capacity : kNaN,
                             realFigures ? row.real->figures.deadVolume : kNaN,
                             realFigures ? row.real->figures.ratio : kNaN};
    for (std::size_t c = 0; c < columns.size(); ++c) columns[c].second.push_back(values[c]);
    std::string message = row.message;
    if (row.input.real && row.real && !realFigures) {
      message += (message.empty() ? "" : "\n") +
                 whyNoRealFigures(*row.real, RealEngine{A.data()[i], C.data()[i], V.data()[i]});
    }
    messages.append(message);
    notes.append(figures && row.message.empty() ? row.figures->note : std::string());
  }
  py::dict d;
  for (auto& [name, values] : columns) {
    if (!real && std::string(name).rfind("real_", 0) == 0) continue;
    d[name] = arrayOf(values);
  }
  d["note"] = notes;
  d["message"] = messages;
  return d;
}

}  // namespace
}  // namespace rotary::python

PYBIND11_MODULE(_rotary_ratio, module) {
  using namespace rotary::python;
  module.doc() =
      "The compression-ratio limit of a rotary engine, computed by rotary-ratio's engine.";
  module.attr("__version__") = ROTARY_VERSION;
  module.def("sweep", &sweep, py::arg("e"), py::arg("R"), py::arg("W"), py::arg("steps") = 100);
  module.def("exact_limit", &exactLimitOf, py::arg("e"), py::arg("R"), py::arg("W"));
  module.def("real_engine", &realEngineOf, py::arg("e"), py::arg("R"), py::arg("W"),
             py::arg("seal_offset") = 0.0, py::arg("clearance") = 0.0, py::arg("recess") = 0.0,
             py::arg("target_ratio") = std::nullopt, py::arg("rotors") = 1);
  module.def("volume_curve", &volumeCurveOf, py::arg("e"), py::arg("R"), py::arg("W"),
             py::arg("seal_offset") = 0.0, py::arg("clearance") = 0.0, py::arg("recess") = 0.0,
             py::arg("angle_step") = 1.0);
  module.def("study", &studyOf);
}
