#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "model/StandardPlot.h"
#include "render/DisplaySettings.h"
#include "render/DrawPlot.h"

namespace korvid {

struct StandardDrawContext {
  const StandardPlot& plot;
  std::size_t pageIndex = 0;  // 0-based
  const DisplaySettings& settings;
  std::string metafilePath;
  DrawProgress* progress = nullptr;
};

// Writes one page of the standard reading into the plot metafile at `metafilePath`, turned
// like DrawPlot turns the design's plot: the page's extents plus the 100-unit margin come
// to 32767 units of 0.01 mm on the longer side, so that the view and output arithmetic
// measures both readings alike. Error 9 for a page beyond the plot.
//
// Placeholder until the full drawing arrives: polylines and polygon outlines in black.
void DrawStandardPage(const StandardDrawContext& context, std::int16_t angle, double cosA,
                      double sinA);

}  // namespace korvid
