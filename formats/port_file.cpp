#include "port_file.h"

#include <dxflib/dl_creationadapter.h>
#include <dxflib/dl_dxf.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <optional>
#include <vector>

#include "number_text.h"

namespace rotary::formats {
namespace {

using std::numbers::pi;

constexpr std::uintmax_t kLargestPortFile = 64u << 20;

bool endsWith(const std::string& text, const std::string& end) {
  if (text.size() < end.size()) return false;
  return std::equal(end.rbegin(), end.rend(), text.rbegin(),
                    [](char a, char b) { return std::tolower(a) == std::tolower(b); });
}

// An arc from `from` turning by `turn` radians about `centre`, as chords within `chordError`,
// its first point left out.
void addArc(Polyline& line, PlanePoint centre, double radius, double start, double turn,
            double chordError) {
  const double most = radius > chordError ? 2 * std::acos(1 - chordError / radius) : pi;
  const int pieces = std::max(1, static_cast<int>(std::ceil(std::abs(turn) / most)));
  for (int n = 1; n <= pieces; ++n) {
    const double t = start + turn * n / pieces;
    line.push_back({centre.x + radius * std::cos(t), centre.y + radius * std::sin(t)});
  }
}

// The outlines a DXF holds: closed polylines and circles whole, lines and arcs as pieces to be
// joined end to end.
class OutlineReader : public DL_CreationAdapter {
 public:
  explicit OutlineReader(double chordError) : chordError_(chordError) {}

  void addPolyline(const DL_PolylineData& data) override {
    finishPolyline();
    polyline_.emplace();
    closed_ = (data.flags & 1) != 0;
  }
  void addVertex(const DL_VertexData& data) override {
    if (!polyline_) return;
    // A bulge turns the way to the next vertex into an arc; it is known once that one comes.
    if (!polyline_->empty() && bulge_ != 0) bulgeTo({data.x, data.y});
    polyline_->push_back({data.x, data.y});
    bulge_ = data.bulge;
  }
  // A polyline's vertices end with SEQEND (POLYLINE) or with the next entity (LWPOLYLINE).
  void endSequence() override { finishPolyline(); }
  void addLine(const DL_LineData& data) override {
    finishPolyline();
    pieces_.push_back({{data.x1, data.y1}, {data.x2, data.y2}});
  }
  void addArc(const DL_ArcData& data) override {
    finishPolyline();
    const double start = data.angle1 * pi / 180;
    double turn = (data.angle2 - data.angle1) * pi / 180;
    while (turn <= 0) turn += 2 * pi;
    Polyline piece = {
        {data.cx + data.radius * std::cos(start), data.cy + data.radius * std::sin(start)}};
    rotary::formats::addArc(piece, {data.cx, data.cy}, data.radius, start, turn, chordError_);
    pieces_.push_back(piece);
  }
  void addCircle(const DL_CircleData& data) override {
    finishPolyline();
    Polyline circle;
    rotary::formats::addArc(circle, {data.cx, data.cy}, data.radius, 0, 2 * pi, chordError_);
    circle.pop_back();  // the first point again
    outlines_.push_back(circle);
  }

  // Every closed outline, with the loops the lines and arcs make; `open` counts what is left.
  std::vector<Polyline> outlines(int& open) {
    finishPolyline();
    std::vector<Polyline> found = outlines_;
    open = openPolylines_;
    std::vector<Polyline> pieces = pieces_;
    const auto same = [&](PlanePoint a, PlanePoint b) {
      return std::hypot(a.x - b.x, a.y - b.y) <= chordError_;
    };
    while (!pieces.empty()) {
      Polyline loop = pieces.front();
      pieces.erase(pieces.begin());
      bool grew = true;
      while (grew && !same(loop.front(), loop.back())) {
        grew = false;
        for (auto piece = pieces.begin(); piece != pieces.end(); ++piece) {
          if (same(piece->back(), loop.back())) std::reverse(piece->begin(), piece->end());
          if (!same(piece->front(), loop.back())) continue;
          loop.insert(loop.end(), piece->begin() + 1, piece->end());
          pieces.erase(piece);
          grew = true;
          break;
        }
      }
      if (loop.size() > 2 && same(loop.front(), loop.back())) {
        loop.pop_back();
        found.push_back(loop);
      } else {
        ++open;
      }
    }
    return found;
  }

