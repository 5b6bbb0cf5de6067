// One chamber over its whole cycle: its volume against the eccentric shaft's angle, from top
// dead centre of compression through the four strokes (1080 degrees of the shaft, one turn of
// the rotor), with the volume's slope and the lean of the apex seal that leads the chamber.
//
// The shaft turns three times for each turn of the rotor, and the chamber's motion angle, that
// of the housing seen from the rotor, is two thirds of the shaft's: each stroke takes 270 degrees
// of the shaft, and the volume repeats after 540.
#pragma once

#include <atomic>
#include <optional>
#include <vector>

#include "chamber_cycle.h"
#include "real_engine.h"

namespace rotary {

struct CyclePoint {
  double shaftAngle;       // degrees, 0 at top dead centre of compression
  double rotorAngle;       // degrees, a third of the shaft's
  double volume;           // in the unit of the volumes, with the recess
  double slope;            // d volume / d shaft angle, per degree, exact
  double sealLean;         // degrees: see sealLean()
  double surface;          // the chamber's walls, in the unit of length squared
  double surfaceToVolume;  // per unit of length
  double torquePerBar;     // N m on the shaft per bar in the chamber
  // With an rpm: the leading apex seal's sliding speed on the bore in m/s, and the inertia along
  // its groove in N per gram of seal.
  std::optional<double> sealSpeed, sealInertiaPerGram;
};

// Every `angleStep` degrees of the shaft from 0 up to 1080, 1080 itself where the steps land on
// it. For dimensions whose real engine has figures (realLimit says so); with no seal offset,
// clearance or recess, the bare shape's.
// Once `stop` is set the curve ends where it is, short.
std::vector<CyclePoint> volumeCurve(double e, double R, double W, const RealEngine& real,
                                    double angleStep, double volumeDivisor = kWindowVolumeDivisor,
                                    const ChamberSettings& settings = {},
                                    const std::atomic<bool>* stop = nullptr);

// The volume alone at the same angles as volumeCurve, the same numbers, for what needs no more
// (a port's open areas beside the volume).
struct CycleVolumes {
  std::vector<double> shaftAngles, volumes;
};
CycleVolumes cycleVolumes(double e, double R, double W, const RealEngine& real, double angleStep,
                          double volumeDivisor = kWindowVolumeDivisor,
                          const std::atomic<bool>* stop = nullptr);

// The lean of the apex seal that leads the chamber, in degrees, at a shaft angle in degrees: the
// angle from the seal's line (rotor centre to apex) to the bore's normal where the seal touches
// it, counter-clockwise positive. The rotor turns clockwise as the shaft angle grows, the seal
// offset leaves the normals as they are, and so the lean depends on K alone.
double sealLean(double K, double shaftAngle);

// The largest lean over the cycle, in degrees, found by search: arcsin(3 / K) in closed form.
double largestSealLean(double K);

}  // namespace rotary
