#include "shape_texts.h"

#include "number_text.h"

namespace rotary {

std::string exactFiguresText(const ExactFigures& figures) {
  return significantDigits(figures.capacity, 6) + " / " + significantDigits(figures.deadVolume, 6) +
         " / " + significantDigits(figures.ratio, 6);
}

std::string whyNoExactFigures(ExactStatus status) {
  switch (status) {
    case ExactStatus::kFigures:
      return "";
    case ExactStatus::kNoEccentricity:
      return "with eccentricity 0 the housing is a circle, and no chamber changes its volume";
    case ExactStatus::kBeyondRotorLimit:
      return "with a rotor radius of not more than three eccentricities no three-flank rotor "
             "fits the housing";
    case ExactStatus::kNoWidth:
      return "a chamber width of 0 gives the chamber no volume";
    case ExactStatus::kBeyondPrecision:
      return "K = R / e lies beyond 1000000, where the chamber is lost in the rounding of the "
             "flank";
    case ExactStatus::kLengthsTooSmall:
      return "the lengths are too small to compute with: the chamber volumes fall below the "
             "smallest numbers a double holds";
    case ExactStatus::kLengthsTooLarge:
      return "the lengths are too large to compute with: the chamber volumes overflow";
  }
  return "";
}

std::string whyNoRealFigures(const RealLimit& limit, const RealEngine& real) {
  switch (limit.status) {
    case RealStatus::kFigures:
      return "";
    case RealStatus::kNoShape:
      return "No figures of the real engine: " + whyNoExactFigures(limit.shape) + ".";
    case RealStatus::kSealOffsetTooLarge:
      return "seal offset " + formatNumber(real.sealOffset) +
             " would give the bore cusps where the trochoid bends inwards, at its waist: it must "
             "stay below " +
             significantDigits(limit.largestSealOffset, 6) + ".";
    case RealStatus::kNoFlankLeft:
      return "clearance " + formatNumber(real.clearance) +
             " leaves no rotor flank: moved that far inwards, the flank folds over itself or "
             "passes the rotor centre; it must stay below " +
             significantDigits(limit.largestClearance, 6) + ".";
  }
  return "";
}

std::string targetAboveLimit(double target, double limit) {
  return "ratio " + formatNumber(target) + " is above the limit of this engine, " +
         significantDigits(limit, 6) + ", which no recess can raise.";
}

}  // namespace rotary
