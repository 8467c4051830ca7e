#include "render/FrameArc.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace korvid {

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
  // With y downward, growing t turns clockwise on the screen; GDI's default direction is
  // the other one, so the sweep runs backwards from start to end. Both parameters lie
  // within one half turn of zero, so their difference needs no remainder to come within
  // one turn.
  constexpr double kTurn = 2 * std::numbers::pi;
  double span = kTurn;
  if (!fullTurn) {
    span = start - ParameterOfRay(to.x() - cx, to.y() - cy, rx, ry);
    if (span < 0) span += kTurn;
    if (span == 0) span = kTurn;
  }
  return {static_cast<float>(cx),
          static_cast<float>(cy),
          static_cast<float>(rx),
          static_cast<float>(ry),
          start,
          -span};
}

bool FrameArc::RadialPointsOnOneRay(std::int32_t left, std::int32_t top, std::int32_t right,
                                    std::int32_t bottom, std::int32_t fromX, std::int32_t fromY,
                                    std::int32_t toX, std::int32_t toY) {
  const std::int64_t sumX = std::int64_t{left} + right;
  const std::int64_t sumY = std::int64_t{top} + bottom;
  const __int128 ax = 2 * std::int64_t{fromX} - sumX, ay = 2 * std::int64_t{fromY} - sumY;
  const __int128 bx = 2 * std::int64_t{toX} - sumX, by = 2 * std::int64_t{toY} - sumY;
  return ax * by - ay * bx == 0 && ax * bx + ay * by >= 0;
}

}  // namespace korvid
