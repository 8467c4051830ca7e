#include "render/TwoThreadPaint.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <numbers>
#include <thread>
#include <vector>

#include "model/BothAtOnce.h"
#include "render/MetafileDrawing.h"
#include "render/PaintWork.h"

namespace korvid {

namespace {

// A cut inside a run of lines moves at most this many lines away from the middle of the
// work to fall between two strokes, as each painting looks for it again.
constexpr std::uint32_t kFarthestCutMove = 1 << 16;

// A view's layer costs as much memory as its image: worth it for any screen (32
// megapixels is 8K by 4K), not for the largest capture of a selection, which would take a
// gigabyte more.
constexpr double kLargestLayerPixels = 32.0 * 1024 * 1024;

// 32-bit pixels row by row, for threads that must not call into QImage at once: even
// its bits() counts detaches.
struct PixelRows {
  uchar* bits;
  qsizetype bytesPerLine;
  QRgb* Row(int y) const { return reinterpret_cast<QRgb*>(bits + y * bytesPerLine); }
};

void Clear(const PixelRows& layer, const QRect& area) {
  for (int y = area.top(); y <= area.bottom(); ++y)
    std::fill_n(layer.Row(y) + area.left(), area.width(), QRgb{0});
}

// Lays the opaque pixels of a layer over an image in the columns of `area` and the rows
// from `top` up to `bottom`.
void LayOver(const PixelRows& layer, const PixelRows& image, const QRect& area, int top,
             int bottom) {
  for (int y = top; y < bottom; ++y) {
    QRgb* const to = image.Row(y) + area.left();
    const QRgb* const from = layer.Row(y) + area.left();
    for (int x = 0; x < area.width(); ++x)
      if (qAlpha(from[x]) != 0) to[x] = from[x];
  }
}

}  // namespace

std::optional<PicturePlace> TwoThreadCut(const MetafilePicture& picture, double pixelsPerUnit) {
  const MetafilePicture::Drawing* drawing = picture.Contents();
  if (drawing == nullptr || std::thread::hardware_concurrency() < 2 ||
      drawing->lines.size() + drawing->arcs.size() < kTwoThreadsFrom)
    return std::nullopt;
  const std::vector<DrawRun>& runs = drawing->runs;
  std::vector<double> work(runs.size());
  double total = 0;
  for (std::size_t r = 0; r < runs.size(); ++r) {
    const DrawRun& run = runs[r];
    work[r] = run.count;
    if (run.kind == RunKind::kArcs) {
      work[r] = 0;
      for (std::uint32_t i = run.first; i < run.first + run.count; ++i) {
        const FrameArc& arc = drawing->arcs[i];
        const double radiusPx = std::max(std::abs(arc.rx), std::abs(arc.ry)) * pixelsPerUnit;
        const double turns =
            std::min(std::abs(arc.sweep), 2 * std::numbers::pi) / (2 * std::numbers::pi);
        work[r] += ArcPaintWorkInLines(radiusPx, turns);
      }
    }
    total += work[r];
  }
  std::size_t r = 0;
  double done = 0;
  for (; r < runs.size() && done + work[r] < total / 2; ++r)
    done += work[r];
  if (r == runs.size()) return std::nullopt;
  const DrawRun& run = runs[r];
  if (run.kind == RunKind::kLines && run.count > 1) {
    // A file of few pens has few runs, each of most of the drawing: the cut falls inside
    // the run, at the nearest place where one stroke ends and the next begins apart.
    const FrameLine* const lines = drawing->lines.data() + run.first;
    const auto apart = [&](std::uint32_t i) { return !lines[i].GoesOnFrom(lines[i - 1]); };
    const auto half = static_cast<std::uint32_t>(
        std::clamp(std::ceil(total / 2 - done), 1.0, static_cast<double>(run.count - 1)));
    for (std::uint32_t reach = 0; reach < std::min(run.count, kFarthestCutMove); ++reach) {
      if (half + reach < run.count && apart(half + reach)) return PicturePlace{r, half + reach};
      if (half > reach && apart(half - reach)) return PicturePlace{r, half - reach};
    }
  }
  // The fewest runs whose work reaches half of all.
  if (r + 1 == runs.size()) return std::nullopt;
  return PicturePlace{r + 1, 0};
}

void PaintOnTwoThreads(QImage& image, QImage& layer, const QRect& area,
                       const std::function<void(QImage& canvas, bool later)>& paint) {
  const QRect rows = area & image.rect() & layer.rect();
  const PixelRows below{image.bits(), image.bytesPerLine()};
  const PixelRows above{layer.bits(), layer.bytesPerLine()};
  const int middle = rows.top() + rows.height() / 2;
  RunBoth(
      true, [&] { paint(image, false); },
      [&] {
        Clear(above, rows);
        paint(layer, true);
      });
  RunBoth(
      true, [&] { LayOver(above, below, rows, rows.top(), middle); },
      [&] { LayOver(above, below, rows, middle, rows.bottom() + 1); });
}

void PaintView(QImage& image, QImage& layer, const MetafilePicture& picture, const QRectF& target,
               QPoint origin, const QRect& clip) {
  if (picture.IsNull() || image.isNull()) return;
  const auto paint = [&](QImage& canvas, const PaintOptions& part) {
    QPainter painter(&canvas);
    painter.translate(-origin);
    if (!clip.isNull()) painter.setClipRect(clip);
    picture.Paint(painter, target, part);
  };
  const QRect frame = picture.Frame();
  const qreal ratio = image.devicePixelRatio();
  const std::optional<PicturePlace> cut =
      TwoThreadCut(picture, std::max(target.width() * ratio / std::max(frame.width(), 1),
                                     target.height() * ratio / std::max(frame.height(), 1)));
  const bool twoThreads =
      cut && static_cast<double>(image.width()) * image.height() <= kLargestLayerPixels;
  if (twoThreads && (layer.size() != image.size() || layer.format() != QImage::Format_ARGB32))
    layer = QImage(image.size(), QImage::Format_ARGB32);
  if (!twoThreads || layer.isNull()) {
    paint(image, {});
    return;
  }
  layer.setDevicePixelRatio(ratio);
  // Every pixel the clip lets through, in the image's pixels.
  const QRect area =
      clip.isNull() ? image.rect()
                    : QRectF(QPointF(clip.topLeft() - origin) * ratio, QSizeF(clip.size()) * ratio)
                          .toAlignedRect();
  PaintOnTwoThreads(image, layer, area, [&](QImage& canvas, bool later) {
    PaintOptions part;
    (later ? part.from : part.to) = *cut;
    paint(canvas, part);
  });
}

}  // namespace korvid
