#include "render/Rotation.h"

#include <cmath>

namespace korvid {

Rotation RotationForAngle(std::int16_t degrees) {
  double radians = 0;
  switch (degrees) {
    case 90:
      radians = 1.5708;
      break;
    case 180:
      radians = 3.1417;
      break;
    case 270:
      radians = 4.7125;
      break;
    default:
      return Rotation{};
  }
  return Rotation{degrees, std::cos(radians), std::sin(radians)};
}

}  // namespace korvid
