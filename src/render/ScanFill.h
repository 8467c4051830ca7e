#pragma once

#include <QPointF>
#include <QRect>
#include <QRgb>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace korvid {

// Fills areas of a 32-bit image in one opaque colour, without antialiasing, pixel for pixel
// as QPainter fills them on an image: the corners on its grid of 1/64 pixel, each edge
// followed from row to row in its 16.16 fixed point, and a pixel filled when its centre
// lies inside, where a centre on a left or top edge counts as outside and one on a right or
// bottom edge as inside. Pieces of one outline that share an edge thus tile without gap or
// overlap, and a stroke cut into convex pieces fills what its whole outline would.
// Coordinates may lie anywhere, however far off the image: an outline reaching beyond
// kGuard is first cut down to it, far outside any image, and only the clip's rows and
// columns are visited. An outline with a corner that is not a finite number fills nothing.
class ScanFill {
 public:
  ScanFill(uchar* bits, qsizetype stride, const QRect& clip);

  void SetColour(QRgb colour) { colour_ = 0xff000000 | colour; }

  // Pixels from the origin beyond which outlines are cut: the fixed-point arithmetic of
  // its edges stays within 64 bits.
  static constexpr double kGuard = 4194304;
  static constexpr int kMostCorners = 4;

  // A convex piece of an outline, of 3 to kMostCorners corners in either order round.
  void Convex(const QPointF* corners, int count) {
    if (count == 4) return ConvexOf<4>(corners);
    if (count == 3) ConvexOf<3>(corners);
  }
  // A line `width` pixels wide with flat or square ends drawn on its own, as QPainter draws
  // one: its own rasteriser for lines, which puts the rectangle's corners on the grid below
  // them, leaves a level or upright one off it, and counts the rows of the ends in.
  void LoneLine(QPointF from, QPointF to, double width, bool squareEnds);
  // The pixels whose centres lie within `radius` of `centre`.
  void Disc(QPointF centre, double radius);
  // Closed rings, each given by its corners, filled together by the non-zero winding rule
  // or else by the even-odd rule.
  void Rings(const QPointF* points, const std::uint32_t* sizes, std::size_t rings, bool winding);

 private:
  template <int kCount>
  void ConvexOf(const QPointF* corners);
  // An edge between two points of the grid as QPainter's scan converter follows it: the
  // clip's rows whose centres it spans, and where it crosses them, half a pixel added.
  struct Edge {
    std::int64_t x;      // 16.16, in row `first`
    std::int64_t slope;  // 16.16 a row
    long first, last;
    int direction;  // +1 downwards, -1 upwards
    std::int64_t At(long row) const { return x + (row - first) * slope; }
  };
  bool MakeEdge(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1,
                Edge& edge) const;
  bool Covers(double left, double top, double right, double bottom) const;
  template <int kCount>
  bool CoversAll(const double* xs, const double* ys) const;
  template <int kCount>
  bool MayHoldPixels(const std::int64_t* xs, const std::int64_t* ys) const;
  // A convex outline of `count` corners on the grid, within kGuard (kCount of them, when
  // that is not 0).
  template <int kCount>
  void ConvexOnGrid(const std::int64_t* xs, const std::int64_t* ys, int count);
  // The one row such an outline's centres lie in: its `row`, within the clip.
  bool AnyEdge(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1,
               Edge& edge) const;
  bool FourCorners(const std::int64_t* xs, const std::int64_t* ys, int topmost, int bottommost,
                   long first, long last);
  template <int kCount>
  void OneRow(const std::int64_t* xs, const std::int64_t* ys, int count, int topmost,
              int bottommost, long row);
  // Corners cut down to kGuard; false when one is not a finite number.
  static bool Guarded(const QPointF* corners, int count, std::vector<QPointF>& cut);
  // The pixels of `row` from crossing `from` up to crossing `to`, left out, both 16.16.
  void Span(long row, std::int64_t from, std::int64_t to);
  // The pixels of `row` from column `from` to column `to`, both within the clip.
  void Pixels(long row, long from, long to);

  uchar* bits_;
  qsizetype stride_;
  long left_, top_, right_, bottom_;  // the clip, last row and column included
  std::uint32_t colour_ = 0xff000000;
  std::vector<QPointF> cut_;
  std::vector<Edge> edges_;
  std::vector<const Edge*> active_;
  struct Crossing {
    std::int64_t x;
    int direction;
  };
  std::vector<Crossing> crossings_;
};

}  // namespace korvid
