#pragma once

#include <QImage>
#include <QRgb>
#include <algorithm>

namespace korvid {

// Sets every pixel of a 32-bit image to `colour`, in place of QImage::fill before painting:
// on some processors Qt's vector fill leaves the upper halves of the AVX registers in use,
// and every sine, cosine and arc tangent of the painting after it then pays a transition
// penalty several times its own cost.
inline void FillImage(QImage& image, QRgb colour) {
  const int width = image.width();
  const int height = image.height();
  for (int y = 0; y < height; ++y)
    std::fill_n(reinterpret_cast<QRgb*>(image.scanLine(y)), width, colour);
}

}  // namespace korvid
