#pragma once

#include <QImage>
#include <string>

namespace korvid {

// The image as a Windows bitmap: 24 bits a pixel, rows bottom up, no compression, the
// form every program that reads BMP files understands. Its resolution is the one given,
// or the screen's 96 dpi when 0.
std::string BmpOfImage(const QImage& image, int pixelsPerMetre = 0);

}  // namespace korvid
