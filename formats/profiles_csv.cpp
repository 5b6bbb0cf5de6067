#include "profiles_csv.h"

#include "number_text.h"
#include "results_table.h"

namespace rotary::formats {
namespace {

// Round-trip text of a double.
std::string exact(double value) {
  return significantDigits(value, 17);
}

}  // namespace

void writeProfiles(std::ostream& out, const HeadlessResult& result, const std::string& lengthUnit) {
  const Geometry& g = result.geometry;
  if (!lengthUnit.empty()) out << unitsLine(lengthUnit);
  out << "# eccentricity " << formatNumber(g.e) << ", rotor radius " << formatNumber(g.R)
      << ", chamber width " << formatNumber(g.W) << ", steps " << g.N << "\n";
  if (result.figures) {
    out << "# chamber capacity " << formatNumber(result.figures->capacity) << ", dead volume "
        << formatNumber(result.figures->deadVolume) << ", compression ratio "
        << formatNumber(result.figures->ratio) << "\n";
  }
  out << "# samples across the rotor flank after the mirroring: abscissa s, the largest rotor "
         "flank, the housing at top and at bottom dead centre\n";
  out << "i,s,envelope,tdcline,bdcline\n";
  const Profiles& p = result.profiles;
  for (int i = 0; i <= kLastSample; ++i) {
    out << i << ',' << exact(g.sample(i)) << ',' << exact(p.envelope[i]) << ','
        << exact(p.tdcline[i]) << ',' << exact(p.bdcline[i]) << '\n';
  }
}

}  // namespace rotary::formats
