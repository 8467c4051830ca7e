#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QRectF>
#include <cstddef>
#include <functional>
#include <optional>

#include "render/MetafilePicture.h"

namespace korvid {

// Where to cut a picture for two threads that paint it at `pixelsPerUnit` (pixels a frame
// unit), into two parts of about equal work: between two runs, or in a run of lines between
// two that a painter would not join. Nothing when a second thread would not pay: a small
// picture, or a single processor.
std::optional<PicturePlace> TwoThreadCut(const MetafilePicture& picture, double pixelsPerUnit);

// Paints two parts of a drawing at once: paint(image, false) on this thread and
// paint(layer, true) on a second one, onto `layer` (32-bit with alpha, of the image's size)
// cleared to transparent within `area` first. The layer's painted pixels within `area` then
// go over the image's, each thread laying half of the rows. Every pen and fill is opaque,
// so the later part laid over the first covers just what it would have covered painted
// after it. A failure of either part is rethrown once both are done, the image unfinished.
void PaintOnTwoThreads(QImage& image, QImage& layer, const QRect& area,
                       const std::function<void(QImage& canvas, bool later)>& paint);

// Paints the picture onto `target` of a surface (as MetafilePicture::Paint does) into
// `image`, which shows the surface from its point `origin` on, within `clip` (surface
// coordinates) unless that is null. A large picture is painted on two processors, the later
// part on `layer`, which the caller keeps from one painting to the next so that a step of a
// view does not ask for its memory again.
void PaintView(QImage& image, QImage& layer, const MetafilePicture& picture, const QRectF& target,
               QPoint origin = {}, const QRect& clip = {});

}  // namespace korvid
