#include "model/PlotExtents.h"

#include <algorithm>
#include <cmath>

namespace korvid {

namespace {
constexpr double kLoneDotHalfSide = 50;
}  // namespace

PlotExtents PlotExtents::OfCurrentPlot(const PlotModel& model) {
  const std::int16_t plot = model.CurPlot;
  PlotModel::CheckPlot(plot);
  return {model.MinX[plot], model.MinY[plot], model.MaxX[plot], model.MaxY[plot]};
}

PlotExtents PlotExtents::OfPage(const StandardPage& page) {
  PlotExtents extents;
  if (page.extents.empty) return extents;
  extents = {static_cast<float>(page.extents.minX), static_cast<float>(page.extents.minY),
             static_cast<float>(page.extents.maxX), static_cast<float>(page.extents.maxY)};
  // Squared as the page drawing squares them (render/DrawStandardPage), so that the view
  // fits the picture at its own shape: a line without width or height gets a square, and a
  // lone dot a square of 100 units.
  auto widen = [](float& low, float& high, double half) {
    const float newLow = static_cast<float>(low - half);
    const float newHigh = static_cast<float>(high + half);
    if (std::isfinite(newLow) && std::isfinite(newHigh)) {
      low = newLow;
      high = newHigh;
    }
  };
  if (extents.MaxX == extents.MinX) {
    widen(extents.MinX, extents.MaxX,
          std::max((static_cast<double>(extents.MaxY) - extents.MinY) / 2, kLoneDotHalfSide));
  }
  if (extents.MaxY == extents.MinY) {
    widen(extents.MinY, extents.MaxY, (static_cast<double>(extents.MaxX) - extents.MinX) / 2);
  }
  return extents;
}

}  // namespace korvid
