// A row's values are parsed once where the row is made; the writers below format the number it
// carries. Both must say what the old way said: the display format of the typed text, and the
// number a script reads back from what a table shows.
#include "typed_number.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "number_text.h"
#include "runner.h"

namespace rotary {
namespace {

struct TypedCase {
  const char* typed;
  bool isNumber;
  const char* shown;
};
void PrintTo(const TypedCase& c, std::ostream* os) {
  *os << '"' << c.typed << '"';
}

class TypedNumberCase : public ::testing::TestWithParam<TypedCase> {};

TEST_P(TypedNumberCase, ShowsTheNumberInTheDisplayFormatAndAnythingElseAsTyped) {
  const study::TypedNumber value(GetParam().typed);
  EXPECT_EQ(value.text, GetParam().typed);
  EXPECT_EQ(value.number.has_value(), GetParam().isNumber);
  EXPECT_EQ(value.shown(), GetParam().shown);
  EXPECT_EQ(value.number, parseNumber(GetParam().typed));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TypedNumberCase,
    ::testing::Values(TypedCase{"15", true, "15"}, TypedCase{" 1.05e2 ", true, "105"},
                      TypedCase{"015.50", true, "15.5"}, TypedCase{"-0", true, "0"},
                      TypedCase{"15,5", false, "15,5"}, TypedCase{"abc", false, "abc"},
                      TypedCase{"1e-400", false, "1e-400"}, TypedCase{"1e400", false, "1e400"},
                      TypedCase{"", false, ""}, TypedCase{"0.1", true, "0.1"}));

// What a table shows, read back: the number a cell carries must be that text's double.
TEST(RoundedToDigits, IsTheDoubleOfTheTextShown) {
  const double values[] = {
      0.1 * 6524, 654.71520526103568, 1.0 / 3,       2.0 / 3, 37.876104634879, 1.5e300,
      -1e-300,    123.456789,         9.99999999e-5, 1e15 - 1};
  for (const double value : values) {
    for (const int digits : {6, 9, 15}) {
      EXPECT_EQ(roundedToDigits(value, digits), *parseNumber(significantDigits(value, digits)))
          << value << " to " << digits;
    }
    EXPECT_EQ(roundedToDigits(value, 15), *parseNumber(formatNumber(value))) << value;
  }
  EXPECT_TRUE(std::isnan(roundedToDigits(std::nan(""), 9)));
  EXPECT_EQ(roundedToDigits(std::numeric_limits<double>::infinity(), 9),
            std::numeric_limits<double>::infinity());
}

TEST(Design, ReadsItsRealEngineAndKFromTheNumbersTyped) {
  study::Design input;
  input.eccentricity = "15";
  input.rotorRadius = "1.05e2";
  input.sealOffset = "2";
  input.clearance = "no";  // refused where the row is made; 0 here
  input.recess = "0.5";
  ASSERT_TRUE(input.trochoidRatio());
  EXPECT_EQ(*input.trochoidRatio(), 7);
  const RealEngine real = input.realEngine();
  EXPECT_EQ(real.sealOffset, 2);
  EXPECT_EQ(real.clearance, 0);
  EXPECT_EQ(real.recess, 0.5);
  for (const char* e : {"0", "-0", "abc", "1e-400"}) {
    input.eccentricity = e;
    EXPECT_FALSE(input.trochoidRatio()) << e;
  }
  input.eccentricity = "1e-300";
  input.rotorRadius = "1e300";
  EXPECT_FALSE(input.trochoidRatio()) << "K beyond the doubles";
}

}  // namespace
}  // namespace rotary
