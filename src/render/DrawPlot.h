#pragma once

#include <cstdint>
#include <string>

#include "model/FileLocation.h"
#include "model/PlotModel.h"
#include "render/DisplaySettings.h"

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

// The description every plot metafile carries: application "***** ", title
// "HPGL Data Drawing".
std::u16string PlotMetafileDescription();

}  // namespace korvid
