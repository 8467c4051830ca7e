#include "reader/Extents.h"

#include "model/ValueConversion.h"

namespace korvid {

void ResetExtents(PlotModel& model, std::int16_t plot) {
  PlotModel::CheckPlot(plot);
  model.MaxX[plot] = kInitialMaxExtent;
  model.MaxY[plot] = kInitialMaxExtent;
  model.MinX[plot] = kInitialMinExtent;
  model.MinY[plot] = kInitialMinExtent;
}

void WidenExtents(PlotModel& model, std::int16_t plot, const ArcRec& arc) {
  if (arc.Right > model.MaxX[plot]) model.MaxX[plot] = arc.Right;
  if (arc.Top > model.MaxY[plot]) model.MaxY[plot] = arc.Top;
  if (arc.Left < model.MinX[plot]) model.MinX[plot] = arc.Left;
  if (arc.Bottom < model.MinY[plot]) model.MinY[plot] = arc.Bottom;
}

void SquareDegenerateExtents(PlotModel& model, std::int16_t plot) {
  PlotModel::CheckPlot(plot);
  float maxX = model.MaxX[plot];
  float minX = model.MinX[plot];
  float maxY = model.MaxY[plot];
  float minY = model.MinY[plot];
  if (maxX == minX) {
    const double halfHeight = (static_cast<double>(maxY) - minY) / 2;
    maxX = ToSingle(maxX + halfHeight);
    minX = ToSingle(minX - halfHeight);
  }
  if (maxY == minY) {
    const double halfWidth = (static_cast<double>(maxX) - minX) / 2;
    maxY = ToSingle(maxY + halfWidth);
    minY = ToSingle(minY - halfWidth);
  }
  model.MaxX[plot] = maxX;
  model.MinX[plot] = minX;
  model.MaxY[plot] = maxY;
  model.MinY[plot] = minY;
}

}  // namespace korvid
