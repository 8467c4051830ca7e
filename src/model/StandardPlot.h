#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/DrawingBudget.h"

namespace korvid {

// The result of the standard HP-GL/2 reading: what a plotter puts on paper, page by page.
// Coordinates are plotter units after every scaling, rotation and clipping of the file
// (X right, Y up, 40 units = 1 mm). Unlike PlotModel it grows with the file, up to a
// memory budget.

struct PlotPoint {
  double x = 0;
  double y = 0;
};

using PlotRing = std::vector<PlotPoint>;

// 0x00BBGGRR, the order of the metafile's colour values.
using ColourRef = std::uint32_t;
inline constexpr ColourRef kBlack = 0x000000;
inline constexpr ColourRef kWhite = 0xFFFFFF;

// Shading (FT 10): the colour thinned towards white, `level` (0 to 1) of it left.
inline ColourRef ShadedColour(ColourRef colour, double level) {
  ColourRef shaded = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const double channel = (colour >> shift) & 0xFF;
    shaded |= static_cast<ColourRef>(std::lround(255 - (255 - channel) * level)) << shift;
  }
  return shaded;
}

// The ends and corners of wide lines (LA): HP-GL/2 draws butt ends and mitered joins
// unless told otherwise. A triangular end is a point half the pen's width beyond the end;
// a triangular join, one half the width beyond the corner of a bevel.
enum class LineEnd : std::uint8_t { Butt, Square, Round, Triangle };
enum class LineJoin : std::uint8_t { Miter, Bevel, Round, Triangle };

// How a line is stroked: pen, width, colour, ends and joins and the dash pattern in force.
struct StrokeStyle {
  static constexpr std::int32_t kSolidLine = 1000;
  static constexpr std::int32_t kNoDashes = -1;
  static constexpr double kDefaultMiterLimit = 5;

  std::int32_t pen = 1;
  double widthMm = 0.35;
  ColourRef colour = kBlack;
  // kSolidLine, or the HP-GL/2 line type (LT n, -8..8; 0 = a dot at each point only). A
  // negative (adaptive) type stretches its pattern to a whole number of repetitions on
  // every segment, each starting with a dash, so that every corner is drawn.
  std::int32_t lineType = kSolidLine;
  // For a dashed line: the pattern (an index into StandardPlot::dashPatterns) and the
  // length of one repetition of it in plotter units.
  std::int32_t dashIndex = kNoDashes;
  double patternLength = 0;
  LineEnd ends = LineEnd::Butt;
  LineJoin joins = LineJoin::Miter;
  // LA 3: where a mitered corner is bevelled instead, as the miter's length over the width.
  double miterLimit = kDefaultMiterLimit;

  bool Adaptive() const { return lineType < 0 && !Solid(); }
  bool Solid() const { return lineType == kSolidLine || (lineType != 0 && dashIndex < 0); }
  bool DotsOnly() const { return lineType == 0; }
  bool operator==(const StrokeStyle&) const = default;
};

// A scaling from the file's units to plotter units on each axis (IP, SC): a point is
// offset + factor * user, axis by axis.
struct AxisScaling {
  bool scaled = false;
  double factorX = 1, factorY = 1, offsetX = 0, offsetY = 0;

  PlotPoint ToPlotter(PlotPoint user) const {
    if (!scaled) return user;
    return {offsetX + factorX * user.x, offsetY + factorY * user.y};
  }
};

// The points of a circular arc as a plotter puts them down: `count` of them, from `start`
// (radians) on, each `step` further round `centre` than the one before, the start itself
// not among them.
struct ArcSteps {
  int count = 0;
  double start = 0;
  double step = 0;
};
void AppendArcPoints(PlotPoint centre, double radius, const ArcSteps& steps,
                     std::vector<PlotPoint>& points);

// An arc of a polyline kept as the arc: a plot of many small arcs would otherwise hold a few
// dozen points for each. Its points are those AppendArcPoints puts down in the file's units,
// scaled to plotter units, to the bit.
struct PolylineArc {
  std::uint32_t after = 0;  // the polyline's placed points before it
  ArcSteps steps;
  PlotPoint centre;  // in the file's units
  double radius = 0;
  AxisScaling scaling;
  PlotPoint end;  // its last point, in plotter units

  void AppendPoints(std::vector<PlotPoint>& points) const;
  // No less than the length of its chords, its first from where it starts: none is longer
  // than its step round the circle, stretched by the larger of the scaling's factors.
  double ChordsLengthAtMost() const {
    const double stretch =
        scaling.scaled ? std::max(std::fabs(scaling.factorX), std::fabs(scaling.factorY)) : 1;
    return std::fabs(radius * steps.step) * steps.count * stretch;
  }
};

// A run of pen-down moves: two or more points (one point is a dot). Its points are those
// placed one by one, each followed by the arcs drawn from it, in order.
struct StandardPolyline {
  std::vector<PlotPoint> placed;
  StrokeStyle style;
  std::vector<PolylineArc> arcs;

  std::size_t PointCount() const;
  PlotPoint Front() const { return placed.front(); }
  PlotPoint Back() const {
    return !arcs.empty() && arcs.back().after == placed.size() ? arcs.back().end : placed.back();
  }
  // All its points in order: the placed points themselves when it has no arcs, else
  // `scratch` filled with them.
  const std::vector<PlotPoint>& Points(std::vector<PlotPoint>& scratch) const;
  std::vector<PlotPoint> AllPoints() const {
    std::vector<PlotPoint> scratch;
    return Points(scratch);
  }
};

