#include "render/DrawStandardPage.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "model/BothAtOnce.h"
#include "model/PlotExtents.h"
#include "model/PlotUnits.h"
#include "model/Rounding.h"
#include "model/RuntimeError.h"
#include "render/EmfWriter.h"
#include "render/HatchLines.h"
#include "render/PaintWork.h"
#include "render/PictureRecorder.h"
#include "render/ThinPolyline.h"

namespace korvid {

namespace {

// A dashed line with more dashes than this is drawn solid: nobody sees the pattern.
constexpr double kMostDashes = 1e6;
constexpr std::size_t kLargestMetafileBytes = std::size_t{1} << 29;
// A solid polyline keeps the points that move it by more than half a unit of the picture:
// no more than rounding them onto its grid already did.
constexpr double kThinningTolerance = 0.5;
// In a picture drawn for one image, by more than a sixteenth of the image's pixel: a pen's
// edge then passes a pixel's centre on the other side only where it already ran within that
// of it. On a plot of arcs much finer than its image's pixels, half of the points the grid's
// half unit keeps go as well.
constexpr double kImageThinningPixels = 1.0 / 16;

double ThinningTolerance(const DrawSetup& setup) {
  if (!(setup.imagePixelsPerFrameUnit > 0)) return kThinningTolerance;
  return std::max(kThinningTolerance, kImageThinningPixels / setup.imagePixelsPerFrameUnit);
}

struct Offset {
  double u;
  double v;
};

ColourRef Grey(ColourRef colour) {
  const double r = colour & 0xFF, g = (colour >> 8) & 0xFF, b = (colour >> 16) & 0xFF;
  const auto level = static_cast<ColourRef>(std::lround(0.299 * r + 0.587 * g + 0.114 * b));
  return level | (level << 8) | (level << 16);
}

// Calls line(polyline) and fill(polygon) for the page's items in drawing order: each polygon
// after the polylines drawn before it in the file.
template <typename Line, typename Fill>
void ForEachItem(const StandardPage& page, Line line, Fill fill) {
  std::size_t nextPolygon = 0;
  for (std::size_t i = 0; i < page.polylines.size(); ++i) {
    while (nextPolygon < page.polygons.size() && page.polygons[nextPolygon].polylinesBefore <= i)
      fill(page.polygons[nextPolygon++]);
    line(page.polylines[i]);
  }
  while (nextPolygon < page.polygons.size())
    fill(page.polygons[nextPolygon++]);
}

// At least the lines a polyline draws, as room for them: a dot for each point, a line
// between each two, and a dashed line's dashes: each pattern laid along it (an adaptive one
// at least once on every segment, one more for the rounding) draws its dashes, and each
// corner may cut one in two. Its arcs are measured without putting their points down. The
// two parts of a page recorded at once meet where the first part's count says, and the room
// it leaves unused is moved once: where the thinning leaves points out (on a plot of fine
// arcs, more than half of them).
std::size_t LinesOf(const StandardPlot& plot, const StandardPolyline& line) {
  const std::size_t points = line.PointCount();
  const StrokeStyle& style = line.style;
  if (style.DotsOnly()) return points;
  if (style.Solid()) return points > 0 ? points - 1 : 0;
  const auto& patterns = plot.dashPatterns;
  if (style.dashIndex < 0 || static_cast<std::size_t>(style.dashIndex) >= patterns.size() ||
      !(style.patternLength > 0))
    return points;
  double length = 0;
  PlotPoint from;
  std::size_t arc = 0;
  for (std::size_t i = 0; i < line.placed.size(); ++i) {
    const PlotPoint to = line.placed[i];
    if (i > 0)
      length += std::sqrt((to.x - from.x) * (to.x - from.x) + (to.y - from.y) * (to.y - from.y));
    from = to;
    for (; arc < line.arcs.size() && line.arcs[arc].after == i + 1; ++arc) {
      length += line.arcs[arc].ChordsLengthAtMost();
      from = line.arcs[arc].end;
    }
  }
  const std::size_t parts = patterns[static_cast<std::size_t>(style.dashIndex)].size();
  const double dashes = (length / style.patternLength + (style.Adaptive() ? points : 0) + 2) *
                        static_cast<double>((parts + 1) / 2);
  // Beyond kMostDashes the line is drawn solid.
  return points + static_cast<std::size_t>(std::min(dashes, kMostDashes));
}

// A cut among a page's items may move on by this many to fall between two lines a painter
// would not join.
constexpr std::size_t kCleanCutReach = 4096;

// One drawing of a page into the metafile being written, or into the recorder that builds
// its picture directly.
template <typename Metafile>
class PageDrawing {
 public:
  PageDrawing(const StandardPlot& plot, std::size_t pageIndex, const DrawSetup& setup)
      : plot_(plot),
        page_(plot.pages.at(pageIndex)),
        pens_(setup.pens.get()),
        colourMode_(setup.settings.Colour()),
        angle_(setup.rotation.angle),
        cosA_(setup.rotation.cosA),
        sinA_(setup.rotation.sinA),
        thinning_(ThinningTolerance(setup)) {
    box_ = InkBoxOf(page_);
    if (box_.empty) box_ = {0, 0, 0, 0, false};
    width_ = box_.Width();
    height_ = box_.Height();
    scale_ = std::min(kLongestPictureSide / (width_ + kPictureMarginPlotterUnits),
                      kLongestPictureSide / (height_ + kPictureMarginPlotterUnits));
    if (!std::isfinite(scale_) || scale_ <= 0) throw RuntimeError(err::kOverflow);
  }

