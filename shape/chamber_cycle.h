// The chamber and its leading apex seal over the cycle, beyond the volume: the chamber's walls
// against its volume (the heat it gives them, the mixture left in its corners), the seal's speed
// sliding on the bore and the inertia along its groove, the shaft's torque per bar in the chamber
// and the ideal cycle's efficiency. Lengths, areas and volumes are in the user's units; speeds,
// forces and torques in SI units whatever the lengths' unit, which `metresPerUnit` states.
#pragma once

#include <numbers>
#include <optional>
#include <utility>

#include "real_engine.h"
#include "real_shape.h"

namespace rotary {

// What the figures beyond the volume take besides the engine.
struct ChamberSettings {
  double metresPerUnit = 0.001;  // of the lengths: the window's are millimetres
  std::optional<double> rpm;     // of the eccentric shaft, for the seal's figures
  double gamma = 1.4;            // ratio of specific heats, for the ideal cycle
  // What the walls of a flank's recess add to the chamber's surface, in the unit squared, as CAD
  // gives it; none leaves them out.
  std::optional<double> recessArea;
};

inline constexpr double kPascalsPerBar = 1e5;
inline constexpr double kRadiansPerDegree = std::numbers::pi / 180;

// The chamber's motion angle in radians, the housing's seen from the rotor, at a shaft angle in
// degrees: two thirds of it.
inline double motionAngle(double shaftDegrees) {
  return 2 * shaftDegrees / 3 * kRadiansPerDegree;
}

// One chamber at any shaft angle in degrees, 0 at top dead centre of compression. For dimensions
// whose real engine has figures; with no seal offset, clearance or recess, the bare shape's.
class ChamberCycle {
 public:
  ChamberCycle(double e, double R, double W, const RealEngine& real, double volumeDivisor,
               double recessArea = 0);
  // In the unit of the volumes, with the recess.
  double volume(double shaftAngle) const;
  // d volume / d shaft angle per degree, exact.
  double slope(double shaftAngle) const;
  // The chamber's walls in the unit squared: the chamber width times its outline (bore, flank,
  // and the seals' tips and rotor ends that close it), both side walls, and the recess's walls.
  double surface(double shaftAngle) const;
  // The surface over the volume, both in the lengths' unit: per unit of length.
  double surfaceToVolume(double shaftAngle) const;

 private:
  double K_, e_, W_, divisor_, recess_, recessArea_;
  exact::Offsets offsets_;
  exact::ChamberOverTheCycle chamber_;
  double flankLength_;
};

// The torque on the shaft for each bar in the chamber, N m, at a slope in the volume unit per
// degree of the shaft.
double torquePerBar(double slopePerDegree, double volumeDivisor, double metresPerUnit);

// The chamber's leading apex seal at a shaft angle, per unit of the shaft's speed.
struct SealMotion {
  // The speed at which the seal's tip slides over the bore, lengths per radian of the shaft: the
  // speed of the tip's material at its point of contact, which moves with the rotor. It wears at
  // this speed.
  double speed;
  // The speed at which the point of contact itself travels along the bore: the same where the
  // seal has no offset, and not the seal's wear.
  double contactSpeed;
  // The inertia force along the seal's groove, outwards, per unit of the seal's mass and of the
  // shaft's speed squared: a length. Below 0 it draws the seal into its groove.
  double inertia;
};
SealMotion sealMotion(double e, double R, double sealOffset, double shaftAngle);

// The seal's motion at a shaft speed in revolutions per minute: its speed in m/s, and its inertia
// in N per gram of seal.
double metresPerSecond(const SealMotion& motion, double rpm, double metresPerUnit);
double newtonsPerGram(const SealMotion& motion, double rpm, double metresPerUnit);

struct SealFigures {
  double rpm = 0;
  // The tip's sliding speed over the bore.
  double leastSpeed = 0, meanSpeed = 0, largestSpeed = 0;  // m/s
  double leastInertia = 0, largestInertia = 0;             // N per gram of seal
  // The shaft angles between which the inertia draws the seal in (from R / 9 < e on), starting
  // within 0 to 540 degrees, and again 540 degrees later; none when it never does.
  std::optional<std::pair<double, double>> drawnIn;
};
// In closed form: the apex runs at |e + R/3 e^(i phi)| per radian of the shaft, the tip's
// material a third of the offset faster, and the inertia is R/9 + e cos phi.
SealFigures sealFigures(double e, double R, double sealOffset, double rpm, double metresPerUnit);

// The ideal Otto cycle's efficiency at a compression ratio: 1 - ratio^(1 - gamma).
double ottoEfficiency(double ratio, double gamma);

struct ChamberFigures {
  double surfaceToVolumeAtTdc = 0;  // per unit of length
  double ottoEfficiency = 0;        // at the ratio of the figures
  // A recess whose walls the surface leaves out, no recess area given.
  bool recessWallsLeftOut = false;
  std::optional<SealFigures> seal;  // with an rpm
};

// The figures of an engine whose shape (or real engine) has `figures`, in these volume units.
ChamberFigures chamberFigures(double e, double R, double W, const RealEngine& real,
                              const ExactFigures& figures, double volumeDivisor,
                              const ChamberSettings& settings);

}  // namespace rotary
