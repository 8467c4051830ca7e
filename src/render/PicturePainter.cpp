#include "render/PicturePainter.h"

#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "model/DrawingBudget.h"
#include "render/DevicePen.h"
#include "render/LineClip.h"

namespace korvid {

namespace {

// Lines reaching further than this beyond the visible rectangle are cut there: far enough
// that dash patterns keep their phase in all ordinary views, near enough that no device
// ever sees coordinates it cannot handle.
constexpr double kGuardMargin = 32768;
// Where a device has no size of its own (a recording), the visible area is this large.
constexpr double kUnbounded = 1e9;
// What filling takes beside the display list, a point of the fill: the path's elements and
// the scan converter's edges.
constexpr std::size_t kFillBytesPerPoint = 96;
// The reference screen: dash patterns and chord tolerances are set for it.
constexpr double kScreenDotsPerMm = 96 / 25.4;

class SavedPainterState {
 public:
  explicit SavedPainterState(QPainter& painter) : painter_(painter) { painter_.save(); }
  ~SavedPainterState() { painter_.restore(); }
  SavedPainterState(const SavedPainterState&) = delete;
  SavedPainterState& operator=(const SavedPainterState&) = delete;

 private:
  QPainter& painter_;
};

bool Finite(const QTransform& t) {
  return std::isfinite(t.m11()) && std::isfinite(t.m12()) && std::isfinite(t.m21()) &&
         std::isfinite(t.m22()) && std::isfinite(t.dx()) && std::isfinite(t.dy());
}

bool Inside(const QRectF& box, double x, double y) {
  return x >= box.left() && x <= box.right() && y >= box.top() && y <= box.bottom();
}

// The map from frame to device in locals, as the painting of lines uses it: fetched once,
// not again after every call into a sink.
struct FrameToDevice {
  double m11, m12, m21, m22, dx, dy;

  explicit FrameToDevice(const QTransform& t)
      : m11(t.m11()), m12(t.m12()), m21(t.m21()), m22(t.m22()), dx(t.dx()), dy(t.dy()) {}

  QPointF operator()(float x, float y) const {
    return {m11 * x + m21 * y + dx, m12 * x + m22 * y + dy};
  }

