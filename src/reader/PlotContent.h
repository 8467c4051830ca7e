#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace korvid {

// What a file that drew nothing holds, so that the user can be told why in plain words
// instead of seeing the commands that a read made of it.
enum class PlotContent {
  Empty,      // no byte at all, or only blanks and line ends
  NotAPlot,   // mostly bytes that no plotter language uses: a program, an image, an archive
  MaybePlot,  // anything else: the reading's own notes say what it made of it
};

// How much of a file is looked at.
inline constexpr std::size_t kPlotContentHeadBytes = 64 * 1024;

// Judged on the file's first bytes. PCL and RTL files, which may carry binary raster data
// but hold plotter instructions too, begin with an escape and are never NotAPlot.
PlotContent ClassifyPlotContent(std::string_view head);

// The same on the file at `path`; MaybePlot when it cannot be read (the read says why).
PlotContent ClassifyPlotFile(const std::string& path);

}  // namespace korvid
