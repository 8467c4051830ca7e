#include "render/ScanFill.h"

#include <QRectF>
#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace korvid {

namespace {

constexpr double kGrid = 64;         // points of the grid a pixel: 26.6 fixed point
constexpr double kFixedOne = 65536;  // 16.16 fixed point
constexpr std::int64_t kHalf = 32768;

// A coordinate on the grid as QPainter's outlines have it: rounded to the nearest point,
// halves away from zero.
inline std::int64_t OnGrid(double value) {
  const double scaled = value * kGrid;
  return static_cast<std::int64_t>(scaled + std::copysign(0.5, scaled));
}

// floor of a value well inside the range of 64 bits, without a library call.
inline double Floor(double value) {
  const double truncated = static_cast<double>(static_cast<std::int64_t>(value));
  return truncated > value ? truncated - 1 : truncated;
}

// The grid point at or below a coordinate, as QPainter's lines have it.
inline double DownOnGrid(double value) {
  return Floor(value * kGrid) / kGrid;
}

// Whether any row (or column) centre lies beyond `low` and up to `high`, a point of the grid
// to spare either way; both within a few pixels of the clip. (An integer at or above one
// number and at or below another exists when the floor of the second is at or above the
// first.)
inline bool HoldsCentre(double low, double high) {
  constexpr double kStep = 1 / kGrid;
  return Floor(high - 0.5 + kStep) >= low - 0.5 - kStep;
}

inline bool Finite(double value) {
  return std::abs(value) <= std::numeric_limits<double>::max();
}

// QPainter's line rasteriser takes a line as level or upright when its ends are less than a
// point of the grid apart across.
inline bool SameOnGrid(double a, double b) {
  return static_cast<long>((b - a) * kGrid) == 0;
}

// Its quotient, with a level edge's slope as a number far beyond any image.
inline double SafeQuotient(double x, double y) {
  if (y == 0) return x > 0 ? 1e20 : -1e20;
  return x / y;
}

// Its 16.16 of a value, bounded to 64 bits.
inline std::int64_t SafeFixed(double value) {
  const double scaled = value * kFixedOne;
  if (scaled >= 9.2e18) return std::numeric_limits<std::int64_t>::max();
  if (scaled <= -9.2e18) return std::numeric_limits<std::int64_t>::min();
  return static_cast<std::int64_t>(scaled);
}

// Steps of its line rasteriser, which may run far past any row (a level edge's slope is
// 1e20) where it never draws: modulo 2^64, as its own arithmetic wraps.
inline std::int64_t Stepped(std::int64_t x, std::int64_t slope, long rows) {
  return static_cast<std::int64_t>(static_cast<std::uint64_t>(x) +
                                   static_cast<std::uint64_t>(slope) *
                                       static_cast<std::uint64_t>(rows));
}

template <typename T>
struct Bounds {
  T left, right, top, bottom;
};

// By value, without a branch: which corner is the outermost is as good as random.
template <int kCount, typename T>
inline Bounds<T> BoundsOf(const T* xs, const T* ys) {
  Bounds<T> b{xs[0], xs[0], ys[0], ys[0]};
#pragma GCC unroll 4
  for (int i = 1; i < kCount; ++i) {
    const T x = xs[i], y = ys[i];
    b.left = x < b.left ? x : b.left;
    b.right = x > b.right ? x : b.right;
    b.top = y < b.top ? y : b.top;
    b.bottom = y > b.bottom ? y : b.bottom;
  }
  return b;
}

// The part of the polygon inside the guard square (Sutherland-Hodgman), which keeps the
// winding of every point inside it.
void CutToGuard(std::vector<QPointF>& polygon, std::vector<QPointF>& scratch) {
  constexpr double kReach = ScanFill::kGuard;
  for (int side = 0; side < 4; ++side) {
    const auto inside = [side](QPointF p) {
      switch (side) {
        case 0:
          return p.x() >= -kReach;
        case 1:
          return p.x() <= kReach;
        case 2:
          return p.y() >= -kReach;
        default:
          return p.y() <= kReach;
      }
    };
    const auto crossing = [side](QPointF a, QPointF b) {
      const bool vertical = side < 2;
      const double bound = side % 2 == 0 ? -kReach : kReach;
      const double t =
          vertical ? (bound - a.x()) / (b.x() - a.x()) : (bound - a.y()) / (b.y() - a.y());
      return vertical ? QPointF(bound, a.y() + (b.y() - a.y()) * t)
                      : QPointF(a.x() + (b.x() - a.x()) * t, bound);
    };
    scratch.clear();
    for (std::size_t i = 0; i < polygon.size(); ++i) {
      const QPointF a = polygon[i], b = polygon[(i + 1) % polygon.size()];
      if (inside(a)) scratch.push_back(a);
      if (inside(a) != inside(b)) scratch.push_back(crossing(a, b));
    }
    polygon.swap(scratch);
  }
}

}  // namespace

