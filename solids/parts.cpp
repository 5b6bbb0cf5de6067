#include "parts.h"

#include <BRepAlgoAPI_Cut.hxx>
#include <BRepBuilderAPI_MakeEdge.hxx>
#include <BRepBuilderAPI_MakeFace.hxx>
#include <BRepBuilderAPI_MakePolygon.hxx>
#include <BRepBuilderAPI_MakeWire.hxx>
#include <BRepBuilderAPI_Transform.hxx>
#include <BRepCheck_Analyzer.hxx>
#include <BRepGProp.hxx>
#include <BRepPrimAPI_MakePrism.hxx>
#include <ElCLib.hxx>
#include <GProp_GProps.hxx>
#include <ShapeFix_Face.hxx>
#include <Standard_Failure.hxx>
#include <TopTools_ListOfShape.hxx>
#include <TopoDS.hxx>
#include <cmath>
#include <gp_Circ.hxx>
#include <numbers>

#include "fit.h"
#include "real_shape.h"
#include "recess_pocket.h"

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

// The rotor's outline, in its own frame (its centre at the origin, the flank at top dead centre
// on -y): the three flanks moved out by `offset` (in by a negative one), joined at
// the apexes by arcs of the offset's radius where it is outward.
std::vector<Piece> rotorPieces(double e, double K, double offset) {
  const double end = exact::flankEnd(K, offset / e);
  const auto placed = [e](exact::Point p) { return gp_Pnt(p.x * e, p.y * e, 0); };
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

// The flank at top dead centre moved out by `offset` (in by a negative one), from signed s0 to
// s1 along it as rotorPieces runs it: s from -1 at the trailing apex through 0 at the middle to 1
// at the leading one, for the flank moved by `flankOffset` whose ends these are.
PlaneCurve movedFlank(double e, double K, double flankOffset, double offset) {
  const double end = exact::flankEnd(K, flankOffset / e);
  return [=](double s) {
    const double r = exact::kFlankMiddle + std::abs(s) * (end - exact::kFlankMiddle);
    exact::Point p = exact::rotorFlankPoint(K, r, offset / e);
    if (s < 0) p.x = -p.x;
    return gp_Pnt(p.x * e, p.y * e, 0);
  };
}

PlaneCurve straight(gp_Pnt from, gp_Pnt to) {
  return [=](double t) {
    return gp_Pnt(from.X() + (to.X() - from.X()) * t, from.Y() + (to.Y() - from.Y()) * t, 0);
  };
}

// The solid a face makes turned about the z axis.
TopoDS_Shape turnedAbout(const TopoDS_Shape& shape, double angle) {
  gp_Trsf turn;
  turn.SetRotation(gp_Ax1(gp::Origin(), gp::DZ()), angle);
  return BRepBuilderAPI_Transform(shape, turn, true).Shape();
}

// The pocket's cutter in the flank at top dead centre: its floor the flank moved in by the
// depth, its ends on the flank's normals, and beyond the flank by a margin, so that the cut
// leaves no skin; across the pocket's width, centred in the chamber.
TopoDS_Shape pocketCutter(const SolidEngine& engine, double& deviation) {
  const double e = engine.e, R = engine.R, K = R / e;
  const double flank = engine.real.sealOffset - engine.real.clearance;
  const RecessPocket& pocket = *engine.pocket;
  const double end = exact::flankEnd(K, flank / e);
  const auto signedAt = [&](double length) {
    const FlankPlace place = flankPlaceAt(e, R, engine.real, length);
    const double s = (place.r - exact::kFlankMiddle) / (end - exact::kFlankMiddle);
    return place.mirrored ? -s : s;
  };
  const double s0 = signedAt(pocket.lead - pocket.length / 2);
  const double s1 = signedAt(pocket.lead + pocket.length / 2);
  const double margin = 0.02 * R;
  const PlaneCurve floor = movedFlank(e, K, flank, flank - engine.pocketDepth);
  // Beyond the flank the cutter closes with a straight line, clear of the flank by the margin
  // and by how far the flank bulges from the line between the pocket's ends: a second curved
  // face parallel to the flank would cost OpenCASCADE most of the cut to prove it misses.
  const PlaneCurve onFlank = movedFlank(e, K, flank, flank);
  const gp_Pnt a = onFlank(s0), b = onFlank(s1);
  const double chord = a.Distance(b);
  double bulge = 0;
  for (int n = 0; n <= 64; ++n) {
    const gp_Pnt p = onFlank(s0 + (s1 - s0) * n / 64);
    bulge = std::max(
        bulge,
        std::abs((b.X() - a.X()) * (p.Y() - a.Y()) - (b.Y() - a.Y()) * (p.X() - a.X())) / chord);
  }
  const auto outward = [&](double s, double by) {
    const gp_Pnt on = onFlank(s), in = floor(s);
    const double d = on.Distance(in);
    return gp_Pnt(on.X() + (on.X() - in.X()) / d * by, on.Y() + (on.Y() - in.Y()) / d * by, 0);
  };
  const gp_Pnt far0 = outward(s0, bulge + margin), far1 = outward(s1, bulge + margin);
  std::vector<Piece> outline = {{floor, s0, s1},
                                {straight(floor(s1), far1), 0, 1},
                                {straight(far1, far0), 0, 1},
                                {straight(far0, floor(s0)), 0, 1}};
  for (std::size_t n = 1; n < outline.size(); ++n) outline[n].straight = true;
  const TopoDS_Face face = faceOf(fittedWire(outline, engine.settings.tolerance, deviation));
  return slab(face, (engine.W - pocket.width) / 2, (engine.W + pocket.width) / 2);
}

// An apex seal's slot at the apex on the leading side of the flank at top dead centre: WIDTH
// across the line from the rotor's centre through the apex, DEPTH in from the rotor's tip, and
// through the rotor's whole width with a margin.
TopoDS_Shape slotCutter(const SolidEngine& engine) {
  const study::SolidSettings& s = engine.settings;
  const double tip = rotorTipRadius(engine.e, engine.R, engine.real), margin = 0.02 * engine.R;
  const gp_Dir along(std::cos(exact::kRightApex), std::sin(exact::kRightApex), 0);
  const gp_Dir across(-along.Y(), along.X(), 0);
  const auto at = [&](double radial, double side) {
    return gp_Pnt(along.X() * radial + across.X() * side, along.Y() * radial + across.Y() * side,
                  0);
  };
  const double inner = tip - s.apexSlotDepth, outer = tip + margin, half = s.apexSlotWidth / 2;
  BRepBuilderAPI_MakePolygon outline(at(inner, -half), at(outer, -half), at(outer, half),
                                     at(inner, half), true);
  return slab(faceOf(outline.Wire()), -margin, engine.W + margin);
}

// A peripheral port's window through the housing's wall: the wedge from the crank axis between
// its polar angles, out past the housing, across its width about the chamber's middle.
TopoDS_Shape windowCutter(const PeripheralPort& port, double reach, double W) {
  const double from = port.from * pi / 180;
  double to = port.to * pi / 180;
  while (to <= from) to += 2 * pi;
  const gp_Circ circle(gp_Ax2(gp::Origin(), gp::DZ()), reach);
  const gp_Pnt start = ElCLib::Value(from, circle), finish = ElCLib::Value(to, circle);
  BRepBuilderAPI_MakeWire wire;
  wire.Add(BRepBuilderAPI_MakeEdge(gp::Origin(), start).Edge());
  wire.Add(BRepBuilderAPI_MakeEdge(circle, from, to).Edge());
  wire.Add(BRepBuilderAPI_MakeEdge(finish, gp::Origin()).Edge());
  return slab(faceOf(wire.Wire()), (W - port.width) / 2, (W + port.width) / 2);
}

// A side port's outline through the front side housing, with a margin either side.
TopoDS_Shape sidePortCutter(const Polyline& outline, double plate, double margin) {
  BRepBuilderAPI_MakePolygon polygon;
  for (const PlanePoint& p : outline) polygon.Add(gp_Pnt(p.x, p.y, 0));
  polygon.Close();
  return slab(faceOf(polygon.Wire()), -plate - margin, margin);
}

// `shape` with every one of `cutters` taken away, in one boolean operation.
TopoDS_Shape cut(const TopoDS_Shape& shape, const std::vector<TopoDS_Shape>& cutters) {
  if (cutters.empty()) return shape;
  TopTools_ListOfShape arguments, tools;
  arguments.Append(shape);
  for (const TopoDS_Shape& cutter : cutters) tools.Append(cutter);
  BRepAlgoAPI_Cut operation;
  operation.SetArguments(arguments);
  operation.SetTools(tools);
  // Oriented boxes rule out most pairs of faces before they are intersected; the pairs left
  // go on every core.
  operation.SetUseOBB(true);
  operation.SetRunParallel(true);
  operation.Build();
  if (!operation.IsDone() || operation.HasErrors()) {
    throw Standard_Failure("a pocket, slot or port cannot be cut");
  }
  return operation.Shape();
}

}  // namespace

