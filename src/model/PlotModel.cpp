#include "model/PlotModel.h"

#include <cstdlib>
#include <new>

namespace korvid {

namespace {

// Zeroed by the system page by page as the reader first touches them: a plot fills a small
// part of its tables, and clearing all of them up front cost more than reading most files.
template <typename Record>
PlotModel::Table<Record> ZeroedTable(std::size_t count) {
  void* memory = std::calloc(count, sizeof(Record));
  if (memory == nullptr) throw std::bad_alloc();
  return PlotModel::Table<Record>(static_cast<Record*>(memory));
}

}  // namespace

PlotModel::PlotModel() {
  for (int plot = 0; plot < PlotSlots; ++plot) {
    segments_[plot] = ZeroedTable<Segment>(MaxSegments + 1);
    arcs_[plot] = ZeroedTable<ArcRec>(MaxArcs + 1);
  }
}

}  // namespace korvid
