#include "results_table.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <nlohmann/json.hpp>

#include "cycle_values.h"
#include "designer.h"
#include "length_unit.h"
#include "number_text.h"
#include "shape_texts.h"
#include "typed_number.h"

namespace rotary::formats {
namespace {

// One value of a row: the text a table shows, and the number it stands for where it is one (JSON
// writes that as a number); empty for a figure the row does not have.
struct Cell {
  std::string shown;
  std::optional<double> number;
};

// The display format's text of a number, and the number that text reads back as.
Cell shownCell(double value) {
  // One conversion for both where the number is normal; the subnormal ones lack digits, and
  // their rounding is written apart.
  if (std::isnormal(value)) {
    RoundedNumber rounded = roundedNumber(value, 15);
    return {std::move(rounded.text), rounded.value};
  }
  return {formatNumber(value), roundedToDigits(value, 15)};
}

// An input as the window echoes it: a number in the display format, anything else as typed.
Cell inputCell(const study::TypedNumber& typed) {
  if (!typed.number) return {typed.text, std::nullopt};
  return shownCell(*typed.number);
}

struct Columns {
  Cell e, R, W, N, k, capacity, deadVolume, ratio;
  Cell exactCapacity, exactDeadVolume, exactRatio;
  // The real engine's, where asked for.
  Cell A, C, V, realCapacity, realDeadVolume, realRatio, target, targetRecess, recessDepth;
  // The designer's, where the shape has figures.
  Cell rotors, displacement, sealLean, majorAxis, minorAxis, rotorGear, stationaryGear, rotorTeeth,
      stationaryTeeth;
  // The chamber's and the seal's, where the row has them.
  Cell surfaceToVolume, otto, leastSealSpeed, meanSealSpeed, largestSealSpeed, leastSealInertia,
      largestSealInertia;
  // The parts' mass properties, where they were built.
  Cell rotorVolume, rotorMass, rotorCentreOffset, rotorInertia, eccentricLoad, counterweight,
      cavityVolume, curveDeviation;
  Cell imepNet, imepGross, pmep, trappedMass, volumetricEfficiency, residualFraction, indicatedWork,
      indicatedEfficiency, indicatedPower, indicatedTorque, peakPressure, peakPressureAngle,
      heatLost, massLeaked, cyclesToConverge, cycleModel;
  std::string gearNote, chamberNote, portNote;
  std::optional<DesignerFigures> designer;
  // What the notes column adds for the designer's figures and the ports, one note to a line.
  std::string designerNotes() const {
    std::string notes;
    for (const std::string* note : {&gearNote, &chamberNote, &portNote}) {
      if (!note->empty()) notes += (notes.empty() ? "" : "\n") + *note;
    }
    return notes;
  }
};

// Enough digits for a script to compare with its own computation.
constexpr int kExactColumnDigits = 9;

// A figure of the exact computation to nine digits, written as the display format writes its
// numbers ("2.9E-06" would be "0.0000029" there, "1.5E+300" as it is), so that every column of a
// table reads alike.
Cell exactColumn(double value) {
  // A number of nine digits is its own fifteen-digit rounding: the cell's number needs no second
  // rounding.
  RoundedNumber rounded = roundedNumber(value, kExactColumnDigits);
  return {std::move(rounded.text), rounded.value};
}

// The designer's figures of a row whose shape (and real engine, where asked for) has figures.
}  // namespace

std::optional<DesignerFigures> designerFiguresOf(const study::EngineRow& row) {
  if (!row.exact || !row.exact->hasFigures()) return std::nullopt;
  if (row.input.real && (!row.real || !row.real->hasFigures())) return std::nullopt;
  const double capacity = row.input.real ? row.real->figures.capacity : row.exact->figures.capacity;
  return designerFigures(*row.input.eccentricity.number, *row.input.rotorRadius.number,
                         row.input.realEngine(), capacity, row.input.rotorCount(),
                         row.input.module());
}

namespace {

std::string gearNote(const DesignerFigures& d) {
  if (d.gearFits()) return "";
  return "Note: the rotor's internal gear does not fit inside the rotor: its pitch circle "
         "(radius " +
         significantDigits(d.rotorGearRadius, 6) + ") with its teeth reaches " +
         significantDigits(d.gearReach, 6) + " from the rotor centre, and the flank comes within " +
         significantDigits(d.flankDistance, 6) + " of it.";
}

// What the chamber's figures say besides their numbers.
std::string chamberNote(const ChamberFigures& f) {
  std::string note;
  if (f.recessWallsLeftOut) {
    note =
        "Note: the surface-to-volume ratio leaves out the walls of the recess; --recess-area "
        "gives what they add.";
  }
  if (f.seal && f.seal->drawnIn) {
    const auto [from, to] = *f.seal->drawnIn;
    note += std::string(note.empty() ? "" : "\n") + "Note: from " + significantDigits(from, 4) +
            " to " + significantDigits(to, 4) +
            " degrees of the shaft, and again 540 degrees later, the apex seal's inertia draws it "
            "into its groove (R/9 < e): its spring and the gas must hold it against the bore.";
  }
  return note;
}

const char* roleName(PortRole role) {
  return role == PortRole::kIntake ? "intake" : "exhaust";
}

// The port as the tables' notes name it: "port 2 (exhaust peripheral 42.5,54.4,30)".
std::string portName(const std::vector<PortDefinition>& ports, std::size_t n) {
  const PortDefinition& port = ports[n];
  return "port " + std::to_string(n + 1) + " (" + roleName(port.role) +
         (port.kind == PortKind::kSide ? " side " : " peripheral ") + port.source + ")";
}

// What the ports' timing says besides its numbers: a port that never opens and why, one that
// reaches beyond the bore, one that opens more than once a cycle.
std::string portNote(const study::EngineRow& row) {
  if (!row.timing || !row.input.ports) return "";
  const auto six = [](double value) { return significantDigits(value, 6); };
  std::string note;
  const auto add = [&note](const std::string& line) { note += (note.empty() ? "" : "\n") + line; };
  const std::vector<PortDefinition>& ports = *row.input.ports;
  for (std::size_t n = 0; n < row.timing->ports.size() && n < ports.size(); ++n) {
    const PortTiming& t = row.timing->ports[n];
    if (!t.opens()) {
      add("Note: " + portName(ports, n) + " " + neverOpens(t) + ".");
      continue;
    }
    if (t.reach == PortReach::kBeyondTheBore) {
      add("Note: " + portName(ports, n) +
          " reaches beyond the bore: only the part inside it opens.");
    }
    if (t.openings.size() > 1) {
      std::string stretches;
      for (std::size_t k = 0; k < t.openings.size(); ++k) {
        const PortOpening& o = t.openings[k];
        stretches += std::string(k == 0                       ? ""
                                 : k + 1 == t.openings.size() ? " and "
                                                              : ", ") +
                     six(o.opens) + " to " + six(o.closes);
      }
      add("Note: " + portName(ports, n) + " opens " + std::to_string(t.openings.size()) +
          " times a cycle, from " + stretches + " degrees of the shaft.");
    }
  }
  return note;
}

Columns columnsOf(const study::EngineRow& row) {
  Columns c;
  c.portNote = portNote(row);
  if (const auto& f = row.chamber) {
    c.surfaceToVolume = exactColumn(f->surfaceToVolumeAtTdc);
    c.otto = exactColumn(f->ottoEfficiency);
    if (const auto& seal = f->seal) {
      c.leastSealSpeed = exactColumn(seal->leastSpeed);
      c.meanSealSpeed = exactColumn(seal->meanSpeed);
      c.largestSealSpeed = exactColumn(seal->largestSpeed);
      c.leastSealInertia = exactColumn(seal->leastInertia);
      c.largestSealInertia = exactColumn(seal->largestInertia);
    }
    c.chamberNote = chamberNote(*f);
  }
  c.rotors = shownCell(row.input.rotorCount());
  c.designer = designerFiguresOf(row);
  if (const auto& d = c.designer) {
    c.displacement = exactColumn(d->displacement);
    c.sealLean = exactColumn(d->largestSealLean);
    c.majorAxis = exactColumn(d->majorAxis);
    c.minorAxis = exactColumn(d->minorAxis);
    c.rotorGear = exactColumn(d->rotorGearRadius);
    c.stationaryGear = exactColumn(d->stationaryGearRadius);
    if (d->teeth) {
      c.rotorTeeth = shownCell(d->teeth->rotor);
      c.stationaryTeeth = shownCell(d->teeth->stationary);
    }
    c.gearNote = gearNote(*d);
  }
  if (const auto& solids = row.solids) {
    c.rotorVolume = exactColumn(solids->rotorVolume);
    c.rotorMass = exactColumn(solids->rotorMass);
    c.rotorCentreOffset = exactColumn(solids->rotorCentreOffset);
    c.rotorInertia = exactColumn(solids->rotorMomentOfInertia);
    if (solids->eccentricLoad) c.eccentricLoad = exactColumn(*solids->eccentricLoad);
    c.counterweight = exactColumn(solids->counterweight);
    c.cavityVolume = exactColumn(solids->housingCavityVolume);
    c.curveDeviation = exactColumn(solids->curveDeviation);
  }
  if (row.input.hasCycle()) {
    c.cycleModel = {study::cycleSettingsText(study::cycleValuesOf(row.input)), std::nullopt};
  }
  if (const auto& f = row.cycle) {
    c.imepNet = exactColumn(f->imepNet);
    c.imepGross = exactColumn(f->imepGross);
    c.pmep = exactColumn(f->pmep);
    c.trappedMass = exactColumn(f->trappedMass);
    c.volumetricEfficiency = exactColumn(f->volumetricEfficiency);
    c.residualFraction = exactColumn(f->residualFraction);
    c.indicatedWork = exactColumn(f->indicatedWork);
    c.indicatedEfficiency = exactColumn(f->indicatedEfficiency);
    c.indicatedPower = exactColumn(f->indicatedPower);
    c.indicatedTorque = exactColumn(f->indicatedTorque);
    c.peakPressure = exactColumn(f->peakPressure);
    c.peakPressureAngle = exactColumn(f->peakPressureAngle);
    c.heatLost = exactColumn(f->heatLost);
    c.massLeaked = exactColumn(f->massLeaked);
    c.cyclesToConverge = shownCell(f->cyclesToConverge);
  }
  c.e = inputCell(row.input.eccentricity);
  c.R = inputCell(row.input.rotorRadius);
  c.W = inputCell(row.input.chamberWidth);
  if (row.input.steps > 0) c.N = shownCell(row.input.steps);
  if (const auto k = row.input.trochoidRatio()) c.k = shownCell(*k);
  if (row.exact && row.exact->hasFigures()) {
    const ExactFigures& x = row.exact->figures;
    c.exactCapacity = exactColumn(x.capacity);
    c.exactDeadVolume = exactColumn(x.deadVolume);
    c.exactRatio = exactColumn(x.ratio);
  }
  if (row.input.real) {
    c.A = inputCell(row.input.sealOffset);
    c.C = inputCell(row.input.clearance);
    c.V = inputCell(row.input.recessShown());
    c.target = inputCell(row.input.targetRatio);
    if (row.real && row.real->hasFigures()) {
      c.realCapacity = exactColumn(row.real->figures.capacity);
      c.realDeadVolume = exactColumn(row.real->figures.deadVolume);
      c.realRatio = exactColumn(row.real->figures.ratio);
    }
    if (row.targetRecess) c.targetRecess = exactColumn(*row.targetRecess);
    if (row.pocket) c.recessDepth = exactColumn(row.pocket->depth);
  }
  if (row.figures) {
    c.capacity = shownCell(row.figures->capacity);
    c.deadVolume = shownCell(row.figures->deadVolume);
    c.ratio = shownCell(row.figures->ratio);
  }
  return c;
}

// RFC 4180: a field with a comma, a quote or a line break goes in quotes, its quotes doubled.
void addCsvField(std::string& line, const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) {
    line += text;
    return;
  }
  line += '"';
  for (const char c : text) {
    if (c == '"') line += '"';
    line += c;
  }
  line += '"';
}
}  // namespace

