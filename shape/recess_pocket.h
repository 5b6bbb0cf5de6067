// The recess as a pocket in each flank: LENGTH along the flank, WIDTH across the rotor, centred,
// moved LEAD along the flank toward the leading apex (+x for the flank at top dead centre, the
// rotor turning counterclockwise). Its floor is the flank moved in by the depth and its ends
// stand square to the flank, so that its section is the strip between a curve and its parallel:
// d L - d^2 T / 2, T the angle the flank's tangent turns along the pocket, in closed form.
#pragma once

#include <optional>

#include "real_engine.h"

namespace rotary {

struct RecessPocket {
  double length = 0, width = 0, lead = 0;
};

struct PocketFigures {
  double depth = 0;         // the floor below the flank
  double from = 0, to = 0;  // its ends along the flank from its middle, + toward the leading apex
  double turn = 0;          // radians the flank's tangent turns from one end to the other
  double volume = 0;        // the unit cubed
  double wallArea = 0;      // what it adds to the chamber's surface: floor, ends and sides
                            // less the flank it takes away
};

// How far the rotor reaches along the line through an apex: its seal's tip arc, of radius A - C,
// about the apex, or, for a rotor inside the apexes, where its flanks meet.
double rotorTipRadius(double e, double R, const RealEngine& real);

// The flank at its clearance (the real engine's), from its middle to one apex: its length.
double halfFlankLength(double e, double R, const RealEngine& real);

// The pocket of `depth`; none where it runs past either end of the flank.
std::optional<PocketFigures> pocketFigures(double e, double R, const RealEngine& real,
                                           const RecessPocket& pocket, double depth);

// The flank's parameter, as exact::rotorFlankPoint takes it, at signed length s from its middle
// (+ toward the leading apex, the +x half); the -x half is the mirror image of the +x one, so
// `mirrored` says to turn x's sign.
struct FlankPlace {
  double r = 0;
  bool mirrored = false;
};
FlankPlace flankPlaceAt(double e, double R, const RealEngine& real, double s);

// The length from the flank's middle to where an apex seal's slot `slotWidth` wide, centred on
// the line from the rotor's centre through the apex, cuts the flank: the flank a pocket may take.
// The whole half flank where the slot is narrower than the seal's tip, or none is cut.
double halfFlankBetweenSlots(double e, double R, const RealEngine& real, double slotWidth);

// The least distance from the rotor's centre to the pocket at `depth`: along the wall in from
// the flank's point nearest its middle (the floor there for a pocket across the middle), as the
// flank, a convex curve symmetric about its middle, comes nearer the centre toward its middle.
// A pocket deep enough to pass the centre comes within 0 of it.
double pocketFloorReach(double e, double R, const RealEngine& real, const RecessPocket& pocket,
                        double depth);

// The depth that gives the pocket `volume`: the shallower of the two that the section's
// quadratic gives; none where the pocket does not fit the flank or holds that volume at no
// depth (its section is largest, L^2 / 2T, at the depth L / T).
std::optional<double> pocketDepthFor(double e, double R, const RealEngine& real,
                                     const RecessPocket& pocket, double volume);

}  // namespace rotary