  QRect Frame() const {
    const bool quarterTurn = angle_ == 90 || angle_ == 270;
    return QRect(0, 0, FrameSide(quarterTurn ? height_ : width_),
                 FrameSide(quarterTurn ? width_ : height_));
  }

  // The lines a picture of `part` holds, as far as the points of its polylines tell, so
  // that its display list is made once at its size.
  std::size_t LinesIn(const DrawingPart& part) const {
    std::size_t item = 0, lines = 0, nextPolygon = 0;
    for (const StandardPolyline& line : page_.polylines) {
      for (; nextPolygon < page_.polygons.size() &&
             page_.polygons[nextPolygon].polylinesBefore <=
                 static_cast<std::size_t>(&line - page_.polylines.data());
           ++nextPolygon)
        ++item;
      if (item >= part.first && item < part.end) lines += LinesOf(plot_, line);
      ++item;
    }
    return lines;
  }

  // The items of `part`: the page's polylines and polygons in the file's order.
  void Draw(Metafile& metafile, const DrawingPart& part = {}) {
    metafile_ = &metafile;
    metafile.SetMapMode(EmfWriter::kMapModeHimetric);
    std::size_t item = 0;
    const auto inPart = [&item, &part] {
      const std::size_t at = item++;
      return at >= part.first && at < part.end;
    };
    ForEachItem(
        page_,
        [&](const StandardPolyline& line) {
          if (inPart()) DrawPolyline(line);
        },
        [&](const StandardPolygon& polygon) {
          if (inPart()) DrawPolygon(polygon);
        });
    if (pen_) metafile.DeleteObject(pen_);
    metafile_ = nullptr;
  }

 private:
  std::int32_t FrameSide(double side) const {
    return static_cast<std::int32_t>(std::lround(scale_ * (side + kPictureMarginPlotterUnits)));
  }

  // The margin is shared out evenly, so that a line along the top or the left edge stands
  // clear of the picture's border as one along the bottom or the right edge does.
  Offset Place(PlotPoint p) const {
    const double margin = kPictureMarginPlotterUnits / 2;
    const Offset o{(p.x - box_.minX + margin) * scale_, (box_.maxY - p.y + margin) * scale_};
    const double sw = (width_ + kPictureMarginPlotterUnits) * scale_;
    const double sh = (height_ + kPictureMarginPlotterUnits) * scale_;
    switch (angle_) {
      case 90:
        return {sh + cosA_ * o.u - sinA_ * o.v, sinA_ * o.u + cosA_ * o.v};
      case 180:
        return {sw + cosA_ * o.u - sinA_ * o.v, sh + sinA_ * o.u + cosA_ * o.v};
      case 270:
        return {cosA_ * o.u - sinA_ * o.v, sw + sinA_ * o.u + cosA_ * o.v};
      default:
        return o;
    }
  }

