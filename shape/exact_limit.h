// The chamber capacity, dead volume and compression-ratio limit of the shape itself, with no
// step count and no sample grid: the yardstick against which the sweep's figures are told.
#pragma once

namespace rotary {

// Volumes are area x width divided by this. The window's lengths are millimetres and its volumes
// cubic centimetres, so it divides by 1000; in any other unit of length the companion gives the
// volumes in that unit cubed (cm^3, m^3, in^3) and divides by 1.
inline constexpr double kWindowVolumeDivisor = 1000;

struct ExactFigures {
  double capacity = 0;    // swept volume / the volume divisor
  double deadVolume = 0;  // top-dead-centre chamber / the volume divisor
  double ratio = 0;       // bottom-dead-centre chamber / top-dead-centre chamber
};

// Why a shape has exact figures or not.
enum class ExactStatus {
  kFigures,
  kNoEccentricity,    // e = 0: the housing is a circle
  kBeyondRotorLimit,  // e >= R / 3: no three-flank rotor fits
  kNoWidth,           // W = 0
  kBeyondPrecision,   // K so large that the chamber drowns in the rounding of the flank
  kLengthsTooSmall,   // the chamber areas fall below the smallest ordinary double
  kLengthsTooLarge,   // the volumes overflow
};

struct ExactLimit {
  ExactStatus status = ExactStatus::kNoEccentricity;
  ExactFigures figures;  // set when status is kFigures

  bool hasFigures() const { return status == ExactStatus::kFigures; }
};

// The largest K at which the exact figures keep well over six significant digits: the flank's
// area grows as K squared while the dead volume grows as K.
inline constexpr double kLargestExactK = 1e6;

// For e, R, W >= 0 as the window takes them.
ExactLimit exactLimit(double e, double R, double W, double volumeDivisor = kWindowVolumeDivisor);

// A chamber volume from its area in units of e squared, multiplied in this order so that neither
// a tiny nor a huge e underflows or overflows before W comes in.
inline double volumeOfArea(double area, double e, double W,
                           double volumeDivisor = kWindowVolumeDivisor) {
  return ((area * e) * e * W) / volumeDivisor;
}

}  // namespace rotary
