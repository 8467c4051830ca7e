#pragma once

#include <QRect>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/FileLocation.h"
#include "model/PlotModel.h"
#include "render/DisplaySettings.h"
#include "render/MetafilePicture.h"

namespace korvid {

// Where the drawing routine reports its progress (the progress panel's bar, in mm).
class DrawProgress {
 public:
  virtual ~DrawProgress() = default;
  virtual void ShowProgress(int widthMm) = 0;
};

struct DrawContext {
  const PlotModel& model;
  const DisplaySettings& settings;
  FileLocation metafile;
  DrawProgress* progress = nullptr;
};

// Writes the current plot into the plot metafile `context.metafile`, turned by `angle`
// (0, 90 right, 180, 270 left) with the caller's cosine and sine, used exactly as passed.
// The longer side of the plot plus a 100-unit margin comes to 32767 units of 0.01 mm.
// Segments first, then arcs; in colour mode each in its pen's colour and dash pattern.
// A failure (error 6 for an extent that overflows, error 9 for a record beyond the
// tables, a file error) propagates; the metafile is then absent.
void DrawPlot(const DrawContext& context, std::int16_t angle, double cosA, double sinA);

// The same drawing as DrawPlot, returned as the bytes of the metafile instead of written to
// a file: for the converter, which needs no file between drawing and writing.
std::vector<std::uint8_t> DrawPlotInMemory(const PlotModel& model, const DisplaySettings& settings,
                                           std::int16_t angle, double cosA, double sinA);

// The picture that playing DrawPlotInMemory's metafile gives, built without the metafile.
MetafilePicture DrawPlotPicture(const PlotModel& model, const DisplaySettings& settings,
                                std::int16_t angle, double cosA, double sinA);

// A part of DrawPlotPicture's picture: the segments from `firstSegment` to `lastSegment`,
// then the arcs from `firstArc` to `lastArc` (counted from 1, both ends included; an empty
// range when the last comes before the first). Parts that hold each segment and arc once,
// painted one over the other in order, paint the whole picture.
struct PlotPart {
  std::int32_t firstSegment = 1;
  std::int32_t lastSegment = 0;
  std::int32_t firstArc = 1;
  std::int32_t lastArc = 0;
};

MetafilePicture DrawPlotPicturePart(const PlotModel& model, const DisplaySettings& settings,
                                    std::int16_t angle, double cosA, double sinA,
                                    const PlotPart& part);

// The frame of DrawPlotPicture's picture in 0.01 mm, known before any of it is drawn.
QRect PlotPictureFrame(const PlotModel& model, std::int16_t angle);

struct PlotParts {
  PlotPart first;  // what comes before the cut
  PlotPart later;  // the rest
};

// DrawPlotPicture's picture cut in two parts of about equal work to draw and paint at
// `pixelsPerFrameUnit` (pixels per 0.01 mm), one for each of two threads; nothing for a
// plot of fewer than `smallest` segments and arcs.
std::optional<PlotParts> BalancedPlotParts(const PlotModel& model, double pixelsPerFrameUnit,
                                           std::size_t smallest);

// The colour (0x00BBGGRR) DrawPlot gives a pen in colour mode; none for a pen without one of
// its own, which draws in the colour in force.
std::optional<std::uint32_t> DesignPenColour(std::int16_t pen);

// The description every plot metafile carries: application "***** ", title
// "HPGL Data Drawing".
std::u16string PlotMetafileDescription();

}  // namespace korvid
