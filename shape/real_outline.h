// The real engine for CAD, in the housing's frame with the crank axis at the origin: the bore,
// the generating trochoid, the rotor with its clearance and the largest flank without it, at top
// dead centre of the chamber the figures describe, and both gears. Every curve is a closed
// polyline whose chords stray less than a given distance from the true curve.
#pragma once

#include "plane.h"
#include "real_engine.h"

namespace rotary {

struct GearCircle {
  PlanePoint centre;
  double radius;
};

struct RealOutlines {
  Polyline bore;        // the housing as machined
  Polyline trochoid;    // the generating curve; the bore itself when A = 0
  Polyline rotor;       // with the clearance
  Polyline rotorLimit;  // the largest rotor that clears the bore
  GearCircle housingGear, rotorGear;
  PlanePoint crankAxis, rotorCentre;
};

// How far a drawing's outlines may stray from the true curves: 0.002 of the unit, the width of a
// fine pen at a millimetre to the unit, and no finer than a hundred-thousandth of the rotor
// radius, so that an engine of any size is drawn with as many points as the defaults.
double drawingChordError(double R);

// For dimensions whose real engine has figures (realLimit says so).
RealOutlines realOutlines(double e, double R, const RealEngine& real, double chordError);

// The smallest distance between two closed polylines, vertex to segment both ways.
double smallestDistance(const Polyline& a, const Polyline& b);

}  // namespace rotary
