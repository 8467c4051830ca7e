#include "hpgl2/CurveFlattening.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <numbers>

#include "model/PlotUnits.h"

namespace korvid {

namespace {

constexpr double kDegree = std::numbers::pi / 180;

bool Finite(PlotPoint p) {
  return std::isfinite(p.x) && std::isfinite(p.y);
}

thread_local CurveResolution tResolution;

}  // namespace

CurveResolutionScope::CurveResolutionScope(const CurveResolution& resolution)
    : previous_(tResolution) {
  tResolution = resolution;
}

CurveResolutionScope::~CurveResolutionScope() {
  tResolution = previous_;
}

int ChordsForResolution(double sweepDeg) {
  const double sweep = std::fabs(sweepDeg);
  const CurveResolution& resolution = tResolution;
  if (!(resolution.longestSide > 0) || !(resolution.tolerance > 0) || !(sweep >= 180))
    return INT_MAX;
  // In pixels: a whole circle's radius is at most half the longest side, an arc's of half
  // a turn or more at most the longest side.
  const double radius = sweep >= 360 ? resolution.longestSide / 2 : resolution.longestSide;
  const double step =
      radius <= resolution.tolerance
          ? std::numbers::pi / 2
          : std::min(std::numbers::pi / 2, 2 * std::acos(1 - resolution.tolerance / radius));
  return static_cast<int>(std::clamp(std::ceil(std::min(sweep, 360.0) * kDegree / step), 1.0,
                                     double{kMostCurvePoints}));
}

double BoundedChordDeg(double chordDeg) {
  chordDeg = std::fabs(chordDeg);
  if (!(chordDeg >= kFinestChordDeg)) return kFinestChordDeg;
  return std::min(chordDeg, kCoarsestChordDeg);
}

ArcSteps StepsOfArc(PlotPoint centre, double radius, double startDeg, double sweepDeg,
                    double chordDeg) {
  if (!std::isfinite(radius) || !std::isfinite(startDeg) || !std::isfinite(sweepDeg) ||
      !Finite(centre))
    return {};
  const double chord = BoundedChordDeg(chordDeg);
  const double steps = std::ceil(std::fabs(sweepDeg) / chord);
  const int count = std::min(static_cast<int>(std::clamp(steps, 1.0, double{kMostCurvePoints})),
                             ChordsForResolution(sweepDeg));
  return {count, startDeg * kDegree, sweepDeg / count * kDegree};
}

void AppendArc(PlotPoint centre, double radius, double startDeg, double sweepDeg, double chordDeg,
               std::vector<PlotPoint>& points) {
  AppendArcPoints(centre, radius, StepsOfArc(centre, radius, startDeg, sweepDeg, chordDeg), points);
}

void AppendThreePointArc(PlotPoint start, PlotPoint middle, PlotPoint end, double chordDeg,
                         std::vector<PlotPoint>& points) {
  const double ax = middle.x - start.x, ay = middle.y - start.y;
  const double bx = end.x - start.x, by = end.y - start.y;
  const double d = 2 * (ax * by - ay * bx);
  if (d == 0 || !std::isfinite(d)) {
    points.push_back(end);
    return;
  }
  const double a2 = ax * ax + ay * ay, b2 = bx * bx + by * by;
  const PlotPoint centre{start.x + (by * a2 - ay * b2) / d, start.y + (ax * b2 - bx * a2) / d};
  const double radius = std::hypot(start.x - centre.x, start.y - centre.y);
  const double startDeg = std::atan2(start.y - centre.y, start.x - centre.x) / kDegree;
  const double middleDeg = std::atan2(middle.y - centre.y, middle.x - centre.x) / kDegree;
  const double endDeg = std::atan2(end.y - centre.y, end.x - centre.x) / kDegree;
  // Counter-clockwise when the middle point lies to the left of start -> end.
  const bool counterClockwise = d > 0;
  auto ccw = [](double from, double to) {
    double sweep = std::fmod(to - from, 360.0);
    if (sweep < 0) sweep += 360;
    return sweep;
  };
  double sweep = counterClockwise ? ccw(startDeg, endDeg) : -ccw(endDeg, startDeg);
  if (start.x == end.x && start.y == end.y) sweep = counterClockwise ? 360 : -360;
  (void)middleDeg;
  AppendArc(centre, radius, startDeg, sweep, chordDeg, points);
  if (!points.empty()) points.back() = end;
}

void AppendBezier(PlotPoint p0, PlotPoint p1, PlotPoint p2, PlotPoint p3,
                  std::vector<PlotPoint>& points) {
  if (!Finite(p0) || !Finite(p1) || !Finite(p2) || !Finite(p3)) return;
  const double hull = std::hypot(p1.x - p0.x, p1.y - p0.y) + std::hypot(p2.x - p1.x, p2.y - p1.y) +
                      std::hypot(p3.x - p2.x, p3.y - p2.y);
  // About one chord per millimetre of hull, between 4 and 64 chords.
  const double wanted = std::isfinite(hull) ? hull / kPlotterUnitsPerMm : 64;
  const int count = static_cast<int>(std::clamp(wanted, 4.0, 64.0));
  for (int i = 1; i <= count; ++i) {
    const double t = static_cast<double>(i) / count;
    const double u = 1 - t;
    const double b0 = u * u * u, b1 = 3 * u * u * t, b2 = 3 * u * t * t, b3 = t * t * t;
    points.push_back({b0 * p0.x + b1 * p1.x + b2 * p2.x + b3 * p3.x,
                      b0 * p0.y + b1 * p1.y + b2 * p2.y + b3 * p3.y});
  }
}

}  // namespace korvid
