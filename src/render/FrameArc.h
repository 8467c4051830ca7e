#pragma once

#include <QPointF>

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
  void Include(const FrameBox& other);
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

  FrameBox Bounds() const { return {cx - rx, cy - ry, cx + rx, cy + ry}; }
};

}  // namespace korvid
