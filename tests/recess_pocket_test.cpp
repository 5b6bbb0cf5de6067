// The recess pocket's section against the polygon of its own outline: the flank sampled finely
// along the pocket, its parallel the depth inside, closed by the two ends square to the flank.
#include "recess_pocket.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "real_shape.h"

namespace rotary {
namespace {

struct Sample {
  double x, y, nx, ny;  // a flank point and its outward normal, in lengths
};

// The moved flank sampled finely in its parameter, with the length from its middle at each
// sample by the chords: independent of the pocket's own integral and its inversion.
class FlankTable {
 public:
  FlankTable(double e, double R, const RealEngine& real)
      : e_(e), K_(R / e), offset_((real.sealOffset - real.clearance) / e) {
    const double end = exact::flankEnd(K_, offset_);
    constexpr int kSamples = 200000;
    exact::Point before = exact::rotorFlankPoint(K_, exact::kFlankMiddle, offset_);
    double length = 0;
    for (int k = 0; k <= kSamples; ++k) {
      const double r = exact::kFlankMiddle + (end - exact::kFlankMiddle) * k / kSamples;
      const exact::Point p = exact::rotorFlankPoint(K_, r, offset_);
      length += std::hypot(p.x - before.x, p.y - before.y) * e;
      before = p;
      r_.push_back(r);
      s_.push_back(length);
    }
  }
  // The point at signed length s from the middle, and its outward normal.
  Sample at(double s) const {
    const double target = std::abs(s);
    const auto above = std::lower_bound(s_.begin(), s_.end(), target);
    const std::size_t k = std::clamp<std::size_t>(above - s_.begin(), 1, s_.size() - 1);
    const double f = (target - s_[k - 1]) / (s_[k] - s_[k - 1]);
    const double r = r_[k - 1] + f * (r_[k] - r_[k - 1]);
    exact::Point p = exact::rotorFlankPoint(K_, r, offset_);
    exact::Point n = exact::flankNormal(K_, r);
    if (s < 0) p.x = -p.x, n.x = -n.x;
    return {p.x * e_, p.y * e_, n.x, n.y};
  }

 private:
  double e_, K_, offset_;
  std::vector<double> r_, s_;
};

double polygonArea(const std::vector<std::pair<double, double>>& points) {
  double twice = 0;
  for (std::size_t k = 0; k < points.size(); ++k) {
    const auto& [x0, y0] = points[k];
    const auto& [x1, y1] = points[(k + 1) % points.size()];
    twice += x0 * y1 - x1 * y0;
  }
  return std::abs(twice) / 2;
}

struct PocketCase {
  double A, C, length, width, lead, depth;
};

class Pocket : public ::testing::TestWithParam<PocketCase> {};

TEST_P(Pocket, SectionIsTheStripBetweenTheFlankAndItsParallel) {
  const PocketCase& c = GetParam();
  const double e = 15, R = 105;
  const RealEngine real{c.A, c.C, 0};
  const RecessPocket pocket{c.length, c.width, c.lead};
  const auto figures = pocketFigures(e, R, real, pocket, c.depth);
  ASSERT_TRUE(figures);
  // The outline: along the flank, then back along its parallel the depth inside.
  constexpr int kSamples = 400;
  std::vector<std::pair<double, double>> outline;
  std::vector<Sample> flank;
  const FlankTable table(e, R, real);
  for (int k = 0; k <= kSamples; ++k) {
    flank.push_back(table.at(figures->from + (figures->to - figures->from) * k / kSamples));
  }
  for (const Sample& p : flank) outline.emplace_back(p.x, p.y);
  for (auto p = flank.rbegin(); p != flank.rend(); ++p) {
    outline.emplace_back(p->x - c.depth * p->nx, p->y - c.depth * p->ny);
  }
  const double section = polygonArea(outline);
  EXPECT_NEAR(figures->volume, section * c.width, 1e-6 * section * c.width);
  // The walls it adds: its floor, the inner line's length across the width, its two ends and two
  // sides, less the flank it takes away.
  double floor = 0;
  for (std::size_t k = 1; k < flank.size(); ++k) {
    const auto inner = [&](const Sample& p) {
      return std::pair{p.x - c.depth * p.nx, p.y - c.depth * p.ny};
    };
    const auto [x0, y0] = inner(flank[k - 1]);
    const auto [x1, y1] = inner(flank[k]);
    floor += std::hypot(x1 - x0, y1 - y0);
  }
  const double walls = (floor - c.length) * c.width + 2 * c.depth * c.width + 2 * section;
  EXPECT_NEAR(figures->wallArea, walls, 1e-5 * walls);
  // The depth found back for that volume is the depth.
  const auto depth = pocketDepthFor(e, R, real, pocket, figures->volume);
  ASSERT_TRUE(depth);
  EXPECT_NEAR(*depth, c.depth, 1e-9 * c.depth);
}

INSTANTIATE_TEST_SUITE_P(Table, Pocket,
                         ::testing::Values(PocketCase{0, 0, 60, 40, 0, 3},
                                           PocketCase{2, 0.1, 80, 50, 10, 2.5},
                                           PocketCase{2, 0.1, 40, 20, -25, 6},
                                           PocketCase{0.5, 2, 100, 60, 5, 1}));

TEST(PocketLimits, RefusesWhatTheFlankCannotHold) {
  const RealEngine real{2, 0.1, 0};
  const double half = halfFlankLength(15, 105, real);
  EXPECT_GT(half, 80);
  EXPECT_LT(half, 105);
  // Past the flank's end.
  EXPECT_TRUE(pocketFigures(15, 105, real, {2 * half, 40, 0}, 1));
  EXPECT_FALSE(pocketFigures(15, 105, real, {2.001 * half, 40, 0}, 1));
  EXPECT_FALSE(pocketFigures(15, 105, real, {40, 40, half}, 1));
  EXPECT_TRUE(pocketFigures(15, 105, real, {40, 40, half - 20}, 1));
  // More than the section's largest, L^2 / 2T times the width.
  const RecessPocket pocket{60, 40, 0};
  const double turn = pocketFigures(15, 105, real, pocket, 0)->turn;
  EXPECT_GT(turn, 0);
  EXPECT_FALSE(pocketDepthFor(15, 105, real, pocket, 60 * 60 / (2 * turn) * 40 * 1.001));
  EXPECT_TRUE(pocketDepthFor(15, 105, real, pocket, 60 * 60 / (2 * turn) * 40 * 0.999));
}

}  // namespace
}  // namespace rotary
