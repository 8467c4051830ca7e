#include "hpgl2/PageBuilder.h"

#include <algorithm>
#include <cmath>

#include "hpgl2/ClipGeometry.h"

namespace korvid {

namespace {

// Coordinates beyond this (plotter units, 25 km) are not on any sheet.
constexpr double kFarthest = 1e9;

// Neither a number beyond it nor one that is not a number passes.
bool Usable(PlotPoint p) {
  return (std::fabs(p.x) <= kFarthest) & (std::fabs(p.y) <= kFarthest);
}

}  // namespace

PageBuilder::PageBuilder(StandardPlot& plot, ModelBudget& budget) : plot_(plot), budget_(budget) {
  if (plot_.pages.empty()) plot_.pages.emplace_back();
}

PlotPoint PageBuilder::Turned(PlotPoint p) const {
  switch (rotation_) {
    case 90:
      return {limits_.width - p.y, p.x};
    case 180:
      return {limits_.width - p.x, limits_.height - p.y};
    case 270:
      return {p.y, limits_.height - p.x};
    default:
      return p;
  }
}

void PageBuilder::SetRotation(int degrees, const HardClipLimits& limits) {
  if (degrees == rotation_ && limits == limits_) return;
  rotation_ = degrees;
  limits_ = limits;
  open_ = false;
  UpdateClip();
}

void PageBuilder::SetClip(std::optional<ClipWindow> window) {
  window_ = window;
  UpdateClip();
}

// The hard-clip limits in the turned coordinate system are the limits, transposed by a
// quarter turn.
void PageBuilder::UpdateClip() {
  clip_ = window_;
  if (!limits_.setByPlotSize) return;
  const bool quarterTurn = rotation_ == 90 || rotation_ == 270;
  const ClipWindow hard{0, 0, quarterTurn ? limits_.height : limits_.width,
                        quarterTurn ? limits_.width : limits_.height};
  if (!clip_) {
    clip_ = hard;
    return;
  }
  clip_->minX = std::max(clip_->minX, hard.minX);
  clip_->minY = std::max(clip_->minY, hard.minY);
  clip_->maxX = std::min(clip_->maxX, hard.maxX);
  clip_->maxY = std::min(clip_->maxY, hard.maxY);
  if (clip_->minX > clip_->maxX || clip_->minY > clip_->maxY) *clip_ = {1, 1, 0, 0};
}

// Charges the growth of a vector before it happens, the way push_back grows it.
template <typename T>
void PageBuilder::Grow(std::vector<T>& items) {
  if (items.size() < items.capacity()) return;
  const std::size_t more = items.capacity() == 0 ? 4 : items.capacity();
  if (!budget_.Take(more * sizeof(T))) throw BudgetSpent{};
  items.reserve(items.capacity() + more);
}

void PageBuilder::NotePen(double widthMm) {
  double& widest = Page().widestPenMm;
  if (std::isfinite(widthMm) && widthMm > widest) widest = widthMm;
}

void PageBuilder::Append(PlotPoint p) {
  std::vector<PlotPoint>& points = Page().polylines.back().placed;
  Grow(points);
  points.push_back(p);
  Page().extents.Include(p);
}

// Everything is charged before the line joins the page: a spent budget never leaves a
// line of fewer than two points behind.
void PageBuilder::StartLine(PlotPoint from, PlotPoint to, const StrokeStyle& style) {
  std::vector<StandardPolyline>& lines = Page().polylines;
  Grow(lines);
  std::vector<PlotPoint> points;
  Reserve(points, 4);
  points.push_back(from);
  points.push_back(to);
  lines.push_back({std::move(points), style, {}});
  NotePen(style.widthMm);
  NoteUserUnits();
  Page().extents.Include(from);
  Page().extents.Include(to);
}

void PageBuilder::DrawPath(const PlotPoint* points, std::size_t count, const StrokeStyle& style) {
  DrawPathOf(points, count, nullptr, style);
}

void PageBuilder::DrawArcPath(const PlotPoint* points, std::size_t count, const PolylineArc& arc,
                              const StrokeStyle& style) {
  DrawPathOf(points, count, &arc, style);
}

void PageBuilder::DrawPathOf(const PlotPoint* points, std::size_t count, const PolylineArc* arc,
                             const StrokeStyle& style) {
  if (Inks(style) && !style.DotsOnly()) {
    AddPath(points, count, style, arc);
    return;
  }
  for (std::size_t i = 1; i < count; ++i)
    DrawSegment(points[i - 1], points[i], style);
}

void PageBuilder::DrawClosedPath(const PlotPoint* points, std::size_t count,
                                 const StrokeStyle& style, bool drawn) {
  DrawClosedPathOf(points, count, nullptr, style, drawn);
}

void PageBuilder::DrawClosedArcPath(const PlotPoint* points, std::size_t count,
                                    const PolylineArc& arc, const StrokeStyle& style, bool drawn) {
  DrawClosedPathOf(points, count, &arc, style, drawn);
}

void PageBuilder::DrawClosedPathOf(const PlotPoint* points, std::size_t count,
                                   const PolylineArc* arc, const StrokeStyle& style, bool drawn) {
  if (!drawn) return;
  open_ = false;
  AddPath(points, count, style, arc);
  open_ = false;
}

void PageBuilder::AddSegment(PlotPoint from, PlotPoint to, const StrokeStyle& style) {
  // The common case first: the next segment of the open line, nothing to cut.
  if (open_ && !clip_ && from.x == lastTo_.x && from.y == lastTo_.y && Usable(to) &&
      Page().polylines.back().style == style) {
    const PlotPoint tb = Turned(to);
    Append(tb);
    lastEnd_ = tb;
    lastTo_ = to;
    return;
  }
  if (!Usable(from) || !Usable(to)) {
    open_ = false;
    return;
  }
  PlotPoint a = from;
  PlotPoint b = to;
  if (clip_ && !ClipSegment(*clip_, a, b)) {
    open_ = false;
    return;
  }
  const PlotPoint ta = Turned(a);
  const PlotPoint tb = Turned(b);
  StandardPage& page = Page();
  if (open_ && !page.polylines.empty() && page.polylines.back().style == style &&
      lastEnd_.x == ta.x && lastEnd_.y == ta.y) {
    Append(tb);
  } else {
    StartLine(ta, tb, style);
  }
  lastEnd_ = tb;
  lastTo_ = to;
  // A segment cut short by the window ends the line there.
  open_ = b.x == to.x && b.y == to.y;
}

void PageBuilder::Reserve(std::vector<PlotPoint>& points, std::size_t size) {
  if (size <= points.capacity()) return;
  const std::size_t capacity = std::max(size, 2 * points.capacity());
  if (!budget_.Take((capacity - points.capacity()) * sizeof(PlotPoint))) throw BudgetSpent{};
  points.reserve(capacity);
}

void PageBuilder::AddPath(const PlotPoint* points, std::size_t count, const StrokeStyle& style,
                          const PolylineArc* arc) {
  bool plain = !clip_ && count >= 2;
  for (std::size_t i = 0; plain && i < count; ++i)
    plain = Usable(points[i]);
  if (!plain) {
    for (std::size_t i = 1; i < count; ++i)
      AddSegment(points[i - 1], points[i], style);
    return;
  }
  const bool keepsArc =
      arc && rotation_ == 0 && static_cast<std::size_t>(arc->steps.count) == count - 1;
  StandardPage& page = Page();
  const PlotPoint first = Turned(points[0]);
  const bool continues = open_ && !page.polylines.empty() && page.polylines.back().style == style &&
                         lastEnd_.x == first.x && lastEnd_.y == first.y;
  if (!continues) {
    Grow(page.polylines);
    StandardPolyline fresh{{}, style, {}};
    Reserve(fresh.placed, keepsArc ? 4 : count);
    if (keepsArc) Grow(fresh.arcs);
    page.polylines.push_back(std::move(fresh));
    NotePen(style.widthMm);
    NoteUserUnits();
  }
  StandardPolyline& polyline = page.polylines.back();
  std::vector<PlotPoint>& line = polyline.placed;
  if (!keepsArc) Reserve(line, line.size() + count);
  if (!continues) {
    line.push_back(first);
    page.extents.Include(first);
  }
  const PlotPoint* added = points + 1;
  if (keepsArc) {
    Grow(polyline.arcs);
    polyline.arcs.push_back(*arc);
    polyline.arcs.back().after = static_cast<std::uint32_t>(line.size());
    polyline.arcs.back().end = points[count - 1];
  } else {
    // A plotter's curves come here a few dozen points at a time: copied in one go.
    const std::size_t before = line.size();
    if (rotation_ == 0) {
      line.insert(line.end(), points + 1, points + count);
    } else {
      for (std::size_t i = 1; i < count; ++i)
        line.push_back(Turned(points[i]));
    }
    added = line.data() + before;
  }
  // The box of the points added, without a branch.
  double minX = added[0].x, maxX = minX, minY = added[0].y, maxY = minY;
  for (std::size_t i = 1; i + 1 < count; ++i) {
    const PlotPoint p = added[i];
    minX = p.x < minX ? p.x : minX;
    maxX = p.x > maxX ? p.x : maxX;
    minY = p.y < minY ? p.y : minY;
    maxY = p.y > maxY ? p.y : maxY;
  }
  page.extents.Include({minX, minY});
  page.extents.Include({maxX, maxY});
  lastEnd_ = Turned(points[count - 1]);
  lastTo_ = points[count - 1];
  open_ = true;
}

void PageBuilder::DrawDot(PlotPoint at, const StrokeStyle& style) {
  open_ = false;
  AddSegment(at, at, style);
  open_ = false;
}

bool PageBuilder::FillPolygon(const std::vector<PlotRing>& rings, const StandardPolygon& fill) {
  StandardPolygon polygon = fill;
  polygon.rings.clear();
  std::size_t bytes = sizeof(StandardPolygon);
  for (const PlotRing& ring : rings) {
    PlotRing kept;
    kept.reserve(ring.size());
    for (const PlotPoint& p : ring) {
      if (Usable(p)) kept.push_back(p);
    }
    if (clip_) kept = ClipRing(*clip_, kept);
    if (kept.size() < 3) continue;
    for (PlotPoint& p : kept)
      p = Turned(p);
    bytes += sizeof(PlotRing) + kept.size() * sizeof(PlotPoint);
    polygon.rings.push_back(std::move(kept));
  }
  if (polygon.rings.empty()) return false;
  if (!budget_.Take(bytes)) throw BudgetSpent{};
  StandardPage& page = Page();
  Grow(page.polygons);
  polygon.polylinesBefore = page.polylines.size();
  if (polygon.fill != FillKind::Solid) NotePen(polygon.widthMm);
  for (const PlotRing& ring : polygon.rings) {
    for (const PlotPoint& p : ring)
      page.extents.Include(p);
  }
  page.polygons.push_back(std::move(polygon));
  NoteUserUnits();
  open_ = false;
  return true;
}

void PageBuilder::AdvancePage() {
  open_ = false;
  if (Page().Empty()) return;
  if (!budget_.Take(sizeof(StandardPage))) throw BudgetSpent{};
  plot_.pages.emplace_back();
}

void PageBuilder::Finish() {
  while (plot_.pages.size() > 1 && plot_.pages.back().Empty())
    plot_.pages.pop_back();
}

}  // namespace korvid
