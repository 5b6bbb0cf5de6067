// One chamber of a real engine over its working cycle, run until its state repeats: the
// single-zone model with the engine's exact volume and walls, its ports' open areas from the
// tool's own timing, plenums behind them, a Wiebe heat release and Woschni's heat loss. A model,
// and it says so: the waves in the ducts, the flame's travel in a long chamber, the crevices and
// friction are not in it, so its figures are indicated ones.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "port_timing.h"
#include "real_engine.h"
#include "single_zone.h"

namespace rotary::cycle {

// The model's settings, each default stated with its source in docs/method.md.
struct CycleSettings {
  double rpm = 3000;
  double discharge = 0.7;
  Plenum intake{101300, 298};
  Plenum exhaust{105000, 900};
  double spark = 25;  // degrees of the shaft before top dead centre
  double burn = 80;   // degrees of the shaft from spark to the end of the burn
  double wiebeA = 5, wiebeM = 2;
  double airFuelRatio = 14.7;
  double wallTemperature = 450;  // K
  double heatTransfer = 1;       // a factor on Woschni's coefficient; 0 for none
  std::optional<double> gamma;   // constant specific heats, for the checks
};

// The engine in the figures' units: lengths of `metresPerUnit` metres, volumes in the volume
// unit (area x width over `volumeDivisor`).
struct CycleEngine {
  double e = 0, R = 0, W = 0;
  RealEngine real;
  double volumeDivisor = 1000, metresPerUnit = 0.001;
  std::vector<PortDefinition> ports;
  int rotors = 1;
};

struct CycleFigures {
  double imepNet = 0, imepGross = 0, pmep = 0;  // bar
  double volumetricEfficiency = 0, residualFraction = 0;
  double indicatedWork = 0;  // J a chamber a cycle
  double indicatedEfficiency = 0;
  double indicatedPower = 0;   // kW, the engine's
  double indicatedTorque = 0;  // N m
  double peakPressure = 0;     // bar
  double peakPressureAngle = 0;
  double heatLost = 0;     // J a chamber a cycle
  double massLeaked = 0;   // kg a chamber a cycle
  double trappedMass = 0;  // kg
  int cyclesToConverge = 0;
  // The balances the figures close over the last cycle: the fuel's heat against the work, the
  // heat lost, the enthalpy carried through and what the gas gained (J); the mass in against the
  // mass out and what the chamber gained (kg). The fuel's heat and the mass in, to weigh them.
  double energyBalance = 0, massBalance = 0;
  double fuelEnergy = 0, massIn = 0;
};

// The state over the last cycle, at each degree from 0 to 1080.
struct CyclePointSI {
  double theta = 0;
  double volume = 0;                       // m^3
  double pressure = 0;                     // Pa
  double temperature = 0;                  // K
  double massFlowIn = 0, massFlowOut = 0;  // kg per degree through the ports, summed
};

struct CycleOutcome {
  std::optional<CycleFigures> figures;
  std::vector<CyclePointSI> curve;
  std::string message;  // why there are no figures
};

// The step of the ports' open-area tables, degrees of the shaft; between its points the area is
// interpolated.
inline constexpr double kAreaTableStep = 0.25;

CycleOutcome runWorkingCycle(const CycleEngine& engine, const CycleSettings& settings);

}  // namespace rotary::cycle
