#include "command_line.h"

#include <chrono>
#include <cmath>
#include <fstream>
#include <memory>
#include <optional>

#include "atomic_file.h"
#include "chart.h"
#include "cycle.h"
#include "dxf_export.h"
#include "figure.h"
#include "headless.h"
#include "messages.h"
#include "number_text.h"
#include "outline.h"
#include "profiles_csv.h"
#include "ranges.h"
#include "results_table.h"
#include "runner.h"

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
    "Output:\n"
    "  --format FORMAT       text (the three lines), csv or json; a study defaults to csv\n"
    "  --profiles FILE       the 801 samples of the three profiles as CSV ('-' for standard\n"
    "                        output)\n"
    "  --figure FILE         the construction figure: .svg or .pdf at true scale (one unit\n"
    "                        of length = 1 mm), or .png 1600 pixels wide\n"
    "  --dxf FILE            the housing and the rotor outline as closed polylines on the\n"
    "                        layers HOUSING and ROTOR, true scale\n"
    "  --chart FILE          for a study: the compression ratio, the capacity and the dead\n"
    "                        volume against K = R / e, as .svg or .png\n"
    "  --help                this text\n"
    "  --version             the version\n"
    "\n"
    "Lengths are in the user's unit; millimetres give volumes in cubic centimetres, since the\n"
    "volumes are area x width / 1000. Files appear whole or not at all.\n"
    "\n"
    "Exit status: 0 with results (a note, if any, on standard error, or in the note column);\n"
    "1 when the engine has no results (the window's message on standard error); 2 for bad\n"
    "options, values or files (one line on standard error).\n"
    "\n"
    "Examples:\n"
    "  rotary-ratio --eccentricity 15 --rotor-radius 105 --chamber-width 80 --steps 1000\n"
    "  rotary-ratio --eccentricity 5:35:0.1 --chart ratio.svg > study.csv\n"
    "  rotary-ratio --figure engine.pdf --dxf engine.dxf --profiles profiles.csv\n";

enum class Format { kDefault, kText, kCsv, kJson };

struct Options {
  std::string eccentricity = "15";
  std::string rotorRadius = "105";
  std::string chamberWidth = "80";
  std::string steps = "100";
  Format format = Format::kDefault;
  std::optional<std::string> profiles, figure, dxf, chart;
};

struct BadUsage {
  std::string line;
};

// A length, or each length of a range, with the same checks as the window's.
std::vector<std::string> lengthValues(const std::string& option, const std::string& text) {
  const study::Values values = study::parseValues(text);
  if (!values.error.empty()) throw BadUsage{option + ": " + values.error};
  for (const std::string& value : values.texts) {
    double number = 0;
    switch (convertNumber(value, number)) {
      case Conversion::kNotANumber:
        throw BadUsage{notANumberMessage(option, value)};
      case Conversion::kTooLarge:
        throw BadUsage{tooLargeMessage(option, value)};
      case Conversion::kTooSmall:
        throw BadUsage{tooSmallMessage(option, value)};
      case Conversion::kNumber:
        if (number < 0) throw BadUsage{negativeMessage(option, value)};
        break;
    }
  }
  return values.texts;
}

Options parseOptions(const std::vector<std::string>& args, std::ostream& out, bool& done) {
  Options options;
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
        {"--steps", &options.steps}};
    const std::pair<const char*, std::optional<std::string>*> files[] = {
        {"--profiles", &options.profiles},
        {"--figure", &options.figure},
        {"--dxf", &options.dxf},
        {"--chart", &options.chart}};
    std::string* text = nullptr;
    std::optional<std::string>* file = nullptr;
    for (const auto& [option, target] : texts) {
      if (name == option) text = target;
    }
    for (const auto& [option, target] : files) {
      if (name == option) file = target;
    }
    if (!text && !file && name != "--format") {
      throw BadUsage{"unknown option " + quoteForMessage(name) + " (try --help)"};
    }
    if (!value) {
      if (i + 1 == args.size()) throw BadUsage{name + ": a value is missing"};
      value = args[++i];
    }
    if (text) {
      *text = *value;
    } else if (file) {
      if (value->empty()) throw BadUsage{name + ": the file name is empty"};
      *file = *value;
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
  return options;
}