ScanFill::ScanFill(uchar* bits, qsizetype stride, const QRect& clip)
    : bits_(bits),
      stride_(stride),
      left_(clip.left()),
      top_(clip.top()),
      right_(clip.right()),
      bottom_(clip.bottom()) {}

// A thin pen's rows are mostly one or two pixels long, as good as at random: both ends are
// written at once, and only longer rows loop over the pixels between.
inline void ScanFill::Pixels(long row, long from, long to) {
  if (from > to) return;
  auto* const line = reinterpret_cast<std::uint32_t*>(bits_ + row * stride_);
  const std::uint32_t colour = colour_;
  line[from] = colour;
  line[to] = colour;
  for (long x = from + 1; x < to; ++x)
    line[x] = colour;
}

// A crossing left of the clip counts as its first column, one right of it as the column
// after its last, as QPainter's scan converter bounds its edges.
inline void ScanFill::Span(long row, std::int64_t from, std::int64_t to) {
  const long first = static_cast<long>(std::max<std::int64_t>(from >> 16, left_));
  const long end = static_cast<long>(std::min<std::int64_t>(to >> 16, right_ + 1));
  Pixels(row, first, end - 1);
}

// Rows whose centres lie beyond the upper end up to and including the lower one; the first
// crossing from the upper end's exact position, the others a step of the slope apart, each
// rounded as QPainter rounds them. The slope's 16.16 is short of a pixel's 65536th a row,
// which QPainter lets add up from an edge's upper end down to the clip's first row: for one
// that begins further above than kStepsFromAbove rows, far beyond any of our pictures'
// lines, where the error would come to pixels, the first row's crossing is the exact one.
inline bool ScanFill::MakeEdge(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1,
                               Edge& edge) const {
  constexpr long kStepsFromAbove = 1 << 17;
  edge.direction = 1;
  if (y0 > y1) {
    std::swap(x0, x1);
    std::swap(y0, y1);
    edge.direction = -1;
  }
  const long topRow = static_cast<long>((y0 + 32) >> 6);
  edge.first = std::max(top_, topRow);
  edge.last = std::min(bottom_, static_cast<long>((y1 - 32) >> 6));
  if (edge.first > edge.last) return false;
  const std::int64_t start = kHalf + x0 * 1024;
  if (x1 == x0) {
    edge.x = start;
    edge.slope = 0;
    return true;
  }
  edge.slope = static_cast<std::int64_t>(static_cast<double>(x1 - x0) /
                                         static_cast<double>(y1 - y0) * kFixedOne);
  const std::int64_t below = (std::int64_t{edge.first} << 16) + kHalf - y0 * 1024;  // 16.16
  if (edge.first - topRow <= kStepsFromAbove) {
    edge.x = start + ((edge.slope * below) >> 16);
  } else {
    edge.x = start + static_cast<std::int64_t>(
                         static_cast<double>(x1 - x0) * 1024 *
                         (static_cast<double>(below) / 1024 / static_cast<double>(y1 - y0)));
  }
  return true;
}

