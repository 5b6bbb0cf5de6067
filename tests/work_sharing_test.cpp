// The threads an engine's ports share: every piece of work done once, however many threads and
// however deep the work shares out more; a failure comes back to the caller.
#include "work_sharing.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <vector>

namespace rotary {
namespace {

class WorkSharingOn : public testing::TestWithParam<unsigned> {};

TEST_P(WorkSharingOn, DoesEveryPieceOnceAndWorkWithinWork) {
  WorkSharing sharing(GetParam());
  constexpr std::size_t kOuter = 7, kInner = 13;
  std::vector<std::atomic<int>> done(kOuter * kInner);
  std::vector<std::atomic<int>> outer(kOuter);
  sharing.each(kOuter, [&](std::size_t n) {
    ++outer[n];
    sharing.each(kInner, [&](std::size_t k) { ++done[n * kInner + k]; });
    // All of this piece's own work is done when its `each` returns.
    for (std::size_t k = 0; k < kInner; ++k) EXPECT_EQ(done[n * kInner + k].load(), 1);
  });
  for (const auto& count : outer) EXPECT_EQ(count.load(), 1);
  for (const auto& count : done) EXPECT_EQ(count.load(), 1);
  sharing.each(0, [](std::size_t) { FAIL() << "no piece to do"; });
}

TEST_P(WorkSharingOn, ThrowsTheFailureOnceAllHaveStoppedAndGoesOn) {
  WorkSharing sharing(GetParam());
  std::atomic<int> running{0}, finished{0};
  EXPECT_THROW(sharing.each(20,
                            [&](std::size_t n) {
                              ++running;
                              if (n == 5) throw std::runtime_error("piece 5");
                              ++finished;
                              --running;
                            }),
               std::runtime_error);
  // Every other piece finished before the caller heard of the failure.
  EXPECT_EQ(finished.load(), 19);
  EXPECT_EQ(running.load(), 1);
  std::atomic<int> after{0};
  sharing.each(4, [&](std::size_t) { ++after; });
  EXPECT_EQ(after.load(), 4);
}

INSTANTIATE_TEST_SUITE_P(Threads, WorkSharingOn, testing::Values(1u, 2u, 5u));

}  // namespace
}  // namespace rotary
