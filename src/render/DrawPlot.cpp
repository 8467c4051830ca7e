#include "render/DrawPlot.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "model/ValueConversion.h"
#include "render/EmfWriter.h"
#include "render/MetafileDrawing.h"
#include "render/PaintWork.h"
#include "render/PictureRecorder.h"

namespace korvid {

namespace {

constexpr double kLongestSide = 32767;  // 0.01 mm: 327.67 mm
constexpr double kMarginPlotterUnits = 100;
constexpr std::int16_t kPointsOnly = line_style::kPointsOnly;
constexpr int kProgressStarted = 15;
constexpr int kProgressDone = 40;

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
// plotter unit that bring its longer side, with the margin, to kLongestSide.
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
  const float scale = ToSingle(std::min(CheckedDivide(kLongestSide, width + kMarginPlotterUnits),
                                        CheckedDivide(kLongestSide, height + kMarginPlotterUnits)));
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

// One call of the drawing routine: the scale, the turn and the metafile being written, or
// the recorder that builds its picture directly.
template <typename Metafile>
class PlotDrawing {
 public:
  PlotDrawing(const DrawContext& context, std::int16_t angle, double cosA, double sinA)
      : context_(context), plot_(context.model.CurPlot), angle_(angle), cosA_(cosA), sinA_(sinA) {
    const PlotSize size = PlotSizeOf(context.model);
    width_ = size.width;
    height_ = size.height;
    scale_ = size.scale;
    scaledWidth_ = ToSingle(static_cast<double>(scale_) * width_);
    scaledHeight_ = ToSingle(static_cast<double>(scale_) * height_);
    markerArm_ = std::max(width_ * 0.01 * scale_, height_ * 0.01 * scale_);
  }

  void Draw() {
    context_.metafile.Remove();
    EmfWriter metafile = NewMetafile();
    Record(metafile);
    metafile.WriteFile(context_.metafile);
  }

  std::vector<std::uint8_t> DrawInMemory() {
    EmfWriter metafile = NewMetafile();
    Record(metafile);
    return metafile.Release();
  }

  std::shared_ptr<const MetafilePicture::Drawing> DrawPicture(const PlotPart& part) {
    PictureRecorder recorder(Frame(), PlotMetafileDescription());
    recorder.Reserve(
        static_cast<std::size_t>(std::max(0, part.lastSegment - part.firstSegment + 1)),
        static_cast<std::size_t>(std::max(0, part.lastArc - part.firstArc + 1)));
    metafile_ = &recorder;
    recorder.SetMapMode(EmfWriter::kMapModeHimetric);
    colour_ = ColourInForceBefore(part);
    DrawSegments(part.firstSegment, part.lastSegment);
    DrawArcs(part.firstArc, part.lastArc);
    metafile_ = nullptr;
    return recorder.Finish();
  }

  EmfWriter::Rect Frame() const {
    const bool quarterTurn = angle_ == 90 || angle_ == 270;
    return {0, 0, FrameSide(quarterTurn ? height_ : width_),
            FrameSide(quarterTurn ? width_ : height_)};
  }

 private:
  EmfWriter NewMetafile() const {
    return EmfWriter(Frame(), PlotMetafileDescription(), ExpectedRecordBytes());
  }

  void Record(Metafile& metafile) {
    metafile_ = &metafile;
    Progress(kProgressStarted);
    metafile.SetMapMode(EmfWriter::kMapModeHimetric);
    colour_ = EmfWriter::kColourBlack;
    DrawSegments(1, context_.model.SegCount[plot_]);
    DrawArcs(1, context_.model.ArcCount[plot_]);
    Progress(kProgressDone);
    metafile_ = nullptr;
  }

  // A pen without a colour of its own keeps the one in force: a part that starts after
  // the first segment starts with the colour the segments and arcs before it left.
  std::uint32_t ColourInForceBefore(const PlotPart& part) const {
    const PlotModel& model = context_.model;
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
    return RoundToInt32(ToSingle(static_cast<double>(scale_) * (side + kMarginPlotterUnits)));
  }

  std::size_t ExpectedRecordBytes() const {
    const PlotModel& model = context_.model;
    const std::size_t perSegment = context_.settings.Colour() ? 84 : 32;
    const std::size_t perArc = context_.settings.Colour() ? 92 : 40;
    return perSegment * static_cast<std::size_t>(std::max(model.SegCount[plot_], 0)) +
           perArc * static_cast<std::size_t>(std::max(model.ArcCount[plot_], 0));
  }

