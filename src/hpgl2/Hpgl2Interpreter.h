#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "hpgl2/InstructionScanner.h"
#include "hpgl2/PageBuilder.h"
#include "hpgl2/PenPalette.h"
#include "hpgl2/PlotScaling.h"
#include "hpgl2/StandardReadOutcome.h"
#include "labels/LabelLayout.h"
#include "model/MnemonicTally.h"

namespace korvid {

// The HP-GL/2 graphics state and what each instruction does to it and to the paper.
// One interpreter reads one file.
class Hpgl2Interpreter {
 public:
  Hpgl2Interpreter(StandardReadOutcome& outcome, ModelBudget& budget);

  // Interprets every instruction of the text; stops early only when the budget is spent.
  void Run(std::string_view bytes);

  // Whether the instruction (two letters in either case) draws or changes what is drawn.
  static bool ChangesDrawing(char first, char second);

 private:
  using Handler = void (Hpgl2Interpreter::*)(const Instruction&);

  // One subpolygon of the polygon buffer: its points, and for each point whether the
  // edge that leads to it was drawn with the pen down (for EP).
  struct BufferedRing {
    std::vector<PlotPoint> points;
    std::vector<bool> drawn;
  };

  struct LineTypeSetting {
    std::int32_t type = StrokeStyle::kSolidLine;
    double lengthPercent = 4;  // of the P1-P2 diagonal, or mm when absolute
    bool absolute = false;
  };

  struct LabelSetting {
    bool relativeSize = false;
    double width = 0.187, height = 0.269;  // cm (SI), or percent of P2-P1 (SR)
    bool relativeDirection = false;
    double run = 1, rise = 0;
    double slant = 0;
    int origin = 1;
    double extraSpace = 0, extraLine = 0;
    bool vertical = false;
    bool reversePath = false;
    bool reverseLineFeed = false;
    EightBitSet eightBitSet = EightBitSet::Roman8;
  };

  struct LineAttributes {
    LineEnd ends = LineEnd::Butt;
    LineJoin joins = LineJoin::Miter;
  };

  static const std::array<Handler, 26 * 26>& Handlers();
  void Dispatch(const Instruction& instruction);

  // State resets.
  void Initialize();
  void SetDefaults();

  // Moving and drawing, in plotter units.
  void MoveTo(PlotPoint target, bool drawing);
  void DropPendingDot();
  void Polyline(const std::vector<PlotPoint>& points, bool drawing);
  void CoordinatePairs(const Instruction& instruction, bool relative);
  PlotPoint Target(double x, double y, bool relative) const;
  const StrokeStyle& Stroke();
  void StyleChanged() { strokeValid_ = false; }
  void AddToPolygonBuffer(PlotPoint p, bool drawn);
  void CloseBufferedRing();
  std::vector<PlotRing> BufferedRings() const;
  void EdgeRings(const std::vector<PlotRing>& rings);
  void FillRings(const std::vector<PlotRing>& rings);
  double Diagonal() const;
  std::int32_t DashIndex(const std::vector<double>& pattern);

  // Arcs and curves.
  void Arc(PlotPoint centreUser, double sweepDeg, double chordDeg);
  void ThreePointArc(const Instruction& instruction, bool relative);
  void Bezier(const Instruction& instruction, bool relative);
  double ChordDeg(double parameter, double radiusUser) const;
  void CirclePoints(double radiusUser, double chordDeg, std::vector<PlotPoint>& points) const;
  std::vector<PlotPoint> WedgeRing(double radius, double startDeg, double sweepDeg,
                                   double chordDeg) const;
  std::vector<PlotPoint> RectangleRing(PlotPoint corner) const;

  // Labels.
  LabelStyle ResolvedLabelStyle() const;
  void DrawLabel(std::string_view text);
  void DrawSymbol();

