// The engine for Python: each function converts its arguments, calls the same libraries as the
// programs and converts the answer; numpy's broadcasting and the package's face are in Python.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <deque>
#include <exception>
#include <initializer_list>
#include <limits>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "binding.h"
#include "chamber_cycle.h"
#include "cycle.h"
#include "cycle_binding.h"
#include "design_outcome.h"
#include "designer.h"
#include "exact_limit.h"
#include "headless.h"
#include "messages.h"
#include "number_text.h"
#include "port_file.h"
#include "port_timing.h"
#include "real_engine.h"
#include "results_table.h"
#include "runner.h"
#include "shape_texts.h"
#include "side_port.h"
#include "solids_binding.h"
#include "volume_curve.h"

namespace py = pybind11;

namespace rotary::python {
namespace {

// The design's rules, in Python's words: the first one it breaks is raised.
void throwIfRefused(const study::Design& design, study::Scope scope = study::Scope::kEngine) {
  if (const auto refusal = study::refusalOf(design, study::Face::kPython, scope)) {
    throw DesignRefused(refusal->message);
  }
}

// The engine of these lengths; the shape's exact figures, with no sweep, unless steps are set.
study::Design designOf(double e, double R, double W) {
  study::Design design;
  design.eccentricity = typed(e);
  design.rotorRadius = typed(R);
  design.chamberWidth = typed(W);
  design.steps = 0;
  return design;
}

// The real engine of these lengths and values; a recess of 0 is none given.
study::Design realDesignOf(double e, double R, double W, double A, double C, double V) {
  study::Design design = designOf(e, R, W);
  design.real = true;
  design.sealOffset = typed(A);
  design.clearance = typed(C);
  if (V != 0) design.recess = typed(V);
  return design;
}

int checkedSteps(double steps) {
  if (const std::string why = study::stepsRefusal(steps); !why.empty()) throw DesignRefused(why);
  return static_cast<int>(steps);
}

// The chamber's figures under the names of the companion's columns; the seal's None without an
// rpm.
void putChamberFigures(py::dict& d, const ChamberFigures& f) {
  d["surface_to_volume_tdc"] = f.surfaceToVolumeAtTdc;
  d["otto_efficiency"] = f.ottoEfficiency;
  const auto seal = [&f](double SealFigures::*member) -> py::object {
    if (!f.seal) return py::none();
    return py::float_((*f.seal).*member);
  };
  d["least_seal_speed"] = seal(&SealFigures::leastSpeed);
  d["mean_seal_speed"] = seal(&SealFigures::meanSpeed);
  d["largest_seal_speed"] = seal(&SealFigures::largestSpeed);
  d["least_seal_inertia_per_gram"] = seal(&SealFigures::leastInertia);
  d["largest_seal_inertia_per_gram"] = seal(&SealFigures::largestInertia);
}

py::dict figuresOf(const ExactFigures& f) {
  py::dict d;
  d["chamber_capacity"] = f.capacity;
  d["dead_volume"] = f.deadVolume;
  d["compression_ratio"] = f.ratio;
  return d;
}

// As the window shows them: 652.4, not the 652.4000000000001 of the cut.
double shown(double value) {
  return roundedToDigits(value, 15);
}

// Runs `compute` on a thread of its own while this one, the GIL let go, looks for Ctrl-C every
// 100 ms; on Ctrl-C it sets `stop`, which the computation looks at, waits for it and raises
// KeyboardInterrupt. The wait ends the moment the computation does: a short call costs no more
// than its computation.
template <typename Compute>
void interruptibly(std::atomic<bool>& stop, Compute compute) {
  std::exception_ptr failure;
  std::mutex mutex;
  std::condition_variable ended;
  bool finished = false;  // guarded by the mutex
  bool interrupted = false;
  {
    py::gil_scoped_release released;
    std::thread worker([&] {
      try {
        compute();
      } catch (...) {
        failure = std::current_exception();
      }
      std::lock_guard lock(mutex);
      finished = true;
      ended.notify_all();
    });
    for (;;) {
      {
        std::unique_lock lock(mutex);
        if (ended.wait_for(lock, std::chrono::milliseconds(100), [&] { return finished; })) break;
      }
      py::gil_scoped_acquire held;
      if (!interrupted && PyErr_CheckSignals() != 0) {
        interrupted = true;
        stop = true;
      }
    }
    worker.join();
  }
  if (interrupted) throw py::error_already_set();
  if (failure) std::rethrow_exception(failure);
}

py::dict sweep(double e, double R, double W, double stepsGiven) {
  study::Design design = designOf(e, R, W);
  design.steps = checkedSteps(stepsGiven);
  throwIfRefused(design);
  const HeadlessResult result =
      computeHeadless(design.eccentricity.text, design.rotorRadius.text, design.chamberWidth.text,
                      design.steps, nullptr, kMostCompanionSteps);
  if (!result.figures) throw py::value_error(result.message);
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
  throwIfRefused(designOf(e, R, W));
  const ExactLimit limit = exactLimit(e, R, W);
  if (!limit.hasFigures()) {
    throw py::value_error("No exact figures: " + whyNoExactFigures(limit.status) + ".");
  }
  return figuresOf(limit.figures);
}

// The real engine, or why not as the companion says it.
RealLimit realOrRefused(const study::Design& design) {
  throwIfRefused(design);
  const RealEngine real = design.realEngine();
  const RealLimit limit = realLimit(*design.eccentricity.number, *design.rotorRadius.number,
                                    *design.chamberWidth.number, real, design.volumeDivisor());
  if (!limit.hasFigures()) throw DesignRefused(whyNoRealFigures(limit, real));
  return limit;
}

// Several numbers of one option, (LENGTH, WIDTH, LEAD) or (WIDTH, DEPTH), each as a design holds
// it; all empty for none.
void putTogether(const std::optional<std::vector<double>>& given,
                 std::initializer_list<study::TypedNumber*> into, const char* name,
                 const char* what) {
  if (!given) return;
  if (given->size() != into.size()) {
    throw DesignRefused(std::string(name) + ": not " + what);
  }
  std::size_t n = 0;
  for (study::TypedNumber* value : into) *value = typed((*given)[n++]);
}

py::dict realEngineOf(double e, double R, double W, double A, double C, double V,
                      std::optional<double> target, double rotors, std::optional<double> module,
                      std::optional<double> rpm, double gamma, std::optional<double> recessArea,
                      const std::string& units, std::optional<std::vector<double>> pocket) {
  study::Design design = realDesignOf(e, R, W, A, C, V);
  putTogether(pocket, {&design.pocketLength, &design.pocketWidth, &design.pocketLead},
              "recess_pocket", "(length, width, lead)");
  design.targetRatio = typed(target);
  design.rotors = typed(rotors);
  design.gearModule = typed(module);
  design.rpm = typed(rpm);
  design.gamma = typed(gamma);
  design.recessArea = typed(recessArea);
  design.unit = units;
  const study::DesignOutcome outcome = study::designOutcome(design, study::Face::kPython);
  if (!outcome.message.empty()) throw DesignRefused(outcome.message);
  const study::EngineRow& row = outcome.row;
  py::dict d = figuresOf(row.real->figures);
  if (row.targetRecess) d["target_recess"] = *row.targetRecess;
  if (row.pocket) d["recess_depth"] = row.pocket->depth;
  const DesignerFigures f = *formats::designerFiguresOf(row);
  d["rotors"] = design.rotorCount();
  d["displacement"] = f.displacement;
  d["largest_seal_lean_deg"] = f.largestSealLean;
  d["housing_major_axis"] = f.majorAxis;
  d["housing_minor_axis"] = f.minorAxis;
  d["rotor_gear_radius"] = f.rotorGearRadius;
  d["stationary_gear_radius"] = f.stationaryGearRadius;
  d["rotor_gear_teeth"] =
      f.teeth ? py::object(py::int_(static_cast<long>(f.teeth->rotor))) : py::object(py::none());
  d["stationary_gear_teeth"] = f.teeth
                                   ? py::object(py::int_(static_cast<long>(f.teeth->stationary)))
                                   : py::object(py::none());
  putChamberFigures(d, *row.chamber);
  return d;
}

py::dict volumeCurveOf(double e, double R, double W, double A, double C, double V, double angleStep,
                       std::optional<double> rpm, std::optional<double> recessArea,
                       const std::string& units) {
  if (!(angleStep >= 0.001 && angleStep <= 1080)) {
    throw py::value_error("angle step: " + formatNumber(angleStep) +
                          " is not a number of degrees from 0.001 to 1080");
  }
  study::Design design = realDesignOf(e, R, W, A, C, V);
  design.rpm = typed(rpm);
  design.recessArea = typed(recessArea);
  design.unit = units;
  realOrRefused(design);
  const RealEngine real = design.realEngine();
  const ChamberSettings chamber = design.chamberSettings();
  std::vector<CyclePoint> curve;
  std::atomic<bool> stop{false};
  interruptibly(stop, [&] {
    curve = volumeCurve(e, R, W, real, angleStep, design.volumeDivisor(), chamber, &stop);
  });
  std::vector<double> shaft, rotor, volume, slope, lean, surface, perVolume, torque, speed, inertia;
  for (const CyclePoint& p : curve) {
    shaft.push_back(p.shaftAngle);
    rotor.push_back(p.rotorAngle);
    volume.push_back(p.volume);
    slope.push_back(p.slope);
    lean.push_back(p.sealLean);
    surface.push_back(p.surface);
    perVolume.push_back(p.surfaceToVolume);
    torque.push_back(p.torquePerBar);
    if (p.sealSpeed) speed.push_back(*p.sealSpeed), inertia.push_back(*p.sealInertiaPerGram);
  }
  // Named as the companion's --volume-curve columns.
  py::dict d;
  d["shaft_angle_deg"] = arrayOf(shaft);
  d["rotor_angle_deg"] = arrayOf(rotor);
  d["volume"] = arrayOf(volume);
  d["dvolume_dtheta"] = arrayOf(slope);
  d["seal_lean_deg"] = arrayOf(lean);
  d["surface"] = arrayOf(surface);
  d["surface_to_volume"] = arrayOf(perVolume);
  d["torque_per_bar"] = arrayOf(torque);
  if (rpm) {
    d["seal_speed"] = arrayOf(speed);
    d["seal_inertia_per_gram"] = arrayOf(inertia);
  }
  return d;
}

// The ports' timing and open areas. A side port comes as (role, source, file or None, points),
// a peripheral one as (role, source, from, to, width); the roles are "intake" and "exhaust".
using SidePortArgument = std::tuple<std::string, std::string, std::optional<std::string>,
                                    std::vector<std::array<double, 2>>>;
using PeripheralArgument = std::tuple<std::string, std::string, double, double, double>;

std::vector<PortDefinition> checkedPorts(const std::vector<SidePortArgument>& sides,
                                         const std::vector<PeripheralArgument>& peripherals) {
  std::vector<PortDefinition> ports;
  const auto roleOf = [](const std::string& role) {
    return role == "intake" ? PortRole::kIntake : PortRole::kExhaust;
  };
  for (const auto& [role, source, file, points] : sides) {
    if (file) {
      std::string why;
      const auto port =
          formats::readSidePort(roleOf(role), *file, source, study::Face::kPython, why);
      if (!port) throw DesignRefused(why);
      ports.push_back(*port);
      continue;
    }
    Polyline outline;
    for (const auto& [x, y] : points) outline.push_back({x, y});
    ports.push_back(PortDefinition::sidePort(roleOf(role), outline, source));
  }
  // Whether each makes a port is the design's rule.
  for (const auto& [role, source, from, to, width] : peripherals) {
    ports.push_back(PortDefinition::peripheralPort(roleOf(role), {from, to, width}, source));
  }
  return ports;
}

py::dict portsOf(double e, double R, double W, double A, double C, double V, double angleStep,
                 const std::vector<SidePortArgument>& sides,
                 const std::vector<PeripheralArgument>& peripherals, const std::string& units) {
  if (!(angleStep >= 0.001 && angleStep <= 1080)) {
    throw py::value_error("angle step: " + formatNumber(angleStep) +
                          " is not a number of degrees from 0.001 to 1080");
  }
  study::Design design = realDesignOf(e, R, W, A, C, V);
  const std::vector<PortDefinition> ports = checkedPorts(sides, peripherals);
  if (ports.empty()) throw py::value_error("no port given: intake, exhaust or a peripheral one");
  design.ports = std::make_shared<const std::vector<PortDefinition>>(ports);
  design.unit = units;
  realOrRefused(design);
  const RealEngine real = design.realEngine();
  EngineTiming timing;
  CycleVolumes curve;
  std::vector<std::vector<double>> areas;
  std::atomic<bool> stop{false};
  interruptibly(stop, [&] {
    timing = engineTiming(e, R, W, real, design.volumeDivisor(), ports);
    curve = cycleVolumes(e, R, W, real, angleStep, design.volumeDivisor(), &stop);
    areas = openAreas(e, R, real, ports, curve.shaftAngles);
  });
  py::list list;
  for (std::size_t n = 0; n < ports.size(); ++n) {
    py::dict port;
    port["role"] = ports[n].role == PortRole::kIntake ? "intake" : "exhaust";
    port["kind"] = ports[n].kind == PortKind::kSide ? "side" : "peripheral";
    port["source"] = ports[n].source;
    const PortTiming& t = timing.ports[n];
    // As the companion's JSON has them: the first opening's events (None where it never opens),
    // and every opening in "each_opening".
    const auto first = [&t](double PortOpening::*event) -> py::object {
      if (!t.opens()) return py::none();
      return py::float_(t.openings.front().*event);
    };
    port["openings"] = t.openings.size();
    port["opens_deg"] = first(&PortOpening::opens);
    port["closes_deg"] = first(&PortOpening::closes);
    port["open_deg"] = first(&PortOpening::openFor);
    port["largest_area"] = t.largestArea;
    port["angle_area"] = t.angleArea;
    py::list each;
    for (const PortOpening& o : t.openings) {
      py::dict opening;
      opening["opens_deg"] = o.opens;
      opening["closes_deg"] = o.closes;
      opening["open_deg"] = o.openFor;
      each.append(opening);
    }
    port["each_opening"] = each;
    list.append(port);
  }
  std::vector<double> flat;
  for (const auto& row : areas) flat.insert(flat.end(), row.begin(), row.end());
  py::array_t<double> open({areas.size(), curve.volumes.size()});
  std::copy(flat.begin(), flat.end(), open.mutable_data());
  py::dict d;
  d["ports"] = list;
  d["overlap_deg"] = timing.overlap;
  d["effective_compression_ratio"] = timing.effectiveCompressionRatio
                                         ? py::object(py::float_(*timing.effectiveCompressionRatio))
                                         : py::object(py::none());
  d["effective_expansion_ratio"] = timing.effectiveExpansionRatio
                                       ? py::object(py::float_(*timing.effectiveExpansionRatio))
                                       : py::object(py::none());
  d["rotation"] = "counterclockwise";
  d["shaft_angle_deg"] = arrayOf(curve.shaftAngles);
  d["volume"] = arrayOf(curve.volumes);
  d["open_area"] = open;
  return d;
}

py::array_t<double> portEdgeOf(double e, double R, double W, double angle, double A, double C) {
  if (!(angle >= 0 && angle <= 1080)) {
    throw py::value_error("angle: " + formatNumber(angle) +
                          " is not a shaft angle from 0 to 1080 degrees");
  }
  realOrRefused(realDesignOf(e, R, W, A, C, 0));
  const RealEngine real{A, C, 0};
  const Polyline flank = chamberFlank(e, R, real, angle);
  py::array_t<double> points({flank.size(), std::size_t{2}});
  auto at = points.mutable_unchecked<2>();
  for (std::size_t n = 0; n < flank.size(); ++n) at(n, 0) = flank[n].x, at(n, 1) = flank[n].y;
  return points;
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
using Flat = py::array_t<double, py::array::c_style | py::array::forcecast>;

// What each engine of a study is given: flat arrays of one length, already broadcast, over the
// design every engine shares.
struct StudyValues {
  const double *e, *R, *W, *steps, *A, *C, *V, *X;
  bool exact, target;
  study::Design shared;
};

// The design of row i, or the first rule its values break: an element that no engine can take is
// that engine's message, never the whole study's.
study::Design designAt(const StudyValues& v, std::size_t i, std::string& refusal) {
  study::Design d = v.shared;
  d.eccentricity = typed(v.e[i]);
  d.rotorRadius = typed(v.R[i]);
  d.chamberWidth = typed(v.W[i]);
  d.steps = 0;
  if (!v.exact) {
    refusal = study::stepsRefusal(v.steps[i]);
    d.steps = refusal.empty() ? static_cast<int>(v.steps[i]) : kFewestSteps;
  }
  if (d.real) {
    d.sealOffset = typed(v.A[i]);
    d.clearance = typed(v.C[i]);
    if (v.V) d.recess = typed(v.V[i]);
    if (v.target) d.targetRatio = typed(v.X[i]);
  }
  if (refusal.empty()) {
    if (const auto refused = study::refusalOf(d, study::Face::kPython, study::Scope::kStudyRow)) {
      refusal = refused->message;
    }
  }
  return d;
}

// A study's result columns, filled as the rows come: numpy arrays made at once, written into
// without the GIL, so that a million engines hold no row longer than it takes to copy it.
class StudyTable {
 public:
  StudyTable(std::size_t count, const StudyValues& values) : n_(count), v_(values) {
    add("k");
    add("chamber_capacity"), add("dead_volume"), add("compression_ratio");
    add("exact_chamber_capacity"), add("exact_dead_volume"), add("exact_compression_ratio");
    if (v_.shared.real)
      add("real_chamber_capacity"), add("real_dead_volume"), add("real_compression_ratio");
    if (v_.target) add("target_recess");
    add("displacement"), add("largest_seal_lean_deg"), add("housing_major_axis");
    add("housing_minor_axis"), add("rotor_gear_radius"), add("stationary_gear_radius");
    if (!v_.shared.gearModule.empty()) add("rotor_gear_teeth"), add("stationary_gear_teeth");
    add("surface_to_volume_tdc"), add("otto_efficiency");
    if (!v_.shared.rpm.empty()) {
      add("least_seal_speed"), add("mean_seal_speed"), add("largest_seal_speed");
      add("least_seal_inertia_per_gram"), add("largest_seal_inertia_per_gram");
    }
    // The ports' numbers as the companion's CSV names them; their role, kind and source, the
    // same in every row, the module adds.
    const std::size_t ports = v_.shared.portList().size();
    for (std::size_t n = 1; n <= ports; ++n) {
      for (const char* field :
           {"openings", "opens_deg", "closes_deg", "open_deg", "largest_area", "angle_area"}) {
        portNames_.push_back("port" + std::to_string(n) + "_" + field);
        add(portNames_.back().c_str());
      }
    }
    if (ports > 0) {
      add("overlap_deg"), add("effective_compression_ratio"), add("effective_expansion_ratio");
    }
  }

  // Row i, from the worker that computed it: its own cells, and the texts under a lock.
  void row(std::size_t i, const study::EngineRow& row, bool refused) {
    const bool figures = row.figures.has_value();
    const bool exact = row.exact && row.exact->hasFigures();
    const bool realFigures = row.real && row.real->hasFigures();
    const auto K = row.input.trochoidRatio();
    std::size_t c = 0;
    const auto put = [&](double value) { columns_[c++].second[i] = value; };
    put(K && !refused ? *K : kNaN);
    put(figures ? shown(row.figures->capacity) : kNaN);
    put(figures ? shown(row.figures->deadVolume) : kNaN);
    put(figures ? shown(row.figures->ratio) : kNaN);
    put(exact ? row.exact->figures.capacity : kNaN);
    put(exact ? row.exact->figures.deadVolume : kNaN);
    put(exact ? row.exact->figures.ratio : kNaN);
    if (v_.shared.real) {
      put(realFigures ? row.real->figures.capacity : kNaN);
      put(realFigures ? row.real->figures.deadVolume : kNaN);
      put(realFigures ? row.real->figures.ratio : kNaN);
    }
    if (v_.target) put(row.targetRecess ? *row.targetRecess : kNaN);
    // Teeth only where the module gives whole numbers of them: a module that does not is the
    // engine's refusal.
    const auto d = formats::designerFiguresOf(row);
    const bool whole = d && d->teeth;
    const double none = kNaN;
    put(d ? d->displacement : none);
    put(d ? d->largestSealLean : none);
    put(d ? d->majorAxis : none);
    put(d ? d->minorAxis : none);
    put(d ? d->rotorGearRadius : none);
    put(d ? d->stationaryGearRadius : none);
    if (!v_.shared.gearModule.empty()) {
      put(whole ? d->teeth->rotor : none);
      put(whole ? d->teeth->stationary : none);
    }
    const auto& f = row.chamber;
    put(f ? f->surfaceToVolumeAtTdc : none);
    put(f ? f->ottoEfficiency : none);
    if (!v_.shared.rpm.empty()) {
      const auto& seal = f ? f->seal : std::nullopt;
      put(seal ? seal->leastSpeed : none);
      put(seal ? seal->meanSpeed : none);
      put(seal ? seal->largestSpeed : none);
      put(seal ? seal->leastInertia : none);
      put(seal ? seal->largestInertia : none);
    }
    if (v_.shared.hasPorts()) {
      const auto& timing = row.timing;
      for (std::size_t n = 0; n < v_.shared.ports->size(); ++n) {
        const PortTiming* t = timing ? &timing->ports[n] : nullptr;
        const PortOpening* first = t && t->opens() ? &t->openings.front() : nullptr;
        put(t ? static_cast<double>(t->openings.size()) : none);
        put(first ? first->opens : none);
        put(first ? first->closes : none);
        put(first ? first->openFor : none);
        put(t ? t->largestArea : none);
        put(t ? t->angleArea : none);
      }
      put(timing ? timing->overlap : none);
      put(timing ? timing->effectiveCompressionRatio.value_or(none) : none);
      put(timing ? timing->effectiveExpansionRatio.value_or(none) : none);
    }
    std::string note = formats::figureNotes(row, true);
    std::string message = formats::rowMessage(row);
    if (note.empty() && message.empty()) return;
    std::lock_guard lock(texts_);
    if (!note.empty()) notes_.emplace_back(i, std::move(note));
    if (!message.empty()) messages_.emplace_back(i, std::move(message));
  }

  // With the GIL: the arrays, the texts as numpy object arrays ("" where there is none).
  py::dict finish() {
    py::dict d;
    for (auto& [name, values] : columns_) d[name] = std::move(arrays_[name]);
    d["note"] = texts(notes_);
    d["message"] = texts(messages_);
    return d;
  }

 private:
  void add(const char* name) {
    // A column of millions takes a while to make: Ctrl-C is heard between them.
    if (PyErr_CheckSignals() != 0) throw py::error_already_set();
    py::array_t<double> array(static_cast<py::ssize_t>(n_));
    double* data = array.mutable_data();
    std::fill(data, data + n_, kNaN);
    arrays_[name] = array;
    columns_.emplace_back(name, data);
  }

  py::array texts(const std::vector<std::pair<std::size_t, std::string>>& sparse) const {
    py::array out(py::dtype("O"), std::vector<py::ssize_t>{static_cast<py::ssize_t>(n_)});
    auto** cells = static_cast<PyObject**>(out.mutable_data());
    py::str empty("");
    for (std::size_t i = 0; i < n_; ++i) {
      Py_INCREF(empty.ptr());
      Py_XDECREF(cells[i]);
      cells[i] = empty.ptr();
    }
    for (const auto& [i, text] : sparse) {
      py::str cell(text);
      Py_DECREF(cells[i]);
      cells[i] = cell.release().ptr();
    }
    return out;
  }

  std::size_t n_;
  StudyValues v_;
  std::mutex texts_;
  std::vector<std::pair<const char*, double*>> columns_;
  std::deque<std::string> portNames_;  // the columns' names that are made, not literals
  std::map<std::string, py::array_t<double>> arrays_;
  std::vector<std::pair<std::size_t, std::string>> notes_, messages_;
};

// Flat arrays of one length, already broadcast: one row each, on every core, the GIL released.
// Ctrl-C is looked for every 200 ms.
py::dict studyOf(Flat e, Flat R, Flat W, Flat steps, const std::string& method, Flat A, Flat C,
                 std::optional<Flat> V, bool real, std::optional<Flat> target, double rotors,
                 std::optional<double> module, std::optional<double> rpm, double gamma,
                 std::optional<double> recessArea, const std::vector<SidePortArgument>& sides,
                 const std::vector<PeripheralArgument>& peripherals, const std::string& units) {
  if (method != "exact" && method != "sweep") {
    throw py::value_error("method: \"" + method + "\" is not sweep or exact");
  }
  const auto n = static_cast<std::size_t>(e.size());
  for (const Flat* array : {&R, &W, &steps, &A, &C}) {
    if (static_cast<std::size_t>(array->size()) != n)
      throw py::value_error("arrays of other lengths");
  }
  for (const auto* array : {&V, &target}) {
    if (*array && static_cast<std::size_t>((*array)->size()) != n) {
      throw py::value_error("arrays of other lengths");
    }
  }
  study::Design shared;
  shared.unit = units;
  shared.real = real || V.has_value() || target.has_value();
  shared.rotors = typed(rotors);
  shared.gearModule = typed(module);
  shared.rpm = typed(rpm);
  shared.gamma = typed(gamma);
  shared.recessArea = typed(recessArea);
  if (!sides.empty() || !peripherals.empty()) {
    shared.ports =
        std::make_shared<const std::vector<PortDefinition>>(checkedPorts(sides, peripherals));
  }
  // What every engine shares is judged once, for the whole study: a recess given stands for its
  // values.
  {
    study::Design judged = shared;
    if (V) judged.recess = "0";
    if (target) judged.targetRatio = "2";
    if (const auto refusal = study::sharedRefusal(judged, study::Face::kPython)) {
      throw DesignRefused(refusal->message);
    }
  }
  std::atomic<bool> stop{false};
  const StudyValues values{e.data(),
                           R.data(),
                           W.data(),
                           steps.data(),
                           A.data(),
                           C.data(),
                           V ? V->data() : nullptr,
                           target ? target->data() : nullptr,
                           method == "exact",
                           target.has_value(),
                           shared};
  StudyTable table(n, values);
  bool interrupted = false;
  {
    py::gil_scoped_release released;
    // The study gives each engine a core of its own.
    const study::RunRequest request{&stop, 1};
    study::forEachEngine(
        n,
        [&](std::size_t i) {
          std::string refusal;
          const study::Design design = designAt(values, i, refusal);
          if (!refusal.empty()) {
            table.row(i, study::refusedRow(design, refusal), true);
          } else {
            table.row(i, study::evaluate(design, request), false);
          }
        },
        0,
        [&](long, long) {
          py::gil_scoped_acquire held;
          if (PyErr_CheckSignals() != 0) {
            interrupted = true;
            stop = true;
          }
        },
        &stop);
  }
  if (interrupted) throw py::error_already_set();
  return table.finish();
}

py::dict solidsOf(double e, double R, double W, double A, double C, double V,
                  std::optional<double> target, std::optional<std::vector<double>> pocket,
                  std::optional<std::vector<double>> slot, std::optional<double> housingWall,
                  std::optional<double> sidePlate, std::optional<double> sideClearance,
                  std::optional<double> rotorBore, std::optional<double> density,
                  std::optional<double> chord, std::optional<double> tolerance,
                  std::optional<double> shaftAngle, double rotors, std::optional<double> module,
                  std::optional<double> rpm, const std::vector<SidePortArgument>& sides,
                  const std::vector<PeripheralArgument>& peripherals, const std::string& units,
                  std::optional<std::string> step, bool stepParts, std::optional<std::string> stl) {
  study::Design design = realDesignOf(e, R, W, A, C, V);
  design.targetRatio = typed(target);
  putTogether(pocket, {&design.pocketLength, &design.pocketWidth, &design.pocketLead},
              "recess_pocket", "(length, width, lead)");
  putTogether(slot, {&design.apexSlotWidth, &design.apexSlotDepth}, "apex_slot", "(width, depth)");
  design.housingWall = typed(housingWall);
  design.sidePlate = typed(sidePlate);
  design.sideClearance = typed(sideClearance);
  design.rotorBore = typed(rotorBore);
  design.density = typed(density);
  design.chord = typed(chord);
  design.tolerance = typed(tolerance);
  design.shaftAngle = typed(shaftAngle);
  design.rotors = typed(rotors);
  design.gearModule = typed(module);
  design.rpm = typed(rpm);
  design.unit = units;
  if (!sides.empty() || !peripherals.empty()) {
    design.ports =
        std::make_shared<const std::vector<PortDefinition>>(checkedPorts(sides, peripherals));
  }
  return solidsFor(design, step, stepParts, stl);
}

py::dict cycleOf(const std::vector<double>& e, const std::vector<double>& R,
                 const std::vector<double>& W, const std::vector<double>& rpm, bool many, double A,
                 double C, double V, std::optional<double> target, double rotors,
                 const std::string& units, const std::vector<SidePortArgument>& sides,
                 const std::vector<PeripheralArgument>& peripherals,
                 std::optional<double> discharge, std::optional<std::vector<double>> intakePlenum,
                 std::optional<std::vector<double>> exhaustPlenum, std::optional<double> spark,
                 std::optional<double> burn, std::optional<std::vector<double>> wiebe,
                 std::optional<double> afr, std::optional<double> sealGap,
                 std::optional<double> wallTemperature, std::optional<double> heatTransfer,
                 std::optional<double> gamma) {
  // The shared values judged on the first engine; each engine its own lengths and speed.
  study::Design design = realDesignOf(e.front(), R.front(), W.front(), A, C, V);
  design.targetRatio = typed(target);
  design.rotors = typed(rotors);
  design.unit = units;
  design.cycleRpm = typed(rpm.front());
  design.discharge = typed(discharge);
  putTogether(intakePlenum, {&design.intakePressure, &design.intakeTemperature}, "intake_plenum",
              "(pressure, temperature)");
  putTogether(exhaustPlenum, {&design.exhaustPressure, &design.exhaustTemperature},
              "exhaust_plenum", "(pressure, temperature)");
  design.spark = typed(spark);
  design.burn = typed(burn);
  putTogether(wiebe, {&design.wiebeA, &design.wiebeM}, "wiebe", "(a, m)");
  design.airFuelRatio = typed(afr);
  design.sealGap = typed(sealGap);
  design.wallTemperature = typed(wallTemperature);
  design.heatTransfer = typed(heatTransfer);
  design.cycleGamma = typed(gamma);
  if (!sides.empty() || !peripherals.empty()) {
    design.ports =
        std::make_shared<const std::vector<PortDefinition>>(checkedPorts(sides, peripherals));
  }
  if (!many) return cycleFor(design);
  std::vector<study::Design> designs;
  for (std::size_t k = 0; k < rpm.size(); ++k) {
    study::Design each = design;
    each.eccentricity = typed(e[k]);
    each.rotorRadius = typed(R[k]);
    each.chamberWidth = typed(W[k]);
    each.cycleRpm = typed(rpm[k]);
    designs.push_back(std::move(each));
  }
  return cycleSweepFor(designs);
}

}  // namespace
}  // namespace rotary::python

PYBIND11_MODULE(_rotary_ratio, module) {
  using namespace rotary::python;
  module.doc() =
      "The compression-ratio limit of a rotary engine, computed by rotary-ratio's engine.";
  module.attr("__version__") = ROTARY_VERSION;
  module.def("sweep", &sweep, py::arg("e"), py::arg("R"), py::arg("W"), py::arg("steps") = 100.0);
  module.def("exact_limit", &exactLimitOf, py::arg("e"), py::arg("R"), py::arg("W"));
  py::register_exception<DesignRefused>(module, "DesignError", PyExc_ValueError);
  module.def("real_engine", &realEngineOf, py::arg("e"), py::arg("R"), py::arg("W"),
             py::arg("seal_offset") = 0.0, py::arg("clearance") = 0.0, py::arg("recess") = 0.0,
             py::arg("target_ratio") = std::nullopt, py::arg("rotors") = 1.0,
             py::arg("gear_module") = std::nullopt, py::arg("rpm") = std::nullopt,
             py::arg("gamma") = 1.4, py::arg("recess_area") = std::nullopt, py::arg("units") = "",
             py::arg("recess_pocket") = std::nullopt);
  module.def("volume_curve", &volumeCurveOf, py::arg("e"), py::arg("R"), py::arg("W"),
             py::arg("seal_offset") = 0.0, py::arg("clearance") = 0.0, py::arg("recess") = 0.0,
             py::arg("angle_step") = 1.0, py::arg("rpm") = std::nullopt,
             py::arg("recess_area") = std::nullopt, py::arg("units") = "");
  module.def("ports", &portsOf, py::arg("e"), py::arg("R"), py::arg("W"), py::arg("seal_offset"),
             py::arg("clearance"), py::arg("recess"), py::arg("angle_step"), py::arg("sides"),
             py::arg("peripherals"), py::arg("units") = "");
  module.def("port_edge", &portEdgeOf, py::arg("e"), py::arg("R"), py::arg("W"), py::arg("angle"),
             py::arg("seal_offset"), py::arg("clearance"));
  module.def("solids", &solidsOf, py::arg("e"), py::arg("R"), py::arg("W"), py::arg("seal_offset"),
             py::arg("clearance"), py::arg("recess"), py::arg("target_ratio"),
             py::arg("recess_pocket"), py::arg("apex_slot"), py::arg("housing_wall"),
             py::arg("side_plate"), py::arg("side_clearance"), py::arg("rotor_bore"),
             py::arg("density"), py::arg("chord"), py::arg("tolerance"), py::arg("shaft_angle"),
             py::arg("rotors"), py::arg("gear_module"), py::arg("rpm"), py::arg("sides"),
             py::arg("peripherals"), py::arg("units"), py::arg("step"), py::arg("step_parts"),
             py::arg("stl"));
  module.def("cycle", &cycleOf, py::arg("e"), py::arg("R"), py::arg("W"), py::arg("rpm"),
             py::arg("many"), py::arg("seal_offset"), py::arg("clearance"), py::arg("recess"),
             py::arg("target_ratio"), py::arg("rotors"), py::arg("units"), py::arg("sides"),
             py::arg("peripherals"), py::arg("discharge"), py::arg("intake_plenum"),
             py::arg("exhaust_plenum"), py::arg("spark"), py::arg("burn"), py::arg("wiebe"),
             py::arg("afr"), py::arg("seal_gap"), py::arg("wall_temperature"),
             py::arg("heat_transfer"), py::arg("gamma"));
  module.def("study", &studyOf, py::arg("e"), py::arg("R"), py::arg("W"), py::arg("steps"),
             py::arg("method"), py::arg("A"), py::arg("C"), py::arg("V"), py::arg("real"),
             py::arg("target"), py::arg("rotors"), py::arg("module"), py::arg("rpm"),
             py::arg("gamma"), py::arg("recess_area"), py::arg("sides"), py::arg("peripherals"),
             py::arg("units"));
}
