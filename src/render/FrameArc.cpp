#include "render/FrameArc.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace korvid {

void FrameBox::Include(const FrameBox& other) {
  left = std::min(left, other.left);
  top = std::min(top, other.top);
  right = std::max(right, other.right);
  bottom = std::max(bottom, other.bottom);
}

namespace {

// The parameter t at which the ray from the centre in direction (dx, dy) meets the ellipse
// with radii rx, ry. Qt's arc angles and ours are parametric, not geometric: on a
// non-circular ellipse the two differ, and only this one puts the ends on the rays.
double ParameterOfRay(double dx, double dy, double rx, double ry) {
  return std::atan2(dy * rx, dx * ry);
}

}  // namespace

FrameArc FrameArc::Through(QPointF corner1, QPointF corner2, QPointF from, QPointF to,
                           bool fullTurn) {
  const double cx = (corner1.x() + corner2.x()) / 2;
  const double cy = (corner1.y() + corner2.y()) / 2;
  const double rx = std::abs(corner2.x() - corner1.x()) / 2;
  const double ry = std::abs(corner2.y() - corner1.y()) / 2;
  const double start = ParameterOfRay(from.x() - cx, from.y() - cy, rx, ry);
  const double end = ParameterOfRay(to.x() - cx, to.y() - cy, rx, ry);
  // With y downward, growing t turns clockwise on the screen; GDI's default direction is
  // the other one, so the sweep runs backwards from start to end.
  constexpr double kTurn = 2 * std::numbers::pi;
  double span = std::fmod(start - end, kTurn);
  if (span < 0) span += kTurn;
  if (fullTurn || span == 0) span = kTurn;
  return {static_cast<float>(cx),
          static_cast<float>(cy),
          static_cast<float>(rx),
          static_cast<float>(ry),
          start,
          -span};
}

}  // namespace korvid
