#include "render/ScanFill.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace korvid {

namespace {

constexpr double kGrid = 64;
// Beyond this a coordinate is far outside any image, and its 1/64 no longer matters.
constexpr double kGridReach = 1e12;

// A coordinate on QPainter's grid, rounded to the nearest point of it or down to the one
// below; OnGridNear only for one within kGridReach.
template <ScanFill::Grid kGrid_>
inline double OnGridNear(double value) {
  if constexpr (kGrid_ == ScanFill::Grid::kNone) return value;
  const double scaled = value * kGrid + (kGrid_ == ScanFill::Grid::kNearest ? 0.5 : 0);
  const long truncated = static_cast<long>(scaled);
  return static_cast<double>(truncated - (static_cast<double>(truncated) > scaled)) / kGrid;
}

inline double OnGrid(double value) {
  return std::abs(value) < kGridReach ? OnGridNear<ScanFill::Grid::kNearest>(value) : value;
}

inline bool Finite(double value) {
  return std::abs(value) <= std::numeric_limits<double>::max();
}

// Centre r + 0.5 beyond low: r > low - 0.5, from `before` + 1 up to `last` + 1 (`before`
// being the row or column before the clip's first). The value is bounded before it becomes
// an integer; one that is not a number counts as far below.
inline long FirstAfter(double low, double before, double last) {
  double edge = low - 0.5;
  edge = edge >= before ? edge : before;
  edge = edge <= last ? edge : last;
  return FloorToLong(edge) + 1;
}

// Centre r + 0.5 at or before high: r <= high - 0.5, from `before` up to `last`.
inline long LastUpTo(double high, double before, double last) {
  double edge = high - 0.5;
  edge = edge >= before ? edge : before;
  edge = edge <= last ? edge : last;
  return FloorToLong(edge);
}

}  // namespace

ScanFill::ScanFill(uchar* bits, qsizetype stride, const QRect& clip)
    : bits_(bits),
      stride_(stride),
      beforeLeft_(clip.left() - 1),
      beforeTop_(clip.top() - 1),
      right_(clip.right()),
      bottom_(clip.bottom()) {}

inline long ScanFill::FirstRowAfter(double low) const {
  return FirstAfter(low, beforeTop_, bottom_);
}
inline long ScanFill::LastRowUpTo(double high) const {
  return LastUpTo(high, beforeTop_, bottom_);
}
inline long ScanFill::FirstColumnAfter(double low) const {
  return FirstAfter(low, beforeLeft_, right_);
}
inline long ScanFill::LastColumnUpTo(double high) const {
  return LastUpTo(high, beforeLeft_, right_);
}

inline void ScanFill::Span(long row, double left, double right) {
  const long from = FirstColumnAfter(left);
  const long to = LastColumnUpTo(right);
  auto* const line = reinterpret_cast<std::uint32_t*>(bits_ + row * stride_);
  const std::uint32_t colour = colour_;
  for (long x = from; x <= to; ++x)
    line[x] = colour;
}

inline bool ScanFill::MakeEdge(QPointF from, QPointF to, Edge& edge) const {
  const double x0 = OnGrid(from.x()), y0 = OnGrid(from.y());
  const double x1 = OnGrid(to.x()), y1 = OnGrid(to.y());
  if (!(y0 != y1) || !Finite(x0) || !Finite(x1) || !Finite(y0) || !Finite(y1)) return false;
  // Always from the upper end, whichever way the edge runs: two outlines sharing it then
  // find it at the same place in every row.
  const bool down = y0 < y1;
  edge.top = down ? y0 : y1;
  edge.bottom = down ? y1 : y0;
  edge.x = down ? x0 : x1;
  edge.slope = ((down ? x1 : x0) - edge.x) / (edge.bottom - edge.top);
  edge.direction = down ? 1 : -1;
  edge.firstRow = FirstRowAfter(edge.top);
  edge.lastRow = LastRowUpTo(edge.bottom);
  return edge.firstRow <= edge.lastRow && Finite(edge.slope);
}

