#pragma once

#include <QImage>
#include <QRect>
#include <cstdint>
#include <optional>
#include <vector>

#include "render/ScanFill.h"
#include "render/StrokeSink.h"
#include "render/WideStroker.h"

class QPainter;

namespace korvid {

// Draws straight into a 32-bit image, clipped to a rectangle: the viewer's and the exports'
// common case, where QPainter's cost per line (and, in colour files, per pen change) is
// several times that of the pixels themselves.
// Hairlines: a line lights, along its longer axis, every pixel whose centre lies from its
// start up to but not including its end (the end is left out, as with GDI's LineTo), and
// across it the pixel the line passes through at that centre.
// Wider pens and fills: the pixels whose centres lie inside the outline QPainter would fill
// (WideStroker, ScanFill).
class ImageStrokeSink : public StrokeSink {
 public:
  // The pixels `painter` lets us draw on, in the image's pixels, when it paints on an image
  // this sink can serve: 32-bit, no antialiasing, full opacity, source-over, and a clip
  // that is a single rectangle. Nothing otherwise. The painter's coordinates must already
  // be the image's pixels (on an image with a pixel ratio, a transform undoing it).
  static std::optional<QRect> UsableClip(QPainter& painter);

  ImageStrokeSink(QImage& image, const QRect& clip);

  void SetPen(const DevicePen& pen) override;
  void Line(QPointF from, QPointF to) override;
  void Polyline(const QPointF* points, std::size_t count) override;
  void Dot(QPointF at) override;  // of a hairline: the pixel the point lies in
  void Fill(const QPointF* points, const std::uint32_t* ringSizes, std::size_t rings, bool winding,
            QRgb colour) override;
  void Flush() override { wide_.Finish(); }

 private:
  struct Span;
  // The clip along one axis: its first and last pixel, and where it begins and how far it
  // reaches in the fixed point of minor coordinates.
  struct Axis {
    long first, last;
    std::int64_t fixedBegin;
    std::uint64_t fixedSize;
    // One comparison: unsigned, a coordinate below the beginning wraps round to a huge
    // distance from it.
    bool Holds(std::int64_t fixed) const {
      return static_cast<std::uint64_t>(fixed) - static_cast<std::uint64_t>(fixedBegin) < fixedSize;
    }
  };
  static Axis AxisOf(int first, int last);

  void Stroke(QPointF from, QPointF to);
  // One stroke along its longer axis, in that axis's direction (`kForward`: increasing):
  // every choice of axis and direction settled at compile time, since most strokes are a
  // few pixels long and their setup costs more than their pixels.
  template <bool kXMajor, bool kForward>
  void StrokeAlong(double m0, double m1, double n0, double dn);
  // Narrows the span to the pixels whose minor coordinate falls inside the clip, so that
  // the plotting loop needs no test of its own. False when none does.
  bool ClipAcross(Span& span, const Axis& across) const;
  // A position along the lines as a position in the pattern. Short lines mostly stay
  // within one period: no division then.
  std::size_t InPattern(std::size_t position) const {
    return position < pattern_.size() ? position : position % pattern_.size();
  }
  template <bool kSolid, bool kXMajor>
  void Plot(const Span& span);

  uchar* bits_;
  qsizetype stride_;
  Axis x_, y_;
  std::uint32_t colour_ = 0xff000000;
  std::vector<std::uint8_t> pattern_;  // per pixel of one period: lit or not; empty: solid
  std::size_t phase_ = 0;              // position in the pattern
  bool widePen_ = false;
  ScanFill area_;
  WideStroker wide_{area_};
  QRgb penColour_ = 0;
};

}  // namespace korvid
