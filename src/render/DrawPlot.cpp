#include "render/DrawPlot.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "model/PlotUnits.h"
#include "model/RuntimeError.h"
#include "model/ValueConversion.h"
#include "render/EmfWriter.h"
#include "render/PaintWork.h"
#include "render/PictureRecorder.h"

namespace korvid {

namespace {

constexpr std::int16_t kPointsOnly = line_style::kPointsOnly;

// Pen numbers 0 to 8 have colours; any other pen keeps the colour in force. 0x00BBGGRR.
std::uint32_t PenColour(std::int16_t pen, std::uint32_t current) {
  static constexpr std::uint32_t kColours[] = {
      0x000000,  // 0 black
      0xFF0000,  // 1 blue
      0x00FF00,  // 2 green
      0xFFFF00,  // 3 cyan
      0x0000FF,  // 4 red
      0xFF00FF,  // 5 magenta
      0x00FFFF,  // 6 yellow
      0x000000,  // 7 black
      0x808080,  // 8 grey
  };
  return pen >= 0 && pen <= 8 ? kColours[pen] : current;
}

// The current plot's width and height in plotter units and the metafile units per
// plotter unit that bring its longer side, with the margin, to kLongestPictureSide.
struct PlotSize {
  float width;
  float height;
  float scale;
};

PlotSize PlotSizeOf(const PlotModel& model) {
  const std::int16_t plot = model.CurPlot;
  PlotModel::CheckPlot(plot);
  const float width = ToSingle(static_cast<double>(model.MaxX[plot]) - model.MinX[plot]);
  const float height = ToSingle(static_cast<double>(model.MaxY[plot]) - model.MinY[plot]);
  const float scale =
      ToSingle(std::min(CheckedDivide(kLongestPictureSide, width + kPictureMarginPlotterUnits),
                        CheckedDivide(kLongestPictureSide, height + kPictureMarginPlotterUnits)));
  return {width, height, scale};
}

// An angle's place around the turn, from 0 up to 4 quarters, growing with the angle:
// enough to weigh an arc's work without an arc tangent per arc.
double QuartersAround(double dx, double dy) {
  const double sum = std::abs(dx) + std::abs(dy);
  if (sum == 0) return 0;
  const double rise = dy / sum;
  if (dx < 0) return 2 - rise;
  return dy < 0 ? 4 + rise : rise;
}

// The work of recording a segment and painting its line, in lines painted: recording a
// segment costs about as much as painting it, recording an arc (its place, its ends as
// angles) about twice as much (timed on the largest plot at 790 pixels wide).
constexpr double kSegmentWork = 2;
constexpr double kArcRecordingWork = 2;

// The work of recording and painting an arc of the plot, in lines painted. Arcs run
// counter-clockwise from their start to their end point; where both are one point, the
// arc is a whole circle.
double ArcWork(const ArcRec& arc, double pixelsPerPlotUnit) {
  const double cx = (static_cast<double>(arc.Left) + arc.Right) / 2;
  const double cy = (static_cast<double>(arc.Top) + arc.Bottom) / 2;
  const double from = QuartersAround(arc.StartX - cx, arc.StartY - cy);
  const double to = QuartersAround(arc.EndX - cx, arc.EndY - cy);
  double quarters = to - from;
  if (quarters <= 0) quarters += 4;
  const double radius = std::max(std::abs(static_cast<double>(arc.Right) - arc.Left),
                                 std::abs(static_cast<double>(arc.Bottom) - arc.Top)) /
                        2;
  return kArcRecordingWork + ArcPaintWorkInLines(radius * pixelsPerPlotUnit, quarters / 4);
}

struct Offset {
  double u;
  double v;
};

// A part of the plot: the segments from `firstSegment` to `lastSegment`, then the arcs from
// `firstArc` to `lastArc` (counted from 1, both ends included; an empty range when the
// last comes before the first).
struct PlotPart {
  std::int32_t firstSegment = 1;
  std::int32_t lastSegment = 0;
  std::int32_t firstArc = 1;
  std::int32_t lastArc = 0;
};

// The part of the model's current plot that the items `part` of its drawing are.
PlotPart PlotPartOf(const PlotModel& model, const DrawingPart& part) {
  const std::int16_t plot = model.CurPlot;
  PlotModel::CheckPlot(plot);
  const std::size_t segments = static_cast<std::size_t>(std::max(model.SegCount[plot], 0));
  const std::size_t items = segments + static_cast<std::size_t>(std::max(model.ArcCount[plot], 0));
  const std::size_t end = std::min(part.end, items);
  const std::size_t first = std::min(part.first, end);
  return {static_cast<std::int32_t>(first + 1), static_cast<std::int32_t>(std::min(end, segments)),
          static_cast<std::int32_t>(std::max(first, segments) - segments + 1),
          static_cast<std::int32_t>(std::max(end, segments) - segments)};
}

// One call of the drawing routine: the scale, the turn and the metafile being written, or
// the recorder that builds its picture directly.
template <typename Metafile>
class PlotDrawing {
 public:
  PlotDrawing(const PlotModel& model, const DrawSetup& setup)
      : model_(model),
        colourMode_(setup.settings.Colour()),
        plot_(model.CurPlot),
        angle_(setup.rotation.angle),
        cosA_(setup.rotation.cosA),
        sinA_(setup.rotation.sinA) {
    const PlotSize size = PlotSizeOf(model);
    width_ = size.width;
    height_ = size.height;
    scale_ = size.scale;
    scaledWidth_ = ToSingle(static_cast<double>(scale_) * width_);
    scaledHeight_ = ToSingle(static_cast<double>(scale_) * height_);
    markerArm_ = std::max(width_ * 0.01 * scale_, height_ * 0.01 * scale_);
  }

