#include "chamber_outline.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "chamber_cycle.h"
#include "real_shape.h"

namespace rotary {
namespace {

using std::numbers::pi;

// Samples of the bore's whole turn, and of each half of the flank: chords within a few
// millionths of the engine's size of the true curves.
constexpr int kBoreSamples = 8192;
constexpr int kHalfFlankSamples = 1024;
constexpr int kTipSamples = 24;
// Far from the port the outline keeps one point in this many: its chords there stay clear of the
// port by more than they stray from the curve.
constexpr int kFarStride = 32;
// Inside the port, away from its edges, one point in this many: the chords' areas there balance.
constexpr int kInsideStride = 4;
// Deep inside the port, one point in this many, each chord's sliver added to the open area: the
// chords stray from the flank by about half the band at most, and so stay inside the port.
constexpr int kDeepStride = 64;
// The band about the port's edges in which the outline keeps every point, as a share of R: it
// holds the chords of a far stride clear of the port.
constexpr double kBand = 0.001;
// Beyond the port's neighbourhood, a tenth of R about it, one point in this many: its chords stray
// from the curves by less than a tenth of that.
constexpr double kNeighbourhood = 0.1;
constexpr int kRemoteStride = 256;
// The wide box about the port, as a share of R, that the rotor must keep out of for the port to
// stay as it is; less what the outline's chords stray from the curves.
constexpr double kWide = 0.3;
constexpr double kStraying = 0.02;

}  // namespace

Polyline rotorFlankSamples(double K, double offset, WorkSharing* sharing) {
  WorkSharing alone(1);
  const double end = exact::flankEnd(K, offset);
  std::vector<exact::Point> half(kHalfFlankSamples + 1);
  // In a few stretches at once: the first thing an engine's side ports wait for.
  constexpr int kStretches = 4;
  (sharing ? *sharing : alone).each(kStretches, [&](std::size_t stretch) {
    const int from = static_cast<int>(stretch) * (kHalfFlankSamples + 1) / kStretches;
    const int to = static_cast<int>(stretch + 1) * (kHalfFlankSamples + 1) / kStretches;
    for (int n = from; n < to; ++n) {
      const double r = exact::kFlankMiddle + (end - exact::kFlankMiddle) * n / kHalfFlankSamples;
      half[static_cast<std::size_t>(n)] = exact::rotorFlankPoint(K, r, offset);
    }
  });
  Polyline line;
  for (int n = kHalfFlankSamples; n >= -kHalfFlankSamples; --n) {
    const exact::Point& p = half[static_cast<std::size_t>(std::abs(n))];
    line.push_back({n < 0 ? -p.x : p.x, p.y});
  }
  return line;
}

FlankSamples::FlankSamples(double K, const RealEngine& real, WorkSharing* sharing)
    : line(rotorFlankSamples(K, real.sealOffset - real.clearance, sharing)) {
  for (std::size_t n = 1; n < line.size(); ++n) {
    falls = falls && line[n].x < line[n - 1].x;
    step = std::max(step, std::hypot(line[n].x - line[n - 1].x, line[n].y - line[n - 1].y));
  }
  turning.assign(line.size(), 0);
  for (std::size_t n = 1; n < line.size(); ++n) {
    const PlanePoint &a = line[n - 1], &b = line[n];
    turning[n] = turning[n - 1] + (a.x * b.y - a.y * b.x);
  }
  inside = line;
  for (std::size_t n = kInsideStride; n + kInsideStride < line.size(); ++n) {
    const PlanePoint& before = line[n - kInsideStride];
    const PlanePoint& after = line[n + kInsideStride];
    const PlanePoint& p = line[n];
    inside[n] = {p.x - (before.x - 2 * p.x + after.x) / 12,
                 p.y - (before.y - 2 * p.y + after.y) / 12};
  }
}

ChamberOutline::ChamberOutline(double K, const RealEngine& real, const Polyline& port,
                               std::shared_ptr<const FlankSamples> flank)
    : frame_(1, K, real),
      K_(K),
      bore_(real.sealOffset),
      zones_(port, kBand * K),
      flank_(std::move(flank)) {
  near_ = {zones_.left(), zones_.bottom(), zones_.right(), zones_.top()};
  around_ = near_.grown(kNeighbourhood * K);
  wide_ = near_.grown(kWide * K);
  // The bore at every stride-th sample, and at every sample along the strides that come near
  // the port: a stride's arc lies within its chord's length of its ends. Only the points the
  // thinned outline keeps are kept.
  const auto sample = [&](int n) { return frame_.borePoint(2 * pi * n / kBoreSamples); };
  std::vector<PlanePoint> strides;
  for (int n = 0; n < kBoreSamples; n += kFarStride) strides.push_back(sample(n));
  nearBefore_.assign(kBoreSamples + 1, 0);
  for (int stride = 0; stride < kBoreSamples / kFarStride; ++stride) {
    const PlanePoint& a = strides[stride];
    const PlanePoint& b = strides[(stride + 1) % strides.size()];
    const double reach = std::hypot(b.x - a.x, b.y - a.y);
    const bool filled =
        std::min(a.x, b.x) - reach <= near_.right && std::max(a.x, b.x) + reach >= near_.left &&
        std::min(a.y, b.y) - reach <= near_.top && std::max(a.y, b.y) + reach >= near_.bottom;
    for (int k = 0; k < kFarStride; ++k) {
      const int n = stride * kFarStride + k;
      const bool computed = k == 0 || filled;
      const PlanePoint p = k == 0 ? a : filled ? sample(n) : PlanePoint{};
      const bool isNear = computed && covers(p);
      boreNearPort_ = boreNearPort_ || isNear;
      nearBefore_[n + 1] = nearBefore_[n] + isNear;
      if (isNear || n % kRemoteStride == 0 || (k == 0 && around_.holds(p))) {
        boreKept_.push_back(n);
        boreKeptPoints_.push_back(p);
      }
    }
  }
  rightApex_ = exact::housingPoint(K_, exact::kRightApex, 0);
  leftApex_ = {-rightApex_.x, rightApex_.y};
  const exact::Point normal = exact::flankNormal(K_, exact::kRightApex);
  rightTip_ = {rightApex_.x + bore_ * normal.x, rightApex_.y + bore_ * normal.y};
  leftTip_ = {-rightTip_.x, rightTip_.y};
}

int ChamberOutline::stepsUnchanged(double step) const {
  const double clear = (kWide - kStraying) * K_;
  const double fastest = (1 + (K_ + bore_) / 3) * pi / 180;
  return std::max(0, static_cast<int>(std::floor(clear / fastest / step)) - 1);
}

// The chamber's outline at a shaft angle, thinned far from the port when `thin`, and whether
// any of its points lies near the port.
ChamberOutline::Outline ChamberOutline::at(double shaftAngle, Thinning thinning) const {
  const bool thin = thinning != kWhole;
  Outline out;
  Polyline& line = out.line;
  const auto add = [&](PlanePoint p) {
    out.nearPort = out.nearPort || covers(p);
    out.wideOfPort = out.wideOfPort && !wide_.holds(p);
    line.push_back(p);
  };
  // The bore from the leading seal's contact back to the trailing one's: its samples between
  // them, whose nearness to the port never changes. Far from the port a chord of a stride keeps
  // clear of it: it strays from the bore by a fortieth of the band.
  const double leading = HousingFrame::leadingSeal(shaftAngle);
  const double trailing = HousingFrame::trailingSeal(shaftAngle);
  const double step = 2 * pi / kBoreSamples;
  long first = static_cast<long>(std::floor(leading / step));
  if (static_cast<double>(first) * step >= leading) --first;
  long last = static_cast<long>(std::ceil(trailing / step));
  if (static_cast<double>(last) * step <= trailing) ++last;
  add(frame_.borePoint(leading));
  const auto wrapped = [](long n) {
    return static_cast<int>(((n % kBoreSamples) + kBoreSamples) % kBoreSamples);
  };
  // Samples `high` down to `low`, within one turn's numbering.
  const auto boreStretch = [&](int high, int low) {
    out.nearPort = out.nearPort || nearBefore_[high + 1] > nearBefore_[low];
    if (!thin) {
      for (int n = high; n >= low; --n) line.push_back(frame_.borePoint(2 * pi * n / kBoreSamples));
      return;
    }
    auto n = std::upper_bound(boreKept_.begin(), boreKept_.end(), high);
    while (n != boreKept_.begin() && *(n - 1) >= low) {
      --n;
      line.push_back(boreKeptPoints_[static_cast<std::size_t>(n - boreKept_.begin())]);
    }
  };
  if (first >= last) {
    const int high = wrapped(first), low = wrapped(last);
    if (high >= low) {
      boreStretch(high, low);
    } else {
      boreStretch(high, 0);
      boreStretch(kBoreSamples - 1, low);
    }
  }
  add(frame_.borePoint(trailing));
  // Round the trailing seal's tip to the flank, along the flank, round the leading seal's tip.
  const HousingFrame::Placement toFrame = frame_.placement(shaftAngle);
  const Polyline& flankLine = flank_->line;
  const double a = motionAngle(shaftAngle);
  // Each point of a tip's arc the one before turned by a fixed step; a few steps for a tip
  // beyond the port's neighbourhood, whose chords then stray from it by a few thousandths of e.
  const auto tipArc = [&](exact::Point apex, exact::Point from, exact::Point to) {
    if (bore_ == 0) return;
    const PlanePoint placedApex = toFrame(apex);
    const int steps = thin && !around_.holds(placedApex) ? kTipSamples / 6 : kTipSamples;
    const double t0 = std::atan2(from.y - apex.y, from.x - apex.x);
    const double turn = std::remainder(std::atan2(to.y - apex.y, to.x - apex.x) - t0, 2 * pi);
    const double c = std::cos(turn / steps), s = std::sin(turn / steps);
    double x = std::cos(t0), y = std::sin(t0);
    for (int n = 1; n < steps; ++n) {
      const double turned = x * c - y * s;
      y = x * s + y * c, x = turned;
      add(toFrame({apex.x + bore_ * x, apex.y + bore_ * y}));
    }
  };
  tipArc(rightApex_, exact::borePoint(K_, exact::kRightApex, a, bore_), rightTip_);
  // The flank stands still in the rotor's frame: a box taken there, as the box round its four
  // corners, is near enough for the flank's points to be judged without placing them; and
  // where x falls along the flank, the points within its x are found by halving.
  struct Span {
    double left = INFINITY, right = -INFINITY, low = INFINITY, high = -INFINITY;
    std::size_t from = 0, to = 0;
    bool holds(std::size_t n, const PlanePoint& p) const {
      return n >= from && n < to && p.x >= left && p.x <= right && p.y >= low && p.y <= high;
    }
  };
  const auto span = [&](const Box& box) {
    Span turned;
    for (const double x : {box.left, box.right}) {
      for (const double y : {box.bottom, box.top}) {
        const exact::Point corner = toFrame.back({x, y});
        turned.left = std::min(turned.left, corner.x);
        turned.right = std::max(turned.right, corner.x);
        turned.low = std::min(turned.low, corner.y);
        turned.high = std::max(turned.high, corner.y);
      }
    }
    turned.to = flankLine.size();
    if (flank_->falls) {
      const auto byFallingX = [](const PlanePoint& p, double x) { return p.x > x; };
      turned.from = static_cast<std::size_t>(
          std::lower_bound(flankLine.begin(), flankLine.end(), turned.right, byFallingX) -
          flankLine.begin());
      turned.to = static_cast<std::size_t>(std::lower_bound(flankLine.begin(), flankLine.end(),
                                                            std::nextafter(turned.left, -INFINITY),
                                                            byFallingX) -
                                           flankLine.begin());
    }
    return turned;
  };
  const Span nearSpan = span(near_), neighbourhood = span(around_);

  const std::size_t size = flankLine.size();
  bool flankNear = false;
  // Deep inside the port the outline keeps long chords, each with the sliver between it and
  // the flank's points added to the open area: the first and the last point of each stretch
  // there, and one in a deep stride between. The last one visited there waits to be kept until
  // the next one visited is not.
  std::size_t chordFrom = 0;
  bool inStretch = false, waiting = false;
  std::size_t waitingIndex = 0;
  PlanePoint waitingPoint{};
  const auto keepDeep = [&](std::size_t n, PlanePoint placed) {
    if (inStretch && thinning == kThinDrawn) {
      for (std::size_t k = chordFrom + 1; k < n; ++k) {
        line.push_back(toFrame({flankLine[k].x, flankLine[k].y}));
      }
    } else if (inStretch) {
      out.beyondChords += flank_->sliver(chordFrom, n);
    }
    line.push_back(placed);
    chordFrom = n;
    inStretch = true;
    waiting = false;
  };
  for (std::size_t n = 0; n < size;) {
    const PlanePoint& p = flankLine[n];
    // Placed and judged where it stands against the port: every point near its edges kept, a
    // point in a stride beyond the band moved off the curve; deep inside long chords; away
    // from it one in a stride, and one in a longer stride beyond its neighbourhood.
    const bool withinX = n >= nearSpan.from && n < nearSpan.to;
    const PlanePoint placed = withinX ? toFrame({p.x, p.y}) : PlanePoint{};
    const PortZones::Zone cell = withinX ? zones_.at(placed) : PortZones::kFar;
    flankNear |= cell != PortZones::kFar;
    const bool deep = thin && cell == PortZones::kInside;
    if (!deep) {
      if (waiting) keepDeep(waitingIndex, waitingPoint);
      inStretch = false;
    }
    // In the band's cells but beyond the band itself, a point is kept as one inside the port:
    // there its chord balances, and outside the chord keeps clear of the port by the band.
    const PortZones::Zone zone =
        cell == PortZones::kEdge && !zones_.withinBand(placed) ? PortZones::kInside : cell;
    const bool inNeighbourhood = n >= neighbourhood.from && n < neighbourhood.to;
    const std::size_t stride = deep                         ? kDeepStride
                               : zone == PortZones::kInside ? kInsideStride
                               : inNeighbourhood            ? kFarStride
                                                            : kRemoteStride;
    if (deep) {
      if (!inStretch || n % stride == 0 || n + 1 == size) {
        keepDeep(n, placed);
      } else {
        waiting = true, waitingIndex = n, waitingPoint = placed;
      }
    } else if (!thin || zone == PortZones::kEdge || n + 1 == size) {
      line.push_back(withinX ? placed : toFrame({p.x, p.y}));
    } else if (n % stride == 0) {
      const PlanePoint& kept = zone == PortZones::kInside ? flank_->inside[n] : p;
      line.push_back(toFrame({kept.x, kept.y}));
    }
    // On to the next point kept: beyond the port's x at once, within it over the points that
    // stay in their zone.
    std::size_t next = n + 1;
    if (thin && !withinX) {
      next = (n / stride + 1) * stride;
      if (n < nearSpan.from) next = std::min(next, nearSpan.from);
      if (n < neighbourhood.from) next = std::min(next, neighbourhood.from);
    } else if (thin && cell != PortZones::kEdge) {
      const auto staying = static_cast<std::size_t>(zones_.room(placed) / flank_->step);
      next = std::min(n + std::max<std::size_t>(staying, 1), (n / stride + 1) * stride);
    }
    n = std::max(n + 1, std::min(next, size - 1));
  }
  out.nearPort = out.nearPort || flankNear;
  // Where nothing is near, every point of the flank in the wide box's turned bounds is tested:
  // none may be in it for the scan to step over the next steps.
  if (thin && !out.nearPort && out.wideOfPort) {
    const Span wideSpan = span(wide_);
    for (std::size_t n = wideSpan.from; n < wideSpan.to && out.wideOfPort; ++n) {
      out.wideOfPort = !wideSpan.holds(n, flankLine[n]);
    }
  }
  tipArc(leftApex_, leftTip_, exact::borePoint(K_, exact::kLeftApex, a, bore_));
  return out;
}

}  // namespace rotary
