#include "cycle_curve_csv.h"

#include "number_text.h"

namespace rotary::formats {

void writeCycleCurve(std::ostream& out, const std::vector<cycle::CyclePointSI>& curve,
                     double volumeDivisor, double metresPerUnit, const std::string& settings) {
  const double cubic = volumeDivisor * metresPerUnit * metresPerUnit * metresPerUnit;
  out << "# " << settings << "\n"
      << "shaft_angle_deg,volume,pressure_bar,temperature_k,mass_in_kg_per_deg,"
         "mass_out_kg_per_deg\n";
  const auto nine = [](double value) { return significantDigits(value, 9); };
  for (const cycle::CyclePointSI& p : curve) {
    out << nine(p.theta) << "," << nine(p.volume / cubic) << "," << nine(p.pressure / 1e5) << ","
        << nine(p.temperature) << "," << nine(p.massFlowIn) << "," << nine(p.massFlowOut) << "\n";
  }
}

}  // namespace rotary::formats
