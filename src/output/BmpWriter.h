#pragma once

#include <QImage>
#include <string>

namespace korvid {

// The image as a Windows bitmap: 24 bits a pixel, rows bottom up, no compression, the
// form every program that reads BMP files understands. Its resolution is `dpi`, or the
// screen's 96 dpi when 0.
std::string BmpOfImage(const QImage& image, int dpi = 0);

}  // namespace korvid