bool ScanFill::Guarded(const QPointF* corners, int count, std::vector<QPointF>& cut) {
  cut.assign(corners, corners + count);
  for (const QPointF& p : cut)
    if (!Finite(p.x()) || !Finite(p.y())) return false;
  std::vector<QPointF> scratch;
  CutToGuard(cut, scratch);
  return true;
}

// Half a pixel and a point of the grid to spare; false as well for a bound not a number.
[[gnu::always_inline]] inline bool ScanFill::Covers(double left, double top, double right,
                                                    double bottom) const {
  constexpr double kSpare = 0.5 + 1 / kGrid;
  if (!(bottom > top_ - kSpare && top < bottom_ + 1 + kSpare && right > left_ - kSpare &&
        left < right_ + 1 + kSpare))
    return false;
  return HoldsCentre(std::max(top, top_ - 1.0), std::min(bottom, bottom_ + 2.0)) &&
         HoldsCentre(std::max(left, left_ - 1.0), std::min(right, right_ + 2.0));
}

template <int kCount>
inline bool ScanFill::CoversAll(const double* xs, const double* ys) const {
  const Bounds<double> b = BoundsOf<kCount>(xs, ys);
  return Covers(b.left, b.top, b.right, b.bottom);
}

// Within the guard, the corners go on the grid at once and the piece is judged there: a
// piece of a thin pen's stroke is a pixel or two across, and the test of its bounds costs
// it as much as its pixels.
template <int kCount>
void ScanFill::ConvexOf(const QPointF* corners) {
  std::int64_t gridX[kCount + 4], gridY[kCount + 4];
  bool near = true;
#pragma GCC unroll 4
  for (int i = 0; i < kCount; ++i)
    near = near & (std::abs(corners[i].x()) <= kGuard) & (std::abs(corners[i].y()) <= kGuard);
  if (near) {
#pragma GCC unroll 4
    for (int i = 0; i < kCount; ++i) {
      gridX[i] = OnGrid(corners[i].x());
      gridY[i] = OnGrid(corners[i].y());
    }
    if (!MayHoldPixels<kCount>(gridX, gridY)) return;
    return ConvexOnGrid<kCount>(gridX, gridY, kCount);
  }
  double xs[kCount], ys[kCount];
  for (int i = 0; i < kCount; ++i) {
    xs[i] = corners[i].x();
    ys[i] = corners[i].y();
  }
  if (!CoversAll<kCount>(xs, ys)) return;
  if (!Guarded(corners, kCount, cut_)) return;
  const int count = static_cast<int>(cut_.size());
  for (int i = 0; i < count; ++i) {
    gridX[i] = OnGrid(cut_[i].x());
    gridY[i] = OnGrid(cut_[i].y());
  }
  ConvexOnGrid<0>(gridX, gridY, count);
}

// Whether the piece may hold a pixel centre of the clip. Its crossings lie within its
// corners' columns, half a pixel added, but for the error of the 16.16 slope, short of a
// 65536th of a pixel a row, and of the rounding of each crossing: a point of the grid and one
// more for every thousand rows make room for it many times over. Its pixels are those whose
// right edge lies above one crossing and up to the other: with none such between its
// bounds, it has none. Most join pieces of a thin pen are slivers that hold no pixel centre,
// and this costs a small part of finding their crossings.
template <int kCount>
inline bool ScanFill::MayHoldPixels(const std::int64_t* xs, const std::int64_t* ys) const {
  const Bounds<std::int64_t> b = BoundsOf<kCount>(xs, ys);
  const long first = std::max(top_, static_cast<long>((b.top + 32) >> 6));
  const long last = std::min(bottom_, static_cast<long>((b.bottom - 32) >> 6));
  const std::int64_t spare = 2 + ((b.bottom - b.top) >> 14);  // points of the grid
  const std::int64_t low = (b.left + 32 - spare) >> 6, high = (b.right + 32 + spare) >> 6;
  // One branch for all: which way it goes is as good as random.
  return (first <= last) & (low < high) & (high > left_) & (low <= right_);
}

