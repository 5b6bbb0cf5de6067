#include "dxf_export.h"

#include <dxflib/dl_dxf.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <sstream>
#include <vector>

#include "chamber_cycle.h"
#include "number_text.h"

namespace rotary::formats {
namespace {

constexpr int kClosed = 1;  // polyline flag
// AutoCAD colour indices.
constexpr int kColourRed = 1;
constexpr int kColourYellow = 2;
constexpr int kColourGreen = 3;
constexpr int kColourCyan = 4;
constexpr int kColourBlue = 5;
constexpr int kColourMagenta = 6;

struct Layer {
  const char* name;
  int colour;
};
constexpr Layer kLayers[] = {{"HOUSING", kColourRed},  {"TROCHOID", kColourMagenta},
                             {"ROTOR", kColourCyan},   {"ROTOR_LIMIT", kColourGreen},
                             {"GEARS", kColourBlue},   {"CENTRES", kColourYellow},
                             {"FRAME", kColourYellow}, {"PORT_EDGE", kColourRed}};

// dxflib writes the objects a CAD program expects (the dictionaries, the layouts) without their
// owners, which a reader then has to repair. This writer adds each object's owner (group 330)
// after its handle: the dictionary that listed it before, or none for the root dictionary.
class OwningObjectsWriter : public DL_WriterA {
 public:
  using DL_WriterA::DL_WriterA;

  void startObjects() { inObjects_ = true; }

  void dxfHex(int gc, int value) const override {
    DL_WriterA::dxfHex(gc, value);
    noted(gc, static_cast<unsigned long>(value));
  }
  void dxfString(int gc, const std::string& value) const override {
    DL_WriterA::dxfString(gc, value);
    if (inObjects_ && (gc == kHandle || gc == kEntry)) noted(gc, std::stoul(value, nullptr, 16));
  }

 private:
  static constexpr int kHandle = 5, kOwner = 330, kEntry = 350;

  void noted(int gc, unsigned long handle) const {
    if (!inObjects_) return;
    if (gc == kEntry) owners_[handle] = current_;
    if (gc != kHandle) return;
    current_ = handle;
    const auto owner = owners_.find(handle);
    DL_WriterA::dxfHex(kOwner, owner == owners_.end() ? 0 : static_cast<int>(owner->second));
  }