std::string rowMessage(const study::EngineRow& row) {
  std::string message = row.message;
  const auto add = [&message](const std::string& more) {
    message += (message.empty() ? "" : "\n") + more;
  };
  if (row.input.real && row.real && !row.real->hasFigures()) {
    add(whyNoRealFigures(*row.real, row.input.realEngine()));
  }
  if (row.input.real && row.real && row.real->hasFigures() && !row.input.targetRatio.empty() &&
      !row.targetRecess) {
    add(targetAboveLimit(*row.input.targetRatio.number, row.real->withoutRecess.ratio));
  }
  return message;
}

namespace {

// The notes that go with the figures of the sweep.
std::string figuresNoteOf(const study::EngineRow& row) {
  return row.message.empty() && row.figures ? row.figures->note : "";
}

// What stands in a row's note column: the notes of its figures and of its gears, then what
// keeps figures away.
std::string noteOf(const study::EngineRow& row, const std::string& gearNote = "") {
  std::string note = figuresNoteOf(row);
  for (const std::string& more : {gearNote, rowMessage(row)}) {
    if (!more.empty()) note += (note.empty() ? "" : "\n") + more;
  }
  return note;
}

}  // namespace

std::string figureNotes(const study::EngineRow& row, bool ofSweep) {
  std::string notes = ofSweep ? figuresNoteOf(row) : "";
  const auto d = designerFiguresOf(row);
  if (const std::string gears = d ? gearNote(*d) : ""; !gears.empty()) {
    notes += (notes.empty() ? "" : "\n") + gears;
  }
  for (const std::string& more : {row.chamber ? chamberNote(*row.chamber) : "", portNote(row)}) {
    if (!more.empty()) notes += (notes.empty() ? "" : "\n") + more;
  }
  return notes;
}

