// The working cycle's settings of a design as numbers, each default stated where the design
// leaves it empty, and the figures the model gives: plain numbers, for the tables and the faces.
#pragma once

#include <optional>
#include <string>

#include "design.h"

namespace rotary::study {

struct CycleValues {
  double rpm = 0;
  double discharge = 0.7;
  double intakePressure = 1.013, intakeTemperature = 298;   // bar, K
  double exhaustPressure = 1.05, exhaustTemperature = 900;  // bar, K
  double spark = 25;                                        // shaft degrees before top dead centre
  double burn = 80;                                         // shaft degrees
  double wiebeA = 5, wiebeM = 2;
  double airFuelRatio = 14.7;
  double sealGap = 0;
  double wallTemperature = 450;  // K
  double heatTransfer = 1;
  std::optional<double> gamma;  // constant specific heats
};

// For a design that asks for the cycle.
CycleValues cycleValuesOf(const Design& design);

// The settings in words, as every output of the model names them.
std::string cycleSettingsText(const CycleValues& values);

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

// The model's figures in numbers, under the names the tables give them, in their order; the
// cycles it took, a count, and the settings in words stand apart.
struct CycleFigureName {
  const char* name;
  double CycleFigures::*member;
};
inline constexpr CycleFigureName kCycleFigureNames[] = {
    {"imep_net", &CycleFigures::imepNet},
    {"imep_gross", &CycleFigures::imepGross},
    {"pmep", &CycleFigures::pmep},
    {"trapped_mass", &CycleFigures::trappedMass},
    {"volumetric_efficiency", &CycleFigures::volumetricEfficiency},
    {"residual_fraction", &CycleFigures::residualFraction},
    {"indicated_work", &CycleFigures::indicatedWork},
    {"indicated_efficiency", &CycleFigures::indicatedEfficiency},
    {"indicated_power", &CycleFigures::indicatedPower},
    {"indicated_torque", &CycleFigures::indicatedTorque},
    {"peak_pressure", &CycleFigures::peakPressure},
    {"peak_pressure_deg", &CycleFigures::peakPressureAngle},
    {"heat_lost", &CycleFigures::heatLost},
    {"mass_leaked", &CycleFigures::massLeaked}};

}  // namespace rotary::study