  // Whether every point of `box` maps into `area`. The corners decide: each mapped
  // coordinate, rounding included, rises or falls steadily with each frame coordinate, so
  // no point of the box maps beyond the extremes its corners reach.
  bool KeepsInside(const FrameBox& box, const QRectF& area) const {
    for (const float x : {box.left, box.right}) {
      for (const float y : {box.top, box.bottom}) {
        const QPointF corner = (*this)(x, y);
        if (!Inside(area, corner.x(), corner.y())) return false;
      }
    }
    return true;
  }
};

FrameBox ToFrameBox(const QRectF& rect) {
  return {static_cast<float>(rect.left()), static_cast<float>(rect.top()),
          static_cast<float>(rect.right()), static_cast<float>(rect.bottom())};
}

}  // namespace

PicturePainter::PicturePainter(const MetafilePicture::Drawing& drawing, QPainter& painter,
                               const PaintOptions& options)
    : drawing_(drawing), painter_(painter), options_(options), painterSink_(painter) {}

void PicturePainter::Paint(const QRectF& target) {
  if (!painter_.isActive() || target.width() == 0 || target.height() == 0) return;
  // On a scaled screen the painter's coordinates are logical pixels, and the device's
  // pixels are finer by its pixel ratio (1.25, 1.5, 2 ...): Qt applies that scale below
  // every transform, where resetTransform does not reach it.
  const QTransform toDevice = painter_.deviceTransform();
  SavedPainterState saved(painter_);
  // From here on, points go to the painter in the device's own pixels, mapped by us: arcs
  // are flattened, dashes measured and lines culled where the pixels are.
  painter_.resetTransform();
  const QTransform residual = painter_.deviceTransform();
  if (!residual.isIdentity()) {
    if (!residual.isInvertible()) return;
    painter_.setWorldTransform(residual.inverted());
  }
  painter_.setBrush(Qt::NoBrush);
  if (!PrepareView(target, toDevice)) return;
  const PicturePlace& from = options_.from;
  const PicturePlace& to = options_.to;
  for (std::size_t r = from.run; r < drawing_.runs.size() && r <= to.run; ++r) {
    // The run's bounds stay those of all of it: culling by a larger box skips less, and
    // never a line that would be seen.
    DrawRun run = drawing_.runs[r];
    const std::uint32_t end = r == to.run ? std::min(run.count, to.item) : run.count;
    const std::uint32_t begin = r == from.run ? std::min(from.item, end) : 0;
    if (begin == end || !run.bounds.Intersects(cull_)) continue;
    run.first += begin;
    run.count = end - begin;
    runPen_ = run.pen;
    if (run.kind == RunKind::kLines)
      PaintLines(run);
    else if (run.kind == RunKind::kArcs)
      PaintArcs(run);
    else
      PaintFills(run);
  }
  if (sink_ != nullptr) sink_->Flush();
}

bool PicturePainter::PrepareView(const QRectF& target, const QTransform& world) {
  const QRectF frame(drawing_.frame);
  const QTransform toTarget(target.width() / frame.width(), 0, 0, target.height() / frame.height(),
                            target.left() - frame.left() * target.width() / frame.width(),
                            target.top() - frame.top() * target.height() / frame.height());
  map_ = toTarget * world;
  if (map_.type() == QTransform::TxProject || !Finite(map_) || !map_.isInvertible()) return false;
  pixelsPerUnit_ = std::sqrt(std::abs(map_.m11() * map_.m22() - map_.m12() * map_.m21()));

  const QRectF visible = VisibleDeviceRect();
  if (visible.isEmpty()) return false;
  // A pen wider than this would cover the whole visible area from any line that crosses
  // it; drawn at that width it still does, and QPainter never meets strokes so wide that
  // it would cut them with its slow general path clipper.
  widestStroke_ = 2 * std::hypot(visible.width(), visible.height());
  const double pad = 2 + std::min<double>(drawing_.widestPen * pixelsPerUnit_, widestStroke_) / 2;
  const QRectF padded = visible.adjusted(-pad, -pad, pad, pad);
  cull_ = ToFrameBox(map_.inverted().mapRect(padded));
  guard_ = padded.adjusted(-kGuardMargin, -kGuardMargin, kGuardMargin, kGuardMargin);
  // On a printer the chords keep the screen's accuracy in millimetres: finer than that
  // no one sees, and a poster would hold millions of chords more.
  const double tolerance =
      ArcFlattener::kScreenTolerance * std::max(1.0, options_.deviceDotsPerMm / kScreenDotsPerMm);
  flattener_.emplace(map_, padded, tolerance);
  if (const std::optional<QRect> clip = ImageStrokeSink::UsableClip(painter_))
    imageSink_.emplace(*static_cast<QImage*>(painter_.device()), *clip);
  return true;
}

// The part of the device the painter can change, in the device's pixels: the device
// itself, the painter's clip and the system clip (a widget's update region, which counts
// the device's pixels already).
QRectF PicturePainter::VisibleDeviceRect() const {
  QRectF visible(-kUnbounded, -kUnbounded, 2 * kUnbounded, 2 * kUnbounded);
  const QPaintDevice* device = painter_.device();
  if (device != nullptr && device->devType() != QInternal::Picture && device->width() > 0 &&
      device->height() > 0) {
    // A widget tells its size in logical pixels; images, pixmaps and printers in their own.
    const double ratio = device->devType() == QInternal::Widget ? device->devicePixelRatio() : 1;
    visible = QRectF(0, 0, device->width() * ratio, device->height() * ratio);
  }
  if (painter_.hasClipping()) visible &= painter_.clipBoundingRect();
  if (const QPaintEngine* engine = painter_.paintEngine(); engine != nullptr) {
    const QRect system = engine->systemClip().boundingRect();
    if (!system.isEmpty()) visible &= QRectF(system);
  }
  return visible;
}

void PicturePainter::PaintLines(const DrawRun& run) {
  const bool allInside = cull_.Contains(run.bounds);
  const FrameToDevice map(map_);
  // Lines that might reach beyond the guard are cut to it; in a run whose box maps inside
  // it, none does.
  const bool mayCross = !map.KeepsInside(run.bounds, guard_);
  const FrameLine* line = drawing_.lines.data() + run.first;
  const FrameLine* const end = line + run.count;
  auto inSight = [this](const FrameLine& l) {
    return l.Bounds().Intersects(cull_) && l.Crosses(cull_);
  };
  bool lastInSight = false;
  for (; line != end; ++line) {
    DrawingBudget::CheckTime();
    const bool seen = allInside || inSight(*line);
    // A line out of sight that joins one in sight is drawn as well: whether the pen's
    // strokes meet in a join or end in caps, and how the device rasterises them, must not
    // depend on where the edge of the painted area falls, or a part painted on its own
    // would differ from the same part of a whole painting.
    const bool neighbour =
        !seen && ((lastInSight && line->GoesOnFrom(line[-1])) ||
                  (line + 1 != end && line[1].GoesOnFrom(*line) && inSight(line[1])));
    lastInSight = seen;
    if (!seen && !neighbour) continue;
    QPointF from = map(line->x1, line->y1);
    if (line->x1 == line->x2 && line->y1 == line->y2) {
      // The pen went down where it stood: on paper, a dot.
      if (Inside(guard_, from.x(), from.y())) Sink().Dot(from);
      continue;
    }
    QPointF to = map(line->x2, line->y2);
    if (mayCross && !(Inside(guard_, from.x(), from.y()) && Inside(guard_, to.x(), to.y())) &&
        !ClipLine(from, to, guard_))
      continue;
    Sink().Line(from, to);
  }
}

void PicturePainter::PaintArcs(const DrawRun& run) {
  const FrameArc* arc = drawing_.arcs.data() + run.first;
  const FrameArc* const end = arc + run.count;
  for (; arc != end; ++arc) {
    DrawingBudget::CheckTime();
    if (arc->Bounds().Intersects(cull_)) flattener_->Flatten(*arc, Sink());
  }
}

void PicturePainter::PaintFills(const DrawRun& run) {
  StrokeSink& sink = imageSink_ ? static_cast<StrokeSink&>(*imageSink_) : painterSink_;
  if (sink_ != nullptr && sink_ != &sink) sink_->Flush();
  const FrameFill* fill = drawing_.fills.data() + run.first;
  const FrameFill* const end = fill + run.count;
  for (; fill != end; ++fill) {
    if (!fill->bounds.Intersects(cull_)) continue;
    DrawingBudget::CheckTime();
    // The path and what the sink makes of it while it fills: about a hundred bytes a point.
    const DrawingBudget::Hold filling(fill->points.size() * kFillBytesPerPoint);
    devicePoints_.clear();
    for (const QPointF& point : fill->points)
      devicePoints_.push_back(map_.map(point));
    sink.Fill(devicePoints_.data(), fill->ringSizes.data(), fill->ringSizes.size(), fill->winding,
              fill->colour);
  }
}

// A screen's dash patterns are counted in its logical pixels: on a scaled screen they
// keep their length, measured at the scaled screen's resolution.
double PicturePainter::DashDotsPerMm() const {
  if (options_.deviceDotsPerMm > 0) return options_.deviceDotsPerMm;
  const QPaintDevice* device = painter_.device();
  const double ratio = device != nullptr ? device->devicePixelRatio() : 1;
  return ratio == 1 ? 0 : ratio * kScreenDotsPerMm;
}

void PicturePainter::UsePen(std::uint32_t pen) {
  if (pen == pen_) return;
  pen_ = pen;
  CachedPen& cached = penCache_[pen % penCache_.size()];
  if (cached.pen != pen) {
    cached = {pen, DevicePen::From(drawing_.pens[pen], pixelsPerUnit_, DashDotsPerMm())};
    cached.device.width = std::min(cached.device.width, widestStroke_);
  }
  const DevicePen& device = cached.device;
  StrokeSink* next = imageSink_ ? static_cast<StrokeSink*>(&*imageSink_) : &painterSink_;
  if (sink_ != nullptr && sink_ != next) sink_->Flush();
  sink_ = next;
  sink_->SetPen(device);
}

}  // namespace korvid