// Down both sides from the top corner at once, each side on the edge whose rows hold the
// row: the edges of a side share no row, and leave none out.
template <int kCount>
void ScanFill::ConvexOnGrid(const std::int64_t* xs, const std::int64_t* ys, int count) {
  if constexpr (kCount > 0) count = kCount;
  if (count < 3) return;
  int topmost = 0, bottommost = 0;
  for (int i = 1; i < count; ++i) {
    topmost = ys[i] < ys[topmost] ? i : topmost;
    bottommost = ys[i] > ys[bottommost] ? i : bottommost;
  }
  const long first = std::max(top_, static_cast<long>((ys[topmost] + 32) >> 6));
  const long last = std::min(bottom_, static_cast<long>((ys[bottommost] - 32) >> 6));
  if (first > last) return;
  if (first == last) return OneRow<kCount>(xs, ys, count, topmost, bottommost, first);
  if constexpr (kCount == 4) {
    if (FourCorners(xs, ys, topmost, bottommost, first, last)) return;
  }
  // Each side: the corner its edge ends at, and the edge.
  int endA = topmost, endB = topmost;
  Edge edgeA{0, 0, first, first - 1, 1}, edgeB = edgeA;
  const auto follow = [&](int& end, bool forward, Edge& edge, long row) {
    while (row > edge.last && end != bottommost) {
      const int next =
          forward ? (end + 1 == count ? 0 : end + 1) : (end == 0 ? count - 1 : end - 1);
      if (!MakeEdge(xs[end], ys[end], xs[next], ys[next], edge)) edge.last = row - 1;
      end = next;
    }
  };
  // Rows in stretches on the same two edges.
  for (long row = first; row <= last;) {
    follow(endA, true, edgeA, row);
    follow(endB, false, edgeB, row);
    const long stretch = std::min(last, std::min(edgeA.last, edgeB.last));
    if (stretch < row) {  // not convex after all
      ++row;
      continue;
    }
    std::int64_t a = edgeA.At(row), b = edgeB.At(row);
    for (; row <= stretch; ++row) {
      Span(row, std::min(a, b), std::max(a, b));
      a += edgeA.slope;
      b += edgeB.slope;
    }
  }
}

// As MakeEdge, without a branch, for an edge that may hold no row at all (false then): the
// pieces of thin pens turn their corners every way. False as well for an edge that begins
// further above the clip than MakeEdge follows in fixed point.
inline bool ScanFill::AnyEdge(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1,
                              Edge& edge) const {
  constexpr long kStepsFromAbove = 1 << 17;
  const bool down = y0 <= y1;
  const std::int64_t upperX = down ? x0 : x1, upperY = down ? y0 : y1;
  const std::int64_t lowerX = down ? x1 : x0, lowerY = down ? y1 : y0;
  const long topRow = static_cast<long>((upperY + 32) >> 6);
  edge.first = std::max(top_, topRow);
  edge.last = std::min(bottom_, static_cast<long>((lowerY - 32) >> 6));
  edge.direction = 1;
  const bool holds = (edge.first <= edge.last) & (edge.first - topRow <= kStepsFromAbove);
  // An edge that holds a row is as high as one; any other gets a harmless height.
  const std::int64_t height = holds ? lowerY - upperY : 1;
  const std::int64_t below =
      holds ? (std::int64_t{edge.first} << 16) + kHalf - upperY * 1024 : 0;  // 16.16
  // An upright edge's slope comes out as 0 all the same.
  edge.slope = static_cast<std::int64_t>(static_cast<double>(lowerX - upperX) /
                                         static_cast<double>(height) * kFixedOne);
  edge.x = kHalf + upperX * 1024 + ((edge.slope * below) >> 16);
  return holds;
}

