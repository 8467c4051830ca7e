#pragma once

#include <cstdint>
#include <vector>

#include "hpgl2/GraphicsState.h"
#include "hpgl2/PageBuilder.h"
#include "hpgl2/PlotScaling.h"
#include "hpgl2/PolygonBuffer.h"
#include "hpgl2/StandardReadOutcome.h"

namespace korvid {

// What the plotter draws with, owned by the interpreter: the graphics state, the scaling
// in force and where strokes go.
struct PlotterContext {
  PlotterState& state;
  const PlotTransform& transform;
  const ScalingPoints& points;  // P1 and P2 in force
  PageBuilder& page;
  PolygonBuffer& buffer;
  StandardReadOutcome& outcome;
  // Pen 0 draws as any pen does instead of being no pen (for a pen table that shows it).
  bool penZeroDraws = false;
};

// The pen of an HP-GL/2 plotter: its moves, line types and widths, arcs and curves,
// rectangles, wedges and polygon mode, in plotter units. Moves go to one stroke target,
// the page or (between PM0 and PM2) the polygon buffer.
class Plotter {
 public:
  explicit Plotter(const PlotterContext& context) : c_(context) {}

  // The stroke of the selected pen in the current line type, made again after anything
  // that may have changed it.
  const StrokeStyle& Stroke() { return strokeValid_ ? stroke_ : MakeStroke(); }
  void StyleMayHaveChanged() { strokeValid_ = false; }
  // The polygon mode of the state, after a reset or PM.
  void FollowPolygonMode();
  bool InPolygonMode() const { return target_ != &c_.page; }
  int SelectedPen() const { return selectedPen_; }
  // Whether the selected pen draws at all: pen 0 is no pen.
  bool HasPen() const { return selectedPen_ != 0 || c_.penZeroDraws; }
  // A curve or label drawn, counted in all and for its pen.
  void CountArc() {
    ++c_.outcome.counts.arcs;
    ++c_.outcome.countsByPen[selectedPen_].arcs;
  }
  void CountLabel() {
    ++c_.outcome.counts.labels;
    ++c_.outcome.countsByPen[selectedPen_].labels;
  }

  // A point in user units (relative to the pen, or absolute) in plotter units.
  PlotPoint Point(double x, double y, bool relative) const {
    const PlotTransform& t = c_.transform;
    if (relative) return {c_.state.pen.x + t.XUnits(x), c_.state.pen.y + t.YUnits(y)};
    return t.ToPlotter({x, y});
  }
  PlotPoint PenInUserUnits() const { return c_.transform.ToUser(c_.state.pen); }
  // The polygon buffer holds the moves of polygon mode; the pen's own state, its dot and
  // where labels return to, is the page's. (The page is called as itself: pen moves are
  // most of a plot.)
  void MovePen(PlotPoint to, bool down) {
    if (!InPolygonMode()) {
      pendingDot_ = false;
      if (down) {
        c_.page.DrawSegment(c_.state.pen, to, Stroke());
      } else {
        c_.page.MoveTo(to);
      }
      c_.state.carriageReturn = to;
    } else if (down) {
      target_->DrawSegment(c_.state.pen, to, Stroke());
    } else {
      target_->MoveTo(to);
    }
    c_.state.pen = to;
  }
  void LiftPen();
  // PD: a pen lowered without a move leaves a dot, unless a line starts there.
  void LowerPen(bool moves);
  void DropPendingDot();
  // SP; and PE's own pen changes, which neither break the line nor drop a dot.
  void SelectPen(int pen);
  void SelectEncodedPen(int pen);
  // A move of PE data, in user units.
  void EncodedMove(double x, double y, bool absolute, bool penUp);
  // A curve's points (plotter units) from the pen, drawn as the pen is up or down.
  // `arc`: what the points are the arc of, when they are one.
  void Curve(const std::vector<PlotPoint>& points, const PolylineArc* arc = nullptr);

  void Arc(PlotPoint centreUser, double sweepDeg, double chordDeg);
  void ThreePointArc(PlotPoint middleUser, PlotPoint endUser, double chordDeg);
  void Bezier(PlotPoint control1User, PlotPoint control2User, PlotPoint endUser);
  void Circle(double radiusUser, double chordDeg);

  std::vector<PlotPoint> RectangleRing(PlotPoint corner) const;
  std::vector<PlotPoint> WedgeRing(double radius, double startDeg, double sweepDeg,
                                   double chordDeg) const;
  void EdgeRings(const std::vector<PlotRing>& rings);
  void FillRings(const std::vector<PlotRing>& rings, bool nonZeroWinding);
  // PM 0, 1 and 2; EP; FP.
  void PolygonMode(int mode);
  void EdgePolygon();
  void FillPolygon(bool nonZeroWinding);

  // XT and YT.
  void Tick(bool alongX);

  // The P1-P2 diagonal, which relative lengths are measured against.
  double Diagonal() const;

 private:
  const StrokeStyle& MakeStroke();
  std::int32_t DashIndex(const std::vector<double>& pattern);
  double ChordDeg(double parameter, double radiusUser) const;
  PolylineArc ArcOf(PlotPoint centreUser, double radius, const ArcSteps& steps,
                    std::vector<PlotPoint>& points) const;
  bool Drawing() const { return c_.state.penDown && HasPen(); }

  PlotterContext c_;
  StrokeTarget* target_ = &c_.page;
  int selectedPen_ = 1;  // IN leaves the pen in the holder
  StrokeStyle stroke_;
  bool strokeValid_ = false;
  bool pendingDot_ = false;              // PD without a move: a dot, unless a line starts here
  std::vector<PlotPoint> curveScratch_;  // reused for every curve: no allocation per arc
  std::vector<PlotPoint> pathScratch_;
};

}  // namespace korvid
