#pragma once

#include <vector>

#include "model/StandardPlot.h"

namespace korvid {

// Chord angles are held between these (degrees), and no curve gets more points than
// kMostCurvePoints, whatever the file asks for.
inline constexpr double kFinestChordDeg = 0.5;
inline constexpr double kCoarsestChordDeg = 180;
inline constexpr int kMostCurvePoints = 4096;

double BoundedChordDeg(double chordDeg);

// Points of a circular arc around `centre` from angle `startDeg` through `sweepDeg`
// (counter-clockwise when positive), one chord per `chordDeg` at most. The start point
// is not included, the end point is.
void AppendArc(PlotPoint centre, double radius, double startDeg, double sweepDeg, double chordDeg,
               std::vector<PlotPoint>& points);

// The circle through start, middle and end as the arc from start through middle to end
// (AT/RT). Collinear points give the straight line to the end. As AppendArc.
void AppendThreePointArc(PlotPoint start, PlotPoint middle, PlotPoint end, double chordDeg,
                         std::vector<PlotPoint>& points);

// A cubic Bezier curve from p0 with controls p1, p2 to p3, without p0.
void AppendBezier(PlotPoint p0, PlotPoint p1, PlotPoint p2, PlotPoint p3,
                  std::vector<PlotPoint>& points);

}  // namespace korvid
