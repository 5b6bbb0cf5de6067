// The working gas as an ideal gas: air (the fresh charge, its fuel vapour counted as air) and
// the burned gas of gasoline at the stoichiometric ratio, each a mixture of species whose
// specific heats follow the NASA seven-coefficient polynomials; or, for the checks against
// closed forms, both with one constant ratio of specific heats.
#pragma once

#include <array>
#include <optional>

namespace rotary::cycle {

inline constexpr double kUniversalGasConstant = 8.314462618;  // J / (mol K)
inline constexpr double kReferenceTemperature = 298.15;       // K: sensible energies are 0 here

// One gas of the chamber: its gas constant and its sensible enthalpy and energy per kilogram.
class Gas {
 public:
  enum class Kind { kAir, kBurned };
  // With `gamma`, a perfect gas of that constant ratio and air's gas constant.
  explicit Gas(Kind kind, std::optional<double> gamma = std::nullopt);

  double gasConstant() const { return R_; }  // J / (kg K)
  double cp(double T) const;                 // J / (kg K)
  double cv(double T) const { return cp(T) - R_; }
  // Sensible, from 298.15 K, so that combustion's heat is the fuel's lower heating value: the
  // integral of cp, and of cv, from there. What a kilogram carries through a port is its
  // energy and R T.
  double enthalpy(double T) const;  // J / kg
  double energy(double T) const { return enthalpy(T) - R_ * (T - kReferenceTemperature); }

 private:
  std::optional<double> gamma_;
  double R_;
  double molarMass_;  // kg / mol
  // The mixture's own polynomials, per kilogram over R: its species' summed by their moles,
  // below and above 1000 K, and the sensible enthalpy's zero at 298.15 K.
  std::array<double, 6> low_{}, high_{};
  double reference_ = 0;
};

}  // namespace rotary::cycle
