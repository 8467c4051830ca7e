#include "output/PaperLayout.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace korvid {

namespace {

struct NamedPaper {
  const char* name;
  SizeMm upright;
};

constexpr std::array<NamedPaper, 7> kPapers{{
    {"A0", {841, 1189}},
    {"A1", {594, 841}},
    {"A2", {420, 594}},
    {"A3", {297, 420}},
    {"A4", {210, 297}},
    {"letter", {215.9, 279.4}},
    {"legal", {215.9, 355.6}},
}};

constexpr double kSmallestSideMm = 1;
constexpr double kLargestSideMm = 100000;
constexpr double kSmallestScale = 1e-5;  // 1:100000
constexpr double kLargestScale = 1000;   // 1000:1
// A drawing of no width or height is still placed as a sliver.
constexpr double kThinnestDrawingMm = 1e-6;
constexpr double kMmPerInch = 25.4;

bool SameLetters(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

// A positive finite number taking all of `text`.
std::optional<double> PositiveNumber(std::string_view text) {
  double value = 0;
  const char* end = text.data() + text.size();
  const auto result = std::from_chars(text.data(), end, value);
  if (text.empty() || result.ec != std::errc() || result.ptr != end || !std::isfinite(value) ||
      value <= 0) {
    return std::nullopt;
  }
  return value;
}

// The number with at most `decimals` decimals, trailing zeros dropped.
std::string Trimmed(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  std::string shown = text;
  if (shown.find('.') != std::string::npos) {
    shown.erase(shown.find_last_not_of('0') + 1);
    if (shown.back() == '.') shown.pop_back();
  }
  return shown;
}

// The sheet less its unprintable edge; on a sheet too small for the whole edge, a quarter
// of each side stays free.
double Printable(double side) {
  return side - 2 * std::min(kPaperMarginMm, side / 4);
}

double FitScale(SizeMm drawing, SizeMm sheet) {
  return std::min(Printable(sheet.width) / drawing.width, Printable(sheet.height) / drawing.height);
}

}  // namespace

std::optional<Paper> PaperNamed(std::string_view text) {
  for (const NamedPaper& paper : kPapers) {
    if (SameLetters(text, paper.name)) return Paper{paper.name, paper.upright};
  }
  if (text.size() < 2 || !SameLetters(text.substr(text.size() - 2), "mm")) return std::nullopt;
  const std::string_view sides = text.substr(0, text.size() - 2);
  const std::size_t cross = sides.find_first_of("xX");
  if (cross == std::string_view::npos) return std::nullopt;
  const std::optional<double> width = PositiveNumber(sides.substr(0, cross));
  const std::optional<double> height = PositiveNumber(sides.substr(cross + 1));
  if (!width || !height) return std::nullopt;
  for (double side : {*width, *height}) {
    if (side < kSmallestSideMm || side > kLargestSideMm) return std::nullopt;
  }
  return Paper{Trimmed(*width, 3) + "x" + Trimmed(*height, 3) + "mm",
               {std::min(*width, *height), std::max(*width, *height)}};
}

std::optional<double> ScaleNamed(std::string_view text) {
  std::optional<double> scale;
  const std::size_t colon = text.find(':');
  if (colon == std::string_view::npos) {
    scale = PositiveNumber(text);
  } else {
    const std::optional<double> paper = PositiveNumber(text.substr(0, colon));
    const std::optional<double> drawing = PositiveNumber(text.substr(colon + 1));
    if (paper && drawing) scale = *paper / *drawing;
  }
  // A hair beyond the ends still names them: 1:100000 is 1e-5 within rounding.
  if (!scale || *scale < kSmallestScale * (1 - 1e-12) || *scale > kLargestScale * (1 + 1e-12))
    return std::nullopt;
  return scale;
}

PageLayout LayOutPage(SizeMm drawing, const PageRequest& request) {
  drawing.width = std::max(drawing.width, kThinnestDrawingMm);
  drawing.height = std::max(drawing.height, kThinnestDrawingMm);
  PageLayout layout;
  if (!request.paper) {
    layout.scale = request.scale.value_or(1);
    layout.page = {drawing.width * layout.scale, drawing.height * layout.scale};
    layout.drawn = layout.page;
    return layout;
  }
  const SizeMm upright = request.paper->upright;
  const SizeMm across{upright.height, upright.width};
  SizeMm sheet = upright;
  if (request.turn == PaperTurn::Landscape ||
      (request.turn == PaperTurn::Best && FitScale(drawing, across) > FitScale(drawing, upright))) {
    sheet = across;
  }
  layout.page = sheet;
  layout.paperName = request.paper->name;
  layout.landscape = sheet.width > sheet.height;
  layout.scale = request.fit ? FitScale(drawing, sheet) : request.scale.value_or(1);
  const double width = drawing.width * layout.scale;
  const double height = drawing.height * layout.scale;
  layout.drawn = {width, height};
  layout.left = (sheet.width - width) / 2;
  layout.top = (sheet.height - height) / 2;
  // A fitted drawing meets the printable area by construction, rounding aside.
  constexpr double kSlack = 1e-9;
  layout.overflows = !request.fit && (width > Printable(sheet.width) * (1 + kSlack) ||
                                      height > Printable(sheet.height) * (1 + kSlack));
  return layout;
}

FrameRect DrawingOnFrame(const FramePlacement& placement) {
  const PlotBox& box = placement.box;
  const double margin = placement.inkMargin;
  return BoxOnFrame(placement, {box.minX - margin, box.minY - margin, box.maxX + margin,
                                box.maxY + margin, false});
}

FrameRect BoxOnFrame(const FramePlacement& placement, const PlotBox& box) {
  double left = 0, top = 0, right = 0, bottom = 0;
  bool first = true;
  for (const PlotPoint corner : {PlotPoint{box.minX, box.minY}, PlotPoint{box.maxX, box.minY},
                                 PlotPoint{box.minX, box.maxY}, PlotPoint{box.maxX, box.maxY}}) {
    const FrameSpot at = placement.ToFrame(corner);
    left = first ? at.u : std::min(left, at.u);
    right = first ? at.u : std::max(right, at.u);
    top = first ? at.v : std::min(top, at.v);
    bottom = first ? at.v : std::max(bottom, at.v);
    first = false;
  }
  return {left, top, right - left, bottom - top};
}

FrameOnPage PlaceOnPage(const FrameRect& shown, double frameUnitsPerPlotterUnit,
                        const PageRequest& request) {
  const double frameUnitsPerMm = frameUnitsPerPlotterUnit * kPlotterUnitsPerMm;
  FrameOnPage placed;
  placed.layout =
      LayOutPage({shown.width / frameUnitsPerMm, shown.height / frameUnitsPerMm}, request);
  placed.mmPerFrameUnit = placed.layout.scale / frameUnitsPerMm;
  placed.originX = placed.layout.left - shown.left * placed.mmPerFrameUnit;
  placed.originY = placed.layout.top - shown.top * placed.mmPerFrameUnit;
  return placed;
}

int PixelsAcross(double mm, int dpi) {
  return std::max(1, static_cast<int>(std::lround(mm / kMmPerInch * dpi)));
}

int PixelsPerMetre(int dpi) {
  return static_cast<int>(std::lround(dpi * 1000 / kMmPerInch));
}

std::string ScaleText(double scale) {
  if (scale >= 1) return Trimmed(scale, 3) + ":1";
  return "1:" + Trimmed(1 / scale, 3);
}

std::string DescribeLayout(const PageLayout& layout) {
  std::string text = ScaleText(layout.scale);
  if (layout.paperName.empty()) return text + " (" + SizeText(layout.drawn) + ")";
  return text + " on " + SheetText(layout);
}

std::string SizeText(SizeMm size) {
  return Trimmed(size.width, 2) + " x " + Trimmed(size.height, 2) + " mm";
}

std::string SheetText(const PageLayout& layout) {
  if (layout.page.width == layout.page.height) return layout.paperName;
  return layout.paperName + (layout.landscape ? " landscape" : " portrait");
}

}  // namespace korvid
