#include "pocket_rules.h"

#include <cmath>

#include "number_text.h"
#include "solid_settings.h"

namespace rotary::study {

PocketOutcome pocketOutcome(const Design& d, Face face, const RealEngine& real,
                            double volumeDivisor) {
  PocketOutcome outcome;
  const auto &e = d.eccentricity.number, &R = d.rotorRadius.number, &W = d.chamberWidth.number;
  if (!d.hasPocket() || !e || !R || !W) return outcome;
  const SolidSettings s = solidSettingsOf(d);
  // Values that make no pocket are the design's rules' to refuse.
  const auto &L = d.pocketLength.number, &w = d.pocketWidth.number, &lead = d.pocketLead.number;
  if (!L || !w || !lead || !(*L > 0) || !(*w > 0) || !std::isfinite(*L + *w + *lead)) {
    return outcome;
  }
  const RecessPocket shape{*L, *w, *lead};
  const std::string typed = givenTogether({&d.pocketLength, &d.pocketWidth, &d.pocketLead}, face);
  const auto six = [](double value) { return significantDigits(value, 6); };
  const auto refuse = [&](const std::string& why) {
    outcome.refusal =
        Refusal{Field::kRecessPocket,
                std::string(nameOn(Field::kRecessPocket, face)) + ": " + typed + " " + why};
    return outcome;
  };
  const double rotorWidth = *W - 2 * s.sideClearance;
  if (!(shape.width <= rotorWidth)) {
    return refuse("is wider than the rotor, " + six(rotorWidth) + " between its faces");
  }
  const double slot = d.apexSlotWidth.valueOr(0);
  const double half = halfFlankBetweenSlots(*e, *R, real, slot);
  if (!(shape.lead - shape.length / 2 >= -half && shape.lead + shape.length / 2 <= half)) {
    return refuse(std::string("runs past the flank") + (slot > 0 ? " between the apex slots" : "") +
                  ", which reaches " + six(half) + " either side of its middle");
  }
  const double volume = real.recess * volumeDivisor;
  const auto depth = pocketDepthFor(*e, *R, real, shape, volume);
  if (!depth) {
    const auto flat = pocketFigures(*e, *R, real, shape, 0);
    // Its section is largest, L^2 / 2T, at the depth L / T.
    const double most = shape.length * shape.length / (2 * flat->turn) * shape.width;
    return refuse("holds at most " + six(most / volumeDivisor) + ", at a depth of " +
                  six(shape.length / flat->turn) + ", less than the recess of " + six(real.recess));
  }
  // Through the centre, less than the rounding of R: there.
  double reach = pocketFloorReach(*e, *R, real, shape, *depth);
  if (reach < 1e-12 * *R) reach = 0;
  if (!(reach > s.rotorBore)) {
    return refuse("is " + six(*depth) +
                  " deep, deeper than the rotor at its bore: its floor comes within " + six(reach) +
                  " of the rotor's centre, inside the bore of radius " + six(s.rotorBore) +
                  (d.rotorBore.empty() ? " (the default)" : ""));
  }
  outcome.figures = pocketFigures(*e, *R, real, shape, *depth);
  return outcome;
}

}  // namespace rotary::study
