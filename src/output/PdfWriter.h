#pragma once

#include <string>

#include "output/PaperLayout.h"
#include "render/MetafilePicture.h"

namespace korvid {

// The picture as a one-page PDF of the page's size, the frame placed on it as the page
// says: the drawing as compressed content streams of paths, hairlines as the thinnest line
// the device shows, arcs as Bézier curves, dash patterns of the same length in millimetres
// as on the screen at 96 dpi. Only what reaches onto the page is written.
std::string PdfOfPicture(const MetafilePicture& picture, const FrameOnPage& page);

}  // namespace korvid
