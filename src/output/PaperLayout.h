#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "view/PlotCoordinates.h"

namespace korvid {

// A size on paper, in millimetres.
struct SizeMm {
  double width = 0;
  double height = 0;

  bool operator==(const SizeMm&) const = default;
};

// A sheet by name ("A4", "letter") or by its sides ("420x297mm"), upright: the shorter
// side across.
struct Paper {
  std::string name;
  SizeMm upright;
};

// The paper `text` names, in any letter case; nothing for a name Korvid does not know or
// sides out of range (1 to 100000 mm).
std::optional<Paper> PaperNamed(std::string_view text);

// Paper millimetres per millimetre of the drawing, from "1:N", "N:1" (any two positive
// numbers around the colon) or a plain factor ("0.5"); nothing for anything else or a
// scale outside 1:100000 to 1000:1.
std::optional<double> ScaleNamed(std::string_view text);

enum class PaperTurn { Best, Landscape, Portrait };

// How a drawing goes onto its page. Without a paper the page is the drawing at the scale;
// on paper the drawing is centred, at the scale or fitted into the printable area.
struct PageRequest {
  std::optional<double> scale;  // 1:1 unless given; never with `fit`
  std::optional<Paper> paper;
  PaperTurn turn = PaperTurn::Best;  // with a paper only
  bool fit = false;                  // with a paper only
};

// The unprintable edge a page is thought to have all round when a drawing is fitted to
// it: wider than any office printer's, so that a fitted drawing prints whole.
inline constexpr double kPaperMarginMm = 10;

struct PageLayout {
  SizeMm page;
  double scale = 1;  // paper millimetres per drawing millimetre
  double left = 0;   // the drawing's top-left corner on the page, mm
  double top = 0;
  SizeMm drawn;           // the drawing's size on the page
  std::string paperName;  // empty without a paper
  bool landscape = false;
  bool overflows = false;  // on paper: the drawing reaches into the margin or beyond the sheet
};

// The page for a drawing of `drawing` millimetres at 1:1. Orientation `Best` turns the
// sheet the way that holds the drawing larger, upright on a tie.
PageLayout LayOutPage(SizeMm drawing, const PageRequest& request);

// A rectangle of a picture's frame, in frame units (0.01 mm of the frame, y down).
struct FrameRect {
  double left = 0;
  double top = 0;
  double width = 0;
  double height = 0;
};

// The frame's rectangle that holds a box of the plot, turned as the frame turns it.
FrameRect BoxOnFrame(const FramePlacement& placement, const PlotBox& box);
// The one that holds the whole drawing: its box grown by the ink margin on each side.
FrameRect DrawingOnFrame(const FramePlacement& placement);

// Where a picture's frame goes on a page: a frame point (u, v) lies at page millimetres
// (originX + u * mmPerFrameUnit, originY + v * mmPerFrameUnit).
struct FrameOnPage {
  PageLayout layout;
  double mmPerFrameUnit = 0;
  double originX = 0;
  double originY = 0;
};

// The part `shown` of a frame drawn at `frameUnitsPerPlotterUnit`, on the page the request
// asks for: 40 plotter units to the millimetre at 1:1.
FrameOnPage PlaceOnPage(const FrameRect& shown, double frameUnitsPerPlotterUnit,
                        const PageRequest& request);

// Whole pixels for `mm` at `dpi` pixels to the inch: 100 mm at 300 dpi is 1181, at least 1.
int PixelsAcross(double mm, int dpi);
// The resolution as image files keep it: 300 dpi is 11811 pixels to the metre.
int PixelsPerMetre(int dpi);

// "1:2.5", "2:1" or "1:1": a ratio with at most three decimals.
std::string ScaleText(double scale);

// What the layout did, for the user: "1:2.5 on A4 landscape", or "1:2 (50 x 26.25 mm)"
// without a paper.
std::string DescribeLayout(const PageLayout& layout);
// "100.25 x 52.75 mm"
std::string SizeText(SizeMm size);
// The paper and its orientation: "A4 landscape", "200x200mm" (a square has none).
std::string SheetText(const PageLayout& layout);

}  // namespace korvid
