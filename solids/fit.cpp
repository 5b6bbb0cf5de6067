#include "fit.h"

#include <BRepBuilderAPI_MakeEdge.hxx>
#include <BRepBuilderAPI_MakeWire.hxx>
#include <GeomAPI_Interpolate.hxx>
#include <GeomAPI_ProjectPointOnCurve.hxx>
#include <Standard_Failure.hxx>
#include <TColgp_HArray1OfPnt.hxx>
#include <algorithm>
#include <gp_Circ.hxx>

namespace rotary::solids {
namespace {

// Interpolated through n + 1 points of the exact curve, evenly in its parameter.
Handle(Geom_BSplineCurve) through(const PlaneCurve& exact, double t0, double t1, int n) {
  Handle(TColgp_HArray1OfPnt) points = new TColgp_HArray1OfPnt(1, n + 1);
  for (int k = 0; k <= n; ++k) points->SetValue(k + 1, exact(t0 + (t1 - t0) * k / n));
  GeomAPI_Interpolate interpolate(points, false, Precision::Confusion());
  interpolate.Perform();
  if (!interpolate.IsDone()) throw Standard_Failure("a curve cannot be interpolated");
  return interpolate.Curve();
}

// The largest distance from the fitted curve of the exact points between the nodes.
double deviationOf(const Handle(Geom_BSplineCurve) & curve, const PlaneCurve& exact, double t0,
                   double t1, int n) {
  double largest = 0;
  for (int k = 0; k < n; ++k) {
    for (const double f : {0.25, 0.5, 0.75}) {
      GeomAPI_ProjectPointOnCurve project(exact(t0 + (t1 - t0) * (k + f) / n), curve);
      if (project.NbPoints() == 0) throw Standard_Failure("a fitted curve cannot be measured");
      largest = std::max(largest, project.LowerDistance());
    }
  }
  return largest;
}

}  // namespace

Fitted fitPiece(const PlaneCurve& exact, double t0, double t1, double tolerance) {
  // Doubling the points shrinks the distance sixteenfold: a cubic's error goes as the fourth
  // power of the spacing. 4096 points a piece is far past any tolerance a shop asks for.
  constexpr int kFewest = 16, kMost = 4096;
  Fitted fitted;
  for (int n = kFewest;; n *= 2) {
    fitted.curve = through(exact, t0, t1, n);
    fitted.deviation = deviationOf(fitted.curve, exact, t0, t1, n);
    if (fitted.deviation <= tolerance || n >= kMost) return fitted;
  }
}

TopoDS_Wire fittedWire(const std::vector<Piece>& pieces, double tolerance, double& deviation) {
  BRepBuilderAPI_MakeWire wire;
  for (const Piece& piece : pieces) {
    if (piece.radius > 0) {
      const gp_Circ circle(gp_Ax2(piece.centre, gp::DZ()), piece.radius);
      const double turn = piece.t1 - piece.t0;
      wire.Add(BRepBuilderAPI_MakeEdge(circle, turn > 0 ? piece.t0 : piece.t1,
                                       turn > 0 ? piece.t1 : piece.t0)
                   .Edge());
      if (!wire.IsDone()) throw Standard_Failure("an apex's arc does not join its flanks");
      continue;
    }
    if (piece.straight) {
      wire.Add(BRepBuilderAPI_MakeEdge(piece.exact(piece.t0), piece.exact(piece.t1)).Edge());
      if (!wire.IsDone()) throw Standard_Failure("a straight piece does not join the others");
      continue;
    }
    const Fitted fitted = fitPiece(piece.exact, piece.t0, piece.t1, tolerance);
    deviation = std::max(deviation, fitted.deviation);
    wire.Add(BRepBuilderAPI_MakeEdge(fitted.curve).Edge());
    if (!wire.IsDone()) throw Standard_Failure("the fitted pieces do not join");
  }
  return wire.Wire();
}

}  // namespace rotary::solids