  bool inObjects_ = false;
  mutable unsigned long current_ = 0;
  mutable std::map<unsigned long, unsigned long> owners_;
};

void writeTables(DL_Dxf& dxf, DL_WriterA& dw) {
  dw.sectionTables();
  dxf.writeVPort(dw);

  dw.tableLinetypes(3);
  dxf.writeLinetype(dw, DL_LinetypeData("BYBLOCK", "", 0, 0, 0.0));
  dxf.writeLinetype(dw, DL_LinetypeData("BYLAYER", "", 0, 0, 0.0));
  dxf.writeLinetype(dw, DL_LinetypeData("CONTINUOUS", "Solid line", 0, 0, 0.0));
  dw.tableEnd();

  dw.tableLayers(1 + static_cast<int>(std::size(kLayers)));
  dxf.writeLayer(dw, DL_LayerData("0", 0),
                 DL_Attributes("", DL_Codes::black, 100, "CONTINUOUS", 1.0));
  for (const Layer& layer : kLayers) {
    dxf.writeLayer(dw, DL_LayerData(layer.name, 0),
                   DL_Attributes("", layer.colour, 100, "CONTINUOUS", 1.0));
  }
  dw.tableEnd();

  dw.tableStyle(1);
  // Named as DXF names it: dxflib points the dimension style at this text style only by that
  // name, and otherwise writes a handle of nothing.
  dxf.writeStyle(dw, DL_StyleData("Standard", 0, 2.5, 1.0, 0.0, 0, 2.5, "txt", ""));
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

DL_Attributes on(const std::string& layer) {
  return DL_Attributes(layer, 256, -1, "BYLAYER", 1.0);
}

// A cross through a centre, a radius long each way.
void writeCentreMark(DL_Dxf& dxf, DL_WriterA& dw, const PlanePoint& centre, double radius) {
  dxf.writeLine(dw, DL_LineData(centre.x - radius, centre.y, 0, centre.x + radius, centre.y, 0),
                on("CENTRES"));
  dxf.writeLine(dw, DL_LineData(centre.x, centre.y - radius, 0, centre.x, centre.y + radius, 0),
                on("CENTRES"));
}

// The frame ports are drawn in: outside the bore, the chamber's dead centres where the shaft
// stands at them (top dead centre of compression on -y at 0 and 1080 degrees, bottom dead
// centre on +x at 270, top on +y at 540, bottom on -x at 810), and an arrow the way the shaft
// and the rotor turn, counterclockwise.
void writeFrame(DL_Dxf& dxf, DL_WriterA& dw, const RealOutlines& o) {
  double reach = 0;
  for (const PlanePoint& p : o.bore) reach = std::max(reach, std::hypot(p.x, p.y));
  const double gap = reach * 0.04, tick = reach * 0.06, height = reach * 0.035;
  const struct {
    double angle;
    const char* words;
  } centres[] = {{-90, "TDC 0 / 1080"}, {0, "BDC 270"}, {90, "TDC 540"}, {180, "BDC 810"}};
  for (const auto& centre : centres) {
    const double c = std::cos(centre.angle * kRadiansPerDegree),
                 s = std::sin(centre.angle * kRadiansPerDegree);
    // Where the bore crosses the ray, for the tick to start just outside it.
    double at = 0;
    for (const PlanePoint& p : o.bore) {
      if (std::abs(p.x * s - p.y * c) < reach * 0.02 && p.x * c + p.y * s > 0) {
        at = std::max(at, p.x * c + p.y * s);
      }
    }
    const double from = at + gap, to = from + tick;
    dxf.writeLine(dw, DL_LineData(from * c, from * s, 0, to * c, to * s, 0), on("FRAME"));
    const double text = to + gap;
    // Beyond the tick, on the ray: left, centred or right aligned, and below, in the middle or
    // above, as the ray goes out.
    const int across = c > 0.5 ? 0 : c < -0.5 ? 2 : 1, up = s < -0.5 ? 3 : s > 0.5 ? 1 : 2;
    dxf.writeText(dw,
                  DL_TextData(text * c, text * s, 0, text * c, text * s, 0, height, 1, 0, across,
                              up, centre.words, "Standard", 0),
                  on("FRAME"));
  }
  // The arrow: an arc from 20 to 70 degrees beyond the bore, its head at 70.
  const double radius = reach + gap + tick / 2;
  dxf.writeArc(dw, DL_ArcData(0, 0, 0, radius, 20, 70), on("FRAME"));
  const double head = 70 * kRadiansPerDegree, size = tick;
  const PlanePoint tip{radius * std::cos(head), radius * std::sin(head)};
  // Back along the arc's direction (-sin, cos) and out and in across it.
  const PlanePoint back{tip.x + size * std::sin(head), tip.y - size * std::cos(head)};
  for (const double side : {-0.35, 0.35}) {
    dxf.writeLine(dw,
                  DL_LineData(tip.x, tip.y, 0, back.x + side * size * std::cos(head),
                              back.y + side * size * std::sin(head), 0),
                  on("FRAME"));
  }
  const double words = 45 * kRadiansPerDegree, out = radius + gap;
  dxf.writeText(dw,
                DL_TextData(out * std::cos(words), out * std::sin(words), 0, out * std::cos(words),
                            out * std::sin(words), 0, height, 1, 0, 0, 1,
                            "shaft and rotor turn counterclockwise", "Standard", 0),
                on("FRAME"));
}

// The objects and the end of a drawing whose entities are written.
bool finishDxf(DL_Dxf& dxf, DL_WriterA& writer, std::string& error);

bool drawDxfInto(const std::string& path, const RealOutlines& o, const RealEngine& real,
                 int insunits, std::string& error, const PortEdge* edge);

bool drawDxfWith(const RealOutlines& o, const RealEngine& real, int insunits, std::string& content,
                 std::string& error, const PortEdge* edge) {
  // dxflib writes only to a named file: a file in memory, named through /proc, read back. No
  // folder's room or rights come into it, so the DXF is made wherever the user may write.
  const int fd = memfd_create("rotary-ratio-dxf", MFD_CLOEXEC);
  if (fd < 0) {
    error = std::string("no room for the drawing: ") + std::strerror(errno);
    return false;
  }
  const bool drawn =
      drawDxfInto("/proc/self/fd/" + std::to_string(fd), o, real, insunits, error, edge);
  if (drawn) {
    content.clear();
    char buffer[65536];
    for (off_t at = 0;;) {
      const ssize_t got = pread(fd, buffer, sizeof buffer, at);
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) {
        error = std::string("the drawing cannot be read back: ") + std::strerror(errno);
        close(fd);
        return false;
      }
      if (got == 0) break;
      content.append(buffer, static_cast<std::size_t>(got));
      at += got;
    }
  }
  close(fd);
  return drawn;
}

// Half the 0.001 mm a machinist may allow: the chords of the outlines stray no further from the
// true curves.
constexpr double kChordError = 0.0005;

}  // namespace

bool drawDxf(const RealOutlines& o, const RealEngine& real, int insunits, std::string& content,
             std::string& error) {
  return drawDxfWith(o, real, insunits, content, error, nullptr);
}

bool drawEngineDxf(double e, double R, const RealEngine& real, int insunits, std::string& content,
                   std::string& error) {
  return drawDxf(realOutlines(e, R, real, kChordError), real, insunits, content, error);
}

bool drawPortEdgeDxf(double e, double R, const RealEngine& real, const PortEdge& edge, int insunits,
                     std::string& content, std::string& error) {
  return drawDxfWith(realOutlines(e, R, real, kChordError), real, insunits, content, error, &edge);
}

namespace {

bool drawDxfInto(const std::string& path, const RealOutlines& o, const RealEngine& real,
                 int insunits, std::string& error, const PortEdge* edge) {
  DL_Dxf dxf;
  errno = 0;
  const auto dw = std::make_unique<OwningObjectsWriter>(path.c_str(), DL_Codes::AC1015);
  if (dw->openFailed()) {
    error = std::string("the drawing cannot be made: ") + std::strerror(errno ? errno : EIO);
    return false;
  }
  dxf.writeHeader(*dw);
  dw->dxfString(9, "$INSUNITS");
  dw->dxfInt(70, insunits);
  dw->sectionEnd();
  writeTables(dxf, *dw);
  writeBlocks(dxf, *dw);

  dw->sectionEntities();
  writeClosedPolyline(dxf, *dw, o.bore, "HOUSING");
  if (edge) {
    // The template: the bore, the frame and the flank's line at the shaft angle, open.
    dxf.writePolyline(*dw, DL_PolylineData(static_cast<int>(edge->flank.size()), 0, 0, 0),
                      on("PORT_EDGE"));
    for (const PlanePoint& p : edge->flank) {
      dxf.writeVertex(*dw, DL_VertexData(p.x, p.y, 0.0, 0.0));
    }
    dxf.writePolylineEnd(*dw);
    const PlanePoint middle = edge->flank[edge->flank.size() / 2];
    double reach = 0;
    for (const PlanePoint& p : o.bore) reach = std::max(reach, std::hypot(p.x, p.y));
    dxf.writeText(
        *dw,
        DL_TextData(middle.x, middle.y, 0, middle.x, middle.y, 0, reach * 0.03, 1, 0, 1, 1,
                    "the flank at " + formatNumber(edge->shaftAngle) + " degrees", "Standard", 0),
        on("PORT_EDGE"));
    writeFrame(dxf, *dw, o);
    dw->sectionEnd();
    return finishDxf(dxf, *dw, error);
  }
  if (real.sealOffset > 0) writeClosedPolyline(dxf, *dw, o.trochoid, "TROCHOID");
  writeClosedPolyline(dxf, *dw, o.rotor, "ROTOR");
  if (real.clearance > 0) writeClosedPolyline(dxf, *dw, o.rotorLimit, "ROTOR_LIMIT");
  for (const GearCircle& gear : {o.housingGear, o.rotorGear}) {
    dxf.writeCircle(*dw, DL_CircleData(gear.centre.x, gear.centre.y, 0, gear.radius), on("GEARS"));
  }
  const double mark = o.housingGear.radius / 10;
  writeCentreMark(dxf, *dw, o.crankAxis, mark);
  writeCentreMark(dxf, *dw, o.rotorCentre, mark);
  writeFrame(dxf, *dw, o);
  dw->sectionEnd();
  return finishDxf(dxf, *dw, error);
}

bool finishDxf(DL_Dxf& dxf, DL_WriterA& writer, std::string& error) {
  auto* dw = static_cast<OwningObjectsWriter*>(&writer);
  dw->startObjects();
  dxf.writeObjects(*dw);
  dxf.writeObjectsEnd(*dw);
  dw->dxfEOF();
  dw->close();
  if (dw->openFailed()) {
    error = std::string("the drawing cannot be made: ") + std::strerror(errno ? errno : EIO);
    return false;
  }
  return true;
}

}  // namespace

}  // namespace rotary::formats