 private:
  void bulgeTo(PlanePoint to) {
    const PlanePoint from = polyline_->back();
    // The bulge is the tangent of a quarter of the arc's angle, positive counterclockwise.
    const double turn = 4 * std::atan(bulge_);
    const double chord = std::hypot(to.x - from.x, to.y - from.y);
    const double radius = chord / (2 * std::sin(std::abs(turn) / 2));
    const double mx = (from.x + to.x) / 2, my = (from.y + to.y) / 2;
    // From the chord's middle to the centre, on the left of the chord for a counterclockwise arc.
    const double toCentre = radius * std::cos(std::abs(turn) / 2) * (turn > 0 ? 1 : -1);
    const double nx = -(to.y - from.y) / chord, ny = (to.x - from.x) / chord;
    const PlanePoint centre{mx + nx * toCentre, my + ny * toCentre};
    const double start = std::atan2(from.y - centre.y, from.x - centre.x);
    rotary::formats::addArc(*polyline_, centre, radius, start, turn, chordError_);
    polyline_->pop_back();  // `to` itself comes as the vertex
  }
  void finishPolyline() {
    if (!polyline_) return;
    if (closed_ && bulge_ != 0 && polyline_->size() > 1) bulgeTo(polyline_->front());
    if (closed_ && polyline_->size() > 2) {
      outlines_.push_back(*polyline_);
    } else {
      ++openPolylines_;
    }
    polyline_.reset();
    bulge_ = 0;
  }

  double chordError_;
  std::optional<Polyline> polyline_;
  bool closed_ = false;
  double bulge_ = 0;
  int openPolylines_ = 0;
  std::vector<Polyline> outlines_;
  std::vector<Polyline> pieces_;
};

bool readDxf(const std::string& path, Polyline& outline, std::string& error, double chordError) {
  OutlineReader reader(chordError);
  DL_Dxf dxf;
  if (!dxf.in(path, &reader)) {
    error = "cannot be read as a DXF";
    return false;
  }
  int open = 0;
  const std::vector<Polyline> found = reader.outlines(open);
  if (found.size() != 1) {
    error = found.empty() ? (open > 0 ? "holds no closed outline: its lines do not close"
                                      : "holds no outline")
                          : "holds " + std::to_string(found.size()) +
                                " closed outlines; give each port a file of its own";
    return false;
  }
  outline = found.front();
  return true;
}

bool readCsv(const std::string& path, Polyline& outline, std::string& error) {
  std::ifstream in(path);
  if (!in) return false;
  std::string line;
  bool named = false;
  for (int number = 1; std::getline(in, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    const auto comma = line.find(',');
    const auto x = parseNumber(line.substr(0, comma));
    const auto y = comma == std::string::npos ? std::nullopt : parseNumber(line.substr(comma + 1));
    if (!x || !y || !std::isfinite(*x) || !std::isfinite(*y)) {
      // A first line of names, after any comments, heads the columns.
      if (outline.empty() && !named && line.find_first_of("0123456789") == std::string::npos) {
        named = true;
        continue;
      }
      error = "line " + std::to_string(number) + ": " + quoteForMessage(line) +
              " is not two numbers x,y";
      return false;
    }
    outline.push_back({*x, *y});
  }
  if (in.bad()) return false;
  // A last point that repeats the first closes the outline, as it closes anyway.
  if (outline.size() > 1 && outline.front().x == outline.back().x &&
      outline.front().y == outline.back().y) {
    outline.pop_back();
  }
  if (outline.empty()) error = "holds no points";
  return error.empty();
}

}  // namespace

bool readPortOutline(const std::string& path, Polyline& outline, std::string& error,
                     double chordError) {
  outline.clear();
  error.clear();
  std::ifstream probe(path);
  if (!probe) {
    error = std::strerror(errno ? errno : ENOENT);
    return false;
  }
  probe.close();
  // A device or a pipe would be read without end: an outline comes from a file of its own.
  std::error_code failed;
  if (!std::filesystem::is_regular_file(path, failed)) {
    error = "is not a file of its own (a device, a pipe or a folder)";
    return false;
  }
  if (std::filesystem::file_size(path, failed) > kLargestPortFile) {
    error = "is larger than 64 MiB, more than any port's outline";
    return false;
  }
  if (endsWith(path, ".dxf")) return readDxf(path, outline, error, chordError);
  if (endsWith(path, ".csv")) {
    if (readCsv(path, outline, error)) return true;
    if (error.empty()) error = std::strerror(errno ? errno : EIO);
    return false;
  }
  error = "is neither .dxf nor .csv";
  return false;
}

std::optional<PortDefinition> readSidePort(PortRole role, const std::string& path,
                                           const std::string& source, study::Face face,
                                           std::string& refusal) {
  Polyline outline;
  std::string why;
  if (!readPortOutline(path, outline, why)) {
    const study::Field field =
        role == PortRole::kIntake ? study::Field::kIntakePort : study::Field::kExhaustPort;
    refusal = study::refusalWords(field, face, path, why, ": ");
    return std::nullopt;
  }
  return PortDefinition::sidePort(role, outline, source);
}

}  // namespace rotary::formats
