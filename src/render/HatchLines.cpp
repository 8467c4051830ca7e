#include "render/HatchLines.h"

#include <algorithm>
#include <cmath>
#include <numbers>

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
  std::vector<Crossing> crossings;
  const auto add = [&](double v, double u1, double u2) {
    segments.push_back({{u1 * c - v * s, u1 * s + v * c}, {u2 * c - v * s, u2 * s + v * c}});
  };
  for (double v = std::ceil(minV / spacing) * spacing; v <= maxV; v += spacing) {
    crossings.clear();
    for (const PlotRing& ring : turned) {
      for (std::size_t i = 0; i < ring.size(); ++i) {
        const PlotPoint& a = ring[i];
        const PlotPoint& b = ring[(i + 1) % ring.size()];
        if ((a.y <= v) == (b.y <= v)) continue;
        crossings.push_back({a.x + (v - a.y) / (b.y - a.y) * (b.x - a.x), b.y > a.y ? 1 : -1});
      }
    }
    std::sort(crossings.begin(), crossings.end());
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
