// The clipping of lines to the surface, before the painter: what lies beyond an edge never
// reaches it, and what crosses is cut exactly at the edges.
#include "clipping.h"

#include <gtest/gtest.h>

namespace rotary::app {
namespace {

struct ClipCase {
  const char* name;
  QPointF a, b;
  bool inside;
  QPointF clippedA, clippedB;  // where inside
};

void PrintTo(const ClipCase& c, std::ostream* os) {
  *os << c.name;
}

class Clipping : public ::testing::TestWithParam<ClipCase> {};

TEST_P(Clipping, KeepsWhatLiesInTheBoxAndCutsAtItsEdges) {
  const ClipCase& c = GetParam();
  const QRectF box(0, 0, 100, 50);
  QPointF a = c.a, b = c.b;
  ASSERT_EQ(clipToBox(a, b, box), c.inside);
  if (!c.inside) return;
  EXPECT_EQ(a, c.clippedA);
  EXPECT_EQ(b, c.clippedB);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Clipping,
    ::testing::Values(
        ClipCase{"Inside", {10, 10}, {20, 30}, true, {10, 10}, {20, 30}},
        // Parallel to an edge and beyond it: the sides never cut it, and nothing of it is inside.
        ClipCase{"AboveAlongTheTop", {-1e30, -5}, {1e30, -5}, false, {}, {}},
        ClipCase{"BelowAlongTheBottom", {-10, 60}, {110, 60}, false, {}, {}},
        ClipCase{"LeftAlongTheSide", {-1, -1e30}, {-1, 1e30}, false, {}, {}},
        ClipCase{"RightAlongTheSide", {101, 10}, {101, 20}, false, {}, {}},
        ClipCase{"ShortAndBeyond", {150, 10}, {160, 10}, false, {}, {}},
        ClipCase{"Diagonal", {-50, -25}, {150, 75}, true, {0, 0}, {100, 50}},
        ClipCase{"AcrossFromFar", {-1e30, 10}, {1e30, 10}, true, {0, 10}, {100, 10}},
        ClipCase{"DownFromFar", {40, -1e30}, {40, 1e30}, true, {40, 0}, {40, 50}},
        ClipCase{"OnTheEdge", {0, 0}, {100, 0}, true, {0, 0}, {100, 0}},
        ClipCase{"MissingACorner", {90, -20}, {130, 20}, false, {}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace rotary::app