  void Progress(int widthMm) const {
    if (context_.progress) context_.progress->ShowProgress(widthMm);
  }

  // Right and down from the plot's top-left corner, in metafile units; each difference
  // is a 32-bit value before it is scaled.
  Offset Scaled(float x, float y) const {
    const PlotModel& model = context_.model;
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
    const bool colour = context_.settings.Colour();
    for (std::int32_t i = first; i <= last; ++i) {
      const Segment& segment = context_.model.Segments(i, plot_);
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
    const bool colour = context_.settings.Colour();
    for (std::int32_t i = first; i <= last; ++i) {
      const ArcRec& arc = context_.model.Arcs(i, plot_);
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

  const DrawContext& context_;
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

}  // namespace

std::optional<std::uint32_t> DesignPenColour(std::int16_t pen) {
  if (pen < 0 || pen > 8) return std::nullopt;
  return PenColour(pen, 0);
}

std::u16string PlotMetafileDescription() {
  return std::u16string(u"***** ") + u'\0' + u"HPGL Data Drawing" + u'\0' + u'\0';
}

void DrawPlot(const DrawContext& context, std::int16_t angle, double cosA, double sinA) {
  PlotDrawing<EmfWriter> drawing(context, angle, cosA, sinA);
  drawing.Draw();
}

std::vector<std::uint8_t> DrawPlotInMemory(const PlotModel& model, const DisplaySettings& settings,
                                           std::int16_t angle, double cosA, double sinA) {
  const DrawContext context{model, settings, FileLocation(std::string()), nullptr};
  PlotDrawing<EmfWriter> drawing(context, angle, cosA, sinA);
  return drawing.DrawInMemory();
}

MetafilePicture DrawPlotPicture(const PlotModel& model, const DisplaySettings& settings,
                                std::int16_t angle, double cosA, double sinA) {
  PlotModel::CheckPlot(model.CurPlot);
  return DrawPlotPicturePart(model, settings, angle, cosA, sinA,
                             {1, model.SegCount[model.CurPlot], 1, model.ArcCount[model.CurPlot]});
}

MetafilePicture DrawPlotPicturePart(const PlotModel& model, const DisplaySettings& settings,
                                    std::int16_t angle, double cosA, double sinA,
                                    const PlotPart& part) {
  const DrawContext context{model, settings, FileLocation(std::string()), nullptr};
  PlotDrawing<PictureRecorder> drawing(context, angle, cosA, sinA);
  return MetafilePicture::FromDrawing(drawing.DrawPicture(part));
}

QRect PlotPictureFrame(const PlotModel& model, std::int16_t angle) {
  const DisplaySettings settings;
  const DrawContext context{model, settings, FileLocation(std::string()), nullptr};
  const EmfWriter::Rect frame = PlotDrawing<PictureRecorder>(context, angle, 1, 0).Frame();
  return QRect(frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top);
}

std::optional<PlotParts> BalancedPlotParts(const PlotModel& model, double pixelsPerFrameUnit,
                                           std::size_t smallest) {
  const std::int16_t plot = model.CurPlot;
  PlotModel::CheckPlot(plot);
  const std::int32_t segments = std::max(model.SegCount[plot], 0);
  const std::int32_t arcs = std::max(model.ArcCount[plot], 0);
  if (static_cast<std::size_t>(segments) + static_cast<std::size_t>(arcs) < smallest)
    return std::nullopt;
  const double pixelsPerPlotUnit = PlotSizeOf(model).scale * pixelsPerFrameUnit;
  std::vector<double> arcWork(static_cast<std::size_t>(arcs) + 1, 0.0);
  double total = kSegmentWork * segments;
  for (std::int32_t i = 1; i <= arcs; ++i) {
    arcWork[i] = ArcWork(model.Arcs(i, plot), pixelsPerPlotUnit);
    total += arcWork[i];
  }
  // The cut falls among the segments when they carry half of all work, else among the arcs.
  if (kSegmentWork * segments >= total / 2) {
    const auto cut = static_cast<std::int32_t>(std::ceil(total / 2 / kSegmentWork));
    return PlotParts{{1, cut, 1, 0}, {cut + 1, segments, 1, arcs}};
  }
  double done = kSegmentWork * segments;
  std::int32_t cut = 0;
  while (cut < arcs && done < total / 2)
    done += arcWork[++cut];
  return PlotParts{{1, segments, 1, cut}, {1, 0, cut + 1, arcs}};
}

}  // namespace korvid
