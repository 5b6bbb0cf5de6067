// The companion's command line: its options, what each takes, and the help text that the
// manual page is made from.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "design.h"
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
  // The solids: the STEP assembly (or one file a part with --step-parts) and the STL files, one
  // a part, each part's name added to the file's.
  std::optional<std::string> step, stl;
  // The working cycle: the shaft speeds as typed (a value or a range), and its curve's file.
  std::string cycleSpeeds;
  std::optional<std::string> cycleCurve;
  bool stepParts = false;
  // The shaft angle whose flank --port-edge-dxf draws, degrees.
  std::optional<double> portEdge;
  // Degrees of the shaft between the volume curve's and the port curve's rows.
  double angleStep = 1;
  // What every engine of the run shares, as typed: the unit, rotors, gear module, shaft speed,
  // gamma, the recess's walls and the ports. The lengths and the real engine's values, each one
  // or a range, are the texts above; each engine is this design with them.
  study::Design design;
  // A window in the bore given with a range in FROM, TO or WIDTH: a study across its edges. The
  // port's place among the design's ports, and each window the range gives, in order.
  struct PortRange {
    std::size_t index;
    std::vector<PortDefinition> windows;
  };
  std::vector<PortRange> portRanges;
  // Whether the designer's figures were asked for by one of their options.
  bool designerGiven = false;
  // The figure's format where its file name has no extension to say it (standard output).
  std::optional<std::string> figureFormat;
};

// An option or value the companion cannot take: one line for standard error, exit status 2.
struct BadUsage {
  std::string line;
};

// Reads the arguments; throws BadUsage. --help and --version print their text on `out` and
// set `done`.
Options parseOptions(const std::vector<std::string>& args, std::ostream& out, bool& done);

// The values of a length option, one or a range, as typed: the design's rules judge each engine
// made of them. Throws BadUsage where the text is no value or range.
std::vector<study::TypedNumber> lengthValues(const std::string& option, const std::string& text);

}  // namespace rotary
