#pragma once

#include <string>

#include "render/MetafilePicture.h"

namespace korvid {

// The picture as an SVG document, one user unit per 0.1 mm: a path per run of one pen,
// hairlines one screen pixel wide whatever the zoom (as the window draws them), dash
// patterns of the same length in millimetres as on paper.
std::string SvgOfPicture(const MetafilePicture& picture);

}  // namespace korvid
