#include "hpgl2/ClipGeometry.h"

#include "model/SegmentClip.h"

namespace korvid {

bool ClipSegment(const ClipWindow& window, PlotPoint& a, PlotPoint& b) {
  return ClipSegmentToBox(window.minX, window.minY, window.maxX, window.maxY, a.x, a.y, b.x, b.y);
}

namespace {

// One edge of the window: which side of it is inside, and where an edge crosses it.
struct Edge {
  int axis;      // 0 = x, 1 = y
  double value;  // the window's coordinate on that axis
  bool keepAbove;

  bool Inside(PlotPoint p) const {
    const double v = axis == 0 ? p.x : p.y;
    return keepAbove ? v >= value : v <= value;
  }
  PlotPoint Crossing(PlotPoint a, PlotPoint b) const {
    const double va = axis == 0 ? a.x : a.y;
    const double vb = axis == 0 ? b.x : b.y;
    const double t = (value - va) / (vb - va);
    return {a.x + t * (b.x - a.x), a.y + t * (b.y - a.y)};
  }
};

}  // namespace

PlotRing ClipRing(const ClipWindow& window, const PlotRing& ring) {
  const Edge edges[4] = {{0, window.minX, true},
                         {0, window.maxX, false},
                         {1, window.minY, true},
                         {1, window.maxY, false}};
  PlotRing current = ring;
  for (const Edge& edge : edges) {
    if (current.empty()) break;
    PlotRing next;
    next.reserve(current.size() + 4);
    PlotPoint previous = current.back();
    for (const PlotPoint& p : current) {
      const bool in = edge.Inside(p);
      if (in != edge.Inside(previous)) next.push_back(edge.Crossing(previous, p));
      if (in) next.push_back(p);
      previous = p;
    }
    current = std::move(next);
  }
  return current;
}

}  // namespace korvid
