#include "hpgl2/Plotter.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "hpgl2/CurveFlattening.h"
#include "model/PlotUnits.h"

namespace korvid {

namespace {

constexpr double kDegree = std::numbers::pi / 180;
constexpr double kDefaultChordDeg = 5;

// HP-GL/2's fixed line types 1..8: drawn and blank lengths in percent of the pattern.
const std::vector<double>& FixedPattern(int type) {
  static const std::vector<double> kPatterns[9] = {
      {},
      {0, 100},
      {50, 50},
      {70, 30},
      {80, 10, 0, 10},
      {70, 10, 10, 10},
      {50, 10, 10, 10, 10, 10},
      {70, 10, 0, 10, 0, 10},
      {50, 10, 0, 10, 10, 10, 0, 10},
  };
  return kPatterns[type];
}

void ToPlotter(const PlotTransform& transform, std::vector<PlotPoint>& points) {
  for (PlotPoint& p : points)
    p = transform.ToPlotter(p);
}

}  // namespace

double Plotter::Diagonal() const {
  return std::hypot(c_.points.p2.x - c_.points.p1.x, c_.points.p2.y - c_.points.p1.y);
}

std::int32_t Plotter::DashIndex(const std::vector<double>& pattern) {
  std::vector<std::vector<double>>& patterns = c_.outcome.plot.dashPatterns;
  for (std::size_t i = 0; i < patterns.size(); ++i) {
    if (patterns[i] == pattern) return static_cast<std::int32_t>(i);
  }
  patterns.push_back(pattern);
  return static_cast<std::int32_t>(patterns.size() - 1);
}

const StrokeStyle& Plotter::MakeStroke() {
  const LineSetting& line = c_.state.defaults.line;
  stroke_ = {};
  stroke_.pen = selectedPen_;
  stroke_.colour = c_.state.palette.Colour(selectedPen_);
  stroke_.widthMm = c_.state.palette.WidthMm(selectedPen_);
  stroke_.lineType = line.type.type;
  stroke_.ends = line.ends;
  stroke_.joins = line.joins;
  stroke_.miterLimit = line.miterLimit;
  const int type = std::abs(line.type.type);
  if (line.type.type != StrokeStyle::kSolidLine && type >= 1 && type <= 8) {
    const std::vector<double>& user = line.userPatterns[static_cast<std::size_t>(type)];
    stroke_.dashIndex = DashIndex(user.empty() ? FixedPattern(type) : user);
    stroke_.patternLength = line.type.absolute ? line.type.lengthPercent * kPlotterUnitsPerMm
                                               : line.type.lengthPercent / 100 * Diagonal();
  } else if (line.type.type != 0) {
    stroke_.lineType = StrokeStyle::kSolidLine;
  }
  strokeValid_ = true;
  return stroke_;
}

void Plotter::FollowPolygonMode() {
  target_ = c_.state.defaults.polygonMode ? static_cast<StrokeTarget*>(&c_.buffer) : &c_.page;
  if (!c_.state.defaults.polygonMode) c_.buffer.Clear();
}

// ---------------------------------------------------------------- pen moves

void Plotter::LiftPen() {
  DropPendingDot();
  c_.state.penDown = false;
  c_.page.BreakLine();
}

void Plotter::LowerPen(bool moves) {
  const bool wasUp = !c_.state.penDown;
  c_.state.penDown = true;
  if (!moves && wasUp && !InPolygonMode()) pendingDot_ = true;
}

// A pen lowered and raised again without moving leaves a dot (drill marks, points).
void Plotter::DropPendingDot() {
  if (!pendingDot_) return;
  pendingDot_ = false;
  if (Drawing()) c_.page.DrawDot(c_.state.pen, Stroke());
}

void Plotter::SelectPen(int pen) {
  DropPendingDot();
  selectedPen_ = pen;
  c_.page.BreakLine();
  StyleMayHaveChanged();
}

void Plotter::SelectEncodedPen(int pen) {
  selectedPen_ = std::max(pen, 0);
  StyleMayHaveChanged();
}

void Plotter::EncodedMove(double x, double y, bool absolute, bool penUp) {
  c_.state.penDown = !penUp;
  if (penUp) c_.page.BreakLine();
  MovePen(Point(x, y, !absolute), !penUp);
}

void Plotter::Curve(const std::vector<PlotPoint>& points, const PolylineArc* arc) {
  if (points.empty()) return;
  if (!c_.state.penDown) {
    for (const PlotPoint& p : points)
      MovePen(p, false);
    return;
  }
  // A curve drawn with the pen down: the whole path at once.
  std::vector<PlotPoint>& path = pathScratch_;
  path.clear();
  path.push_back(c_.state.pen);
  path.insert(path.end(), points.begin(), points.end());
  const bool onPage = !InPolygonMode();
  if (onPage) pendingDot_ = false;
  if (arc)
    target_->DrawArcPath(path.data(), path.size(), *arc, Stroke());
  else
    target_->DrawPath(path.data(), path.size(), Stroke());
  c_.state.pen = points.back();
  if (onPage) c_.state.carriageReturn = c_.state.pen;
}

// ---------------------------------------------------------------- arcs and curves

double Plotter::ChordDeg(double parameter, double radiusUser) const {
  if (!c_.state.defaults.chordAsDeviation) return parameter;
  // CT1: the parameter is the largest distance of a chord from the arc.
  const double radius = std::fabs(radiusUser);
  if (radius == 0 || !std::isfinite(radius)) return kDefaultChordDeg;
  const double ratio = std::clamp(1 - std::fabs(parameter) / radius, -1.0, 1.0);
  return 2 * std::acos(ratio) / kDegree;
}

// An arc in user units around `centreUser`, from the pen, drawn point by point.
void Plotter::Arc(PlotPoint centreUser, double sweepDeg, double chordDeg) {
  const PlotPoint penUser = PenInUserUnits();
  const double radius = std::hypot(penUser.x - centreUser.x, penUser.y - centreUser.y);
  const double startDeg = std::atan2(penUser.y - centreUser.y, penUser.x - centreUser.x) / kDegree;
  std::vector<PlotPoint>& points = curveScratch_;
  points.clear();
  const PolylineArc arc =
      ArcOf(centreUser, radius,
            StepsOfArc(centreUser, radius, startDeg, sweepDeg, ChordDeg(chordDeg, radius)), points);
  if (!points.empty()) CountArc();
  Curve(points, &arc);
}

// The arc's points in plotter units into `points`, and the arc they are.
PolylineArc Plotter::ArcOf(PlotPoint centreUser, double radius, const ArcSteps& steps,
                           std::vector<PlotPoint>& points) const {
  PolylineArc arc;
  arc.steps = steps;
  arc.centre = centreUser;
  arc.radius = radius;
  arc.scaling = c_.transform.Scaling();
  arc.AppendPoints(points);
  if (!points.empty()) arc.end = points.back();
  return arc;
}

void Plotter::ThreePointArc(PlotPoint middleUser, PlotPoint endUser, double chordDeg) {
  const PlotPoint start = PenInUserUnits();
  std::vector<PlotPoint>& points = curveScratch_;
  points.clear();
  const double radius = std::hypot(middleUser.x - start.x, middleUser.y - start.y);
  AppendThreePointArc(start, middleUser, endUser, ChordDeg(chordDeg, radius), points);
  ToPlotter(c_.transform, points);
  CountArc();
  Curve(points);
}

void Plotter::Bezier(PlotPoint control1User, PlotPoint control2User, PlotPoint endUser) {
  std::vector<PlotPoint>& points = curveScratch_;
  points.clear();
  AppendBezier(PenInUserUnits(), control1User, control2User, endUser, points);
  ToPlotter(c_.transform, points);
  CountArc();
  Curve(points);
}

// CI: the pen goes down for the circle whatever its state, and comes back to the centre.
void Plotter::Circle(double radiusUser, double chordDeg) {
  std::vector<PlotPoint>& points = curveScratch_;
  points.clear();
  const PlotPoint centre = PenInUserUnits();
  points.push_back(c_.transform.ToPlotter({centre.x + radiusUser, centre.y}));
  const PolylineArc arc =
      ArcOf(centre, radiusUser,
            StepsOfArc(centre, radiusUser, 0, 360, ChordDeg(chordDeg, radiusUser)), points);
  if (points.size() < 2) return;
  CountArc();
  if (!HasPen() && !InPolygonMode()) ++c_.outcome.counts.withoutPen;
  target_->DrawClosedArcPath(points.data(), points.size(), arc, Stroke(), HasPen());
}

// ---------------------------------------------------------------- rectangles, wedges, polygons

std::vector<PlotPoint> Plotter::RectangleRing(PlotPoint corner) const {
  const PlotPoint pen = c_.state.pen;
  return {pen, {corner.x, pen.y}, corner, {pen.x, corner.y}};
}

std::vector<PlotPoint> Plotter::WedgeRing(double radius, double startDeg, double sweepDeg,
                                          double chordDeg) const {
  const PlotPoint centre = PenInUserUnits();
  std::vector<PlotPoint> points;
  const bool full = std::fabs(sweepDeg) >= 360;
  if (!full) points.push_back(centre);
  const double start = startDeg * kDegree;
  points.push_back({centre.x + radius * std::cos(start), centre.y + radius * std::sin(start)});
  AppendArc(centre, radius, startDeg, full ? 360 : sweepDeg, ChordDeg(chordDeg, radius), points);
  if (full) points.pop_back();
  ToPlotter(c_.transform, points);
  return points;
}

void Plotter::EdgeRings(const std::vector<PlotRing>& rings) {
  if (!HasPen()) return;
  const StrokeStyle& style = Stroke();
  for (const PlotRing& ring : rings) {
    c_.page.BreakLine();
    for (std::size_t i = 0; i < ring.size(); ++i)
      c_.page.AddSegment(ring[i], ring[(i + 1) % ring.size()], style);
  }
  c_.page.BreakLine();
}

void Plotter::FillRings(const std::vector<PlotRing>& rings, bool nonZeroWinding) {
  if (rings.empty()) return;
  if (!HasPen()) {
    ++c_.outcome.counts.withoutPen;
    return;
  }
  const FillSetting& setting = c_.state.defaults.fill;
  StandardPolygon fill;
  fill.fill = setting.kind;
  fill.pen = selectedPen_;
  fill.widthMm = c_.state.palette.WidthMm(selectedPen_);
  fill.hatchSpacing = setting.spacing > 0 ? setting.spacing : Diagonal() / 100;
  fill.hatchAngleDeg = setting.angleDeg;
  fill.nonZeroWinding = nonZeroWinding;
  const ColourRef colour = c_.state.palette.Colour(selectedPen_);
  if (setting.shadingPercent < 100) {
    // Shading: the pen's colour thinned towards white.
    fill.shading = std::clamp(setting.shadingPercent, 0.0, 100.0) / 100;
    fill.colour = ShadedColour(colour, fill.shading);
  } else {
    fill.colour = colour;
  }
  if (c_.page.FillPolygon(rings, fill)) {
    ++c_.outcome.counts.polygons;
    ++c_.outcome.countsByPen[selectedPen_].polygons;
  }
}

void Plotter::PolygonMode(int mode) {
  switch (mode) {
    case 0:
      c_.state.defaults.polygonMode = true;
      FollowPolygonMode();
      c_.buffer.Start(c_.state.pen);
      c_.page.BreakLine();
      break;
    case 1:
      c_.buffer.CloseSubpolygon(Drawing(), true);
      break;
    case 2:
      c_.buffer.CloseSubpolygon(Drawing(), false);
      c_.state.defaults.polygonMode = false;
      target_ = &c_.page;
      break;
    default:
      break;
  }
}

void Plotter::EdgePolygon() {
  if (!HasPen()) return;
  c_.buffer.DrawEdges(c_.page, Stroke());
}

void Plotter::FillPolygon(bool nonZeroWinding) {
  FillRings(c_.buffer.Rings(), nonZeroWinding);
}

// ---------------------------------------------------------------- ticks

void Plotter::Tick(bool alongX) {
  if (!HasPen()) return;
  const TickSetting& ticks = c_.state.defaults.ticks;
  const PlotPoint pen = c_.state.pen;
  const StrokeStyle& style = Stroke();
  c_.page.BreakLine();
  if (alongX) {
    const double height = std::fabs(c_.points.p2.y - c_.points.p1.y);
    c_.page.AddSegment({pen.x, pen.y - height * ticks.minusPercent / 100},
                       {pen.x, pen.y + height * ticks.plusPercent / 100}, style);
  } else {
    const double width = std::fabs(c_.points.p2.x - c_.points.p1.x);
    c_.page.AddSegment({pen.x - width * ticks.minusPercent / 100, pen.y},
                       {pen.x + width * ticks.plusPercent / 100, pen.y}, style);
  }
  c_.page.BreakLine();
}

}  // namespace korvid