// A convex outline is where all its edges' half-planes meet: in each row, right of the
// edges on its left side and left of those on its right, whichever edge of a side reaches
// furthest in. No edge needs to be followed from row to row, and every row costs the same
// few operations, without a branch, whatever the outline's shape.
template <int kCorners, ScanFill::Grid kGrid_>
void ScanFill::ConvexOf(const QPointF* corners) {
  double xs[kCorners], ys[kCorners];
  double reach = 0;
#pragma GCC unroll 4
  for (int i = 0; i < kCorners; ++i) {
    xs[i] = corners[i].x();
    ys[i] = corners[i].y();
    reach = std::max(reach, std::max(std::abs(xs[i]), std::abs(ys[i])));
  }
  if (reach < kGridReach) {
#pragma GCC unroll 4
    for (int i = 0; i < kCorners; ++i) {
      xs[i] = OnGridNear<kGrid_>(xs[i]);
      ys[i] = OnGridNear<kGrid_>(ys[i]);
    }
  } else if (!(reach <= std::numeric_limits<double>::max())) {
    return;  // a corner that is not a finite number
  }
  double left = xs[0], right = xs[0], top = ys[0], bottom = ys[0];
#pragma GCC unroll 4
  for (int i = 1; i < kCorners; ++i) {
    left = std::min(left, xs[i]);
    right = std::max(right, xs[i]);
    top = std::min(top, ys[i]);
    bottom = std::max(bottom, ys[i]);
  }
  // Most pieces of a thin stroke's joins cover no pixel's centre: their bounds show it.
  const long firstRow = FirstRowAfter(top), lastRow = LastRowUpTo(bottom);
  if (firstRow > lastRow || FirstColumnAfter(left) > LastColumnUpTo(right)) return;
  double twiceArea = 0;
#pragma GCC unroll 4
  for (int i = 0, j = kCorners - 1; i < kCorners; j = i++)
    twiceArea += xs[j] * ys[i] - xs[i] * ys[j];
  if (twiceArea == 0) return;
  // Each edge from its upper end. On an outline that turns one way an edge running down is
  // on its left side, on one that turns the other way on its right. A level edge bounds
  // only rows, and those the corners' rows already bound.
  constexpr double kFar = std::numeric_limits<double>::infinity();
  double x[kCorners], from[kCorners], slope[kCorners];
  bool onLeft[kCorners];
#pragma GCC unroll 4
  for (int i = 0, j = kCorners - 1; i < kCorners; j = i++) {
    const bool down = ys[j] < ys[i];
    const int upper = down ? j : i, lower = down ? i : j;
    const double height = ys[lower] - ys[upper];
    onLeft[i] = height == 0 || (twiceArea > 0) != down;
    x[i] = height == 0 ? -kFar : xs[upper];
    from[i] = ys[upper];
    slope[i] = height == 0 ? 0 : (xs[lower] - xs[upper]) / height;
  }
  for (long row = firstRow; row <= lastRow; ++row) {
    const double y = static_cast<double>(row) + 0.5;
    double leftmost = -kFar, rightmost = kFar;
#pragma GCC unroll 4
    for (int k = 0; k < kCorners; ++k) {
      const double at = x[k] + (y - from[k]) * slope[k];
      leftmost = std::max(leftmost, onLeft[k] ? at : -kFar);
      rightmost = std::min(rightmost, onLeft[k] ? kFar : at);
    }
    Span(row, leftmost, rightmost);
  }
}

void ScanFill::Convex(const QPointF* corners, int count, Grid grid) {
  if (count == 3) {
    if (grid == Grid::kNearest) ConvexOf<3, Grid::kNearest>(corners);
    return;  // only joins are triangles
  }
  if (count != 4) return;
  switch (grid) {
    case Grid::kNearest:
      return ConvexOf<4, Grid::kNearest>(corners);
    case Grid::kBelow:
      return ConvexOf<4, Grid::kBelow>(corners);
    case Grid::kNone:
      return ConvexOf<4, Grid::kNone>(corners);
  }
}

void ScanFill::Disc(QPointF centre, double radius) {
  const double cx = centre.x(), cy = centre.y();
  if (!Finite(cx) || !Finite(cy) || !(radius > 0) || !Finite(radius)) return;
  const long first = FirstRowAfter(cy - radius);
  const long last = LastRowUpTo(cy + radius);
  if (first > last || FirstColumnAfter(cx - radius) > LastColumnUpTo(cx + radius)) return;
  const double squared = radius * radius;
  for (long row = first; row <= last; ++row) {
    const double dy = static_cast<double>(row) + 0.5 - cy;
    const double across = squared - dy * dy;
    if (across < 0) continue;
    const double half = std::sqrt(across);
    Span(row, cx - half, cx + half);
  }
}

void ScanFill::Rings(const QPointF* points, const std::uint32_t* sizes, std::size_t rings,
                     bool winding) {
  edges_.clear();
  std::size_t first = 0;
  for (std::size_t ring = 0; ring < rings; ++ring) {
    const std::size_t size = sizes[ring];
    if (size >= 3) {
      for (std::size_t i = 0; i < size; ++i) {
        Edge edge;
        if (MakeEdge(points[first + i], points[first + (i + 1 == size ? 0 : i + 1)], edge))
          edges_.push_back(edge);
      }
    }
    first += size;
  }
  if (edges_.empty()) return;
  std::sort(edges_.begin(), edges_.end(),
            [](const Edge& a, const Edge& b) { return a.firstRow < b.firstRow; });
  active_.clear();
  std::size_t next = 0;
  long row = edges_.front().firstRow;
  while (next < edges_.size() || !active_.empty()) {
    if (active_.empty()) row = std::max(row, edges_[next].firstRow);
    for (; next < edges_.size() && edges_[next].firstRow <= row; ++next)
      active_.push_back(&edges_[next]);
    const double y = static_cast<double>(row) + 0.5;
    crossings_.clear();
    for (const Edge* edge : active_)
      crossings_.push_back({edge->At(y), edge->direction});
    std::sort(crossings_.begin(), crossings_.end(),
              [](const Crossing& a, const Crossing& b) { return a.x < b.x; });
    int turns = 0;
    for (std::size_t i = 0; i + 1 < crossings_.size(); ++i) {
      turns += crossings_[i].direction;
      if (winding ? turns != 0 : (turns & 1) != 0) Span(row, crossings_[i].x, crossings_[i + 1].x);
    }
    std::erase_if(active_, [row](const Edge* edge) { return edge->lastRow <= row; });
    ++row;
  }
}

}  // namespace korvid
