#pragma once

#include <cstddef>
#include <vector>

#include "hpgl2/PageBuilder.h"
#include "hpgl2/StrokeTarget.h"

namespace korvid {

// HP-GL/2's polygon buffer (PM): the subpolygons the pen defines in polygon mode, and for
// every edge whether the pen drew it, so that EP edges only what was drawn and FP fills
// it all. It takes the same moves as the page, and draws nothing itself.
class PolygonBuffer : public StrokeTarget {
 public:
  // PM0: an empty buffer, the first subpolygon starting where the pen is.
  void Start(PlotPoint pen);
  // PM1 and PM2: the subpolygon being defined ends. Its closing edge is the pen's only when
  // the pen was down (with a pen that draws) as it closed: a subpolygon whose pen was
  // lifted first gets no closing edge from EP. After PM1 the next point, pen up or down,
  // is where the next subpolygon starts.
  void CloseSubpolygon(bool penDrawing, bool nextStartsAtNextPoint);
  void Clear();

  // For FP: the subpolygons of three points or more.
  std::vector<PlotRing> Rings() const;
  // For EP: every edge the pen drew, and the closing edges, onto the page.
  void DrawEdges(PageBuilder& page, const StrokeStyle& style) const;

  void MoveTo(PlotPoint to) override;
  void DrawSegment(PlotPoint from, PlotPoint to, const StrokeStyle& style) override;
  void DrawPath(const PlotPoint* points, std::size_t count, const StrokeStyle& style) override;
  void DrawClosedPath(const PlotPoint* points, std::size_t count, const StrokeStyle& style,
                      bool drawn) override;
  void DrawDot(PlotPoint, const StrokeStyle&) override {}
  void BreakLine() override {}

 private:
  struct Subpolygon {
    std::vector<PlotPoint> points;
    std::vector<bool> drawn;  // per point: whether the edge that leads to it was drawn
    bool closed = false;
    bool closingEdgeDrawn = false;
  };

  void Add(PlotPoint from, PlotPoint to, bool drawn);
  bool Full(std::size_t more) const;

  std::vector<Subpolygon> subpolygons_;
  std::size_t points_ = 0;
  PlotPoint pen_;
  bool startsAtNextPoint_ = false;
};

}  // namespace korvid