  EmfWriter::Point Logical(PlotPoint p) const {
    const Offset o = Place(p);
    return {static_cast<std::int32_t>(RoundHalfAway(o.u)),
            static_cast<std::int32_t>(RoundHalfAway(-o.v))};
  }

  ColourRef Colour(ColourRef colour) const {
    return colourMode_ ? colour : (colour == kWhite ? kWhite : kBlack);
  }

  // GDI's geometric pen styles: the ends and corners of a wide line. Triangular ones have
  // none of their own: flat ends and bevels, with the triangles added as fills.
  static std::uint32_t PenStyleOf(LineEnd ends, LineJoin joins) {
    constexpr std::uint32_t kGeometric = 0x10000, kSquareEnds = 0x100, kFlatEnds = 0x200,
                            kBevelJoins = 0x1000, kMiterJoins = 0x2000;
    std::uint32_t style = kGeometric;
    if (ends == LineEnd::Butt || ends == LineEnd::Triangle) style |= kFlatEnds;
    if (ends == LineEnd::Square) style |= kSquareEnds;
    if (joins == LineJoin::Bevel || joins == LineJoin::Triangle) style |= kBevelJoins;
    if (joins == LineJoin::Miter) style |= kMiterJoins;
    return style;
  }

  void UsePen(ColourRef colour, double widthMm, std::uint32_t style,
              double miterLimit = StrokeStyle::kDefaultMiterLimit) {
    constexpr std::uint32_t kMiterJoins = 0x2000;
    const auto width = static_cast<std::int32_t>(
        std::lround(std::min(widthMm * kPlotterUnitsPerMm * scale_, kLongestPictureSide)));
    if (width <= 1) style = 0;  // a cosmetic pen has no ends to speak of
    // The miter limit is the device context's: set before the pen that needs it is chosen.
    if (style & kMiterJoins) {
      const auto limit =
          static_cast<std::uint32_t>(std::lround(std::clamp(miterLimit, 1.0, 32767.0)));
      if (limit != miterLimit_) metafile_->SetMiterLimit(limit);
      miterLimit_ = limit;
    }
    if (pen_ && colour == penColour_ && width == penWidth_ && style == penStyle_) {
      if (!penSelected_) metafile_->SelectObject(pen_);
      penSelected_ = true;
      return;
    }
    const std::uint32_t handle = metafile_->CreatePen(style, width, colour);
    metafile_->SelectObject(handle);
    if (pen_) metafile_->DeleteObject(pen_);
    pen_ = handle;
    penColour_ = colour;
    penWidth_ = width;
    penStyle_ = style;
    penSelected_ = true;
  }

  void Segment(PlotPoint a, PlotPoint b) {
    const EmfWriter::Point from = Logical(a), to = Logical(b);
    metafile_->MoveTo(from.x, from.y);
    metafile_->LineTo(to.x, to.y);
    if (++segments_ % 4096 == 0) CheckSize();
    if (triangleEnds_) {
      AddTriangleEnd(b, a);
      AddTriangleEnd(a, b);
    }
  }

  // The pen table's entry for a pen, or null: such a pen draws as the file says.
  const PenSetting* Entry(std::int32_t pen) const { return pens_ ? pens_->Find(pen) : nullptr; }
  static ColourRef ColourFor(const PenSetting* entry, ColourRef file) {
    return entry && entry->colour ? ColourRefOf(*entry->colour) : file;
  }
  static double WidthFor(const PenSetting* entry, double fileMm) {
    return entry && entry->widthMm ? *entry->widthMm : fileMm;
  }

  void DrawPolyline(const StandardPolyline& line) {
    const StrokeStyle& style = line.style;
    const PenSetting* entry = Entry(style.pen);
    if (entry && !entry->shown) return;
    const ColourRef colour = Colour(ColourFor(entry, style.colour));
    const double widthMm = WidthFor(entry, style.widthMm);
    UsePen(colour, widthMm, PenStyleOf(style.ends, style.joins), style.miterLimit);
    const std::vector<PlotPoint>& points = line.Points(points_);
    if (style.DotsOnly()) {
      for (const PlotPoint& p : points)
        Segment(p, p);
      return;
    }
    halfWidth_ = widthMm * kPlotterUnitsPerMm / 2;
    const bool wide = halfWidth_ * scale_ > 0.5;
    triangleEnds_ = wide && style.ends == LineEnd::Triangle;
    if (wide && style.joins == LineJoin::Triangle) AddTriangleJoins(points);
    const bool dashed = !style.Solid() && DrawDashed(style, points);
    if (!dashed) {
      std::vector<EmfWriter::Point>& logical = scratch_;
      logical.clear();
      for (const PlotPoint& p : points)
        logical.push_back(Logical(p));
      ThinPolyline(logical, thinning_);
      metafile_->Polyline(logical);
      if (triangleEnds_ && points.size() >= 2) {
        AddTriangleEnd(points[points.size() - 2], points.back());
        AddTriangleEnd(points[1], points[0]);
      }
      CheckSize();
    }
    triangleEnds_ = false;
    DrawTriangles(colour);
  }

