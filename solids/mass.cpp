#include "mass.h"

#include <BRepGProp.hxx>
#include <GProp_GProps.hxx>
#include <cmath>
#include <gp_Ax1.hxx>
#include <numbers>

namespace rotary::solids {

namespace {

GProp_GProps props(const TopoDS_Shape& shape) {
  GProp_GProps p;
  BRepGProp::VolumeProperties(shape, p);
  return p;
}

}  // namespace

std::vector<PartVolume> partVolumes(const Parts& parts) {
  std::vector<PartVolume> volumes;
  for (const auto& [name, shape] :
       {std::pair{"ROTOR", &parts.rotor}, std::pair{"ROTOR_HOUSING", &parts.rotorHousing},
        std::pair{"SIDE_HOUSING_FRONT", &parts.sideFront},
        std::pair{"SIDE_HOUSING_REAR", &parts.sideRear}}) {
    volumes.push_back({name, props(*shape).Mass()});
  }
  return volumes;
}

SolidFigures measure(const SolidEngine& engine, const Parts& parts) {
  SolidFigures f;
  const double m = engine.metresPerUnit, e = engine.e;
  const double kilogramsPerCubicMetre = engine.settings.density * 1000;
  const GProp_GProps rotor = props(parts.rotor);
  f.rotorVolume = rotor.Mass();
  f.rotorMass = f.rotorVolume * (m * m * m) * kilogramsPerCubicMetre;
  // The rotor's centre lies e below the crank axis at top dead centre.
  const gp_Pnt centre = rotor.CentreOfMass();
  f.rotorCentreOffset = std::hypot(centre.X(), centre.Y() + e);
  const double unitMoment =
      rotor.MomentOfInertia(gp_Ax1(gp_Pnt(0, -e, 0), gp::DZ()));  // unit^5, at density 1
  f.rotorMomentOfInertia = unitMoment * std::pow(m, 5) * kilogramsPerCubicMetre;
  f.housingCavityVolume = parts.cavityVolume;
  f.curveDeviation = parts.deviation;
  // The rotor's centre circles the crank axis at the shaft's speed, e from it.
  f.counterweight = f.rotorMass * e * m;
  if (engine.rpm) {
    const double omega = *engine.rpm * 2 * std::numbers::pi / 60;
    f.eccentricLoad = f.rotorMass * e * m * omega * omega;
  }
  return f;
}

}  // namespace rotary::solids
