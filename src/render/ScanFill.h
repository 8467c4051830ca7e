#pragma once

#include <QPointF>
#include <QRect>
#include <QRgb>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace korvid {

// floor of a value well inside the range of long, without a library call.
inline long FloorToLong(double value) {
  const long truncated = static_cast<long>(value);
  return truncated > value ? truncated - 1 : truncated;
}

// Fills areas of a 32-bit image in one opaque colour, without antialiasing, by the rule
// QPainter fills by: the corners put on its grid of 1/64 pixel, and a pixel filled when its
// centre lies inside the outline, where a centre on a left or top edge counts as outside
// and one on a right or bottom edge as inside. Pieces sharing an edge thus tile without gap
// or overlap, and a stroke cut into convex pieces fills what its whole outline would. (Its
// own drawing of a lone line's rectangle rounds the corners down onto the grid instead, and
// leaves a level or upright one off it.)
// Coordinates may lie anywhere, however far off the image: only rows and columns inside the
// clip are visited, and nothing becomes an integer before the clip bounds it. An outline
// with a corner that is not a finite number fills nothing.
class ScanFill {
 public:
  ScanFill(uchar* bits, qsizetype stride, const QRect& clip);

  void SetColour(QRgb colour) { colour_ = 0xff000000 | colour; }

  // How the corners are put on the grid.
  enum class Grid { kNearest, kBelow, kNone };
  // A convex polygon of four corners, or of three on the nearest points of the grid, in
  // either order round.
  void Convex(const QPointF* corners, int count, Grid grid = Grid::kNearest);
  // The pixels whose centres lie within `radius` of `centre`.
  void Disc(QPointF centre, double radius);
  // Closed rings, each given by its corners, filled together by the non-zero winding rule
  // or else by the even-odd rule. Rings of fewer than three corners cover nothing.
  void Rings(const QPointF* points, const std::uint32_t* sizes, std::size_t rings, bool winding);

 private:
  // An edge from its upper end down, and the rows whose centres it spans.
  struct Edge {
    double top, bottom;  // y
    double x;            // at the top
    double slope;        // x per y
    int direction;       // +1 downwards, -1 upwards
    long firstRow, lastRow;
    double At(double y) const { return x + (y - top) * slope; }
  };
  // False for a horizontal edge, one that is not finite, or one that spans no row's centre
  // inside the clip.
  bool MakeEdge(QPointF from, QPointF to, Edge& edge) const;
  // The first row whose centre lies beyond `low`, the last whose centre lies at or before
  // `high`, within a row of the clip's for any value; the same for columns.
  long FirstRowAfter(double low) const;
  long LastRowUpTo(double high) const;
  long FirstColumnAfter(double low) const;
  long LastColumnUpTo(double high) const;
  template <int kCorners, Grid kGrid>
  void ConvexOf(const QPointF* corners);
  // The pixels of `row` whose centres lie beyond `left` and up to `right`.
  void Span(long row, double left, double right);

  uchar* bits_;
  qsizetype stride_;
  // The clip: the column and row before its first, its last column and row.
  double beforeLeft_, beforeTop_, right_, bottom_;
  std::uint32_t colour_ = 0xff000000;
  std::vector<Edge> edges_;
  std::vector<const Edge*> active_;
  struct Crossing {
    double x;
    int direction;
  };
  std::vector<Crossing> crossings_;
};

}  // namespace korvid
