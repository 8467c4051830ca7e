#include "app/SurfaceImage.h"

#include <QElapsedTimer>
#include <QPainter>
#include <QRegion>
#include <QtMath>
#include <algorithm>
#include <cstring>
#include <utility>

#include "render/ImageFill.h"
#include "render/TwoThreadPaint.h"

namespace korvid {

namespace {

constexpr QRgb kPaper = qRgb(255, 255, 255);

QSize PixelsOf(const QSize& logical, qreal ratio) {
  return QSize(qCeil(logical.width() * ratio), qCeil(logical.height() * ratio));
}

// Pixels can only be moved over whole pixels of the screen: with a ratio of 1.5, a step
// of one logical pixel would land between two.
bool WholeRatio(qreal ratio) {
  return ratio == std::floor(ratio) && ratio >= 1;
}

// A blank image of `pixels`, reusing `spare`'s memory when it has that size and no one
// else holds it.
QImage BlankImage(QImage& spare, const QSize& pixels, qreal ratio) {
  QImage image;
  if (spare.size() == pixels && spare.isDetached()) {
    image = std::move(spare);
    spare = QImage();
  } else {
    image = QImage(pixels, QImage::Format_RGB32);
  }
  if (image.isNull()) return image;
  image.setDevicePixelRatio(ratio);
  FillImage(image, kPaper);
  return image;
}

void FillPixels(QImage& image, const QRect& pixels) {
  const QRect inside = pixels & image.rect();
  for (int y = inside.top(); y <= inside.bottom(); ++y)
    std::fill_n(reinterpret_cast<QRgb*>(image.scanLine(y)) + inside.left(), inside.width(), kPaper);
}

// Paints the picture stretched over a surface of `surfaceSize` into `image`, whose
// top-left pixel is the surface's point `origin`, within `clip` (surface pixels) if given.
void PaintSurface(QImage& image, QImage& layer, const MetafilePicture& picture, QPoint origin,
                  const QSize& surfaceSize, const QRect* clip = nullptr) {
  PaintView(image, layer, picture, QRectF(QPointF(0, 0), QSizeF(surfaceSize)), origin,
            clip ? *clip : QRect());
}

}  // namespace

void SurfaceImage::SetPicture(MetafilePicture picture) {
  picture_ = std::move(picture);
  image_ = QImage();
  exact_ = QImage();
  rect_ = QRect();
  preview_ = false;
}

bool SurfaceImage::Holds(const QSize& surfaceSize, qreal ratio) const {
  return !image_.isNull() && surfaceSize == surfaceSize_ && ratio == ratio_;
}

void SurfaceImage::Follow(const QRect& visible, const QSize& surfaceSize, qreal ratio) {
  if (visible.isEmpty()) return;
  if (!Holds(surfaceSize, ratio) || preview_) {
    DrawWhole(visible, surfaceSize, ratio);
    return;
  }
  if (visible == rect_) return;
  const QRect kept = visible & rect_;
  if (kept.isEmpty() || !WholeRatio(ratio)) {
    DrawWhole(visible, surfaceSize, ratio);
    return;
  }
  Shift(visible, kept);
  for (const QRect& part : QRegion(visible).subtracted(QRegion(kept)))
    DrawPart(part);
}

void SurfaceImage::DrawWhole(const QRect& visible, const QSize& surfaceSize, qreal ratio) {
  QElapsedTimer clock;
  clock.start();
  spare_ = std::exchange(image_, QImage());
  image_ = BlankImage(spare_, PixelsOf(visible.size(), ratio), ratio);
  rect_ = visible;
  surfaceSize_ = surfaceSize;
  ratio_ = ratio;
  preview_ = false;
  exact_ = QImage();
  PaintSurface(image_, layer_, picture_, visible.topLeft(), surfaceSize);
  drawnPixels_ += static_cast<double>(image_.width()) * image_.height();
  lastWholeMs_ = static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

void SurfaceImage::Shift(const QRect& visible, const QRect& kept) {
  const QSize pixels = PixelsOf(visible.size(), ratio_);
  QImage next;
  if (spare_.size() == pixels && spare_.isDetached()) {
    next = std::exchange(spare_, QImage());
  } else {
    next = QImage(pixels, QImage::Format_RGB32);
  }
  if (next.isNull()) {
    DrawWhole(visible, surfaceSize_, ratio_);
    return;
  }
  next.setDevicePixelRatio(ratio_);
  const int ratio = static_cast<int>(ratio_);
  const QPoint from = (kept.topLeft() - rect_.topLeft()) * ratio;
  const QPoint to = (kept.topLeft() - visible.topLeft()) * ratio;
  const int rows =
      std::min({kept.height() * ratio, image_.height() - from.y(), pixels.height() - to.y()});
  const int columns =
      std::min({kept.width() * ratio, image_.width() - from.x(), pixels.width() - to.x()});
  const std::size_t bytes = static_cast<std::size_t>(columns) * sizeof(QRgb);
  for (int y = 0; y < rows; ++y) {
    std::memcpy(reinterpret_cast<QRgb*>(next.scanLine(to.y() + y)) + to.x(),
                reinterpret_cast<const QRgb*>(image_.constScanLine(from.y() + y)) + from.x(),
                bytes);
  }
  spare_ = std::exchange(image_, std::move(next));
  rect_ = visible;
}

void SurfaceImage::DrawPart(const QRect& part) {
  const int ratio = static_cast<int>(ratio_);
  FillPixels(image_, QRect((part.topLeft() - rect_.topLeft()) * ratio, part.size() * ratio));
  PaintSurface(image_, layer_, picture_, rect_.topLeft(), surfaceSize_, &part);
  drawnPixels_ += static_cast<double>(part.width()) * part.height() * ratio * ratio;
}

void SurfaceImage::Preview(const QRect& visible, const QSize& surfaceSize, qreal ratio) {
  if (visible.isEmpty()) return;
  if (!preview_) {
    if (image_.isNull() || ratio != ratio_) {
      DrawWhole(visible, surfaceSize, ratio);
      return;
    }
    exact_ = image_;
    exactRect_ = rect_;
    exactSurface_ = surfaceSize_;
  } else if (visible == rect_ && surfaceSize == surfaceSize_ && ratio == ratio_) {
    return;
  }
  if (ratio != exact_.devicePixelRatio() || exactSurface_.isEmpty()) {
    DrawWhole(visible, surfaceSize, ratio);
    return;
  }
  QImage preview = BlankImage(spare_, PixelsOf(visible.size(), ratio), ratio);
  if (preview.isNull()) return;
  {
    QPainter painter(&preview);
    painter.translate(-visible.topLeft());
    const double sx = static_cast<double>(surfaceSize.width()) / exactSurface_.width();
    const double sy = static_cast<double>(surfaceSize.height()) / exactSurface_.height();
    painter.drawImage(QRectF(exactRect_.x() * sx, exactRect_.y() * sy, exactRect_.width() * sx,
                             exactRect_.height() * sy),
                      exact_);
  }
  if (preview_) spare_ = std::move(image_);
  image_ = std::move(preview);
  rect_ = visible;
  surfaceSize_ = surfaceSize;
  ratio_ = ratio;
  preview_ = true;
}

QImage SurfaceImage::Render(const QRect& region, const QSize& surfaceSize, qreal ratio) const {
  QImage spare;
  QImage image = BlankImage(spare, PixelsOf(region.size(), ratio), ratio);
  QImage layer;
  PaintSurface(image, layer, picture_, region.topLeft(), surfaceSize);
  return image;
}

}  // namespace korvid
