#include "mass.h"

#include <BRepGProp.hxx>
#include <GProp_GProps.hxx>
#include <algorithm>
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

double counterweightFor(int rotors, double unbalance, double W, double plate) {
  if (rotors <= 1) return unbalance;
  // Rotor k's middle at z_k = W/2 + k (W + plate), its unbalance at 360 k / n degrees; the two
  // counterweights just outside the front and rear side housings, at z = -plate and
  // z = n W + n plate. They cancel the rotors' force and their couple about the front one.
  const double spacing = W + plate, front = -plate, rear = rotors * spacing;
  double forceX = 0, forceY = 0, coupleX = 0, coupleY = 0;
  for (int k = 0; k < rotors; ++k) {
    const double phase = 2 * std::numbers::pi * k / rotors, z = W / 2 + k * spacing - front;
    forceX += unbalance * std::cos(phase);
    forceY += unbalance * std::sin(phase);
    coupleX += unbalance * std::cos(phase) * z;
    coupleY += unbalance * std::sin(phase) * z;
  }
  // The rear's couple about the front balances the rotors': c_r (rear - front) = -couple; the
  // front's takes the rest of the force.
  const double span = rear - front;
  const double rearX = -coupleX / span, rearY = -coupleY / span;
  const double frontX = -forceX - rearX, frontY = -forceY - rearY;
  return std::max(std::hypot(rearX, rearY), std::hypot(frontX, frontY));
}

std::vector<PartVolume> partVolumes(const Parts& parts) {
  std::vector<PartVolume> volumes;
  for (const auto& [name, shape] :
       {std::pair{"ROTOR", &parts.rotor}, std::pair{"ROTOR_HOUSING", &parts.rotorHousing},
        std::pair{"SIDE_HOUSING_FRONT", &parts.sideFront},
        std::pair{"SIDE_HOUSING_REAR", &parts.sideRear}}) {
    if (!shape->IsNull()) volumes.push_back({name, props(*shape).Mass()});
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
  // Against the rotor's centre, where the shaft's angle puts it.
  const gp_Pnt centre = rotor.CentreOfMass(), axis = parts.rotorCentre;
  f.rotorCentreOffset = std::hypot(centre.X() - axis.X(), centre.Y() - axis.Y());
  // The integration over the faces finds a rotor's centre to about 1e-8 of R: an offset below
  // ten times that is the rotor's own centre, which its three-fold symmetry keeps there.
  if (f.rotorCentreOffset < 1e-7 * engine.R) f.rotorCentreOffset = 0;
  const double unitMoment = rotor.MomentOfInertia(gp_Ax1(axis, gp::DZ()));  // unit^5, at density 1
  f.rotorMomentOfInertia = unitMoment * std::pow(m, 5) * kilogramsPerCubicMetre;
  f.housingCavityVolume = parts.cavityVolume;
  f.curveDeviation = parts.deviation;
  // The rotor's centre circles the crank axis at the shaft's speed, e from it.
  f.counterweight =
      counterweightFor(engine.rotors, f.rotorMass * e * m, engine.W, engine.settings.sidePlate);
  if (engine.rpm) {
    const double omega = *engine.rpm * 2 * std::numbers::pi / 60;
    f.eccentricLoad = f.rotorMass * e * m * omega * omega;
  }
  return f;
}

}  // namespace rotary::solids
