#pragma once

#include <cstdint>
#include <vector>

#include "hpgl2/StandardReadOutcome.h"
#include "model/PlotModel.h"

namespace korvid {

// What one pen draws in a plot, for the pen table's listing.
struct PenUse {
  int pen = 0;
  std::int64_t lines = 0;  // segments; in the standard reading pen-down runs, labels included
  std::int64_t arcs = 0;
  std::int64_t polygons = 0;
  std::int64_t labels = 0;

  bool operator==(const PenUse&) const = default;
};

// The pens that draw something in the current plot of Korvid's own reading, in order of
// their numbers.
std::vector<PenUse> PenUseOf(const PlotModel& model);

// The same over every page of a standard read.
std::vector<PenUse> PenUseOf(const StandardReadOutcome& read);

}  // namespace korvid
