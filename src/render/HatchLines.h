#pragma once

#include <vector>

#include "model/StandardPlot.h"

namespace korvid {

struct HatchSegment {
  PlotPoint from;
  PlotPoint to;
};

// The hatch lines that fill the rings: parallel lines `spacing` apart at `angleDeg`
// counter-clockwise from the X axis, cut to the inside, by the even-odd rule unless
// `nonZeroWinding` (FP 1) says otherwise, as a solid fill of the same rings would be. Too
// fine a spacing for the size of the rings is widened so that no polygon yields more than
// kMostHatchLines.
inline constexpr int kMostHatchLines = 20000;
std::vector<HatchSegment> HatchLines(const std::vector<PlotRing>& rings, double spacing,
                                     double angleDeg, bool nonZeroWinding = false);

}  // namespace korvid
