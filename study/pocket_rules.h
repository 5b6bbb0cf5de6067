// The recess's pocket on this engine's rotor: its depth for the recess, or the target's, its
// figures, and whether it can be cut at all.
#pragma once

#include <optional>

#include "design.h"
#include "real_engine.h"
#include "recess_pocket.h"

namespace rotary::study {

struct PocketOutcome {
  std::optional<PocketFigures> figures;  // with its depth
  std::optional<Refusal> refusal;        // why it cannot be cut
};

// The pocket of the design in the flank of `real`, whose recess (in the volumes' unit, over
// `volumeDivisor`) it holds. Refused where it holds that volume at no depth, is wider than the
// rotor, runs past the flank between the apex slots, or reaches the rotor's bore. Nothing where
// the design gives no pocket.
PocketOutcome pocketOutcome(const Design& design, Face face, const RealEngine& real,
                            double volumeDivisor);

}  // namespace rotary::study
