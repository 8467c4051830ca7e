#pragma once

#include <QImage>
#include <string>

namespace korvid {

// The image as a Windows bitmap: 24 bits a pixel, rows bottom up, no compression, the
// form every program that reads BMP files understands.
std::string BmpOfImage(const QImage& image);

}  // namespace korvid
