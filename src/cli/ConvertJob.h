#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "hpgl2/CurveFlattening.h"
#include "model/DrawingBudget.h"
#include "model/RuntimeError.h"
#include "output/DrawingExport.h"
#include "pens/PenTable.h"
#include "render/PlotSource.h"

namespace korvid {

// One file to draw: read, draw and written without a file in between, so that many can
// run at once in one process.
struct ConvertJob {
  std::string input;   // "-": standard input
  std::string output;  // "-": standard output
  ExportFormat format = ExportFormat::Png;
  std::int16_t rotation = 0;
  bool mono = false;
  int widthPx = 0;      // raster width; 0 = from the resolution or the thumbnail size
  int dpi = 0;          // raster resolution; 0 = the default
  int thumbnailPx = 0;  // the longer side of a raster; 0 = not a thumbnail
  Reading reading = Reading::Own;
  int page = 1;  // from 1
  // When the reading draws nothing, the first page of the other reading: a file manager
  // has no way to ask for the other reading, and keeps a failed thumbnail for good.
  bool otherReadingIfNothing = false;
  // The sheet of an SVG or PDF file, and of an image asked for at a real size (a
  // resolution, a scale or a paper); at 1:1 the drawing's own size.
  PageRequest sheet;
  std::shared_ptr<const PenTable> pens;  // null: the pens as the reading draws them
  // What the reading and the drawing may take, shared with the other jobs of a batch;
  // none: nothing is counted.
  DrawingBudget* budget = nullptr;
};

struct ConvertOutcome {
  bool done = false;
  std::string notes;    // what the read met (skipped commands, a cut), one line each
  std::string failure;  // why nothing was written, when not done
  // The budget was spent while other jobs held part of it: alone, the job may fit.
  bool budgetShared = false;
};

// Never throws for a bad file or a failed write: the outcome says what happened.
ConvertOutcome RunConvertJob(const ConvertJob& job);

// How finely the job's output shows curves: the longest side its image may have, or the
// plot metafile's own 0.01 mm for vector files.
CurveResolution CurveResolutionFor(const ConvertJob& job);

// The width of a raster whose longer side is `longerPx` (or, for a tall frame, as near as
// whole pixels allow without going beyond it), for a frame in 0.01 mm.
int ThumbnailWidth(int frameWidth, int frameHeight, int longerPx);

// "run-time error N (what it means)", as every message of the converter says it.
std::string FailureReason(const RuntimeError& failure);

}  // namespace korvid
