#include "clipping.h"

namespace rotary::app {

bool clipToBox(QPointF& a, QPointF& b, const QRectF& box) {
  const double dx = b.x() - a.x(), dy = b.y() - a.y();
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {a.x() - box.left(), box.right() - a.x(), a.y() - box.top(),
                       box.bottom() - a.y()};
  const double edge[4] = {box.left(), box.right(), box.top(), box.bottom()};
  double enter = 0, leave = 1;
  int enterEdge = -1, leaveEdge = -1;
  for (int k = 0; k < 4; ++k) {
    if (p[k] == 0) {
      if (q[k] < 0) return false;
      continue;
    }
    const double t = q[k] / p[k];
    if (p[k] < 0 && t > enter) {
      enter = t;
      enterEdge = k;
    } else if (p[k] > 0 && t < leave) {
      leave = t;
      leaveEdge = k;
    }
    if (enter > leave) return false;
  }
  const QPointF from = a;
  const auto at = [&](double t, int k) {
    return k < 2 ? QPointF(edge[k], from.y() + t * dy) : QPointF(from.x() + t * dx, edge[k]);
  };
  if (enterEdge >= 0) a = at(enter, enterEdge);
  if (leaveEdge >= 0) b = at(leave, leaveEdge);
  return true;
}

}  // namespace rotary::app
