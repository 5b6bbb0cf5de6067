#include "single_zone.h"

#include <boost/numeric/odeint.hpp>
#include <cmath>
#include <utility>

#include "orifice.h"

namespace rotary::cycle {

SingleZone::SingleZone(ChamberGeometry geometry, std::vector<Opening> openings,
                       ModelSettings settings)
    : geometry_(std::move(geometry)),
      openings_(std::move(openings)),
      settings_(settings),
      air_(Gas::Kind::kAir, settings.gamma),
      burned_(Gas::Kind::kBurned, settings.gamma) {}

SingleZone::Mixture SingleZone::mixtureOf(double b, double T) const {
  Mixture m;
  m.R = (1 - b) * air_.gasConstant() + b * burned_.gasConstant();
  m.cv = (1 - b) * air_.cv(T) + b * burned_.cv(T);
  m.u = (1 - b) * air_.energy(T) + b * burned_.energy(T);
  // What a kilogram carries through a port: its energy and the work that pushes it, p / rho.
  m.h = m.u + m.R * T;
  m.gamma = (m.cv + m.R) / m.cv;
  return m;
}

double SingleZone::pressure(const State& x, double theta) const {
  const double b = x[kMass] > 0 ? x[kBurned] / x[kMass] : 0;
  return x[kMass] * mixtureOf(b, x[kTemperature]).R * x[kTemperature] / geometry_.volume(theta);
}

double SingleZone::energy(const State& x) const {
  return mixtureOf(x[kBurned] / x[kMass], x[kTemperature]).u;
}

double SingleZone::burnable(const State& x) const {
  const double air = x[kMass] - x[kBurned] - x[kFuel];
  return std::max(0.0, std::min(x[kFuel], air / settings_.stoichiometric));
}

void SingleZone::operator()(const State& x, State& dx, double theta) const {
  dx.fill(0);
  const double m = x[kMass], T = x[kTemperature];
  const double b = x[kBurned] / m, fuelFraction = x[kFuel] / m;
  const double V = geometry_.volume(theta), dV = geometry_.slope(theta);
  const Mixture gas = mixtureOf(b, T);
  const double p = m * gas.R * T / V;
  const double secondsPerDegree = 1 / (6 * settings_.rpm);

  // Through an orifice to the gas beyond it: out at the chamber's state, in at the other's.
  // What went out, for the seals' leakage.
  double dm = 0, dBurned = 0, dFuel = 0, enthalpyIn = 0, enthalpyOut = 0, massIn = 0, massOut = 0;
  const auto exchange = [&](double area, const Neighbour& other) {
    if (p > other.pressure) {
      const double out =
          massFlow(area, {p, T, gas.R, gas.gamma}, other.pressure) * secondsPerDegree;
      dm -= out;
      massOut += out;
      dBurned -= out * b;
      dFuel -= out * fuelFraction;
      enthalpyOut += out * gas.h;
      return out;
    }
    const Mixture beyond = mixtureOf(other.burned, other.temperature);
    const double in =
        massFlow(area, {other.pressure, other.temperature, beyond.R, beyond.gamma}, p) *
        secondsPerDegree;
    dm += in;
    massIn += in;
    dBurned += in * other.burned;
    dFuel += in * other.fuel;
    enthalpyIn += in * beyond.h;
    return 0.0;
  };
  // The ports, to their plenums: the intake's premixed charge, the exhaust's burned gas.
  const double intakeFuel = 1 / (1 + settings_.airFuelRatio);
  for (const Opening& opening : openings_) {
    const double area = settings_.discharge * opening.area(theta);
    if (!(area > 0)) continue;
    exchange(area, {opening.plenum.pressure, opening.plenum.temperature, opening.intake ? 0.0 : 1.0,
                    opening.intake ? intakeFuel : 0.0});
  }
  // Past the apex seals, to and from the chambers either side: the same orifice, with the seal's
  // gap for an area, their gas from the cycle before.
  double leaked = 0;
  if (sealArea_ > 0) {
    for (const NeighbourAt* side : {&ahead_, &behind_}) {
      if (!*side) continue;
      const Neighbour n = (*side)(theta);
      if (!(n.pressure > 0)) continue;  // no neighbour's gas known yet
      leaked += exchange(sealArea_, n);
    }
  }
  // The fuel burns as the Wiebe function has it, with its air: that charge turns into burned
  // gas, and its heat is released.
  const double fuelBurning = fuelToBurn_ * settings_.wiebe.rate(theta);
  const double released = settings_.heatingValue * fuelBurning;
  dFuel -= fuelBurning;
  dBurned += fuelBurning * (1 + settings_.stoichiometric);
  // Heat to the walls: Woschni's coefficient, 3.26 L^-0.2 p^0.8 T^-0.55 w^0.8 (W/m^2 K, p in
  // kPa), on the length 4V/A.
  double lost = 0;
  if (settings_.heatTransfer > 0) {
    const double A = geometry_.surface(theta), L = 4 * V / A;
    const double coefficient =
        settings_.heatTransfer * 3.26 *
        std::exp(-0.2 * std::log(L) + 0.8 * std::log(p / 1000 * settings_.speed) -
                 0.55 * std::log(T));
    lost = coefficient * A * (T - settings_.wallTemperature) * secondsPerDegree;
  }
  const double work = p * dV;
  // d(m u) = released - lost - p dV + h_in dm_in - h dm_out, with u = (1 - b) u_air + b u_burned:
  // m cv dT = that - u dm - (u_burned - u_air) (dBurned - b dm).
  const double spread = burned_.energy(T) - air_.energy(T);
  const double energy = released - lost - work + enthalpyIn - enthalpyOut;
  dx[kMass] = dm;
  dx[kTemperature] = (energy - gas.u * dm - spread * (dBurned - b * dm)) / (m * gas.cv);
  dx[kBurned] = dBurned;
  dx[kFuel] = dFuel;
  dx[kWork] = work;
  dx[kHeatLost] = lost;
  dx[kReleased] = released;
  dx[kEnthalpyIn] = enthalpyIn;
  dx[kEnthalpyOut] = enthalpyOut;
  dx[kMassIn] = massIn;
  dx[kMassOut] = massOut;
  dx[kLeaked] = leaked;
}

void SingleZone::burnAtOnce(State& x, double fuel) const {
  const double m = x[kMass], T = x[kTemperature];
  const double bBefore = x[kBurned] / m;
  const double energy = m * mixtureOf(bBefore, T).u + settings_.heatingValue * fuel;
  x[kFuel] -= fuel;
  x[kBurned] += fuel * (1 + settings_.stoichiometric);
  x[kReleased] += settings_.heatingValue * fuel;
  const double b = x[kBurned] / m;
  // The temperature whose energy is the old one and the heat: Newton's method on u(T).
  double t = T;
  for (int n = 0; n < 50; ++n) {
    const Mixture gas = mixtureOf(b, t);
    const double step = (m * gas.u - energy) / (m * gas.cv);
    t -= step;
    if (std::abs(step) < 1e-13 * t) break;
  }
  x[kTemperature] = t;
}

bool integrate(const SingleZone& model, State& x, double from, double to,
               std::vector<ModelPoint>* record, double every) {
  namespace odeint = boost::numeric::odeint;
  auto stepper = odeint::make_controlled(1e-13, 1e-10, odeint::runge_kutta_dopri5<State>());
  const auto observe = [&](const State& s, double theta) {
    if (record) record->push_back({theta, model.pressure(s, theta), s});
  };
  try {
    if (record) {
      std::vector<double> angles;
      const long count = std::max(1L, std::lround((to - from) / every));
      for (long n = 0; n <= count; ++n) angles.push_back(from + (to - from) * n / count);
      odeint::integrate_times(stepper, std::ref(model), x, angles.begin(), angles.end(), 0.1,
                              observe);
    } else {
      odeint::integrate_adaptive(stepper, std::ref(model), x, from, to, 0.1);
    }
  } catch (const std::exception&) {
    // Odeint gives up where the step it needs falls below what it can take.
    return false;
  }
  for (const double value : x) {
    if (!std::isfinite(value)) return false;
  }
  return true;
}

}  // namespace rotary::cycle
