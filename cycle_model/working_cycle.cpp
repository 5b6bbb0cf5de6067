#include "working_cycle.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "chamber_cycle.h"
#include "designer.h"

namespace rotary::cycle {
namespace {

constexpr int kMostCycles = 60;
constexpr double kPeriodicTolerance = 1e-6;

// A port's open area over the cycle, in m^2, from a table at kAreaTableStep, periodic.
std::function<double(double)> areaTable(std::vector<double> areas) {
  auto table = std::make_shared<const std::vector<double>>(std::move(areas));
  return [table](double theta) {
    double at = std::fmod(theta, 1080.0);
    if (at < 0) at += 1080;
    const double index = at / kAreaTableStep;
    const auto n = static_cast<std::size_t>(index);
    if (n + 1 >= table->size()) return table->back();
    const double f = index - static_cast<double>(n);
    return (*table)[n] * (1 - f) + (*table)[n + 1] * f;
  };
}

// The chamber's volume and slope, exact at every degree, between them the cubic that has those
// values and slopes at both ends (Hermite's): its slope is the volume's own derivative, as the
// energy equation needs, and within 1e-9 of the exact one. The walls every two degrees, linearly
// between. Each exact value costs microseconds; the integration asks for millions.
ChamberGeometry tabulated(const ChamberCycle& chamber, double volumeDivisor, double m) {
  const double cubic = volumeDivisor * m * m * m, square = m * m;
  struct Table {
    std::vector<double> volume, slope, surface;
  };
  auto table = std::make_shared<Table>();
  // Half a cycle on, the rotor has turned half a turn and the chamber lies in the bore's other
  // lobe, the same shape turned about the crank axis: its volume, slope and walls repeat every
  // 540 degrees, and only the first half is computed.
  for (int n = 0; n <= 1080; ++n) {
    table->volume.push_back(n > 540 ? table->volume[n - 540] : chamber.volume(n) * cubic);
    table->slope.push_back(n > 540 ? table->slope[n - 540] : chamber.slope(n) * cubic);
  }
  // The walls, which only the heat lost takes, every two degrees: they cost the most.
  for (int n = 0; n <= 1080; n += 2) {
    table->surface.push_back(n > 540 ? table->surface[(n - 540) / 2] : chamber.surface(n) * square);
  }
  // The degree below the angle within the cycle, and how far past it.
  const auto place = [](double theta, double& f) {
    double at = std::fmod(theta, 1080.0);
    if (at < 0) at += 1080;
    const auto n = std::min<std::size_t>(static_cast<std::size_t>(at), 1079);
    f = at - static_cast<double>(n);
    return n;
  };
  ChamberGeometry g;
  g.volume = [table, place](double theta) {
    double t;
    const std::size_t n = place(theta, t);
    const double t2 = t * t, t3 = t2 * t;
    return (2 * t3 - 3 * t2 + 1) * table->volume[n] + (t3 - 2 * t2 + t) * table->slope[n] +
           (-2 * t3 + 3 * t2) * table->volume[n + 1] + (t3 - t2) * table->slope[n + 1];
  };
  g.slope = [table, place](double theta) {
    double t;
    const std::size_t n = place(theta, t);
    const double t2 = t * t;
    return (6 * t2 - 6 * t) * table->volume[n] + (3 * t2 - 4 * t + 1) * table->slope[n] +
           (-6 * t2 + 6 * t) * table->volume[n + 1] + (3 * t2 - 2 * t) * table->slope[n + 1];
  };
  g.surface = [table, place](double theta) {
    double t;
    const std::size_t degree = place(theta, t), n = degree / 2;
    const double f = (static_cast<double>(degree % 2) + t) / 2;
    return table->surface[n] * (1 - f) + table->surface[n + 1] * f;
  };
  return g;
}

double relativeChange(const State& a, const State& b) {
  double most = 0;
  for (const int k : {kMass, kTemperature, kBurned, kFuel}) {
    const double scale = std::max(std::abs(a[k]), std::abs(a[kMass]) * 1e-3);
    most = std::max(most, std::abs(a[k] - b[k]) / scale);
  }
  return most;
}

// Power and torque of `rotors` rotors from one chamber's work a cycle: each rotor fires once a
// turn of the shaft, three chambers each once in three turns.
void putPower(CycleFigures& f, double work, double rpm, int rotors) {
  const double power = work * rotors * rpm / 60;
  f.indicatedPower = power / 1000;
  f.indicatedTorque = power / (2 * std::acos(-1.0) * rpm / 60);
}

// The highest pressure of the record and its angle within the cycle.
void putPeak(CycleFigures& f, const std::vector<ModelPoint>& record) {
  for (const ModelPoint& point : record) {
    if (point.pressure / 1e5 > f.peakPressure) {
      f.peakPressure = point.pressure / 1e5;
      f.peakPressureAngle = std::fmod(point.theta, 1080.0);
    }
  }
}

// The record as the outputs give it: each point at its angle within the cycle, in their order,
// with what the ports let in and out since the point before.
std::vector<CyclePointSI> curveOf(const std::vector<ModelPoint>& record,
                                  const ChamberGeometry& geometry) {
  std::vector<CyclePointSI> curve;
  State previous = record.front().state;
  for (const ModelPoint& point : record) {
    CyclePointSI row;
    row.theta = std::fmod(point.theta, 1080.0);
    row.volume = geometry.volume(point.theta);
    row.pressure = point.pressure;
    row.temperature = point.state[kTemperature];
    row.massFlowIn = point.state[kMassIn] - previous[kMassIn];
    row.massFlowOut = point.state[kMassOut] - previous[kMassOut];
    previous = point.state;
    curve.push_back(row);
  }
  std::sort(curve.begin(), curve.end(),
            [](const CyclePointSI& a, const CyclePointSI& b) { return a.theta < b.theta; });
  return curve;
}

// The chamber with no ports: from bottom dead centre of intake (810) with the intake plenum's
// charge and its fuel, one compression and one expansion, to bottom dead centre (1350).
CycleOutcome closedCycle(SingleZone& zone, const CycleValues& settings, bool atOnce,
                         double displaced, int rotors) {
  CycleOutcome outcome;
  const Gas air(Gas::Kind::kAir, settings.gamma);
  const ChamberGeometry& geometry = zone.geometry();
  State x{};
  x[kTemperature] = settings.intakeTemperature;
  x[kMass] =
      settings.intakePressure * 1e5 * geometry.volume(810) / (air.gasConstant() * x[kTemperature]);
  x[kFuel] = x[kMass] / (1 + settings.airFuelRatio);
  const State begin = x;
  std::vector<ModelPoint> record, after;
  const double spark = zone.settings().wiebe.start;
  bool integrated = integrate(zone, x, 810, spark, &record, 1);
  if (atOnce) {
    zone.burnAtOnce(x, zone.burnable(x));
  } else {
    zone.setFuelToBurn(zone.burnable(x));
  }
  integrated = integrated && integrate(zone, x, spark, 1350, &after, 1);
  if (!integrated) {
    outcome.message = "the cycle's integration did not converge";
    return outcome;
  }
  record.insert(record.end(), after.begin() + 1, after.end());
  CycleFigures f;
  f.cyclesToConverge = 1;
  f.indicatedWork = x[kWork];
  f.imepNet = f.imepGross = x[kWork] / displaced / 1e5;
  f.heatLost = x[kHeatLost];
  f.indicatedEfficiency = x[kReleased] > 0 ? x[kWork] / x[kReleased] : 0;
  putPower(f, x[kWork], settings.rpm, rotors);
  putPeak(f, record);
  outcome.curve = curveOf(record, geometry);
  // The intake's charge fills the whole chamber at bottom dead centre.
  f.trappedMass = begin[kMass];
  f.volumetricEfficiency = geometry.volume(810) / displaced;
  const auto energyOf = [&zone](const State& s) { return s[kMass] * zone.energy(s); };
  f.energyBalance = x[kReleased] - x[kWork] - x[kHeatLost] - (energyOf(x) - energyOf(begin));
  f.fuelEnergy = x[kReleased];
  outcome.figures = f;
  return outcome;
}

}  // namespace

CycleOutcome runWorkingCycle(const CycleEngine& engine, const CycleValues& settings) {
  CycleOutcome outcome;
  const Plenum intakePlenum{settings.intakePressure * 1e5, settings.intakeTemperature};
  const Plenum exhaustPlenum{settings.exhaustPressure * 1e5, settings.exhaustTemperature};
  const double m = engine.metresPerUnit;
  const ChamberCycle chamber(engine.e, engine.R, engine.W, engine.real, engine.volumeDivisor,
                             engine.recessArea);
  const ChamberGeometry geometry = tabulated(chamber, engine.volumeDivisor, m);

  // The ports' open areas, at the table's step over the cycle.
  std::vector<double> angles;
  for (double theta = 0; theta <= 1080 + 1e-9; theta += kAreaTableStep) angles.push_back(theta);
  const auto areas = openAreas(engine.e, engine.R, engine.real, engine.ports, angles);
  std::vector<Opening> openings;
  bool intake = false, exhaust = false;
  for (std::size_t n = 0; n < engine.ports.size(); ++n) {
    std::vector<double> inMetres = areas[n];
    for (double& a : inMetres) a *= m * m;
    const bool isIntake = engine.ports[n].role == PortRole::kIntake;
    (isIntake ? intake : exhaust) = true;
    openings.push_back(
        {areaTable(std::move(inMetres)), isIntake ? intakePlenum : exhaustPlenum, isIntake});
  }
  if (intake != exhaust) {
    outcome.message = "the cycle needs an intake port and an exhaust port, or none";
    return outcome;
  }

  // The gas moves at the flank's mean speed over the bore: the speed of a point halfway between
  // the flank's middle and its apex, averaged over the cycle.
  const DesignerFigures designer = designerFigures(engine.e, engine.R, engine.real, 0, 1, {});
  const double meanRadius = (designer.flankDistance + engine.R) / 2;
  ModelSettings model;
  model.rpm = settings.rpm;
  model.gamma = settings.gamma;
  model.discharge = settings.discharge;
  model.airFuelRatio = settings.airFuelRatio;
  model.heatTransfer = settings.heatTransfer;
  model.wallTemperature = settings.wallTemperature;
  model.speed = sealFigures(engine.e, meanRadius, 0, settings.rpm, m).meanSpeed;
  // The cycle runs from the spark to the next: the fuel that burns is what the chamber holds
  // then, the intake long closed. A burn of no duration releases the whole heat at top dead
  // centre, at constant volume: the ideal cycle's combustion.
  const bool atOnce = settings.burn <= 0;
  const double start = atOnce ? 1080 : 1080 - settings.spark;
  model.wiebe = Wiebe{start, std::max(settings.burn, 0.0), settings.wiebeA, settings.wiebeM};
  SingleZone zone(geometry, openings, model);
  const double displaced = geometry.volume(810) - geometry.volume(1080);
  const Gas air(Gas::Kind::kAir, settings.gamma);
  const double intakeDensity =
      intakePlenum.pressure / (air.gasConstant() * intakePlenum.temperature);
  if (openings.empty()) return closedCycle(zone, settings, atOnce, displaced, engine.rotors);

  // A first guess: the intake's charge compressed from bottom dead centre.
  const double squeeze = geometry.volume(810) / geometry.volume(start);
  State x{};
  x[kTemperature] = intakePlenum.temperature * std::pow(squeeze, 0.3);
  x[kMass] = intakePlenum.pressure * std::pow(squeeze, 1.3) * geometry.volume(start) /
             (air.gasConstant() * x[kTemperature]);
  x[kFuel] = x[kMass] / (1 + settings.airFuelRatio);

  std::vector<ModelPoint> record;
  // The seals' leakage: each seal as long as the chamber is wide; the chambers either side are
  // this one 360 degrees on and 360 degrees back, as the cycle before found it.
  const double sealArea = settings.sealGap * m * engine.W * m;
  auto previous = std::make_shared<std::vector<Neighbour>>();
  if (sealArea > 0) {
    const auto at = [previous](double theta) {
      if (previous->empty()) return Neighbour{};
      double a = std::fmod(theta, 1080.0);
      if (a < 0) a += 1080;
      return (*previous)[static_cast<std::size_t>(std::lround(a)) % 1080];
    };
    zone.setLeakage(
        sealArea, [at](double theta) { return at(theta + 360); },
        [at](double theta) { return at(theta - 360); });
  }
  for (int cycle = 1; cycle <= kMostCycles; ++cycle) {
    State begin = x;
    for (int k = kWork; k < kStateSize; ++k) begin[k] = 0;
    x = begin;
    if (atOnce) {
      zone.burnAtOnce(x, zone.burnable(x));
    } else {
      zone.setFuelToBurn(zone.burnable(x));
    }
    record.clear();
    if (!integrate(zone, x, start, start + 1080, &record, 1)) {
      outcome.message = "the cycle's integration did not converge";
      return outcome;
    }
    if (sealArea > 0) {
      // The neighbours of the next cycle: this one's gas at every degree.
      std::vector<Neighbour> gas(1080);
      for (const ModelPoint& point : record) {
        const auto degree =
            static_cast<std::size_t>(std::lround(std::fmod(point.theta, 1080.0))) % 1080;
        const State& s = point.state;
        gas[degree] = {point.pressure, s[kTemperature], s[kBurned] / s[kMass], s[kFuel] / s[kMass]};
      }
      const bool first = previous->empty();
      *previous = std::move(gas);
      // The first cycle ran without neighbours: it cannot be the periodic one.
      if (first) continue;
    }
    if (relativeChange(begin, x) < kPeriodicTolerance) {
      CycleFigures f;
      f.cyclesToConverge = cycle;
      const auto at = [&](double theta) {
        // The record's point at this angle of the cycle, which runs from `start`.
        double shifted = theta;
        while (shifted < start) shifted += 1080;
        return record[static_cast<std::size_t>(std::lround(shifted - start))];
      };
      const double work = x[kWork];
      // Gross: over compression and expansion, 810 to 1350.
      const double gross = at(1350 - 1080).state[kWork] + (x[kWork] - at(810).state[kWork]);
      f.indicatedWork = work;
      f.imepNet = work / displaced / 1e5;
      f.imepGross = gross / displaced / 1e5;
      f.pmep = (gross - work) / displaced / 1e5;
      f.heatLost = x[kHeatLost];
      f.massLeaked = x[kLeaked];
      f.indicatedEfficiency = x[kReleased] > 0 ? work / x[kReleased] : 0;
      putPower(f, work, settings.rpm, engine.rotors);
      putPeak(f, record);
      // Trapped: what the chamber holds at the spark, the ports long closed.
      f.trappedMass = begin[kMass];
      const double fresh = begin[kMass] - begin[kBurned];
      f.volumetricEfficiency = fresh / (intakeDensity * displaced);
      f.residualFraction = begin[kBurned] / begin[kMass];
      // The first law and the mass over the cycle, with what the chamber gained in it (nothing,
      // within the periodic tolerance): what is left is the integration's own error.
      const auto energyOf = [&zone](const State& s) { return s[kMass] * zone.energy(s); };
      f.energyBalance = x[kReleased] - work - x[kHeatLost] - (x[kEnthalpyOut] - x[kEnthalpyIn]) -
                        (energyOf(x) - energyOf(begin));
      f.massBalance = x[kMassIn] - x[kMassOut] - (x[kMass] - begin[kMass]);
      f.fuelEnergy = x[kReleased];
      f.massIn = x[kMassIn];
      outcome.figures = f;
      outcome.curve = curveOf(record, geometry);
      return outcome;
    }
  }
  outcome.message =
      "the cycle did not repeat within 1e-6 in " + std::to_string(kMostCycles) + " cycles";
  return outcome;
}

}  // namespace rotary::cycle

