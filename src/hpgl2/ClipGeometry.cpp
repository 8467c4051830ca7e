#include "hpgl2/ClipGeometry.h"

namespace korvid {

bool ClipSegment(const ClipWindow& window, PlotPoint& a, PlotPoint& b) {
  const double dx = b.x - a.x;
  const double dy = b.y - a.y;
  double enter = 0;
  double leave = 1;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {a.x - window.minX, window.maxX - a.x, a.y - window.minY, window.maxY - a.y};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0) {
      if (t > leave) return false;
      if (t > enter) enter = t;
    } else {
      if (t < enter) return false;
      if (t < leave) leave = t;
    }
  }
  const PlotPoint start = a;
  if (leave < 1) b = {start.x + leave * dx, start.y + leave * dy};
  if (enter > 0) a = {start.x + enter * dx, start.y + enter * dy};
  return true;
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
