#pragma once

#include <QPointF>
#include <algorithm>
#include <cstdint>

namespace korvid {

// A box in frame coordinates (0.01 mm, y downward), edges included.
struct FrameBox {
  float left, top, right, bottom;

  bool Intersects(const FrameBox& other) const {
    return left <= other.right && other.left <= right && top <= other.bottom && other.top <= bottom;
  }
  bool Contains(const FrameBox& other) const {
    return left <= other.left && other.right <= right && top <= other.top && other.bottom <= bottom;
  }
  void Include(const FrameBox& other) {
    left = std::min(left, other.left);
    top = std::min(top, other.top);
    right = std::max(right, other.right);
    bottom = std::max(bottom, other.bottom);
  }
};

// An elliptic arc in frame coordinates: the points centre + (rx cos t, ry sin t) for t from
// start over sweep radians. Frame y grows downward, so a negative sweep runs
// counter-clockwise as seen, the way GDI draws arcs.
struct FrameArc {
  float cx, cy, rx, ry;
  double start, sweep;

  // The arc GDI draws for a bounding box given by two opposite corners and two radial
  // points, all already in frame coordinates: counter-clockwise as seen, from where the
  // ray from the centre through `from` meets the ellipse to where the ray through `to`
  // does. `fullTurn` (both radial points on one ray) closes the ellipse.
  static FrameArc Through(QPointF corner1, QPointF corner2, QPointF from, QPointF to,
                          bool fullTurn);

  // Whether GDI draws the whole ellipse for an arc of this box (left, top, right, bottom
  // in logical units) and these radial points: both lie on one ray from the centre. Exact,
  // in doubled units, so that no rounding can open a closed circle.
  static bool RadialPointsOnOneRay(std::int32_t left, std::int32_t top, std::int32_t right,
                                   std::int32_t bottom, std::int32_t fromX, std::int32_t fromY,
                                   std::int32_t toX, std::int32_t toY);

  FrameBox Bounds() const { return {cx - rx, cy - ry, cx + rx, cy + ry}; }
};

}  // namespace korvid
