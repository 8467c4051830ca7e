#include "model/PlotExtents.h"

#include <algorithm>
#include <cmath>

#include "model/PlotUnits.h"

namespace korvid {

namespace {
constexpr double kLoneDotHalfSide = 50;
}  // namespace

PlotExtents PlotExtents::OfCurrentPlot(const PlotModel& model) {
  const std::int16_t plot = model.CurPlot;
  PlotModel::CheckPlot(plot);
  return {model.MinX[plot], model.MinY[plot], model.MaxX[plot], model.MaxY[plot]};
}

PlotBox InkBoxOf(const StandardPage& page) {
  PlotBox box = page.extents;
  if (box.empty) return box;
  // Widened only where the sum stays finite: a page at the edge of the number range
  // keeps its extents.
  auto widen = [](double& low, double& high, double half) {
    if (std::isfinite(low - half) && std::isfinite(high + half)) {
      low -= half;
      high += half;
    }
  };
  if (box.Width() == 0) widen(box.minX, box.maxX, std::max(box.Height() / 2, kLoneDotHalfSide));
  if (box.Height() == 0) widen(box.minY, box.maxY, box.Width() / 2);
  const double halfPen = page.widestPenMm * kPlotterUnitsPerMm / 2;
  if (std::isfinite(halfPen) && halfPen > 0) {
    widen(box.minX, box.maxX, halfPen);
    widen(box.minY, box.maxY, halfPen);
  }
  return box;
}

PlotExtents PlotExtents::OfPage(const StandardPage& page) {
  PlotExtents extents;
  const PlotBox box = InkBoxOf(page);
  if (box.empty) return extents;
  // The picture's own box (render/DrawStandardPage draws into it), so that the view fits
  // the picture at its own shape.
  return {static_cast<float>(box.minX), static_cast<float>(box.minY), static_cast<float>(box.maxX),
          static_cast<float>(box.maxY)};
}

}  // namespace korvid
