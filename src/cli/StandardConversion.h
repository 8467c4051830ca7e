#pragma once

#include <string>

#include "cli/ConvertOptions.h"

namespace korvid {

// What drawing one page of the standard reading came to.
struct StandardConversion {
  bool drawn = false;
  std::string problem;  // for the user when nothing was drawn
};

// Reads `options.input` in the standard HP-GL/2 reading, tells on stderr what the read
// left out, and draws page `options.page` into the plot metafile at `metafilePath`, turned
// by `options.rotation`, in colour unless `options.mono`.
StandardConversion DrawStandardPageOf(const ConvertOptions& options,
                                      const std::string& metafilePath);

}  // namespace korvid
