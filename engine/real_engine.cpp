#include "real_engine.h"

#include <cfenv>
#include <cmath>

#include "number_text.h"
#include "real_shape.h"

namespace rotary {

RealLimit realLimit(double e, double R, double W, const RealEngine& real) {
  return realLimit(e, R, W, real, exactLimit(e, R, W));
}

RealLimit realLimit(double e, double R, double W, const RealEngine& real, const ExactLimit& bare) {
  RealLimit limit;
  limit.shape = bare.status;
  if (!bare.hasFigures()) return limit;
  const double K = R / e;
  limit.largestSealOffset = exact::largestSealOffset(K) * e;
  if (!(real.sealOffset < limit.largestSealOffset)) {
    limit.status = RealStatus::kSealOffsetTooLarge;
    return limit;
  }
  const exact::Offsets offsets{real.sealOffset / e, (real.sealOffset - real.clearance) / e};
  std::fexcept_t flags;
  std::fegetexceptflag(&flags, FE_ALL_EXCEPT);
  if (!exact::flankHolds(K, offsets.flank)) {
    std::fesetexceptflag(&flags, FE_ALL_EXCEPT);
    limit.status = RealStatus::kNoFlankLeft;
    return limit;
  }
  const exact::ChamberAreas areas = exact::realChamberAreas(K, offsets);
  std::fesetexceptflag(&flags, FE_ALL_EXCEPT);
  const auto volume = [e, W](double area) { return volumeOfArea(area, e, W); };
  ExactFigures& plain = limit.withoutRecess;
  plain.capacity = volume(areas.bottomDeadCentre - areas.topDeadCentre);
  plain.deadVolume = volume(areas.topDeadCentre);
  plain.ratio = areas.bottomDeadCentre / areas.topDeadCentre;
  if (!(plain.deadVolume > 0)) {
    limit.status = RealStatus::kNoFlankLeft;
    return limit;
  }
  limit.figures = plain;
  limit.figures.deadVolume = plain.deadVolume + real.recess;
  // Without a recess, the ratio of the chambers' areas themselves, as the bare shape has it.
  if (real.recess != 0) {
    limit.figures.ratio = (plain.capacity + limit.figures.deadVolume) / limit.figures.deadVolume;
  }
  limit.status = RealStatus::kFigures;
  return limit;
}

std::optional<double> recessForRatio(const ExactFigures& withoutRecess, double target) {
  // (capacity + dead + V) / (dead + V) = target.
  const double recess = withoutRecess.capacity / (target - 1) - withoutRecess.deadVolume;
  if (!(target > 1) || !(recess >= 0)) return std::nullopt;
  return recess;
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
             "passes "
             "the rotor centre.";
  }
  return "";
}

}  // namespace rotary
