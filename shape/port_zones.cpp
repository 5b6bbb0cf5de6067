#include "port_zones.h"

#include <algorithm>
#define BOOST_GEOMETRY_NO_ROBUSTNESS
#include <boost/geometry.hpp>
#include <boost/geometry/geometries/point_xy.hpp>
#include <boost/geometry/geometries/polygon.hpp>
#include <boost/geometry/geometries/segment.hpp>
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
  const auto clamped = [](double value, int size) {
    return std::clamp(static_cast<int>(std::floor(value)), 0, size - 1);
  };
  for (std::size_t n = 0; n < outline.size(); ++n) {
    const PlanePoint& a = outline[n];
    const PlanePoint& b = outline[(n + 1) % outline.size()];
    const bg::model::segment<Point> edge(Point(a.x, a.y), Point(b.x, b.y));
    const int fromColumn = clamped((std::min(a.x, b.x) - reach - left_) / cell_, columns_);
    const int toColumn = clamped((std::max(a.x, b.x) + reach - left_) / cell_, columns_);
    const int fromRow = clamped((std::min(a.y, b.y) - reach - bottom_) / cell_, rows_);
    const int toRow = clamped((std::max(a.y, b.y) + reach - bottom_) / cell_, rows_);
    for (int row = fromRow; row <= toRow; ++row) {
      for (int column = fromColumn; column <= toColumn; ++column) {
        if (bg::distance(centre(column, row), edge) <= reach) {
          zones_[row * columns_ + column] = kEdge;
        }
      }
    }
  }
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
  // far), then one more for each ring of cells further from such.
  rooms_.assign(zones_.size(), -1);
  std::vector<int> ring;
  for (int row = 0; row < rows_; ++row) {
    for (int column = 0; column < columns_; ++column) {
      const int cell = row * columns_ + column;
      bool beside = false;
      for (int dr = -1; dr <= 1 && !beside; ++dr) {
        for (int dc = -1; dc <= 1 && !beside; ++dc) {
          const int r = row + dr, c = column + dc;
          beside = r < 0 || c < 0 || r >= rows_ || c >= columns_
                       ? zones_[cell] != kFar
                       : zones_[r * columns_ + c] != zones_[cell];
        }
      }
      if (beside) rooms_[cell] = 0, ring.push_back(cell);
    }
  }
  for (int room = 1; !ring.empty(); ++room) {
    std::vector<int> next;
    for (const int cell : ring) {
      const int row = cell / columns_, column = cell % columns_;
      for (int dr = -1; dr <= 1; ++dr) {
        for (int dc = -1; dc <= 1; ++dc) {
          const int r = row + dr, c = column + dc;
          if (r < 0 || c < 0 || r >= rows_ || c >= columns_) continue;
          if (rooms_[r * columns_ + c] < 0)
            rooms_[r * columns_ + c] = room, next.push_back(r * columns_ + c);
        }
      }
    }
    ring.swap(next);
  }
}

}  // namespace rotary
