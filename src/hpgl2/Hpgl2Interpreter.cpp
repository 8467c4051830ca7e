#include "hpgl2/Hpgl2Interpreter.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <span>
#include <utility>

#include "hpgl2/ParameterList.h"
#include "hpgl2/PolylineEncoding.h"
#include "model/PlotUnits.h"

namespace korvid {

namespace {

constexpr double kDefaultChordDeg = 5;
constexpr double kLargestPlotSize = 1e9;  // plotter units: 25 km of paper

int ToInt(double value) {
  return static_cast<int>(std::clamp(std::round(value), -2147483647.0, 2147483647.0));
}

using I = Hpgl2Interpreter;
using Kind = I::Kind;

int Slot(char first, char second) {
  return (first - 'A') * 26 + (second - 'A');
}

}  // namespace

// Every mnemonic the reading knows: its group, what reads it (none: read and tallied as
// changing nothing on paper) and whether it draws or changes what is drawn. Adding an
// instruction is adding its row here and its handler.
std::span<const I::Row> Hpgl2Interpreter::Table() {
  static constexpr Row kRows[] = {
      // Configuration and status.
      {"IN", Kind::Configuration, &I::In, true},
      {"DF", Kind::Configuration, &I::Df, true},
      {"PG", Kind::Configuration, &I::Pg, true},
      {"BP", Kind::Configuration, &I::Bp, true},
      {"PS", Kind::Configuration, &I::Ps, true},
      {"IP", Kind::Configuration, &I::Ip, true},
      {"IR", Kind::Configuration, &I::Ir, true},
      {"SC", Kind::Configuration, &I::Sc, true},
      {"RO", Kind::Configuration, &I::Ro, true},
      {"IW", Kind::Configuration, &I::Iw, true},
      // Vectors.
      {"PA", Kind::Vector, &I::Pa, true},
      {"PR", Kind::Vector, &I::Pr, true},
      {"PU", Kind::Vector, &I::Pu, true},
      {"PD", Kind::Vector, &I::Pd, true},
      {"PE", Kind::Vector, &I::Pe, true},
      {"CI", Kind::Vector, &I::Ci, true},
      {"AA", Kind::Vector, &I::Aa, true},
      {"AR", Kind::Vector, &I::Ar, true},
      {"AT", Kind::Vector, &I::At, true},
      {"RT", Kind::Vector, &I::Rt, true},
      {"BZ", Kind::Vector, &I::Bz, true},
      {"BR", Kind::Vector, &I::Br, true},
      {"CT", Kind::Vector, &I::Ct, true},
      // Polygons.
      {"PM", Kind::Polygon, &I::Pm, true},
      {"EP", Kind::Polygon, &I::Ep, true},
      {"FP", Kind::Polygon, &I::Fp, true},
      {"EA", Kind::Polygon, &I::Ea, true},
      {"ER", Kind::Polygon, &I::Er, true},
      {"RA", Kind::Polygon, &I::Ra, true},
      {"RR", Kind::Polygon, &I::Rr, true},
      {"EW", Kind::Polygon, &I::Ew, true},
      {"WG", Kind::Polygon, &I::Wg, true},
      // Lines and fills.
      {"FT", Kind::LineAndFill, &I::Ft, true},
      {"LT", Kind::LineAndFill, &I::Lt, true},
      {"LA", Kind::LineAndFill, &I::La, true},
      {"UL", Kind::LineAndFill, &I::Ul, true},
      {"PW", Kind::LineAndFill, &I::Pw, true},
      {"WU", Kind::LineAndFill, &I::Wu, true},
      {"SP", Kind::LineAndFill, &I::Sp, true},
      {"NP", Kind::LineAndFill, &I::Np, true},
      {"PC", Kind::LineAndFill, &I::Pc, true},
      {"CR", Kind::LineAndFill, &I::Cr, true},
      {"SM", Kind::LineAndFill, &I::Sm, true},
      // Ticks.
      {"TL", Kind::Ticks, &I::Tl, true},
      {"XT", Kind::Ticks, &I::Xt, true},
      {"YT", Kind::Ticks, &I::Yt, true},
      // Characters.
      {"LB", Kind::Character, &I::Lb, true},
      {"SI", Kind::Character, &I::Si, true},
      {"SR", Kind::Character, &I::Sr, true},
      {"DI", Kind::Character, &I::Di, true},
      {"DR", Kind::Character, &I::Dr, true},
      {"SL", Kind::Character, &I::Sl, true},
      {"LO", Kind::Character, &I::Lo, true},
      {"CP", Kind::Character, &I::Cp, true},
      {"ES", Kind::Character, &I::Es, true},
      {"DT", Kind::Character, &I::Dt, true},
      {"DV", Kind::Character, &I::Dv, true},
      {"CS", Kind::Character, &I::Cs, true},
      {"CA", Kind::Character, &I::Ca, true},
      {"SD", Kind::Character, &I::Sd, true},
      {"AD", Kind::Character, &I::Ad, true},
      {"SS", Kind::Character, &I::Ss, true},
      {"SA", Kind::Character, &I::Sa, true},
      {"CF", Kind::Character, &I::Cf, true},
      // A comment: read, and not even tallied.
      {"CO", Kind::Device, &I::Co, false},
      // Device set-up, fonts and media, output to the host: nothing on the paper a viewer
      // shows.
      {"AC", Kind::Device, nullptr, false},
      {"AF", Kind::Device, nullptr, false},
      {"AH", Kind::Device, nullptr, false},
      {"AP", Kind::Device, nullptr, false},
      {"AS", Kind::Device, nullptr, false},
      {"BL", Kind::Device, nullptr, false},
      {"CM", Kind::Device, nullptr, false},
      {"CV", Kind::Device, nullptr, false},
      {"DC", Kind::Device, nullptr, false},
      {"DL", Kind::Device, nullptr, false},
      {"DP", Kind::Device, nullptr, false},
      {"DS", Kind::Device, nullptr, false},
      {"EC", Kind::Device, nullptr, false},
      {"FI", Kind::Device, nullptr, false},
      {"FN", Kind::Device, nullptr, false},
      {"FR", Kind::Device, nullptr, false},
      {"FS", Kind::Device, nullptr, false},
      {"GC", Kind::Device, nullptr, false},
      {"GM", Kind::Device, nullptr, false},
      {"GP", Kind::Device, nullptr, false},
      {"IM", Kind::Device, nullptr, false},
      {"IV", Kind::Device, nullptr, false},
      {"KY", Kind::Device, nullptr, false},
      {"LM", Kind::Device, nullptr, false},
      {"MC", Kind::Device, nullptr, false},
      {"MG", Kind::Device, nullptr, false},
      {"MT", Kind::Device, nullptr, false},
      {"NR", Kind::Device, nullptr, false},
      {"OA", Kind::Device, nullptr, false},
      {"OC", Kind::Device, nullptr, false},
      {"OD", Kind::Device, nullptr, false},
      {"OE", Kind::Device, nullptr, false},
      {"OF", Kind::Device, nullptr, false},
      {"OG", Kind::Device, nullptr, false},
      {"OH", Kind::Device, nullptr, false},
      {"OI", Kind::Device, nullptr, false},
      {"OK", Kind::Device, nullptr, false},
      {"OL", Kind::Device, nullptr, false},
      {"OO", Kind::Device, nullptr, false},
      {"OP", Kind::Device, nullptr, false},
      {"OS", Kind::Device, nullptr, false},
      {"OT", Kind::Device, nullptr, false},
      {"OW", Kind::Device, nullptr, false},
      {"PB", Kind::Device, nullptr, false},
      {"PP", Kind::Device, nullptr, false},
      {"PT", Kind::Device, nullptr, false},
      {"QL", Kind::Device, nullptr, false},
      {"RF", Kind::Device, nullptr, false},
      {"RP", Kind::Device, nullptr, false},
      {"SB", Kind::Device, nullptr, false},
      {"SG", Kind::Device, nullptr, false},
      {"ST", Kind::Device, nullptr, false},
      {"SV", Kind::Device, nullptr, false},
      {"TD", Kind::Device, nullptr, false},
      {"TR", Kind::Device, nullptr, false},
      {"UF", Kind::Device, nullptr, false},
      {"VS", Kind::Device, nullptr, false},
      {"WD", Kind::Device, nullptr, false},
  };
  return kRows;
}

// The table by mnemonic, made once before anything is read.
const std::array<const I::Row*, 26 * 26> Hpgl2Interpreter::kRowsBySlot = [] {
  std::array<const Row*, 26 * 26> rows{};
  for (const Row& row : Table())
    rows[static_cast<std::size_t>(Slot(row.name[0], row.name[1]))] = &row;
  return rows;
}();

const I::Row* Hpgl2Interpreter::RowOf(char first, char second) {
  return kRowsBySlot[static_cast<std::size_t>(Slot(first, second))];
}

bool Hpgl2Interpreter::ChangesDrawing(char first, char second) {
  const auto upper = [](char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
  };
  first = upper(first);
  second = upper(second);
  if (first < 'A' || first > 'Z' || second < 'A' || second > 'Z') return false;
  const Row* row = RowOf(first, second);
  return row && row->changesDrawing;
}

Hpgl2Interpreter::Hpgl2Interpreter(StandardReadOutcome& outcome, ModelBudget& budget)
    : outcome_(outcome),
      page_(outcome.plot, budget),
      plotter_({state_, transform_, points_, page_, buffer_, outcome}),
      labels_({state_, transform_, points_, page_, buffer_, outcome}, plotter_),
      raster_([this](const std::vector<PlotRing>& rings) {
        StandardPolygon image;
        image.nonZeroWinding = true;
        image.widthMm = 0;
        page_.FillPolygon(rings, image);
      }) {
  page_.FollowTransform(&transform_);
  Rescale();
}

void Hpgl2Interpreter::Run(std::string_view bytes) {
  InstructionScanner scanner(bytes);
  scanner.FollowLabelTerminator(&state_.defaults.label.terminator);
  scanner.SetEscapeListener(this);
  scanner_ = &scanner;
  Instruction instruction;
  try {
    while (scanner.Next(instruction)) {
      ++outcome_.counts.instructions;
      Dispatch(instruction);
    }
    raster_.Finish();
  } catch (const BudgetSpent&) {
    outcome_.memoryBudgetReached = true;
    outcome_.stoppedAtByte = static_cast<std::int64_t>(instruction.offset);
  }
  scanner_ = nullptr;
  page_.Finish();
  outcome_.ignored = ignored_.Entries();
  outcome_.unread = unread_.Entries();
  outcome_.counts.rasterImages = raster_.Drawn();
  outcome_.counts.rasterImagesSkipped = raster_.Skipped();
  outcome_.rasterSkip = raster_.FirstSkip();
}

void Hpgl2Interpreter::Dispatch(const Instruction& instruction) {
  const Row* row = RowOf(instruction.mnemonic[0], instruction.mnemonic[1]);
  const auto offset = static_cast<std::int64_t>(instruction.offset);
  if (!row) {
    unread_.Count(instruction.mnemonic[0], instruction.mnemonic[1], offset);
    return;
  }
  if (!row->handler) {
    ignored_.Count(instruction.mnemonic[0], instruction.mnemonic[1], offset);
    return;
  }
  (this->*row->handler)(instruction);
  // What the strokes and the scaling derive from is made again after anything but a pen
  // move, so that no handler has to remember to.
  if (row->kind != Kind::Vector) plotter_.StyleMayHaveChanged();
  if (row->kind == Kind::Configuration) Rescale();
}

void Hpgl2Interpreter::Rescale() {
  points_ = state_.points ? *state_.points : limits_.DefaultPoints(state_.rotation);
  transform_ = PlotTransform::Of(points_, state_.defaults.scale).value_or(PlotTransform{});
  page_.SetRotation(state_.rotation, limits_);
  page_.SetClip(state_.defaults.window);
}

// IN sets the whole state back, DF its defaults; neither feeds paper.
void Hpgl2Interpreter::Reset(bool initialize) {
  if (initialize) {
    plotter_.DropPendingDot();
    state_ = {};
    page_.BreakLine();
  } else {
    state_.defaults = {};
  }
  plotter_.FollowPolygonMode();
}

// ---------------------------------------------------------------- PCL around HP-GL/2

void Hpgl2Interpreter::Escape(const EscapeSequence& sequence) {
  using Type = EscapeSequence::Type;
  switch (sequence.type) {
    case Type::EnterHpgl2:
      raster_.Finish();
      // ESC % 0 B and 1 B enter HP-GL/2 from PCL; ESC % -1 B is a stand-alone plotter's.
      if (sequence.value >= 0) pclContext_ = true;
      break;
    case Type::EnterPcl:
      if (sequence.value == 1) raster_.PlaceCursor(state_.pen);
      break;
    case Type::Reset:
      raster_.Reset();
      if (pclContext_) EjectPclPage();
      break;
    case Type::FormFeed:
      if (pclContext_) EjectPclPage();
      break;
    case Type::Parameterized:
      // A new page size ejects the page.
      if (sequence.parameterized == '&' && sequence.group == 'l' && sequence.letter == 'A') {
        if (pclContext_) EjectPclPage();
      } else {
        raster_.Command(sequence, limits_.height);
      }
      break;
  }
}

void Hpgl2Interpreter::EjectPclPage() {
  raster_.Finish();
  plotter_.DropPendingDot();
  page_.AdvancePage();
}

// ---------------------------------------------------------------- configuration

void Hpgl2Interpreter::In(const Instruction&) {
  Reset(true);
}

void Hpgl2Interpreter::Df(const Instruction&) {
  Reset(false);
}

// In HP-GL/2 within PCL only PCL ejects a page: PG and BP feed nothing there.
void Hpgl2Interpreter::Pg(const Instruction&) {
  if (pclContext_) return;
  plotter_.DropPendingDot();
  page_.AdvancePage();
}

// BP begins a plot: on a stand-alone plotter a new sheet, once something was drawn.
void Hpgl2Interpreter::Bp(const Instruction& instruction) {
  Pg(instruction);
}

// PS length,width: the hard-clip limits of a stand-alone plotter (PCL sets its page its
// own way and HP-GL/2 within it ignores PS). P1 and P2 move to the new limits' corners,
// and nothing beyond the limits is drawn.
void Hpgl2Interpreter::Ps(const Instruction& instruction) {
  if (pclContext_) {
    ignored_.Count('P', 'S', static_cast<std::int64_t>(instruction.offset));
    return;
  }
  ParameterList parameters(instruction.parameters);
  double v[2];
  const std::size_t count = parameters.Take(v, 2);
  if (count == 0) {
    limits_ = {};
  } else {
    const auto usable = [](double size) { return size >= 1 && size <= kLargestPlotSize; };
    const double width = std::fabs(v[0]), height = count >= 2 ? std::fabs(v[1]) : limits_.height;
    if (!usable(width) || !usable(height)) return;
    limits_ = {width, height, true};
  }
  state_.points.reset();
}

void Hpgl2Interpreter::Ip(const Instruction& instruction) {
  ParameterList parameters(instruction.parameters);
  double v[4];
  const std::size_t count = parameters.Take(v, 4);
  std::optional<ScalingPoints> points;
  if (count >= 4) {
    points = PointsOf({v[0], v[1]}, {v[2], v[3]});
  } else if (count >= 2) {
    const ScalingPoints moved = MovedP1(points_, {v[0], v[1]});
    points = PointsOf(moved.p1, moved.p2);
  } else {
    // IP alone: the default points (and, as before, no scaling).
    state_.points.reset();
    state_.defaults.scale = {};
    return;
  }
  if (points && PlotTransform::Of(*points, state_.defaults.scale)) state_.points = points;
}

void Hpgl2Interpreter::Ir(const Instruction& instruction) {
  ParameterList parameters(instruction.parameters);
  double v[4];
  const int count = static_cast<int>(parameters.Take(v, 4));
  if (count < 2) {
    state_.points.reset();
    state_.defaults.scale = {};
    return;
  }
  const std::optional<ScalingPoints> points =
      RelativePoints(limits_.DefaultPoints(state_.rotation), points_, v, count);
  if (points && PlotTransform::Of(*points, state_.defaults.scale)) state_.points = points;
}

void Hpgl2Interpreter::Sc(const Instruction& instruction) {
  ParameterList parameters(instruction.parameters);
  ScaleSetting scale;
  scale.count = static_cast<int>(parameters.Take(scale.values, 7));
  if (!scale.On()) {
    state_.defaults.scale = {};
    return;
  }
  if (PlotTransform::Of(points_, scale)) state_.defaults.scale = scale;
}

// RO turns the coordinate system about the hard-clip limits; P1 and P2 keep their values.
void Hpgl2Interpreter::Ro(const Instruction& instruction) {
  ParameterList parameters(instruction.parameters);
  double angle = 0;
  parameters.Next(angle);
  const int degrees = ToInt(angle);
  if (degrees == 0 || degrees == 90 || degrees == 180 || degrees == 270) {
    state_.points = points_;
    state_.rotation = degrees;
    page_.BreakLine();
  }
}

void Hpgl2Interpreter::Iw(const Instruction& instruction) {
  ParameterList parameters(instruction.parameters);
  double v[4];
  if (parameters.Take(v, 4) < 4) {
    state_.defaults.window.reset();
    return;
  }
  const PlotPoint a = transform_.ToPlotter({v[0], v[1]});
  const PlotPoint b = transform_.ToPlotter({v[2], v[3]});
  state_.defaults.window =
      ClipWindow{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
  page_.BreakLine();
}

// ---------------------------------------------------------------- vectors

void Hpgl2Interpreter::CoordinatePairs(const Instruction& instruction, bool relative) {
  ParameterList parameters(instruction.parameters);
  double x = 0, y = 0;
  while (parameters.Next(x) && parameters.Next(y)) {
    plotter_.MovePen(plotter_.Point(x, y, relative), state_.penDown);
    if (state_.defaults.label.symbol != 0) labels_.Symbol();
  }
}

void Hpgl2Interpreter::Pa(const Instruction& instruction) {
  state_.defaults.relative = false;
  CoordinatePairs(instruction, false);
}

void Hpgl2Interpreter::Pr(const Instruction& instruction) {
  state_.defaults.relative = true;
  CoordinatePairs(instruction, true);
}

void Hpgl2Interpreter::Pu(const Instruction& instruction) {
  plotter_.LiftPen();
  CoordinatePairs(instruction, state_.defaults.relative);
}

void Hpgl2Interpreter::Pd(const Instruction& instruction) {
  const bool moves = !ParameterList(instruction.parameters).Empty();
  plotter_.LowerPen(moves);
  if (moves) CoordinatePairs(instruction, state_.defaults.relative);
}

void Hpgl2Interpreter::Pe(const Instruction& instruction) {
  struct Moves : PolylineEncodingSink {
    explicit Moves(Plotter& p) : plotter(p) {}
    void SelectPen(int pen) override { plotter.SelectEncodedPen(pen); }
    void Move(double x, double y, bool absolute, bool penUp) override {
      plotter.EncodedMove(x, y, absolute, penUp);
    }
    Plotter& plotter;
  } moves(plotter_);
  DecodePolylineEncoded(instruction.parameters, moves);
}

void Hpgl2Interpreter::Ci(const Instruction& instruction) {
  ParameterList parameters(instruction.parameters);
  double v[2] = {0, kDefaultChordDeg};
  if (parameters.Take(v, 2) < 1) return;
  plotter_.Circle(v[0], v[1]);
}

void Hpgl2Interpreter::Aa(const Instruction& instruction) {
  ParameterList parameters(instruction.parameters);
  double v[4] = {0, 0, 0, kDefaultChordDeg};
  if (parameters.Take(v, 4) < 3) return;
  plotter_.Arc({v[0], v[1]}, v[2], v[3]);
}

void Hpgl2Interpreter::Ar(const Instruction& instruction) {
  ParameterList parameters(instruction.parameters);
  double v[4] = {0, 0, 0, kDefaultChordDeg};
  if (parameters.Take(v, 4) < 3) return;
  const PlotPoint pen = plotter_.PenInUserUnits();
  plotter_.Arc({pen.x + v[0], pen.y + v[1]}, v[2], v[3]);
}

void Hpgl2Interpreter::ThreePointArc(const Instruction& instruction, bool relative) {
  ParameterList parameters(instruction.parameters);
  double v[5] = {0, 0, 0, 0, kDefaultChordDeg};
  if (parameters.Take(v, 5) < 4) return;
  const PlotPoint base = relative ? plotter_.PenInUserUnits() : PlotPoint{0, 0};
  plotter_.ThreePointArc({base.x + v[0], base.y + v[1]}, {base.x + v[2], base.y + v[3]}, v[4]);
}

void Hpgl2Interpreter::At(const Instruction& instruction) {
  ThreePointArc(instruction, false);
}

void Hpgl2Interpreter::Rt(const Instruction& instruction) {
  ThreePointArc(instruction, true);
}

// Each curve's points are relative (BR) to where the one before it ended.
void Hpgl2Interpreter::Bezier(const Instruction& instruction, bool relative) {
  ParameterList parameters(instruction.parameters);
  double v[6];
  while (parameters.Take(v, 6) == 6) {
    const PlotPoint base = relative ? plotter_.PenInUserUnits() : PlotPoint{0, 0};
    plotter_.Bezier({base.x + v[0], base.y + v[1]}, {base.x + v[2], base.y + v[3]},
                    {base.x + v[4], base.y + v[5]});
  }
}

// BZ is Bézier absolute whatever PA or PR chose; BR is the relative one.
void Hpgl2Interpreter::Bz(const Instruction& instruction) {
  Bezier(instruction, false);
}

void Hpgl2Interpreter::Br(const Instruction& instruction) {
  Bezier(instruction, true);
}

void Hpgl2Interpreter::Ct(const Instruction& instruction) {
  ParameterList parameters(instruction.parameters);
  double mode = 0;
  state_.defaults.chordAsDeviation = parameters.Next(mode) && ToInt(mode) == 1;
}

// ---------------------------------------------------------------- polygons

void Hpgl2Interpreter::Pm(const Instruction& instruction) {
  ParameterList parameters(instruction.parameters);
  double mode = 0;
  parameters.Next(mode);
  plotter_.PolygonMode(ToInt(mode));
}

void Hpgl2Interpreter::Ep(const Instruction&) {
  plotter_.EdgePolygon();
}

void Hpgl2Interpreter::Fp(const Instruction& instruction) {
  ParameterList parameters(instruction.parameters);
  double rule = 0;
  parameters.Next(rule);
  plotter_.FillPolygon(ToInt(rule) == 1);
}

void Hpgl2Interpreter::Ea(const Instruction& instruction) {
  ParameterList parameters(instruction.parameters);
  double v[2];
  if (parameters.Take(v, 2) == 2)
    plotter_.EdgeRings({plotter_.RectangleRing(plotter_.Point(v[0], v[1], false))});
}

void Hpgl2Interpreter::Er(const Instruction& instruction) {
  ParameterList parameters(instruction.parameters);
  double v[2];
  if (parameters.Take(v, 2) == 2)
    plotter_.EdgeRings({plotter_.RectangleRing(plotter_.Point(v[0], v[1], true))});
}

void Hpgl2Interpreter::Ra(const Instruction& instruction) {
  ParameterList parameters(instruction.parameters);
  double v[2];
  if (parameters.Take(v, 2) == 2)
    plotter_.FillRings({plotter_.RectangleRing(plotter_.Point(v[0], v[1], false))}, false);
}

void Hpgl2Interpreter::Rr(const Instruction& instruction) {
  ParameterList parameters(instruction.parameters);
  double v[2];
  if (parameters.Take(v, 2) == 2)
    plotter_.FillRings({plotter_.RectangleRing(plotter_.Point(v[0], v[1], true))}, false);
}

void Hpgl2Interpreter::Ew(const Instruction& instruction) {
  ParameterList parameters(instruction.parameters);
  double v[4] = {0, 0, 0, kDefaultChordDeg};
  if (parameters.Take(v, 4) < 3) return;
  ++outcome_.counts.arcs;
  plotter_.EdgeRings({plotter_.WedgeRing(v[0], v[1], v[2], v[3])});
}

void Hpgl2Interpreter::Wg(const Instruction& instruction) {
  ParameterList parameters(instruction.parameters);
  double v[4] = {0, 0, 0, kDefaultChordDeg};
  if (parameters.Take(v, 4) < 3) return;
  plotter_.FillRings({plotter_.WedgeRing(v[0], v[1], v[2], v[3])}, false);
}

// ---------------------------------------------------------------- lines and fills

void Hpgl2Interpreter::Ft(const Instruction& instruction) {
  ParameterList parameters(instruction.parameters);
  double v[3] = {1, 0, 0};
  const std::size_t count = parameters.Take(v, 3);
  const int type = count == 0 ? 1 : ToInt(v[0]);
  FillSetting& fill = state_.defaults.fill;
  fill.shadingPercent = 100;
  switch (type) {
    case 3:
    case 4:
      fill.kind = type == 3 ? FillKind::Hatch : FillKind::CrossHatch;
      if (count >= 2) fill.spacing = std::fabs(transform_.XUnits(v[1]));
      if (count >= 3) fill.angleDeg = v[2];
      break;
    case 10:
      fill.kind = FillKind::Solid;
      fill.shadingPercent = count >= 2 ? v[1] : 100;
      break;
    default:
      fill.kind = FillKind::Solid;  // solid, and raster patterns drawn as solid
      break;
  }
}

void Hpgl2Interpreter::Lt(const Instruction& instruction) {
  ParameterList parameters(instruction.parameters);
  double v[3] = {0, 4, 0};
  const std::size_t count = parameters.Take(v, 3);
  LineSetting& line = state_.defaults.line;
  if (count == 0) {
    line.previous = line.type;
    line.type = {};
    return;
  }
  const int type = ToInt(v[0]);
  if (type == 99) {
    std::swap(line.type, line.previous);
    return;
  }
  if (type < -8 || type > 8) return;
  line.previous = line.type;
  line.type.type = type;
  if (count >= 3) line.type.absolute = ToInt(v[2]) == 1;
  if (count >= 2 && v[1] > 0) {
    line.type.lengthPercent = v[1];
  } else if (count >= 3) {
    line.type.lengthPercent = 4;
  }
}

// LA kind,value pairs: 1 ends (1 butt, 2 square, 3 triangular, 4 round), 2 joins (1 mitered,
// 2 mitered and bevelled beyond the limit, 3 triangular, 4 round, 5 bevelled, 6 none), 3 the
// miter limit (1 and up). Without parameters, the defaults.
void Hpgl2Interpreter::La(const Instruction& instruction) {
  ParameterList parameters(instruction.parameters);
  LineSetting& line = state_.defaults.line;
  double pair[2];
  std::size_t pairs = 0;
  while (parameters.Take(pair, 2) == 2) {
    ++pairs;
    const int kind = ToInt(pair[0]), value = ToInt(pair[1]);
    if (kind == 1 && value >= 1 && value <= 4) {
      const LineEnd ends[] = {LineEnd::Butt, LineEnd::Square, LineEnd::Triangle, LineEnd::Round};
      line.ends = ends[value - 1];
    } else if (kind == 2 && value >= 1 && value <= 6) {
      const LineJoin joins[] = {LineJoin::Miter, LineJoin::Miter, LineJoin::Triangle,
                                LineJoin::Round, LineJoin::Bevel, LineJoin::Bevel};
      line.joins = joins[value - 1];
    } else if (kind == 3) {
      line.miterLimit = std::clamp(pair[1], 1.0, 32767.0);
    }
  }
  if (pairs == 0) {
    const LineSetting defaults;
    line.ends = defaults.ends;
    line.joins = defaults.joins;
    line.miterLimit = defaults.miterLimit;
  }
}

void Hpgl2Interpreter::Ul(const Instruction& instruction) {
  ParameterList parameters(instruction.parameters);
  auto& patterns = state_.defaults.line.userPatterns;
  double index = 0;
  if (!parameters.Next(index)) {
    for (auto& pattern : patterns)
      pattern.clear();
    return;
  }
  const int type = std::abs(ToInt(index));
  if (type < 1 || type > 8) return;
  std::vector<double> gaps;
  double value = 0;
  double total = 0;
  while (gaps.size() < 20 && parameters.Next(value)) {
    value = std::max(value, 0.0);
    gaps.push_back(value);
    total += value;
  }
  auto& pattern = patterns[static_cast<std::size_t>(type)];
  pattern.clear();
  if (total > 0) {
    for (double gap : gaps)
      pattern.push_back(gap / total * 100);
  }
}

void Hpgl2Interpreter::Pw(const Instruction& instruction) {
  ParameterList parameters(instruction.parameters);
  double v[2] = {0, 0};
  const std::size_t count = parameters.Take(v, 2);
  const bool relative = state_.widthsRelative;
  double widthMm = count == 0 ? (relative ? 0.1 : PenPalette::kDefaultWidthMm) : v[0];
  if (relative) widthMm = widthMm / 100 * plotter_.Diagonal() / kPlotterUnitsPerMm;
  widthMm = std::clamp(std::fabs(widthMm), 0.0, 1000.0);
  if (count >= 2) {
    state_.palette.SetWidth(ToInt(v[1]), widthMm);
  } else {
    state_.palette.SetWidth(widthMm);
  }
}

void Hpgl2Interpreter::Wu(const Instruction& instruction) {
  ParameterList parameters(instruction.parameters);
  double mode = 0;
  parameters.Next(mode);
  state_.widthsRelative = ToInt(mode) == 1;
  state_.palette.SetWidth(state_.widthsRelative
                              ? 0.1 / 100 * plotter_.Diagonal() / kPlotterUnitsPerMm
                              : PenPalette::kDefaultWidthMm);
}

void Hpgl2Interpreter::Sp(const Instruction& instruction) {
  ParameterList parameters(instruction.parameters);
  double pen = 0;
  parameters.Next(pen);
  plotter_.SelectPen(std::clamp(ToInt(pen), 0, 32767));
}

void Hpgl2Interpreter::Np(const Instruction& instruction) {
  ParameterList parameters(instruction.parameters);
  double count = 8;
  parameters.Next(count);
  state_.palette.SetPenCount(std::clamp(ToInt(count), 2, 256));
}

void Hpgl2Interpreter::Pc(const Instruction& instruction) {
  ParameterList parameters(instruction.parameters);
  double v[4];
  const std::size_t count = parameters.Take(v, 4);
  if (count == 0) {
    state_.palette.ResetColours();
  } else if (count < 4) {
    state_.palette.ResetColour(ToInt(v[0]));
  } else {
    state_.palette.SetColour(ToInt(v[0]), v[1], v[2], v[3]);
  }
}

void Hpgl2Interpreter::Cr(const Instruction& instruction) {
  ParameterList parameters(instruction.parameters);
  double v[6];
  state_.palette.SetColourRange(v, static_cast<int>(parameters.Take(v, 6)));
}

// SM: the symbol character centred on every point that PA, PR, PU or PD reach.
void Hpgl2Interpreter::Sm(const Instruction& instruction) {
  const std::string_view parameters = instruction.parameters;
  const char symbol = parameters.empty() ? 0 : parameters[0];
  state_.defaults.label.symbol = symbol > ' ' && symbol < 127 ? symbol : 0;
}

// ---------------------------------------------------------------- ticks

void Hpgl2Interpreter::Tl(const Instruction& instruction) {
  ParameterList parameters(instruction.parameters);
  double v[2] = {0.5, 0};
  const std::size_t count = parameters.Take(v, 2);
  TickSetting& ticks = state_.defaults.ticks;
  ticks.plusPercent = count >= 1 ? v[0] : 0.5;
  ticks.minusPercent = count >= 2 ? v[1] : (count >= 1 ? 0 : 0.5);
}

void Hpgl2Interpreter::Xt(const Instruction&) {
  plotter_.Tick(true);
}

void Hpgl2Interpreter::Yt(const Instruction&) {
  plotter_.Tick(false);
}

// ---------------------------------------------------------------- characters

void Hpgl2Interpreter::Lb(const Instruction& instruction) {
  labels_.Label(instruction.parameters);
}

// SI and SR differ only in what the sizes are measured in; without both sizes, the
// defaults.
void Hpgl2Interpreter::SetLabelSize(const Instruction& instruction, bool relative) {
  ParameterList parameters(instruction.parameters);
  LabelSetting& label = state_.defaults.label;
  double v[2];
  label.relativeSize = relative;
  if (parameters.Take(v, 2) == 2) {
    label.width = v[0];
    label.height = v[1];
  } else if (relative) {
    label.width = 0.75;
    label.height = 1.5;
  } else {
    label.width = LabelSetting{}.width;
    label.height = LabelSetting{}.height;
  }
}

void Hpgl2Interpreter::Si(const Instruction& instruction) {
  SetLabelSize(instruction, false);
}

void Hpgl2Interpreter::Sr(const Instruction& instruction) {
  SetLabelSize(instruction, true);
}

// DI and DR differ only in what the run and rise are measured against; no direction, or
// none at all, is the default: along the X axis.
void Hpgl2Interpreter::SetLabelDirection(const Instruction& instruction, bool relative) {
  ParameterList parameters(instruction.parameters);
  LabelSetting& label = state_.defaults.label;
  double v[2];
  label.relativeDirection = relative;
  if (parameters.Take(v, 2) == 2 && (v[0] != 0 || v[1] != 0)) {
    label.run = v[0];
    label.rise = v[1];
  } else {
    label.run = 1;
    label.rise = 0;
  }
}

void Hpgl2Interpreter::Di(const Instruction& instruction) {
  SetLabelDirection(instruction, false);
}

void Hpgl2Interpreter::Dr(const Instruction& instruction) {
  SetLabelDirection(instruction, true);
}

void Hpgl2Interpreter::Sl(const Instruction& instruction) {
  ParameterList parameters(instruction.parameters);
  double tangent = 0;
  parameters.Next(tangent);
  state_.defaults.label.slant = std::clamp(tangent, -100.0, 100.0);
}

void Hpgl2Interpreter::Lo(const Instruction& instruction) {
  ParameterList parameters(instruction.parameters);
  double origin = 1;
  parameters.Next(origin);
  const int value = ToInt(origin);
  int& labelOrigin = state_.defaults.label.origin;
  if ((value >= 1 && value <= 9) || (value >= 11 && value <= 19)) labelOrigin = value;
  if (value == 21) labelOrigin = 1;
}

void Hpgl2Interpreter::Cp(const Instruction& instruction) {
  ParameterList parameters(instruction.parameters);
  double v[2];
  if (parameters.Take(v, 2) == 2) {
    labels_.CharacterPlot(v[0], v[1]);
  } else {
    labels_.NewLine();
  }
}

void Hpgl2Interpreter::Es(const Instruction& instruction) {
  ParameterList parameters(instruction.parameters);
  double v[2] = {0, 0};
  parameters.Take(v, 2);
  state_.defaults.label.extraSpace = std::clamp(v[0], -100.0, 100.0);
  state_.defaults.label.extraLine = std::clamp(v[1], -100.0, 100.0);
}

void Hpgl2Interpreter::Dt(const Instruction& instruction) {
  const std::string_view parameters = instruction.parameters;
  LabelTerminator& terminator = state_.defaults.label.terminator;
  if (parameters.empty()) {
    terminator = {};
  } else {
    terminator.character = parameters[0];
    terminator.printing = parameters.size() >= 3 && parameters[1] == ',' && parameters[2] == '0';
  }
}

void Hpgl2Interpreter::Dv(const Instruction& instruction) {
  ParameterList parameters(instruction.parameters);
  double v[2] = {0, 0};
  parameters.Take(v, 2);
  const int path = ToInt(v[0]);
  LabelSetting& label = state_.defaults.label;
  label.vertical = path == 1 || path == 3;
  label.reversePath = path == 2 || path == 3;
  label.reverseLineFeed = ToInt(v[1]) == 1;
}

// CS and CA name the standard and the alternate symbol set; SD and AD define the fonts by
// kind,value pairs, of which the symbol set (1) and the spacing (2: 0 fixed, 1 proportional)
// change the drawing. SS and SA (and SI and SO in a label) choose between the two.
void Hpgl2Interpreter::Cs(const Instruction& instruction) {
  ParameterList parameters(instruction.parameters);
  double set = 0;
  parameters.Next(set);
  state_.defaults.label.fonts.standard.set = SymbolSetOf(ToInt(set));
}

void Hpgl2Interpreter::Ca(const Instruction& instruction) {
  ParameterList parameters(instruction.parameters);
  double set = 0;
  parameters.Next(set);
  state_.defaults.label.fonts.alternate.set = SymbolSetOf(ToInt(set));
}

void Hpgl2Interpreter::DefineFont(const Instruction& instruction, LabelFont& font) {
  ParameterList parameters(instruction.parameters);
  font = {};  // without parameters: the default font
  double pair[2];
  while (parameters.Take(pair, 2) == 2) {
    const int kind = ToInt(pair[0]);
    if (kind == 1) font.set = SymbolSetOf(ToInt(pair[1]));
    if (kind == 2) font.proportional = ToInt(pair[1]) == 1;
  }
}

void Hpgl2Interpreter::Sd(const Instruction& instruction) {
  DefineFont(instruction, state_.defaults.label.fonts.standard);
}

void Hpgl2Interpreter::Ad(const Instruction& instruction) {
  DefineFont(instruction, state_.defaults.label.fonts.alternate);
}

void Hpgl2Interpreter::Ss(const Instruction&) {
  state_.defaults.label.fonts.alternateSelected = false;
}

void Hpgl2Interpreter::Sa(const Instruction&) {
  state_.defaults.label.fonts.alternateSelected = true;
}

// CF mode[,edge pen]: how outline characters are drawn: 0 and 2 filled, 1 edged only, 3 both;
// edged with the edge pen, 0 (or none given) meaning the selected one.
void Hpgl2Interpreter::Cf(const Instruction& instruction) {
  ParameterList parameters(instruction.parameters);
  double v[2] = {0, 0};
  parameters.Take(v, 2);
  const int mode = ToInt(v[0]);
  LabelSetting& label = state_.defaults.label;
  label.characterFill = mode >= 0 && mode <= 3 ? mode : 0;
  label.edgePen = std::clamp(ToInt(v[1]), 0, 32767);
}

}  // namespace korvid