  // A triangular end at `end` of the line coming from `from`: its point half the pen's
  // width beyond the end, its base across the line's width.
  void AddTriangleEnd(PlotPoint from, PlotPoint end) {
    const double dx = end.x - from.x, dy = end.y - from.y;
    const double length = std::hypot(dx, dy);
    if (!(length > 0) || !std::isfinite(length)) return;
    const double ux = dx / length * halfWidth_, uy = dy / length * halfWidth_;
    triangles_.push_back({Logical({end.x - uy, end.y + ux}), Logical({end.x + ux, end.y + uy}),
                          Logical({end.x + uy, end.y - ux})});
  }

  // A triangular join on every corner: the bevel's outer edge with a point half the width
  // beyond the corner, along the bisector.
  void AddTriangleJoins(const std::vector<PlotPoint>& points) {
    for (std::size_t i = 1; i + 1 < points.size(); ++i) {
      const PlotPoint a = points[i - 1], v = points[i], b = points[i + 1];
      const double l1 = std::hypot(v.x - a.x, v.y - a.y), l2 = std::hypot(b.x - v.x, b.y - v.y);
      if (!(l1 > 0) || !(l2 > 0) || !std::isfinite(l1 + l2)) continue;
      const double d1x = (v.x - a.x) / l1, d1y = (v.y - a.y) / l1;
      const double d2x = (b.x - v.x) / l2, d2y = (b.y - v.y) / l2;
      const double turn = d1x * d2y - d1y * d2x;
      if (std::fabs(turn) < 1e-9) continue;  // straight on, or straight back
      // The outer side is to the right of a left turn and to the left of a right turn.
      const double side = turn > 0 ? -1 : 1;
      const double o1x = -d1y * side, o1y = d1x * side, o2x = -d2y * side, o2y = d2x * side;
      const double bx = o1x + o2x, by = o1y + o2y, bl = std::hypot(bx, by);
      if (!(bl > 0)) continue;
      const double h = halfWidth_;
      triangles_.push_back({Logical({v.x + o1x * h, v.y + o1y * h}),
                            Logical({v.x + bx / bl * h, v.y + by / bl * h}),
                            Logical({v.x + o2x * h, v.y + o2y * h}), Logical(v)});
    }
  }

  void DrawTriangles(ColourRef colour) {
    if (triangles_.empty()) return;
    const std::uint32_t brush = metafile_->CreateSolidBrush(colour);
    metafile_->SelectObject(brush);
    metafile_->SelectObject(EmfWriter::kNullPen);
    penSelected_ = false;
    metafile_->SetPolyFillMode(EmfWriter::kFillWinding);
    metafile_->PolyPolygon(triangles_);
    metafile_->DeleteObject(brush);
    triangles_.clear();
    CheckSize();
  }

  // A metafile has 32-bit sizes, and the player keeps every line: beyond this the
  // picture is too large to show.
  void CheckSize() const {
    if (metafile_->Size() > kLargestMetafileBytes) throw RuntimeError(err::kPictureTooLarge);
  }

