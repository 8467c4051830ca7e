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

// Pixels of a stroke, counted from its first.
struct PixelRange {
  std::int64_t first, last;  // none when first > last
};

// The pixels of a stroke whose minor coordinate, from `minor` by `slope` a pixel, lies
// from `low` up to but not including `high`.
PixelRange PixelsInside(std::int64_t minor, std::int64_t slope, std::int64_t count,
                        std::int64_t low, std::int64_t high) {
  constexpr PixelRange kNone{0, -1};
  std::int64_t first = 0;
  std::int64_t last = count - 1;
  if (slope == 0) {
    if (minor < low || minor >= high) return kNone;
  } else if (slope > 0) {
    first = CeilDiv(low - minor, slope);
    if (minor >= high) return kNone;
    last = std::min(last, (high - 1 - minor) / slope);
  } else {
    const std::int64_t fall = -slope;
    first = CeilDiv(minor - (high - 1), fall);
    if (minor < low) return kNone;
    last = std::min(last, (minor - low) / fall);
  }
  return {first, last};
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

ImageStrokeSink::Axis ImageStrokeSink::AxisOf(int first, int last) {
  return {first, last, std::int64_t{first} << kFraction,
          static_cast<std::uint64_t>(std::int64_t{last} - first + 1) << kFraction};
}

ImageStrokeSink::ImageStrokeSink(QImage& image, const QRect& clip)
    : bits_(image.bits()),
      stride_(image.bytesPerLine()),
      x_(AxisOf(clip.left(), clip.right())),
      y_(AxisOf(clip.top(), clip.bottom())),
      area_(bits_, stride_, clip) {}

void ImageStrokeSink::SetPen(const DevicePen& pen) {
  wide_.Finish();
  widePen_ = !pen.Hairline();
  penColour_ = pen.colour;
  if (widePen_) {
    area_.SetColour(pen.colour);
    wide_.SetPen(pen);
    return;
  }
  colour_ = 0xff000000 | pen.colour;
  pattern_.clear();
  for (std::size_t i = 0; i < pen.dashCount; ++i) {
    const auto length = static_cast<std::size_t>(std::lround(pen.dashes[i]));
    pattern_.insert(pattern_.end(), length, i % 2 == 0 ? 1 : 0);
  }
}

void ImageStrokeSink::Line(QPointF from, QPointF to) {
  if (widePen_) return wide_.Line(from, to);
  phase_ = 0;
  Stroke(from, to);
}

void ImageStrokeSink::Polyline(const QPointF* points, std::size_t count) {
  if (widePen_) {
    for (std::size_t i = 1; i < count; ++i)
      wide_.Line(points[i - 1], points[i]);
    return;
  }
  phase_ = 0;
  for (std::size_t i = 1; i < count; ++i)
    Stroke(points[i - 1], points[i]);
}

void ImageStrokeSink::Fill(const QPointF* points, const std::uint32_t* ringSizes, std::size_t rings,
                           bool winding, QRgb colour) {
  wide_.Finish();
  area_.SetColour(colour);
  area_.Rings(points, ringSizes, rings, winding);
  area_.SetColour(penColour_);
}

void ImageStrokeSink::Dot(QPointF at) {
  if (widePen_) return wide_.Dot(at);
  const long x = FloorToLong(at.x());
  const long y = FloorToLong(at.y());
  if (x < x_.first || x > x_.last || y < y_.first || y > y_.last) return;
  reinterpret_cast<std::uint32_t*>(bits_ + y * stride_)[x] = colour_;
}

inline void ImageStrokeSink::Stroke(QPointF from, QPointF to) {
  const double dx = to.x() - from.x();
  const double dy = to.y() - from.y();
  if (std::abs(dx) >= std::abs(dy)) {
    if (to.x() >= from.x())
      StrokeAlong<true, true>(from.x(), to.x(), from.y(), dy);
    else
      StrokeAlong<true, false>(from.x(), to.x(), from.y(), dy);
  } else {
    if (to.y() >= from.y())
      StrokeAlong<false, true>(from.y(), to.y(), from.x(), dx);
    else
      StrokeAlong<false, false>(from.y(), to.y(), from.x(), dx);
  }
}

// Most strokes lie inside across their whole length: two comparisons then, and no
// division. (Inline, as every hot function here: in position-independent code, the
// compiler inlines no other function, since it might be replaced at run time.)
inline bool ImageStrokeSink::ClipAcross(Span& span, const Axis& across) const {
  const std::int64_t lastMinor = span.minor + (span.count - 1) * span.slope;
  if (across.Holds(span.minor) && across.Holds(lastMinor)) return true;
  const PixelRange inside = PixelsInside(span.minor, span.slope, span.count, across.fixedBegin,
                                         across.fixedBegin + across.fixedSize);
  if (inside.first > inside.last) return false;
  span.major += static_cast<long>(inside.first) * span.step;
  span.minor += inside.first * span.slope;
  span.count = static_cast<long>(inside.last - inside.first + 1);
  if (!pattern_.empty())
    span.phase = InPattern(span.phase + static_cast<std::size_t>(inside.first));
  return true;
}

// The major coordinate runs from m0 to m1, the minor one from n0 by dn. Always inlined
// into the loops over lines and chords: a call's saving and restoring of registers costs
// as much as a short stroke's pixels.
template <bool kXMajor, bool kForward>
[[gnu::always_inline]] inline void ImageStrokeSink::StrokeAlong(double m0, double m1, double n0,
                                                                double dn) {
  constexpr int kStep = kForward ? 1 : -1;
  const Axis& along = kXMajor ? x_ : y_;
  const long first = kForward ? CeilToLong(m0 - 0.5) : FloorToLong(m0 - 0.5);
  const long last = kForward ? CeilToLong(m1 - 0.5) - 1 : FloorToLong(m1 - 0.5) + 1;
  const long count = (last - first) * kStep + 1;
  if (count <= 0) return;
  const std::size_t phase = phase_;
  if (!pattern_.empty()) phase_ = InPattern(phase_ + static_cast<std::size_t>(count));

  Span span{};
  span.step = kStep;
  span.major = kForward ? std::max(first, along.first) : std::min(first, along.last);
  const long end = kForward ? std::min(last, along.last) : std::max(last, along.first);
  span.count = (end - span.major) * kStep + 1;
  if (span.count <= 0) return;
  const long skipped = (span.major - first) * kStep;
  span.phase = pattern_.empty() ? 0 : InPattern(phase + static_cast<std::size_t>(skipped));
  const double slope = dn / (m1 - m0);
  span.minor = ToFixed(n0 + (span.major + 0.5 - m0) * slope);
  span.slope = ToFixed(kForward ? slope : -slope);
  if (!ClipAcross(span, kXMajor ? y_ : x_)) return;
  if (pattern_.empty())
    Plot<true, kXMajor>(span);
  else
    Plot<false, kXMajor>(span);
}

template <bool kSolid, bool kXMajor>
void ImageStrokeSink::Plot(const Span& span) {
  // Locals, not members: a store through the pixel pointer could alias any member, and
  // the compiler would load them again for every pixel.
  const qsizetype stride = stride_;
  const std::uint32_t colour = colour_;
  const std::uint8_t* const pattern = pattern_.data();
  const std::size_t period = pattern_.size();
  // A step along the major axis moves the address by a fixed amount; the minor
  // coordinate adds its row (or column). An address, not a pointer: one step before
  // the first column or row is no pointer C++ allows, but the loop may reach it.
  constexpr qsizetype kPixel = sizeof(std::uint32_t);
  const qsizetype majorBytes = kXMajor ? kPixel : stride;
  const qsizetype minorBytes = kXMajor ? stride : kPixel;
  const qsizetype advance = span.step * majorBytes;
  const std::int64_t slope = span.slope;
  std::size_t phase = span.phase;
  std::uintptr_t at = reinterpret_cast<std::uintptr_t>(bits_) + span.major * majorBytes;
  std::int64_t minor = span.minor;
  for (long left = span.count; left > 0; --left) {
    if (kSolid || pattern[phase]) {
      const qsizetype across = static_cast<qsizetype>(minor >> kFraction) * minorBytes;
      *reinterpret_cast<std::uint32_t*>(at + across) = colour;
    }
    at += advance;
    minor += slope;
    if (!kSolid && ++phase == period) phase = 0;
  }
}

}  // namespace korvid
