#include "render/ThinPolyline.h"

#include <cstddef>

namespace korvid {

namespace {

// A point kept is looked for at most this many points on: the check of those in between
// grows with their number, and a longer stretch within the tolerance is a straight line that
// loses little by a corner more.
constexpr std::size_t kLongestStretch = 32;

// Whether `p` lies within the tolerance of the line from `a` to `b` (of `a`, when they are one
// point), all in doubles: products of two coordinates stay exact there.
bool Near(EmfWriter::Point a, EmfWriter::Point b, EmfWriter::Point p, double toleranceSquared) {
  const double dx = static_cast<double>(b.x) - a.x, dy = static_cast<double>(b.y) - a.y;
  const double px = static_cast<double>(p.x) - a.x, py = static_cast<double>(p.y) - a.y;
  const double along = dx * px + dy * py, lengthSquared = dx * dx + dy * dy;
  if (along <= 0 || lengthSquared == 0) return px * px + py * py <= toleranceSquared;
  if (along >= lengthSquared) {
    const double qx = static_cast<double>(p.x) - b.x, qy = static_cast<double>(p.y) - b.y;
    return qx * qx + qy * qy <= toleranceSquared;
  }
  const double across = dx * py - dy * px;
  return across * across <= toleranceSquared * lengthSquared;
}

}  // namespace

void ThinPolyline(std::vector<EmfWriter::Point>& points, double tolerance) {
  const std::size_t count = points.size();
  if (count <= 2) return;
  const double toleranceSquared = tolerance * tolerance;
  // The points kept move down to the front; those still to be looked at lie beyond them.
  std::size_t kept = 0;
  std::size_t from = 0;  // where the last point kept stood
  while (from + 1 < count) {
    const EmfWriter::Point anchor = points[from];
    std::size_t to = from + 1;
    while (to + 1 < count && to + 1 - from <= kLongestStretch) {
      bool near = true;
      for (std::size_t i = from + 1; i <= to && near; ++i)
        near = Near(anchor, points[to + 1], points[i], toleranceSquared);
      if (!near) break;
      ++to;
    }
    points[++kept] = points[to];
    from = to;
  }
  points.resize(kept + 1);
}

}  // namespace korvid