namespace rotary::cycle {

void addWorkingCycle(study::EngineRow& row, CycleOutcome* whole) {
  const study::Design& d = row.input;
  if (!d.hasCycle()) return;
  const bool figures =
      d.real ? row.real && row.real->hasFigures() : row.exact && row.exact->hasFigures();
  if (!figures) return;
  CycleEngine engine;
  engine.e = *d.eccentricity.number;
  engine.R = *d.rotorRadius.number;
  engine.W = *d.chamberWidth.number;
  engine.real = d.realEngine();
  engine.volumeDivisor = d.volumeDivisor();
  engine.metresPerUnit = d.lengthUnit().metres;
  engine.ports = d.portList();
  engine.rotors = d.rotorCount();
  engine.recessArea = row.chamberSettings().recessArea.value_or(0);
  CycleOutcome outcome = runWorkingCycle(engine, study::cycleValuesOf(d));
  row.cycle = outcome.figures;
  row.cycleMessage = outcome.figures ? "" : "No cycle figures: " + outcome.message + ".";
  if (whole) *whole = std::move(outcome);
}

ModelledDesign modelDesign(const study::Design& design, study::Face face) {
  ModelledDesign modelled{study::designOutcome(design, face), {}};
  if (modelled.design.message.empty()) addWorkingCycle(modelled.design.row, &modelled.cycle);
  return modelled;
}

study::EngineRow evaluateWithCycle(const study::Design& design, const study::RunRequest& request) {
  study::EngineRow row = study::evaluate(design, request);
  addWorkingCycle(row);
  return row;
}

}  // namespace rotary::cycle
