#pragma once

namespace korvid {

// Cuts the segment from (x1, y1) to (x2, y2) down to its part inside the box from
// (minX, minY) to (maxX, maxY) (Liang-Barsky). False when no part of it is inside; the
// ends are then left as they were.
inline bool ClipSegmentToBox(double minX, double minY, double maxX, double maxY, double& x1,
                             double& y1, double& x2, double& y2) {
  const double dx = x2 - x1;
  const double dy = y2 - y1;
  double enter = 0;
  double leave = 1;
  // Narrows [enter, leave] by the half-plane p * t <= q.
  const auto narrow = [&enter, &leave](double p, double q) {
    if (p == 0) return q >= 0;
    const double t = q / p;
    if (p < 0) {
      if (t > leave) return false;
      if (t > enter) enter = t;
    } else {
      if (t < enter) return false;
      if (t < leave) leave = t;
    }
    return true;
  };
  if (!narrow(-dx, x1 - minX) || !narrow(dx, maxX - x1) || !narrow(-dy, y1 - minY) ||
      !narrow(dy, maxY - y1))
    return false;
  const double startX = x1, startY = y1;
  if (leave < 1) {
    x2 = startX + dx * leave;
    y2 = startY + dy * leave;
  }
  if (enter > 0) {
    x1 = startX + dx * enter;
    y1 = startY + dy * enter;
  }
  return true;
}

}  // namespace korvid
