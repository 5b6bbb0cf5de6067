// The figure and the chart are drawn with Qt, and loading Qt takes longer than computing an
// engine. So they live in a module of their own, which the companion loads only when it is asked
// to draw; every other run starts without Qt.
#pragma once

#include <string>
#include <vector>

#include "file_name.h"
#include "headless.h"
#include "real_engine.h"
#include "runner.h"
#include "volume_curve.h"
#include "working_cycle.h"

namespace rotary::drawing {

using formats::ImageFormat;

// A real engine with figures: the bore, the trochoid, the rotor with and without its clearance,
// the gears, and a legend with A, C, V and the real engine's figures.
// The unit the lengths are in, and its length in millimetres: a figure drawn a millimetre to the
// unit names its scale where the unit is another.
struct FigureUnit {
  std::string name = "mm";
  double millimetres = 1;
};

struct RealFigure {
  double eccentricity, rotorRadius, chamberWidth;
  RealEngine engine;
  ExactFigures figures;
  std::string note;  // what the notes say of this engine, one to a line; empty for none
  FigureUnit unit;
};

// One engine's chamber over its cycle: the volume, and the leading seal's lean beside it.
struct CurveChart {
  double eccentricity, rotorRadius, chamberWidth;
  bool realEngine;
  std::vector<CyclePoint> curve;
  std::string volumeUnit = "cm^3";  // what the curve's volumes are in
};

// One engine's ports over its cycle: each port's open area at the curve's angles, its events
// marked in the trade's words, and the chamber's volume behind them.
struct PortChart {
  double eccentricity, rotorRadius, chamberWidth;
  bool realEngine;
  std::vector<CyclePoint> curve;
  std::vector<PortDefinition> ports;
  std::vector<std::vector<double>> areas;  // each port's, at the curve's angles
  EngineTiming timing;
  std::string lengthUnit = "mm", volumeUnit = "cm^3";
};

// The working cycle's model of one engine: its pressure against its volume (log-log) with the
// ports' events marked, and its pressure over the shaft's angle; named a model with its
// settings.
struct ModelChart {
  double eccentricity, rotorRadius, chamberWidth;
  bool realEngine;
  std::vector<double> shaftAngle, volume, pressure;  // degrees, the volume unit, bar
  // Each port's events: where it opens and closes, in the trade's words.
  struct Event {
    double shaftAngle;
    std::string words;
  };
  std::vector<Event> events;
  std::string settings;  // the model's, in words
  std::string volumeUnit = "cm^3";
};

// One engine's working cycle as its chart draws it: its last cycle in the row's units, the
// ports' events from the row's timing, the model's settings in words. `realEngine` names it a
// real engine in the title, as its real values were given.
ModelChart modelChartOf(const study::EngineRow& row, const std::vector<cycle::CyclePointSI>& curve,
                        bool realEngine);

// The power and torque curve of a sweep of speeds: each row's indicated power and torque
// against its speed, named a model with its settings.
struct PowerChart {
  std::vector<double> rpm, power, torque;  // kW, N m
  std::string engine;                      // "Real engine, e = 15, R = 105, W = 80"
  std::string settings;
};

// What the module draws, each into `content`, the bytes of the file; false with the reason in
// `error` when it cannot. A figure's legend ends with the notes of its figures, in their words:
// the construction figure's are the result's `note`.
struct Drawing {
  bool (*figure)(ImageFormat format, const HeadlessResult& result, const FigureUnit& unit,
                 std::string& content, std::string& error);
  bool (*realFigure)(ImageFormat format, const RealFigure& real, std::string& content,
                     std::string& error);
  bool (*chart)(ImageFormat format, const std::vector<study::EngineRow>& rows,
                const std::string& lengthUnit, std::string& content, std::string& error);
  bool (*curveChart)(ImageFormat format, const CurveChart& chart, std::string& content,
                     std::string& error);
  bool (*portChart)(ImageFormat format, const PortChart& chart, std::string& content,
                    std::string& error);
  bool (*modelChart)(ImageFormat format, const ModelChart& chart, std::string& content,
                     std::string& error);
  bool (*powerChart)(ImageFormat format, const PowerChart& chart, std::string& content,
                     std::string& error);
};

// The module's one entry: given the version of the program that loads it, the drawing
// functions, or null when the module belongs to another version (whose types may differ).
#define ROTARY_DRAWING_ENTRY rotary_ratio_drawing
using DrawingEntry = const Drawing* (*)(const char* version);

// Loads the module that lies beside the program (its place relative to the program's own is
// fixed at build time, and the same installed); null with the reason in `error` when it cannot
// be loaded. Loaded once, and kept.
const Drawing* loadDrawing(std::string& error);

}  // namespace rotary::drawing
