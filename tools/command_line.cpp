#include "command_line.h"

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstring>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>

#include "cycle.h"
#include "drawing.h"
#include "dxf_export.h"
#include "file_name.h"
#include "headless.h"
#include "messages.h"
#include "number_text.h"
#include "options.h"
#include "outline.h"
#include "output_file.h"
#include "profiles_csv.h"
#include "ranges.h"
#include "real_engine.h"
#include "real_outline.h"
#include "results_table.h"
#include "runner.h"

namespace rotary {
namespace {

exporting::ImageFormat checkedImageFormat(const std::string& option, const std::string& path,
                                          std::initializer_list<exporting::ImageFormat> allowed,
                                          const char* names) {
  exporting::ImageFormat format{};
  if (!exporting::imageFormatOf(path, allowed, format)) {
    throw BadUsage{option + ": " + quoteForMessage(path) + " does not end in " + names};
  }
  return format;
}

// The output files, each looked at before the computation, so that a path that cannot be
// written fails at once.
struct OutputFiles {
  std::unique_ptr<exporting::OutputFile> profiles, figure, dxf, chart;
  exporting::ImageFormat figureFormat{}, chartFormat{};
};

std::unique_ptr<exporting::OutputFile> created(const std::string& option, const std::string& path) {
  auto file = std::make_unique<exporting::OutputFile>(path);
  if (!file->ok()) throw BadUsage{option + ": " + quoteForMessage(path) + ": " + file->error()};
  return file;
}

// Shows the progress once the study has run a second; says whether it did.
bool reportProgress(std::ostream& err, long done, long total,
                    std::chrono::steady_clock::time_point start) {
  if (std::chrono::steady_clock::now() - start < std::chrono::seconds(1)) return false;
  err << "\rrotary-ratio: " << done << " of " << total << " engines" << std::flush;
  return true;
}

// The real engine's values, each one or a range; "0" where not given, and no target ratio.
struct RealValues {
  std::vector<std::string> sealOffsets{"0"}, clearances{"0"}, recesses{"0"}, targets{""};
};

RealValues realValues(const Options& options) {
  RealValues values;
  if (!options.sealOffset.empty()) {
    values.sealOffsets = lengthValues("--seal-offset", options.sealOffset);
  }
  if (!options.clearance.empty()) {
    values.clearances = lengthValues("--clearance", options.clearance);
  }
  if (!options.recess.empty()) values.recesses = lengthValues("--recess", options.recess);
  if (!options.targetRatio.empty()) {
    const study::Values targets = study::parseValues(options.targetRatio);
    if (!targets.error.empty()) throw BadUsage{"--target-ratio: " + targets.error};
    for (const std::string& text : targets.texts) {
      const auto ratio = parseNumber(text);
      if (!ratio || !(*ratio > 1)) {
        throw BadUsage{"--target-ratio: " + quoteForMessage(text) + " is not a ratio above 1"};
      }
    }
    values.targets = targets.texts;
  }
  return values;
}

// One engine's dimensions and real-engine values as numbers; its texts have passed the checks.
struct EngineNumbers {
  double e, R, W;
  RealEngine real;
};

EngineNumbers numbersOf(const study::EngineInput& input) {
  return {*parseNumber(input.eccentricity), *parseNumber(input.rotorRadius),
          *parseNumber(input.chamberWidth), exporting::realEngineOf(input)};
}

// Half the 0.001 mm a machinist may allow: the chords of the CAD outlines stray no further from
// the true curves.
constexpr double kDxfChordError = 0.0005;

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

