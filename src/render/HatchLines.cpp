#include "render/HatchLines.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "model/DrawingBudget.h"

namespace korvid {

namespace {

// Where an edge crosses the hatch line, and which way it goes through it.
struct Crossing {
  double u;
  int winding;  // +1 upwards, -1 downwards
  bool operator<(const Crossing& other) const { return u < other.u; }
};

}  // namespace

std::vector<HatchSegment> HatchLines(const std::vector<PlotRing>& rings, double spacing,
                                     double angleDeg, bool nonZeroWinding) {
  std::vector<HatchSegment> segments;
  if (!std::isfinite(spacing) || !std::isfinite(angleDeg) || rings.empty()) return segments;
  const double angle = angleDeg * std::numbers::pi / 180;
  const double c = std::cos(angle), s = std::sin(angle);
  // Turned so that the hatch lines run along the X axis.
  std::vector<PlotRing> turned;
  double minV = INFINITY, maxV = -INFINITY;
  for (const PlotRing& ring : rings) {
    PlotRing t;
    t.reserve(ring.size());
    for (const PlotPoint& p : ring) {
      const PlotPoint q{p.x * c + p.y * s, -p.x * s + p.y * c};
      minV = std::min(minV, q.y);
      maxV = std::max(maxV, q.y);
      t.push_back(q);
    }
    turned.push_back(std::move(t));
  }
  if (!(maxV > minV)) return segments;
  spacing = std::max(std::fabs(spacing), (maxV - minV) / kMostHatchLines);
  // The edges by where they begin, so that each hatch line meets only those it crosses:
  // a ring of millions of points costs its crossings, not its points a line.
  struct Edge {
    PlotPoint a, b;
    double low, high;  // an edge crosses the lines from low up to (not including) high
  };
  std::vector<Edge> edges;
  for (const PlotRing& ring : turned) {
    for (std::size_t i = 0; i < ring.size(); ++i) {
      const PlotPoint& a = ring[i];
      const PlotPoint& b = ring[(i + 1) % ring.size()];
      if (a.y != b.y) edges.push_back({a, b, std::min(a.y, b.y), std::max(a.y, b.y)});
    }
  }
  std::sort(edges.begin(), edges.end(), [](const Edge& e, const Edge& f) { return e.low < f.low; });
  std::vector<const Edge*> active;
  std::size_t next = 0;
  std::vector<Crossing> crossings;
  const auto add = [&](double v, double u1, double u2) {
    segments.push_back({{u1 * c - v * s, u1 * s + v * c}, {u2 * c - v * s, u2 * s + v * c}});
  };
  for (double v = std::ceil(minV / spacing) * spacing; v <= maxV; v += spacing) {
    DrawingBudget::CheckTime();
    for (; next < edges.size() && edges[next].low <= v; ++next)
      active.push_back(&edges[next]);
    std::erase_if(active, [v](const Edge* e) { return e->high <= v; });
    crossings.clear();
    for (const Edge* e : active) {
      crossings.push_back({e->a.x + (v - e->a.y) / (e->b.y - e->a.y) * (e->b.x - e->a.x),
                           e->b.y > e->a.y ? 1 : -1});
    }
    std::sort(crossings.begin(), crossings.end());
    ReserveCounted(segments, crossings.size() / 2);
    if (!nonZeroWinding) {
      for (std::size_t i = 0; i + 1 < crossings.size(); i += 2)
        add(v, crossings[i].u, crossings[i + 1].u);
      continue;
    }
    // Inside wherever the edges passed so far do not wind back to zero.
    int winding = 0;
    double enter = 0;
    for (const Crossing& crossing : crossings) {
      const int before = winding;
      winding += crossing.winding;
      if (before == 0 && winding != 0) enter = crossing.u;
      if (before != 0 && winding == 0) add(v, enter, crossing.u);
    }
  }
  return segments;
}

}  // namespace korvid
