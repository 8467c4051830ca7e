#include "model/StandardPlot.h"

#include <cmath>

namespace korvid {

void AppendArcPoints(PlotPoint centre, double radius, const ArcSteps& steps,
                     std::vector<PlotPoint>& points) {
  // Each point is the one before turned by one step; every 64th is placed afresh, so
  // that rounding never adds up.
  const double c = std::cos(steps.step), s = std::sin(steps.step);
  double dx = radius * std::cos(steps.start), dy = radius * std::sin(steps.start);
  points.reserve(points.size() + static_cast<std::size_t>(steps.count));
  for (int i = 1; i <= steps.count; ++i) {
    if (i % 64 == 0) {
      const double angle = steps.start + steps.step * i;
      dx = radius * std::cos(angle);
      dy = radius * std::sin(angle);
    } else {
      const double x = dx * c - dy * s;
      dy = dx * s + dy * c;
      dx = x;
    }
    points.push_back({centre.x + dx, centre.y + dy});
  }
}

void PolylineArc::AppendPoints(std::vector<PlotPoint>& points) const {
  const std::size_t first = points.size();
  AppendArcPoints(centre, radius, steps, points);
  if (!scaling.scaled) return;
  for (std::size_t i = first; i < points.size(); ++i)
    points[i] = scaling.ToPlotter(points[i]);
}

std::size_t StandardPolyline::PointCount() const {
  std::size_t count = placed.size();
  for (const PolylineArc& arc : arcs)
    count += static_cast<std::size_t>(arc.steps.count);
  return count;
}

const std::vector<PlotPoint>& StandardPolyline::Points(std::vector<PlotPoint>& scratch) const {
  if (arcs.empty()) return placed;
  scratch.clear();
  scratch.reserve(PointCount());
  std::size_t next = 0;
  for (std::size_t i = 0; i < placed.size(); ++i) {
    scratch.push_back(placed[i]);
    for (; next < arcs.size() && arcs[next].after == i + 1; ++next)
      arcs[next].AppendPoints(scratch);
  }
  return scratch;
}

}  // namespace korvid