bool buildParts(const SolidEngine& engine, Parts& parts, std::string& error, bool housings) {
  const double e = engine.e, R = engine.R, W = engine.W, K = R / e;
  const study::SolidSettings& s = engine.settings;
  const double A = engine.real.sealOffset, C = engine.real.clearance;
  double deviation = 0;
  const TopoDS_Wire boreWire = fittedWire(borePieces(e, K, A), s.tolerance, deviation);
  const TopoDS_Face bore = faceOf(boreWire);
  const TopoDS_Wire outsideWire =
      fittedWire(borePieces(e, K, A + s.housingWall), s.tolerance, deviation);
  // The housing: the block the bore runs through; the side housings cover it, each with the
  // shaft's bore at the crank axis. The ports cut through: a peripheral one's window through the
  // housing's wall, a side one through the front side housing, as the timing counts them.
  if (housings) {
    std::vector<TopoDS_Shape> windows, sidePorts;
    const double reach = 2 * (R + e + A + s.housingWall);
    for (const PortDefinition& port : engine.ports) {
      if (port.kind == PortKind::kPeripheral) {
        windows.push_back(windowCutter(port.peripheral, reach, W));
      } else {
        sidePorts.push_back(sidePortCutter(port.outline, s.sidePlate, 0.02 * R));
      }
    }
    parts.rotorHousing = cut(slab(faceWithHole(outsideWire, boreWire), 0, W), windows);
    const TopoDS_Face plate = faceWithHole(outsideWire, circleAt(0, 0, s.shaftBore));
    parts.sideFront = cut(slab(plate, -s.sidePlate, 0), sidePorts);
    parts.sideRear = slab(plate, W, W + s.sidePlate);
  }
  // The rotor at its clearance, short of each side housing, with its bore at its centre, the
  // pocket in each flank and a slot at each apex, made in its own frame and then put where the
  // shaft's angle has it: turned a third of that angle, its centre e from the crank axis.
  const TopoDS_Wire flankWire = fittedWire(rotorPieces(e, K, A - C), s.tolerance, deviation);
  const TopoDS_Face section =
      s.rotorBore > 0 ? faceWithHole(flankWire, circleAt(0, 0, s.rotorBore)) : faceOf(flankWire);
  std::vector<TopoDS_Shape> cutters;
  if (engine.pocket && engine.pocketDepth > 0) {
    const TopoDS_Shape pocket = pocketCutter(engine, deviation);
    for (int k = 0; k < 3; ++k) cutters.push_back(turnedAbout(pocket, 2 * pi / 3 * k));
  }
  if (s.apexSlotWidth > 0 && s.apexSlotDepth > 0) {
    const TopoDS_Shape slot = slotCutter(engine);
    for (int k = 0; k < 3; ++k) cutters.push_back(turnedAbout(slot, 2 * pi / 3 * k));
  }
  const TopoDS_Shape rotor = cut(slab(section, s.sideClearance, W - s.sideClearance), cutters);
  const double shaft = s.shaftAngle * pi / 180;
  gp_Trsf turn, move;
  turn.SetRotation(gp_Ax1(gp::Origin(), gp::DZ()), shaft / 3);
  move.SetTranslation(gp_Vec(e * std::sin(shaft), -e * std::cos(shaft), 0));
  parts.rotor = BRepBuilderAPI_Transform(rotor, move * turn, true).Shape();
  parts.rotorCentre = gp_Pnt(e * std::sin(shaft), -e * std::cos(shaft), 0);
  parts.deviation = deviation;
  GProp_GProps face;
  BRepGProp::SurfaceProperties(bore, face, 1e-10);
  parts.cavityVolume = face.Mass() * W;
  for (const auto& [shape, name] : {std::pair{&parts.rotorHousing, "the rotor housing"},
                                    std::pair{&parts.sideFront, "the front side housing"},
                                    std::pair{&parts.sideRear, "the rear side housing"},
                                    std::pair{&parts.rotor, "the rotor"}}) {
    if (!shape->IsNull() && !BRepCheck_Analyzer(*shape).IsValid()) {
      error = std::string(name) + " is no valid solid";
      return false;
    }
  }
  return true;
}

}  // namespace rotary::solids
