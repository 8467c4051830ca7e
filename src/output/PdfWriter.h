#pragma once

#include <string>

#include "render/MetafilePicture.h"

namespace korvid {

// The picture as a one-page PDF of the frame's size: the drawing as compressed content
// streams of paths, hairlines as the thinnest line the device shows, arcs as Bézier curves,
// dash patterns of the same length in millimetres as on the screen at 96 dpi.
std::string PdfOfPicture(const MetafilePicture& picture);

}  // namespace korvid
