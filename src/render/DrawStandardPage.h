#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "model/FileLocation.h"
#include "model/StandardPlot.h"
#include "render/DisplaySettings.h"
#include "render/DrawPlot.h"

namespace korvid {

struct StandardDrawContext {
  const StandardPlot& plot;
  std::size_t pageIndex;  // 0-based
  const DisplaySettings& settings;
  FileLocation metafile;
  DrawProgress* progress = nullptr;
};

// Writes one page of the standard reading into the plot metafile, placed and turned as
// DrawPlot places a plot: lines at their pen's width (0.01 mm pens, dashes drawn out),
// fills as brushes and polygons (hatching drawn as lines), in the file's order, in the
// palette's colours (black and shades of grey in black-and-white mode). A page without
// anything on it writes an empty picture. Failures propagate as DrawPlot's do.
void DrawStandardPage(const StandardDrawContext& context, std::int16_t angle, double cosA,
                      double sinA);

}  // namespace korvid