exporting::ImageFormat checkedImageFormat(const std::string& option, const std::string& path,
                                          std::initializer_list<exporting::ImageFormat> allowed,
                                          const char* names) {
  exporting::ImageFormat format{};
  if (!exporting::imageFormatOf(path, allowed, format)) {
    throw BadUsage{option + ": " + quoteForMessage(path) + " does not end in " + names};
  }
  return format;
}

// The output files, each created at once beside its final name, so that a folder that cannot be
// written fails before the computation, and nothing is left when anything fails.
struct OutputFiles {
  std::unique_ptr<exporting::AtomicFile> profiles, figure, dxf, chart;
  exporting::ImageFormat figureFormat{}, chartFormat{};
};

std::unique_ptr<exporting::AtomicFile> created(const std::string& option, const std::string& path) {
  auto file = std::make_unique<exporting::AtomicFile>(path);
  if (!file->ok()) throw BadUsage{option + ": " + quoteForMessage(path) + ": " + file->error()};
  return file;
}

void reportProgress(std::ostream& err, long done, long total,
                    std::chrono::steady_clock::time_point start) {
  if (std::chrono::steady_clock::now() - start < std::chrono::seconds(1)) return;
  err << "\rrotary-ratio: " << done << " of " << total << " engines" << std::flush;
}

}  // namespace

int runCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                   bool errIsTerminal) {
  const auto fail = [&err](const std::string& line) {
    err << "rotary-ratio: " << line << "\n";
    return kExitBadUsage;
  };
  try {
    bool done = false;
    const Options options = parseOptions(args, out, done);
    if (done) return kExitOk;

    const auto engines =
        study::combinations(lengthValues("--eccentricity", options.eccentricity),
                            lengthValues("--rotor-radius", options.rotorRadius),
                            lengthValues("--chamber-width", options.chamberWidth), [&] {
                              const study::Values steps = study::parseStepValues(
                                  options.steps, kFewestSteps, kMostCompanionSteps);
                              if (!steps.error.empty()) throw BadUsage{"--steps: " + steps.error};
                              return steps.texts;
                            }());
    // The product of four ranges may pass the limit where none of them does.
    if (engines.size() > static_cast<std::size_t>(study::kMostEngines)) {
      throw BadUsage{"the ranges make " + std::to_string(engines.size()) + " engines, more than " +
                     std::to_string(study::kMostEngines)};
    }
    const bool isStudy = engines.size() > 1;
    for (const auto& [option, file] :
         {std::pair{"--profiles", &options.profiles}, std::pair{"--figure", &options.figure},
          std::pair{"--dxf", &options.dxf}}) {
      if (isStudy && *file) {
        throw BadUsage{std::string(option) + " takes one engine, not a study of " +
                       std::to_string(engines.size())};
      }
    }

    using exporting::ImageFormat;
    OutputFiles files;
    if (options.figure) {
      files.figureFormat = checkedImageFormat(
          "--figure", *options.figure, {ImageFormat::kSvg, ImageFormat::kPdf, ImageFormat::kPng},
          ".svg, .pdf or .png");
    }
    if (options.chart) {
      files.chartFormat = checkedImageFormat(
          "--chart", *options.chart, {ImageFormat::kSvg, ImageFormat::kPng}, ".svg or .png");
    }
    if (options.dxf) {
      const std::string& path = *options.dxf;
      std::string tail = path.size() >= 4 ? path.substr(path.size() - 4) : "";
      for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      if (tail != ".dxf")
        throw BadUsage{"--dxf: " + quoteForMessage(path) + " does not end in .dxf"};
    }
    if (options.profiles && *options.profiles != "-") {
      files.profiles = created("--profiles", *options.profiles);
    }
    if (options.figure) files.figure = created("--figure", *options.figure);
    if (options.dxf) files.dxf = created("--dxf", *options.dxf);
    if (options.chart) files.chart = created("--chart", *options.chart);

    Format format = options.format;
    if (format == Format::kDefault) format = isStudy ? Format::kCsv : Format::kText;

    std::vector<study::EngineRow> rows;
    std::optional<HeadlessResult> single;
    if (isStudy) {
      const auto start = std::chrono::steady_clock::now();
      bool progressShown = false;
      rows = study::runStudy(engines, 0, [&](long done, long total) {
        if (!errIsTerminal) return;
        reportProgress(err, done, total, start);
        progressShown = std::chrono::steady_clock::now() - start >= std::chrono::seconds(1);
      });
      if (progressShown) err << "\r\033[K" << std::flush;
    } else {
      const study::EngineInput& engine = engines.front();
      single = computeHeadless(engine.eccentricity, engine.rotorRadius, engine.chamberWidth,
                               engine.steps, nullptr, kMostCompanionSteps);
      study::EngineRow row;
      row.input = engine;
      row.figures = single->figures;
      row.message = single->message;
      rows.push_back(row);
    }

    // One engine in text: the three lines, or the message and status 1.
    if (!isStudy && format == Format::kText && !single->figures) {
      err << "rotary-ratio: " << single->message << "\n";
      return kExitComputationFailed;
    }
    if (!isStudy && (options.profiles || options.figure || options.dxf) && !single->figures) {
      err << "rotary-ratio: " << single->message << "\n";
      return kExitComputationFailed;
    }

    std::string error;
    if (options.profiles) {
      if (files.profiles) {
        std::ofstream file(files.profiles->temporaryPath());
        exporting::writeProfiles(file, *single);
        if (!file.flush())
          return fail("--profiles: " + quoteForMessage(*options.profiles) + ": cannot be written");
      } else {
        exporting::writeProfiles(out, *single);
      }
    }
    if (files.figure && !exporting::writeFigure(files.figure->temporaryPath(), files.figureFormat,
                                                *single, error)) {
      return fail("--figure: " + quoteForMessage(*options.figure) + ": " + error);
    }
    if (files.dxf) {
      const Geometry& g = single->geometry;
      const Polyline housing = housingCurve(g, 0, 1440);
      const Polyline rotor = rotorOutline(g, single->profiles);
      if (!exporting::writeDxf(files.dxf->temporaryPath(), housing, rotor, error)) {
        return fail("--dxf: " + quoteForMessage(*options.dxf) + ": " + error);
      }
    }
    if (files.chart &&
        !exporting::writeChart(files.chart->temporaryPath(), files.chartFormat, rows, error)) {
      return fail("--chart: " + quoteForMessage(*options.chart) + ": " + error);
    }

    const bool profilesOnStandardOutput = options.profiles && !files.profiles;
    if (!profilesOnStandardOutput) {
      switch (format) {
        case Format::kCsv:
          exporting::writeCsv(out, rows);
          break;
        case Format::kJson:
          exporting::writeJson(out, rows);
          break;
        default:
          // A note is no failure: the figures stand, and scripts that read standard output
          // get them.
          if (!isStudy && !single->note.empty()) err << "rotary-ratio: " << single->note << "\n";
          exporting::writeText(out, rows);
          break;
      }
    }

    for (const auto& [option, file] :
         {std::pair{"--profiles", files.profiles.get()}, std::pair{"--figure", files.figure.get()},
          std::pair{"--dxf", files.dxf.get()}, std::pair{"--chart", files.chart.get()}}) {
      if (file && !file->commit()) return fail(std::string(option) + ": " + file->error());
    }
    return kExitOk;
  } catch (const BadUsage& bad) {
    return fail(bad.line);
  }
}

}  // namespace rotary
