#include "hpgl2/PolygonBuffer.h"

namespace korvid {

namespace {

// A plotter's polygon buffer is small; this one stops taking points well before memory
// matters, and the read goes on.
constexpr std::size_t kMostBufferedPoints = std::size_t{1} << 22;

}  // namespace

bool PolygonBuffer::Full(std::size_t more) const {
  return points_ + more > kMostBufferedPoints;
}

void PolygonBuffer::Start(PlotPoint pen) {
  Clear();
  pen_ = pen;
  subpolygons_.push_back({{pen}, {false}});
  points_ = 1;
}

void PolygonBuffer::Clear() {
  subpolygons_.clear();
  points_ = 0;
  startsAtNextPoint_ = false;
}

void PolygonBuffer::CloseSubpolygon(bool penDrawing, bool nextStartsAtNextPoint) {
  if (!subpolygons_.empty() && !subpolygons_.back().closed) {
    subpolygons_.back().closed = true;
    subpolygons_.back().closingEdgeDrawn = penDrawing;
  }
  startsAtNextPoint_ = nextStartsAtNextPoint;
}

void PolygonBuffer::Add(PlotPoint from, PlotPoint to, bool drawn) {
  pen_ = to;
  if (Full(1)) return;
  if (subpolygons_.empty() || subpolygons_.back().closed) {
    const bool startsHere = startsAtNextPoint_;
    startsAtNextPoint_ = false;
    subpolygons_.push_back({{startsHere ? to : from}, {false}});
    ++points_;
    if (startsHere) return;
  }
  Subpolygon& open = subpolygons_.back();
  open.points.push_back(to);
  open.drawn.push_back(drawn);
  ++points_;
}

// A pen-up move right after a closed subpolygon only places the next one's start.
void PolygonBuffer::MoveTo(PlotPoint to) {
  if (subpolygons_.empty() || subpolygons_.back().closed) {
    pen_ = to;
    startsAtNextPoint_ = false;
    return;
  }
  Add(pen_, to, false);
}

void PolygonBuffer::DrawSegment(PlotPoint from, PlotPoint to, const StrokeStyle& style) {
  Add(from, to, style.pen != 0);
}

void PolygonBuffer::DrawPath(const PlotPoint* points, std::size_t count, const StrokeStyle& style) {
  for (std::size_t i = 1; i < count; ++i)
    Add(points[i - 1], points[i], style.pen != 0);
}

// A circle is a subpolygon of its own, closed.
void PolygonBuffer::DrawClosedPath(const PlotPoint* points, std::size_t count, const StrokeStyle&,
                                   bool drawn) {
  // The subpolygon it interrupts closes as its last edge was drawn.
  const bool lastEdgeDrawn = !subpolygons_.empty() && subpolygons_.back().drawn.back();
  CloseSubpolygon(lastEdgeDrawn, false);
  if (count == 0 || Full(count)) return;
  Subpolygon ring;
  ring.points.assign(points, points + count);
  ring.drawn.assign(count, drawn);
  ring.drawn[0] = false;
  ring.closed = true;
  ring.closingEdgeDrawn = drawn;
  subpolygons_.push_back(std::move(ring));
  points_ += count;
}

std::vector<PlotRing> PolygonBuffer::Rings() const {
  std::vector<PlotRing> rings;
  for (const Subpolygon& subpolygon : subpolygons_) {
    if (subpolygon.points.size() >= 3) rings.push_back(subpolygon.points);
  }
  return rings;
}

void PolygonBuffer::DrawEdges(PageBuilder& page, const StrokeStyle& style) const {
  for (const Subpolygon& subpolygon : subpolygons_) {
    const std::vector<PlotPoint>& points = subpolygon.points;
    const std::size_t n = points.size();
    if (n < 2) continue;
    page.BreakLine();
    // A subpolygon still open when EP comes closes as its last edge was drawn.
    const bool closing = subpolygon.closed ? subpolygon.closingEdgeDrawn : subpolygon.drawn[n - 1];
    for (std::size_t i = 1; i <= n; ++i) {
      const std::size_t to = i % n;
      if (to == 0 ? closing : subpolygon.drawn[to]) {
        page.AddSegment(points[i - 1], points[to], style);
      } else {
        page.BreakLine();
      }
    }
  }
  page.BreakLine();
}

}  // namespace korvid
