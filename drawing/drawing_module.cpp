// The entry of the drawing module: the only symbol it shows the program that loads it.
#include <exception>
#include <new>
#include <string>

#include "chart.h"
#include "drawing.h"
#include "figure.h"

namespace rotary::drawing {
namespace {

// Nothing may leave the module as an exception: the program says why a file cannot be drawn.
template <typename Draw>
bool guarded(std::string& error, Draw draw) {
  try {
    return draw();
  } catch (const std::bad_alloc&) {
    error = "not enough memory to draw it";
  } catch (const std::exception& failure) {
    error = failure.what();
  }
  return false;
}

const Drawing kDrawing{
    [](ImageFormat format, const HeadlessResult& result, const FigureUnit& unit,
       std::string& content, std::string& error) {
      return guarded(error, [&] { return drawFigure(format, result, unit, content, error); });
    },
    [](ImageFormat format, const RealFigure& real, std::string& content, std::string& error) {
      return guarded(error, [&] { return drawFigure(format, real, content, error); });
    },
    [](ImageFormat format, const std::vector<study::EngineRow>& rows, const std::string& unit,
       std::string& content, std::string& error) {
      return guarded(error, [&] { return drawChart(format, rows, unit, content, error); });
    },
    [](ImageFormat format, const CurveChart& chart, std::string& content, std::string& error) {
      return guarded(error, [&] { return drawCurveChart(format, chart, content, error); });
    },
    [](ImageFormat format, const PortChart& chart, std::string& content, std::string& error) {
      return guarded(error, [&] { return drawPortChart(format, chart, content, error); });
    },
    [](ImageFormat format, const ModelChart& chart, std::string& content, std::string& error) {
      return guarded(error, [&] { return drawModelChart(format, chart, content, error); });
    },
    [](ImageFormat format, const PowerChart& chart, std::string& content, std::string& error) {
      return guarded(error, [&] { return drawPowerChart(format, chart, content, error); });
    }};

}  // namespace
}  // namespace rotary::drawing

extern "C" __attribute__((visibility("default"))) const rotary::drawing::Drawing*
ROTARY_DRAWING_ENTRY(const char* version) {
  return std::string(version) == ROTARY_VERSION ? &rotary::drawing::kDrawing : nullptr;
}
