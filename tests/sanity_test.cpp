// A check from the geometry itself: for ordinary engines the chamber capacity lies close to the
// swept volume 3 * sqrt(3) * e * R * W, whatever the step count, and the ratio is above 1.
#include <gtest/gtest.h>

#include <cmath>

#include "headless.h"
#include "number_text.h"

namespace rotary {
namespace {

class SweptVolume : public ::testing::TestWithParam<double> {};

TEST_P(SweptVolume, BoundsTheCapacityAtEveryStepCount) {
  const double R = 105, W = 80;
  const double e = GetParam() * R;
  const double swept = 3 * std::sqrt(3.0) * e * R * W / 1000;
  for (int N = 100; N <= 1000; N += 4) {
    const HeadlessResult result =
        computeHeadless(formatNumber(e), formatNumber(R), formatNumber(W), N);
    ASSERT_EQ(result.outcome, Outcome::kResults) << "N=" << N << ": " << result.message;
    const double capacity = *parseNumber(result.capacity);
    EXPECT_NEAR(capacity, swept, 0.03 * swept) << "N=" << N;
    EXPECT_GT(*parseNumber(result.ratio), 1) << "N=" << N;
  }
}

INSTANTIATE_TEST_SUITE_P(EccentricityShares, SweptVolume,
                         ::testing::Values(0.05, 0.1, 0.1428, 0.2, 0.25, 0.3));

}  // namespace
}  // namespace rotary
