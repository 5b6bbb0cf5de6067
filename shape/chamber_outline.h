// The chamber's outline as a side port sees it, in units of e and the housing's frame: the bore
// from the leading seal's point of contact back to the trailing one's, round the trailing seal's
// tip to the rotor, along the flank with its clearance, and round the leading seal's tip. Where
// its points cannot change the port's open area it keeps few of them: every one within a narrow
// band of the port's edges, where the outline crosses them; one in four just beyond the band,
// moved off the curve so that each chord cuts off as much as it leaves; deep inside the port one
// in 64, with the slivers the chords leave out counted apart; one in 32 within a tenth of R of
// the port, and one in 256 beyond.
#pragma once

#include <memory>

#include "housing_frame.h"
#include "plane.h"
#include "port_zones.h"
#include "real_engine.h"
#include "work_sharing.h"

namespace rotary {

// The rotor's flank from its right end to its left in the rotor's frame, in units of e, at the
// outline's own samples: its right half computed, its left half the mirror image.
// The work shared among the threads given, if any.
Polyline rotorFlankSamples(double K, double offset, WorkSharing* sharing = nullptr);

// The rotor's flank as the outline samples it, the same for every port of an engine: its
// points from right end to left in the rotor's frame, and the same moved off the curve for the
// chords of a stride inside a port, out by two thirds of such a chord's sagitta.
struct FlankSamples {
  // K and the real engine in units of e; the work shared among the threads given, if any.
  FlankSamples(double K, const RealEngine& real, WorkSharing* sharing = nullptr);
  Polyline line, inside;
  bool falls = true;  // its x falls all along it
  double step = 0;    // the longest step from one of its points to the next
  // The area between the chord from point `from` to point `to` and the points between, as the
  // chamber's outline goes round it in the housing's frame: the shoelace sums of the points
  // from the first, so that any chord's sliver takes two of them.
  std::vector<double> turning;
  double sliver(std::size_t from, std::size_t to) const {
    const PlanePoint &a = line[from], &b = line[to];
    return (turning[to] - turning[from] + (b.x * a.y - b.y * a.x)) / 2;
  }
};

class ChamberOutline {
 public:
  // K and the real engine in units of e; `port` the port's outline in units of e, closed; the
  // flank's samples of this engine.
  ChamberOutline(double K, const RealEngine& real, const Polyline& port,
                 std::shared_ptr<const FlankSamples> flank);

  struct Outline {
    Polyline line;  // clockwise
    // Whether any of its points comes near the port: where none does, none of its chords crosses
    // the port either, and the port lies wholly inside the chamber or wholly outside.
    bool nearPort = false;
    // Nothing the rotor moves (the seals' tips, their contacts and the flank) within 0.3 R of the
    // port: the bore stands still.
    bool wideOfPort = true;
    // The area the chords deep inside the port leave out of the chamber, to add to the port's
    // part inside the line.
    double beyondChords = 0;
  };
  // At a shaft angle in degrees; every sample when not `thin`. Deep inside the port the thinned
  // outline keeps long chords and their slivers' area, or, where it is `drawn`, every sample.
  enum Thinning { kWhole, kThin, kThinDrawn };
  Outline at(double shaftAngle, Thinning thinning) const;

  // The bore's whole turn as the thinned outline takes it, and whether any of it comes near the
  // port.
  const Polyline& thinnedBore() const { return boreKeptPoints_; }
  bool boreNearPort() const { return boreNearPort_; }
  // The steps of so many shaft degrees after an outline wide of the port for which the port
  // stays as it was: nothing of the rotor moves faster than its far tip, 1 + (K + A) / 3 of e a
  // radian of the shaft.
  int stepsUnchanged(double step) const;

 private:
  struct Box {
    double left, bottom, right, top;
    Box grown(double by) const { return {left - by, bottom - by, right + by, top + by}; }
    bool holds(const PlanePoint& p) const {
      return p.x >= left && p.x <= right && p.y >= bottom && p.y <= top;
    }
  };
  bool covers(const PlanePoint& p) const { return zones_.at(p) != PortZones::kFar; }

  HousingFrame frame_;
  double K_, bore_;
  // Where the outline's points stand against the port; the box beyond which all are far, the
  // port's neighbourhood beyond which the outline keeps one point in a longer stride, and the
  // wide box the rotor must keep out of for the port to stay as it is.
  PortZones zones_;
  Box near_, around_, wide_;
  // The bore's samples at even steps of its parameter that the thinned outline keeps, their
  // numbers and their points; how many samples lie near the port before each.
  std::vector<int> boreKept_;
  Polyline boreKeptPoints_;
  std::vector<int> nearBefore_;
  bool boreNearPort_ = false;
  std::shared_ptr<const FlankSamples> flank_;
  exact::Point rightApex_, leftApex_, rightTip_, leftTip_;
};

}  // namespace rotary
