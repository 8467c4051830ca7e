#pragma once

#include <QImage>
#include <string>

namespace korvid {

// The image as a PNG file, written for speed: a drawing of a few pen colours becomes an
// indexed image of as few bits a pixel as its colours need, packed at zlib's fastest
// level with run-length matching, which suits rows of white with thin lines across.
// Images of more than 256 colours are written as 8-bit RGB. A resolution (above 0) is
// written into the file (pHYs), so that the image prints at its size.
std::string PngOfImage(const QImage& image, int pixelsPerMetre = 0);

}  // namespace korvid
