#pragma once

#include <memory>

#include "model/PlotModel.h"
#include "render/PlotSource.h"

namespace korvid {

// Korvid's own reading as a source: the current plot of the plot model, one page. Its
// drawing maps plotter units to metafile units of 0.01 mm so that the longer side of the
// plot plus a 100-unit margin comes to 32767, turned by the setup's angle (0, 90 right,
// 180, 270 left) with its cosine and sine; segments first, then arcs; in colour mode each
// in its pen's colour and dash pattern, in black and white with the default pen.
//
// The model must outlive the source; error 9 from any call for a current plot outside
// the model.
std::unique_ptr<PlotSource> SourceOfModel(const PlotModel& model);
// A source that keeps its model.
std::unique_ptr<PlotSource> SourceOfModel(std::shared_ptr<const PlotModel> model);

}  // namespace korvid
