#pragma once

#include <QPointF>
#include <QRgb>
#include <cstddef>
#include <cstdint>

#include "render/DevicePen.h"

namespace korvid {

// Where the strokes of a picture go once they are in device coordinates. The painter of
// the picture culls and maps; a sink only draws, in the order it is called.
class StrokeSink {
 public:
  virtual ~StrokeSink() = default;

  virtual void SetPen(const DevicePen& pen) = 0;
  // One line; its dash pattern starts afresh.
  virtual void Line(QPointF from, QPointF to) = 0;
  // Connected lines (a flattened arc); the dash pattern runs on from one to the next.
  virtual void Polyline(const QPointF* points, std::size_t count) = 0;
  // A dot where the pen touched down without moving: round and as wide as the pen, and
  // never smaller than one device pixel.
  virtual void Dot(QPointF at) = 0;
  // An area of closed rings (each its corners, `ringSizes` of them in turn) filled
  // together in `colour` by the non-zero winding rule or else the even-odd rule, over
  // everything drawn before it. The pen stays as it was.
  virtual void Fill(const QPointF* points, const std::uint32_t* ringSizes, std::size_t rings,
                    bool winding, QRgb colour) = 0;
  // Draws whatever is still held back, before someone else draws on the same device.
  virtual void Flush() = 0;
};

}  // namespace korvid
