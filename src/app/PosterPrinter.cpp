#include "app/PosterPrinter.h"

#include <QPainter>
#include <QPrinter>

#include "model/RuntimeError.h"
#include "render/PaintShare.h"

namespace korvid {

std::int64_t PrintPoster(QPrinter& printer, const MetafilePicture& picture, double pictureWidthMm,
                         double pictureHeightMm, const PosterLayout& layout) {
  // Painter coordinates start at the printable area's top-left corner, in device pixels.
  const double pixelsPerMm = printer.resolution() / 25.4;
  const RectD& to = layout.destination;
  const QRectF destination(to.left * pixelsPerMm, to.top * pixelsPerMm, to.width * pixelsPerMm,
                           to.height * pixelsPerMm);
  QPainter painter;
  if (!painter.begin(&printer)) throw RuntimeError(err::kPrinterError, "the printer refused");
  bool first = true;
  const std::int64_t sheets =
      WalkTiles(layout.stepX, layout.stepY, pictureWidthMm, pictureHeightMm, kPosterSheetLimit,
                [&](const TileOrigin& at) {
                  // A new sheet before every share but the first: the last adds no blank sheet.
                  if (!first && !printer.newPage()) throw RuntimeError(err::kPrinterError);
                  first = false;
                  PaintShare(painter, picture, QSizeF(pictureWidthMm, pictureHeightMm),
                             QRectF(at.x, at.y, layout.stepX, layout.stepY), destination,
                             PaintOptions{pixelsPerMm});
                });
  if (!painter.end()) throw RuntimeError(err::kPrinterError);
  // Some print engines learn of a failure only while they finish the job.
  if (printer.printerState() == QPrinter::Error || printer.printerState() == QPrinter::Aborted)
    throw RuntimeError(err::kPrinterError, "the printer failed the job");
  return sheets;
}

}  // namespace korvid
