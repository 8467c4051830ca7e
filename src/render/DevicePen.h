#pragma once

#include <QRgb>
#include <array>
#include <cstddef>

#include "render/MetafileDrawing.h"

namespace korvid {

// A pen as it reaches the device: its width and dash pattern in device pixels.
struct DevicePen {
  QRgb colour = 0xff000000;
  double width = 0;                // 0: a one-pixel hairline
  std::array<double, 6> dashes{};  // on, off, on, off, ... lengths
  std::size_t dashCount = 0;       // 0: solid
  PenEnds ends = PenEnds::kRound;  // of a wide pen; a hairline has none
  PenJoins joins = PenJoins::kRound;
  double miterLimit = 5;  // of a mitered wide pen, in pen widths

  bool Hairline() const { return width == 0; }
  bool Solid() const { return dashCount == 0; }

  // `pixelsPerUnit`: device pixels per frame unit. `deviceDotsPerMm`: 0 on a screen, where
  // dash patterns are fixed in pixels as GDI draws them; otherwise they keep GDI's screen
  // lengths in millimetres, so that a printer's fine dots do not shrink them to nothing.
  static DevicePen From(const PicturePen& pen, double pixelsPerUnit, double deviceDotsPerMm);
};

}  // namespace korvid
