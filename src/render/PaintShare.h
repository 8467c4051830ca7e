#pragma once

#include <QRectF>
#include <QSizeF>

#include "render/MetafilePicture.h"

class QPainter;

namespace korvid {

// Paints the part `source` of a picture whose whole size is `pictureSize` (in any unit,
// the same for both) into `destination` (painter coordinates), scaled to fill it. What
// lies beyond the picture stays blank; nothing is painted outside `destination`.
void PaintShare(QPainter& painter, const MetafilePicture& picture, const QSizeF& pictureSize,
                const QRectF& source, const QRectF& destination, const PaintOptions& options = {});

}  // namespace korvid