  // The dash pattern laid along the whole polyline, continuing from segment to segment; an
  // adaptive one starts afresh on every segment, stretched to a whole number of patterns.
  bool DrawDashed(const StrokeStyle& style, const std::vector<PlotPoint>& points) {
    const auto& patterns = plot_.dashPatterns;
    if (style.dashIndex < 0 || static_cast<std::size_t>(style.dashIndex) >= patterns.size())
      return false;
    const std::vector<double>& pattern = patterns[static_cast<std::size_t>(style.dashIndex)];
    double total = 0;
    for (double part : pattern)
      total += part;
    if (!(total > 0) || !(style.patternLength > 0)) return false;
    // Each segment's length once, by a square root: the library's hypot, which guards
    // against overflow no plotter coordinate comes near, costs a dashed plot's drawing a
    // good share of its time.
    std::vector<double>& lengths = lengthScratch_;
    lengths.clear();
    double length = 0;
    for (std::size_t i = 1; i < points.size(); ++i) {
      const double dx = points[i].x - points[i - 1].x;
      const double dy = points[i].y - points[i - 1].y;
      lengths.push_back(std::sqrt(dx * dx + dy * dy));
      length += lengths.back();
    }
    const double patternsDrawn =
        length / style.patternLength + (style.Adaptive() ? points.size() : 0);
    if (!std::isfinite(length) || patternsDrawn * pattern.size() > kMostDashes) return false;
    double unit = style.patternLength / total;
    std::size_t part = 0;
    double left = pattern[0] * unit;  // of the current part of the pattern
    for (std::size_t i = 1; i < points.size(); ++i) {
      const PlotPoint a = points[i - 1], b = points[i];
      const double segment = lengths[i - 1];
      if (style.Adaptive()) {
        const double repeats = std::max(1.0, std::round(segment / style.patternLength));
        unit = segment / repeats / total;
        part = 0;
        left = pattern[0] * unit;
        if (!(unit > 0)) continue;
      }
      double at = 0;
      while (true) {
        const double step = std::min(left, segment - at);
        const bool drawn = part % 2 == 0;
        if (drawn) {
          const double t0 = segment > 0 ? at / segment : 0;
          const double t1 = segment > 0 ? (at + step) / segment : 0;
          Segment({a.x + (b.x - a.x) * t0, a.y + (b.y - a.y) * t0},
                  {a.x + (b.x - a.x) * t1, a.y + (b.y - a.y) * t1});
        }
        at = step == segment - at ? segment : at + step;
        left -= step;
        if (left <= 0) {
          part = part + 1 == pattern.size() ? 0 : part + 1;
          left = pattern[part] * unit;
          if (left <= 0 && part % 2 == 1) continue;  // no gap: the next dash follows
        }
        if (at >= segment) break;
      }
    }
    return true;
  }

  void DrawPolygon(const StandardPolygon& polygon) {
    const PenSetting* entry = Entry(polygon.pen);
    if (entry && !entry->shown) return;
    // A colour of the table is shaded as the file shaded its pen's.
    const ColourRef tone = entry && entry->colour
                               ? ShadedColour(ColourRefOf(*entry->colour), polygon.shading)
                               : polygon.colour;
    const ColourRef colour = colourMode_ ? tone : Grey(tone);
    if (polygon.fill != FillKind::Solid) {
      UsePen(Colour(tone), WidthFor(entry, polygon.widthMm),
             PenStyleOf(LineEnd::Butt, LineJoin::Miter));
      for (const HatchSegment& s : HatchLines(polygon.rings, polygon.hatchSpacing,
                                              polygon.hatchAngleDeg, polygon.nonZeroWinding))
        Segment(s.from, s.to);
      if (polygon.fill == FillKind::CrossHatch) {
        for (const HatchSegment& s : HatchLines(polygon.rings, polygon.hatchSpacing,
                                                polygon.hatchAngleDeg + 90, polygon.nonZeroWinding))
          Segment(s.from, s.to);
      }
      return;
    }
    std::vector<std::vector<EmfWriter::Point>> rings;
    rings.reserve(polygon.rings.size());
    for (const PlotRing& ring : polygon.rings) {
      std::vector<EmfWriter::Point> points;
      points.reserve(ring.size());
      for (const PlotPoint& p : ring)
        points.push_back(Logical(p));
      rings.push_back(std::move(points));
    }
    const std::uint32_t brush = metafile_->CreateSolidBrush(colour);
    metafile_->SelectObject(brush);
    metafile_->SelectObject(EmfWriter::kNullPen);
    penSelected_ = false;
    metafile_->SetPolyFillMode(polygon.nonZeroWinding ? EmfWriter::kFillWinding
                                                      : EmfWriter::kFillAlternate);
    metafile_->PolyPolygon(rings);
    metafile_->DeleteObject(brush);
    CheckSize();
  }

