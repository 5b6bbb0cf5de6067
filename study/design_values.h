// The real engine as a designer types it into the window: seal offset, clearance, recess and a
// target ratio, each checked as the companion checks its options and refused with the same
// words, and the engine's figures for one set of dimensions.
#pragma once

#include <string>

#include "runner.h"

namespace rotary::study {

// As typed; an empty text is a value not given. The shaft's speed gives the seal's figures of
// the real engine the others make, and makes none of its own.
struct DesignValues {
  std::string sealOffset, clearance, recess, targetRatio, rpm;
  bool anyGiven() const;
};

enum class DesignField { kNone, kSealOffset, kClearance, kRecess, kTargetRatio, kRpm };

struct DesignOutcome {
  // The value the message is about, kNone when it is about the engine as a whole.
  DesignField refused = DesignField::kNone;
  // Why there are no figures, or no recess for the target; empty when all is there.
  std::string message;
  // The engine with the values, its real figures and the recess for the target.
  EngineRow row;
  // The real engine's figures, which a target above its limit leaves standing.
  bool hasFigures() const { return row.real && row.real->hasFigures(); }
};

// The texts alone, at once: a value that is no number, negative, or no ratio above 1.
DesignOutcome checkDesignValues(const DesignValues& values);

// The real engine of `engine`'s dimensions (as the cycle read them) with the values: the check
// above, then the figures, which may take a while for a clearance at its edge. A seal offset or
// clearance that the engine cannot take, and a target above its limit, are refused by name.
DesignOutcome designEngine(const EngineInput& engine, const DesignValues& values);

}  // namespace rotary::study
