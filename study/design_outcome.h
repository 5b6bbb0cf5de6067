// A design judged and, where its rules pass, its real engine evaluated: the figures, or why there
// are none, with the value the words are about, as the window's panel shows them as one types.
#pragma once

#include <optional>
#include <string>

#include "design.h"
#include "runner.h"

namespace rotary::study {

struct DesignOutcome {
  // The value the message is about; none when it is about the engine as a whole.
  std::optional<Field> refused;
  // Why there are no figures, or no recess for the target; empty when all is there.
  std::string message;
  // The design, its real figures and the recess for the target.
  EngineRow row;
  // The real engine's figures, which a target above its limit leaves standing.
  bool hasFigures() const { return row.real && row.real->hasFigures(); }
};

// The design's rules alone, at once, in the face's words: a value that is no number, negative,
// no ratio above 1, a port that cannot be cut.
DesignOutcome checkDesign(const Design& design, Face face = Face::kWindow);

// The real engine of the design: its rules, then its figures, which may take a while for a
// clearance at its edge. A seal offset or clearance that the engine cannot take, and a target
// above its limit, are refused by name.
DesignOutcome designOutcome(const Design& design, Face face = Face::kWindow,
                            const RunRequest& request = {});

}  // namespace rotary::study
