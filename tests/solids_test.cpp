// The solids against what no one here wrote: the closed forms of the rotor's and the bore's
// areas, the engine scaled, and the STEP read back by OpenCASCADE's own reader.
#include <gtest/gtest.h>

#include <BRepCheck_Analyzer.hxx>
#include <BRepGProp.hxx>
#include <GProp_GProps.hxx>
#include <STEPCAFControl_Reader.hxx>
#include <TDF_LabelSequence.hxx>
#include <TDataStd_Name.hxx>
#include <TDocStd_Document.hxx>
#include <XCAFApp_Application.hxx>
#include <XCAFDoc_DocumentTool.hxx>
#include <XCAFDoc_ShapeTool.hxx>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <numbers>

#include "exact_shape.h"
#include "mass.h"
#include "parts.h"
#include "writers.h"

namespace rotary::solids {
namespace {

using std::numbers::pi;

// A plain engine: no seal offset or clearance, no side clearance, no rotor bore.
SolidEngine plain(double scale) {
  SolidEngine engine;
  engine.e = 15 * scale, engine.R = 105 * scale, engine.W = 80 * scale;
  engine.settings.housingWall = 15 * scale;
  engine.settings.sidePlate = 12 * scale;
  engine.settings.sideClearance = 0;
  engine.settings.rotorBore = 0;
  engine.settings.shaftBore = 15 * scale;
  engine.settings.density = 7.2;
  engine.settings.chord = 0.01 * scale;
  engine.settings.tolerance = 1e-4 * engine.R;
  return engine;
}

double volumeOf(const TopoDS_Shape& shape) {
  GProp_GProps props;
  BRepGProp::VolumeProperties(shape, props);
  return props.Mass();
}

class PlainEngine : public ::testing::TestWithParam<double> {};

// The three chambers and the rotor fill the bore at every angle: the rotor's area is the bore's,
// pi (R^2 + 3 e^2), less three chambers' at top and bottom dead centre, halved.
TEST_P(PlainEngine, HasTheClosedFormsVolumesAtAnyScale) {
  const double scale = GetParam();
  const SolidEngine engine = plain(scale);
  Parts parts;
  std::string error;
  ASSERT_TRUE(buildParts(engine, parts, error)) << error;
  const double e = engine.e, R = engine.R, W = engine.W;
  const exact::ChamberAreas chambers = exact::chamberAreas(R / e);
  const double bore = pi * (R * R + 3 * e * e);
  const double rotorArea =
      bore - 3 * (chambers.topDeadCentre + chambers.bottomDeadCentre) * e * e / 2;
  if (scale == 1) {
    EXPECT_NEAR(rotorArea, 23060.3, 0.1);
  }
  // A fitted curve that strays by d from the exact one moves an area by no more than d times its
  // length: the rotor's outline is shorter than its circumscribed circle, the bore than twice it.
  EXPECT_LE(parts.deviation, engine.settings.tolerance);
  const double allowed = parts.deviation * 2 * pi * (R + e) * W;
  EXPECT_NEAR(volumeOf(parts.rotor), rotorArea * W, allowed);
  EXPECT_NEAR(parts.cavityVolume, bore * W, 2 * allowed);
  // The housing is the block less the cavity; each side housing the block's outline less the
  // shaft's bore.
  const SolidFigures figures = measure(engine, parts);
  EXPECT_NEAR(figures.rotorVolume, rotorArea * W, allowed);
  EXPECT_NEAR(figures.rotorCentreOffset, 0, 1e-6 * R);
  // Mass: 7.2 g/cm^3 of the rotor's volume.
  const double metres = engine.metresPerUnit;
  EXPECT_NEAR(figures.rotorMass, figures.rotorVolume * std::pow(metres, 3) * 7200,
              1e-12 * figures.rotorMass);
  const double sides = volumeOf(parts.sideFront);
  EXPECT_NEAR(volumeOf(parts.sideRear), sides, 1e-7 * sides);
  for (const TopoDS_Shape* shape : {&parts.rotor, &parts.rotorHousing, &parts.sideFront}) {
    EXPECT_TRUE(BRepCheck_Analyzer(*shape).IsValid());
  }
}

INSTANTIATE_TEST_SUITE_P(Scales, PlainEngine, ::testing::Values(1.0, 0.001, 1000.0));

// A tighter tolerance takes the fitted solids to the closed forms' digits.
TEST(Solids, ComeToTheClosedFormsAsTheFitTightens) {
  SolidEngine engine = plain(1);
  engine.settings.tolerance = 1e-7 * engine.R;
  Parts parts;
  std::string error;
  ASSERT_TRUE(buildParts(engine, parts, error)) << error;
  const double e = engine.e, R = engine.R, W = engine.W;
  const exact::ChamberAreas chambers = exact::chamberAreas(R / e);
  const double bore = pi * (R * R + 3 * e * e);
  const double rotor =
      (bore - 3 * (chambers.topDeadCentre + chambers.bottomDeadCentre) * e * e / 2) * W;
  EXPECT_LE(parts.deviation, 1e-7 * R);
  EXPECT_NEAR(volumeOf(parts.rotor), rotor, 1e-8 * rotor);
  EXPECT_NEAR(parts.cavityVolume, bore * W, 1e-8 * bore * W);
}

// Scaled by s, a volume grows by s^3 and the rotor's moment of inertia, at a density, by s^5.
TEST(Solids, ScaleByThePowersOfTheScale) {
  std::map<double, SolidFigures> figures;
  for (const double scale : {1.0, 1000.0}) {
    SolidEngine engine = plain(scale);
    engine.real = {2 * scale, 0.1 * scale, 0};
    engine.settings.rotorBore = 48 * scale;
    engine.settings.sideClearance = 0.1 * scale;
    Parts parts;
    std::string error;
    ASSERT_TRUE(buildParts(engine, parts, error)) << error;
    figures[scale] = measure(engine, parts);
  }
  const SolidFigures &one = figures[1.0], &big = figures[1000.0];
  EXPECT_NEAR(big.rotorVolume / one.rotorVolume, 1e9, 1e9 * 1e-7);
  EXPECT_NEAR(big.rotorMass / one.rotorMass, 1e9, 1e9 * 1e-7);
  EXPECT_NEAR(big.rotorMomentOfInertia / one.rotorMomentOfInertia, 1e15, 1e15 * 1e-6);
  EXPECT_NEAR(big.housingCavityVolume / one.housingCavityVolume, 1e9, 1e9 * 1e-7);
  // A disc's moment of inertia bounds the rotor's: m R^2 / 2 for its circumscribed disc.
  EXPECT_LT(one.rotorMomentOfInertia, one.rotorMass * std::pow(0.105, 2) / 2);
  EXPECT_GT(one.rotorMomentOfInertia, 0.25 * one.rotorMass * std::pow(0.105, 2) / 2);
}

// The STEP assembly read back: four named parts of the volumes written.
TEST(Solids, StepReadsBackNamedWithTheSameVolumes) {
  SolidEngine engine = plain(1);
  engine.real = {2, 0.1, 0};
  Parts parts;
  std::string error;
  ASSERT_TRUE(buildParts(engine, parts, error)) << error;
  const std::vector<NamedPart> named = {{"ROTOR_HOUSING", &parts.rotorHousing},
                                        {"SIDE_HOUSING_FRONT", &parts.sideFront},
                                        {"SIDE_HOUSING_REAR", &parts.sideRear},
                                        {"ROTOR", &parts.rotor}};
  const std::string step = stepOf(named, "mm");
  ASSERT_NE(step.find("ISO-10303-21"), std::string::npos);
  const std::string path = ::testing::TempDir() + "solids-test.step";
  std::ofstream(path, std::ios::binary) << step;
  Handle(TDocStd_Document) document;
  XCAFApp_Application::GetApplication()->NewDocument("MDTV-XCAF", document);
  STEPCAFControl_Reader reader;
  reader.SetNameMode(true);
  ASSERT_EQ(reader.ReadFile(path.c_str()), IFSelect_RetDone);
  ASSERT_TRUE(reader.Transfer(document));
  const Handle(XCAFDoc_ShapeTool) shapes = XCAFDoc_DocumentTool::ShapeTool(document->Main());
  TDF_LabelSequence labels;
  shapes->GetFreeShapes(labels);
  std::map<std::string, double> volumes;
  for (int n = 1; n <= labels.Length(); ++n) {
    Handle(TDataStd_Name) name;
    ASSERT_TRUE(labels.Value(n).FindAttribute(TDataStd_Name::GetID(), name));
    const TopoDS_Shape shape = shapes->GetShape(labels.Value(n));
    EXPECT_TRUE(BRepCheck_Analyzer(shape).IsValid());
    volumes[TCollection_AsciiString(name->Get()).ToCString()] = volumeOf(shape);
  }
  ASSERT_EQ(volumes.size(), 4u);
  for (const NamedPart& part : named) {
    ASSERT_TRUE(volumes.count(part.name)) << part.name;
    const double written = volumeOf(*part.shape);
    EXPECT_NEAR(volumes[part.name], written, 1e-6 * written) << part.name;
  }
  XCAFApp_Application::GetApplication()->Close(document);
  std::remove(path.c_str());
}

}  // namespace
}  // namespace rotary::solids