const char* realEngineHeader() {
  return "# real engine: figures of the exact computation, free of the step count, with whole "
         "chambers closed where the apex seals' rounded tips touch the bore; the dead volume "
         "holds the recess\n";
}

namespace {

// The columns in their order, named as CSV headers and JSON keys both; the real engine's follow
// the exact ones where a study asks for them, and the note ends every row.
using Column = std::pair<const char*, Cell Columns::*>;
constexpr Column kColumns[] = {{"eccentricity", &Columns::e},
                               {"rotor_radius", &Columns::R},
                               {"chamber_width", &Columns::W},
                               {"steps", &Columns::N},
                               {"k", &Columns::k},
                               {"chamber_capacity", &Columns::capacity},
                               {"dead_volume", &Columns::deadVolume},
                               {"compression_ratio", &Columns::ratio},
                               {"exact_chamber_capacity", &Columns::exactCapacity},
                               {"exact_dead_volume", &Columns::exactDeadVolume},
                               {"exact_compression_ratio", &Columns::exactRatio}};
constexpr Column kRealColumns[] = {{"seal_offset", &Columns::A},
                                   {"clearance", &Columns::C},
                                   {"recess", &Columns::V},
                                   {"real_chamber_capacity", &Columns::realCapacity},
                                   {"real_dead_volume", &Columns::realDeadVolume},
                                   {"real_compression_ratio", &Columns::realRatio},
                                   {"target_ratio", &Columns::target},
                                   {"target_recess", &Columns::targetRecess}};
constexpr Column kPocketColumns[] = {{"recess_depth", &Columns::recessDepth}};

constexpr Column kDesignerColumns[] = {{"rotors", &Columns::rotors},
                                       {"displacement", &Columns::displacement},
                                       {"largest_seal_lean_deg", &Columns::sealLean},
                                       {"housing_major_axis", &Columns::majorAxis},
                                       {"housing_minor_axis", &Columns::minorAxis},
                                       {"rotor_gear_radius", &Columns::rotorGear},
                                       {"stationary_gear_radius", &Columns::stationaryGear}};
constexpr Column kTeethColumns[] = {{"rotor_gear_teeth", &Columns::rotorTeeth},
                                    {"stationary_gear_teeth", &Columns::stationaryTeeth}};
constexpr Column kChamberColumns[] = {{"surface_to_volume_tdc", &Columns::surfaceToVolume},
                                      {"otto_efficiency", &Columns::otto}};
constexpr Column kSealColumns[] = {{"least_seal_speed", &Columns::leastSealSpeed},
                                   {"mean_seal_speed", &Columns::meanSealSpeed},
                                   {"largest_seal_speed", &Columns::largestSealSpeed},
                                   {"least_seal_inertia_per_gram", &Columns::leastSealInertia},
                                   {"largest_seal_inertia_per_gram", &Columns::largestSealInertia}};
constexpr Column kCycleColumns[] = {{"imep_net", &Columns::imepNet},
                                    {"imep_gross", &Columns::imepGross},
                                    {"pmep", &Columns::pmep},
                                    {"trapped_mass", &Columns::trappedMass},
                                    {"volumetric_efficiency", &Columns::volumetricEfficiency},
                                    {"residual_fraction", &Columns::residualFraction},
                                    {"indicated_work", &Columns::indicatedWork},
                                    {"indicated_efficiency", &Columns::indicatedEfficiency},
                                    {"indicated_power", &Columns::indicatedPower},
                                    {"indicated_torque", &Columns::indicatedTorque},
                                    {"peak_pressure", &Columns::peakPressure},
                                    {"peak_pressure_deg", &Columns::peakPressureAngle},
                                    {"heat_lost", &Columns::heatLost},
                                    {"mass_leaked", &Columns::massLeaked},
                                    {"cycles_to_converge", &Columns::cyclesToConverge},
                                    {"cycle_model", &Columns::cycleModel}};
constexpr Column kSolidColumns[] = {{"rotor_volume", &Columns::rotorVolume},
                                    {"rotor_mass", &Columns::rotorMass},
                                    {"rotor_centre_offset", &Columns::rotorCentreOffset},
                                    {"rotor_moment_of_inertia", &Columns::rotorInertia},
                                    {"rotor_eccentric_load", &Columns::eccentricLoad},
                                    {"counterweight", &Columns::counterweight},
                                    {"housing_cavity_volume", &Columns::cavityVolume},
                                    {"curve_deviation", &Columns::curveDeviation}};

// The same for the designer's, the chamber's and the seal's columns, which follow the figures.
template <typename Each>
void forEachDesignerColumn(const study::Design& design, const Columns& c, Each each) {
  for (const auto& [name, member] : kDesignerColumns) each(name, c.*member);
  if (!design.gearModule.empty()) {
    for (const auto& [name, member] : kTeethColumns) each(name, c.*member);
  }
  for (const auto& [name, member] : kChamberColumns) each(name, c.*member);
  if (!design.rpm.empty()) {
    for (const auto& [name, member] : kSealColumns) each(name, c.*member);
  }
  if (design.solids) {
    for (const auto& [name, member] : kSolidColumns) each(name, c.*member);
  }
  if (design.hasCycle()) {
    for (const auto& [name, member] : kCycleColumns) each(name, c.*member);
  }
}

// Calls `each` with the name and value of every column a row has, the note aside.
template <typename Each>
void forEachColumn(const study::Design& design, const Columns& c, Each each) {
  for (const auto& [name, member] : kColumns) each(name, c.*member);
  if (design.real) {
    for (const auto& [name, member] : kRealColumns) each(name, c.*member);
    if (design.hasPocket()) {
      for (const auto& [name, member] : kPocketColumns) each(name, c.*member);
    }
  }
  forEachDesignerColumn(design, c, each);
}

// Where --units names the unit of the lengths, these name it and that of the volumes.
constexpr const char* kUnitColumn = "length_unit";
constexpr const char* kVolumeUnitColumn = "volume_unit";

// The ports' fields, each port's and then the engine's, as CSV's port1_opens_deg and JSON's
// "ports" list name them.
constexpr const char* kPortFields[] = {"role",     "kind",         "source",
                                       "openings", "opens_deg",    "closes_deg",
                                       "open_deg", "largest_area", "angle_area"};
constexpr const char* kTimingFields[] = {"overlap_deg", "effective_compression_ratio",
                                         "effective_expansion_ratio", "rotation"};
// Each opening's fields, in JSON's "each_opening" list.
constexpr const char* kOpeningFields[] = {"opens_deg", "closes_deg", "open_deg"};

std::vector<Cell> openingCells(const PortOpening& opening) {
  return {exactColumn(opening.opens), exactColumn(opening.closes), exactColumn(opening.openFor)};
}

// Port n's cells, empty where the row has no timing. The events are those of its first
// opening (the others are in the note); none where it never opens.
std::vector<Cell> portCells(const study::EngineRow& row, std::size_t n) {
  std::vector<Cell> cells(std::size(kPortFields));
  const auto& ports = row.input.ports;
  if (!ports || n >= ports->size()) return cells;
  const PortDefinition& port = (*ports)[n];
  cells[0] = {roleName(port.role), std::nullopt};
  cells[1] = {port.kind == PortKind::kSide ? "side" : "peripheral", std::nullopt};
  cells[2] = {port.source, std::nullopt};
  if (!row.timing || n >= row.timing->ports.size()) return cells;
  const PortTiming& t = row.timing->ports[n];
  cells[3] = shownCell(static_cast<double>(t.openings.size()));
  if (t.opens()) {
    const std::vector<Cell> first = openingCells(t.openings.front());
    std::copy(first.begin(), first.end(), cells.begin() + 4);
  }
  cells[7] = exactColumn(t.largestArea);
  cells[8] = exactColumn(t.angleArea);
  return cells;
}

std::vector<Cell> timingCells(const study::EngineRow& row) {
  std::vector<Cell> cells(std::size(kTimingFields));
  cells[3] = {"counterclockwise", std::nullopt};
  if (!row.timing) return cells;
  cells[0] = exactColumn(row.timing->overlap);
  if (const auto& r = row.timing->effectiveCompressionRatio) cells[1] = exactColumn(*r);
  if (const auto& r = row.timing->effectiveExpansionRatio) cells[2] = exactColumn(*r);
  return cells;
}

// Calls `each` with the name and cell of every port column, as CSV has them.
template <typename Each>
void forEachPortColumn(const study::EngineRow& row, std::size_t ports, Each each) {
  if (ports == 0) return;
  for (std::size_t n = 0; n < ports; ++n) {
    const std::vector<Cell> cells = portCells(row, n);
    for (std::size_t f = 0; f < cells.size(); ++f) {
      each("port" + std::to_string(n + 1) + "_" + kPortFields[f], cells[f]);
    }
  }
  const std::vector<Cell> cells = timingCells(row);
  for (std::size_t f = 0; f < cells.size(); ++f) each(std::string(kTimingFields[f]), cells[f]);
}

void csvHeader(std::ostream& out, const study::Design& design) {
  forEachColumn(design, Columns{}, [&out](const char* name, const Cell&) { out << name << ','; });
  forEachPortColumn(study::EngineRow{}, design.portList().size(),
                    [&out](const std::string& name, const Cell&) { out << name << ','; });
  if (!design.unit.empty()) out << kUnitColumn << ',' << kVolumeUnitColumn << ',';
  out << "note\n";
}

void csvRow(std::ostream& out, const study::EngineRow& row) {
  const study::Design& design = row.input;
  const Columns c = columnsOf(row);
  std::string note = noteOf(row, c.designerNotes());
  // Two notes go on two lines in the window; a row stays one line for line-based scripts.
  std::replace(note.begin(), note.end(), '\n', ' ');
  // The row is made whole and written at once: a study writes many thousands.
  std::string line;
  line.reserve(512);
  const auto add = [&line](const Cell& value) {
    addCsvField(line, value.shown);
    line += ',';
  };
  forEachColumn(design, c, [&](const char*, const Cell& value) { add(value); });
  forEachPortColumn(row, design.portList().size(),
                    [&](const std::string&, const Cell& value) { add(value); });
  if (!design.unit.empty()) {
    line += design.unit + ',' + design.lengthUnit().volumeUnit + ',';
  }
  addCsvField(line, note);
  line += '\n';
  out << line;
}
// A number as a JSON number (a whole one without a decimal point), an input that is none as a
// string, and a missing figure as null.
nlohmann::ordered_json jsonOf(const Cell& cell) {
  if (cell.shown.empty()) return nullptr;
  const auto& value = cell.number;
  if (!value) return cell.shown;
  constexpr double kLargestWhole = 9007199254740992.0;  // 2^53
  if (*value == std::floor(*value) && std::abs(*value) < kLargestWhole) {
    return static_cast<std::int64_t>(*value);
  }
  return *value;
}

void jsonRow(std::ostream& out, const study::EngineRow& row, bool first) {
  const study::Design& design = row.input;
  const Columns c = columnsOf(row);
  nlohmann::ordered_json object;
  forEachColumn(design, c,
                [&object](const char* name, const Cell& value) { object[name] = jsonOf(value); });
  if (design.hasPorts()) {
    nlohmann::ordered_json ports = nlohmann::ordered_json::array();
    for (std::size_t n = 0; n < design.ports->size(); ++n) {
      nlohmann::ordered_json port;
      const std::vector<Cell> cells = portCells(row, n);
      for (std::size_t f = 0; f < cells.size(); ++f) port[kPortFields[f]] = jsonOf(cells[f]);
      nlohmann::ordered_json openings = nlohmann::ordered_json::array();
      if (row.timing && n < row.timing->ports.size()) {
        for (const PortOpening& opening : row.timing->ports[n].openings) {
          nlohmann::ordered_json each;
          const std::vector<Cell> events = openingCells(opening);
          for (std::size_t f = 0; f < events.size(); ++f)
            each[kOpeningFields[f]] = jsonOf(events[f]);
          openings.push_back(each);
        }
      }
      port["each_opening"] = openings;
      ports.push_back(port);
    }
    object["ports"] = ports;
    const std::vector<Cell> cells = timingCells(row);
    for (std::size_t f = 0; f < cells.size(); ++f) object[kTimingFields[f]] = jsonOf(cells[f]);
  }
  if (!design.unit.empty()) {
    object[kUnitColumn] = design.unit;
    object[kVolumeUnitColumn] = design.lengthUnit().volumeUnit;
  }
  // Every object has both keys, so that a script reads them without asking first.
  const auto textOrNull = [](const std::string& text) {
    return text.empty() ? nlohmann::ordered_json(nullptr) : nlohmann::ordered_json(text);
  };
  std::string note = figuresNoteOf(row);
  if (const std::string more = c.designerNotes(); !more.empty()) {
    note += (note.empty() ? "" : "\n") + more;
  }
  object["note"] = textOrNull(note);
  object["message"] = textOrNull(rowMessage(row));
  // A typed text that is no valid UTF-8 is shown with replacement characters, never refused.
  out << (first ? "\n " : ",\n ")
      << object.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

// The designer's lines of a row, where the settings ask for them in text.
void designerLines(std::ostream& out, const Columns& c, const study::Design& design,
                   const TableSettings& settings) {
  if (!settings.designerInText || !c.designer) return;
  const int rotors = design.rotorCount();
  // To six digits of the nine the columns give, as the text gives every exact figure.
  const auto shown = [](const Cell& column) { return significantDigits(*column.number, 6); };
  out << "displacement (" << rotors << (rotors == 1 ? " rotor" : " rotors")
      << "): " << shown(c.displacement) << "\n"
      << "largest apex-seal lean: " << shown(c.sealLean) << " degrees\n"
      << "housing bore axes: " << shown(c.majorAxis) << " by " << shown(c.minorAxis) << "\n"
      << "gear pitch radii: rotor " << shown(c.rotorGear) << ", stationary "
      << shown(c.stationaryGear) << " (3:2)";
  if (c.designer->teeth) {
    out << "; teeth " << c.rotorTeeth.shown << " and " << c.stationaryTeeth.shown;
  }
  out << "\n";
  if (c.surfaceToVolume.number) {
    const char* unit = design.unit.empty() ? "mm" : design.unit.c_str();
    out << "surface to volume at top dead centre: " << shown(c.surfaceToVolume) << " per " << unit
        << "\n"
        << "ideal Otto cycle's efficiency (gamma " << formatNumber(design.chamberSettings().gamma)
        << "): " << shown(c.otto) << "\n";
  }
  if (c.leastSealSpeed.number && design.rpm.number) {
    out << "apex seal at " << formatNumber(*design.rpm.number)
        << " rpm: " << shown(c.leastSealSpeed) << " to " << shown(c.largestSealSpeed)
        << " m/s sliding on the bore, mean " << shown(c.meanSealSpeed)
        << "; inertia along its groove " << shown(c.leastSealInertia) << " to "
        << shown(c.largestSealInertia) << " N per gram of seal\n";
  }
  if (const std::string notes = c.designerNotes(); !notes.empty()) out << notes << "\n";
}

// The parts' mass properties of a row after its figures, where they were built.
void solidLines(std::ostream& out, const study::EngineRow& row) {
  if (!row.solids) return;
  const study::SolidFigures& f = *row.solids;
  const std::string unit = row.input.unit.empty() ? "mm" : row.input.unit;
  const auto six = [](double value) { return significantDigits(value, 6); };
  out << "rotor: volume " << six(f.rotorVolume) << " " << unit << "^3, mass " << six(f.rotorMass)
      << " kg, centre of mass " << six(f.rotorCentreOffset) << " " << unit
      << " off its centre, moment of inertia " << six(f.rotorMomentOfInertia)
      << " kg m^2 about its axis\n"
      << (row.input.rotorCount() == 1
              ? "counterweight to balance the rotor: "
              : "counterweight at each end of the shaft to balance the " +
                    std::to_string(row.input.rotorCount()) + " rotors' couple: ")
      << six(f.counterweight) << " kg m (mass x radius)";
  if (f.eccentricLoad) {
    out << "; each rotor's load on its eccentric at " << formatNumber(*row.input.rpm.number)
        << " rpm: " << six(*f.eccentricLoad) << " N";
  }
  out << "\nrotor housing's cavity: " << six(f.housingCavityVolume) << " " << unit << "^3\n"
      << "fitted curves within " << significantDigits(f.curveDeviation, 3) << " " << unit
      << " of the exact ones\n";
}

// The working cycle's figures of a row, named a model with its settings; or why there are none.
void cycleLines(std::ostream& out, const study::EngineRow& row) {
  if (!row.input.hasCycle()) return;
  out << "working cycle, " << study::cycleSettingsText(study::cycleValuesOf(row.input)) << ":\n";
  const auto& f = row.cycle;
  if (!f) {
    out << "  " << (row.cycleMessage.empty() ? "no figures" : row.cycleMessage) << "\n";
    return;
  }
  const auto six = [](double value) { return significantDigits(value, 6); };
  out << "  IMEP " << six(f->imepNet) << " bar net, " << six(f->imepGross) << " gross, PMEP "
      << six(f->pmep) << " bar\n"
      << "  indicated power " << six(f->indicatedPower) << " kW, torque " << six(f->indicatedTorque)
      << " N m, efficiency " << six(f->indicatedEfficiency) << ", work " << six(f->indicatedWork)
      << " J a chamber a cycle\n"
      << "  trapped " << six(f->trappedMass) << " kg, volumetric efficiency "
      << six(f->volumetricEfficiency) << ", residual gas " << six(f->residualFraction)
      << ", peak pressure " << six(f->peakPressure) << " bar at " << six(f->peakPressureAngle)
      << " degrees\n"
      << "  heat lost " << six(f->heatLost) << " J, mass leaked " << six(f->massLeaked)
      << " kg a chamber a cycle; periodic after " << f->cyclesToConverge << " cycles\n";
}

// The ports' timing of a row after its figures.
void portLines(std::ostream& out, const study::EngineRow& row) {
  if (!row.timing || !row.input.ports) return;
  out << portTimingText(*row.input.ports, *row.timing, row.input.unit);
}

void textRow(std::ostream& out, const study::EngineRow& row, bool first, bool many,
             const TableSettings& settings) {
  const Columns c = columnsOf(row);
  if (many) {
    out << (first ? "" : "\n") << "eccentricity " << c.e.shown << ", rotor radius " << c.R.shown
        << ", chamber width " << c.W.shown << (c.N.shown.empty() ? "" : ", steps " + c.N.shown)
        << "\n";
  }
  if (row.input.real) {
    // The target's recess, where it is found, is the recess of every figure below.
    out << "# seal offset " << c.A.shown << ", clearance " << c.C.shown << ", recess "
        << (row.targetRecess
                ? significantDigits(*row.targetRecess, 6) + " for ratio " + c.target.shown
                : c.V.shown)
        << "\n";
    if (!row.real || !row.real->hasFigures()) {
      out << "message: " << noteOf(row) << "\n";
      return;
    }
    const ExactFigures& f = row.real->figures;
    out << "chamber capacity: " << significantDigits(f.capacity, 6) << "\n"
        << "dead volume: " << significantDigits(f.deadVolume, 6) << "\n"
        << "compression ratio: " << significantDigits(f.ratio, 6) << "\n";
    if (row.targetRecess) {
      out << "recess for ratio " << c.target.shown << ": "
          << significantDigits(*row.targetRecess, 6) << "\n";
    } else if (!row.input.targetRatio.empty() && many) {
      out << "note: " << noteOf(row) << "\n";
    }
    if (const auto& pocket = row.pocket) {
      const std::string unit = row.input.unit.empty() ? "mm" : row.input.unit;
      out << "recess pocket: " << formatNumber(*row.input.pocketLength.number) << " by "
          << formatNumber(*row.input.pocketWidth.number) << ", lead "
          << formatNumber(*row.input.pocketLead.number) << ", depth "
          << significantDigits(pocket->depth, 6) << " " << unit << "; its walls add "
          << significantDigits(pocket->wallArea, 6) << " " << unit
          << "^2 to the chamber's surface\n";
    }
    designerLines(out, c, row.input, settings);
    solidLines(out, row);
    portLines(out, row);
    cycleLines(out, row);
    return;
  }
  if (!row.figures) {
    out << "message: " << row.message << "\n";
    return;
  }
  out << "chamber capacity: " << c.capacity.shown << "\n"
      << "dead volume: " << c.deadVolume.shown << "\n"
      << "compression ratio: " << c.ratio.shown << "\n";
  designerLines(out, c, row.input, settings);
  solidLines(out, row);
  portLines(out, row);
  cycleLines(out, row);
  // The notes say "Note:" themselves, one to a line.
  if (many && !row.figures->note.empty()) out << row.figures->note << "\n";
}

}  // namespace

RowPrinter::RowPrinter(std::ostream& out, Table table, const study::Design& every, bool manyEngines,
                       const TableSettings& settings)
    : out_(out), table_(table), many_(manyEngines), settings_(settings) {
  switch (table_) {
    case Table::kCsv:
      csvHeader(out_, every);
      break;
    case Table::kJson:
      out_ << "[";
      break;
    case Table::kText:
      if (!every.unit.empty()) out_ << unitsLine(every.unit);
      if (every.real) out_ << realEngineHeader();
      break;
  }
}

void RowPrinter::row(const study::EngineRow& row) {
  switch (table_) {
    case Table::kCsv:
      csvRow(out_, row);
      break;
    case Table::kJson:
      jsonRow(out_, row, printed_ == 0);
      break;
    case Table::kText:
      textRow(out_, row, printed_ == 0, many_, settings_);
      break;
  }
  ++printed_;
}

void RowPrinter::finish() {
  if (table_ == Table::kJson) out_ << (printed_ ? "\n]\n" : "]\n");
}

namespace {

void printAll(std::ostream& out, Table table, const std::vector<study::EngineRow>& rows,
              const TableSettings& settings) {
  RowPrinter printer(out, table, rows.empty() ? study::Design{} : rows.front().input,
                     rows.size() > 1, settings);
  for (const study::EngineRow& row : rows) printer.row(row);
  printer.finish();
}

}  // namespace

void writeCsv(std::ostream& out, const std::vector<study::EngineRow>& rows,
              const TableSettings& settings) {
  printAll(out, Table::kCsv, rows, settings);
}
void writeJson(std::ostream& out, const std::vector<study::EngineRow>& rows,
               const TableSettings& settings) {
  printAll(out, Table::kJson, rows, settings);
}
void writeText(std::ostream& out, const std::vector<study::EngineRow>& rows,
               const TableSettings& settings) {
  printAll(out, Table::kText, rows, settings);
}

std::string tabSeparatedRow(const study::EngineRow& row) {
  const study::Design& design = row.input;
  const Columns c = columnsOf(row);
  std::string header, values;
  const auto add = [&](const char* name, const Cell& value) {
    const char* separator = header.empty() ? "" : "\t";
    header += separator + std::string(name);
    // A typed input may hold anything; a tab or a line break in it would split the row.
    std::string cell = value.shown;
    std::replace_if(
        cell.begin(), cell.end(), [](char ch) { return ch == '\t' || ch == '\n' || ch == '\r'; },
        ' ');
    values += separator + cell;
  };
  // The CSV's own columns, its ports' and its units where one is named, without the note.
  forEachColumn(design, c, add);
  forEachPortColumn(row, design.portList().size(),
                    [&](const std::string& name, const Cell& value) { add(name.c_str(), value); });
  if (!design.unit.empty()) {
    add(kUnitColumn, {design.unit, std::nullopt});
    add(kVolumeUnitColumn, {design.lengthUnit().volumeUnit, std::nullopt});
  }
  return header + "\n" + values + "\n";
}

std::string portTimingText(const std::vector<PortDefinition>& ports, const EngineTiming& timing,
                           const std::string& lengthUnit) {
  std::ostringstream out;
  const auto six = [](double value) { return significantDigits(value, 6); };
  const auto trade = [&](double angle, PortRole role, bool opening) {
    const TradeAngle said = tradeAngle(angle, role, opening);
    return six(angle) + " (" + significantDigits(said.degrees, 4) + " " + said.words + ")";
  };
  const std::string unit = lengthUnit.empty() ? "mm" : lengthUnit;
  out << "port timing (degrees of the shaft from top dead centre of compression; the rotor turns "
         "counterclockwise in the DXF's frame):\n";
  for (std::size_t n = 0; n < timing.ports.size(); ++n) {
    const PortDefinition& port = ports[n];
    const char* kind = port.kind == PortKind::kSide ? " side " : " peripheral ";
    const PortTiming& t = timing.ports[n];
    out << "  " << roleName(port.role) << kind << port.source << ": ";
    if (!t.opens()) {
      out << neverOpens(t) << "\n";
      continue;
    }
    if (t.openings.size() > 1) out << "opens " << t.openings.size() << " times a cycle: ";
    for (std::size_t k = 0; k < t.openings.size(); ++k) {
      const PortOpening& o = t.openings[k];
      out << (k == 0 ? "" : "; then ") << "opens " << trade(o.opens, port.role, true) << ", closes "
          << trade(o.closes, port.role, false) << ", open " << six(o.openFor) << " degrees";
    }
    out << "; largest area " << six(t.largestArea) << " " << unit << "^2, angle-area "
        << six(t.angleArea) << " " << unit << "^2 deg";
    if (t.reach == PortReach::kBeyondTheBore) {
      out << "; it reaches beyond the bore, and only the part inside it opens";
    }
    out << "\n";
  }
  out << "overlap: " << six(timing.overlap) << " degrees\n";
  if (const auto& r = timing.effectiveCompressionRatio) {
    out << "effective compression ratio: " << six(*r) << "\n";
  }
  if (const auto& r = timing.effectiveExpansionRatio) {
    out << "effective expansion ratio: " << six(*r) << "\n";
  }
  return out.str();
}

std::string unitsLine(const std::string& lengthUnit) {
  const study::LengthUnit& unit = study::lengthUnitOf(lengthUnit);
  return std::string("# unit of length: ") + unit.name + ", of volume: " + unit.volumeUnit + "\n";
}

}  // namespace rotary::formats
