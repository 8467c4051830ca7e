#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace korvid {

// 1-based position at which the last occurrence of `part` in `text` begins, 0 when it
// does not occur. Error 6 beyond the 16-bit range.
std::int16_t FindLast(std::string_view text, std::string_view part);

struct PlotPath {
  std::string dir;   // the folder with its trailing "/", empty for a bare name
  std::string name;  // the file name
};

// Splits a chosen path at its last "/" into the model's PlotDir and PlotFileName.
PlotPath SplitPlotPath(std::string_view path);

}  // namespace korvid
