#pragma once

#include <QRect>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/FileLocation.h"
#include "model/PlotExtents.h"
#include "pens/PenTable.h"
#include "render/DisplaySettings.h"
#include "render/MetafilePicture.h"
#include "render/Rotation.h"
#include "view/PlotCoordinates.h"

namespace korvid {

class EmfWriter;
class PictureRecorder;

// The two readings of a plot file: Korvid's own (the plot model) and the standard HP-GL/2
// reading (pages). Chosen once, where a file is read; everything after asks the source.
enum class Reading : std::uint8_t { Own, Standard };

// Where a drawing reports its progress (the progress panel's bar, in mm).
class DrawProgress {
 public:
  virtual ~DrawProgress() = default;
  virtual void ShowProgress(int widthMm) = 0;
};

// How a drawing is asked for: the turn, with the cosine and sine the caller passes (used
// exactly as passed), the colour mode and the pen table. Without a table (or for a pen it
// does not name) every pen draws as the reading draws it, record for record.
struct DrawSetup {
  Rotation rotation;
  DisplaySettings settings;
  std::shared_ptr<const PenTable> pens;
  // For a picture drawn for one image only: the image's pixels per unit of the frame. Finer
  // detail than its pixels show may then be left out. 0 for a picture that is shown at any
  // size (the window's, a vector file's), which keeps all of it.
  double imagePixelsPerFrameUnit = 0;

  const PenSetting* Pen(int pen) const { return pens ? pens->Find(pen) : nullptr; }
};

// A stretch of a drawing: its items in drawing order from `first` up to (not including)
// `end`. The items of the own reading are its segments, then its arcs.
struct DrawingPart {
  std::size_t first = 0;
  std::size_t end = SIZE_MAX;
};

struct DrawingParts {
  DrawingPart first;  // what comes before the cut
  DrawingPart later;  // the rest
};

// A plot or page read from a file and ready to draw, whichever reading read it: what the
// view, the exports, the converter and the window need of it. Drawing goes into either
// writer of the plot metafile: EmfWriter for its records, PictureRecorder for the picture
// they play as (one drawing routine, templated over the writer, behind both).
class PlotSource {
 public:
  virtual ~PlotSource() = default;

  // The pages to choose from (the own reading has one) and the one drawn, from 1.
  virtual int PageCount() const = 0;
  virtual int Page() const = 0;
  // Error 9 outside 1..PageCount().
  virtual void SelectPage(int page) = 0;

  // Whether the page has anything to draw.
  virtual bool HasDrawing() const = 0;
  // The page's extents in plotter units, as the view, printing and magnification measure
  // it; error 9 for a model plot outside the model.
  virtual PlotExtents Extents() const = 0;
  // The frame of the page's picture at the turn `angle`, in 0.01 mm, known before anything
  // is drawn. Failures (error 6 for an extent that overflows) are the drawing's.
  virtual QRect Frame(std::int16_t angle) const = 0;

  // How the page's picture holds it at `rotation`, for read-outs of the window and pages
  // of a real size; failures as Frame's.
  virtual FramePlacement Placement(const Rotation& rotation) const = 0;
  // The box of the page's lines and fills, without the pens' width; empty with nothing on it.
  virtual PlotBox DrawnBox() const = 0;
  // The file's own coordinates on the page (the units of SC, before RO), where the reading
  // keeps them; none for Korvid's own.
  virtual const UserUnits* FileUnits() const;

  // Draws the page into a metafile just begun with Frame's frame: the mapping mode, then
  // everything drawn. Failures propagate (error 480 for a picture too large).
  virtual void Draw(EmfWriter& metafile, const DrawSetup& setup) const = 0;
  // The same into a recorder, only `part` of it; parts that hold each item once, painted
  // one over the other in order, paint the whole picture.
  virtual void Draw(PictureRecorder& recorder, const DrawSetup& setup,
                    const DrawingPart& part) const = 0;

  // Whether an image of the page is best drawn in parts, each part recorded and painted by
  // a thread of its own once the image's size is known (PartsForThreads), rather than
  // recorded whole first and cut for the two threads (TwoThreadCut).
  virtual bool DrawsInParts() const;
  // The page cut in two parts of about equal work to record and paint at
  // `pixelsPerFrameUnit` (pixels per 0.01 mm), one for each of two threads; nothing for a
  // small page or a source that does not draw in parts.
  virtual std::optional<DrawingParts> PartsForThreads(double pixelsPerFrameUnit) const;

  // `part` in pieces of about `lines` lines each, in order, cut where PartsForThreads may
  // cut: recorded and painted one after the other, they paint what `part` does. `part`
  // itself where the source does not cut.
  virtual std::vector<DrawingPart> Pieces(const DrawingPart& part, std::size_t lines) const;

  // Bytes the records will take, as far as known beforehand, for the writer to reserve.
  virtual std::size_t ExpectedRecordBytes(const DrawSetup& setup) const;
};

// DrawPlot writes the plot metafile `file` for the window, replacing the old one; the
// progress bar shows 15 when the metafile is begun and 40 when it is drawn. A failure
// propagates (error 6 for extents that overflow, before the old file is touched; 9 for a
// record beyond the tables, 480 for a picture too large, a file error: the metafile is
// then absent).
void DrawPlot(const PlotSource& source, const DrawSetup& setup, const FileLocation& file,
              DrawProgress* progress = nullptr);

// The same drawing as the bytes of the metafile, for the converter, which needs no file
// between drawing and writing.
std::vector<std::uint8_t> DrawPlotInMemory(const PlotSource& source, const DrawSetup& setup);

// The picture that playing DrawPlotInMemory's metafile gives (or `part` of it), built
// without the metafile.
MetafilePicture DrawPlotPicture(const PlotSource& source, const DrawSetup& setup,
                                const DrawingPart& part = {});

// The description every plot metafile carries: application "***** ", title
// "HPGL Data Drawing".
std::u16string PlotMetafileDescription();

}  // namespace korvid