// The rows of a piece of four corners on two and more rows: its four edges worked out at
// once, and in each row each side on the first of its edges that reaches down to the row,
// as ConvexOnGrid follows them (a row where one side has none left holds nothing), picked
// without a branch. False, leaving it to ConvexOnGrid, for an edge that begins far above.
bool ScanFill::FourCorners(const std::int64_t* xs, const std::int64_t* ys, int topmost,
                           int bottommost, long first, long last) {
  Edge edges[4];  // from each corner to the next
  bool holds[4];
  bool far = false;
#pragma GCC unroll 4
  for (int i = 0; i < 4; ++i) {
    const int j = (i + 1) & 3;
    holds[i] = AnyEdge(xs[i], ys[i], xs[j], ys[j], edges[i]);
    // Such an edge holds rows, but begins too far above.
    far = far | (!holds[i] & (edges[i].first <= edges[i].last));
  }
  if (far) return false;
  // Each side's edges from the top corner, as far as the bottom one.
  int sides[2][3];
  bool reach[2][3];
#pragma GCC unroll 2
  for (int side = 0; side < 2; ++side) {
    const int step = side == 0 ? 1 : 3;
    const int c1 = (topmost + step) & 3, c2 = (c1 + step) & 3;
    sides[side][0] = side == 0 ? topmost : c1;
    sides[side][1] = side == 0 ? c1 : c2;
    sides[side][2] = side == 0 ? c2 : (c2 + step) & 3;
    reach[side][0] = true;
    reach[side][1] = c1 != bottommost;
    reach[side][2] = reach[side][1] & (c2 != bottommost);
  }
  for (long row = first; row <= last; ++row) {
    std::int64_t crossings[2];
    bool found = true;
#pragma GCC unroll 2
    for (int side = 0; side < 2; ++side) {
      const Edge &e0 = edges[sides[side][0]], &e1 = edges[sides[side][1]],
                 &e2 = edges[sides[side][2]];
      const bool on0 = reach[side][0] & holds[sides[side][0]] & (e0.last >= row);
      const bool on1 = !on0 & reach[side][1] & holds[sides[side][1]] & (e1.last >= row);
      const bool on2 = !on0 & !on1 & reach[side][2] & holds[sides[side][2]] & (e2.last >= row);
      found = found & (on0 | on1 | on2);
      // Modulo 2^64: an edge not picked may lie far off in its row.
      const std::int64_t at0 = Stepped(e0.x, e0.slope, row - e0.first),
                         at1 = Stepped(e1.x, e1.slope, row - e1.first),
                         at2 = Stepped(e2.x, e2.slope, row - e2.first);
      crossings[side] = on0 ? at0 : (on1 ? at1 : at2);
    }
    if (found)
      Span(row, std::min(crossings[0], crossings[1]), std::max(crossings[0], crossings[1]));
  }
  return true;
}

// Most pieces of a thin pen's stroke hold the centres of one row only: on each side the first
// edge that crosses the row, as ConvexOnGrid would follow it, without its stretches. An edge
// holds the row when its upper end lies above the row's centre and its lower end not (as
// MakeEdge counts rows, the row being the clip's); only that edge's crossing is worked out.
// Of four corners, each side's edge is picked without a branch: which it is, is as good as
// random from piece to piece.
template <int kCount>
void ScanFill::OneRow(const std::int64_t* xs, const std::int64_t* ys, int count, int topmost,
                      int bottommost, long row) {
  const std::int64_t centre = std::int64_t{row} * 64 + 32;
  const auto holds = [&](int from, int to) {
    return (std::min(ys[from], ys[to]) < centre) & (std::max(ys[from], ys[to]) >= centre);
  };
  std::int64_t crossings[2];
#pragma GCC unroll 2
  for (int side = 0; side < 2; ++side) {
    int end = topmost, next;
    if constexpr (kCount == 4) {
      // The top corner lies above the row's centre and the bottom one not: the side's edge
      // ends at its first corner that does not, before the bottom one or at it.
      const int step = side == 0 ? 1 : 3;
      const int c1 = (end + step) & 3, c2 = (c1 + step) & 3;
      const int above = (ys[c1] < centre) + ((ys[c1] < centre) & (ys[c2] < centre));
      end = (end + above * step) & 3;
      next = (end + step) & 3;
    } else {
      while (true) {
        if (end == bottommost) return;
        next = side == 0 ? (end + 1 == count ? 0 : end + 1) : (end == 0 ? count - 1 : end - 1);
        if (holds(end, next)) break;
        end = next;
      }
    }
    Edge edge{};
    MakeEdge(xs[end], ys[end], xs[next], ys[next], edge);
    crossings[side] = edge.x;
  }
  Span(row, std::min(crossings[0], crossings[1]), std::max(crossings[0], crossings[1]));
}

