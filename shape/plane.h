// Points and polylines in the plane, for the outlines the figures and CAD files show.
#pragma once

#include <vector>

namespace rotary {

struct PlanePoint {
  double x;
  double y;
};
using Polyline = std::vector<PlanePoint>;

}  // namespace rotary
