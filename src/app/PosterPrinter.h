#pragma once

#include <cstdint>

#include "output/PosterLayout.h"
#include "render/MetafilePicture.h"

class QPrinter;

namespace korvid {

// Prints the picture (whose size is given in millimetres) on `printer` as the layout cuts
// it, one share per sheet, column by column. Returns the number of sheets; error 482 when
// the printer refuses.
std::int64_t PrintPoster(QPrinter& printer, const MetafilePicture& picture, double pictureWidthMm,
                         double pictureHeightMm, const PosterLayout& layout);

}  // namespace korvid
