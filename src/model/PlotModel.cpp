#include "model/PlotModel.h"

namespace korvid {

PlotModel::PlotModel() {
  for (int plot = 0; plot < PlotSlots; ++plot) {
    segments_[plot] = std::make_unique<Segment[]>(MaxSegments + 1);
    arcs_[plot] = std::make_unique<ArcRec[]>(MaxArcs + 1);
  }
}

}  // namespace korvid
