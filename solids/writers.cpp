#include "writers.h"

#include <unistd.h>

#include <BRepMesh_IncrementalMesh.hxx>
#include <IFSelect_ReturnStatus.hxx>
#include <Interface_Static.hxx>
#include <Message.hxx>
#include <Message_Messenger.hxx>
#include <Message_PrinterOStream.hxx>
#include <Quantity_Color.hxx>
#include <STEPCAFControl_Writer.hxx>
#include <Standard_Failure.hxx>
#include <StlAPI_Writer.hxx>
#include <TDataStd_Name.hxx>
#include <TDocStd_Document.hxx>
#include <XCAFApp_Application.hxx>
#include <XCAFDoc_ColorTool.hxx>
#include <XCAFDoc_DocumentTool.hxx>
#include <XCAFDoc_ShapeTool.hxx>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>

namespace rotary::solids {
namespace {

// OpenCASCADE's writers take a path: a file of our own in the temporary folder, read back and
// removed, so that the caller's file is written once, whole.
class ScratchFile {
 public:
  explicit ScratchFile(const char* suffix) {
    const char* folder = std::getenv("TMPDIR");
    path_ = std::string(folder && *folder ? folder : "/tmp") + "/rotary-solid-XXXXXX" + suffix;
    const int descriptor = mkstemps(path_.data(), static_cast<int>(std::string(suffix).size()));
    if (descriptor < 0) throw Standard_Failure("no scratch file can be made for the solids");
    close(descriptor);
  }
  ~ScratchFile() { std::remove(path_.c_str()); }
  const std::string& path() const { return path_; }
  std::string content() const {
    std::ifstream in(path_, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

 private:
  std::string path_;
};

// STEP's names for the units --units names.
const char* stepUnit(const std::string& unit) {
  static const std::map<std::string, const char*> units = {
      {"", "MM"}, {"mm", "MM"}, {"cm", "CM"}, {"m", "M"}, {"in", "INCH"}};
  const auto found = units.find(unit);
  return found == units.end() ? "MM" : found->second;
}

Quantity_Color colourOf(const std::string& name) {
  if (name == "ROTOR") return Quantity_Color(0.80, 0.45, 0.10, Quantity_TOC_RGB);
  if (name == "ROTOR_HOUSING") return Quantity_Color(0.55, 0.60, 0.65, Quantity_TOC_RGB);
  return Quantity_Color(0.35, 0.45, 0.70, Quantity_TOC_RGB);
}

}  // namespace

namespace {

// OpenCASCADE reports its transfers on standard output, where the companion's results go: its
// printers are taken away once, before the first transfer.
void quietened() {
  static const bool done = [] {
    Message::DefaultMessenger()->RemovePrinters(STANDARD_TYPE(Message_PrinterOStream));
    return true;
  }();
  (void)done;
}

}  // namespace

std::string stepOf(const std::vector<NamedPart>& parts, const std::string& unit) {
  quietened();
  Handle(TDocStd_Document) document;
  XCAFApp_Application::GetApplication()->NewDocument("MDTV-XCAF", document);
  const Handle(XCAFDoc_ShapeTool) shapes = XCAFDoc_DocumentTool::ShapeTool(document->Main());
  const Handle(XCAFDoc_ColorTool) colours = XCAFDoc_DocumentTool::ColorTool(document->Main());
  for (const NamedPart& part : parts) {
    const TDF_Label label = shapes->AddShape(*part.shape, false);
    TDataStd_Name::Set(label, part.name);
    colours->SetColor(label, colourOf(part.name), XCAFDoc_ColorGen);
  }
  // The lengths are in the unit already: the same unit in and out, so that none is scaled.
  Interface_Static::SetCVal("xstep.cascade.unit", stepUnit(unit));
  Interface_Static::SetCVal("write.step.unit", stepUnit(unit));
  Interface_Static::SetCVal("write.step.schema", "AP214IS");
  STEPCAFControl_Writer writer;
  writer.SetNameMode(true);
  writer.SetColorMode(true);
  if (!writer.Transfer(document, STEPControl_AsIs)) {
    throw Standard_Failure("the solids give no STEP entities");
  }
  const ScratchFile file(".step");
  if (writer.Write(file.path().c_str()) != IFSelect_RetDone) {
    throw Standard_Failure("the STEP writer cannot write its file");
  }
  XCAFApp_Application::GetApplication()->Close(document);
  return file.content();
}

std::string stlOf(const TopoDS_Shape& shape, double chord) {
  // The chord error is the mesh's largest distance from the faces; half a radian of turn between
  // neighbouring facets keeps the small curves round as well.
  BRepMesh_IncrementalMesh mesh(shape, chord, false, 0.5, true);
  if (!mesh.IsDone()) throw Standard_Failure("a part cannot be meshed");
  StlAPI_Writer writer;
  writer.ASCIIMode() = false;
  const ScratchFile file(".stl");
  if (!writer.Write(shape, file.path().c_str())) {
    throw Standard_Failure("the STL writer cannot write its file");
  }
  return file.content();
}

}  // namespace rotary::solids
