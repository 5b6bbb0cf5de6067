// The fast sweep against the straightforward loops: the same profiles bit for bit, the same
// housing point left behind, the same rejections, and the same outcome of a restart request.
#include <gtest/gtest.h>

#include <cstring>

#include "cycle.h"
#include "headless.h"
#include "recording_window.h"
#include "sweep.h"

namespace rotary {
namespace {

struct Swept {
  Profiles profiles;
  HousingPoint point;
  SweepTally tally;
  std::string capacity, deadVolume, ratio;
};

// Two cycles one after the other, so that the second starts from the point the first left.
std::vector<Swept> sweepTwice(SweepFunction sweep, const char* e, const char* R, int N) {
  HeadlessWindow window;
  window.text(Box::kEccentricity) = e;
  window.text(Box::kRotorRadius) = R;
  window.text(Box::kChamberWidth) = "80";
  window.steps = N;
  Cycle cycle(window, sweep);
  std::vector<Swept> swept;
  for (int n = 0; n < 2; ++n) {
    cycle.compute();
    swept.push_back({cycle.state().profiles, cycle.state().point, cycle.state().tally,
                     window.text(Box::kCapacity), window.text(Box::kDeadVolume),
                     window.text(Box::kRatio)});
  }
  return swept;
}

bool sameBits(const Profile& a, const Profile& b) {
  return std::memcmp(a.data(), b.data(), sizeof(double) * a.size()) == 0;
}

struct GeometryCase {
  const char* e;
  const char* R;
  int N;
};

void PrintTo(const GeometryCase& c, std::ostream* os) {
  *os << "e=" << c.e << " R=" << c.R << " N=" << c.N;
}

class FastSweep : public ::testing::TestWithParam<GeometryCase> {};

TEST_P(FastSweep, GivesTheStraightforwardProfilesBitForBit) {
  const auto [e, R, N] = GetParam();
  const auto fast = sweepTwice(sweepFast, e, R, N);
  const auto plain = sweepTwice(sweepStraightforward, e, R, N);
  for (std::size_t n = 0; n < fast.size(); ++n) {
    SCOPED_TRACE("cycle " + std::to_string(n + 1));
    EXPECT_TRUE(sameBits(fast[n].profiles.envelope, plain[n].profiles.envelope));
    EXPECT_TRUE(sameBits(fast[n].profiles.tdcline, plain[n].profiles.tdcline));
    EXPECT_TRUE(sameBits(fast[n].profiles.bdcline, plain[n].profiles.bdcline));
    EXPECT_EQ(fast[n].point.t, plain[n].point.t);
    EXPECT_EQ(fast[n].point.v, plain[n].point.v);
    EXPECT_EQ(fast[n].point.w, plain[n].point.w);
    EXPECT_EQ(fast[n].point.q, plain[n].point.q);
    EXPECT_EQ(fast[n].tally.curveRejected, plain[n].tally.curveRejected);
    EXPECT_EQ(fast[n].tally.copyRejected, plain[n].tally.copyRejected);
    EXPECT_EQ(fast[n].capacity, plain[n].capacity);
    EXPECT_EQ(fast[n].deadVolume, plain[n].deadVolume);
    EXPECT_EQ(fast[n].ratio, plain[n].ratio);
  }
}

INSTANTIATE_TEST_SUITE_P(
    StepCounts, FastSweep,
    ::testing::Values(GeometryCase{"15", "105", 50}, GeometryCase{"15", "105", 51},
                      GeometryCase{"15", "105", 52}, GeometryCase{"15", "105", 76},
                      GeometryCase{"15", "105", 99}, GeometryCase{"15", "105", 100},
                      GeometryCase{"15", "105", 101}, GeometryCase{"15", "105", 333},
                      GeometryCase{"15", "105", 500}, GeometryCase{"15", "105", 600},
                      GeometryCase{"15", "105", 997}, GeometryCase{"15", "105", 1000}));

INSTANTIATE_TEST_SUITE_P(
    Geometries, FastSweep,
    ::testing::Values(GeometryCase{"50", "105", 100},  // curve crossings rejected
                      GeometryCase{"80", "105", 100},  // copy crossings rejected
                      GeometryCase{"10", "100", 100}, GeometryCase{"35", "105", 100},
                      GeometryCase{"0.01", "105", 100}, GeometryCase{"0.3", "1", 64},
                      GeometryCase{"15", "105.5", 77}, GeometryCase{"-15", "105", 100},
                      GeometryCase{"0", "105", 100}, GeometryCase{"15", "0", 100},
                      GeometryCase{"15", "-105", 100},  // descending samples: the plain loops
                      GeometryCase{"2e5", "7e6", 60}));

// What the window shows when a restart request arrives in the yield after the percentage of
// motion angle `angle`, up to the start of the next cycle.
std::vector<std::string> restartAtAngle(SweepFunction sweep, std::size_t angle) {
  using testing::Call;
  testing::RecordingWindow window;
  window.text(Box::kEccentricity) = "15";
  window.text(Box::kRotorRadius) = "105";
  window.text(Box::kChamberWidth) = "80";
  Cycle cycle(window, sweep);
  bool clicked = false;
  window.onYield = [&](testing::RecordingWindow& w) {
    if (!clicked && w.writes(Box::kRatio).size() == angle + 2) {
      cycle.flags().toggleRestart();
      clicked = true;
    }
    if (w.cyclesStarted == 2) w.end();
  };
  cycle.run();
  std::vector<std::string> shown;
  for (const Call& c : window.log) {
    if (c.kind == Call::Kind::kWrite) shown.push_back(std::to_string(int(c.box)) + "=" + c.text);
    if (c.kind == Call::Kind::kCaption) shown.push_back("caption=" + c.text);
    if (std::count(shown.begin(), shown.end(), "caption=% completed") == 2) break;
    if (c.kind == Call::Kind::kClear) shown.push_back("clear");
  }
  shown.push_back("points=" + std::to_string(window.points));
  return shown;
}

TEST(FastSweep, HonoursARestartLikeTheStraightforwardLoops) {
  for (std::size_t angle : {0u, 1u, 7u, 24u}) {
    SCOPED_TRACE("angle " + std::to_string(angle));
    const auto fast = restartAtAngle(sweepFast, angle);
    EXPECT_EQ(fast, restartAtAngle(sweepStraightforward, angle));
    EXPECT_NE(std::find(fast.begin(), fast.end(), "clear"), fast.end());
  }
}

}  // namespace
}  // namespace rotary
