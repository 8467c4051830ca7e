#pragma once

#include <cstddef>

#include "model/StandardPlot.h"

namespace korvid {

// Where the plotter's pen moves go: onto the page, or (in polygon mode) into the polygon
// buffer. Both take the same moves, so that entering and leaving polygon mode only
// changes which one the plotter draws into. Points are plotter units before rotation.
class StrokeTarget {
 public:
  virtual ~StrokeTarget() = default;

  // A pen-up move to `to`: the next segment starts a new line.
  virtual void MoveTo(PlotPoint to) = 0;
  virtual void DrawSegment(PlotPoint from, PlotPoint to, const StrokeStyle& style) = 0;
  // A run of connected segments through `count` points (the first is where the pen is).
  virtual void DrawPath(const PlotPoint* points, std::size_t count, const StrokeStyle& style) = 0;
  // A closed figure of its own (CI): its first point is not joined to what came before.
  // `drawn`: whether the pen draws it (pen 0 does not).
  virtual void DrawClosedPath(const PlotPoint* points, std::size_t count, const StrokeStyle& style,
                              bool drawn) = 0;
  // The same, where the points after the first are those of `arc`: a target may keep the
  // arc instead of its points.
  virtual void DrawArcPath(const PlotPoint* points, std::size_t count, const PolylineArc& arc,
                           const StrokeStyle& style) {
    (void)arc;
    DrawPath(points, count, style);
  }
  virtual void DrawClosedArcPath(const PlotPoint* points, std::size_t count, const PolylineArc& arc,
                                 const StrokeStyle& style, bool drawn) {
    (void)arc;
    DrawClosedPath(points, count, style, drawn);
  }
  // A pen lowered and raised again without moving.
  virtual void DrawDot(PlotPoint at, const StrokeStyle& style) = 0;
  // The next segment starts a new line even if it continues the last one.
  virtual void BreakLine() = 0;

  // Pen 0 is no pen in HP-GL/2 and draws nothing, unless the read is asked to draw it
  // (for a pen table that shows pen 0).
  void DrawPenZero(bool draws) { penZeroDraws_ = draws; }

 protected:
  bool Inks(const StrokeStyle& style) const { return style.pen != 0 || penZeroDraws_; }

 private:
  bool penZeroDraws_ = false;
};

}  // namespace korvid
