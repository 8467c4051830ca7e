#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "hpgl2/GraphicsState.h"
#include "hpgl2/InstructionScanner.h"
#include "hpgl2/LabelPlotter.h"
#include "hpgl2/PageBuilder.h"
#include "hpgl2/PlotScaling.h"
#include "hpgl2/Plotter.h"
#include "hpgl2/PolygonBuffer.h"
#include "hpgl2/RasterImage.h"
#include "hpgl2/StandardReadOutcome.h"
#include "model/MnemonicTally.h"

namespace korvid {

// What the standard reading makes of HP-GL/2, in stages: the scanner splits the bytes into
// instructions (and PCL escape sequences); the interpreter reads each instruction's
// parameters and changes the graphics state or hands the work on; the plotter moves the pen,
// the label plotter draws characters; both draw through a stroke target, the page builder
// or the polygon buffer; the page builder puts the result onto pages. One interpreter reads
// one file.
class Hpgl2Interpreter : private EscapeListener {
 public:
  Hpgl2Interpreter(StandardReadOutcome& outcome, ModelBudget& budget);

  // Interprets every instruction of the text; stops early only when the budget is spent.
  void Run(std::string_view bytes);

  // Whether the instruction (two letters in either case) draws or changes what is drawn.
  static bool ChangesDrawing(char first, char second);

  // The instruction groups of the language, as the reference arranges them.
  enum class Kind : std::uint8_t {
    Configuration,  // IN DF IP IR SC RO IW PG BP PS: the coordinate system and the page
    Vector,         // pen moves, arcs, curves
    Polygon,        // PM EP FP and the rectangles and wedges
    LineAndFill,    // pens, line types, widths, fill types, colours
    Character,      // labels and their fonts
    Ticks,          // TL XT YT of the pen plotters
    Device,         // device set-up and host talk, nothing on paper
  };
  using Handler = void (Hpgl2Interpreter::*)(const Instruction&);
  struct Row {
    char name[3];
    Kind kind;
    Handler handler;  // null: known, read and tallied as changing nothing on paper
    bool changesDrawing;
  };

 private:
  // The one table of instructions, a row per mnemonic.
  static std::span<const Row> Table();
  static const Row* RowOf(char first, char second);
  static const std::array<const Row*, 26 * 26> kRowsBySlot;
  void Dispatch(const Instruction& instruction);
  // Brings what derives from the state up to date: P1 and P2 in force, the scaling, the
  // page's rotation and window, the stroke target.
  void Rescale();
  void Reset(bool initialize);

  void Escape(const EscapeSequence& sequence) override;
  void EjectPclPage();

  void CoordinatePairs(const Instruction& instruction, bool relative);
  void ThreePointArc(const Instruction& instruction, bool relative);
  void Bezier(const Instruction& instruction, bool relative);
  void SetLabelDirection(const Instruction& instruction, bool relative);
  void SetLabelSize(const Instruction& instruction, bool relative);
  void DefineFont(const Instruction& instruction, LabelFont& font);

  // Instructions, in the order of the table.
  void In(const Instruction&);
  void Df(const Instruction&);
  void Pg(const Instruction&);
  void Bp(const Instruction&);
  void Ps(const Instruction&);
  void Ip(const Instruction&);
  void Ir(const Instruction&);
  void Sc(const Instruction&);
  void Ro(const Instruction&);
  void Iw(const Instruction&);
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
  void Pm(const Instruction&);
  void Ep(const Instruction&);
  void Fp(const Instruction&);
  void Ea(const Instruction&);
  void Er(const Instruction&);
  void Ra(const Instruction&);
  void Rr(const Instruction&);
  void Ew(const Instruction&);
  void Wg(const Instruction&);
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
  void Sm(const Instruction&);
  void Tl(const Instruction&);
  void Xt(const Instruction&);
  void Yt(const Instruction&);
  void Lb(const Instruction&);
  void Si(const Instruction&);
  void Sr(const Instruction&);
  void Di(const Instruction&);
  void Dr(const Instruction&);
  void Sl(const Instruction&);
  void Lo(const Instruction&);
  void Cp(const Instruction&);
  void Es(const Instruction&);
  void Dt(const Instruction&);
  void Dv(const Instruction&);
  void Cs(const Instruction&);
  void Ca(const Instruction&);
  void Sd(const Instruction&);
  void Ad(const Instruction&);
  void Ss(const Instruction&);
  void Sa(const Instruction&);
  void Cf(const Instruction&);
  void Co(const Instruction&) {}

  StandardReadOutcome& outcome_;
  InstructionScanner* scanner_ = nullptr;
  MnemonicTally ignored_;
  MnemonicTally unread_;

  PlotterState state_;
  HardClipLimits limits_;  // PS: outside the state, IN keeps them
  ScalingPoints points_;   // P1 and P2 in force
  PlotTransform transform_;
  bool pclContext_ = false;  // HP-GL/2 entered from PCL (ESC % 0 B or 1 B)

  PageBuilder page_;
  PolygonBuffer buffer_;
  Plotter plotter_;
  LabelPlotter labels_;
  RasterImages raster_;
};

}  // namespace korvid
