#include "dxf_export.h"

#include <dxflib/dl_dxf.h>

#include <memory>

namespace rotary::exporting {
namespace {

constexpr int kClosed = 1;       // polyline flag
constexpr int kMillimetres = 4;  // $INSUNITS
constexpr int kColourRed = 1;    // AutoCAD colour index
constexpr int kColourCyan = 4;

void writeTables(DL_Dxf& dxf, DL_WriterA& dw) {
  dw.sectionTables();
  dxf.writeVPort(dw);

  dw.tableLinetypes(3);
  dxf.writeLinetype(dw, DL_LinetypeData("BYBLOCK", "", 0, 0, 0.0));
  dxf.writeLinetype(dw, DL_LinetypeData("BYLAYER", "", 0, 0, 0.0));
  dxf.writeLinetype(dw, DL_LinetypeData("CONTINUOUS", "Solid line", 0, 0, 0.0));
  dw.tableEnd();

  dw.tableLayers(3);
  dxf.writeLayer(dw, DL_LayerData("0", 0),
                 DL_Attributes("", DL_Codes::black, 100, "CONTINUOUS", 1.0));
  dxf.writeLayer(dw, DL_LayerData("HOUSING", 0),
                 DL_Attributes("", kColourRed, 100, "CONTINUOUS", 1.0));
  dxf.writeLayer(dw, DL_LayerData("ROTOR", 0),
                 DL_Attributes("", kColourCyan, 100, "CONTINUOUS", 1.0));
  dw.tableEnd();

  dw.tableStyle(1);
  dxf.writeStyle(dw, DL_StyleData("standard", 0, 2.5, 1.0, 0.0, 0, 2.5, "txt", ""));
  dw.tableEnd();

  dxf.writeView(dw);
  dxf.writeUcs(dw);
  dw.tableAppid(1);
  dxf.writeAppid(dw, "ACAD");
  dw.tableEnd();
  dxf.writeDimStyle(dw, 1, 1, 1, 1, 1);
  dxf.writeBlockRecord(dw);
  dw.tableEnd();
  dw.sectionEnd();
}

void writeBlocks(DL_Dxf& dxf, DL_WriterA& dw) {
  dw.sectionBlocks();
  for (const char* name : {"*Model_Space", "*Paper_Space", "*Paper_Space0"}) {
    dxf.writeBlock(dw, DL_BlockData(name, 0, 0.0, 0.0, 0.0));
    dxf.writeEndBlock(dw, name);
  }
  dw.sectionEnd();
}

void writeClosedPolyline(DL_Dxf& dxf, DL_WriterA& dw, const Polyline& points,
                         const std::string& layer) {
  dxf.writePolyline(dw, DL_PolylineData(static_cast<int>(points.size()), 0, 0, kClosed),
                    DL_Attributes(layer, 256, -1, "BYLAYER", 1.0));
  for (const PlanePoint& p : points) dxf.writeVertex(dw, DL_VertexData(p.x, p.y, 0.0, 0.0));
  dxf.writePolylineEnd(dw);
}

}  // namespace

bool writeDxf(const std::string& path, const Polyline& housing, const Polyline& rotor,
              std::string& error) {
  DL_Dxf dxf;
  std::unique_ptr<DL_WriterA> dw(dxf.out(path.c_str(), DL_Codes::AC1015));
  if (!dw) {
    error = "cannot be written";
    return false;
  }
  dxf.writeHeader(*dw);
  dw->dxfString(9, "$INSUNITS");
  dw->dxfInt(70, kMillimetres);
  dw->sectionEnd();
  writeTables(dxf, *dw);
  writeBlocks(dxf, *dw);

  dw->sectionEntities();
  writeClosedPolyline(dxf, *dw, housing, "HOUSING");
  writeClosedPolyline(dxf, *dw, rotor, "ROTOR");
  dw->sectionEnd();

  dxf.writeObjects(*dw);
  dxf.writeObjectsEnd(*dw);
  dw->dxfEOF();
  dw->close();
  if (dw->openFailed()) {
    error = "cannot be written";
    return false;
  }
  return true;
}

}  // namespace rotary::exporting
