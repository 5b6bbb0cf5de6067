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
  double left_ = 0, bottom_ = 0, cell_ = 1;
  int columns_ = 0, rows_ = 0;
  std::vector<char> zones_;
  // For each cell, how many cells all round it share its zone.
  std::vector<int> rooms_;
};

}  // namespace rotary
