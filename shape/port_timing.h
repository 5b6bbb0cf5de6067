// The ports' timing and breathing: when each port opens and closes to the chamber, in shaft
// degrees of the housing's frame (0 at top dead centre of compression, 1080 a whole cycle), how
// much of it stands open, the angle-area porters compare breathing by, the overlap of intake and
// exhaust, and the compression and expansion left after the ports.
//
// A peripheral port is a window in the bore, between two polar angles, of an axial width: open
// where the bore between the chamber's apex seals covers it. The seals' own width and the side
// seals' inset are left out: the chamber reaches the points where the seals touch the bore.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "housing_frame.h"
#include "plane.h"
#include "real_engine.h"
#include "work_sharing.h"

namespace rotary {

enum class PortRole { kIntake, kExhaust };

struct PeripheralPort {
  // Polar angles of the bore in degrees, counterclockwise from +x: the window runs
  // counterclockwise from the first to the second.
  double from = 0, to = 0;
  double width = 0;  // across the bore, along the shaft, in the unit of length
};

// One stretch of the cycle in which a port stands open to the chamber.
struct PortOpening {
  double opens = 0;    // shaft degrees, 0 to 1080
  double closes = 0;   // shaft degrees, 0 to 1080
  double openFor = 0;  // degrees from opening to closing
};

// Where a side port lies against the bore; a peripheral port is cut in it.
enum class PortReach {
  kInsideTheBore,
  kBeyondTheBore,  // partly outside: only the part inside it ever opens
  kOutsideTheBore  // wholly outside: it never opens
};

struct PortTiming {
  // Every stretch in which it stands open, the first after its longest closed stretch first;
  // none where it never opens. A port near the waist may open twice a cycle.
  std::vector<PortOpening> openings;
  double largestArea = 0;  // in the unit of length squared
  double angleArea = 0;    // the open area's integral over the shaft angle: area x degrees
  PortReach reach = PortReach::kInsideTheBore;

  bool opens() const { return !openings.empty(); }
};

// The chamber's opening to one peripheral port over the cycle.
class PeripheralOpening {
 public:
  PeripheralOpening(const HousingFrame& frame, const PeripheralPort& port);
  // In the unit of length squared.
  double area(double shaftAngle) const;
  PortTiming timing() const;
  // Whether the port spans a whole chamber and the next one's seal at once, or more of the bore
  // than there is: it never closes.
  bool alwaysOpen() const;

 private:
  const HousingFrame& frame_;
  double from_, to_;  // the bore's parameters at the window's edges, to_ above from_
  double width_;
};

enum class PortKind { kPeripheral, kSide };

struct PortDefinition {
  PortRole role = PortRole::kIntake;
  PortKind kind = PortKind::kPeripheral;
  PeripheralPort peripheral;  // a peripheral port's window
  Polyline outline;           // a side port's outline in the housing's frame, closed
  std::string source;         // what the user gave for it, as the tables name it

  static PortDefinition peripheralPort(PortRole role, const PeripheralPort& window,
                                       std::string source) {
    return {role, PortKind::kPeripheral, window, {}, std::move(source)};
  }
  static PortDefinition sidePort(PortRole role, Polyline outline, std::string source) {
    return {role, PortKind::kSide, {}, std::move(outline), std::move(source)};
  }
};

struct EngineTiming {
  // In the order given.
  std::vector<PortTiming> ports;
  // Degrees in which an intake port and an exhaust port both stand open to the chamber.
  double overlap = 0;
  // V(the last intake port closes) / V(top dead centre) and V(the first exhaust port opens) /
  // V(top dead centre), on the engine's volume curve; none without a port of that role that
  // opens.
  std::optional<double> effectiveCompressionRatio, effectiveExpansionRatio;
};

// For dimensions whose real engine has figures (realLimit says so); with no seal offset,
// clearance or recess, the bare shape's. The ports must not be always open. The ports' work is
// shared among up to `threads` threads: a study, which gives each engine a core, gives one.
EngineTiming engineTiming(double e, double R, double W, const RealEngine& real,
                          double volumeDivisor, const std::vector<PortDefinition>& ports,
                          unsigned threads = allCores());

// The open area of each port at each shaft angle in degrees, in the unit of length squared: one
// row a port, in the order given.
std::vector<std::vector<double>> openAreas(double e, double R, const RealEngine& real,
                                           const std::vector<PortDefinition>& ports,
                                           const std::vector<double>& shaftAngles);

// A port's event in the trade's words: degrees after or before the dead centre the trade gives
// it from ("3 ATDC", "60 ABDC", "40 BBDC", "3 BTDC"). The intake's opening and the exhaust's
// closing count from top dead centre at the end of exhaust (540), the intake's closing from
// bottom dead centre after intake (810), the exhaust's opening from bottom dead centre after
// expansion (270).
struct TradeAngle {
  double degrees;
  const char* words;  // "ATDC", "BTDC", "ABDC" or "BBDC"
};
TradeAngle tradeAngle(double shaftAngle, PortRole role, bool opening);

// Why a port never opens, in the tables' words: it lies outside the bore, or the rotor covers it
// the whole cycle.
std::string neverOpens(const PortTiming& timing);

// Degrees of [0, 1080) that two sets of open intervals, each given by its opening and its
// length, share.
double sharedDegrees(const std::vector<std::pair<double, double>>& first,
                     const std::vector<std::pair<double, double>>& second);

}  // namespace rotary
