#pragma once

#include <cstdint>
#include <memory>

#include "hpgl2/StandardReadOutcome.h"
#include "model/PlotExtents.h"
#include "model/PlotModel.h"
#include "render/DrawPlot.h"
#include "view/PlotCoordinates.h"

namespace korvid {

// The two ways of reading a plot file: the design's reading into the plot model, and the
// standard HP-GL/2 reading into pages.
enum class Reading { Design, Standard };

// Which reading produced the drawing on show, and what the view and output commands take
// from it: the extents of the plot or page shown and the way to write it into the plot
// metafile again. For the design's reading it is the plot model's current plot, exactly
// as before; for the standard reading it is one page of the last standard read.
class ShownDrawing {
 public:
  Reading Source() const { return reading_; }

  // The design's reading is on show: the standard read, if any, is let go.
  void ShowDesign();
  // A standard read is on show, from its first page.
  void ShowStandard(std::shared_ptr<const StandardReadOutcome> read);

  // The last standard read while it is on show, else null.
  const StandardReadOutcome* Standard() const { return standard_.get(); }

  // Pages of the standard read on show; the design's reading has one.
  int PageCount() const;
  // The page shown, from 1.
  int Page() const { return page_; }
  // Error 9 for a page outside 1..PageCount().
  void SelectPage(int page);
  // Whether the plot or page shown has anything to draw.
  bool HasDrawing(const PlotModel& model) const;

  // The extents of the plot or page on show; error 9 for a model plot outside the model.
  PlotExtents Extents(const PlotModel& model) const;
  // The box of the lines and fills on show, plotter units, without the pens' width; empty
  // with nothing on show.
  PlotBox DrawnBox(const PlotModel& model) const;
  // How the picture of the plot or page on show holds it, turned by `angle` as the
  // rotation commands turn it; error 9 with nothing on show.
  FramePlacement Placement(const PlotModel& model, std::int16_t angle) const;
  // The file's own units on the page on show; none in the design's reading.
  const UserUnits* UserUnitsShown() const;
  // Writes the plot or page on show into the plot metafile, as DrawPlot does.
  void Draw(const DrawContext& context, std::int16_t angle, double cosA, double sinA) const;

 private:
  Reading reading_ = Reading::Design;
  std::shared_ptr<const StandardReadOutcome> standard_;
  int page_ = 1;
};

}  // namespace korvid
