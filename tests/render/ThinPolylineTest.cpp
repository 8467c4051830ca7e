// A polyline thinned keeps its ends and every point it leaves out lies within the tolerance
// of what is left.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "render/ThinPolyline.h"

namespace korvid::testing {
namespace {

using Points = std::vector<EmfWriter::Point>;

double DistanceToSegment(EmfWriter::Point p, EmfWriter::Point a, EmfWriter::Point b) {
  const double dx = b.x - a.x, dy = b.y - a.y, px = p.x - a.x, py = p.y - a.y;
  const double length = dx * dx + dy * dy;
  const double t = length > 0 ? std::clamp((dx * px + dy * py) / length, 0.0, 1.0) : 0.0;
  return std::hypot(px - t * dx, py - t * dy);
}

Points Arc(double radius, double degrees, double stepDegrees) {
  Points points;
  for (double a = 0; a <= degrees + 1e-9; a += stepDegrees) {
    const double r = a * M_PI / 180;
    points.push_back({static_cast<std::int32_t>(std::lround(1000 + radius * std::cos(r))),
                      static_cast<std::int32_t>(std::lround(1000 + radius * std::sin(r)))});
  }
  return points;
}

Points Reversed(Points points) {
  std::reverse(points.begin(), points.end());
  return points;
}

Points Straight(int count) {
  Points points;
  for (int i = 0; i < count; ++i)
    points.push_back({3 * i, 2 * i});
  return points;
}

TEST(ThinPolyline, KeepsTheEndsAndStaysWithinTheTolerance) {
  struct Case {
    std::string name;
    Points points;
    double tolerance;
    std::size_t most;   // points left at most
    std::size_t least;  // and at least
  };
  const Case cases[] = {
      {"a line", {{0, 0}, {5, 5}}, 0.5, 2, 2},
      {"one place many times", {{7, 7}, {7, 7}, {7, 7}, {7, 7}}, 0.5, 2, 2},
      {"a point put down twice on the way", {{0, 0}, {10, 0}, {10, 0}, {20, 3}}, 0.5, 3, 3},
      {"straight on", Straight(10), 0.5, 2, 2},
      {"straight on far", Straight(1000), 0.5, 1000 / 16, 2},
      {"a zigzag wider than the tolerance",
       {{0, 0}, {10, 1}, {20, 0}, {30, 1}, {40, 0}},
       0.5,
       5,
       5},
      {"the same zigzag within a wider one", {{0, 0}, {10, 1}, {20, 0}, {30, 1}, {40, 0}}, 1, 2, 2},
      {"out and back", {{0, 0}, {1, 0}, {2, 0}, {1, 0}, {0, 0}}, 0.5, 3, 3},
      {"a plotter's fine arc", Arc(22, 169, 5), 0.5, 12, 4},
      {"the fine arc the other way round", Reversed(Arc(22, 169, 5)), 0.5, 12, 4},
      {"a large arc", Arc(5000, 90, 5), 0.5, 19, 19},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Points thinned = c.points;
    ThinPolyline(thinned, c.tolerance);
    EXPECT_LE(thinned.size(), c.most);
    EXPECT_GE(thinned.size(), c.least);
    ASSERT_GE(thinned.size(), 2u);
    EXPECT_EQ(thinned.front().x, c.points.front().x);
    EXPECT_EQ(thinned.front().y, c.points.front().y);
    // What is kept is a part of the points in their order, and every point of the
    // polyline lies within the tolerance of the thinned line between the two points kept
    // around it.
    std::size_t at = 0;
    for (std::size_t k = 1; k < thinned.size(); ++k) {
      // The last point kept is the polyline's last; each before it the first of its place.
      std::size_t next = k + 1 == thinned.size() ? c.points.size() - 1 : at + 1;
      while (next < c.points.size() &&
             (c.points[next].x != thinned[k].x || c.points[next].y != thinned[k].y))
        ++next;
      ASSERT_LT(next, c.points.size()) << "point " << k << " is not one of the polyline's";
      for (std::size_t i = at + 1; i < next; ++i)
        EXPECT_LE(DistanceToSegment(c.points[i], thinned[k - 1], thinned[k]), c.tolerance)
            << "point " << i;
      at = next;
    }
  }
}

}  // namespace
}  // namespace korvid::testing
