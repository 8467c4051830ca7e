#include "render/PaintShare.h"

#include <QPainter>

namespace korvid {

void PaintShare(QPainter& painter, const MetafilePicture& picture, const QSizeF& pictureSize,
                const QRectF& source, const QRectF& destination, const PaintOptions& options) {
  if (source.width() <= 0 || source.height() <= 0 || destination.isEmpty()) return;
  const double scaleX = destination.width() / source.width();
  const double scaleY = destination.height() / source.height();
  const QRectF whole(destination.left() - source.left() * scaleX,
                     destination.top() - source.top() * scaleY, pictureSize.width() * scaleX,
                     pictureSize.height() * scaleY);
  painter.save();
  painter.setClipRect(destination, painter.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
  picture.Paint(painter, whole, options);
  painter.restore();
}

}  // namespace korvid
