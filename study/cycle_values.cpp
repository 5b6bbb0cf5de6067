#include "cycle_values.h"

#include "number_text.h"

namespace rotary::study {

CycleValues cycleValuesOf(const Design& d) {
  CycleValues v;
  const auto set = [](const TypedNumber& typed, double& value) {
    if (typed.number) value = *typed.number;
  };
  set(d.cycleRpm, v.rpm);
  set(d.discharge, v.discharge);
  set(d.intakePressure, v.intakePressure);
  set(d.intakeTemperature, v.intakeTemperature);
  set(d.exhaustPressure, v.exhaustPressure);
  set(d.exhaustTemperature, v.exhaustTemperature);
  set(d.spark, v.spark);
  set(d.burn, v.burn);
  set(d.wiebeA, v.wiebeA);
  set(d.wiebeM, v.wiebeM);
  set(d.airFuelRatio, v.airFuelRatio);
  set(d.sealGap, v.sealGap);
  set(d.wallTemperature, v.wallTemperature);
  set(d.heatTransfer, v.heatTransfer);
  v.gamma = d.cycleGamma.number;
  return v;
}

std::string cycleSettingsText(const CycleValues& v) {
  const auto n = [](double value) { return formatNumber(value); };
  return "single-zone model at " + n(v.rpm) + " rpm: discharge " + n(v.discharge) +
         ", intake plenum " + n(v.intakePressure) + " bar " + n(v.intakeTemperature) +
         " K, exhaust plenum " + n(v.exhaustPressure) + " bar " + n(v.exhaustTemperature) +
         " K, spark " + n(v.spark) + " BTDC, burn " + n(v.burn) + " degrees, Wiebe a " +
         n(v.wiebeA) + " m " + n(v.wiebeM) + ", air-fuel ratio " + n(v.airFuelRatio) +
         ", seal gap " + n(v.sealGap) + ", walls " + n(v.wallTemperature) + " K, heat transfer x" +
         n(v.heatTransfer) + (v.gamma ? ", constant gamma " + n(*v.gamma) : ", NASA polynomials");
}

}  // namespace rotary::study
