#pragma once
#include <cmath>

#include "labels/LabelLayout.h"

namespace korvid {

// A position in a label's own frame, plotter units: `along` the run direction and `up`
// perpendicular to it (a quarter turn anticlockwise), from the pen where the label starts.
struct LocalPoint {
  double along = 0;
  double up = 0;
};

inline LocalPoint operator+(LocalPoint a, LocalPoint b) {
  return {a.along + b.along, a.up + b.up};
}
inline LocalPoint operator-(LocalPoint a, LocalPoint b) {
  return {a.along - b.along, a.up - b.up};
}
inline LocalPoint operator*(double k, LocalPoint a) {
  return {k * a.along, k * a.up};
}

// Turns label-frame positions into plotter positions and back. A run direction that is zero
// or not a number runs along X, as the default direction does.
class LabelFrame {
 public:
  LabelFrame(LabelPoint origin, double directionX, double directionY) : origin_(origin) {
    const double length = std::hypot(directionX, directionY);
    if (std::isfinite(length) && length > 0) {
      runX_ = directionX / length;
      runY_ = directionY / length;
    }
  }

  LabelPoint ToPlotter(LocalPoint p) const {
    return {origin_.x + runX_ * p.along - runY_ * p.up, origin_.y + runY_ * p.along + runX_ * p.up};
  }

  LocalPoint ToLocal(LabelPoint p) const {
    const double dx = p.x - origin_.x;
    const double dy = p.y - origin_.y;
    return {runX_ * dx + runY_ * dy, -runY_ * dx + runX_ * dy};
  }

 private:
  LabelPoint origin_;
  double runX_ = 1;
  double runY_ = 0;
};

}  // namespace korvid
