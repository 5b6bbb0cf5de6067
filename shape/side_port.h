// A side port: a closed outline on the side housing, in the housing's frame. The chamber reaches
// it where the port lies inside the chamber's region, between the bore and the rotor's flank and
// between the chamber's two apex seals, so not covered by the rotor's side face; the side seals'
// inset is left out. Areas come from Boost.Geometry's polygons.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "housing_frame.h"
#include "plane.h"
#include "port_timing.h"
#include "work_sharing.h"

namespace rotary {

// The chamber's flank on the side housing at a shaft angle, from its trailing end to its leading
// one: the edge a side port opens or closes on at that angle.
Polyline chamberFlank(double e, double R, const RealEngine& real, double shaftAngle);

// The first side port of `ports` that lies wholly outside the bore of this engine, and so can
// never open; none when every one reaches into it.
const PortDefinition* portOutsideTheBore(double e, double R, const RealEngine& real,
                                         const std::vector<PortDefinition>& ports);

// Why an outline is no port ("crosses itself", "has no area"); empty when it is one.
std::string outlineRefusal(const Polyline& outline);

// The rotor's flank as every side port of one engine samples it: made once, it spares each
// port the making.
struct FlankSamples;
std::shared_ptr<const FlankSamples> sideFlank(double e, double R, const RealEngine& real,
                                              WorkSharing* sharing = nullptr);

class SideOpening {
 public:
  // For dimensions whose real engine has figures; `outline` is closed (its last point joins its
  // first) and does not cross itself. The flank's samples of the same engine, or none to make
  // them.
  SideOpening(double e, double R, const RealEngine& real, const Polyline& outline,
              std::shared_ptr<const FlankSamples> flank = nullptr);
  ~SideOpening();
  SideOpening(const SideOpening&) = delete;
  SideOpening& operator=(const SideOpening&) = delete;

  // The port's area, and the part of it inside the bore: where none is, it never opens.
  double portArea() const;
  double areaInsideTheBore() const;
  PortReach reach() const;

  // In the unit of length squared.
  double area(double shaftAngle) const;
  // Whether the port meets the chamber at a shaft angle: it may touch it with no area open.
  bool meets(double shaftAngle) const;
  // The parts of the port open to the chamber at a shaft angle, in the housing's frame.
  std::vector<Polyline> openParts(double shaftAngle) const;
  // The shaft angles in degrees at which the chamber's region, at any shaft angle, meets the
  // port, opening to closing, found to a billionth of a degree; none while it never opens. The
  // work may be shared among threads; the figures are the same however it is.
  PortTiming timing() const;
  PortTiming timing(WorkSharing& sharing) const;

  // The chamber's region at a shaft angle in the housing's frame, as a closed outline: the bore
  // from the leading seal's point of contact to the trailing one's, round the seal's tip to the
  // rotor, along the flank, and round the other tip.
  Polyline chamberRegion(double shaftAngle) const;

 private:
  struct Shapes;
  Shapes* shapes_;
};

}  // namespace rotary
