#pragma once

#include <vector>

#include "model/PlotUnits.h"
#include "model/StandardPlot.h"

namespace korvid {

// Chord angles are held between these (degrees), and no curve gets more points than
// kMostCurvePoints, whatever the file asks for.
inline constexpr double kFinestChordDeg = 0.5;
inline constexpr double kCoarsestChordDeg = 180;
inline constexpr int kMostCurvePoints = 4096;

double BoundedChordDeg(double chordDeg);

// How finely the output a read is for shows curves: the longest side it may have and the
// largest gap between a chord and its curve worth drawing, both in its pixels. A curve
// needs no more chords than that: a whole circle lies inside the picture's frame, so its
// diameter is no more than that side, and an arc of half a turn or more has a radius no
// larger than it, whatever the scaling does to either axis. Smaller arcs keep the file's
// chord angle. A longest side of 0 leaves the file's chord angle alone (the dump).
struct CurveResolution {
  double longestSide = 0;
  double tolerance = kPixelChordTolerance;
};

// For the picture itself (vector files, the window): its longest side in its own units.
inline constexpr CurveResolution kPictureCurves{kLongestPictureSide, kPictureChordTolerance};

// The resolution in force on this thread for as long as the scope lives: a read sets it
// for the curves it flattens.
class CurveResolutionScope {
 public:
  explicit CurveResolutionScope(const CurveResolution& resolution);
  ~CurveResolutionScope();
  CurveResolutionScope(const CurveResolutionScope&) = delete;
  CurveResolutionScope& operator=(const CurveResolutionScope&) = delete;

 private:
  CurveResolution previous_;
};

// The chords (at least 1) that an arc of `sweepDeg` needs at the resolution in force; no
// bound (INT_MAX) where it sets none.
int ChordsForResolution(double sweepDeg);

// The steps of a circular arc around `centre` from angle `startDeg` through `sweepDeg`
// (counter-clockwise when positive), one chord per `chordDeg` at most, and no more chords
// than the resolution in force needs; none for an arc not given in finite numbers.
ArcSteps StepsOfArc(PlotPoint centre, double radius, double startDeg, double sweepDeg,
                    double chordDeg);

// The points of that arc (AppendArcPoints of StepsOfArc). The start point is not included,
// the end point is.
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
