#include "port_zones.h"

#include <algorithm>
#define BOOST_GEOMETRY_NO_ROBUSTNESS
#include <boost/geometry.hpp>
#include <boost/geometry/geometries/point_xy.hpp>
#include <boost/geometry/geometries/polygon.hpp>
#include <cmath>

namespace rotary {
namespace {

namespace bg = boost::geometry;
using Point = bg::model::d2::point_xy<double>;

// Cells along the longer side of the port's box grown by the band.
constexpr int kCellsAcross = 64;

}  // namespace

PortZones::PortZones(const Polyline& outline, double band) {
  double right = -INFINITY, top = -INFINITY;
  left_ = bottom_ = INFINITY;
  for (const PlanePoint& p : outline) {
    left_ = std::min(left_, p.x), right = std::max(right, p.x);
    bottom_ = std::min(bottom_, p.y), top = std::max(top, p.y);
  }
  left_ -= band, bottom_ -= band, right += band, top += band;
  cell_ = std::max(right - left_, top - bottom_) / kCellsAcross;
  columns_ = static_cast<int>(std::ceil((right - left_) / cell_));
  rows_ = static_cast<int>(std::ceil((top - bottom_) / cell_));
  zones_.assign(static_cast<std::size_t>(columns_ * rows_), kFar);
  const auto centre = [&](int column, int row) {
    return Point(left_ + (column + 0.5) * cell_, bottom_ + (row + 0.5) * cell_);
  };
  // A cell holds a point within the band of an edge only if its centre lies within the band and
  // half the cell's diagonal of it.
  const double reach = band + cell_ * std::sqrt(0.5);
  band_ = band;
  // Each edge's cells row by row: a row's centres within reach of the edge make one run, the
  // line through them cut by the edge's stadium (its band round both ends).
  std::vector<std::pair<int, int>> cellEdges;  // cell, edge
  for (std::size_t n = 0; n < outline.size(); ++n) {
    const PlanePoint& a = outline[n];
    const PlanePoint& b = outline[(n + 1) % outline.size()];
    const double dx = b.x - a.x, dy = b.y - a.y, length = std::hypot(dx, dy);
    edges_.push_back({a, dx, dy, dx * dx + dy * dy});
    for (int row = 0; row < rows_; ++row) {
      const double y = bottom_ + (row + 0.5) * cell_;
      double from = INFINITY, to = -INFINITY;
      // The discs round the ends.
      for (const PlanePoint& end : {a, b}) {
        const double across = reach * reach - (y - end.y) * (y - end.y);
        if (across >= 0) {
          from = std::min(from, end.x - std::sqrt(across));
          to = std::max(to, end.x + std::sqrt(across));
        }
      }
      // The strip along the edge: within reach across it, and between its ends along it.
      if (length > 0) {
        double low = -INFINITY, high = INFINITY;
        const auto within = [&](double slope, double at, double least, double most) {
          // least <= slope x + at <= most
          if (slope == 0) {
            if (at < least || at > most) low = INFINITY, high = -INFINITY;
            return;
          }
          const double one = (least - at) / slope, other = (most - at) / slope;
          low = std::max(low, std::min(one, other));
          high = std::min(high, std::max(one, other));
        };
        // Across: (dx (y - a.y) - dy (x - a.x)) / length; along: (dx (x - a.x) + dy (y - a.y)).
        within(-dy / length, (dx * (y - a.y) + dy * a.x) / length, -reach, reach);
        within(dx, dy * (y - a.y) - dx * a.x, 0, length * length);
        if (low <= high) from = std::min(from, low), to = std::max(to, high);
      }
      if (!(from <= to)) continue;
      const int first = std::max(0, static_cast<int>(std::ceil((from - left_) / cell_ - 0.5)));
      const int last =
          std::min(columns_ - 1, static_cast<int>(std::floor((to - left_) / cell_ - 0.5)));
      for (int column = first; column <= last; ++column) {
        zones_[row * columns_ + column] = kEdge;
        cellEdges.emplace_back(row * columns_ + column, static_cast<int>(n));
      }
    }
  }
  std::sort(cellEdges.begin(), cellEdges.end());
  edgesFrom_.assign(zones_.size() + 1, 0);
  for (const auto& [cell, edge] : cellEdges) {
    ++edgesFrom_[cell + 1];
    edgeList_.push_back(edge);
  }
  for (std::size_t cell = 0; cell < zones_.size(); ++cell) edgesFrom_[cell + 1] += edgesFrom_[cell];
  // The cells beyond the band fall into stretches the edges' band parts; each lies wholly inside
  // the port or wholly outside it, as an edge between two cells side by side would put both in
  // the band. One cell of each says which.
  bg::model::polygon<Point> port;
  for (const PlanePoint& p : outline) bg::append(port.outer(), Point(p.x, p.y));
  bg::append(port.outer(), Point(outline.front().x, outline.front().y));
  bg::correct(port);
  std::vector<char> seen(zones_.size(), 0);
  std::vector<int> stack;
  for (int first = 0; first < columns_ * rows_; ++first) {
    if (seen[first] || zones_[first] == kEdge) continue;
    const char zone = bg::within(centre(first % columns_, first / columns_), port) ? kInside : kFar;
    stack.assign(1, first);
    seen[first] = 1;
    while (!stack.empty()) {
      const int cell = stack.back();
      stack.pop_back();
      zones_[cell] = zone;
      const int column = cell % columns_, row = cell / columns_;
      for (const auto& [dc, dr] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
        const int c = column + dc, r = row + dr;
        if (c < 0 || r < 0 || c >= columns_ || r >= rows_) continue;
        const int next = r * columns_ + c;
        if (seen[next] || zones_[next] == kEdge) continue;
        seen[next] = 1;
        stack.push_back(next);
      }
    }
  }
  // The rooms: nil for a cell beside another zone's (or the grid's edge, beyond which all is
  // far), then the cells' distance from those, counted in whole cells any way round, in two
  // sweeps over the grid.
  constexpr int kOpen = 1 << 29;
  rooms_.assign(zones_.size(), kOpen);
  for (int row = 0; row < rows_; ++row) {
    for (int column = 0; column < columns_; ++column) {
      const int cell = row * columns_ + column;
      const bool onTheRim = row == 0 || column == 0 || row + 1 == rows_ || column + 1 == columns_;
      if (onTheRim && zones_[cell] != kFar) rooms_[cell] = 0;
      for (const auto& [dr, dc] : {std::pair{0, 1}, {1, -1}, {1, 0}, {1, 1}}) {
        const int r = row + dr, c = column + dc;
        if (r >= rows_ || c < 0 || c >= columns_) continue;
        const int other = r * columns_ + c;
        if (zones_[other] != zones_[cell]) rooms_[cell] = rooms_[other] = 0;
      }
    }
  }
  const auto nearer = [&](int cell, int row, int column) {
    if (row < 0 || column < 0 || row >= rows_ || column >= columns_) return;
    rooms_[cell] = std::min(rooms_[cell], rooms_[row * columns_ + column] + 1);
  };
  for (int row = 0; row < rows_; ++row) {
    for (int column = 0; column < columns_; ++column) {
      const int cell = row * columns_ + column;
      nearer(cell, row - 1, column - 1), nearer(cell, row - 1, column);
      nearer(cell, row - 1, column + 1), nearer(cell, row, column - 1);
    }
  }
  for (int row = rows_ - 1; row >= 0; --row) {
    for (int column = columns_ - 1; column >= 0; --column) {
      const int cell = row * columns_ + column;
      nearer(cell, row + 1, column + 1), nearer(cell, row + 1, column);
      nearer(cell, row + 1, column - 1), nearer(cell, row, column + 1);
    }
  }
}

}  // namespace rotary
