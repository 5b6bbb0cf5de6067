#include "parts.h"

#include <BRepBuilderAPI_MakeEdge.hxx>
#include <BRepBuilderAPI_MakeFace.hxx>
#include <BRepBuilderAPI_MakeWire.hxx>
#include <BRepCheck_Analyzer.hxx>
#include <BRepGProp.hxx>
#include <BRepPrimAPI_MakePrism.hxx>
#include <GProp_GProps.hxx>
#include <ShapeFix_Face.hxx>
#include <Standard_Failure.hxx>
#include <TopoDS.hxx>
#include <cmath>
#include <gp_Circ.hxx>
#include <numbers>

#include "fit.h"
#include "real_shape.h"

namespace rotary::solids {
namespace {

using std::numbers::pi;

// A closed curve in the pieces between the bore's six turning points, so that no B-spline
// carries hundreds of poles: OpenCASCADE's mass properties of a single one stray by a tenth of
// a percent.
constexpr int kPiecesOfTheBore = 6;

// The bore, or a curve parallel to it `offset` further out, in the housing's frame.
std::vector<Piece> borePieces(double e, double K, double offset) {
  const PlaneCurve curve = [=](double r) {
    const exact::Point p = exact::borePoint(K, r, 0, offset / e);
    return gp_Pnt(p.x * e, p.y * e - e, 0);
  };
  std::vector<Piece> pieces;
  for (int k = 0; k < kPiecesOfTheBore; ++k) {
    pieces.push_back({curve, 2 * pi * k / kPiecesOfTheBore, 2 * pi * (k + 1) / kPiecesOfTheBore});
  }
  return pieces;
}

exact::Point turned(exact::Point p, double angle) {
  return {p.x * std::cos(angle) - p.y * std::sin(angle),
          p.x * std::sin(angle) + p.y * std::cos(angle)};
}

// The rotor's outline: the three flanks moved out by `offset` (in by a negative one), joined at
// the apexes by arcs of the offset's radius where it is outward.
std::vector<Piece> rotorPieces(double e, double K, double offset) {
  const double end = exact::flankEnd(K, offset / e);
  const auto placed = [e](exact::Point p) { return gp_Pnt(p.x * e, p.y * e - e, 0); };
  std::vector<Piece> pieces;
  for (int k = 0; k < 3; ++k) {
    const double turn = 2 * pi / 3 * k;
    // From the left end through the middle to the right end: s from -1 to 1.
    pieces.push_back({[=](double s) {
                        const double r =
                            exact::kFlankMiddle + std::abs(s) * (end - exact::kFlankMiddle);
                        exact::Point p = exact::rotorFlankPoint(K, r, offset / e);
                        if (s < 0) p.x = -p.x;
                        return placed(turned(p, turn));
                      },
                      -1, 1});
    if (offset > 0) {
      const exact::Point apex = turned(exact::housingPoint(K, exact::kRightApex, 0), turn);
      const exact::Point from = turned(exact::rotorFlankPoint(K, end, offset / e), turn);
      exact::Point next = exact::rotorFlankPoint(K, end, offset / e);
      next.x = -next.x;
      const exact::Point to = turned(next, turn + 2 * pi / 3);
      const double t0 = std::atan2(from.y - apex.y, from.x - apex.x);
      const double swing = std::remainder(std::atan2(to.y - apex.y, to.x - apex.x) - t0, 2 * pi);
      Piece arc{nullptr, t0, t0 + swing};
      arc.radius = offset;
      arc.centre = placed(apex);
      pieces.push_back(arc);
    }
  }
  return pieces;
}

TopoDS_Face faceOf(const TopoDS_Wire& wire) {
  BRepBuilderAPI_MakeFace face(wire, true);
  if (!face.IsDone()) throw Standard_Failure("a closed outline makes no face");
  return face.Face();
}

// The face inside `outer` and outside `hole`: the hole's wire turned the other way round, so
// that the face lies to its left too. A section with its hole in it, swept once, needs no
// boolean cut, which is most of the time a cut takes.
TopoDS_Face faceWithHole(const TopoDS_Wire& outer, const TopoDS_Wire& hole) {
  BRepBuilderAPI_MakeFace face(faceOf(outer), TopoDS::Wire(hole.Reversed()));
  if (!face.IsDone()) throw Standard_Failure("an outline with a hole makes no face");
  ShapeFix_Face fix(face.Face());
  fix.FixOrientation();
  fix.Perform();
  return fix.Face();
}

// A circle about (x, y), as a wire.
TopoDS_Wire circleAt(double x, double y, double radius) {
  const gp_Circ circle(gp_Ax2(gp_Pnt(x, y, 0), gp::DZ()), radius);
  return BRepBuilderAPI_MakeWire(BRepBuilderAPI_MakeEdge(circle).Edge()).Wire();
}

// The face swept along z from `from` to `to`.
TopoDS_Shape slab(const TopoDS_Face& face, double from, double to) {
  gp_Trsf lift;
  lift.SetTranslation(gp_Vec(0, 0, from));
  const TopoDS_Shape moved = face.Moved(TopLoc_Location(lift));
  BRepPrimAPI_MakePrism prism(moved, gp_Vec(0, 0, to - from));
  if (!prism.IsDone()) throw Standard_Failure("a face cannot be swept");
  return prism.Shape();
}

}  // namespace

bool buildParts(const SolidEngine& engine, Parts& parts, std::string& error) {
  const double e = engine.e, R = engine.R, W = engine.W, K = R / e;
  const study::SolidSettings& s = engine.settings;
  const double A = engine.real.sealOffset, C = engine.real.clearance;
  double deviation = 0;
  const TopoDS_Wire boreWire = fittedWire(borePieces(e, K, A), s.tolerance, deviation);
  const TopoDS_Face bore = faceOf(boreWire);
  const TopoDS_Wire outsideWire =
      fittedWire(borePieces(e, K, A + s.housingWall), s.tolerance, deviation);
  // The housing: the block the bore runs through; the side housings cover it, each with the
  // shaft's bore at the crank axis.
  parts.rotorHousing = slab(faceWithHole(outsideWire, boreWire), 0, W);
  const TopoDS_Face plate = faceWithHole(outsideWire, circleAt(0, 0, s.shaftBore));
  parts.sideFront = slab(plate, -s.sidePlate, 0);
  parts.sideRear = slab(plate, W, W + s.sidePlate);
  // The rotor at its clearance, short of each side housing, with its bore at its centre.
  const TopoDS_Wire flankWire = fittedWire(rotorPieces(e, K, A - C), s.tolerance, deviation);
  const TopoDS_Face section =
      s.rotorBore > 0 ? faceWithHole(flankWire, circleAt(0, -e, s.rotorBore)) : faceOf(flankWire);
  parts.rotor = slab(section, s.sideClearance, W - s.sideClearance);
  parts.deviation = deviation;
  GProp_GProps face;
  BRepGProp::SurfaceProperties(bore, face, 1e-10);
  parts.cavityVolume = face.Mass() * W;
  for (const auto& [shape, name] : {std::pair{&parts.rotorHousing, "the rotor housing"},
                                    std::pair{&parts.sideFront, "the front side housing"},
                                    std::pair{&parts.sideRear, "the rear side housing"},
                                    std::pair{&parts.rotor, "the rotor"}}) {
    if (!BRepCheck_Analyzer(*shape).IsValid()) {
      error = std::string(name) + " is no valid solid";
      return false;
    }
  }
  return true;
}

}  // namespace rotary::solids
