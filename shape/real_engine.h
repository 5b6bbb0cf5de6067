// The real engine a designer machines: the bore at the apex seal's tip radius A outside the
// trochoid, the rotor a clearance C inside the largest flank that clears that bore, and a
// combustion recess of volume V in each flank. Its figures come from the exact computation, with
// no step count, and with whole chambers, each closed where the seals' rounded tips touch the
// bore.
#pragma once

#include <optional>

#include "exact_limit.h"
#include "real_shape.h"

namespace rotary {

struct RealEngine {
  double sealOffset = 0;  // A, a length
  double clearance = 0;   // C, a length
  double recess = 0;      // V, in the volume unit of the figures
};

enum class RealStatus {
  kFigures,
  kNoShape,             // the bare shape has no exact figures: see `shape`
  kSealOffsetTooLarge,  // the bore would form cusps or cross itself
  kNoFlankLeft,         // the clearance moves the flank in beyond its curvature
};

// The seal offset and the flank's offset A - C in units of the eccentricity, as the shape takes
// them.
exact::Offsets offsetsOf(const RealEngine& real, double e);

struct RealLimit {
  RealStatus status = RealStatus::kNoShape;
  ExactStatus shape = ExactStatus::kNoEccentricity;
  // With the recess: the dead volume holds it, and the ratio is
  // (capacity + dead volume) / dead volume.
  ExactFigures figures;
  ExactFigures withoutRecess;
  double largestSealOffset = 0;  // in the unit of the lengths; infinite for K >= 9
  double largestClearance = 0;   // where the clearance leaves no flank: the most it may be

  bool hasFigures() const { return status == RealStatus::kFigures; }
};

RealLimit realLimit(double e, double R, double W, const RealEngine& real,
                    double volumeDivisor = kWindowVolumeDivisor);
// The same with the bare shape's limit for these dimensions and divisor, where the caller has it
// already.
RealLimit realLimit(double e, double R, double W, const RealEngine& real, const ExactLimit& bare,
                    double volumeDivisor = kWindowVolumeDivisor);

// The same engine with another recess in each flank: the figures of `limit` without a recess,
// the recess added to its dead volume.
RealLimit withRecess(RealLimit limit, double recess);

// The recess that brings the ratio down to `target`; none when the target lies at or above the
// ratio without a recess, the limit of these shapes.
std::optional<double> recessForRatio(const ExactFigures& withoutRecess, double target);

}  // namespace rotary
