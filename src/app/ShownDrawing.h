#pragma once

#include <cstdint>
#include <memory>

#include "model/FileLocation.h"
#include "model/PlotExtents.h"
#include "render/PlotSource.h"

namespace korvid {

// The plot or page on show, through the source of the last read, whichever reading made
// it: what the view and output commands take from it (its pages, its extents) and the way
// to write it into the plot metafile again.
class ShownDrawing {
 public:
  // `source` is on show from its first page; none: nothing is (no file, or a read about to
  // take the memory of the last one).
  void Show(std::unique_ptr<PlotSource> source);
  const PlotSource* Source() const { return source_.get(); }

  // The pages of the read on show; one with nothing on show.
  int PageCount() const;
  // The page shown, from 1.
  int Page() const;
  // Error 9 for a page outside 1..PageCount().
  void SelectPage(int page);
  // Whether the plot or page shown has anything to draw.
  bool HasDrawing() const;

  // The extents of the plot or page on show (the inverted start values with nothing on
  // show); error 9 for a model plot outside the model.
  PlotExtents Extents() const;
  // The box of its lines and fills, without the pens' width; empty with nothing on show.
  PlotBox DrawnBox() const;
  // How its picture holds it, turned by `angle` as the rotation commands turn it; error 9
  // with nothing on show.
  FramePlacement Placement(std::int16_t angle) const;
  // The file's own units on the page on show (standard reading); none otherwise.
  const UserUnits* FileUnits() const { return source_ ? source_->FileUnits() : nullptr; }
  // Writes the plot or page on show into the plot metafile, as DrawPlot does, and returns
  // the picture that playing it gives, recorded at the same time on a second thread
  // rather than decoded from the file afterwards; error 9 with nothing on show. Failures
  // are the metafile's; a recording that fails alone leaves the picture to the file.
  MetafilePicture Draw(const DrawSetup& setup, const FileLocation& metafile,
                       DrawProgress* progress) const;

 private:
  std::unique_ptr<PlotSource> source_;
};

}  // namespace korvid