  const StandardPlot& plot_;
  const StandardPage& page_;
  const PenTable* pens_;
  const bool colourMode_;
  const std::int16_t angle_;
  const double cosA_;
  const double sinA_;
  const double thinning_;  // in the picture's units
  PlotBox box_;
  double width_ = 0;
  double height_ = 0;
  double scale_ = 1;
  Metafile* metafile_ = nullptr;
  std::vector<EmfWriter::Point> scratch_;
  std::vector<PlotPoint> points_;      // of the polyline being drawn, where it has arcs
  std::vector<double> lengthScratch_;  // of the dashed polyline being drawn
  std::vector<std::vector<EmfWriter::Point>> triangles_;  // of the polyline being drawn
  double halfWidth_ = 0;  // plotter units, of the polyline being drawn
  bool triangleEnds_ = false;
  std::uint32_t miterLimit_ = 0;  // the last one set; none yet
  std::size_t segments_ = 0;
  std::uint32_t pen_ = 0;
  ColourRef penColour_ = 0;
  std::int32_t penWidth_ = -1;
  std::uint32_t penStyle_ = 0;
  bool penSelected_ = false;
};

// One page at a time of the standard reading, drawn by PageDrawing into either writer.
class PageSource final : public PlotSource {
 public:
  explicit PageSource(std::shared_ptr<const StandardPlot> plot) : plot_(std::move(plot)) {}

  int PageCount() const override { return static_cast<int>(plot_->PageCount()); }
  int Page() const override { return page_; }
  void SelectPage(int page) override {
    if (page < 1 || page > PageCount()) throw RuntimeError(err::kSubscriptOutOfRange);
    page_ = page;
  }
  bool HasDrawing() const override { return page_ <= PageCount() && !Shown().Empty(); }
  PlotExtents Extents() const override {
    if (page_ > PageCount()) return {};
    return PlotExtents::OfPage(Shown());
  }
  QRect Frame(std::int16_t angle) const override {
    return PageDrawing<EmfWriter>(*plot_, Index(), {{angle, 1, 0}, {}, nullptr}).Frame();
  }
  FramePlacement Placement(const Rotation& rotation) const override {
    return FramePlacement::OfPage(Shown(), rotation.angle, rotation.cosA, rotation.sinA);
  }
  PlotBox DrawnBox() const override { return HasDrawing() ? Shown().extents : PlotBox{}; }
  const UserUnits* FileUnits() const override {
    return page_ <= PageCount() ? &Shown().userUnits : nullptr;
  }
  void Draw(EmfWriter& metafile, const DrawSetup& setup) const override {
    PageDrawing<EmfWriter>(*plot_, Index(), setup).Draw(metafile);
  }
  void Draw(PictureRecorder& recorder, const DrawSetup& setup,
            const DrawingPart& part) const override {
    PageDrawing<PictureRecorder> drawing(*plot_, Index(), setup);
    std::optional<DrawingParts> halves;
    ItemWork items;
    if (part.first == 0 && part.end == SIZE_MAX && std::thread::hardware_concurrency() > 1) {
      items = WorkOfItems(true);
      halves = PartsOf(items);
    }
    if (!halves) {
      recorder.Reserve(drawing.LinesIn(part), 0);
      return drawing.Draw(recorder, part);
    }
    // The whole page, as for a vector file: each half recorded on a processor of its own,
    // the later then joined to the first, which gives the picture recorded in one go
    // wherever the cut falls. The first recorder's list holds room for both.
    const auto linesOf = [&items](const DrawingPart& half) {
      std::size_t lines = 0;
      for (std::size_t i = half.first; i < std::min(half.end, items.lines.size()); ++i)
        lines += items.lines[i];
      return lines;
    };
    PictureRecorder later = recorder.Behind(linesOf(halves->first), linesOf(halves->later));
    PageDrawing<PictureRecorder> laterDrawing(*plot_, Index(), setup);
    RunBoth(
        true, [&] { drawing.Draw(recorder, halves->first); },
        [&] { laterDrawing.Draw(later, halves->later); });
    recorder.Append(std::move(later));
    if (recorder.Size() > kLargestMetafileBytes) throw RuntimeError(err::kPictureTooLarge);
  }

