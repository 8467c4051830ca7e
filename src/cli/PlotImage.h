#pragma once

#include <cstdint>
#include <string>

#include "model/PlotModel.h"
#include "output/DrawingExport.h"
#include "render/DisplaySettings.h"

namespace korvid {

// The plot as the bytes of the PNG or BMP file that EncodePicture makes of DrawPlotPicture's
// picture, to the bit. A large plot is drawn in two parts at once, each part drawn and
// painted by a processor of its own: drawing the whole picture first would leave one
// processor idle for as long as the drawing takes.
std::string EncodePlotImage(const PlotModel& model, const DisplaySettings& settings,
                            std::int16_t angle, const EncodeRequest& request);

}  // namespace korvid