// QPainter's own rasteriser for a lone line with flat or square ends, step by step: the
// line cut to the clip widened by the pen; a level line turned into an upright one of the
// same rectangle; an upright one's rectangle as it stands; any other's corners put on the
// grid below them and the rows between followed down both sides in 16.16, the rows of its
// top and bottom corners counted in.
void ScanFill::LoneLine(QPointF from, QPointF to, double width, bool squareEnds) {
  // As QLineF's length, whose hypot of a level or upright line is the other side itself:
  // a dot is such a line, and the library's hypot costs as much as the rest.
  const double dx = to.x() - from.x(), dy = to.y() - from.y();
  const double length = dy == 0 ? std::abs(dx) : (dx == 0 ? std::abs(dy) : std::hypot(dx, dy));
  if (from == to || !(length > 0)) return;
  double relative = width / length;
  if (!(relative > 0) || !Finite(relative)) return;
  QPointF a = from, b = to;
  if (squareEnds) {
    const QPointF delta = b - a;
    a -= (0.5 * relative) * delta;
    b += (0.5 * relative) * delta;
  }
  const QPointF offset =
      QPointF(std::abs(to.y() - from.y()), std::abs(to.x() - from.x())) * relative * 0.5;
  const QRectF clip(QPointF(left_, top_) - offset, QPointF(right_ + 1, bottom_ + 1) + offset);
  const auto contains = [&clip](QPointF p) {
    return p.x() >= clip.left() && p.x() <= clip.right() && p.y() >= clip.top() &&
           p.y() <= clip.bottom();
  };
  const bool cut = !contains(a) || !contains(b);
  if (cut) {
    double enter = 0, leave = 1;
    const double origin[2] = {a.x(), a.y()};
    const double along[2] = {b.x() - a.x(), b.y() - a.y()};
    const double low[2] = {clip.left(), clip.top()};
    const double high[2] = {clip.right(), clip.bottom()};
    for (int i = 0; i < 2; ++i) {
      if (along[i] == 0) {
        if (origin[i] <= low[i] || origin[i] >= high[i]) return;
        continue;
      }
      double t0 = (low[i] - origin[i]) / along[i], t1 = (high[i] - origin[i]) / along[i];
      if (t0 > t1) std::swap(t0, t1);
      enter = std::max(enter, t0);
      leave = std::min(leave, t1);
      if (!(enter < leave)) return;
    }
    const QPointF start = a;
    a = start + (b - start) * enter;
    b = start + (b - start) * leave;
  }
  // Its width follows the part of the line left, measured against the whole: with the
  // line whole and its ends where they were, the quotient is one to the bit.
  if (cut || squareEnds) {
    const QPointF before = from - to, after = a - b;
    const double squared = after.x() * after.x() + after.y() * after.y();
    if (squared == 0) return;
    relative *= std::sqrt((before.x() * before.x() + before.y() * before.y()) / squared);
  }
  if (SameOnGrid(a.y(), b.y())) {
    const double x = (a.x() + b.x()) * 0.5, half = std::abs(b.x() - a.x()) * 0.5;
    const double y = a.y(), across = relative * half;
    a = {x, y - across};
    b = {x, y + across};
    relative = 1 / relative;
  }
  if (SameOnGrid(a.x(), b.x())) {
    if (a.y() > b.y()) std::swap(a, b);
    const double half = 0.5 * relative * (b.y() - a.y());
    const double left = std::clamp(a.x() - half, double(left_), double(right_ + 1));
    const double right = std::clamp(a.x() + half, double(left_), double(right_ + 1));
    const double top = std::clamp(a.y(), double(top_), double(bottom_ + 1));
    const double bottom = std::clamp(b.y(), double(top_), double(bottom_ + 1));
    if (SameOnGrid(left, right) || SameOnGrid(top, bottom)) return;
    const long firstRow = static_cast<long>(top + 0.5);
    const long lastRow = bottom < 0.5 ? -1 : static_cast<long>(bottom - 0.5);
    const long firstColumn = static_cast<long>(left + 0.5);
    const long lastColumn = right < 0.5 ? -1 : static_cast<long>(right - 0.5);
    for (long row = firstRow; row <= lastRow; ++row)
      Pixels(row, firstColumn, lastColumn);
    return;
  }
  if (a.y() > b.y()) std::swap(a, b);
  const QPointF delta = (b - a) * (0.5 * relative);
  const QPointF normal(delta.y(), -delta.x());
  const bool rightwards = a.x() < b.x();
  QPointF top = rightwards ? a + normal : a - normal;
  QPointF left = rightwards ? a - normal : b - normal;
  QPointF right = rightwards ? b + normal : a + normal;
  QPointF bottom = rightwards ? b - normal : b + normal;
  for (QPointF* corner : {&top, &left, &right, &bottom})
    *corner = {DownOnGrid(corner->x()), DownOnGrid(corner->y())};
  const double topLeft = SafeQuotient((left - top).x(), (left - top).y());
  const double bottomLeft = SafeQuotient((bottom - left).x(), (bottom - left).y());
  const double topRight = SafeQuotient((right - top).x(), (right - top).y());
  const double bottomRight = SafeQuotient((bottom - right).x(), (bottom - right).y());
  const std::int64_t topLeftStep = SafeFixed(topLeft), bottomLeftStep = SafeFixed(bottomLeft);
  const std::int64_t topRightStep = SafeFixed(topRight), bottomRightStep = SafeFixed(bottomRight);
  const auto rowAbove = [](double y) { return y < 0.5 ? -1L : static_cast<long>(y - 0.5); };
  const long topRow = static_cast<long>(top.y() + 0.5);
  long leftRow = rowAbove(left.y()), rightRow = rowAbove(right.y());
  long bottomRow = rowAbove(bottom.y());
  long middleRow = std::min(leftRow, rightRow);
  // Its row centres are counted in single precision.
  const auto centre = [](long row, float half) { return static_cast<double>(row + half); };
  std::int64_t leftA = SafeFixed(top.x() + 0.5 + (centre(topRow, 0.5f) - top.y()) * topLeft);
  std::int64_t leftB = SafeFixed(left.x() + 0.5 + (centre(leftRow, 1.5f) - left.y()) * bottomLeft);
  std::int64_t rightA = SafeFixed(top.x() - 0.5 + (centre(topRow, 0.5f) - top.y()) * topRight);
  std::int64_t rightB =
      SafeFixed(right.x() - 0.5 + (centre(rightRow, 1.5f) - right.y()) * bottomRight);
  long row = topRow;
  const auto segment = [&](long& next, std::int64_t& leftX, std::int64_t& rightX,
                           std::int64_t leftStep, std::int64_t rightStep) {
    const long skipTo = std::min(next + 1, top_);
    if (row < skipTo) {
      leftX = Stepped(leftX, leftStep, skipTo - row);
      rightX = Stepped(rightX, rightStep, skipTo - row);
      row = skipTo;
    }
    next = std::min(next, bottom_);
    for (; row <= next; ++row) {
      const long from = std::max(static_cast<long>(leftX >> 16), left_);
      const long to = std::min(static_cast<long>(rightX >> 16), right_);
      Pixels(row, from, to);
      leftX = Stepped(leftX, leftStep, 1);
      rightX = Stepped(rightX, rightStep, 1);
    }
  };
  segment(middleRow, leftA, rightA, topLeftStep, topRightStep);
  segment(rightRow, leftB, rightA, bottomLeftStep, topRightStep);
  segment(leftRow, leftA, rightB, topLeftStep, bottomRightStep);
  segment(bottomRow, leftB, rightB, bottomLeftStep, bottomRightStep);
}

