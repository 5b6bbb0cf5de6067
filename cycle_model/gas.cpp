#include "gas.h"

#include <array>

namespace rotary::cycle {
namespace {

// The NASA seven-coefficient polynomials of each species, cp / R = a1 + a2 T + a3 T^2 + a4 T^3
// + a5 T^4 and H / RT = a1 + a2 T / 2 + a3 T^2 / 3 + a4 T^3 / 4 + a5 T^4 / 5 + a6 / T, below and
// above 1000 K; the coefficients of GRI-Mech 3.0's thermodynamic data (Smith et al., Berkeley,
// 1999), themselves from the Burcat and McBride (NASA TM-4513, 1993) tables.
struct Species {
  double molarMass;  // kg / mol
  std::array<double, 6> low, high;
};

constexpr Species kN2{
    0.0280134,
    {3.298677, 1.4082404e-3, -3.963222e-6, 5.641515e-9, -2.444854e-12, -1020.8999},
    {2.92664, 1.4879768e-3, -5.68476e-7, 1.0097038e-10, -6.753351e-15, -922.7977}};
constexpr Species kO2{
    0.0319988,
    {3.78245636, -2.99673416e-3, 9.84730201e-6, -9.68129509e-9, 3.24372837e-12, -1063.94356},
    {3.28253784, 1.48308754e-3, -7.57966669e-7, 2.09470555e-10, -2.16717794e-14, -1088.45772}};
constexpr Species kCO2{
    0.0440095,
    {2.35677352, 8.98459677e-3, -7.12356269e-6, 2.45919022e-9, -1.43699548e-13, -48371.9697},
    {3.85746029, 4.41437026e-3, -2.21481404e-6, 5.23490188e-10, -4.72084164e-14, -48759.166}};
constexpr Species kH2O{
    0.01801528,
    {4.19864056, -2.0364341e-3, 6.52040211e-6, -5.48797062e-9, 1.77197817e-12, -30293.7267},
    {3.03399249, 2.17691804e-3, -1.64072518e-7, -9.7041987e-11, 1.68200992e-14, -30004.2971}};

struct Part {
  const Species* species;
  double moles;
};
// Air: 79 % nitrogen, 21 % oxygen by volume. Gasoline's burned gas, as octane's at the
// stoichiometric ratio: C8H18 + 12.5 (O2 + 3.76 N2) -> 8 CO2 + 9 H2O + 47 N2.
constexpr std::array<Part, 2> kAir{{{&kN2, 0.79}, {&kO2, 0.21}}};
constexpr std::array<Part, 3> kBurned{{{&kCO2, 8.0 / 64}, {&kH2O, 9.0 / 64}, {&kN2, 47.0 / 64}}};

// cp / R and H / R (K) of a polynomial at T.
double cpOverR(const std::array<double, 6>& a, double T) {
  return a[0] + T * (a[1] + T * (a[2] + T * (a[3] + T * a[4])));
}
double hOverR(const std::array<double, 6>& a, double T) {
  return T * (a[0] + T * (a[1] / 2 + T * (a[2] / 3 + T * (a[3] / 4 + T * a[4] / 5)))) + a[5];
}

template <std::size_t N>
double molarMassOf(const std::array<Part, N>& mixture) {
  double M = 0;
  for (const Part& p : mixture) M += p.moles * p.species->molarMass;
  return M;
}

// A mixture's coefficients: its species' by their moles (per mole of the mixture, over R).
template <std::size_t N>
void summed(const std::array<Part, N>& mixture, std::array<double, 6>& low,
            std::array<double, 6>& high) {
  for (const Part& p : mixture) {
    for (std::size_t k = 0; k < 6; ++k) {
      low[k] += p.moles * p.species->low[k];
      high[k] += p.moles * p.species->high[k];
    }
  }
}

}  // namespace

Gas::Gas(Kind kind, std::optional<double> gamma) : gamma_(gamma) {
  const bool air = gamma || kind == Kind::kAir;
  molarMass_ = air ? molarMassOf(kAir) : molarMassOf(kBurned);
  R_ = kUniversalGasConstant / molarMass_;
  if (air) {
    summed(kAir, low_, high_);
  } else {
    summed(kBurned, low_, high_);
  }
  reference_ = hOverR(low_, kReferenceTemperature);
}

double Gas::cp(double T) const {
  if (gamma_) return *gamma_ * R_ / (*gamma_ - 1);
  return cpOverR(T < 1000 ? low_ : high_, T) * R_;
}

double Gas::enthalpy(double T) const {
  if (gamma_) return cp(T) * (T - kReferenceTemperature);
  return (hOverR(T < 1000 ? low_ : high_, T) - reference_) * R_;
}

}  // namespace rotary::cycle
