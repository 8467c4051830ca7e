#pragma once

#include <cstdint>

#include "model/PlotModel.h"

namespace korvid {

// Extents start inverted (maxima far below minima) so that the first point sets them.
void ResetExtents(PlotModel& model, std::int16_t plot);

// A point replaces a maximum only when strictly greater, a minimum only when strictly smaller.
// Inline: every completed segment widens the extents twice.
inline void WidenExtents(PlotModel& model, std::int16_t plot, float x, float y) {
  if (x > model.MaxX[plot]) model.MaxX[plot] = x;
  if (x < model.MinX[plot]) model.MinX[plot] = x;
  if (y > model.MaxY[plot]) model.MaxY[plot] = y;
  if (y < model.MinY[plot]) model.MinY[plot] = y;
}

// The whole circle's square counts, also for a partial arc.
void WidenExtents(PlotModel& model, std::int16_t plot, const ArcRec& arc);

// A drawing without width or height gets a square extent around its middle: zero width
// takes half the height on each side, then zero height half the (new) width. Error 6
// when a widened extent leaves the 32-bit float range; nothing is changed then.
void SquareDegenerateExtents(PlotModel& model, std::int16_t plot);

}  // namespace korvid
