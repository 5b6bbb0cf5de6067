// The parts' mass properties, from OpenCASCADE's integration over their faces.
#pragma once

#include "parts.h"

namespace rotary::solids {

SolidFigures measure(const SolidEngine& engine, const Parts& parts);
std::vector<PartVolume> partVolumes(const Parts& parts);

// The counterweight's mass x radius, kg m, that balances `rotors` rotors each of `unbalance`
// (its mass x e), spread evenly in phase (two at 180 degrees) along the shaft: housings W wide
// between side housings `plate` thick, one between each two rotors, the counterweights just
// outside the front and rear ones. One rotor's takes its whole unbalance (both ends together);
// more rotors cancel their forces, and the larger of the two that cancel their couple is given.
double counterweightFor(int rotors, double unbalance, double W, double plate);

}  // namespace rotary::solids
