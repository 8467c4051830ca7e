#include "reader/FindLast.h"

#include "model/RuntimeError.h"

namespace korvid {

std::int16_t FindLast(std::string_view text, std::string_view part) {
  std::size_t position = 0;
  if (part.empty()) {
    // A search from the right meets the empty part first at the last character.
    position = text.size();
  } else if (const std::size_t found = text.rfind(part); found != std::string_view::npos) {
    position = found + 1;
  }
  if (position > 32767) throw RuntimeError(err::kOverflow);
  return static_cast<std::int16_t>(position);
}

PlotPath SplitPlotPath(std::string_view path) {
  const std::size_t split = static_cast<std::size_t>(FindLast(path, "/"));
  return {std::string(path.substr(0, split)), std::string(path.substr(split))};
}

}  // namespace korvid
