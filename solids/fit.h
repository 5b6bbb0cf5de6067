// The exact curves as B-splines, as CAD takes them: each piece interpolated through points of
// the exact curve, as many as keep it within the tolerance where it strays most, half way between
// them; a closed curve in a few pieces, whose ends are the exact curve's own, so that they join.
#pragma once

#include <Geom_BSplineCurve.hxx>
#include <TopoDS_Wire.hxx>
#include <functional>
#include <vector>

namespace rotary::solids {

// A plane curve of a parameter, in the housing's frame and the engine's unit.
using PlaneCurve = std::function<gp_Pnt(double)>;

struct Fitted {
  Handle(Geom_BSplineCurve) curve;
  double deviation = 0;  // its largest distance from the exact curve, measured
};

// The piece of `exact` from t0 to t1 within `tolerance`.
Fitted fitPiece(const PlaneCurve& exact, double t0, double t1, double tolerance);

// A wire of pieces, each fitted on its own, in order; `deviation` grows to the largest. A piece
// with a radius is an arc of that circle about `centre`, from angle t0 to t1, and is made as one;
// a straight one is a line.
struct Piece {
  PlaneCurve exact;
  double t0, t1;
  double radius = 0;
  gp_Pnt centre = gp_Pnt(0, 0, 0);
  // A straight piece is the segment between its ends, made as a line.
  bool straight = false;
};
TopoDS_Wire fittedWire(const std::vector<Piece>& pieces, double tolerance, double& deviation);

}  // namespace rotary::solids
