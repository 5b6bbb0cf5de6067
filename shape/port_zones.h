// Where a point stands against a side port: far from it, within a band of its edges, or inside
// it beyond the band. Judged on a grid laid over the port's box, and always on the safe side: a
// point within the band of an edge is never judged far or inside, and a point judged inside lies
// inside. The chamber's outline keeps every point near the port's edges, where it meets them;
// inside the port fewer do.
#pragma once

#include <algorithm>
#include <vector>

#include "plane.h"

namespace rotary {

class PortZones {
 public:
  enum Zone : char { kFar, kEdge, kInside };

  // `outline` closed (its last point joins its first), not crossing itself; `band` above zero.
  PortZones(const Polyline& outline, double band);

  Zone at(PlanePoint p) const {
    const double column = (p.x - left_) / cell_, row = (p.y - bottom_) / cell_;
    if (!(column >= 0 && row >= 0 && column < columns_ && row < rows_)) return kFar;
    return static_cast<Zone>(zones_[static_cast<int>(row) * columns_ + static_cast<int>(column)]);
  }

  // Whether a point lies within the band of an edge itself. The cells of the edges' band hold
  // points up to a cell further off, which the chamber's outline need not keep.
  bool withinBand(PlanePoint p) const {
    const double column = (p.x - left_) / cell_, row = (p.y - bottom_) / cell_;
    if (!(column >= 0 && row >= 0 && column < columns_ && row < rows_)) return false;
    const int cell = static_cast<int>(row) * columns_ + static_cast<int>(column);
    for (int n = edgesFrom_[cell]; n < edgesFrom_[cell + 1]; ++n) {
      if (edges_[edgeList_[n]].within(p, band_)) return true;
    }
    return false;
  }

  // How far a point may move and stay in its zone, at the least.
  double room(PlanePoint p) const {
    const double column = (p.x - left_) / cell_, row = (p.y - bottom_) / cell_;
    if (!(column >= 0 && row >= 0 && column < columns_ && row < rows_)) {
      const double out = std::max({-column, -row, column - columns_, row - rows_});
      return out * cell_;
    }
    return cell_ * rooms_[static_cast<int>(row) * columns_ + static_cast<int>(column)];
  }

  // The grid's box: every point outside it is far.
  double left() const { return left_; }
  double bottom() const { return bottom_; }
  double right() const { return left_ + columns_ * cell_; }
  double top() const { return bottom_ + rows_ * cell_; }

 private:
  struct Edge {
    PlanePoint a;
    double dx, dy, squared;  // b - a, and its length squared
    bool within(PlanePoint p, double band) const {
      const double along = (p.x - a.x) * dx + (p.y - a.y) * dy;
      const double t = squared > 0 ? std::clamp(along / squared, 0.0, 1.0) : 0;
      const double x = p.x - a.x - t * dx, y = p.y - a.y - t * dy;
      return x * x + y * y <= band * band;
    }
  };

  double left_ = 0, bottom_ = 0, cell_ = 1, band_ = 0;
  int columns_ = 0, rows_ = 0;
  std::vector<char> zones_;
  // For each cell, how many cells all round it share its zone.
  std::vector<int> rooms_;
  // The edges, and for each cell of the band the edges whose band reaches into it: those of
  // cell c are edgeList_[edgesFrom_[c]] to edgeList_[edgesFrom_[c + 1] - 1].
  std::vector<Edge> edges_;
  std::vector<int> edgesFrom_, edgeList_;
};

}  // namespace rotary
