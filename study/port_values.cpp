#include "port_values.h"

#include <cmath>

#include "number_text.h"
#include "ranges.h"
#include "side_port.h"

namespace rotary::study {

namespace {

// The bore between a chamber's two seals spans a third of the turn: a window as wide as the rest
// would join the chamber to the one before it for good, and never close. Half the bore keeps
// well clear of that at any K, whose polar angles stray from the trochoid's parameter.
constexpr double kWidestWindow = 180;

// FROM,TO,WIDTH at its commas.
std::vector<std::string> partsOf(const std::string& text) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (std::size_t comma; (comma = text.find(',', start)) != std::string::npos; start = comma + 1) {
    parts.push_back(text.substr(start, comma - start));
  }
  parts.push_back(text.substr(start));
  return parts;
}

}  // namespace

PeripheralPort parsePeripheralPort(const std::string& option, const std::string& text,
                                   std::string& refusal) {
  refusal.clear();
  const std::string quoted = option + ": " + quoteForMessage(text);
  const std::vector<std::string> parts = partsOf(text);
  if (parts.size() != 3) {
    refusal = quoted + " is not FROM,TO,WIDTH: two polar angles of the bore in degrees and a width";
    return {};
  }
  const auto from = parseNumber(parts[0]), to = parseNumber(parts[1]),
             width = parseNumber(parts[2]);
  if (!from || !to || !std::isfinite(*from) || !std::isfinite(*to)) {
    refusal = quoted + " does not start with two polar angles in degrees";
    return {};
  }
  const PeripheralPort window{*from, *to, width ? *width : std::nan("")};
  if (const std::string why = peripheralPortRefusal(window); !why.empty()) {
    refusal = quoted + " " + why;
    return {};
  }
  return window;
}

std::vector<std::string> peripheralWindowTexts(const std::string& option, const std::string& text,
                                               std::string& refusal) {
  refusal.clear();
  std::vector<std::vector<std::string>> values;
  // Not three parts: the window's own words say why, as parsePeripheralPort gives them.
  if (partsOf(text).size() != 3) return {text};
  for (const std::string& part : partsOf(text)) {
    Values range = parseValues(part);
    if (!range.error.empty()) {
      refusal = option + ": " + range.error;
      return {};
    }
    values.push_back(std::move(range.texts));
  }
  const long double count =
      static_cast<long double>(values[0].size()) * values[1].size() * values[2].size();
  if (count > kMostEngines) {
    refusal = option + ": " + quoteForMessage(text) + " makes more than " +
              std::to_string(kMostEngines) + " windows";
    return {};
  }
  std::vector<std::string> windows;
  for (const std::string& from : values[0]) {
    for (const std::string& to : values[1]) {
      for (const std::string& width : values[2]) windows.push_back(from + "," + to + "," + width);
    }
  }
  return windows;
}

std::string peripheralPortRefusal(const PeripheralPort& window) {
  if (!std::isfinite(window.from) || !std::isfinite(window.to)) {
    return "does not start with two polar angles in degrees";
  }
  if (!(window.width > 0) || !std::isfinite(window.width)) {
    return "has no width above 0 after its angles";
  }
  // Counterclockwise from the first edge to the second.
  const double span = std::fmod(std::fmod(window.to - window.from, 360) + 360, 360);
  if (span == 0) return "has no length along the bore: its edges stand at the same angle";
  if (span >= kWidestWindow) {
    return "spans " + significantDigits(span, 6) +
           " degrees of the bore counterclockwise from its first edge; a window spans less than "
           "half of it (its edges go counterclockwise, FROM first)";
  }
  return "";
}

std::string peripheralWidthRefusal(const PeripheralPort& window, double chamberWidth) {
  if (!(window.width > chamberWidth)) return "";
  return "is " + formatNumber(window.width) + " wide, wider than the chamber (" +
         formatNumber(chamberWidth) + "): a window in the bore cannot reach past the side housings";
}

const PortDefinition* sidePortOutsideTheBore(double e, double R, double W, const RealEngine& real,
                                             const std::vector<PortDefinition>& ports,
                                             std::string& why) {
  if (!realLimit(e, R, W, real).hasFigures()) return nullptr;
  const PortDefinition* port = portOutsideTheBore(e, R, real, ports);
  if (port) why = "lies wholly outside the bore of this engine: it can never open";
  return port;
}

const PortDefinition* peripheralPortTooWide(const std::vector<PortDefinition>& ports,
                                            double chamberWidth, std::string& why) {
  for (const PortDefinition& port : ports) {
    if (port.kind != PortKind::kPeripheral) continue;
    why = peripheralWidthRefusal(port.peripheral, chamberWidth);
    if (!why.empty()) return &port;
  }
  return nullptr;
}

}  // namespace rotary::study
