// The chamber capacity, dead volume and compression-ratio limit of the shape itself, with no
// step count and no sample grid: the yardstick against which the sweep's figures are told.
#pragma once

namespace rotary {

struct ExactFigures {
  double capacity = 0;    // swept volume / 1000
  double deadVolume = 0;  // top-dead-centre chamber / 1000
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
ExactLimit exactLimit(double e, double R, double W);

// A chamber volume from its area in units of e squared, multiplied in this order so that neither
// a tiny nor a huge e underflows or overflows before W comes in.
inline double volumeOfArea(double area, double e, double W) {
  return ((area * e) * e * W) / 1000;
}

}  // namespace rotary