    const std::vector<std::string> eccentricities =
        lengthValues("--eccentricity", options.eccentricity);
    const std::vector<std::string> radii = lengthValues("--rotor-radius", options.rotorRadius);
    const std::vector<std::string> widths = lengthValues("--chamber-width", options.chamberWidth);
    const study::Values steps =
        study::parseStepValues(options.steps, kFewestSteps, kMostCompanionSteps);
    if (!steps.error.empty()) throw BadUsage{"--steps: " + steps.error};
    const RealValues real = realValues(options);
    // The product of the ranges may pass the limit where none of them does: counted before any
    // engine is made.
    long double count = static_cast<long double>(eccentricities.size()) * radii.size() *
                        widths.size() * steps.texts.size();
    for (const auto* values : {&real.sealOffsets, &real.clearances, &real.recesses, &real.targets})
      count *= values->size();
    if (count > study::kMostEngines) {
      throw BadUsage{"the ranges make " + significantDigits(static_cast<double>(count), 15) +
                     " engines, more than " + std::to_string(study::kMostEngines)};
    }
    auto engines = study::combinations(eccentricities, radii, widths, steps.texts);
    if (options.realEngine()) {
      engines = study::withRealEngine(engines, real.sealOffsets, real.clearances, real.recesses,
                                      real.targets);
    }
    const bool isStudy = engines.size() > 1;
    if (!isStudy && options.chart) {
      throw BadUsage{"--chart draws a study: give a range to at least one option"};
    }
    for (const auto& [option, file] :
         {std::pair{"--profiles", &options.profiles}, std::pair{"--figure", &options.figure},
          std::pair{"--dxf", &options.dxf}}) {
      if (isStudy && *file) {
        throw BadUsage{std::string(option) + " takes one engine, not a study of " +
                       std::to_string(engines.size())};
      }
    }

