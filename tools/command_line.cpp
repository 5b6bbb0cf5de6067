#include "command_line.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstring>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <tuple>

#include "cycle.h"
#include "cycle_curve_csv.h"
#include "drawing.h"
#include "dxf_export.h"
#include "file_name.h"
#include "headless.h"
#include "length_unit.h"
#include "messages.h"
#include "number_text.h"
#include "options.h"
#include "outline.h"
#include "output_file.h"
#include "port_curve_csv.h"
#include "profiles_csv.h"
#include "ranges.h"
#include "real_engine.h"
#include "results_table.h"
#include "runner.h"
#include "shape_texts.h"
#include "side_port.h"
#include "solid_files.h"
#include "solid_settings.h"
#include "solids.h"
#include "volume_curve.h"
#include "volume_curve_csv.h"
#include "working_cycle.h"

namespace rotary {
namespace {

formats::ImageFormat checkedImageFormat(const std::string& option, const std::string& path,
                                        std::initializer_list<formats::ImageFormat> allowed,
                                        const char* names) {
  formats::ImageFormat format{};
  if (!formats::imageFormatOf(path, allowed, format)) {
    throw BadUsage{option + ": " + quoteForMessage(path) + " does not end in " + names};
  }
  return format;
}

// The output files, each looked at before the computation, so that a path that cannot be
// written fails at once.
struct OutputFiles {
  std::unique_ptr<formats::OutputFile> profiles, figure, dxf, chart, volumeCurve, portCurve,
      portEdge, cycleCurve;
  formats::ImageFormat figureFormat{}, chartFormat{};
};

std::unique_ptr<formats::OutputFile> created(const std::string& option, const std::string& path) {
  auto file = std::make_unique<formats::OutputFile>(path);
  if (!file->ok()) throw BadUsage{option + ": " + quoteForMessage(path) + ": " + file->error()};
  return file;
}

// The progress of a study on a terminal: from its first second on, a line that is written over
// at most five times a second, and cleared at the end.
class ProgressLine {
 public:
  explicit ProgressLine(std::ostream& err) : err_(err) {}
  void show(long done, long total) {
    const auto now = std::chrono::steady_clock::now();
    if (now - start_ < std::chrono::seconds(1) || now - shown_ < std::chrono::milliseconds(200)) {
      return;
    }
    shown_ = now;
    err_ << "\rrotary-ratio: " << done << " of " << total << " engines" << std::flush;
    visible_ = true;
    formats::clearLineOnSignal(true);
  }
  void clear() {
    if (visible_) err_ << "\r\033[K" << std::flush;
    visible_ = false;
    formats::clearLineOnSignal(false);
  }

 private:
  std::ostream& err_;
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
  std::chrono::steady_clock::time_point shown_{};
  bool visible_ = false;
};

// "-" and the system's own names for standard output: the output goes there, not to a file.
bool namesStandardOutput(const std::string& path) {
  return path == "-" || path == "/dev/stdout" || path == "/dev/fd/1" || path == "/proc/self/fd/1";
}

// Puts a whole document on standard output; the system's reason when it does not arrive.
std::string put(std::ostream& out, const std::string& content) {
  errno = 0;
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
  out.flush();
  if (out) return "";
  return errno ? std::strerror(errno) : "cannot be written";
}

// The real engine's values, each one or a range; "0" where not given, and no target ratio.
struct RealValues {
  std::vector<study::TypedNumber> sealOffsets{"0"}, clearances{"0"}, recesses{""}, targets{""};
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
    values.targets.assign(targets.texts.begin(), targets.texts.end());
  }
  return values;
}

// One engine's dimensions and real-engine values as numbers; its texts have passed the checks.
struct EngineNumbers {
  double e, R, W;
  RealEngine real;
};

EngineNumbers numbersOf(const study::Design& input) {
  return {*input.eccentricity.number, *input.rotorRadius.number, *input.chamberWidth.number,
          input.realEngine()};
}

}  // namespace

int runCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                   bool errIsTerminal, const std::string& standardOutputKey) {
  const auto fail = [&err](const std::string& line) {
    err << "rotary-ratio: " << line << "\n";
    return kExitBadUsage;
  };
  try {
    bool done = false;
    errno = 0;
    const Options options = parseOptions(args, out, done);
    if (done) {
      // --help and --version are output too: a full disk behind them is a failure.
      out.flush();
      if (!out) {
        return fail(std::string("standard output: ") +
                    (errno ? std::strerror(errno) : "cannot be written"));
      }
      return kExitOk;
    }

    const std::vector<study::TypedNumber> eccentricities =
        lengthValues("--eccentricity", options.eccentricity);
    const auto radii = lengthValues("--rotor-radius", options.rotorRadius);
    const auto widths = lengthValues("--chamber-width", options.chamberWidth);
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
    std::vector<int> stepCounts;
    for (const std::string& N : steps.texts) stepCounts.push_back(std::stoi(N));
    const study::Design& design = options.design;
    auto engines = study::combinations(design, eccentricities, radii, widths, stepCounts);
    // Millimetres give cubic centimetres, as in the window; any other unit its own cube.
    const study::LengthUnit& unit = design.lengthUnit();
    const std::vector<PortDefinition>& ports = design.portList();
    if (options.realEngine()) {
      engines = study::withRealEngine(engines, real.sealOffsets, real.clearances, real.recesses,
                                      real.targets);
    }
    // Each engine in every variant of `values`, `vary` making one: a row per engine and value.
    const auto eachIn = [&engines](const auto& values, const auto& vary) {
      if (engines.size() * values.size() > study::kMostEngines) {
        throw BadUsage{"the ranges make more than " + std::to_string(study::kMostEngines) +
                       " engines"};
      }
      std::vector<study::Design> each;
      for (const study::Design& engine : engines) {
        for (const auto& value : values) vary(each.emplace_back(engine), value);
      }
      engines = std::move(each);
    };
    // The working cycle at each speed asked for.
    std::size_t speedCount = 0;
    if (!options.cycleSpeeds.empty()) {
      const auto speeds = lengthValues("--cycle", options.cycleSpeeds);
      speedCount = speeds.size();
      eachIn(speeds, [](study::Design& engine, const study::TypedNumber& speed) {
        engine.cycleRpm = speed;
      });
    }
    // A window's edges studied: each window in its port's place, the other ports as given.
    for (const Options::PortRange& range : options.portRanges) {
      eachIn(range.windows, [&range](study::Design& engine, const PortDefinition& window) {
        std::vector<PortDefinition> ports = engine.portList();
        ports[range.index] = window;
        engine.ports = std::make_shared<const std::vector<PortDefinition>>(std::move(ports));
      });
    }
    const bool isStudy = engines.size() > 1;
    // Every engine by the design's rules, before anything is computed: a side port wholly
    // outside the one engine's bore can never open, and is refused; in a study each row says so
    // of its own engine.
    for (study::Design& engine : engines) {
      if (options.method == Method::kExact) engine.steps = 0;
      if (const auto refusal =
              study::refusalOf(engine, study::Face::kCompanion,
                               isStudy ? study::Scope::kStudyRow : study::Scope::kEngine)) {
        throw BadUsage{refusal->message};
      }
    }
    // A chart's axes are the lengths, the real engine's values or the speed: a window's edge
    // is none of them.
    if (isStudy && options.chart && !options.portRanges.empty()) {
      throw BadUsage{
          "--chart draws a study over the lengths, the real engine's values or the cycle's "
          "speed, not across a window's edges: its rows carry each window's figures"};
    }
    // One engine's chart is its ports' open areas, or else its volume curve.
    if (!isStudy && options.chart && !options.volumeCurve && ports.empty() && !design.hasCycle()) {
      throw BadUsage{
          "--chart draws a study, the ports of one engine, or with --volume-curve the curve: "
          "give a range to at least one option"};
    }
    for (const auto& [option, file] :
         {std::pair{"--profiles", &options.profiles}, std::pair{"--figure", &options.figure},
          std::pair{"--dxf", &options.dxf}, std::pair{"--volume-curve", &options.volumeCurve},
          std::pair{"--port-curve", &options.portCurve},
          std::pair{"--port-edge-dxf", &options.portEdgeDxf}, std::pair{"--step", &options.step},
          std::pair{"--stl", &options.stl}, std::pair{"--cycle-curve", &options.cycleCurve}}) {
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

    // Every output the user names, with the file made for it where it goes to a file.
    using formats::ImageFormat;
    OutputFiles files;
    struct Output {
      const char* option;
      const std::optional<std::string>& path;
      std::unique_ptr<formats::OutputFile>& file;
    };
    const Output outputs[] = {{"--profiles", options.profiles, files.profiles},
                              {"--figure", options.figure, files.figure},
                              {"--dxf", options.dxf, files.dxf},
                              {"--chart", options.chart, files.chart},
                              {"--volume-curve", options.volumeCurve, files.volumeCurve},
                              {"--port-curve", options.portCurve, files.portCurve},
                              {"--port-edge-dxf", options.portEdgeDxf, files.portEdge},
                              {"--cycle-curve", options.cycleCurve, files.cycleCurve}};
    // Standard output takes one document: the results, or the one output sent there.
    std::vector<std::string> onStandardOutput;
    for (const Output& output : outputs) {
      if (output.path && namesStandardOutput(*output.path)) {
        onStandardOutput.emplace_back(output.option);
      }
    }
    if (onStandardOutput.size() > 1) {
      throw BadUsage{onStandardOutput[0] + " and " + onStandardOutput[1] +
                     " both go to standard output; give one of them a file"};
    }
    const bool outputOnStandardOutput = !onStandardOutput.empty();
    if (outputOnStandardOutput && (options.format != Format::kDefault || isStudy)) {
      throw BadUsage{onStandardOutput[0] + " goes to standard output, where the " +
                     (isStudy ? "study's rows go" : "results in --format go") + "; give it a file"};
    }
    const auto toFile = [](const std::optional<std::string>& path) {
      return path && !namesStandardOutput(*path);
    };

    if (options.figure) {
      const std::initializer_list<ImageFormat> formats = {ImageFormat::kSvg, ImageFormat::kPdf,
                                                          ImageFormat::kPng};
      if (options.figureFormat) {
        formats::imageFormatOf("." + *options.figureFormat, formats, files.figureFormat);
        ImageFormat named{};
        if (formats::imageFormatOf(*options.figure, formats, named) &&
            named != files.figureFormat) {
          throw BadUsage{"--figure: " + quoteForMessage(*options.figure) +
                         " names another format than --figure-format " + *options.figureFormat};
        }
      } else if (namesStandardOutput(*options.figure)) {
        throw BadUsage{
            "--figure: standard output has no extension to name the format; give "
            "--figure-format svg, pdf or png"};
      } else {
        files.figureFormat =
            checkedImageFormat("--figure", *options.figure, formats, ".svg, .pdf or .png");
      }
    } else if (options.figureFormat) {
      throw BadUsage{"--figure-format goes with --figure"};
    }
    if (options.chart) {
      files.chartFormat = checkedImageFormat(
          "--chart", *options.chart, {ImageFormat::kSvg, ImageFormat::kPng}, ".svg or .png");
    }
    if (toFile(options.portEdgeDxf) && !formats::isWrittenThrough(*options.portEdgeDxf) &&
        formats::lowerExtension(*options.portEdgeDxf) != "dxf") {
      throw BadUsage{"--port-edge-dxf: " + quoteForMessage(*options.portEdgeDxf) +
                     " does not end in .dxf"};
    }
    if (toFile(options.dxf) && !formats::isWrittenThrough(*options.dxf)) {
      if (formats::lowerExtension(*options.dxf) != "dxf") {
        throw BadUsage{"--dxf: " + quoteForMessage(*options.dxf) + " does not end in .dxf"};
      }
    }
    // Qt comes in only now, for the runs that draw; a module that cannot be loaded fails them
    // before anything is computed or created.
    const drawing::Drawing* drawer = nullptr;
    if (options.figure || options.chart) {
      std::string why;
      drawer = drawing::loadDrawing(why);
      if (!drawer) throw BadUsage{(options.figure ? "--figure: " : "--chart: ") + why};
    }
    // OpenCASCADE likewise, for the runs that ask for a solid.
    const solids::Solids* solidMaker = nullptr;
    if (design.solids) {
      std::string why;
      solidMaker = solids::loadSolids(why);
      if (!solidMaker) throw BadUsage{(options.step ? "--step: " : "--stl: ") + why};
    }
    // A file a part where asked, each part's name added to the file's; made with the others.
    struct SolidOutput {
      const char* option;
      std::string path;
      std::unique_ptr<formats::OutputFile> file;
    };
    const std::vector<solids::SolidFilePath> solidPaths =
        solids::solidFilePaths(options.step, options.stepParts, options.stl);
    std::vector<SolidOutput> solidOutputs;
    for (const solids::SolidFilePath& path : solidPaths) {
      solidOutputs.push_back({path.step ? "--step" : "--stl", path.path, {}});
    }
    for (SolidOutput& output : solidOutputs) {
      if (namesStandardOutput(output.path)) {
        throw BadUsage{std::string(output.option) + " writes files, not standard output"};
      }
      output.file = created(output.option, output.path);
    }
    for (const Output& output : outputs) {
      if (toFile(output.path)) output.file = created(output.option, *output.path);
    }
    // Two outputs into one file would leave only the last; an output into the file standard
    // output is redirected to would be overwritten by the results, or overwrite them.
    for (std::size_t n = 0; n < std::size(outputs); ++n) {
      const Output& output = outputs[n];
      if (!output.file || output.file->sameFileKey().empty()) continue;
      const std::string& key = output.file->sameFileKey();
      for (std::size_t m = 0; m < n; ++m) {
        if (outputs[m].file && outputs[m].file->sameFileKey() == key) {
          throw BadUsage{std::string(output.option) + ": " + quoteForMessage(*output.path) +
                         " is the file that " + outputs[m].option +
                         " writes too; give each output a file of its own"};
        }
      }
      if (key == standardOutputKey) {
        throw BadUsage{std::string(output.option) + ": " + quoteForMessage(*output.path) +
                       " is the file that standard output is written to; give another file, or -"};
      }
    }

    Format format = options.format;
    if (format == Format::kDefault) format = isStudy ? Format::kCsv : Format::kText;
    formats::TableSettings settings;
    settings.designerInText = options.designerGiven;
    const formats::Table table = format == Format::kJson   ? formats::Table::kJson
                                 : format == Format::kText ? formats::Table::kText
                                                           : formats::Table::kCsv;

    std::vector<study::EngineRow> rows;
    std::optional<HeadlessResult> single;
    if (isStudy) {
      ProgressLine progress(err);
      std::string outputError;
      // Each row goes out as soon as it and all before it are done: an interrupted study keeps
      // what it computed.
      formats::RowPrinter printer(out, table, engines.front(), true, settings);
      rows = study::runStudy(
          engines, 0,
          [&](long done, long total) {
            if (errIsTerminal) progress.show(done, total);
          },
          design.hasCycle() ? cycle::evaluateWithCycle : study::evaluate,
          [&](const study::EngineRow& row) {
            if (!outputError.empty()) return;
            errno = 0;
            printer.row(row);
            if (!out.flush()) outputError = errno ? std::strerror(errno) : "cannot be written";
          });
      progress.clear();
      if (outputError.empty()) {
        errno = 0;
        printer.finish();
        if (!out.flush()) outputError = errno ? std::strerror(errno) : "cannot be written";
      }
      if (!outputError.empty()) return fail("standard output: " + outputError);
    } else if (options.method == Method::kExact) {
      rows.push_back(study::evaluate(engines.front()));
    } else {
      const study::Design& engine = engines.front();
      single = computeHeadless(engine.eccentricity.text, engine.rotorRadius.text,
                               engine.chamberWidth.text, engine.steps, nullptr, kMostCompanionSteps,
                               unit.volumeDivisor);
      rows.push_back(study::rowOf(engine, *single));
    }

    const auto printResults = [&] {
      if (outputOnStandardOutput || isStudy) return;
      switch (format) {
        case Format::kCsv:
          formats::writeCsv(out, rows, settings);
          break;
        case Format::kJson:
          formats::writeJson(out, rows, settings);
          break;
        default:
          formats::writeText(out, rows, settings);
          break;
      }
    };
    // What went to standard output must have arrived: a full disk behind a redirection is a
    // failure, not a truncated table.
    const auto standardOutputFailed = [&]() -> std::optional<std::string> {
      errno = 0;
      if (out.flush()) return std::nullopt;
      return std::string("standard output: ") +
             (errno ? std::strerror(errno) : "cannot be written");
    };

    // A pocket that cannot be cut is refused as a bad value is: no row, no file.
    if (!isStudy && rows.front().refusedBy) return fail(rows.front().message);
    // One engine's working cycle, with its curve for --cycle-curve.
    cycle::CycleOutcome cycleOutcome;
    if (!isStudy && design.hasCycle()) cycle::addWorkingCycle(rows.front(), &cycleOutcome);

    // One engine without figures, or whose real engine has none: the same status in every
    // format, the reason on standard error, and in CSV and JSON the row with its message too. A
    // seal offset or clearance the engine cannot take is refused like a bad value, with no row.
    int status = kExitOk;
    std::string said;
    if (!isStudy) {
      const study::EngineRow& row = rows.front();
      if (options.realEngine() && row.real) {
        const RealEngine real = row.input.realEngine();
        switch (row.real->status) {
          case RealStatus::kSealOffsetTooLarge:
            return fail("--seal-offset: " + whyNoRealFigures(*row.real, real));
          case RealStatus::kNoFlankLeft:
            return fail("--clearance: " + whyNoRealFigures(*row.real, real));
          case RealStatus::kNoShape:
            status = kExitComputationFailed;
            said = whyNoRealFigures(*row.real, real);
            break;
          case RealStatus::kFigures:
            if (!row.input.targetRatio.empty() && !row.targetRecess) {
              status = kExitComputationFailed;
              said = targetAboveLimit(*row.input.targetRatio.number, row.real->withoutRecess.ratio);
            }
            break;
        }
      } else if (!row.figures && !outputOnStandardOutput) {
        // The sweep's results have none; where an output takes standard output instead of the
        // results, nothing asked for is missing.
        status = kExitComputationFailed;
        said = row.message;
      }
    }
    // A run without its results: the row in CSV or JSON, the reason on standard error, no file.
    const auto withoutResults = [&](const std::string& why) {
      if (format != Format::kText) printResults();
      if (const auto failed = standardOutputFailed()) return fail(*failed);
      err << "rotary-ratio: " << why << "\n";
      return kExitComputationFailed;
    };
    // The CAD outlines, the volume curve and the real engine's figure come from the exact
    // computation, whatever the sweep made of the engine; a shape without them says why.
    const EngineNumbers one = numbersOf(rows.front().input);
    std::optional<RealLimit> realShape;
    if (!isStudy && (options.dxf || options.volumeCurve || options.portCurve ||
                     options.portEdgeDxf || (options.figure && options.realEngine()))) {
      const study::EngineRow& row = rows.front();
      // The real engine's options have computed it for the row already.
      realShape =
          row.real ? *row.real : realLimit(one.e, one.R, one.W, one.real, unit.volumeDivisor);
      if (!realShape->hasFigures()) {
        if (status != kExitOk) return withoutResults(said);
        return withoutResults(options.realEngine() || realShape->status != RealStatus::kNoShape
                                  ? whyNoRealFigures(*realShape, one.real)
                                  : "No exact figures: " + whyNoExactFigures(realShape->shape) +
                                        ".");
      }
    }
    // The profiles and the construction figure are the sweep's: without its figures, neither.
    if (single && (options.profiles || (options.figure && !options.realEngine())) &&
        !single->figures) {
      return withoutResults(single->message);
    }
    // A target above the limit asked the real engine for what it cannot give: no file.
    if (status != kExitOk && options.realEngine()) return withoutResults(said);
    // A cycle that did not converge shows no number, and says why.
    if (!isStudy && design.hasCycle() && !rows.front().cycle) {
      return withoutResults(rows.front().cycleMessage.empty()
                                ? "No cycle figures: the engine has none."
                                : rows.front().cycleMessage);
    }

    // The solids, measured before the results are written: their figures go with them.
    solids::SolidsResult solidParts;
    if (solidMaker) {
      const RealLimit shape = rows.front().real
                                  ? *rows.front().real
                                  : realLimit(one.e, one.R, one.W, one.real, unit.volumeDivisor);
      if (!shape.hasFigures()) return withoutResults(whyNoRealFigures(shape, one.real));
      const solids::SolidEngine engine = solids::solidEngineOf(rows.front());
      const solids::SolidsRequest request =
          solids::requestFor(options.step, options.stepParts, options.stl, design.unit);
      std::string why;
      if (!solidMaker->build(engine, request, solidParts, why)) {
        return fail(std::string(options.step ? "--step: " : "--stl: ") + why);
      }
      rows.front().solids = solidParts.figures;
    }

    // Into its file's waiting place, or kept for standard output; nothing is put in place until
    // every output and standard output have their content.
    struct Staged {
      const char* option;
      const std::string& path;
      formats::OutputFile* file;
      std::string failure() const {
        return std::string(option) + ": " + quoteForMessage(path) + ": " + file->error();
      }
    };
    std::vector<Staged> staged;
    std::optional<std::string> standardOutputDocument;
    const auto deliver = [&](const char* option, const std::optional<std::string>& path,
                             formats::OutputFile* file,
                             const std::string& content) -> std::optional<std::string> {
      if (!file) {
        standardOutputDocument = content;
        return std::nullopt;
      }
      if (!file->stage(content)) {
        return std::string(option) + ": " + quoteForMessage(*path) + ": " + file->error();
      }
      staged.push_back({option, *path, file});
      return std::nullopt;
    };
    std::string error;
    if (options.profiles) {
      std::ostringstream profiles;
      formats::writeProfiles(profiles, *single, design.unit);
      if (const auto failed =
              deliver("--profiles", options.profiles, files.profiles.get(), profiles.str())) {
        return fail(*failed);
      }
    }
    // Each solid's file, in the order made.
    for (std::size_t n = 0; n < solidOutputs.size(); ++n) {
      SolidOutput& output = solidOutputs[n];
      if (const auto failed = deliver(output.option, output.path, output.file.get(),
                                      solids::contentOf(solidParts, solidPaths, n))) {
        return fail(*failed);
      }
    }
    std::string content;
    if (options.figure) {
      const drawing::FigureUnit figureUnit{unit.name, unit.metres * 1000};
      // The figure says what the notes say, in their words.
      const std::string notes = formats::figureNotes(rows.front(), !options.realEngine());
      bool drawn = false;
      if (options.realEngine()) {
        drawn = drawer->realFigure(files.figureFormat,
                                   drawing::RealFigure{one.e, one.R, one.W, one.real,
                                                       realShape->figures, notes, figureUnit},
                                   content, error);
      } else {
        HeadlessResult noted = *single;
        noted.note = notes;
        drawn = drawer->figure(files.figureFormat, noted, figureUnit, content, error);
      }
      if (!drawn) return fail("--figure: " + quoteForMessage(*options.figure) + ": " + error);
      if (const auto failed = deliver("--figure", options.figure, files.figure.get(), content)) {
        return fail(*failed);
      }
    }
    if (options.dxf) {
      const int insunits = unit.insunits;
      if (!formats::drawEngineDxf(one.e, one.R, one.real, insunits, content, error)) {
        return fail("--dxf: " + quoteForMessage(*options.dxf) + ": " + error);
      }
      if (const auto failed = deliver("--dxf", options.dxf, files.dxf.get(), content)) {
        return fail(*failed);
      }
    }
    if (options.portEdgeDxf) {
      const formats::PortEdge edge{*options.portEdge,
                                   chamberFlank(one.e, one.R, one.real, *options.portEdge)};
      if (!formats::drawPortEdgeDxf(one.e, one.R, one.real, edge, unit.insunits, content, error)) {
        return fail("--port-edge-dxf: " + quoteForMessage(*options.portEdgeDxf) + ": " + error);
      }
      if (const auto failed =
              deliver("--port-edge-dxf", options.portEdgeDxf, files.portEdge.get(), content)) {
        return fail(*failed);
      }
    }
    if (options.cycleCurve) {
      std::ostringstream text;
      formats::writeCycleCurve(text, cycleOutcome.curve, unit.volumeDivisor, unit.metres,
                               study::cycleSettingsText(study::cycleValuesOf(rows.front().input)));
      if (const auto failed =
              deliver("--cycle-curve", options.cycleCurve, files.cycleCurve.get(), text.str())) {
        return fail(*failed);
      }
    }
    std::vector<CyclePoint> curve;
    if (options.volumeCurve) {
      curve = volumeCurve(one.e, one.R, one.W, one.real, options.angleStep, unit.volumeDivisor,
                          rows.front().chamberSettings());
      std::ostringstream text;
      formats::writeVolumeCurve(text,
                                {one.e, one.R, one.W, options.realEngine(), one.real,
                                 realShape->figures, design.unit, design.rpm.number},
                                curve);
      if (const auto failed =
              deliver("--volume-curve", options.volumeCurve, files.volumeCurve.get(), text.str())) {
        return fail(*failed);
      }
    }
    // The working cycle's charts: one engine's p-V and pressure over the cycle; a sweep of
    // speeds alone, its power and torque.
    const bool speedsAlone = isStudy && design.hasCycle() && engines.size() == speedCount;
    if (files.chart && design.hasCycle() && (!isStudy || speedsAlone)) {
      const std::string settingsText =
          study::cycleSettingsText(study::cycleValuesOf(rows.front().input));
      bool drawn = false;
      if (!isStudy) {
        const drawing::ModelChart chart =
            drawing::modelChartOf(rows.front(), cycleOutcome.curve, options.realEngine());
        drawn = drawer->modelChart(files.chartFormat, chart, content, error);
      } else {
        drawing::PowerChart chart;
        chart.settings = "each row " + settingsText.substr(settingsText.find(':') + 2);
        chart.engine = std::string(options.realEngine() ? "Real engine" : "Engine") +
                       ", e = " + formatNumber(one.e) + ", R = " + formatNumber(one.R) +
                       ", W = " + formatNumber(one.W);
        for (const study::EngineRow& row : rows) {
          if (!row.cycle || !row.input.cycleRpm.number) continue;
          chart.rpm.push_back(*row.input.cycleRpm.number);
          chart.power.push_back(row.cycle->indicatedPower);
          chart.torque.push_back(row.cycle->indicatedTorque);
        }
        drawn = drawer->powerChart(files.chartFormat, chart, content, error);
      }
      if (!drawn) return fail("--chart: " + quoteForMessage(*options.chart) + ": " + error);
      if (const auto failed = deliver("--chart", options.chart, files.chart.get(), content)) {
        return fail(*failed);
      }
    }
    const bool chartsPorts = files.chart && !isStudy && !ports.empty() && !design.hasCycle();
    std::vector<std::vector<double>> portAreas;
    if (options.portCurve || chartsPorts) {
      if (curve.empty()) {
        curve = volumeCurve(one.e, one.R, one.W, one.real, options.angleStep, unit.volumeDivisor,
                            rows.front().chamberSettings());
      }
      std::vector<double> angles;
      for (const CyclePoint& point : curve) angles.push_back(point.shaftAngle);
      portAreas = openAreas(one.e, one.R, one.real, ports, angles);
    }
    if (options.portCurve) {
      std::ostringstream text;
      formats::writePortCurve(text,
                              {one.e, one.R, one.W, options.realEngine(), one.real,
                               realShape->figures, design.unit, std::nullopt},
                              ports, curve, portAreas);
      if (const auto failed =
              deliver("--port-curve", options.portCurve, files.portCurve.get(), text.str())) {
        return fail(*failed);
      }
    }
    if (chartsPorts) {
      const drawing::PortChart chart{one.e,
                                     one.R,
                                     one.W,
                                     options.realEngine(),
                                     curve,
                                     ports,
                                     portAreas,
                                     rows.front().timing.value_or(EngineTiming{}),
                                     design.unit.empty() ? "mm" : design.unit,
                                     unit.volumeUnit};
      if (!drawer->portChart(files.chartFormat, chart, content, error)) {
        return fail("--chart: " + quoteForMessage(*options.chart) + ": " + error);
      }
      if (const auto failed = deliver("--chart", options.chart, files.chart.get(), content)) {
        return fail(*failed);
      }
    } else if (files.chart && !isStudy && !design.hasCycle()) {
      const drawing::CurveChart chart{one.e, one.R,          one.W, options.realEngine(),
                                      curve, unit.volumeUnit};
      if (!drawer->curveChart(files.chartFormat, chart, content, error)) {
        return fail("--chart: " + quoteForMessage(*options.chart) + ": " + error);
      }
      if (const auto failed = deliver("--chart", options.chart, files.chart.get(), content)) {
        return fail(*failed);
      }
    } else if (files.chart && isStudy && !speedsAlone) {
      if (!drawer->chart(files.chartFormat, rows, design.unit, content, error)) {
        return fail("--chart: " + quoteForMessage(*options.chart) + ": " + error);
      }
      if (const auto failed = deliver("--chart", options.chart, files.chart.get(), content)) {
        return fail(*failed);
      }
    }

    // A note is no failure: the figures stand, and scripts that read standard output get them.
    // In a table it has a column of its own.
    if (single && format == Format::kText && !single->note.empty() && !options.realEngine()) {
      err << "rotary-ratio: " << single->note << "\n";
    }
    // Devices and pipes take theirs first, then standard output its own, and only then do the
    // files take their names: a failure on the way leaves every old file as it was.
    for (const Staged& output : staged) {
      if (!output.file->writeThrough()) return fail(output.failure());
    }
    if (standardOutputDocument) {
      if (const std::string why = put(out, *standardOutputDocument); !why.empty()) {
        return fail(std::string(onStandardOutput.front()) + ": standard output: " + why);
      }
    }
    // A text without figures says nothing on standard output; its reason goes to standard error.
    if (status == kExitOk || format != Format::kText) printResults();
    if (const auto failed = standardOutputFailed()) return fail(*failed);
    for (const Staged& output : staged) {
      if (!output.file->putInPlace()) return fail(output.failure());
    }
    // The sweep without figures, where only the shape's files were asked for: they stand, and
    // the results say why they have none.
    if (status != kExitOk) {
      err << "rotary-ratio: " << said << "\n";
      return status;
    }
    return kExitOk;
  } catch (const BadUsage& bad) {
    return fail(bad.line);
  }
}

}  // namespace rotary
