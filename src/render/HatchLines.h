#pragma once

#include <vector>

#include "model/StandardPlot.h"

namespace korvid {

struct HatchSegment {
  PlotPoint from;
  PlotPoint to;
};

// The hatch lines that fill the rings (even-odd): parallel lines `spacing` apart at
// `angleDeg` counter-clockwise from the X axis, cut to the inside. Too fine a spacing for
// the size of the rings is widened so that no polygon yields more than kMostHatchLines.
inline constexpr int kMostHatchLines = 20000;
std::vector<HatchSegment> HatchLines(const std::vector<PlotRing>& rings, double spacing,
                                     double angleDeg);

}  // namespace korvid
