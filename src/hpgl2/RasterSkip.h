#pragma once

#include <cstdint>

namespace korvid {

// Why a raster image was not drawn.
enum class RasterSkip : std::uint8_t {
  None,
  Colour,       // colour or several planes (ESC * v W, ESC * r U, ESC * b V)
  Compression,  // a compression method other than 0..3
  TooDetailed,  // more rectangles than a drawing of lines should hold
};

}  // namespace korvid
