#include "drawing.h"

namespace rotary::drawing {

ModelChart modelChartOf(const study::EngineRow& row, const std::vector<cycle::CyclePointSI>& curve,
                        bool realEngine) {
  const study::Design& d = row.input;
  const study::LengthUnit& unit = d.lengthUnit();
  ModelChart chart{*d.eccentricity.number,
                   *d.rotorRadius.number,
                   *d.chamberWidth.number,
                   realEngine,
                   {},
                   {},
                   {},
                   {},
                   study::cycleSettingsText(study::cycleValuesOf(d)),
                   unit.volumeUnit};
  const double cubic = d.volumeDivisor() * unit.metres * unit.metres * unit.metres;
  for (const cycle::CyclePointSI& p : curve) {
    chart.shaftAngle.push_back(p.theta);
    chart.volume.push_back(p.volume / cubic);
    chart.pressure.push_back(p.pressure / 1e5);
  }
  if (row.timing) {
    for (const PortTiming& port : row.timing->ports) {
      for (const PortOpening& opening : port.openings) {
        chart.events.push_back({opening.opens, "opens"});
        chart.events.push_back({opening.closes, "closes"});
      }
    }
  }
  return chart;
}

}  // namespace rotary::drawing
