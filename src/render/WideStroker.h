#pragma once

#include <QPointF>

#include "render/DevicePen.h"
#include "render/ScanFill.h"

namespace korvid {

// Strokes solid lines wider than a pixel into a ScanFill, as QPainter strokes them with the
// same pen: each line a rectangle of the pen's width; a line that starts where the one
// before ended continues it, joined at the corner (round, bevelled, or mitered up to the
// miter limit and bevelled beyond it, as SVG and PDF do); and the ends of each run of
// joined lines flat, square (half the width beyond the end) or round. Every piece is
// convex and painted as soon as it is known, so a run of any length needs no memory; where
// pieces meet they share their edges, and the fill's rule gives the pixels the whole outline
// would, but for pixel centres within a point of QPainter's grid of a corner's outline,
// where a gentle corner is cut along its miter line (see Continue). A lone line with flat or
// square ends is the rectangle QPainter draws for one, on its grid as QPainter puts it there.
class WideStroker {
 public:
  explicit WideStroker(ScanFill& fill) : fill_(fill) {}

  void SetPen(const DevicePen& pen);
  void Line(QPointF from, QPointF to);
  // A dot as QPainter draws a point: a disc of the pen's width, or a square of it for a pen
  // with flat or square ends.
  void Dot(QPointF at);
  // Ends the run of joined lines.
  void Finish();

 private:
  void Continue(QPointF from, QPointF to);
  void LoneLine(QPointF from, QPointF to);
  void Cap(QPointF at, QPointF outwards);
  // `cross` and `cosine` of the two lines' directions; `shorter`: the length of the shorter
  // line.
  void Join(QPointF at, QPointF before, QPointF after, double cross, double cosine, double shorter);
  // Whether the corner is cut along its miter line between the two lines' pieces.
  bool Tiled(double cross, double cosine, double shorter) const;
  // The line's piece waiting for its end.
  void Body(QPointF endPlus, QPointF endMinus);
  void EndRun();

  ScanFill& fill_;
  double half_ = 0;        // half the pen's width
  double bandAcross_ = 0;  // of a band across a join, the part of the half width it spans
  PenEnds ends_ = PenEnds::kRound;
  PenJoins joins_ = PenJoins::kRound;
  double miterLimitSquared_ = 25;
  int lines_ = 0;         // of the run going on at `end_`, those of no length included
  bool started_ = false;  // a line of some length has been drawn, the last along `along_`
  QPointF first_;         // where the run's first line started
  QPointF end_;
  QPointF along_;  // of unit length
  double length_ = 0;
  double tiledCosine_ = 1;  // of the sharpest turn cut along its miter line
  // The corners the piece of the line along `along_` starts with, on the side of its normal
  // and on the other, and where the line ends.
  QPointF startPlus_, startMinus_, pendingEnd_;
};

}  // namespace korvid
