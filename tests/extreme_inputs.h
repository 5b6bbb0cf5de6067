// Bad and extreme inputs, with what the user must see for each: the results, or a message and
// the typed text left as it is. The engine, the command-line tool and the real window are each
// tried with the same table.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace rotary::testing {

struct ExtremeInput {
  std::string name;
  std::string e = "15", R = "105", W = "80";
  int N = 100;
  // Results, when there are any.
  std::string capacity, deadVolume, ratio;
  // Otherwise a part of the message.
  std::string message;

  bool hasResults() const { return message.empty(); }
};

inline void PrintTo(const ExtremeInput& input, std::ostream* os) {
  *os << input.name;
}

inline ExtremeInput results(std::string name, std::string e, std::string R, std::string W, int N,
                            std::string capacity, std::string deadVolume, std::string ratio) {
  return {std::move(name),
          std::move(e),
          std::move(R),
          std::move(W),
          N,
          std::move(capacity),
          std::move(deadVolume),
          std::move(ratio),
          ""};
}

inline ExtremeInput message(std::string name, std::string e, std::string R, std::string W,
                            std::string message) {
  return {std::move(name),   std::move(e), std::move(R), std::move(W), 100, "", "", "",
          std::move(message)};
}

inline std::vector<ExtremeInput> extremeInputs() {
  const std::string pasted(1 << 20, 'x');
  return {
      message("Empty", "", "105", "80", "eccentricity: \"\" is not a number"),
      message("SpacesOnly", "   ", "105", "80", "eccentricity: \"   \" is not a number"),
      message("Letters", "15", "abc", "80", "rotor radius: \"abc\" is not a number"),
      message("TrailingLetters", "15", "105", "12abc", "chamber width: \"12abc\" is not a number"),
      message("DecimalComma", "1,5", "105", "80",
              "eccentricity: \"1,5\" is not a number; use a point as the decimal separator"),
      message("CommaWithoutANumber", "1,5,2", "105", "80",
              "eccentricity: \"1,5,2\" is not a number."),
      message("Hexadecimal", "0x10", "105", "80", "eccentricity: \"0x10\" is not a number"),
      message("Infinity", "15", "inf", "80", "rotor radius: \"inf\" is not a number"),
      message("NotANumber", "nan", "105", "80", "eccentricity: \"nan\" is not a number"),
      message("Overflowing", "15", "105", "1e400", "chamber width: \"1e400\" is too large"),
      message("MinusZero", "-0", "105", "80", "chamber at top dead centre has no volume"),
      message("PastedMegabyte", pasted, "105", "80",
              "eccentricity: \"" + std::string(40, 'x') + "...\" is not a number"),
      message("ArabicDigits", "\xd9\xa1\xd9\xa5", "105", "80", "is not a number"),
      message("FullwidthDigits", "\xef\xbc\x91\xef\xbc\x95", "105", "80", "is not a number"),
      message("ZeroEccentricity", "0", "105", "80", "chamber at top dead centre has no volume"),
      message("ZeroRotorRadius", "15", "0", "80", "A rotor radius of 0 leaves no chamber"),
      message("ZeroWidth", "15", "105", "0", "chamber width of 0"),
      message("LongUnderflow", "0." + std::string(10000, '0') + "1", "105", "80",
              "is too small a number"),
      results("EccentricityEqualsRadius", "105", "105", "80", 100, "755.4", "229.62", "4.28"),
      results("EccentricityBeyondRadius", "200", "105", "80", 100, "1461.4", "222.64", "7.56"),
      message("NegativeEccentricity", "-15", "105", "80", "eccentricity: \"-15\" is negative"),
      message("NegativeRadius", "15", "-105", "80", "rotor radius: \"-105\" is negative"),
      message("NegativeWidth", "15", "105", "-80", "chamber width: \"-80\" is negative"),
      message("HugeEccentricity", "1e300", "105", "80", "beyond the drawing range"),
      message("HugeRadius", "15", "1e300", "80", "beyond the drawing range"),
      results("HugeWidth", "15", "105", "1e300", 100, "8.15604168628773E+300",
              "4.66625296369954E+299", "18.47"),
      message("TinyEccentricity", "1e-300", "105", "80",
              "chamber at top dead centre has no volume"),
      message("TinyRadius", "15", "1e-300", "80", "too large or too small"),
      results("TinyWidth", "15", "105", "1e-300", 100, "0", "0", "18.47"),
      // Ordinary dimensions whose sweep misses the middle of the flank: the exact figures say
      // what the shape gives.
      message("MissedMiddleOfTheFlank", "6.9506", "82.018", "80",
              "exact limit is 236.975 / 8.48982 / 28.9129"),
      message("TooSmallToComputeWith", "1.5e-154", "1.05e-153", "80", "too small to compute with"),
      results("FewestSteps", "15", "105", "80", 50, "538.7", "35.78", "16.05"),
      results("MostSteps", "15", "105", "80", 1000, "653.3", "37.87", "18.25"),
  };
}

}  // namespace rotary::testing
