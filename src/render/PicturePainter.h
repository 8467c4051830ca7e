#pragma once

#include <QRectF>
#include <QTransform>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "render/ArcFlattener.h"
#include "render/DevicePen.h"
#include "render/ImageStrokeSink.h"
#include "render/MetafileDrawing.h"
#include "render/QPainterStrokeSink.h"

class QPainter;

namespace korvid {

// Paints a decoded picture scaled into a target rectangle: maps the frame onto the target,
// skips every run and primitive that cannot touch the visible part of the device, and
// hands the rest, in the device's own pixels (finer than the painter's on a scaled
// screen), to the image sink when the painter draws on a plain 32-bit image and to
// QPainter otherwise: strokes of every pen, dots and fills. A line of no length (the pen put down
// where it stood) is a dot.
class PicturePainter {
 public:
  PicturePainter(const MetafilePicture::Drawing& drawing, QPainter& painter,
                 const PaintOptions& options);

  void Paint(const QRectF& target);

 private:
  bool PrepareView(const QRectF& target, const QTransform& world);
  QRectF VisibleDeviceRect() const;
  void PaintLines(const DrawRun& run);
  void PaintArcs(const DrawRun& run);
  void PaintFills(const DrawRun& run);
  void UsePen(std::uint32_t pen);
  double DashDotsPerMm() const;
  StrokeSink& Sink() {
    if (pen_ != runPen_) UsePen(runPen_);
    return *sink_;
  }

  const MetafilePicture::Drawing& drawing_;
  QPainter& painter_;
  PaintOptions options_;
  QTransform map_;  // frame to device pixels
  double pixelsPerUnit_ = 0;
  double widestStroke_ = 0;  // device pixels
  FrameBox cull_{};          // in frame units: what may touch the visible rectangle
  QRectF guard_;             // device area that lines are cut to, to keep coordinates sane
  std::optional<ArcFlattener> flattener_;
  QPainterStrokeSink painterSink_;
  std::optional<ImageStrokeSink> imageSink_;
  StrokeSink* sink_ = nullptr;
  std::uint32_t pen_ = UINT32_MAX;     // the pen the sink has
  std::uint32_t runPen_ = UINT32_MAX;  // the pen of the run being painted: taken up only
                                       // once something of the run is visible
  struct CachedPen {
    std::uint32_t pen = UINT32_MAX;
    DevicePen device;
  };
  std::array<CachedPen, 64> penCache_;
  std::vector<QPointF>
      devicePoints_;  // of a fill  // colour files switch among a few pens all the time
};

}  // namespace korvid
