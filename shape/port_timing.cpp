#include "port_timing.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <numeric>
#include <optional>

#include "chamber_cycle.h"
#include "quadrature.h"
#include "side_port.h"
#include "work_sharing.h"

namespace rotary {
namespace {

using std::numbers::pi;

constexpr double kChamberSpan = 2 * pi / 3;  // of the bore's parameter, seal to seal

using Intervals = std::vector<std::pair<double, double>>;  // from, to within [0, 1080]

// The open intervals as pieces within the cycle, merged where they meet or overlap.
Intervals merged(const std::vector<std::pair<double, double>>& openings) {
  Intervals pieces;
  for (const auto& [opens, length] : openings) {
    const double from = withinCycle(opens);
    if (length >= kShaftCycle) {
      pieces.emplace_back(0, kShaftCycle);
    } else if (from + length > kShaftCycle) {
      pieces.emplace_back(from, kShaftCycle);
      pieces.emplace_back(0, from + length - kShaftCycle);
    } else {
      pieces.emplace_back(from, from + length);
    }
  }
  std::sort(pieces.begin(), pieces.end());
  Intervals out;
  for (const auto& piece : pieces) {
    if (!out.empty() && piece.first <= out.back().second) {
      out.back().second = std::max(out.back().second, piece.second);
    } else {
      out.push_back(piece);
    }
  }
  return out;
}

// The diagonal of a side port's box, by which its timing's work grows; nil for a peripheral
// port.
double outlineSpan(const PortDefinition& port) {
  if (port.kind != PortKind::kSide || port.outline.empty()) return 0;
  double left = INFINITY, right = -INFINITY, bottom = INFINITY, top = -INFINITY;
  for (const PlanePoint& p : port.outline) {
    left = std::min(left, p.x), right = std::max(right, p.x);
    bottom = std::min(bottom, p.y), top = std::max(top, p.y);
  }
  return std::hypot(right - left, top - bottom);
}

}  // namespace

PeripheralOpening::PeripheralOpening(const HousingFrame& frame, const PeripheralPort& port)
    : frame_(frame),
      from_(frame.boreParameterAt(port.from * kRadiansPerDegree)),
      to_(frame.boreParameterAt(port.to * kRadiansPerDegree)),
      width_(port.width) {
  while (to_ <= from_) to_ += 2 * pi;
}

bool PeripheralOpening::alwaysOpen() const {
  return to_ - from_ + kChamberSpan >= 2 * pi;
}

double PeripheralOpening::area(double shaftAngle) const {
  const double trailing = HousingFrame::trailingSeal(shaftAngle);
  // The chamber's stretch of bore, a turn either way, against the window's.
  double length = 0;
  for (int turn = -2; turn <= 2; ++turn) {
    const double low = std::max(from_, trailing + 2 * pi * turn);
    const double high = std::min(to_, trailing + kChamberSpan + 2 * pi * turn);
    if (high > low) length += frame_.boreLength(low, high);
  }
  return width_ * length;
}

PortTiming PeripheralOpening::timing() const {
  PortTiming t;
  // The leading seal uncovers the window's first edge, the trailing seal covers its last.
  PortOpening opening;
  opening.opens = HousingFrame::leadingSealReaches(from_);
  opening.closes = HousingFrame::trailingSealReaches(to_);
  opening.openFor = withinCycle(opening.closes - opening.opens);
  t.openings.push_back(opening);
  // Between them the open length grows, stands or shrinks, with a kink where the leading seal
  // reaches the last edge and where the trailing seal passes the first.
  std::vector<double> kinks = {0, opening.openFor};
  for (const double kink :
       {HousingFrame::leadingSealReaches(to_), HousingFrame::trailingSealReaches(from_)}) {
    const double after = withinCycle(kink - opening.opens);
    if (after > 0 && after < opening.openFor) kinks.push_back(after);
  }
  std::sort(kinks.begin(), kinks.end());
  const auto open = [&](double after) { return area(opening.opens + after); };
  for (std::size_t n = 0; n + 1 < kinks.size(); ++n) {
    t.angleArea += exact::integral(open, kinks[n], kinks[n + 1], 1e-12);
    t.largestArea = std::max(t.largestArea, open(kinks[n + 1]));
  }
  return t;
}

EngineTiming engineTiming(double e, double R, double W, const RealEngine& real,
                          double volumeDivisor, const std::vector<PortDefinition>& ports,
                          unsigned threads) {
  const HousingFrame frame(e, R, real);
  EngineTiming timing;
  std::vector<std::pair<double, double>> intake, exhaust;
  std::optional<double> lastIntakeCloses, firstExhaustOpens;
  timing.ports.resize(ports.size());
  // The side ports, the largest first, then the peripheral ones, which take far less: the
  // threads finish about together. Each side port's own work is shared out only where the
  // threads outnumber the side ports; else it costs more than it saves.
  std::vector<std::size_t> order(ports.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return outlineSpan(ports[a]) > outlineSpan(ports[b]);
  });
  const auto sidePorts = static_cast<std::size_t>(std::count_if(
      ports.begin(), ports.end(), [](const auto& port) { return port.kind == PortKind::kSide; }));
  // A lone peripheral port has nothing to share.
  WorkSharing sharing(sidePorts > 0 || ports.size() > 1 ? threads : 1);
  const auto flank = sidePorts > 0 ? sideFlank(e, R, real, &sharing) : nullptr;
  // The volume curve the ratios take, made beside the ports as the last piece of work.
  std::optional<ChamberCycle> cycle;
  sharing.each(ports.size() + 1, [&](std::size_t k) {
    if (k == ports.size()) {
      cycle.emplace(e, R, W, real, volumeDivisor);
      return;
    }
    const std::size_t n = order[k];
    const PortDefinition& port = ports[n];
    if (port.kind == PortKind::kPeripheral) {
      timing.ports[n] = PeripheralOpening(frame, port.peripheral).timing();
    } else {
      const SideOpening side(e, R, real, port.outline, flank);
      timing.ports[n] = sidePorts < threads ? side.timing(sharing) : side.timing();
    }
  });
  // The intake's last closing counts from half a cycle before bottom dead centre after intake,
  // as the trade's words count it; the exhaust's first opening from top dead centre of
  // compression.
  constexpr double kIntakeClosingsFrom = 270;
  double lastFromStroke = 0;
  for (std::size_t n = 0; n < ports.size(); ++n) {
    const PortDefinition& port = ports[n];
    for (const PortOpening& opening : timing.ports[n].openings) {
      if (port.role == PortRole::kIntake) {
        intake.emplace_back(opening.opens, opening.openFor);
        const double fromStroke = withinCycle(opening.closes - kIntakeClosingsFrom);
        if (!lastIntakeCloses || fromStroke > lastFromStroke) {
          lastIntakeCloses = opening.closes;
          lastFromStroke = fromStroke;
        }
      } else {
        exhaust.emplace_back(opening.opens, opening.openFor);
        firstExhaustOpens = std::min(firstExhaustOpens.value_or(opening.opens), opening.opens);
      }
    }
  }
  timing.overlap = sharedDegrees(intake, exhaust);
  const double topDeadCentre = cycle->volume(0);
  if (lastIntakeCloses) {
    timing.effectiveCompressionRatio = cycle->volume(*lastIntakeCloses) / topDeadCentre;
  }
  if (firstExhaustOpens) {
    timing.effectiveExpansionRatio = cycle->volume(*firstExhaustOpens) / topDeadCentre;
  }
  return timing;
}

