#include "port_curve_csv.h"

#include "number_text.h"
#include "results_table.h"

namespace rotary::formats {

void writePortCurve(std::ostream& out, const CurveHeader& h,
                    const std::vector<PortDefinition>& ports, const std::vector<CyclePoint>& curve,
                    const std::vector<std::vector<double>>& areas) {
  const auto exact = [](double value) { return significantDigits(value, 17); };
  if (!h.lengthUnit.empty()) out << unitsLine(h.lengthUnit);
  const std::string unit = h.lengthUnit.empty() ? "mm" : h.lengthUnit;
  out << "# eccentricity " << formatNumber(h.eccentricity) << ", rotor radius "
      << formatNumber(h.rotorRadius) << ", chamber width " << formatNumber(h.chamberWidth);
  if (h.realEngine) {
    out << ", seal offset " << formatNumber(h.engine.sealOffset) << ", clearance "
        << formatNumber(h.engine.clearance) << ", recess " << formatNumber(h.engine.recess);
  }
  out << "\n# the shaft's angle from top dead centre of compression, counterclockwise in the "
         "DXF's frame; the chamber's volume; each port's area open to the chamber ("
      << unit << "^2)\n";
  for (std::size_t n = 0; n < ports.size(); ++n) {
    const PortDefinition& port = ports[n];
    out << "# port" << n + 1 << ": " << (port.role == PortRole::kIntake ? "intake" : "exhaust")
        << (port.kind == PortKind::kSide ? " side " : " peripheral ") << port.source << "\n";
  }
  out << "shaft_angle_deg,volume";
  for (std::size_t n = 0; n < ports.size(); ++n) out << ",port" << n + 1 << "_open_area";
  out << "\n";
  for (std::size_t row = 0; row < curve.size(); ++row) {
    out << formatNumber(curve[row].shaftAngle) << ',' << exact(curve[row].volume);
    for (const std::vector<double>& port : areas) out << ',' << exact(port[row]);
    out << '\n';
  }
}

}  // namespace rotary::formats
