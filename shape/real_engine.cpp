#include "real_engine.h"

#include <cfenv>
#include <cmath>

#include "real_shape.h"

namespace rotary {

exact::Offsets offsetsOf(const RealEngine& real, double e) {
  return {real.sealOffset / e, (real.sealOffset - real.clearance) / e};
}

RealLimit realLimit(double e, double R, double W, const RealEngine& real, double volumeDivisor) {
  return realLimit(e, R, W, real, exactLimit(e, R, W, volumeDivisor), volumeDivisor);
}

namespace {

// The clearance at which the flank stops being one, between a clearance that leaves a flank
// (none at all) and `fails`, which does not: halving the range to a billionth. The flank's shape
// is all that can fail: a seal offset moves the bore out and a clearance the flank in, so the
// chamber at top dead centre only grows from the bare shape's, which has one.
double largestClearance(double K, double e, double sealOffset, double fails) {
  const auto holds = [&](double clearance) {
    return exact::flankHolds(K, (sealOffset - clearance) / e);
  };
  double low = 0, high = fails;
  for (int n = 0; n < 60 && (high - low) > 1e-9 * high; ++n) {
    const double middle = (low + high) / 2;
    (holds(middle) ? low : high) = middle;
  }
  return low;
}

}  // namespace

// Restores the floating-point flags at the end of a scope: the window's cycle reads them for
// faults of its own, and the real engine's curves raise some on the way (a flank moved in past
// its curvature, a chamber of no area).
class FlagsKept {
 public:
  FlagsKept() { std::fegetexceptflag(&flags_, FE_ALL_EXCEPT); }
  ~FlagsKept() { std::fesetexceptflag(&flags_, FE_ALL_EXCEPT); }
  FlagsKept(const FlagsKept&) = delete;
  FlagsKept& operator=(const FlagsKept&) = delete;

 private:
  std::fexcept_t flags_{};
};

RealLimit realLimit(double e, double R, double W, const RealEngine& real, const ExactLimit& bare,
                    double volumeDivisor) {
  const FlagsKept flagsKept;
  RealLimit limit;
  limit.shape = bare.status;
  if (!bare.hasFigures()) return limit;
  const double K = R / e;
  limit.largestSealOffset = exact::largestSealOffset(K) * e;
  if (!(real.sealOffset < limit.largestSealOffset)) {
    limit.status = RealStatus::kSealOffsetTooLarge;
    return limit;
  }
  const exact::Offsets offsets = offsetsOf(real, e);
  if (!exact::flankHolds(K, offsets.flank)) {
    limit.largestClearance = largestClearance(K, e, real.sealOffset, real.clearance);
    limit.status = RealStatus::kNoFlankLeft;
    return limit;
  }
  const exact::ChamberAreas areas = exact::realChamberAreas(K, offsets);
  const auto volume = [=](double area) { return volumeOfArea(area, e, W, volumeDivisor); };
  ExactFigures& plain = limit.withoutRecess;
  plain.capacity = volume(areas.bottomDeadCentre - areas.topDeadCentre);
  plain.deadVolume = volume(areas.topDeadCentre);
  plain.ratio = areas.bottomDeadCentre / areas.topDeadCentre;
  limit.status = RealStatus::kFigures;
  return withRecess(limit, real.recess);
}

RealLimit withRecess(RealLimit limit, double recess) {
  if (!limit.hasFigures()) return limit;
  const ExactFigures& plain = limit.withoutRecess;
  limit.figures = plain;
  limit.figures.deadVolume = plain.deadVolume + recess;
  // Without a recess, the ratio of the chambers' areas themselves, as the bare shape has it.
  if (recess != 0) {
    limit.figures.ratio = (plain.capacity + limit.figures.deadVolume) / limit.figures.deadVolume;
  }
  return limit;
}

std::optional<double> recessForRatio(const ExactFigures& withoutRecess, double target) {
  // (capacity + dead + V) / (dead + V) = target.
  const double recess = withoutRecess.capacity / (target - 1) - withoutRecess.deadVolume;
  if (!(target > 1) || !(recess >= 0)) return std::nullopt;
  return recess;
}

}  // namespace rotary
