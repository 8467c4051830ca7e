#pragma once

#include <cstdint>
#include <functional>

#include "model/PlotExtents.h"
#include "model/PlotModel.h"
#include "output/PageMetrics.h"

namespace korvid {

// A rectangle in millimetres (or, for the preview, twips) with double-precision values.
struct RectD {
  double left = 0;
  double top = 0;
  double width = 0;
  double height = 0;
};

// How the plot picture is cut into sheets: the picture enlarged to the magnification
// (40 plotter units to the millimetre, the metafile's 100-unit margin included) and
// walked in shares of one printable area less the tile border.
struct PosterLayout {
  float scaleX = 0;  // sheet millimetres per picture millimetre, by each direction
  float scaleY = 0;
  float scale = 0;   // the larger of the two
  double stepX = 0;  // the picture share of one sheet, picture millimetres
  float stepY = 0;
  RectD destination;  // where each share goes, from the printable area's top-left corner
};

// Error 11 or 6 for a magnification of 0 and other arithmetic failures; error 9 for a
// current plot outside the model.
PosterLayout LayOutPoster(const PageMetrics& page, const PlotExtents& extents, float magnification,
                          double pictureWidthMm, double pictureHeightMm);
inline PosterLayout LayOutPoster(const PageMetrics& page, const PlotModel& model,
                                 float magnification, double pictureWidthMm,
                                 double pictureHeightMm) {
  return LayOutPoster(page, PlotExtents::OfCurrentPlot(model), magnification, pictureWidthMm,
                      pictureHeightMm);
}

// A sheet's share of the picture, at its top-left corner.
struct TileOrigin {
  double x = 0;
  float y = 0;
};

// Visits the shares column by column from the left, each column from the top, until the
// picture is covered; returns the number of sheets. Error 9 for a walk that would never
// end or would run beyond `sheetLimit` sheets.
std::int64_t WalkTiles(double stepX, float stepY, double pictureWidth, double pictureHeight,
                       std::int64_t sheetLimit,
                       const std::function<void(const TileOrigin&)>& visit);

// Beyond any poster a user would print: a walk this long is a mistake, not a job.
inline constexpr std::int64_t kPosterSheetLimit = 10000;

}  // namespace korvid
