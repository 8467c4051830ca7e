#pragma once

#include <memory>

#include "model/StandardPlot.h"
#include "render/PlotSource.h"

namespace korvid {

// The standard reading as a source: one page of it at a time, from the first. Its drawing
// places and turns the page as the own reading places a plot (the longer side plus the
// margin at 32767 units of 0.01 mm), around its ink box: lines at their pen's width (pens
// in 0.01 mm, dashes drawn out), fills as brushes and polygons (hatching drawn as lines),
// in the file's order, in the palette's colours (black and shades of grey in
// black-and-white mode). A page without anything on it draws an empty picture.
std::unique_ptr<PlotSource> SourceOfPages(std::shared_ptr<const StandardPlot> plot);

}  // namespace korvid
