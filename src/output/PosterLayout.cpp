#include "output/PosterLayout.h"

#include "model/PlotUnits.h"
#include "model/RuntimeError.h"
#include "model/ValueConversion.h"

namespace korvid {

PosterLayout LayOutPoster(const PageMetrics& page, const PlotExtents& extents, float magnification,
                          double pictureWidthMm, double pictureHeightMm) {
  PosterLayout layout;
  const double plotWidthMm =
      (static_cast<double>(extents.MaxX) - extents.MinX + kPictureMarginPlotterUnits) /
      kPlotterUnitsPerMm;
  const double plotHeightMm =
      (static_cast<double>(extents.MaxY) - extents.MinY + kPictureMarginPlotterUnits) /
      kPlotterUnitsPerMm;
  layout.scaleX = ToSingle(CheckedDivide(plotWidthMm * magnification, pictureWidthMm));
  layout.scaleY = ToSingle(CheckedDivide(plotHeightMm * magnification, pictureHeightMm));
  layout.scale = layout.scaleX < layout.scaleY ? layout.scaleY : layout.scaleX;
  layout.stepX = CheckedDivide(page.printableWidth - kTileBorderMm, layout.scale);
  layout.stepY = ToSingle(CheckedDivide(page.printableHeight - kTileBorderMm, layout.scale));
  layout.destination = RectD{page.offsetX, page.offsetY, page.printableWidth - kTileBorderMm,
                             page.printableHeight - kTileBorderMm};
  return layout;
}

std::int64_t WalkTiles(double stepX, float stepY, double pictureWidth, double pictureHeight,
                       std::int64_t sheetLimit,
                       const std::function<void(const TileOrigin&)>& visit) {
  TileOrigin at;
  std::int64_t sheets = 0;
  for (;;) {
    if (++sheets > sheetLimit) throw RuntimeError(err::kSubscriptOutOfRange, "too many sheets");
    visit(at);
    const float nextY = ToSingle(static_cast<double>(stepY) + at.y);
    if (nextY >= pictureHeight) {
      at.y = 0;
      const double nextX = at.x + stepX;
      if (nextX >= pictureWidth) return sheets;
      // A step too small to move on would walk forever.
      if (!(nextX > at.x)) throw RuntimeError(err::kSubscriptOutOfRange, "no progress");
      at.x = nextX;
    } else {
      if (!(nextY > at.y)) throw RuntimeError(err::kSubscriptOutOfRange, "no progress");
      at.y = nextY;
    }
  }
}

}  // namespace korvid