  void Draw(Metafile& metafile, const PlotPart& part) {
    metafile_ = &metafile;
    metafile.SetMapMode(EmfWriter::kMapModeHimetric);
    colour_ = ColourInForceBefore(part);
    DrawSegments(part.firstSegment, part.lastSegment);
    DrawArcs(part.firstArc, part.lastArc);
    metafile_ = nullptr;
  }

  EmfWriter::Rect Frame() const {
    const bool quarterTurn = angle_ == 90 || angle_ == 270;
    return {0, 0, FrameSide(quarterTurn ? height_ : width_),
            FrameSide(quarterTurn ? width_ : height_)};
  }

 private:
  // A pen without a colour of its own keeps the one in force: a part that starts after
  // the first segment starts with the colour the segments and arcs before it left.
  std::uint32_t ColourInForceBefore(const PlotPart& part) const {
    const PlotModel& model = model_;
    const bool fromArcs = part.firstSegment > part.lastSegment;
    for (std::int32_t i = fromArcs ? part.firstArc - 1 : 0; i >= 1; --i) {
      if (const std::int16_t pen = model.Arcs(i, plot_).Pen; pen >= 0 && pen <= 8)
        return PenColour(pen, EmfWriter::kColourBlack);
    }
    const std::int32_t before = fromArcs ? model.SegCount[plot_] : part.firstSegment - 1;
    for (std::int32_t i = before; i >= 1; --i) {
      if (const std::int16_t pen = model.Segments(i, plot_).Pen; pen >= 0 && pen <= 8)
        return PenColour(pen, EmfWriter::kColourBlack);
    }
    return EmfWriter::kColourBlack;
  }

  std::int32_t FrameSide(float side) const {
    return RoundToInt32(
        ToSingle(static_cast<double>(scale_) * (side + kPictureMarginPlotterUnits)));
  }

  // Right and down from the plot's top-left corner, in metafile units; each difference
  // is a 32-bit value before it is scaled.
  Offset Scaled(float x, float y) const {
    const PlotModel& model = model_;
    const float dx = ToSingle(static_cast<double>(x) - model.MinX[plot_]);
    const float dy = ToSingle(static_cast<double>(model.MaxY[plot_]) - y);
    return {ToSingle(static_cast<double>(dx) * scale_), ToSingle(static_cast<double>(dy) * scale_)};
  }