enum class FillKind : std::uint8_t { Solid, Hatch, CrossHatch };

// A filled polygon (FP, RA, RR, WG, or a shaded/hatched area): one or more closed rings
// filled together, by the even-odd rule unless nonZeroWinding says otherwise.
struct StandardPolygon {
  std::vector<PlotRing> rings;
  FillKind fill = FillKind::Solid;
  double hatchSpacing = 0;    // plotter units between hatch lines (Hatch, CrossHatch)
  double hatchAngleDeg = 0;   // counter-clockwise from the X axis
  ColourRef colour = kBlack;  // the tone to fill with, shading already applied
  double shading = 1;         // how much of the pen's colour the tone has (FT 10): 1 = all
  // Raster images are no pen's: no pen table entry colours or hides them.
  static constexpr std::int32_t kNoPen = INT32_MIN;
  std::int32_t pen = 1;
  double widthMm = 0.35;  // of the pen, for the hatch lines
  bool nonZeroWinding = false;
  // How many of the page's polylines were drawn before this polygon: the drawing keeps
  // the file's order of fills and lines.
  std::size_t polylinesBefore = 0;
};

struct PlotBox {
  double minX = 0;
  double minY = 0;
  double maxX = 0;
  double maxY = 0;
  bool empty = true;

  void Include(PlotPoint p) {
    if (empty) {
      minX = maxX = p.x;
      minY = maxY = p.y;
      empty = false;
      return;
    }
    if (p.x < minX) minX = p.x;
    if (p.x > maxX) maxX = p.x;
    if (p.y < minY) minY = p.y;
    if (p.y > maxY) maxY = p.y;
  }
  double Width() const { return empty ? 0 : maxX - minX; }
  double Height() const { return empty ? 0 : maxY - minY; }
};

// The file's own coordinates on a page: a page point is the user point scaled (SC, when
// `scaled`) and then turned by the plot rotation (RO, in degrees), which also shifts it so
// that the turned hard-clip limits (`turnWidth` by `turnHeight`) stay where they were.
struct UserUnits {
  bool scaled = false;
  double factorX = 1;
  double factorY = 1;
  double offsetX = 0;
  double offsetY = 0;
  int rotation = 0;
  double turnWidth = 0;
  double turnHeight = 0;

  // Whether the file's coordinates differ from the page's plotter units at all.
  bool Differ() const { return scaled || rotation != 0; }
  PlotPoint ToUser(PlotPoint page) const {
    PlotPoint p = page;
    if (rotation == 90) p = {page.y, turnWidth - page.x};
    if (rotation == 180) p = {turnWidth - page.x, turnHeight - page.y};
    if (rotation == 270) p = {turnHeight - page.y, page.x};
    if (scaled) p = {(p.x - offsetX) / factorX, (p.y - offsetY) / factorY};
    return p;
  }
  bool operator==(const UserUnits&) const = default;
};

// One sheet of paper: everything drawn between two page advances.
struct StandardPage {
  std::vector<StandardPolyline> polylines;
  std::vector<StandardPolygon> polygons;
  PlotBox extents;  // of every point drawn on the page
  // The widest pen that stroked anything on the page: half of it lies beyond the extents.
  double widestPenMm = 0;
  // As they stood when the page's last line or fill began.
  UserUnits userUnits;
  bool Empty() const { return polylines.empty() && polygons.empty(); }
};

// Bytes of model the reading has taken so far, against a budget. The reader asks before
// it adds; once the budget is spent it stops and says so instead of growing further. The
// model is the first part of the drawing made of it: what it takes is taken from the
// drawing budget in force too, whose end fails the drawing (DrawingBudgetSpent) rather
// than cutting the read.
class ModelBudget {
 public:
  static constexpr std::size_t kDefaultBytes = std::size_t{1} << 30;  // 1 GiB

  explicit ModelBudget(std::size_t limitBytes = kDefaultBytes) : limit_(limitBytes) {}

  // False (and exhausted from then on) when `bytes` more do not fit.
  bool Take(std::size_t bytes) {
    if (exhausted_ || bytes > limit_ - used_) {
      exhausted_ = true;
      return false;
    }
    if (bytes > charged_) {
      // The drawing budget is charged ahead, a slab at a time while it has room for one: a
      // model grows by many small steps, and each charge of a budget that threads share
      // costs more than the step itself.
      const std::size_t needed = bytes - charged_;
      const std::size_t slab = std::max(needed, std::min(kSlabBytes, DrawingBudget::Room()));
      DrawingBudget::Charge(slab);
      charged_ += slab;
    }
    charged_ -= bytes;
    used_ += bytes;
    return true;
  }
  std::size_t UsedBytes() const { return used_; }
  std::size_t LimitBytes() const { return limit_; }
  bool Exhausted() const { return exhausted_; }

 private:
  static constexpr std::size_t kSlabBytes = std::size_t{64} << 10;

  std::size_t limit_;
  std::size_t used_ = 0;
  std::size_t charged_ = 0;  // of the drawing budget, ahead of what is used
  bool exhausted_ = false;
};

struct StandardPlot {
  std::vector<StandardPage> pages;  // at least one page once read, possibly empty
  // Dash patterns used by the strokes: drawn and blank lengths in turn, starting with a
  // drawn one, in percent of the pattern length.
  std::vector<std::vector<double>> dashPatterns;

  std::size_t PageCount() const { return pages.size(); }
};

}  // namespace korvid
