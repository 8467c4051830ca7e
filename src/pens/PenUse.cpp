#include "pens/PenUse.h"

#include <algorithm>
#include <map>

namespace korvid {

namespace {
constexpr int kLowestPen16 = -32768;  // the own reading's pens are 16-bit
}  // namespace

std::vector<PenUse> PenUseOf(const PlotModel& model) {
  const std::int16_t plot = model.CurPlot;
  PlotModel::CheckPlot(plot);
  // Every pen number has its slot: no look-up for each of 150,000 segments.
  std::vector<PenUse> slots(65536);
  const auto slot = [&](std::int16_t pen) -> PenUse& {
    return slots[static_cast<std::size_t>(static_cast<int>(pen) - kLowestPen16)];
  };
  for (std::int32_t i = 1; i <= model.SegCount[plot]; ++i)
    ++slot(model.Segments(i, plot).Pen).lines;
  for (std::int32_t i = 1; i <= model.ArcCount[plot]; ++i)
    ++slot(model.Arcs(i, plot).Pen).arcs;
  std::vector<PenUse> used;
  for (std::size_t i = 0; i < slots.size(); ++i) {
    if (slots[i].lines == 0 && slots[i].arcs == 0) continue;
    slots[i].pen = static_cast<int>(i) + kLowestPen16;
    used.push_back(slots[i]);
  }
  return used;
}

std::vector<PenUse> PenUseOf(const StandardReadOutcome& read) {
  std::vector<PenUse> used;
  for (const auto& [pen, counts] : read.countsByPen) {
    if (counts.polylines == 0 && counts.arcs == 0 && counts.polygons == 0 && counts.labels == 0)
      continue;
    used.push_back({pen, counts.polylines, counts.arcs, counts.polygons, counts.labels});
  }
  return used;
}

}  // namespace korvid
