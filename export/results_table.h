// The results of one or many engines as a script reads them: the three lines of text, CSV rows
// or JSON objects, with every number in the window's display format.
#pragma once

#include <optional>
#include <ostream>
#include <vector>

#include "runner.h"

namespace rotary::exporting {

enum class Table { kCsv, kJson, kText };

// Prints the rows of a table one by one, as they come: the header at once, a JSON array closed
// by finish().
class RowPrinter {
 public:
  RowPrinter(std::ostream& out, Table table, bool realEngine, bool manyEngines);
  void row(const study::EngineRow& row);
  void finish();

 private:
  std::ostream& out_;
  Table table_;
  bool many_;
  std::size_t printed_ = 0;
};

// eccentricity,rotor_radius,chamber_width,steps,k,chamber_capacity,dead_volume,
// compression_ratio,note; a case that ended in a message has empty figures and the message as
// its note.
void writeCsv(std::ostream& out, const std::vector<study::EngineRow>& rows);

// An array of objects with the same names; a message goes under "message" instead of "note".
void writeJson(std::ostream& out, const std::vector<study::EngineRow>& rows);

// The window's three results, one per line; for several engines each block is headed by its
// inputs.
void writeText(std::ostream& out, const std::vector<study::EngineRow>& rows);

// The real engine of a row's input, and what is said of its figures.
RealEngine realEngineOf(const study::EngineInput& input);
std::string targetAboveLimit(const std::string& target, double limit);
const char* realEngineHeader();

// An input as the window echoes it: a number in the display format, anything else as typed.
std::string shownInput(const std::string& typed);
// K = R / e, where both are numbers and e is above 0.
std::optional<double> trochoidRatioValue(const study::EngineInput& input);
// The same in the display format, or empty.
std::string trochoidRatio(const study::EngineInput& input);

}  // namespace rotary::exporting
