#include "render/ImageStrokeSink.h"

#include <QPaintEngine>
#include <QPainter>
#include <QRegion>
#include <cmath>

namespace korvid {

namespace {

// Minor coordinates run in 32.32 fixed point: exact steps, and the pixel is a shift away.
constexpr int kFraction = 32;
constexpr double kFixedOne = 4294967296.0;

// floor and ceil of values well inside the range of long, without a library call.
long FloorToLong(double value) {
  const long truncated = static_cast<long>(value);
  return truncated > value ? truncated - 1 : truncated;
}

long CeilToLong(double value) {
  const long truncated = static_cast<long>(value);
  return truncated < value ? truncated + 1 : truncated;
}

std::int64_t ToFixed(double value) {
  return static_cast<std::int64_t>(FloorToLong(value * kFixedOne + 0.5));
}

std::int64_t CeilDiv(std::int64_t a, std::int64_t b) {
  return a <= 0 ? 0 : (a + b - 1) / b;
}

bool DrawableFormat(QImage::Format format) {
  return format == QImage::Format_RGB32 || format == QImage::Format_ARGB32 ||
         format == QImage::Format_ARGB32_Premultiplied;
}

bool PlainPainting(const QPainter& painter) {
  const QPainter::CompositionMode mode = painter.compositionMode();
  return !painter.testRenderHint(QPainter::Antialiasing) && painter.opacity() == 1.0 &&
         (mode == QPainter::CompositionMode_SourceOver || mode == QPainter::CompositionMode_Source);
}

}  // namespace

// The pixels of one stroke: along its longer ("major") axis `count` pixels from `major`
// in steps of `step`; across it the minor coordinate, which moves by `slope` a pixel.
struct ImageStrokeSink::Span {
  bool xMajor;
  int step;
  long major;
  long count;
  std::int64_t minor;
  std::int64_t slope;
  std::size_t phase;
};

std::optional<QRect> ImageStrokeSink::UsableClip(QPainter& painter) {
  QPaintDevice* device = painter.device();
  if (device == nullptr || device->devType() != QInternal::Image) return std::nullopt;
  auto* image = static_cast<QImage*>(device);
  if (!DrawableFormat(image->format()) || !image->isDetached() || !PlainPainting(painter))
    return std::nullopt;
  QRegion allowed(image->rect());
  if (painter.hasClipping()) {
    const QRegion clip = painter.clipRegion();
    if (clip.rectCount() > 1) return std::nullopt;
    allowed &= clip;
  }
  if (const QPaintEngine* engine = painter.paintEngine();
      engine != nullptr && !engine->systemClip().isEmpty()) {
    if (engine->systemClip().rectCount() > 1) return std::nullopt;
    allowed &= engine->systemClip();
  }
  return allowed.boundingRect();
}

ImageStrokeSink::ImageStrokeSink(QImage& image, const QRect& clip)
    : bits_(image.bits()), stride_(image.bytesPerLine()), clip_(clip) {}

void ImageStrokeSink::SetPen(const DevicePen& pen) {
  colour_ = 0xff000000 | pen.colour;
  pattern_.clear();
  for (std::size_t i = 0; i < pen.dashCount; ++i) {
    const auto length = static_cast<std::size_t>(std::lround(pen.dashes[i]));
    pattern_.insert(pattern_.end(), length, i % 2 == 0 ? 1 : 0);
  }
}

void ImageStrokeSink::Line(QPointF from, QPointF to) {
  phase_ = 0;
  Stroke(from, to);
}

void ImageStrokeSink::Polyline(const QPointF* points, std::size_t count) {
  phase_ = 0;
  for (std::size_t i = 1; i < count; ++i)
    Stroke(points[i - 1], points[i]);
}

void ImageStrokeSink::Dot(QPointF at) {
  const long x = FloorToLong(at.x());
  const long y = FloorToLong(at.y());
  if (x < clip_.left() || x > clip_.right() || y < clip_.top() || y > clip_.bottom()) return;
  reinterpret_cast<std::uint32_t*>(bits_ + y * stride_)[x] = colour_;
}

void ImageStrokeSink::Stroke(QPointF from, QPointF to) {
  const double dx = to.x() - from.x();
  const double dy = to.y() - from.y();
  Span span{};
  span.xMajor = std::abs(dx) >= std::abs(dy);
  const double m0 = span.xMajor ? from.x() : from.y();
  const double m1 = span.xMajor ? to.x() : to.y();
  const double n0 = span.xMajor ? from.y() : from.x();
  span.step = m1 >= m0 ? 1 : -1;
  long first, last;
  if (span.step > 0) {
    first = CeilToLong(m0 - 0.5);
    last = CeilToLong(m1 - 0.5) - 1;
  } else {
    first = FloorToLong(m0 - 0.5);
    last = FloorToLong(m1 - 0.5) + 1;
  }
  const long count = (last - first) * span.step + 1;
  if (count <= 0) return;
  const std::size_t phase = phase_;
  if (!pattern_.empty()) phase_ = InPattern(phase_ + static_cast<std::size_t>(count));

  const long low = span.xMajor ? clip_.left() : clip_.top();
  const long high = span.xMajor ? clip_.right() : clip_.bottom();
  span.major = span.step > 0 ? std::max(first, low) : std::min(first, high);
  const long end = span.step > 0 ? std::min(last, high) : std::max(last, low);
  span.count = (end - span.major) * span.step + 1;
  if (span.count <= 0) return;
  const long skipped = (span.major - first) * span.step;
  span.phase = pattern_.empty() ? 0 : InPattern(phase + static_cast<std::size_t>(skipped));
  const double slope = (span.xMajor ? dy : dx) / (m1 - m0);
  span.minor = ToFixed(n0 + (span.major + 0.5 - m0) * slope);
  span.slope = ToFixed(slope * span.step);
  if (!ClipAcross(span)) return;
  if (pattern_.empty())
    span.xMajor ? Plot<true, true>(span) : Plot<true, false>(span);
  else
    span.xMajor ? Plot<false, true>(span) : Plot<false, false>(span);
}

// Narrows the span to the pixels whose minor coordinate falls inside the clip, so that
// the plotting loop needs no test of its own.
bool ImageStrokeSink::ClipAcross(Span& span) const {
  const std::int64_t low = std::int64_t{span.xMajor ? clip_.top() : clip_.left()} << kFraction;
  const std::int64_t high = (std::int64_t{span.xMajor ? clip_.bottom() : clip_.right()} + 1)
                            << kFraction;
  std::int64_t firstInside = 0;
  std::int64_t lastInside = span.count - 1;
  // Most strokes lie inside across their whole length: no division needed then.
  const std::int64_t lastMinor = span.minor + lastInside * span.slope;
  if (span.minor >= low && span.minor < high && lastMinor >= low && lastMinor < high) return true;
  if (span.slope == 0) {
    if (span.minor < low || span.minor >= high) return false;
  } else if (span.slope > 0) {
    firstInside = CeilDiv(low - span.minor, span.slope);
    if (span.minor >= high) return false;
    lastInside = std::min(lastInside, (high - 1 - span.minor) / span.slope);
  } else {
    const std::int64_t fall = -span.slope;
    firstInside = CeilDiv(span.minor - (high - 1), fall);
    if (span.minor < low) return false;
    lastInside = std::min(lastInside, (span.minor - low) / fall);
  }
  if (firstInside > lastInside) return false;
  span.major += static_cast<long>(firstInside) * span.step;
  span.minor += firstInside * span.slope;
  span.count = static_cast<long>(lastInside - firstInside + 1);
  if (!pattern_.empty()) span.phase = InPattern(span.phase + static_cast<std::size_t>(firstInside));
  return true;
}

template <bool kSolid, bool kXMajor>
void ImageStrokeSink::Plot(const Span& span) {
  // Locals, not members: a store through the pixel pointer could alias any member, and
  // the compiler would load them again for every pixel.
  uchar* const bits = bits_;
  const qsizetype stride = stride_;
  const std::uint32_t colour = colour_;
  const std::uint8_t* const pattern = pattern_.data();
  const std::size_t period = pattern_.size();
  const long step = span.step;
  const std::int64_t slope = span.slope;
  std::size_t phase = span.phase;
  long major = span.major;
  std::int64_t minor = span.minor;
  for (long i = 0; i < span.count; ++i) {
    if (kSolid || pattern[phase]) {
      const long across = static_cast<long>(minor >> kFraction);
      const long x = kXMajor ? major : across;
      const long y = kXMajor ? across : major;
      reinterpret_cast<std::uint32_t*>(bits + y * stride)[x] = colour;
    }
    major += step;
    minor += slope;
    if (!kSolid && ++phase == period) phase = 0;
  }
}

}  // namespace korvid
