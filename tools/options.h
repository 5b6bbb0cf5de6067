// The companion's command line: its options, what each takes, and the help text that the
// manual page is made from.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "chamber_cycle.h"
#include "port_timing.h"
#include "typed_number.h"

namespace rotary {

enum class Format { kDefault, kText, kCsv, kJson };
// The sweep of the window, at a step count, or the shape's exact figures.
enum class Method { kSweep, kExact };

struct Options {
  std::string eccentricity = "15";
  std::string rotorRadius = "105";
  std::string chamberWidth = "80";
  std::string steps = "100";
  Format format = Format::kDefault;
  Method method = Method::kSweep;
  // The real engine; empty when not given.
  std::string sealOffset, clearance, recess, targetRatio;
  bool realEngine() const {
    return !sealOffset.empty() || !clearance.empty() || !recess.empty() || !targetRatio.empty();
  }
  std::optional<std::string> profiles, figure, dxf, chart, volumeCurve, portCurve, portEdgeDxf;
  // The shaft angle whose flank --port-edge-dxf draws, degrees.
  std::optional<double> portEdge;
  // Degrees of the shaft between the volume curve's and the port curve's rows.
  double angleStep = 1;
  // The designer's figures: the rotors of the engine, and the gears' module, as typed and read;
  // none when not given.
  std::optional<int> rotors;
  std::optional<study::TypedNumber> gearModule;
  // The chamber's and the seal's figures: the shaft's speed, the ratio of specific heats, and
  // what the recess's walls add to the chamber's surface; none when not given.
  std::optional<double> rpm, gamma, recessArea;
  ChamberSettings chamberSettings(double metresPerUnit) const;
  // The figure's format where its file name has no extension to say it (standard output).
  std::optional<std::string> figureFormat;
  // The unit of the lengths, as the DXF and the headers name it; empty when not given (mm).
  std::string units;
  // The ports whose timing the figures give, in the order given.
  std::vector<PortDefinition> ports;
};

// An option or value the companion cannot take: one line for standard error, exit status 2.
struct BadUsage {
  std::string line;
};

// Reads the arguments; throws BadUsage. --help and --version print their text on `out` and
// set `done`.
Options parseOptions(const std::vector<std::string>& args, std::ostream& out, bool& done);

// The values of a length option, one or a range, each checked as the window checks a typed
// length; throws BadUsage.
std::vector<study::TypedNumber> lengthValues(const std::string& option, const std::string& text);

}  // namespace rotary
