// The housing sweep: the housing curve is moved around the rotor through a quarter turn and its
// crossings with the sample verticals give the largest rotor flank and the housing profiles at
// top and bottom dead centre. It draws the construction at motion angle 0 and shows the progress
// in percent.
#pragma once

#include "cycle_state.h"
#include "surface.h"

namespace rotary {

// The loops in their plain order: every housing point is evaluated again for every sample.
void sweepStraightforward(CycleState& state, Surface& surface);

// The same profiles, bit for bit, with the housing points evaluated once per motion angle and
// the crossed samples found by binary search. It yields once per motion angle.
void sweepFast(CycleState& state, Surface& surface);

// The curve-parameter loop runs from 3*pi/2 to 2*pi. Its last step must not be lost when the
// accumulated counter overshoots 2*pi by rounding alone, so the end test accepts a counter
// within a millionth of a step beyond it.
inline bool curveSweepGoesOn(double r, double end, double step) {
  return r - end < step * 1e-6;
}

// A crossing of the housing piece from (w, q) to (t, v), at offset (Dx, Dy), with the vertical of
// sample i at abscissa s, once the piece is known to cross it: Dx + w < s <= Dx + t. Raises the
// envelope, and at angle 0 marks the top-dead-centre profile.
void takeCurveCrossing(CycleState& state, Surface& surface, int i, double s, double a, double Dx,
                       double Dy, double w, double q, double t, double v);

// The same for the exchanged copy of the piece, once Dx + q < s <= Dx + v: at angle 0 it marks
// the bottom-dead-centre profile.
void takeCopyCrossing(CycleState& state, Surface& surface, int i, double s, double a, double Dx,
                      double Dy, double w, double q, double t, double v);

// The construction at angle 0: the piece from (w, q) to (t, v), and the same piece with its two
// coordinates exchanged and shifted by -2e in y.
void drawConstructionPiece(Surface& surface, const Geometry& g, double Dx, double Dy, double w,
                           double q, double t, double v);

// Int(200 a / pi): the share of the quarter turn done, shown in the ratio box.
void showSweepProgress(CycleState& state, Surface& surface, double a);

}  // namespace rotary
