#include "window_files.h"

#include <sstream>

#include "chart.h"
#include "cycle_curve_csv.h"
#include "dxf_export.h"
#include "figure.h"
#include "length_unit.h"
#include "number_text.h"
#include "profiles_csv.h"
#include "results_table.h"
#include "shape_texts.h"
#include "vector_state.h"
#include "volume_curve.h"
#include "volume_curve_csv.h"

namespace rotary::app {
namespace {

formats::ImageFormat imageFormatOf(WindowFile file) {
  switch (file) {
    case WindowFile::kFigurePdf:
      return formats::ImageFormat::kPdf;
    case WindowFile::kFigurePng:
      return formats::ImageFormat::kPng;
    default:
      return formats::ImageFormat::kSvg;
  }
}

// A name part from a typed number: the display format, with nothing a file name should not hold.
std::string namePart(const study::TypedNumber& typed) {
  std::string part = typed.shown();
  for (char& c : part) {
    if (c == '/' || c == '\\' || c == ' ' || c == ':' || c == '*' || c == '?') c = '_';
  }
  return part;
}

}  // namespace

bool windowFileContent(WindowFile file, const study::Design& engine,
                       const study::DesignOutcome* real, std::string& content, std::string& error,
                       WindowModel model) {
  // Called after Qt has painted, which leaves the vector state that slows every sine tenfold.
  clearUpperVectorState();
  // Millimetres give cubic centimetres, as in the window; any other unit its own cube.
  const study::LengthUnit& unit = engine.lengthUnit();
  const auto &e = engine.eccentricity.number, &R = engine.rotorRadius.number,
             &W = engine.chamberWidth.number;
  if (!e || !R || !W) {
    error = "the dimensions are no numbers";
    return false;
  }
  if (real && !real->message.empty()) {
    error = real->message;
    return false;
  }
  const RealEngine realEngine = real ? real->row.input.realEngine() : RealEngine{0, 0, 0};
  switch (file) {
    case WindowFile::kModelCurve:
    case WindowFile::kModelChartSvg:
    case WindowFile::kModelChartPng: {
      // As the companion's --cycle-curve and --chart for one engine with --cycle.
      if (!model.model || !model.model->figures()) {
        error = model.model ? model.model->why() : "no cycle speed is typed";
        return false;
      }
      const study::EngineRow& row = model.model->design.row;
      const auto& curve = model.model->cycle.curve;
      if (file == WindowFile::kModelCurve) {
        std::ostringstream out;
        formats::writeCycleCurve(out, curve, unit.volumeDivisor, unit.metres,
                                 study::cycleSettingsText(study::cycleValuesOf(row.input)));
        content = out.str();
        return true;
      }
      return drawing::drawModelChart(
          file == WindowFile::kModelChartPng ? formats::ImageFormat::kPng
                                             : formats::ImageFormat::kSvg,
          drawing::modelChartOf(row, curve, model.realEngine), content, error);
    }
    case WindowFile::kDxf: {
      const RealLimit shape = real ? *real->row.real : realLimit(*e, *R, *W, realEngine);
      if (!shape.hasFigures()) {
        error = whyNoRealFigures(shape, realEngine);
        return false;
      }
      return formats::drawEngineDxf(*e, *R, realEngine, unit.insunits, content, error);
    }
    case WindowFile::kVolumeCurve:
    case WindowFile::kCycleChartSvg:
    case WindowFile::kCycleChartPng: {
      // The companion's --volume-curve at a degree, with the panel's shaft speed where typed,
      // and its chart, --volume-curve with --chart.
      const RealLimit shape =
          real ? *real->row.real : realLimit(*e, *R, *W, realEngine, unit.volumeDivisor);
      if (!shape.hasFigures()) {
        error = whyNoRealFigures(shape, realEngine);
        return false;
      }
      const ChamberSettings chamber = real ? real->row.chamberSettings() : engine.chamberSettings();
      const std::vector<CyclePoint> curve =
          volumeCurve(*e, *R, *W, realEngine, 1, unit.volumeDivisor, chamber);
      if (file != WindowFile::kVolumeCurve) {
        const formats::ImageFormat format = file == WindowFile::kCycleChartPng
                                                ? formats::ImageFormat::kPng
                                                : formats::ImageFormat::kSvg;
        const auto& ports = real ? real->row.input.ports : engine.ports;
        if (ports && !ports->empty()) {
          // As the companion's --chart for one engine with ports: their open areas over the
          // cycle, the volume behind them, every event named.
          std::vector<double> angles;
          for (const CyclePoint& point : curve) angles.push_back(point.shaftAngle);
          const EngineTiming timing =
              real && real->row.timing
                  ? *real->row.timing
                  : engineTiming(*e, *R, *W, realEngine, unit.volumeDivisor, *ports);
          return drawing::drawPortChart(
              format,
              {*e, *R, *W, real != nullptr, curve, *ports,
               openAreas(*e, *R, realEngine, *ports, angles), timing, unit.name, unit.volumeUnit},
              content, error);
        }
        return drawing::drawCurveChart(
            format, {*e, *R, *W, real != nullptr, curve, unit.volumeUnit}, content, error);
      }
      std::ostringstream out;
      formats::writeVolumeCurve(
          out, {*e, *R, *W, real != nullptr, realEngine, shape.figures, engine.unit, chamber.rpm},
          curve);
      content = out.str();
      return true;
    }
    case WindowFile::kFigureSvg:
    case WindowFile::kFigurePdf:
    case WindowFile::kFigurePng:
      if (real) {
        // The legend says what the companion's notes say of the same engine.
        const std::string notes = formats::figureNotes(real->row, false);
        return drawing::drawFigure(imageFormatOf(file),
                                   drawing::RealFigure{*e,
                                                       *R,
                                                       *W,
                                                       realEngine,
                                                       real->row.real->figures,
                                                       notes,
                                                       {unit.name, unit.metres * 1000}},
                                   content, error);
      }
      break;
    default:
      break;
  }
  const HeadlessResult headless =
      computeHeadless(engine.eccentricity.text, engine.rotorRadius.text, engine.chamberWidth.text,
                      engine.steps, nullptr, kMostWindowSteps, unit.volumeDivisor);
  if (file == WindowFile::kResultsCsv || file == WindowFile::kResultsJson) {
    std::vector<study::EngineRow> rows = {study::rowOf(real ? real->row.input : engine, headless)};
    if (model.model) {
      // The model's figures of this very design, run on the panel's page.
      rows.front().cycle = model.model->figures();
      rows.front().cycleMessage = model.model->why();
    }
    std::ostringstream out;
    if (file == WindowFile::kResultsCsv) {
      formats::writeCsv(out, rows);
    } else {
      formats::writeJson(out, rows);
    }
    content = out.str();
    return true;
  }
  if (!headless.figures) {
    error = headless.message;
    return false;
  }
  if (file == WindowFile::kProfiles) {
    std::ostringstream out;
    formats::writeProfiles(out, headless, engine.unit);
    content = out.str();
    return true;
  }
  HeadlessResult noted = headless;
  noted.note = formats::figureNotes(study::rowOf(engine, headless), true);
  return drawing::drawFigure(imageFormatOf(file), noted, {unit.name, unit.metres * 1000}, content,
                             error);
}

std::string proposedFileName(const study::Design& engine, const std::string& extension,
                             const std::string& kind) {
  return "rotor-e" + namePart(engine.eccentricity) + "-R" + namePart(engine.rotorRadius) + "-W" +
         namePart(engine.chamberWidth) + (kind.empty() ? "" : "-" + kind) + "." + extension;
}

}  // namespace rotary::app
