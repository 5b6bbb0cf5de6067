#include "design_values.h"

#include <cmath>

#include "chamber_values.h"
#include "number_text.h"
#include "shape_texts.h"

namespace rotary::study {

bool DesignValues::anyGiven() const {
  return !sealOffset.empty() || !clearance.empty() || !recess.empty() || !targetRatio.empty();
}

DesignOutcome checkDesignValues(const DesignValues& values) {
  DesignOutcome outcome;
  const struct {
    DesignField field;
    const char* name;
    const std::string& text;
  } lengths[] = {{DesignField::kSealOffset, "seal offset", values.sealOffset},
                 {DesignField::kClearance, "clearance", values.clearance},
                 {DesignField::kRecess, "recess", values.recess}};
  for (const auto& length : lengths) {
    if (length.text.empty()) continue;
    outcome.message = lengthRefusal(length.name, TypedNumber(length.text));
    if (!outcome.message.empty()) {
      outcome.refused = length.field;
      return outcome;
    }
  }
  if (!values.targetRatio.empty()) {
    const auto ratio = parseNumber(values.targetRatio);
    if (!ratio || !(*ratio > 1)) {
      outcome.refused = DesignField::kTargetRatio;
      outcome.message =
          "target ratio: " + quoteForMessage(values.targetRatio) + " is not a ratio above 1";
      return outcome;
    }
  }
  if (!values.rpm.empty()) {
    const std::string why = rpmRefusal(parseNumber(values.rpm).value_or(std::nan("")));
    if (!why.empty()) {
      outcome.refused = DesignField::kRpm;
      outcome.message = "shaft speed: " + quoteForMessage(values.rpm) + " " + why;
    }
  }
  return outcome;
}

DesignOutcome designEngine(const EngineInput& engine, const DesignValues& values) {
  DesignOutcome outcome = checkDesignValues(values);
  if (!outcome.message.empty()) return outcome;
  EngineInput& input = outcome.row.input;
  input = engine;
  input.real = true;
  const auto orZero = [](const std::string& text) { return text.empty() ? "0" : text; };
  input.sealOffset = orZero(values.sealOffset);
  input.clearance = orZero(values.clearance);
  input.recess = orZero(values.recess);
  input.targetRatio = values.targetRatio;
  if (!values.rpm.empty()) input.chamber.rpm = parseNumber(values.rpm);
  addRealEngine(input, outcome.row);
  addChamberFigures(outcome.row);
  const auto& real = outcome.row.real;
  if (!real) {
    outcome.message = "No figures of the real engine: the dimensions are no numbers.";
    return outcome;
  }
  switch (real->status) {
    case RealStatus::kSealOffsetTooLarge:
      outcome.refused = DesignField::kSealOffset;
      break;
    case RealStatus::kNoFlankLeft:
      outcome.refused = DesignField::kClearance;
      break;
    case RealStatus::kNoShape:
    case RealStatus::kFigures:
      break;
  }
  outcome.message = whyNoRealFigures(*real, input.realEngine());
  if (outcome.message.empty() && !input.targetRatio.empty() && !outcome.row.targetRecess) {
    outcome.refused = DesignField::kTargetRatio;
    outcome.message = targetAboveLimit(*input.targetRatio.number, real->withoutRecess.ratio);
  }
  return outcome;
}

}  // namespace rotary::study
