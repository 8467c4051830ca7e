#pragma once

#include <QPointF>
#include <QRectF>
#include <QTransform>
#include <vector>

#include "model/PlotUnits.h"
#include "render/FrameArc.h"

namespace korvid {

class StrokeSink;

// Turns arcs into polylines in device space, fine enough that no chord strays from the
// curve by more than a fraction of a pixel at the size the arc is painted. An arc much
// larger than the painted window is only flattened where it crosses the window, so that
// the work stays bounded at any zoom.
class ArcFlattener {
 public:
  // `frameToDevice`: an affine map. `window`: the device area that can show anything.
  // `tolerance`: the largest gap between chord and curve, in device pixels.
  ArcFlattener(const QTransform& frameToDevice, const QRectF& window,
               double tolerance = kScreenTolerance);

  // A fraction of a screen pixel; on a printer the same length in millimetres serves.
  static constexpr double kScreenTolerance = kPixelChordTolerance;
  static constexpr int kMostChords = 1 << 15;

  // How many chords (1 to kMostChords) an arc of `sweep` radians needs on the ellipse with
  // semi-axis vectors `u` and `v` to keep within `tolerance` of it: the sweep over the
  // angle step that keeps that gap on a circle as large as the longer axis.
  static int ChordCount(QPointF u, QPointF v, double sweep, double tolerance);
  // The same by that definition, with hypot and acos: what ChordCount always gives.
  static int ChordCountByDefinition(QPointF u, QPointF v, double sweep, double tolerance);

  void Flatten(const FrameArc& arc, StrokeSink& sink);

 private:
  // The arc's ellipse in device space: origin + u cos t + v sin t.
  struct Ellipse {
    QPointF origin, u, v;
    QPointF At(double t) const;
    QRectF Bounds() const;
  };

  Ellipse ToDevice(const FrameArc& arc) const;
  void FlattenVisible(const Ellipse& ellipse, double start, double sweep, StrokeSink& sink);
  void Piece(const Ellipse& ellipse, double start, double sweep, StrokeSink& sink);
  void AddCrossings(double centre, double a, double b, double edge, double start, double sweep,
                    std::vector<double>& along) const;

  static double StepFor(double radius, double tolerance);
  static int EstimatedChordCount(QPointF u, QPointF v, double sweep, double tolerance);

  QTransform map_;
  QRectF window_;
  double tolerance_;
  QRectF roomy_;  // an ellipse inside this is flattened whole
  std::vector<QPointF> points_;
  std::vector<double> cuts_;
};

}  // namespace korvid
