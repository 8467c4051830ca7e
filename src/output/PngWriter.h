#pragma once

#include <QImage>
#include <string>

namespace korvid {

// The image as a PNG file, written for speed: a drawing of a few pen colours becomes an
// indexed image of as few bits a pixel as its colours need, packed at zlib's fastest
// level with run-length matching, which suits rows of white with thin lines across.
// Images of more than 256 colours are written as 8-bit RGB.
std::string PngOfImage(const QImage& image);

}  // namespace korvid
