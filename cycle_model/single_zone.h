// One chamber of the engine as a single zone of ideal gas: its mass, temperature and
// composition (fresh charge against burned gas, and the fuel not yet burned), under the first
// law for an open system with a moving wall. The chamber's volume, its slope and its walls come
// from the geometry; each opening lets gas through at its open area as an orifice does, to or
// from a plenum; a Wiebe function releases the fuel's heat; a Woschni-type coefficient takes heat
// to the walls. The shaft's angle in degrees is the independent variable.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "gas.h"
#include "wiebe.h"

namespace rotary::cycle {

// The chamber in SI units at a shaft angle in degrees.
struct ChamberGeometry {
  std::function<double(double)> volume;   // m^3
  std::function<double(double)> slope;    // m^3 per degree
  std::function<double(double)> surface;  // m^2
};

struct Plenum {
  double pressure = 101300;  // Pa
  double temperature = 298;  // K
};

// A port: its open area at a shaft angle (m^2), and the plenum behind it, which holds the fresh
// charge (an intake) or burned gas (an exhaust).
struct Opening {
  std::function<double(double)> area;
  Plenum plenum;
  bool intake = true;
};

struct ModelSettings {
  double rpm = 3000;
  std::optional<double> gamma;  // constant specific heats at this ratio, for the checks
  double discharge = 0.7;       // of every port
  double airFuelRatio = 14.7;   // of the intake plenum's premixed charge
  double stoichiometric = 14.7;
  double heatingValue = 43.5e6;  // J/kg, the fuel's lower heating value
  Wiebe wiebe;                   // in shaft degrees
  double heatTransfer = 1;       // a factor on the coefficient; 0 for no heat lost
  double wallTemperature = 450;  // K
  double speed = 10;             // m/s: the characteristic speed of the gas
};

// The state, and what it has exchanged since the integration began (each in J or kg).
enum StateIndex {
  kMass,  // kg in the chamber
  kTemperature,
  kBurned,    // kg of burned gas in it
  kFuel,      // kg of fuel not yet burned in it
  kWork,      // J done on the rotor: the integral of p dV
  kHeatLost,  // J to the walls
  kReleased,  // J of the fuel's heat released
  kEnthalpyIn,
  kEnthalpyOut,
  kMassIn,
  kMassOut,
  kLeaked,  // kg out past the apex seals (counted in kMassOut too)
  kStateSize
};
using State = std::array<double, kStateSize>;

// A neighbouring chamber's gas at a shaft angle of this one: its pressure, temperature, burned
// fraction and fuel fraction.
struct Neighbour {
  double pressure = 0, temperature = 0, burned = 0, fuel = 0;
};
using NeighbourAt = std::function<Neighbour(double theta)>;

// The chamber's equations, d state / d shaft degree.
class SingleZone {
 public:
  SingleZone(ChamberGeometry geometry, std::vector<Opening> openings, ModelSettings settings);

  // The fuel that burns from the Wiebe function's start: what is in the chamber then, as far as
  // its air burns it.
  void setFuelToBurn(double kilograms) { fuelToBurn_ = kilograms; }
  // The leakage past the apex seals: each seal an orifice of `sealArea` (m^2, the seal's length
  // times its gap) to the chamber ahead and the one behind, whose gas `ahead` and `behind` give;
  // none where the area is 0.
  void setLeakage(double sealArea, NeighbourAt ahead, NeighbourAt behind) {
    sealArea_ = sealArea;
    ahead_ = std::move(ahead);
    behind_ = std::move(behind);
  }
  double pressure(const State& x, double theta) const;
  // The gas's energy per kilogram (J/kg), sensible, of its composition at its temperature.
  double energy(const State& x) const;
  // The fuel the chamber's fresh charge can burn: its fuel, as far as its air goes.
  double burnable(const State& x) const;

  void operator()(const State& x, State& dx, double theta) const;

  // Burns `fuel` at once at constant volume: the heat goes into the gas, the charge that burns
  // turns into burned gas. For a Wiebe function of no duration.
  void burnAtOnce(State& x, double fuel) const;

  const ModelSettings& settings() const { return settings_; }
  const ChamberGeometry& geometry() const { return geometry_; }

 private:
  struct Mixture {
    double R, cv, u, h, gamma;
  };
  Mixture mixtureOf(double burnedFraction, double T) const;

  ChamberGeometry geometry_;
  std::vector<Opening> openings_;
  ModelSettings settings_;
  Gas air_, burned_;
  double fuelToBurn_ = 0;
  double sealArea_ = 0;
  NeighbourAt ahead_, behind_;
};

// A row of the record: the state at a shaft angle, with its pressure.
struct ModelPoint {
  double theta = 0, pressure = 0;
  State state{};
};

// Integrates from `from` to `to` degrees with Dormand-Prince's adaptive fifth order method,
// each step's error held within 1e-10 of the state (and 1e-13 absolute); `record`, where given,
// gets the state at every `every` degrees, the ends included. False where the step size falls
// to nothing: the integration did not converge.
bool integrate(const SingleZone& model, State& x, double from, double to,
               std::vector<ModelPoint>* record = nullptr, double every = 1);

}  // namespace rotary::cycle
