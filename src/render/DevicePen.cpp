#include "render/DevicePen.h"

#include <algorithm>
#include <span>

namespace korvid {

namespace {

// GDI's cosmetic dash patterns on a 96 dpi screen, in pixels.
constexpr double kDash[] = {18, 6};
constexpr double kDot[] = {3, 3};
constexpr double kDashDot[] = {9, 6, 3, 6};
constexpr double kDashDotDot[] = {9, 3, 3, 3, 3, 3};
constexpr double kMillimetresPerScreenPixel = 25.4 / 96;
// Beyond this a dash outruns any page; the bound keeps absurd resolutions harmless.
constexpr double kLongestDash = 10000;

std::span<const double> ScreenPattern(PenStyle style) {
  switch (style) {
    case PenStyle::kDash:
      return kDash;
    case PenStyle::kDot:
      return kDot;
    case PenStyle::kDashDot:
      return kDashDot;
    case PenStyle::kDashDotDot:
      return kDashDotDot;
    case PenStyle::kSolid:
      break;
  }
  return {};
}

}  // namespace

DevicePen DevicePen::From(const PicturePen& pen, double pixelsPerUnit, double deviceDotsPerMm) {
  DevicePen result;
  result.colour = pen.colour;
  const double width = pen.width * pixelsPerUnit;
  // Like GDI, a pen never gets thinner than one pixel.
  if (width > 1) {
    result.width = width;
    result.ends = pen.ends;
    result.joins = pen.joins;
    result.miterLimit = pen.miterLimit;
  }
  const std::span<const double> pattern = ScreenPattern(pen.style);
  const double scale = deviceDotsPerMm > 0 ? kMillimetresPerScreenPixel * deviceDotsPerMm : 1;
  result.dashCount = pattern.size();
  for (std::size_t i = 0; i < pattern.size(); ++i)
    result.dashes[i] = std::clamp(pattern[i] * scale, 1.0, kLongestDash);
  return result;
}

}  // namespace korvid
