// What of a drawing lies on the surface, worked out in floating point before the painter sees it.
#pragma once

#include <QPointF>
#include <QRectF>

namespace rotary::app {

// The part of the segment from a to b inside the box (Liang-Barsky), in floating point, so that
// nothing beyond the surface ever reaches the painter's integer coordinates. False when no part
// of it lies inside. An end cut at an edge takes the edge's coordinate as it is, so that a line
// whose far ends lie 1e30 pixels away still crosses the surface where it should.
bool clipToBox(QPointF& a, QPointF& b, const QRectF& box);

}  // namespace rotary::app
