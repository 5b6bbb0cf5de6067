#include "solid_settings.h"

namespace rotary::study {

SolidSettings solidSettingsOf(const Design& d) {
  const double e = d.eccentricity.valueOr(0), R = d.rotorRadius.valueOr(0);
  const double millimetre = 0.001 / d.lengthUnit().metres;  // in the design's unit
  const auto orDefault = [](const TypedNumber& value, double fallback) {
    return value.empty() ? fallback : value.valueOr(fallback);
  };
  SolidSettings s;
  s.housingWall = orDefault(d.housingWall, 0.15 * R);
  s.sidePlate = orDefault(d.sidePlate, 0.15 * R);
  s.sideClearance = orDefault(d.sideClearance, 0.1 * millimetre);
  const auto module = d.module();
  s.rotorBore = orDefault(d.rotorBore, 3 * e + (module ? 1.25 * *module : e / 4));
  s.shaftBore = e;
  s.density = orDefault(d.density, 7.2);
  s.chord = orDefault(d.chord, 0.01 * millimetre);
  s.tolerance = orDefault(d.tolerance, 1e-4 * R);
  s.apexSlotWidth = d.apexSlotWidth.valueOr(0);
  s.apexSlotDepth = d.apexSlotDepth.valueOr(0);
  s.shaftAngle = d.shaftAngle.valueOr(0);
  return s;
}

}  // namespace rotary::study
