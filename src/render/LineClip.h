#pragma once

#include <QPointF>
#include <QRectF>

namespace korvid {

// Cuts the line from `from` to `to` down to its part inside `box` (Liang-Barsky). False
// when no part of it is inside; the points are then left as they were.
bool ClipLine(QPointF& from, QPointF& to, const QRectF& box);

}  // namespace korvid
