#pragma once

#include <cstdint>
#include <string>
#include <system_error>
#include <vector>

#include "hpgl2/RasterSkip.h"
#include "model/MnemonicTally.h"
#include "model/StandardPlot.h"

namespace korvid {

// An instruction the standard reading met but does not act on, by its mnemonic (upper
// case).
using UnreadInstruction = MnemonicCount;

// What the standard reading drew, counted over all pages.
struct StandardReadCounts {
  std::int64_t instructions = 0;  // instructions read, known or not
  std::int64_t polylines = 0;     // pen-down runs kept (labels included)
  std::int64_t arcs = 0;          // CI AA AR AT RT BZ BR and the wedge outlines drawn
  std::int64_t polygons = 0;      // filled areas kept
  std::int64_t labels = 0;        // LB instructions drawn
  // Label characters no font could draw, or that no symbol set defines: drawn as "?".
  std::int64_t undrawableCharacters = 0;
  std::int64_t rasterImages = 0;         // PCL and RTL raster images drawn
  std::int64_t rasterImagesSkipped = 0;  // and those that were not
};

// Everything one standard read yields. The plot always has at least one page; pages
// that stay empty at the end of the file are dropped, except the only one.
struct StandardReadOutcome {
  StandardPlot plot;
  StandardReadCounts counts;
  // Known to HP-GL/2 but read as changing nothing on paper (VS, FS, MC, PP, QL, ...).
  std::vector<UnreadInstruction> ignored;
  // Not understood at all: unknown mnemonics, in order of first appearance.
  std::vector<UnreadInstruction> unread;
  RasterSkip rasterSkip = RasterSkip::None;  // why the first raster image skipped was
  // The memory budget was spent: what was read before it is kept, the rest is not.
  bool memoryBudgetReached = false;
  std::int64_t stoppedAtByte = -1;  // where the read stopped early, -1 = at the end
  std::error_code fileError;        // the file could not be opened or read
  int fileErrorNumber = 0;          // and the run-time error number for the user

  bool Drew() const {
    for (const StandardPage& page : plot.pages) {
      if (!page.Empty()) return true;
    }
    return false;
  }
};

}  // namespace korvid