  // Recording a page costs more than painting it: each thread records its own part.
  bool DrawsInParts() const override { return true; }
  // The cut falls between two lines that do not meet, or before or after a fill, where a
  // painter's run of joined lines ends anyway: each part then paints exactly what the
  // whole does.
  std::optional<DrawingParts> PartsForThreads(double) const override {
    if (page_ > PageCount()) return std::nullopt;
    return PartsOf(*Work());
  }

  std::vector<DrawingPart> Pieces(const DrawingPart& part, std::size_t lines) const override {
    if (page_ > PageCount()) return {part};
    const std::shared_ptr<const ItemWork> work = Work();
    const ItemWork& items = *work;
    std::vector<DrawingPart> pieces;
    std::size_t first = part.first;
    double done = 0;
    for (std::size_t i = first; i < std::min(part.end, items.work.size()); ++i) {
      if (done >= static_cast<double>(lines) && !items.joinsOn[i]) {
        pieces.push_back({first, i});
        first = i;
        done = 0;
      }
      done += items.work[i];
    }
    pieces.push_back({first, part.end});
    return pieces;
  }

 private:
  // Each item's work (its points), whether it is a line starting where the line before
  // it ended, which a painter joins to it, and, when asked for, the lines it records.
  struct ItemWork {
    std::vector<double> work;
    std::vector<bool> joinsOn;
    std::vector<std::size_t> lines;
  };

  static std::optional<DrawingParts> PartsOf(const ItemWork& items) {
    double total = 0;
    for (const double w : items.work)
      total += w;
    if (total < kTwoThreadsFrom) return std::nullopt;
    const std::size_t count = items.work.size();
    std::size_t cut = HalfWorkCut(count, [&](std::size_t i) { return items.work[i]; });
    for (std::size_t step = 0; cut < count && items.joinsOn[cut] && step < kCleanCutReach; ++step)
      ++cut;
    if (cut == 0 || cut >= count) return std::nullopt;
    return DrawingParts{{0, cut}, {cut, count}};
  }

  // The work of the page's items, worked out once: the cut for the threads and each
  // thread's pieces ask for it at once, and it reads every polyline of the page, most of
  // them from memory that no cache holds.
  std::shared_ptr<const ItemWork> Work() const {
    const std::lock_guard lock(workMutex_);
    if (!work_ || workPage_ != page_) {
      work_ = std::make_shared<const ItemWork>(WorkOfItems(false));
      workPage_ = page_;
    }
    return work_;
  }

  ItemWork WorkOfItems(bool withLines) const {
    ItemWork items;
    const std::size_t count = Shown().polylines.size() + Shown().polygons.size();
    items.work.reserve(count);
    items.joinsOn.reserve(count);
    if (withLines) items.lines.reserve(count);
    const StandardPolyline* before = nullptr;
    ForEachItem(
        Shown(),
        [&](const StandardPolyline& line) {
          items.work.push_back(static_cast<double>(line.PointCount()));
          if (withLines) items.lines.push_back(LinesOf(*plot_, line));
          items.joinsOn.push_back(before != nullptr && !line.placed.empty() &&
                                  !before->placed.empty() && line.Front().x == before->Back().x &&
                                  line.Front().y == before->Back().y);
          before = &line;
        },
        [&](const StandardPolygon& polygon) {
          double points = 0;
          for (const PlotRing& ring : polygon.rings)
            points += static_cast<double>(ring.size());
          items.work.push_back(points);
          items.joinsOn.push_back(false);
          if (withLines) items.lines.push_back(0);
          before = nullptr;
        });
    return items;
  }

  std::size_t Index() const { return static_cast<std::size_t>(page_ - 1); }
  const StandardPage& Shown() const { return plot_->pages.at(Index()); }

  std::shared_ptr<const StandardPlot> plot_;
  int page_ = 1;
  mutable std::mutex workMutex_;
  mutable std::shared_ptr<const ItemWork> work_;  // of page `workPage_`
  mutable int workPage_ = 0;
};

}  // namespace

std::unique_ptr<PlotSource> SourceOfPages(std::shared_ptr<const StandardPlot> plot) {
  return std::make_unique<PageSource>(std::move(plot));
}

}  // namespace korvid