  // Instructions.
  void In(const Instruction&);
  void Df(const Instruction&);
  void Pg(const Instruction&);
  void Pa(const Instruction&);
  void Pr(const Instruction&);
  void Pu(const Instruction&);
  void Pd(const Instruction&);
  void Pe(const Instruction&);
  void Ci(const Instruction&);
  void Aa(const Instruction&);
  void Ar(const Instruction&);
  void At(const Instruction&);
  void Rt(const Instruction&);
  void Bz(const Instruction&);
  void Br(const Instruction&);
  void Ct(const Instruction&);
  void Ea(const Instruction&);
  void Er(const Instruction&);
  void Ra(const Instruction&);
  void Rr(const Instruction&);
  void Ew(const Instruction&);
  void Wg(const Instruction&);
  void Pm(const Instruction&);
  void Ep(const Instruction&);
  void Fp(const Instruction&);
  void Ft(const Instruction&);
  void Lt(const Instruction&);
  void La(const Instruction&);
  void Ul(const Instruction&);
  void Pw(const Instruction&);
  void Wu(const Instruction&);
  void Sp(const Instruction&);
  void Np(const Instruction&);
  void Pc(const Instruction&);
  void Cr(const Instruction&);
  void Ip(const Instruction&);
  void Ir(const Instruction&);
  void Sc(const Instruction&);
  void Ro(const Instruction&);
  void Iw(const Instruction&);
  void Xt(const Instruction&);
  void Yt(const Instruction&);
  void Tl(const Instruction&);
  void Lb(const Instruction&);
  void Si(const Instruction&);
  void Sr(const Instruction&);
  void Di(const Instruction&);
  void Dr(const Instruction&);
  void SetLabelDirection(const Instruction&, bool relative);
  void Sl(const Instruction&);
  void Lo(const Instruction&);
  void Cp(const Instruction&);
  void Es(const Instruction&);
  void Dt(const Instruction&);
  void Dv(const Instruction&);
  void Sm(const Instruction&);
  void Cs(const Instruction&);
  void Sd(const Instruction&);
  void Read(const Instruction&) {}
  void Ignored(const Instruction&);

  StandardReadOutcome& outcome_;
  PageBuilder pages_;
  InstructionScanner* scanner_ = nullptr;
  MnemonicTally ignored_;
  MnemonicTally unread_;

  PlotScaling scaling_;
  PenPalette palette_;
  PlotPoint pen_;  // plotter units
  bool penDown_ = false;
  bool pendingDot_ = false;  // PD without a move: a dot, unless a line starts here
  bool relative_ = false;
  int selectedPen_ = 1;
  bool widthsRelative_ = false;
  LineTypeSetting lineType_;
  LineTypeSetting previousLineType_;
  std::array<std::vector<double>, 9> userPatterns_;  // UL, by line type 1..8
  StrokeStyle stroke_;
  bool strokeValid_ = false;
  LineAttributes lineAttributes_;
  bool chordAsDeviation_ = false;

  FillKind fillKind_ = FillKind::Solid;
  double hatchSpacing_ = 0;  // plotter units; 0 = 1% of the P1-P2 diagonal
  double hatchAngleDeg_ = 0;
  double shadingPercent_ = 100;

  bool polygonMode_ = false;
  std::vector<BufferedRing> polygonBuffer_;
  std::size_t bufferedPoints_ = 0;
  bool ringClosed_ = true;
  // After PM1 the next point, pen up or down, is where the next subpolygon starts: the
  // move there is no edge.
  bool ringStartsAtNextPoint_ = false;

  double tickPlusPercent_ = 0.5, tickMinusPercent_ = 0.5;

  LabelSetting label_;
  PlotPoint carriageReturn_;
  std::vector<PlotPoint> curveScratch_;  // reused for every curve: no allocation per arc
  std::vector<PlotPoint> pathScratch_;
  char symbol_ = 0;  // SM: drawn at every point, 0 = none
  char terminator_ = InstructionScanner::kEtx;
  bool terminatorPrinting_ = false;
};

}  // namespace korvid
