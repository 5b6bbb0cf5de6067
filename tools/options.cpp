#include "options.h"

#include <algorithm>
#include <cmath>

#include "number_text.h"
#include "port_file.h"
#include "port_values.h"
#include "ranges.h"

#ifndef ROTARY_VERSION
#define ROTARY_VERSION "unknown"
#endif

namespace rotary {
namespace {

constexpr const char* kUsage =
    "Usage: rotary-ratio [OPTION]...\n"
    "Print the chamber capacity, the dead volume and the compression-ratio limit of a rotary\n"
    "engine with a three-flank rotor in a two-lobe epitrochoidal housing, as the window shows\n"
    "them; export its profiles, a figure and CAD outlines; or study many engines at once.\n"
    "\n"
    "Dimensions:\n"
    "  --eccentricity E      crank radius (default 15)\n"
    "  --rotor-radius R      rotor centre to apex (default 105)\n"
    "  --chamber-width W     axial depth of the chamber (default 80)\n"
    "  --steps N             angular steps per turn of the sweep, 50 to 20000 (default 100;\n"
    "                        the window's scroll bar goes to 1000)\n"
    "Each of the four takes a range START:STOP:STEP instead of a value; the companion then\n"
    "runs every combination (at most 100000 engines) on every core, one row per engine.\n"
    "\n"
    "The real engine (figures of the exact computation, with whole chambers closed where the\n"
    "apex seals' rounded tips touch the bore; each takes a range too):\n"
    "  --seal-offset A       apex-seal tip radius: the bore lies A outside the trochoid\n"
    "  --clearance C         the rotor stands C inside the largest flank that clears the bore\n"
    "  --recess V            combustion recess of one flank, in the unit of the volumes\n"
    "  --target-ratio X      also the recess that brings the ratio down to X\n"
    "\n"
    "Method:\n"
    "  --method METHOD       sweep (the window's sweep at the step count, the default) or\n"
    "                        exact (the shape's own figures to 6 significant digits, free of\n"
    "                        the step count and the samples); CSV and JSON carry the exact\n"
    "                        figures in the exact_ columns with either method\n"
    "\n"
    "Output:\n"
    "  --format FORMAT       text (the three lines), csv or json; a study defaults to csv\n"
    "  --profiles FILE       the 801 samples of the three profiles as CSV ('-' for standard\n"
    "                        output; the results are then not printed)\n"
    "  --figure FILE         the construction figure (with the real engine's options, the\n"
    "                        real engine): .svg or .pdf at true scale (one unit of length =\n"
    "                        1 mm), or .png 1600 pixels wide\n"
    "  --figure-format FORMAT  svg, pdf or png: the figure's format where the file name\n"
    "                        has none to say it ('--figure -' for standard output)\n"
    "  --dxf FILE            the engine for CAD, crank axis at the origin, in the unit of\n"
    "                        --units: layers HOUSING, TROCHOID, ROTOR, ROTOR_LIMIT, GEARS,\n"
    "                        CENTRES ('-' for standard output)\n"
    "  --units UNIT          the unit of the lengths: mm (the default), cm, m or in; the DXF\n"
    "                        declares it, and the text, CSV and JSON name it with the unit\n"
    "                        of the volumes: cm^3 for mm and cm, m^3 for m, in^3 for in\n"
    "  --volume-curve FILE   one chamber's volume against the eccentric shaft's angle over\n"
    "                        its four strokes (0 to 1080 degrees, 0 at top dead centre of\n"
    "                        compression), with the slope per degree, the rotor's angle and\n"
    "                        the leading apex seal's lean, as CSV ('-' for standard output);\n"
    "                        of the exact shape, or with the real engine's options the real\n"
    "                        engine; one engine, not a study\n"
    "  --angle-step DEG      degrees of the shaft between its rows (default 1)\n"
    "  --rotors N            the engine's rotors: its displacement is N chamber capacities\n"
    "                        (default 1)\n"
    "  --gear-module M       the phasing gears' module: their tooth counts, 6e/M for the\n"
    "                        rotor's internal gear and 4e/M for the stationary one, which must\n"
    "                        be whole numbers\n"
    "CSV and JSON always carry the designer's figures: rotors, displacement (rotors x the\n"
    "exact or real chamber capacity), largest_seal_lean_deg (arcsin(3e/R), the apex seal's\n"
    "largest angle against the bore's normal), housing_major_axis and housing_minor_axis\n"
    "(2(R + e + A) and 2(R - e + A)), rotor_gear_radius and stationary_gear_radius (the\n"
    "pitch radii 3e and 2e, ratio 3:2), and with --gear-module the tooth counts; the text\n"
    "shows them when --rotors or --gear-module is given. A note says when the rotor's\n"
    "internal gear, with its teeth (1.25 modules, or e/4), reaches past the flank.\n"
    "\n"
    "The chamber and its seals (in CSV and JSON always, in the text with any of these):\n"
    "  --rpm N               the shaft's speed: the leading apex seal's least, mean and\n"
    "                        largest speed along the bore (m/s) and its inertia along its\n"
    "                        groove (N per gram of seal), with the shaft angles where that\n"
    "                        draws it in (R/9 < e); the volume curve gains both columns\n"
    "  --gamma G             the ratio of specific heats of the ideal Otto cycle, whose\n"
    "                        efficiency 1 - r^(1 - G) is given at the ratio (default 1.4)\n"
    "  --recess-area S       what the recess's walls add to the chamber's surface, in the\n"
    "                        unit squared (from CAD); without it S/V leaves them out\n"
    "CSV and JSON carry surface_to_volume_tdc (the chamber's walls over its volume at top dead\n"
    "centre, per unit of length) and otto_efficiency; --volume-curve carries the surface,\n"
    "surface_to_volume and torque_per_bar (N m on the shaft per bar in the chamber).\n"
    "\n"
    "Ports (each may be given more than once: primary, secondary, auxiliary):\n"
    "  --peripheral-intake FROM,TO,WIDTH\n"
    "  --peripheral-exhaust FROM,TO,WIDTH\n"
    "                        a window in the bore from polar angle FROM counterclockwise to\n"
    "                        TO (degrees from +x in the DXF's frame), WIDTH along the shaft;\n"
    "                        any of the three as START:STOP:STEP studies the window's edges\n"
    "  --intake-port FILE\n"
    "  --exhaust-port FILE   a side port: a closed outline on the side housing in the DXF's\n"
    "                        frame and the lengths' unit, from a DXF (one closed polyline, a\n"
    "                        circle, or a loop of lines and arcs) or a CSV of x,y points\n"
    "  --port-edge ANGLE --port-edge-dxf FILE\n"
    "                        a template: the chamber's flank on the side housing at that shaft\n"
    "                        angle (layer PORT_EDGE) with the bore and the frame; a side port\n"
    "                        whose edge follows it opens, or closes, at that angle\n"
    "  --port-curve FILE     each port's area open to the chamber over the cycle beside the\n"
    "                        volume, at the volume curve's --angle-step, as CSV ('-' for\n"
    "                        standard output); one engine, not a study\n"
    "The housing's frame is the DXF's: the shaft and the rotor turn counterclockwise, and the\n"
    "chamber on -y is at top dead centre of compression at 0 degrees of the shaft, at bottom\n"
    "dead centre at 270 (+x), top dead centre at 540 (+y), bottom dead centre at 810 (-x).\n"
    "Each port opens and closes to that chamber (the text also in the trade's words, 3 ATDC),\n"
    "stands open so many degrees, with its largest open area and its angle-area (the open\n"
    "area's integral over the shaft's degrees); the engine's overlap_deg (intake and exhaust\n"
    "both open), effective_compression_ratio (V where the last intake closes over V at top\n"
    "dead centre) and effective_expansion_ratio (V where the first exhaust opens) follow.\n"
    "\n"
    "  --step FILE           the engine as solids at top dead centre, as STEP (AP214): the\n"
    "                        rotor housing, the side housings and the rotor, each named and\n"
    "                        coloured, from B-splines fitted to the exact bore and flank;\n"
    "                        with --step-parts one file a part, its name added to FILE's\n"
    "  --stl FILE            the same parts as binary STL, one file a part, its name added\n"
    "                        to FILE's; the text, CSV and JSON give the rotor's volume, mass,\n"
    "                        centre of mass and moment of inertia, the counterweight (and\n"
    "                        with --rpm the load on the eccentric) and the bore's cavity\n"
    "  --housing-wall L      the rotor housing's wall outside the bore (default 0.15 R)\n"
    "  --side-plate L        the side housings' thickness (default 0.15 R)\n"
    "  --side-clearance L    the rotor's clearance to each side housing (default 0.1 mm)\n"
    "  --rotor-bore L        the rotor's central bore, a radius (default the internal gear's\n"
    "                        root circle, 3e + 1.25 modules or 3e + e/4; 0 for none)\n"
    "  --density D           the rotor's material, g/cm^3 (default 7.2, cast iron)\n"
    "  --chord L             the STL's largest chord error (default 0.01 mm)\n"
    "  --tolerance L         the fitted curves' largest distance from the exact ones (default\n"
    "                        1e-4 R)\n"
    "  --apex-slot WIDTH,DEPTH  the apex seals' slots, centred on each apex, DEPTH in from the\n"
    "                        rotor's tip (none by default; 2 mm is a production seal's width)\n"
    "  --shaft-angle DEG     the parts at this angle of the shaft (default 0, top dead centre)\n"
    "  --recess-pocket LENGTH,WIDTH,LEAD\n"
    "                        the recess as a pocket in each flank: LENGTH along the flank,\n"
    "                        WIDTH across the rotor, centred, moved LEAD toward the leading\n"
    "                        apex, its floor the flank moved in, its ends square to the flank;\n"
    "                        with --recess or --target-ratio, which give its depth\n"
    "                        (recess_depth); S/V then counts its walls (no --recess-area)\n"
    "\n"
    "  --cycle RPM           the working cycle as a single-zone model at this shaft speed (a\n"
    "                        range START:STOP:STEP gives a row per speed): one chamber's gas\n"
    "                        over its 1080 degrees with the ports' open areas, a Wiebe heat\n"
    "                        release and Woschni's heat loss, run until it repeats; CSV and\n"
    "                        JSON give imep_net, imep_gross, pmep (bar), volumetric_efficiency,\n"
    "                        residual_fraction, indicated_work (J), indicated_efficiency,\n"
    "                        indicated_power (kW), indicated_torque (N m), peak_pressure (bar),\n"
    "                        peak_pressure_deg, heat_lost (J), mass_leaked (kg),\n"
    "                        cycles_to_converge and cycle_model (the settings); it needs an\n"
    "                        intake port and an exhaust port\n"
    "  --discharge CD        the ports' discharge coefficient (default 0.7)\n"
    "  --intake-plenum P,T   bar and K (default 1.013,298); --exhaust-plenum P,T (1.05,900)\n"
    "  --spark DEG           degrees before top dead centre (default 25)\n"
    "  --burn DEG            the burn's duration in shaft degrees (default 80)\n"
    "  --wiebe A,M           the Wiebe function's a and m (default 5,2)\n"
    "  --afr R               the intake's premixed air-fuel ratio (default 14.7)\n"
    "  --seal-gap L          the apex seals' effective gap (default 0; none leaks)\n"
    "  --wall-temperature K  the chamber's walls (default 450)\n"
    "  --heat-transfer F     a factor on Woschni's coefficient (default 1; 0 for none)\n"
    "  --cycle-gamma G       constant specific heats at this ratio, not NASA's polynomials\n"
    "  --cycle-curve FILE    the last cycle's pressure, temperature and mass flows beside V, as\n"
    "                        CSV; one engine at one speed\n"
    "\n"
    "  --chart FILE          for a study: the compression ratio, the capacity and the dead\n"
    "                        volume against K (or what else the study varies); for one engine\n"
    "                        with ports: each port's open area over the cycle with its events\n"
    "                        marked; .svg or .png\n"
    "  --help                this text\n"
    "  --version             the version\n"
    "\n"
    "Lengths are in the user's unit; millimetres give volumes in cubic centimetres, since the\n"
    "volumes are area x width / 1000, and any other unit gives its cube (area x width). Files\n"
    "appear whole or not at all, several of one run as one; a device is written through, a\n"
    "link followed, a read-only file refused.\n"
    "\n"
    "Two outputs that are the same file, or a file that standard output is written to, are\n"
    "refused before anything is computed; so are two outputs on standard output.\n"
    "\n"
    "--steps and --method do not change the real engine's figures, which come from the exact\n"
    "computation; --target-ratio gives the whole recess for that ratio, in place of --recess.\n"
    "\n"
    "Exit status:\n"
    "  0   results (a note, if any, on standard error, or in the note column); a study whose\n"
    "      rows are all written, whatever they hold\n"
    "  1   the one engine asked for has no results, in every format (the window's message on\n"
    "      standard error; CSV and JSON still print its row with the message), its real engine\n"
    "      has none, or a target ratio lies above its limit\n"
    "  2   bad options, values or files, a seal offset or clearance the engine cannot take, or a\n"
    "      file or standard output that cannot be written (one line on standard error)\n"
    "\n"
    "Examples:\n"
    "  rotary-ratio --eccentricity 15 --rotor-radius 105 --chamber-width 80 --steps 1000\n"
    "\n"
    "  rotary-ratio --eccentricity 5:35:0.1 --chart ratio.svg > study.csv\n"
    "\n"
    "  rotary-ratio --figure engine.pdf --dxf engine.dxf --profiles profiles.csv\n"
    "\n"
    "  rotary-ratio --seal-offset 2 --clearance 0.1 --target-ratio 9.4 --dxf engine.dxf\n";

// The options that set one number of the design, as typed; the designer's own show the
// designer's lines in the text.
struct DesignNumber {
  const char* option;
  study::TypedNumber study::Design::*member;
  bool designer;
};
constexpr DesignNumber kDesignNumbers[] = {
    {"--rotors", &study::Design::rotors, true},
    {"--gear-module", &study::Design::gearModule, true},
    {"--rpm", &study::Design::rpm, true},
    {"--gamma", &study::Design::gamma, true},
    {"--recess-area", &study::Design::recessArea, true},
    {"--housing-wall", &study::Design::housingWall, false},
    {"--side-plate", &study::Design::sidePlate, false},
    {"--side-clearance", &study::Design::sideClearance, false},
    {"--rotor-bore", &study::Design::rotorBore, false},
    {"--density", &study::Design::density, false},
    {"--chord", &study::Design::chord, false},
    {"--tolerance", &study::Design::tolerance, false},
    {"--shaft-angle", &study::Design::shaftAngle, false},
    {"--discharge", &study::Design::discharge, false},
    {"--spark", &study::Design::spark, false},
    {"--burn", &study::Design::burn, false},
    {"--afr", &study::Design::airFuelRatio, false},
    {"--seal-gap", &study::Design::sealGap, false},
    {"--wall-temperature", &study::Design::wallTemperature, false},
    {"--heat-transfer", &study::Design::heatTransfer, false},
    {"--cycle-gamma", &study::Design::cycleGamma, false}};

const DesignNumber* designNumber(const std::string& name) {
  for (const DesignNumber& number : kDesignNumbers) {
    if (name == number.option) return &number;
  }
  return nullptr;
}

}  // namespace

std::vector<study::TypedNumber> lengthValues(const std::string& option, const std::string& text) {
  const study::Values values = study::parseValues(text);
  if (!values.error.empty()) throw BadUsage{option + ": " + values.error};
  return {values.texts.begin(), values.texts.end()};
}

Options parseOptions(const std::vector<std::string>& args, std::ostream& out, bool& done) {
  Options options;
  std::vector<PortDefinition> ports;
  std::vector<std::string> given;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string name = args[i];
    std::optional<std::string> value;
    if (const auto equals = name.find('='); name.rfind("--", 0) == 0 && equals != name.npos) {
      value = name.substr(equals + 1);
      name.resize(equals);
    }
    if (name == "--help" || name == "-h") {
      out << kUsage;
      done = true;
      return options;
    }
    if (name == "--version") {
      out << "rotary-ratio " << ROTARY_VERSION << "\n";
      done = true;
      return options;
    }
    const std::pair<const char*, std::string*> texts[] = {
        {"--eccentricity", &options.eccentricity},
        {"--rotor-radius", &options.rotorRadius},
        {"--chamber-width", &options.chamberWidth},
        {"--steps", &options.steps},
        {"--seal-offset", &options.sealOffset},
        {"--clearance", &options.clearance},
        {"--recess", &options.recess},
        {"--target-ratio", &options.targetRatio}};
    const std::pair<const char*, std::optional<std::string>*> files[] = {
        {"--profiles", &options.profiles},
        {"--figure", &options.figure},
        {"--dxf", &options.dxf},
        {"--chart", &options.chart},
        {"--volume-curve", &options.volumeCurve},
        {"--port-curve", &options.portCurve},
        {"--port-edge-dxf", &options.portEdgeDxf},
        {"--step", &options.step},
        {"--stl", &options.stl},
        {"--cycle-curve", &options.cycleCurve}};
    std::string* text = nullptr;
    std::optional<std::string>* file = nullptr;
    for (const auto& [option, target] : texts) {
      if (name == option) text = target;
    }
    for (const auto& [option, target] : files) {
      if (name == option) file = target;
    }
    const bool choice = designNumber(name) || name == "--format" || name == "--method" ||
                        name == "--figure-format" || name == "--units" || name == "--angle-step" ||
                        name == "--port-edge" || name == "--apex-slot" ||
                        name == "--recess-pocket" || name == "--cycle" ||
                        name == "--intake-plenum" || name == "--exhaust-plenum" ||
                        name == "--wiebe";
    const bool port = name == "--peripheral-intake" || name == "--peripheral-exhaust" ||
                      name == "--intake-port" || name == "--exhaust-port";
    if (name == "--step-parts" && !value) {
      if (std::find(given.begin(), given.end(), name) != given.end()) {
        throw BadUsage{name + " is given twice; give it once"};
      }
      given.push_back(name);
      options.stepParts = true;
      continue;
    }
    if (!text && !file && !choice && !port) {
      throw BadUsage{"unknown option " + quoteForMessage(name) + " (try --help)"};
    }
    // A second value would silently win over the first: "--figure a.png --figure b.svg" would
    // write only one of them.
    // A port option may come again: primary, secondary and auxiliary ports.
    if (!port && std::find(given.begin(), given.end(), name) != given.end()) {
      throw BadUsage{name + " is given twice; give it once" +
                     (text ? " (a range takes START:STOP:STEP)" : "")};
    }
    given.push_back(name);
    if (!value) {
      if (i + 1 == args.size()) throw BadUsage{name + ": a value is missing"};
      // "--eccentricity --dxf o.dxf": the next option is no value, and the one without it is
      // the one to name. A value of its own never starts with two dashes ("-5" and "-" do).
      if (args[i + 1].rfind("--", 0) == 0) {
        throw BadUsage{name + " needs a value; " + quoteForMessage(args[i + 1]) +
                       " is the next option"};
      }
      value = args[++i];
    }
    if (text) {
      // The real engine's options count as given when they hold a value.
      if (value->empty() && text != &options.eccentricity && text != &options.rotorRadius &&
          text != &options.chamberWidth && text != &options.steps) {
        throw BadUsage{name + ": the value is empty"};
      }
      *text = *value;
    } else if (file) {
      if (value->empty()) throw BadUsage{name + ": the file name is empty"};
      *file = *value;
    } else if (port) {
      const PortRole role = name == "--peripheral-intake" || name == "--intake-port"
                                ? PortRole::kIntake
                                : PortRole::kExhaust;
      std::string why;
      if (name == "--intake-port" || name == "--exhaust-port") {
        // The outline is read once, here, and judged with the design.
        const auto side = formats::readSidePort(role, *value, *value, study::Face::kCompanion, why);
        if (!side) throw BadUsage{why};
        ports.push_back(*side);
        continue;
      }
      if (value->find(':') != std::string::npos) {
        // A study across the window's edges: every window the ranges give, each judged as one
        // typed alone.
        Options::PortRange range{ports.size(), {}};
        const std::vector<std::string> windows = study::peripheralWindowTexts(name, *value, why);
        if (!why.empty()) throw BadUsage{why};
        for (const std::string& text : windows) {
          const PeripheralPort window = study::parsePeripheralPort(name, text, why);
          if (!why.empty()) throw BadUsage{why};
          range.windows.push_back(PortDefinition::peripheralPort(role, window, text));
        }
        ports.push_back(range.windows.front());
        options.portRanges.push_back(std::move(range));
        continue;
      }
      const PeripheralPort window = study::parsePeripheralPort(name, *value, why);
      if (!why.empty()) throw BadUsage{why};
      ports.push_back(PortDefinition::peripheralPort(role, window, *value));
    } else if (const DesignNumber* number = designNumber(name)) {
      options.design.*(number->member) = study::TypedNumber(*value);
      if (number->designer) options.designerGiven = true;
    } else if (name == "--cycle") {
      if (value->empty()) throw BadUsage{name + ": the value is empty"};
      options.cycleSpeeds = *value;
      // A single speed stands in the design; a range's each in its own engine.
      options.design.cycleRpm = study::TypedNumber(*value);
    } else if (name == "--recess-pocket" || name == "--apex-slot" || name == "--intake-plenum" ||
               name == "--exhaust-plenum" || name == "--wiebe") {
      // Several numbers in one value, each read as a length is.
      study::Design& d = options.design;
      const bool pocket = name == "--recess-pocket";
      const std::vector<study::TypedNumber*> parts =
          pocket                       ? std::vector{&d.pocketLength, &d.pocketWidth, &d.pocketLead}
          : name == "--apex-slot"      ? std::vector{&d.apexSlotWidth, &d.apexSlotDepth}
          : name == "--intake-plenum"  ? std::vector{&d.intakePressure, &d.intakeTemperature}
          : name == "--exhaust-plenum" ? std::vector{&d.exhaustPressure, &d.exhaustTemperature}
                                       : std::vector{&d.wiebeA, &d.wiebeM};
      std::vector<std::string> texts(1);
      for (const char c : *value) {
        if (c == ',') {
          texts.emplace_back();
        } else {
          texts.back() += c;
        }
      }
      if (texts.size() != parts.size()) {
        throw BadUsage{name + ": " + quoteForMessage(*value) + " is not " +
                       (pocket                  ? "LENGTH,WIDTH,LEAD"
                        : name == "--apex-slot" ? "WIDTH,DEPTH"
                        : name == "--wiebe"     ? "A,M"
                                                : "P,T (bar and K)")};
      }
      for (std::size_t n = 0; n < parts.size(); ++n) *parts[n] = study::TypedNumber(texts[n]);
    } else if (name == "--port-edge") {
      const auto angle = parseNumber(*value);
      if (!angle || !(*angle >= 0 && *angle <= 1080)) {
        throw BadUsage{name + ": " + quoteForMessage(*value) +
                       " is not a shaft angle from 0 to 1080 degrees"};
      }
      options.portEdge = *angle;
    } else if (name == "--angle-step") {
      // Up to a million rows: a thousandth of a degree over the 1080 of the cycle.
      const auto step = parseNumber(*value);
      if (!step || !(*step >= 0.001 && *step <= 1080)) {
        throw BadUsage{name + ": " + quoteForMessage(*value) +
                       " is not a number of degrees from 0.001 to 1080"};
      }
      options.angleStep = *step;
    } else if (name == "--figure-format") {
      if (*value != "svg" && *value != "pdf" && *value != "png") {
        throw BadUsage{name + ": " + quoteForMessage(*value) + " is not svg, pdf or png"};
      }
      options.figureFormat = *value;
    } else if (name == "--units") {
      options.design.unit = *value;
    } else if (name == "--method") {
      if (*value == "sweep") {
        options.method = Method::kSweep;
      } else if (*value == "exact") {
        options.method = Method::kExact;
      } else {
        throw BadUsage{name + ": " + quoteForMessage(*value) + " is not sweep or exact"};
      }
    } else if (*value == "text") {
      options.format = Format::kText;
    } else if (*value == "csv") {
      options.format = Format::kCsv;
    } else if (*value == "json") {
      options.format = Format::kJson;
    } else {
      throw BadUsage{name + ": " + quoteForMessage(*value) + " is not text, csv or json"};
    }
  }
  // An option that would do nothing is refused, as a slip would otherwise pass unseen.
  if (std::find(given.begin(), given.end(), "--angle-step") != given.end() &&
      !options.volumeCurve && !options.portCurve) {
    throw BadUsage{"--angle-step goes with --volume-curve"};
  }
  if (options.portEdge.has_value() != options.portEdgeDxf.has_value()) {
    throw BadUsage{"--port-edge and --port-edge-dxf go together: the shaft angle and the file"};
  }
  if (!ports.empty()) {
    options.design.ports = std::make_shared<const std::vector<PortDefinition>>(std::move(ports));
  }
  // The solids' settings shape the solids only: without a solid asked for they would do nothing.
  options.design.solids = options.step || options.stl;
  if (options.stepParts && !options.step) throw BadUsage{"--step-parts goes with --step"};
  for (const char* setting : {"--housing-wall", "--side-plate", "--side-clearance", "--rotor-bore",
                              "--density", "--chord", "--tolerance"}) {
    if (!options.design.solids && std::find(given.begin(), given.end(), setting) != given.end()) {
      throw BadUsage{std::string(setting) + " goes with --step or --stl"};
    }
  }
  if (!options.design.solids && !options.design.hasPocket() &&
      std::find(given.begin(), given.end(), "--apex-slot") != given.end()) {
    throw BadUsage{"--apex-slot goes with --step, --stl or --recess-pocket"};
  }
  if (!options.design.solids &&
      std::find(given.begin(), given.end(), "--shaft-angle") != given.end()) {
    throw BadUsage{"--shaft-angle goes with --step or --stl"};
  }
  for (const char* setting : {"--discharge", "--intake-plenum", "--exhaust-plenum", "--spark",
                              "--burn", "--wiebe", "--afr", "--seal-gap", "--wall-temperature",
                              "--heat-transfer", "--cycle-gamma", "--cycle-curve"}) {
    if (options.cycleSpeeds.empty() &&
        std::find(given.begin(), given.end(), setting) != given.end()) {
      throw BadUsage{std::string(setting) + " goes with --cycle"};
    }
  }
  if (options.portCurve && !options.design.hasPorts()) {
    throw BadUsage{
        "--port-curve goes with a port: --intake-port, --exhaust-port, "
        "--peripheral-intake or --peripheral-exhaust"};
  }
  // What the engines share is judged once, by the design's rules; the lengths and the real
  // engine's values, engine by engine, once the ranges are read.
  // (A recess or target given as a range stands for its values here.)
  study::Design shared = options.design;
  shared.real = options.realEngine();
  shared.recess = options.recess;
  shared.targetRatio = options.targetRatio;
  if (const auto refusal = study::sharedRefusal(shared, study::Face::kCompanion)) {
    throw BadUsage{refusal->message};
  }
  return options;
}

}  // namespace rotary