void ScanFill::Disc(QPointF centre, double radius) {
  const double cx = centre.x(), cy = centre.y();
  if (!(std::abs(cx) <= kGuard && std::abs(cy) <= kGuard && radius > 0 && radius <= kGuard)) return;
  // Centres beyond the upper (left) end, up to and including the lower (right) one.
  const long first = std::max(top_, static_cast<long>(Floor(cy - radius - 0.5)) + 1);
  const long last = std::min(bottom_, static_cast<long>(Floor(cy + radius - 0.5)));
  const double squared = radius * radius;
  for (long row = first; row <= last; ++row) {
    const double dy = static_cast<double>(row) + 0.5 - cy;
    const double across = squared - dy * dy;
    if (across < 0) continue;
    const double half = std::sqrt(across);
    const long from = std::max(left_, static_cast<long>(Floor(cx - half - 0.5)) + 1);
    const long to = std::min(right_, static_cast<long>(Floor(cx + half - 0.5)));
    Pixels(row, from, to);
  }
}

void ScanFill::Rings(const QPointF* points, const std::uint32_t* sizes, std::size_t rings,
                     bool winding) {
  edges_.clear();
  std::size_t first = 0;
  for (std::size_t ring = 0; ring < rings; ++ring) {
    const std::size_t size = sizes[ring];
    const QPointF* corners = points + first;
    first += size;
    if (size < 3) continue;
    bool far = false;
    for (std::size_t i = 0; i < size && !far; ++i)
      far = !(std::abs(corners[i].x()) <= kGuard && std::abs(corners[i].y()) <= kGuard);
    std::size_t count = size;
    if (far) {
      if (!Guarded(corners, static_cast<int>(size), cut_)) continue;
      corners = cut_.data();
      count = cut_.size();
    }
    for (std::size_t i = 0; i < count; ++i) {
      const QPointF a = corners[i], b = corners[i + 1 == count ? 0 : i + 1];
      Edge edge;
      if (MakeEdge(OnGrid(a.x()), OnGrid(a.y()), OnGrid(b.x()), OnGrid(b.y()), edge))
        edges_.push_back(edge);
    }
  }
  if (edges_.empty()) return;
  std::sort(edges_.begin(), edges_.end(),
            [](const Edge& a, const Edge& b) { return a.first < b.first; });
  active_.clear();
  std::size_t next = 0;
  long row = edges_.front().first;
  while (next < edges_.size() || !active_.empty()) {
    if (active_.empty()) row = std::max(row, edges_[next].first);
    for (; next < edges_.size() && edges_[next].first <= row; ++next)
      active_.push_back(&edges_[next]);
    crossings_.clear();
    for (const Edge* edge : active_)
      crossings_.push_back({edge->At(row), edge->direction});
    std::sort(crossings_.begin(), crossings_.end(),
              [](const Crossing& a, const Crossing& b) { return a.x < b.x; });
    int turns = 0;
    for (std::size_t i = 0; i + 1 < crossings_.size(); ++i) {
      turns += crossings_[i].direction;
      if (winding ? turns != 0 : (turns & 1) != 0) Span(row, crossings_[i].x, crossings_[i + 1].x);
    }
    std::erase_if(active_, [row](const Edge* edge) { return edge->last <= row; });
    ++row;
  }
}

// WideStroker and the sinks cut their strokes into pieces of three and four corners.
template void ScanFill::ConvexOf<3>(const QPointF* corners);
template void ScanFill::ConvexOf<4>(const QPointF* corners);

}  // namespace korvid
