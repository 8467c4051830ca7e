#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "output/PaperLayout.h"
#include "render/MetafilePicture.h"

namespace korvid {

// The picture as an SVG document of the page's size, the frame placed on it as the page
// says, one user unit per 0.1 mm of the page: a path per run of one pen, hairlines one
// screen pixel wide whatever the zoom (as the window draws them), dash patterns of the
// same length in millimetres as on paper. Only what reaches onto the page is written.
std::string SvgOfPicture(const MetafilePicture& picture, const FrameOnPage& page);

// Takes a writer's text part by part, in order.
using TextSink = std::function<void(std::string_view)>;

// The same document handed to `sink` in parts of a few hundred kilobytes, for a large
// drawing, whose SVG would otherwise be held whole before it is written.
void WriteSvgOfPicture(const MetafilePicture& picture, const FrameOnPage& page,
                       const TextSink& sink);

}  // namespace korvid
