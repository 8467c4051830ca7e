#pragma once

#include "model/PlotModel.h"
#include "model/StandardPlot.h"

namespace korvid {

// The bounding box of the plot on show, in plotter units (X right, Y up): all that the
// view and output arithmetic takes from a drawing, whichever reading produced it. Single
// precision, as the plot model keeps its extents, so that both readings are measured by
// the same arithmetic.
struct PlotExtents {
  float MinX = kInitialMinExtent;
  float MinY = kInitialMinExtent;
  float MaxX = kInitialMaxExtent;
  float MaxY = kInitialMaxExtent;

  // The extents of the model's current plot; error 9 for a plot outside the model.
  static PlotExtents OfCurrentPlot(const PlotModel& model);

  // The extents of a standard page, squared as its drawing squares them when it has no
  // width or no height. An empty page keeps the inverted start values, as an empty read
  // of the model does.
  static PlotExtents OfPage(const StandardPage& page);

  bool operator==(const PlotExtents&) const = default;
};

// What a standard page's picture holds, in plotter units: its extents, squared when they
// have no width or no height (a lone dot gets a square of 100 units), then grown by half
// the widest pen on all sides so that a wide line along the edge is drawn whole. Empty
// for an empty page.
PlotBox InkBoxOf(const StandardPage& page);

}  // namespace korvid