  Offset Rotated(Offset p) const {
    switch (angle_) {
      case 90:
        return {scaledHeight_ + cosA_ * p.u - sinA_ * p.v, sinA_ * p.u + cosA_ * p.v};
      case 180:
        return {scaledWidth_ + cosA_ * p.u - sinA_ * p.v,
                scaledHeight_ + sinA_ * p.u + cosA_ * p.v};
      case 270:
        return {cosA_ * p.u - sinA_ * p.v, scaledWidth_ + sinA_ * p.u + cosA_ * p.v};
      default:
        return p;
    }
  }

  Offset Place(float x, float y) const { return Rotated(Scaled(x, y)); }

  static std::int32_t X(Offset p) { return RoundToInt32(p.u); }
  static std::int32_t Y(Offset p) { return RoundToInt32(-p.v); }

  // In colour mode every element has a pen of its own; in black and white the surface's
  // default pen draws everything.
  std::uint32_t SelectPen(std::int16_t pen, std::uint32_t style) {
    colour_ = PenColour(pen, colour_);
    const std::uint32_t handle = metafile_->CreatePen(style, 1, colour_);
    metafile_->SelectObject(handle);
    return handle;
  }

  // An upright cross of arm length d, not turned with the plot.
  void PointMarker(Offset p) {
    metafile_->MoveTo(RoundToInt32(p.u - markerArm_), Y(p));
    metafile_->LineTo(RoundToInt32(p.u + markerArm_), Y(p));
    metafile_->MoveTo(X(p), RoundToInt32(-p.v - markerArm_));
    metafile_->LineTo(X(p), RoundToInt32(-p.v + markerArm_));
  }

  void DrawSegments(std::int32_t first, std::int32_t last) {
    const bool colour = colourMode_;
    for (std::int32_t i = first; i <= last; ++i) {
      const Segment& segment = model_.Segments(i, plot_);
      const Offset start = Place(segment.X1, segment.Y1);
      const Offset end = Place(segment.X2, segment.Y2);
      const bool pointsOnly = segment.LineStyle == kPointsOnly;
      std::uint32_t pen = 0;
      if (colour) pen = SelectPen(segment.Pen, pointsOnly ? 0 : std::abs(segment.LineStyle));
      if (pointsOnly) {
        PointMarker(start);
        PointMarker(end);
      } else {
        metafile_->MoveTo(X(start), Y(start));
        metafile_->LineTo(X(end), Y(end));
      }
      if (colour) metafile_->DeleteObject(pen);
    }
  }

  void DrawArcs(std::int32_t first, std::int32_t last) {
    const bool colour = colourMode_;
    for (std::int32_t i = first; i <= last; ++i) {
      const ArcRec& arc = model_.Arcs(i, plot_);
      const Offset corner1 = Place(arc.Left, arc.Top);
      const Offset corner2 = Place(arc.Right, arc.Bottom);
      const Offset start = Place(arc.StartX, arc.StartY);
      Offset end = Place(arc.EndX, arc.EndY);
      end = {ToSingle(end.u), ToSingle(end.v)};
      const bool pointsOnly = arc.LineStyle == kPointsOnly;
      std::uint32_t pen = 0;
      if (colour) pen = SelectPen(arc.Pen, pointsOnly ? 0 : std::abs(arc.LineStyle));
      if (pointsOnly) {
        PointMarker(start);
        PointMarker(end);
      } else {
        metafile_->Arc({X(corner1), Y(corner1), X(corner2), Y(corner2)}, X(start), Y(start), X(end),
                       Y(end));
      }
      if (colour) metafile_->DeleteObject(pen);
    }
  }

  const PlotModel& model_;
  const bool colourMode_;
  const std::int16_t plot_;
  const std::int16_t angle_;
  const double cosA_;
  const double sinA_;
  float width_ = 0;
  float height_ = 0;
  float scale_ = 0;
  float scaledWidth_ = 0;
  float scaledHeight_ = 0;
  double markerArm_ = 0;
  Metafile* metafile_ = nullptr;
  std::uint32_t colour_ = EmfWriter::kColourBlack;
};

// The model's current plot, drawn by PlotDrawing into either writer.
class ModelSource final : public PlotSource {
 public:
  ModelSource(const PlotModel& model, std::shared_ptr<const PlotModel> owned)
      : model_(model), owned_(std::move(owned)) {}

