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
  const std::string unit = h.lengthUnit.empty() ? "mm" : h.lengthUnit;
  out << "# one chamber over its four strokes: the eccentric shaft's angle from top dead centre "
         "of compression, the rotor's, the volume, its slope per degree of the shaft, and the "
         "lean of the apex seal ahead of the chamber against the bore's normal\n";
  out << "# then the chamber's walls (" << unit << "^2, the recess's walls left out unless given), "
      << "the walls over the volume (per " << unit
      << "), and the torque on the shaft per bar in the chamber (N m)";
  if (h.rpm) {
    out << "; at " << formatNumber(*h.rpm)
        << " rpm, the leading apex seal's sliding speed on the bore (m/s) and the inertia along "
           "its "
           "groove (N per gram of seal, below 0 drawn in)";
  }
  out << "\n";
  out << "shaft_angle_deg,rotor_angle_deg,volume,dvolume_dtheta,seal_lean_deg,surface,"
         "surface_to_volume,torque_per_bar"
      << (h.rpm ? ",seal_speed,seal_inertia_per_gram" : "") << "\n";
  for (const CyclePoint& p : curve) {
    out << formatNumber(p.shaftAngle) << ',' << formatNumber(p.rotorAngle) << ',' << exact(p.volume)
        << ',' << exact(p.slope) << ',' << exact(p.sealLean) << ',' << exact(p.surface) << ','
        << exact(p.surfaceToVolume) << ',' << exact(p.torquePerBar);
    if (h.rpm) out << ',' << exact(*p.sealSpeed) << ',' << exact(*p.sealInertiaPerGram);
    out << '\n';
  }
}

}  // namespace rotary::formats
