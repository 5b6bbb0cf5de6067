#include "number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace rotary {
namespace {

struct FormatCase {
  double value;
  const char* shown;
};
void PrintTo(const FormatCase& c, std::ostream* os) {
  *os << c.shown;
}

class FormatNumber : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatNumber, ShowsFifteenSignificantDigitsWithoutTrailingZeros) {
  EXPECT_EQ(formatNumber(GetParam().value), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Values, FormatNumber,
    ::testing::Values(FormatCase{0.1 * 6524, "652.4"},  // 652.4000000000001 as a double
                      FormatCase{0.01 * 1260, "12.6"}, FormatCase{0.01 * 3733, "37.33"},
                      FormatCase{15, "15"}, FormatCase{1.5, "1.5"}, FormatCase{-1, "-1"},
                      FormatCase{0.0, "0"}, FormatCase{-0.0, "0"}, FormatCase{0.1 * -6, "-0.6"},
                      FormatCase{-90.96, "-90.96"}, FormatCase{100, "100"},
                      FormatCase{123456789012345.0, "123456789012345"}, FormatCase{1e15, "1E+15"},
                      FormatCase{1.5e300, "1.5E+300"}, FormatCase{0.00001, "0.00001"},
                      FormatCase{0.000001, "1E-06"}, FormatCase{1.0 / 3, "0.333333333333333"},
                      FormatCase{2.0 / 3, "0.666666666666667"}, FormatCase{-1e-300, "-1E-300"}));

struct ParseCase {
  const char* text;
  std::optional<double> value;
};
void PrintTo(const ParseCase& c, std::ostream* os) {
  *os << quoteForMessage(c.text);
}

class ParseNumber : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseNumber, AcceptsPlainDecimalsOnly) {
  const auto parsed = parseNumber(GetParam().text);
  ASSERT_EQ(parsed.has_value(), GetParam().value.has_value()) << GetParam().text;
  if (parsed) {
    EXPECT_EQ(*parsed, *GetParam().value) << GetParam().text;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Accepted, ParseNumber,
    ::testing::Values(ParseCase{"15", 15}, ParseCase{"015", 15}, ParseCase{"1.50", 1.5},
                      ParseCase{" 105 ", 105}, ParseCase{"\t80", 80}, ParseCase{"+3", 3},
                      ParseCase{"-2.5", -2.5}, ParseCase{".5", 0.5}, ParseCase{"5.", 5},
                      ParseCase{"1e3", 1000}, ParseCase{"1E+3", 1000}, ParseCase{"2.5e-3", 0.0025},
                      ParseCase{"1e-300", 1e-300}, ParseCase{"1e300", 1e300}, ParseCase{"-0", 0},
                      ParseCase{"0e-400", 0}, ParseCase{"0.000", 0},
                      ParseCase{"\xc2\xa0"
                                "15\xc2\xa0",
                                15},  // non-breaking spaces
                      ParseCase{"652.4", 652.4}));

INSTANTIATE_TEST_SUITE_P(
    Rejected, ParseNumber,
    ::testing::Values(ParseCase{"", std::nullopt}, ParseCase{"   ", std::nullopt},
                      ParseCase{"abc", std::nullopt}, ParseCase{"1,5", std::nullopt},
                      ParseCase{"0x10", std::nullopt}, ParseCase{"inf", std::nullopt},
                      ParseCase{"-inf", std::nullopt}, ParseCase{"nan", std::nullopt},
                      ParseCase{"12abc", std::nullopt}, ParseCase{"1e400", std::nullopt},
                      ParseCase{"-1e400", std::nullopt}, ParseCase{".", std::nullopt},
                      ParseCase{"1.2.3", std::nullopt}, ParseCase{"1e", std::nullopt},
                      ParseCase{"1e+", std::nullopt}, ParseCase{"--1", std::nullopt},
                      ParseCase{"+", std::nullopt}, ParseCase{"1 2", std::nullopt},
                      ParseCase{"\xd9\xa3", std::nullopt},  // an Arabic-Indic digit three
                      ParseCase{"1e99999999999999999999", std::nullopt},
                      // Too small to hold, or held only as a denormal that lost its digits.
                      ParseCase{"1e-400", std::nullopt}, ParseCase{"-1e-999", std::nullopt},
                      ParseCase{"1e-310", std::nullopt}, ParseCase{"15\n", std::nullopt}));

TEST(ParseNumber, NegativeZeroKeepsItsSign) {
  EXPECT_TRUE(std::signbit(*parseNumber("-0")));
  EXPECT_TRUE(std::signbit(*parseNumber("-0.0e5")));
}

TEST(ParseNumber, ReadsBackEveryFormattedValue) {
  for (double value : {652.4, 0.1 * 6524, 1.0 / 3, 1e-7, 1.5e300, -37.33, 123456.789}) {
    const auto back = parseNumber(formatNumber(value));
    ASSERT_TRUE(back) << value;
    EXPECT_EQ(formatNumber(*back), formatNumber(value));
  }
}

TEST(Int, RoundsTowardsMinusInfinity) {
  EXPECT_EQ(Int(9.4999), 9);
  EXPECT_EQ(Int(-0.0001), -1);
  EXPECT_EQ(Int(-2.5), -3);
  EXPECT_EQ(Int(27.999999999999996), 27);
}

TEST(QuoteForMessage, CutsLongPastesWithoutSplittingCharacters) {
  EXPECT_EQ(quoteForMessage("abc"), "\"abc\"");
  const std::string pasted(1 << 20, 'x');
  EXPECT_LT(quoteForMessage(pasted).size(), 50u);
  const std::string accents = std::string(39, 'a') + "\xc3\xa9\xc3\xa9";
  EXPECT_EQ(quoteForMessage(accents), "\"" + std::string(39, 'a') + "\xc3\xa9...\"");
}

TEST(QuoteForMessage, ShowsInvisibleAndDirectionCharactersAsEscapes) {
  EXPECT_EQ(quoteForMessage("1\t5"), "\"1\\t5\"");
  EXPECT_EQ(quoteForMessage("15\xe2\x80\x8b"), "\"15\\u200B\"");  // zero-width space
  EXPECT_EQ(quoteForMessage("\xe2\x80\xae"
                            "51"),
            "\"\\u202E51\"");                                         // right-to-left override
  EXPECT_EQ(quoteForMessage("\xf3\xa0\x80\x81"), "\"\\U000E0001\"");  // a language tag
  EXPECT_EQ(quoteForMessage("\xff"
                            "1"),
            "\"\\xFF1\"");  // no UTF-8
  // The escapes count at their length: the quote stays short.
  std::string overrides;
  for (int n = 0; n < 100; ++n) overrides += "\xe2\x80\xae";
  EXPECT_EQ(
      quoteForMessage(overrides), "\"" + [] {
        std::string six;
        for (int n = 0; n < 6; ++n) six += "\\u202E";
        return six;
      }() + "...\"");
}

// The tables' nine-digit figures come rounded and written in one conversion: the same number and
// the same text as rounding, then formatting, across magnitudes, signs, the exponent forms, the
// subnormal numbers (which lack digits) and a rounding beyond the largest double.
TEST(RoundedNumber, IsTheRoundingAndItsDisplayFormat) {
  for (const double value :
       {654.71520468, -37.876104612, 18.2857059, 1e-5 * 3.14159265358, 2.5e-6 / 3, 1e15 / 7,
        123456789012345.0, -1.7570294818942096e308, 8.5562321249791573e-310, 0.0, -0.0, 1.0 / 3}) {
    for (const int digits : {1, 6, 9, 15}) {
      const RoundedNumber rounded = roundedNumber(value, digits);
      EXPECT_EQ(rounded.value, roundedToDigits(value, digits)) << value << " " << digits;
      EXPECT_EQ(rounded.text, formatNumber(roundedToDigits(value, digits)))
          << value << " " << digits;
    }
  }
}

}  // namespace
}  // namespace rotary