    if (options.method == Method::kExact) {
      // The DXF and the real engine's figure come from the exact computation; the profiles and
      // the construction figure from the sweep.
      const bool figureOfTheSweep = options.figure && !options.realEngine();
      for (const auto& [option, file] : {std::pair{"--profiles", options.profiles.has_value()},
                                         std::pair{"--figure", figureOfTheSweep}}) {
        if (file) {
          throw BadUsage{std::string(option) +
                         " draws on the sweep's samples; it does not go with --method exact"};
        }
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
      if (exporting::lowerExtension(*options.dxf) != "dxf") {
        throw BadUsage{"--dxf: " + quoteForMessage(*options.dxf) + " does not end in .dxf"};
      }
    }
    // Qt comes in only now, for the runs that draw; a module that cannot be loaded fails them
    // before anything is computed or created.
    const exporting::Drawing* drawing = nullptr;
    if (options.figure || options.chart) {
      std::string why;
      drawing = exporting::loadDrawing(why);
      if (!drawing) throw BadUsage{(options.figure ? "--figure: " : "--chart: ") + why};
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
      std::string outputError;
      // Each row goes out as soon as it and all before it are done: an interrupted study keeps
      // what it computed.
      exporting::RowPrinter printer(out,
                                    format == Format::kJson   ? exporting::Table::kJson
                                    : format == Format::kText ? exporting::Table::kText
                                                              : exporting::Table::kCsv,
                                    engines.front().real, true);
      rows = study::runStudy(
          engines, 0,
          [&](long done, long total) {
            if (errIsTerminal && reportProgress(err, done, total, start)) progressShown = true;
          },
          options.method == Method::kExact ? study::runExactEngine : study::runEngine,
          [&](const study::EngineRow& row) {
            if (!outputError.empty()) return;
            errno = 0;
            printer.row(row);
            if (!out.flush()) outputError = errno ? std::strerror(errno) : "cannot be written";
          });
      printer.finish();
      if (progressShown) err << "\r\033[K" << std::flush;
      if (!outputError.empty()) return fail("standard output: " + outputError);
    } else if (options.method == Method::kExact) {
      rows.push_back(study::runExactEngine(engines.front()));
    } else {
      const study::EngineInput& engine = engines.front();
      single = computeHeadless(engine.eccentricity, engine.rotorRadius, engine.chamberWidth,
                               engine.steps, nullptr, kMostCompanionSteps);
      rows.push_back(study::rowOf(engine, *single));
    }

    // One real engine: figures, or why not; a seal offset or clearance it cannot take is refused
    // like a bad value.
    if (!isStudy && options.realEngine() && rows.front().real) {
      const study::EngineRow& row = rows.front();
      const RealEngine real = exporting::realEngineOf(row.input);
      switch (row.real->status) {
        case RealStatus::kSealOffsetTooLarge:
          return fail("--seal-offset: " + whyNoRealFigures(*row.real, real));
        case RealStatus::kNoFlankLeft:
          return fail("--clearance: " + whyNoRealFigures(*row.real, real));
        case RealStatus::kNoShape:
          err << "rotary-ratio: " << whyNoRealFigures(*row.real, real) << "\n";
          return kExitComputationFailed;
        case RealStatus::kFigures:
          break;
      }
      if (!row.input.targetRatio.empty() && !row.targetRecess) {
        err << "rotary-ratio: "
            << exporting::targetAboveLimit(row.input.targetRatio, row.real->withoutRecess.ratio)
            << "\n";
        return kExitComputationFailed;
      }
    }
    // One engine in text: the three lines, or the message and status 1.
    if (!isStudy && format == Format::kText && !rows.front().figures &&
        !(options.realEngine() && rows.front().real)) {
      err << "rotary-ratio: " << rows.front().message << "\n";
      return kExitComputationFailed;
    }
    // The CAD outlines and the real engine's figure come from the exact computation, whatever
    // the sweep made of the engine.
    const EngineNumbers one = numbersOf(rows.front().input);
    std::optional<RealLimit> realShape;
    if (!isStudy && (options.dxf || (options.figure && options.realEngine()))) {
      const study::EngineRow& row = rows.front();
      // The real engine's options have computed it for the row already.
      realShape = row.real ? *row.real : realLimit(one.e, one.R, one.W, one.real);
      if (!realShape->hasFigures()) {
        err << "rotary-ratio: " << whyNoRealFigures(*realShape, one.real) << "\n";
        return kExitComputationFailed;
      }
    }
    if (single && (options.profiles || (options.figure && !options.realEngine())) &&
        !single->figures) {
      err << "rotary-ratio: " << single->message << "\n";
      return kExitComputationFailed;
    }

    std::string error;
    const auto written = [&](const char* option, const std::string& path,
                             exporting::OutputFile& file, const std::string& content) {
      if (file.write(content)) return true;
      error = std::string(option) + ": " + quoteForMessage(path) + ": " + file.error();
      return false;
    };
    if (options.profiles) {
      std::ostringstream profiles;
      exporting::writeProfiles(profiles, *single);
      if (files.profiles) {
        if (!written("--profiles", *options.profiles, *files.profiles, profiles.str())) {
          return fail(error);
        }
      } else {
        out << profiles.str();
      }
    }
    std::string content;
    if (files.figure) {
      const bool drawn =
          options.realEngine()
              ? drawing->realFigure(
                    files.figureFormat,
                    exporting::RealFigure{one.e, one.R, one.W, one.real, realShape->figures},
                    content, error)
              : drawing->figure(files.figureFormat, *single, content, error);
      if (!drawn) return fail("--figure: " + quoteForMessage(*options.figure) + ": " + error);
      if (!written("--figure", *options.figure, *files.figure, content)) return fail(error);
    }
    if (files.dxf) {
      const RealOutlines outlines = realOutlines(one.e, one.R, one.real, kDxfChordError);
      if (!exporting::drawDxf(outlines, one.real, content, error)) {
        return fail("--dxf: " + quoteForMessage(*options.dxf) + ": " + error);
      }
      if (!written("--dxf", *options.dxf, *files.dxf, content)) return fail(error);
    }
    if (files.chart) {
      if (!drawing->chart(files.chartFormat, rows, content, error)) {
        return fail("--chart: " + quoteForMessage(*options.chart) + ": " + error);
      }
      if (!written("--chart", *options.chart, *files.chart, content)) return fail(error);
    }

    // A note is no failure: the figures stand, and scripts that read standard output get them.
    // In a table it has a column of its own.
    if (single && format == Format::kText && !single->note.empty() && !options.realEngine()) {
      err << "rotary-ratio: " << single->note << "\n";
    }
    const bool profilesOnStandardOutput = options.profiles && !files.profiles;
    if (!profilesOnStandardOutput && !isStudy) {
      switch (format) {
        case Format::kCsv:
          exporting::writeCsv(out, rows);
          break;
        case Format::kJson:
          exporting::writeJson(out, rows);
          break;
        default:
          exporting::writeText(out, rows);
          break;
      }
    }

    // What went to standard output must have arrived: a full disk behind a redirection is a
    // failure, not a truncated table.
    errno = 0;
    if (!out.flush()) {
      return fail(std::string("standard output: ") +
                  (errno ? std::strerror(errno) : "cannot be written"));
    }
    return kExitOk;
  } catch (const BadUsage& bad) {
    return fail(bad.line);
  }
}

}  // namespace rotary