  int PageCount() const override { return 1; }
  int Page() const override { return 1; }
  void SelectPage(int page) override {
    if (page != 1) throw RuntimeError(err::kSubscriptOutOfRange);
  }
  bool HasDrawing() const override { return model_.SegCount[1] != 0 || model_.ArcCount[1] != 0; }
  PlotExtents Extents() const override { return PlotExtents::OfCurrentPlot(model_); }
  QRect Frame(std::int16_t angle) const override {
    const EmfWriter::Rect frame = PlotDrawing<PictureRecorder>(model_, {{angle, 1, 0}, {}}).Frame();
    return QRect(frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top);
  }

  FramePlacement Placement(const Rotation& rotation) const override {
    return FramePlacement::OfPlot(model_, rotation.angle, rotation.cosA, rotation.sinA);
  }
  PlotBox DrawnBox() const override {
    if (!HasDrawing()) return {};
    const PlotExtents extents = Extents();
    return {extents.MinX, extents.MinY, extents.MaxX, extents.MaxY, false};
  }

  void Draw(EmfWriter& metafile, const DrawSetup& setup) const override {
    PlotDrawing<EmfWriter>(model_, setup).Draw(metafile, PlotPartOf(model_, {}));
  }
  void Draw(PictureRecorder& recorder, const DrawSetup& setup,
            const DrawingPart& part) const override {
    const PlotPart plotPart = PlotPartOf(model_, part);
    recorder.Reserve(
        static_cast<std::size_t>(std::max(0, plotPart.lastSegment - plotPart.firstSegment + 1)),
        static_cast<std::size_t>(std::max(0, plotPart.lastArc - plotPart.firstArc + 1)));
    PlotDrawing<PictureRecorder>(model_, setup).Draw(recorder, plotPart);
  }

  // Recording a part costs about as much as painting it: each thread records its own.
  bool DrawsInParts() const override { return true; }
  std::optional<DrawingParts> PartsForThreads(double pixelsPerFrameUnit) const override {
    const std::int16_t plot = model_.CurPlot;
    PlotModel::CheckPlot(plot);
    const auto segments = static_cast<std::size_t>(std::max(model_.SegCount[plot], 0));
    const auto arcs = static_cast<std::size_t>(std::max(model_.ArcCount[plot], 0));
    if (segments + arcs < kTwoThreadsFrom) return std::nullopt;
    const double pixelsPerPlotUnit = PlotSizeOf(model_).scale * pixelsPerFrameUnit;
    const std::size_t cut = HalfWorkCut(segments + arcs, [&](std::size_t i) {
      if (i < segments) return kSegmentWork;
      return ArcWork(model_.Arcs(static_cast<std::int32_t>(i - segments + 1), plot),
                     pixelsPerPlotUnit);
    });
    return DrawingParts{{0, cut}, {cut, segments + arcs}};
  }

  std::size_t ExpectedRecordBytes(const DrawSetup& setup) const override {
    const std::int16_t plot = model_.CurPlot;
    PlotModel::CheckPlot(plot);
    const std::size_t perSegment = setup.settings.Colour() ? 84 : 32;
    const std::size_t perArc = setup.settings.Colour() ? 92 : 40;
    return perSegment * static_cast<std::size_t>(std::max(model_.SegCount[plot], 0)) +
           perArc * static_cast<std::size_t>(std::max(model_.ArcCount[plot], 0));
  }

 private:
  const PlotModel& model_;
  std::shared_ptr<const PlotModel> owned_;
};

}  // namespace

std::unique_ptr<PlotSource> SourceOfModel(const PlotModel& model) {
  return std::make_unique<ModelSource>(model, nullptr);
}

std::unique_ptr<PlotSource> SourceOfModel(std::shared_ptr<const PlotModel> model) {
  const PlotModel& shown = *model;
  return std::make_unique<ModelSource>(shown, std::move(model));
}

}  // namespace korvid
