#include "volume_curve_csv.h"

#include "number_text.h"
#include "results_table.h"

namespace rotary::formats {

void writeVolumeCurve(std::ostream& out, const CurveHeader& h,
                      const std::vector<CyclePoint>& curve) {
  const auto exact = [](double value) { return significantDigits(value, 17); };
  if (!h.lengthUnit.empty()) out << unitsLine(h.lengthUnit);
  out << "# eccentricity " << formatNumber(h.eccentricity) << ", rotor radius "
      << formatNumber(h.rotorRadius) << ", chamber width " << formatNumber(h.chamberWidth);
  if (h.realEngine) {
    out << ", seal offset " << formatNumber(h.engine.sealOffset) << ", clearance "
        << formatNumber(h.engine.clearance) << ", recess " << formatNumber(h.engine.recess);
  }
  out << "\n# " << (h.realEngine ? "real engine" : "exact limit") << ": chamber capacity "
      << significantDigits(h.figures.capacity, 9) << ", dead volume "
      << significantDigits(h.figures.deadVolume, 9) << ", compression ratio "
      << significantDigits(h.figures.ratio, 9) << "\n";
  out << "# one chamber over its four strokes: the eccentric shaft's angle from top dead centre "
         "of compression, the rotor's, the volume, its slope per degree of the shaft, and the "
         "lean of the apex seal ahead of the chamber against the bore's normal\n";
  out << "shaft_angle_deg,rotor_angle_deg,volume,dvolume_dtheta,seal_lean_deg\n";
  for (const CyclePoint& p : curve) {
    out << formatNumber(p.shaftAngle) << ',' << formatNumber(p.rotorAngle) << ',' << exact(p.volume)
        << ',' << exact(p.slope) << ',' << exact(p.sealLean) << '\n';
  }
}

}  // namespace rotary::formats
