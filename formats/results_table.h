// The results of one or many engines as a script reads them: the three lines of text, CSV rows
// or JSON objects, with every number in the window's display format.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "designer.h"
#include "runner.h"

namespace rotary::formats {

enum class Table { kCsv, kJson, kText };

// How a table shows its rows, beyond what their designs give it.
struct TableSettings {
  // The designer's figures in the text too, not only in CSV and JSON: where one of their values
  // was given.
  bool designerInText = false;
};

// Prints the rows of a table one by one, as they come: the header at once, a JSON array closed
// by finish().
class RowPrinter {
 public:
  // The columns are those of `every`, whose real engine, unit, rotors, module, rpm and ports every
  // row shares: a unit, where one is named ("mm"), heads the text and ends every CSV row and
  // JSON object.
  RowPrinter(std::ostream& out, Table table, const study::Design& every, bool manyEngines,
             const TableSettings& settings = {});
  void row(const study::EngineRow& row);
  void finish();

 private:
  std::ostream& out_;
  Table table_;
  bool many_;
  TableSettings settings_;
  std::size_t printed_ = 0;
};

// eccentricity,rotor_radius,chamber_width,steps,k,chamber_capacity,dead_volume,
// compression_ratio, the exact figures, [length_unit,] note; a case that ended in a message has
// empty figures and the message as its note.
void writeCsv(std::ostream& out, const std::vector<study::EngineRow>& rows,
              const TableSettings& settings = {});

// An array of objects with the same names, every object with every key: "note" holds the notes
// of the figures and "message" what keeps figures away (the sweep's message, the real engine's
// refusal), each null when there is none.
void writeJson(std::ostream& out, const std::vector<study::EngineRow>& rows,
               const TableSettings& settings = {});

// The window's three results, one per line; for several engines each block is headed by its
// inputs.
void writeText(std::ostream& out, const std::vector<study::EngineRow>& rows,
               const TableSettings& settings = {});

// One engine as a spreadsheet takes it from the clipboard: a header line and one row, separated
// by tabs, with the CSV's column names up to the exact figures, the real engine's where the row
// has it, then the designer's, the chamber's and (with an rpm) the seal's, and the units where one
// is named.
std::string tabSeparatedRow(const study::EngineRow& row);

// The ports' timing table in the trade's words, then the overlap and the effective ratios, a
// line each, as the text gives them after the figures.
std::string portTimingText(const std::vector<PortDefinition>& ports, const EngineTiming& timing,
                           const std::string& lengthUnit);

// "# unit of length: mm, of volume: cm^3": the line that names a unit given with --units.
std::string unitsLine(const std::string& lengthUnit);

// The designer's figures of a row whose shape (and real engine, where asked for) has figures.
std::optional<DesignerFigures> designerFiguresOf(const study::EngineRow& row);

// What keeps a row from figures asked for: its message, and what keeps the real engine from its
// figures or its target; one to a line, empty when nothing does.
std::string rowMessage(const study::EngineRow& row);

// What a figure of the row says besides its figures, one note to a line, in the words of the
// tables' note column: the sweep's notes (for the construction figure, `ofSweep`), the gears'
// and the chamber's.
std::string figureNotes(const study::EngineRow& row, bool ofSweep);

// The text's line over the real engine's figures.
const char* realEngineHeader();

}  // namespace rotary::formats