std::vector<std::vector<double>> openAreas(double e, double R, const RealEngine& real,
                                           const std::vector<PortDefinition>& ports,
                                           const std::vector<double>& shaftAngles) {
  const HousingFrame frame(e, R, real);
  std::vector<std::vector<double>> areas(ports.size());
  const auto flank = sideFlank(e, R, real);
  WorkSharing(allCores()).each(ports.size(), [&](std::size_t n) {
    const PortDefinition& port = ports[n];
    std::vector<double>& row = areas[n];
    row.reserve(shaftAngles.size());
    if (port.kind == PortKind::kPeripheral) {
      const PeripheralOpening opening(frame, port.peripheral);
      for (const double angle : shaftAngles) row.push_back(opening.area(angle));
    } else {
      const SideOpening opening(e, R, real, port.outline, flank);
      for (const double angle : shaftAngles) row.push_back(opening.area(angle));
    }
  });
  return areas;
}

TradeAngle tradeAngle(double shaftAngle, PortRole role, bool opening) {
  const bool fromTop = (role == PortRole::kIntake) == opening;
  const double reference = fromTop ? 540 : role == PortRole::kIntake ? 810 : 270;
  // Within half a cycle either side of it.
  const double off = std::remainder(shaftAngle - reference, kShaftCycle);
  if (off >= 0) return {off, fromTop ? "ATDC" : "ABDC"};
  return {-off, fromTop ? "BTDC" : "BBDC"};
}

std::string neverOpens(const PortTiming& timing) {
  return timing.reach == PortReach::kOutsideTheBore
             ? "lies wholly outside the bore, and never opens"
             : "never opens: the rotor covers it the whole cycle";
}

double sharedDegrees(const std::vector<std::pair<double, double>>& first,
                     const std::vector<std::pair<double, double>>& second) {
  const Intervals a = merged(first), b = merged(second);
  double shared = 0;
  for (const auto& [aFrom, aTo] : a) {
    for (const auto& [bFrom, bTo] : b) {
      shared += std::max(0.0, std::min(aTo, bTo) - std::max(aFrom, bFrom));
    }
  }
  return shared;
}

}  // namespace rotary
