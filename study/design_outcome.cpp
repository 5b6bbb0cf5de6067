#include "design_outcome.h"

#include "exact_limit.h"
#include "shape_texts.h"

namespace rotary::study {

DesignOutcome checkDesign(const Design& design, Face face) {
  DesignOutcome outcome;
  outcome.row.input = design;
  if (const auto refusal = refusalOf(design, face)) {
    outcome.refused = refusal->field;
    outcome.message = refusal->message;
  }
  return outcome;
}

DesignOutcome designOutcome(const Design& design, Face face, const RunRequest& request) {
  DesignOutcome outcome = checkDesign(design, face);
  if (!outcome.message.empty()) return outcome;
  Design& real = outcome.row.input;
  real.real = true;
  // The shape's exact limit beside the real engine's, as the tables give it; the real engine is
  // found from it.
  const auto &e = real.eccentricity.number, &R = real.rotorRadius.number,
             &W = real.chamberWidth.number;
  if (e && R && W) outcome.row.exact = exactLimit(*e, *R, *W, real.volumeDivisor());
  addRealEngine(real, outcome.row, face);
  if (outcome.row.refusedBy) {
    outcome.refused = outcome.row.refusedBy;
    outcome.message = outcome.row.message;
    return outcome;
  }
  addChamberFigures(outcome.row, request);
  const auto& limit = outcome.row.real;
  if (!limit) {
    outcome.message = "No figures of the real engine: the dimensions are no numbers.";
    return outcome;
  }
  switch (limit->status) {
    case RealStatus::kSealOffsetTooLarge:
      outcome.refused = Field::kSealOffset;
      break;
    case RealStatus::kNoFlankLeft:
      outcome.refused = Field::kClearance;
      break;
    case RealStatus::kNoShape:
    case RealStatus::kFigures:
      break;
  }
  outcome.message = whyNoRealFigures(*limit, real.realEngine());
  if (outcome.message.empty() && !real.targetRatio.empty() && !outcome.row.targetRecess) {
    outcome.refused = Field::kTargetRatio;
    outcome.message = targetAboveLimit(*real.targetRatio.number, limit->withoutRecess.ratio);
  }
  return outcome;
}

}  // namespace rotary::study
