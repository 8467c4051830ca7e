#pragma once

#include <QPointF>
#include <QSizeF>
#include <QString>
#include <optional>

#include "model/StandardPlot.h"
#include "render/MetafilePicture.h"
#include "view/PlotCoordinates.h"

namespace korvid {

// The pointer's place on the drawing and the measuring of distances: what the status bar
// says of them and where the marks go. Points are kept in plotter units, so that a
// measurement stays on the drawing through zooms, scrolling and turns.
class MeasureTool {
 public:
  // The pointer snaps to a line's end within this many pixels of it.
  static constexpr double kSnapPixels = 6;

  bool Measuring() const { return measuring_; }
  // Starts measuring afresh: the next click is the first point.
  void Begin();
  // Ends measuring and takes the marks away.
  void End();
  // A click at `plot`: the first point, the second (the measurement is then shown until
  // the next click starts another), or the first of the next.
  void Click(PlotPoint plot);

  std::optional<PlotPoint> From() const { return from_; }
  std::optional<PlotPoint> To() const { return to_; }
  // What the status bar says of the measuring: the step to take or the measurement.
  QString Text() const;

  // The text of the read-out of the pointer at `plot`.
  static QString PointerText(PlotPoint plot, const UserUnits* units);
  static QString MeasurementText(const Measurement& measurement);

 private:
  bool measuring_ = false;
  std::optional<PlotPoint> from_;
  std::optional<PlotPoint> to_;
};

// The end of a line of `picture` nearest to `at` (a point of a surface of `surface`
// logical pixels, which shows the picture's frame stretched to its size) within
// `withinPx`, as a point of that surface; none when no end is that near.
std::optional<QPointF> NearestLineEnd(const MetafilePicture& picture, QSizeF surface, QPointF at,
                                      double withinPx);

}  // namespace korvid
