// Prints one chamber's outline as x,y lines in the lengths' unit, for the checks that measure it
// with a polygon library of their own:
//   chamber_outline_points E R SEAL_OFFSET CLEARANCE SHAFT_ANGLE_DEG
#include <cstdio>
#include <cstdlib>
#include <numbers>

#include "dense_chamber_outline.h"

int main(int argc, char** argv) {
  if (argc != 6) {
    std::fprintf(stderr, "usage: %s E R SEAL_OFFSET CLEARANCE SHAFT_ANGLE_DEG\n", argv[0]);
    return 2;
  }
  const double e = std::atof(argv[1]), R = std::atof(argv[2]), A = std::atof(argv[3]),
               C = std::atof(argv[4]), shaft = std::atof(argv[5]);
  const double a = 2 * shaft / 3 * std::numbers::pi / 180;
  for (const rotary::exact::Point& p :
       rotary::testing::chamberOutline(R / e, {A / e, (A - C) / e}, a, 20000)) {
    std::printf("%.17g,%.17g\n", p.x * e, p.y * e);
  }
  return 0;
}
