#pragma once

#include <cstdint>

namespace korvid {

// A turn of the drawing as the rotation commands pass it to the drawing routine: the
// angle in degrees and the cosine and sine of the radians the commands use (1.5708,
// 3.1417, 4.7125 — close to, not exactly, the quarter turns).
struct Rotation {
  std::int16_t angle = 0;
  double cosA = 1;
  double sinA = 0;
};

// The rotation for 0, 90 (right), 180 or 270 (left) degrees; any other angle is none.
Rotation RotationForAngle(std::int16_t degrees);

}  // namespace korvid
