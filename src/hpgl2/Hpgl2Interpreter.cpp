#include "hpgl2/Hpgl2Interpreter.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <numbers>
#include <utility>

#include "hpgl2/CurveFlattening.h"
#include "hpgl2/ParameterList.h"
#include "hpgl2/PolylineEncoding.h"
#include "model/PlotUnits.h"

namespace korvid {

namespace {

constexpr double kDegree = std::numbers::pi / 180;
constexpr double kPlotterUnitsPerCm = 10 * kPlotterUnitsPerMm;
constexpr double kDefaultChordDeg = 5;
// A plotter's polygon buffer is small; this one stops taking points well before memory
// matters, and the read goes on.
constexpr std::size_t kMostBufferedPoints = std::size_t{1} << 22;

// HP-GL/2's fixed line types 1..8: drawn and blank lengths in percent of the pattern.
const std::vector<double>& FixedPattern(int type) {
  static const std::vector<double> kPatterns[9] = {
      {},
      {0, 100},
      {50, 50},
      {70, 30},
      {80, 10, 0, 10},
      {70, 10, 10, 10},
      {50, 10, 10, 10, 10, 10},
      {70, 10, 0, 10, 0, 10},
      {50, 10, 0, 10, 10, 10, 0, 10},
  };
  return kPatterns[type];
}

// Mnemonics HP-GL/2 and its predecessors know that change nothing on the paper a
// viewer shows: device set-up, fonts, media, output to the host.
constexpr const char* kNothingOnPaper[] = {
    "AC", "AD", "AF", "AH", "AP", "AS", "BL", "BP", "CA", "CF", "CM", "CO", "CS", "CV",
    "DC", "DL", "DP", "DS", "EC", "FI", "FN", "FR", "FS", "GC", "GM", "GP", "IM", "IV",
    "KY", "LA", "LM", "MC", "MG", "MT", "NR", "OA", "OC", "OD", "OE", "OF", "OG", "OH",
    "OI", "OK", "OL", "OO", "OP", "OS", "OT", "OW", "PB", "PP", "PS", "PT", "QL", "RF",
    "RP", "SA", "SB", "SD", "SG", "SS", "ST", "SV", "TD", "TR", "UF", "VS", "WD",
};

int Slot(char first, char second) {
  return (first - 'A') * 26 + (second - 'A');
}

int ToInt(double value) {
  return static_cast<int>(std::clamp(std::round(value), -2147483647.0, 2147483647.0));
}

}  // namespace

const std::array<Hpgl2Interpreter::Handler, 26 * 26>& Hpgl2Interpreter::Handlers() {
  static const std::array<Handler, 26 * 26> table = [] {
    std::array<Handler, 26 * 26> t{};
    for (const char* name : kNothingOnPaper)
      t[static_cast<std::size_t>(Slot(name[0], name[1]))] = &Hpgl2Interpreter::Ignored;
    struct Entry {
      const char* name;
      Handler handler;
    };
    const Entry entries[] = {
        {"IN", &Hpgl2Interpreter::In},   {"DF", &Hpgl2Interpreter::Df},
        {"PG", &Hpgl2Interpreter::Pg},   {"BP", &Hpgl2Interpreter::Pg},
        {"PA", &Hpgl2Interpreter::Pa},   {"PR", &Hpgl2Interpreter::Pr},
        {"PU", &Hpgl2Interpreter::Pu},   {"PD", &Hpgl2Interpreter::Pd},
        {"PE", &Hpgl2Interpreter::Pe},   {"CI", &Hpgl2Interpreter::Ci},
        {"AA", &Hpgl2Interpreter::Aa},   {"AR", &Hpgl2Interpreter::Ar},
        {"AT", &Hpgl2Interpreter::At},   {"RT", &Hpgl2Interpreter::Rt},
        {"BZ", &Hpgl2Interpreter::Bz},   {"BR", &Hpgl2Interpreter::Br},
        {"CT", &Hpgl2Interpreter::Ct},   {"EA", &Hpgl2Interpreter::Ea},
        {"ER", &Hpgl2Interpreter::Er},   {"RA", &Hpgl2Interpreter::Ra},
        {"RR", &Hpgl2Interpreter::Rr},   {"EW", &Hpgl2Interpreter::Ew},
        {"WG", &Hpgl2Interpreter::Wg},   {"PM", &Hpgl2Interpreter::Pm},
        {"EP", &Hpgl2Interpreter::Ep},   {"FP", &Hpgl2Interpreter::Fp},
        {"FT", &Hpgl2Interpreter::Ft},   {"LT", &Hpgl2Interpreter::Lt},
        {"UL", &Hpgl2Interpreter::Ul},   {"PW", &Hpgl2Interpreter::Pw},
        {"WU", &Hpgl2Interpreter::Wu},   {"SP", &Hpgl2Interpreter::Sp},
        {"NP", &Hpgl2Interpreter::Np},   {"PC", &Hpgl2Interpreter::Pc},
        {"CR", &Hpgl2Interpreter::Cr},   {"IP", &Hpgl2Interpreter::Ip},
        {"IR", &Hpgl2Interpreter::Ir},   {"SC", &Hpgl2Interpreter::Sc},
        {"RO", &Hpgl2Interpreter::Ro},   {"IW", &Hpgl2Interpreter::Iw},
        {"XT", &Hpgl2Interpreter::Xt},   {"YT", &Hpgl2Interpreter::Yt},
        {"TL", &Hpgl2Interpreter::Tl},   {"LB", &Hpgl2Interpreter::Lb},
        {"SI", &Hpgl2Interpreter::Si},   {"SR", &Hpgl2Interpreter::Sr},
        {"DI", &Hpgl2Interpreter::Di},   {"DR", &Hpgl2Interpreter::Dr},
        {"SL", &Hpgl2Interpreter::Sl},   {"LO", &Hpgl2Interpreter::Lo},
        {"CP", &Hpgl2Interpreter::Cp},   {"ES", &Hpgl2Interpreter::Es},
        {"DT", &Hpgl2Interpreter::Dt},   {"DV", &Hpgl2Interpreter::Dv},
        {"CA", &Hpgl2Interpreter::Read}, {"CS", &Hpgl2Interpreter::Cs},
        {"SD", &Hpgl2Interpreter::Sd},   {"SA", &Hpgl2Interpreter::Read},
        {"SS", &Hpgl2Interpreter::Read}, {"LA", &Hpgl2Interpreter::La},
        {"PS", &Hpgl2Interpreter::Read}, {"CO", &Hpgl2Interpreter::Read},
        {"SM", &Hpgl2Interpreter::Sm},
    };
    for (const Entry& entry : entries)
      t[static_cast<std::size_t>(Slot(entry.name[0], entry.name[1]))] = entry.handler;
    return t;
  }();
  return table;
}

bool Hpgl2Interpreter::ChangesDrawing(char first, char second) {
  const auto upper = [](char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
  };
  first = upper(first);
  second = upper(second);
  if (first < 'A' || first > 'Z' || second < 'A' || second > 'Z') return false;
  const Handler handler = Handlers()[static_cast<std::size_t>(Slot(first, second))];
  // The symbol set matters only to a label, which is what draws.
  const Handler setUp[] = {&Hpgl2Interpreter::Ignored, &Hpgl2Interpreter::Read,
                           &Hpgl2Interpreter::Cs, &Hpgl2Interpreter::Sd};
  return handler && std::find(std::begin(setUp), std::end(setUp), handler) == std::end(setUp);
}

Hpgl2Interpreter::Hpgl2Interpreter(StandardReadOutcome& outcome, ModelBudget& budget)
    : outcome_(outcome), pages_(outcome.plot, budget) {
  Initialize();
}

void Hpgl2Interpreter::Run(std::string_view bytes) {
  InstructionScanner scanner(bytes);
  scanner_ = &scanner;
  Instruction instruction;
  try {
    while (scanner.Next(instruction)) {
      ++outcome_.counts.instructions;
      Dispatch(instruction);
    }
  } catch (const BudgetSpent&) {
    outcome_.memoryBudgetReached = true;
    outcome_.stoppedAtByte = static_cast<std::int64_t>(instruction.offset);
  }
  scanner_ = nullptr;
  pages_.Finish();
  outcome_.ignored = ignored_.Entries();
  outcome_.unread = unread_.Entries();
}

void Hpgl2Interpreter::Dispatch(const Instruction& instruction) {
  const Handler handler =
      Handlers()[static_cast<std::size_t>(Slot(instruction.mnemonic[0], instruction.mnemonic[1]))];
  if (!handler) {
    unread_.Count(instruction.mnemonic[0], instruction.mnemonic[1]);
    return;
  }
  (this->*handler)(instruction);
}

void Hpgl2Interpreter::Ignored(const Instruction& instruction) {
  ignored_.Count(instruction.mnemonic[0], instruction.mnemonic[1]);
}

// ---------------------------------------------------------------- state resets

void Hpgl2Interpreter::SetDefaults() {
  scaling_.SetScale(nullptr, 0);
  relative_ = false;
  lineType_ = {};
  previousLineType_ = {};
  lineAttributes_ = {};
  for (auto& pattern : userPatterns_)
    pattern.clear();
  chordAsDeviation_ = false;
  fillKind_ = FillKind::Solid;
  hatchSpacing_ = 0;
  hatchAngleDeg_ = 0;
  shadingPercent_ = 100;
  polygonMode_ = false;
  polygonBuffer_.clear();
  ringStartsAtNextPoint_ = false;
  bufferedPoints_ = 0;
  tickPlusPercent_ = tickMinusPercent_ = 0.5;
  label_ = {};
  symbol_ = 0;
  terminator_ = InstructionScanner::kEtx;
  terminatorPrinting_ = false;
  if (scanner_) scanner_->SetLabelTerminator(terminator_, terminatorPrinting_);
  pages_.SetClip(std::nullopt);
  StyleChanged();
}

void Hpgl2Interpreter::Initialize() {
  scaling_.Reset();
  SetDefaults();
  palette_.Reset();
  widthsRelative_ = false;
  pages_.SetRotation(0);
  pen_ = {0, 0};
  penDown_ = false;
  pendingDot_ = false;
  carriageReturn_ = pen_;
  pages_.BreakLine();
}

// IN resets the plotter but feeds no paper: cutters and some drivers start every path
// with IN. Pages are separated by PG, or by BP, which begins a new plot.
void Hpgl2Interpreter::In(const Instruction&) {
  DropPendingDot();
  Initialize();
}

void Hpgl2Interpreter::Df(const Instruction&) {
  SetDefaults();
}

void Hpgl2Interpreter::Pg(const Instruction&) {
  DropPendingDot();
  pages_.AdvancePage();
}

// ---------------------------------------------------------------- pen moves

double Hpgl2Interpreter::Diagonal() const {
  const PlotPoint p1 = scaling_.P1(), p2 = scaling_.P2();
  return std::hypot(p2.x - p1.x, p2.y - p1.y);
}

std::int32_t Hpgl2Interpreter::DashIndex(const std::vector<double>& pattern) {
  std::vector<std::vector<double>>& patterns = outcome_.plot.dashPatterns;
  for (std::size_t i = 0; i < patterns.size(); ++i) {
    if (patterns[i] == pattern) return static_cast<std::int32_t>(i);
  }
  patterns.push_back(pattern);
  return static_cast<std::int32_t>(patterns.size() - 1);
}

const StrokeStyle& Hpgl2Interpreter::Stroke() {
  if (strokeValid_) return stroke_;
  stroke_ = {};
  stroke_.pen = selectedPen_;
  stroke_.colour = palette_.Colour(selectedPen_);
  stroke_.widthMm = palette_.WidthMm(selectedPen_);
  stroke_.lineType = lineType_.type;
  stroke_.ends = lineAttributes_.ends;
  stroke_.joins = lineAttributes_.joins;
  const int type = std::abs(lineType_.type);
  if (lineType_.type != StrokeStyle::kSolidLine && type >= 1 && type <= 8) {
    const std::vector<double>& user = userPatterns_[static_cast<std::size_t>(type)];
    stroke_.dashIndex = DashIndex(user.empty() ? FixedPattern(type) : user);
    stroke_.patternLength = lineType_.absolute ? lineType_.lengthPercent * kPlotterUnitsPerMm
                                               : lineType_.lengthPercent / 100 * Diagonal();
  } else if (lineType_.type != 0) {
    stroke_.lineType = StrokeStyle::kSolidLine;
  }
  strokeValid_ = true;
  return stroke_;
}

void Hpgl2Interpreter::AddToPolygonBuffer(PlotPoint p, bool drawn) {
  if (bufferedPoints_ >= kMostBufferedPoints) return;
  if (ringClosed_ || polygonBuffer_.empty()) {
    polygonBuffer_.push_back({{ringStartsAtNextPoint_ ? p : pen_}, {false}});
    ++bufferedPoints_;
    ringClosed_ = false;
    if (std::exchange(ringStartsAtNextPoint_, false)) return;
  }
  BufferedRing& ring = polygonBuffer_.back();
  ring.points.push_back(p);
  ring.drawn.push_back(drawn);
  ++bufferedPoints_;
}

void Hpgl2Interpreter::CloseBufferedRing() {
  ringClosed_ = true;
  ringStartsAtNextPoint_ = false;
}

void Hpgl2Interpreter::MoveTo(PlotPoint target, bool drawing) {
  if (polygonMode_) {
    // A pen-up move right after a closed subpolygon only places the next one's start.
    if (!drawing && (ringClosed_ || polygonBuffer_.empty())) {
      pen_ = target;
      ringStartsAtNextPoint_ = false;
      return;
    }
    AddToPolygonBuffer(target, drawing && selectedPen_ != 0);
    pen_ = target;
    return;
  }
  pendingDot_ = false;
  if (drawing && selectedPen_ != 0) {
    const StrokeStyle& style = Stroke();
    if (style.DotsOnly()) {
      pages_.DrawDot(target, style);
    } else {
      pages_.DrawSegment(pen_, target, style);
    }
  } else {
    pages_.BreakLine();
  }
  pen_ = target;
  carriageReturn_ = pen_;
}

void Hpgl2Interpreter::Polyline(const std::vector<PlotPoint>& points, bool drawing) {
  if (points.empty()) return;
  if (polygonMode_ || !drawing || selectedPen_ == 0 || Stroke().DotsOnly()) {
    for (const PlotPoint& p : points)
      MoveTo(p, drawing);
    return;
  }
  // A curve drawn with the pen down: the whole path at once.
  pendingDot_ = false;
  std::vector<PlotPoint>& path = pathScratch_;
  path.clear();
  path.push_back(pen_);
  path.insert(path.end(), points.begin(), points.end());
  pages_.DrawPath(path.data(), path.size(), Stroke());
  pen_ = points.back();
  carriageReturn_ = pen_;
}

PlotPoint Hpgl2Interpreter::Target(double x, double y, bool relative) const {
  if (relative) return {pen_.x + scaling_.XUnits(x), pen_.y + scaling_.YUnits(y)};
  return scaling_.ToPlotter({x, y});
}

void Hpgl2Interpreter::CoordinatePairs(const Instruction& instruction, bool relative) {
  ParameterList parameters(instruction.parameters);
  double x = 0, y = 0;
  while (parameters.Next(x) && parameters.Next(y)) {
    MoveTo(Target(x, y, relative), penDown_);
    if (symbol_ != 0) DrawSymbol();
  }
}

void Hpgl2Interpreter::Pa(const Instruction& instruction) {
  relative_ = false;
  CoordinatePairs(instruction, false);
}

void Hpgl2Interpreter::Pr(const Instruction& instruction) {
  relative_ = true;
  CoordinatePairs(instruction, true);
}

void Hpgl2Interpreter::Pu(const Instruction& instruction) {
  DropPendingDot();
  penDown_ = false;
  pages_.BreakLine();
  CoordinatePairs(instruction, relative_);
}

// A pen lowered and raised again without moving leaves a dot (drill marks, points).
void Hpgl2Interpreter::Pd(const Instruction& instruction) {
  const bool wasUp = !penDown_;
  penDown_ = true;
  if (ParameterList(instruction.parameters).Empty()) {
    if (wasUp && !polygonMode_) pendingDot_ = true;
    return;
  }
  CoordinatePairs(instruction, relative_);
}

void Hpgl2Interpreter::DropPendingDot() {
  if (!pendingDot_) return;
  pendingDot_ = false;
  if (selectedPen_ != 0 && penDown_) pages_.DrawDot(pen_, Stroke());
}

namespace {

class EncodedMoves : public PolylineEncodingSink {
 public:
  using MoveFn = void (*)(void*, double, double, bool, bool);
  using PenFn = void (*)(void*, int);
  EncodedMoves(void* target, MoveFn move, PenFn pen) : target_(target), move_(move), pen_(pen) {}
  void SelectPen(int pen) override { pen_(target_, pen); }
  void Move(double x, double y, bool absolute, bool penUp) override {
    move_(target_, x, y, absolute, penUp);
  }

 private:
  void* target_;
  MoveFn move_;
  PenFn pen_;
};

}  // namespace

void Hpgl2Interpreter::Pe(const Instruction& instruction) {
  EncodedMoves moves(
      this,
      [](void* self, double x, double y, bool absolute, bool penUp) {
        auto& interpreter = *static_cast<Hpgl2Interpreter*>(self);
        interpreter.penDown_ = !penUp;
        if (penUp) interpreter.pages_.BreakLine();
        interpreter.MoveTo(interpreter.Target(x, y, !absolute), !penUp);
      },
      [](void* self, int pen) {
        auto& interpreter = *static_cast<Hpgl2Interpreter*>(self);
        interpreter.selectedPen_ = std::max(pen, 0);
        interpreter.StyleChanged();
      });
  DecodePolylineEncoded(instruction.parameters, moves);
}

// ---------------------------------------------------------------- arcs and curves

double Hpgl2Interpreter::ChordDeg(double parameter, double radiusUser) const {
  if (!chordAsDeviation_) return parameter;
  // CT1: the parameter is the largest distance of a chord from the arc.
  const double radius = std::fabs(radiusUser);
  if (radius == 0 || !std::isfinite(radius)) return kDefaultChordDeg;
  const double ratio = std::clamp(1 - std::fabs(parameter) / radius, -1.0, 1.0);
  return 2 * std::acos(ratio) / kDegree;
}

// An arc in user units around `centreUser`, from the pen, drawn point by point.
void Hpgl2Interpreter::Arc(PlotPoint centreUser, double sweepDeg, double chordDeg) {
  const PlotPoint penUser = scaling_.ToUser(pen_);
  const double radius = std::hypot(penUser.x - centreUser.x, penUser.y - centreUser.y);
  const double startDeg = std::atan2(penUser.y - centreUser.y, penUser.x - centreUser.x) / kDegree;
  std::vector<PlotPoint>& points = curveScratch_;
  points.clear();
  AppendArc(centreUser, radius, startDeg, sweepDeg, ChordDeg(chordDeg, radius), points);
  for (PlotPoint& p : points)
    p = scaling_.ToPlotter(p);
  if (!points.empty()) ++outcome_.counts.arcs;
  Polyline(points, penDown_);
}

void Hpgl2Interpreter::Ct(const Instruction& instruction) {
  ParameterList parameters(instruction.parameters);
  double mode = 0;
  chordAsDeviation_ = parameters.Next(mode) && ToInt(mode) == 1;
}

void Hpgl2Interpreter::Aa(const Instruction& instruction) {
  ParameterList parameters(instruction.parameters);
  double v[4] = {0, 0, 0, kDefaultChordDeg};
  if (parameters.Take(v, 4) < 3) return;
  Arc({v[0], v[1]}, v[2], v[3]);
}

void Hpgl2Interpreter::Ar(const Instruction& instruction) {
  ParameterList parameters(instruction.parameters);
  double v[4] = {0, 0, 0, kDefaultChordDeg};
  if (parameters.Take(v, 4) < 3) return;
  const PlotPoint penUser = scaling_.ToUser(pen_);
  Arc({penUser.x + v[0], penUser.y + v[1]}, v[2], v[3]);
}

void Hpgl2Interpreter::ThreePointArc(const Instruction& instruction, bool relative) {
  ParameterList parameters(instruction.parameters);
  double v[5] = {0, 0, 0, 0, kDefaultChordDeg};
  if (parameters.Take(v, 5) < 4) return;
  const PlotPoint start = scaling_.ToUser(pen_);
  const PlotPoint middle =
      relative ? PlotPoint{start.x + v[0], start.y + v[1]} : PlotPoint{v[0], v[1]};
  const PlotPoint end =
      relative ? PlotPoint{start.x + v[2], start.y + v[3]} : PlotPoint{v[2], v[3]};
  std::vector<PlotPoint> points;
  const double radius = std::hypot(middle.x - start.x, middle.y - start.y);
  AppendThreePointArc(start, middle, end, ChordDeg(v[4], radius), points);
  for (PlotPoint& p : points)
    p = scaling_.ToPlotter(p);
  ++outcome_.counts.arcs;
  Polyline(points, penDown_);
}

void Hpgl2Interpreter::At(const Instruction& instruction) {
  ThreePointArc(instruction, false);
}

void Hpgl2Interpreter::Rt(const Instruction& instruction) {
  ThreePointArc(instruction, true);
}

void Hpgl2Interpreter::Bezier(const Instruction& instruction, bool relative) {
  ParameterList parameters(instruction.parameters);
  double v[6];
  while (parameters.Take(v, 6) == 6) {
    const PlotPoint start = scaling_.ToUser(pen_);
    const double bx = relative ? start.x : 0, by = relative ? start.y : 0;
    std::vector<PlotPoint>& points = curveScratch_;
    points.clear();
    AppendBezier(start, {bx + v[0], by + v[1]}, {bx + v[2], by + v[3]}, {bx + v[4], by + v[5]},
                 points);
    for (PlotPoint& p : points)
      p = scaling_.ToPlotter(p);
    ++outcome_.counts.arcs;
    Polyline(points, penDown_);
  }
}

void Hpgl2Interpreter::Bz(const Instruction& instruction) {
  Bezier(instruction, relative_);
}

void Hpgl2Interpreter::Br(const Instruction& instruction) {
  Bezier(instruction, true);
}

void Hpgl2Interpreter::CirclePoints(double radiusUser, double chordDeg,
                                    std::vector<PlotPoint>& points) const {
  const PlotPoint centre = scaling_.ToUser(pen_);
  points.push_back({centre.x + radiusUser, centre.y});
  AppendArc(centre, radiusUser, 0, 360, ChordDeg(chordDeg, radiusUser), points);
  for (PlotPoint& p : points)
    p = scaling_.ToPlotter(p);
}

// CI: the pen goes down for the circle whatever its state, and comes back to the centre.
void Hpgl2Interpreter::Ci(const Instruction& instruction) {
  ParameterList parameters(instruction.parameters);
  double v[2] = {0, kDefaultChordDeg};
  if (parameters.Take(v, 2) < 1) return;
  std::vector<PlotPoint>& points = curveScratch_;
  points.clear();
  CirclePoints(v[0], v[1], points);
  if (points.size() < 2) return;
  ++outcome_.counts.arcs;
  if (polygonMode_) {
    CloseBufferedRing();
    polygonBuffer_.push_back({points, std::vector<bool>(points.size(), selectedPen_ != 0)});
    polygonBuffer_.back().drawn[0] = false;
    bufferedPoints_ += points.size();
    CloseBufferedRing();
    return;
  }
  if (selectedPen_ == 0) return;
  pages_.BreakLine();
  pages_.DrawPath(points.data(), points.size(), Stroke());
  pages_.BreakLine();
}

// ---------------------------------------------------------------- polygons

std::vector<PlotRing> Hpgl2Interpreter::BufferedRings() const {
  std::vector<PlotRing> rings;
  for (const BufferedRing& ring : polygonBuffer_) {
    if (ring.points.size() >= 3) rings.push_back(ring.points);
  }
  return rings;
}

void Hpgl2Interpreter::EdgeRings(const std::vector<PlotRing>& rings) {
  if (selectedPen_ == 0) return;
  const StrokeStyle& style = Stroke();
  for (const PlotRing& ring : rings) {
    pages_.BreakLine();
    for (std::size_t i = 0; i < ring.size(); ++i)
      pages_.DrawSegment(ring[i], ring[(i + 1) % ring.size()], style);
  }
  pages_.BreakLine();
}

void Hpgl2Interpreter::FillRings(const std::vector<PlotRing>& rings) {
  if (rings.empty() || selectedPen_ == 0) return;
  StandardPolygon fill;
  fill.fill = fillKind_;
  fill.pen = selectedPen_;
  fill.widthMm = palette_.WidthMm(selectedPen_);
  fill.hatchSpacing = hatchSpacing_ > 0 ? hatchSpacing_ : Diagonal() / 100;
  fill.hatchAngleDeg = hatchAngleDeg_;
  const ColourRef colour = palette_.Colour(selectedPen_);
  if (shadingPercent_ < 100) {
    // Shading: the pen's colour thinned towards white.
    const double level = std::clamp(shadingPercent_, 0.0, 100.0) / 100;
    ColourRef shaded = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
      const double channel = (colour >> shift) & 0xFF;
      const auto value = static_cast<ColourRef>(std::lround(255 - (255 - channel) * level));
      shaded |= value << shift;
    }
    fill.colour = shaded;
  } else {
    fill.colour = colour;
  }
  const std::size_t before = outcome_.plot.pages.size();
  const std::size_t polygonsBefore = outcome_.plot.pages.back().polygons.size();
  pages_.FillPolygon(rings, fill);
  if (outcome_.plot.pages.size() != before ||
      outcome_.plot.pages.back().polygons.size() != polygonsBefore)
    ++outcome_.counts.polygons;
}

void Hpgl2Interpreter::Pm(const Instruction& instruction) {
  ParameterList parameters(instruction.parameters);
  double mode = 0;
  parameters.Next(mode);
  switch (ToInt(mode)) {
    case 0:
      polygonMode_ = true;
      polygonBuffer_.clear();
      bufferedPoints_ = 0;
      ringClosed_ = true;
      polygonBuffer_.push_back({{pen_}, {false}});
      ringClosed_ = false;
      pages_.BreakLine();
      break;
    case 1:
      CloseBufferedRing();
      ringStartsAtNextPoint_ = true;
      break;
    case 2:
      CloseBufferedRing();
      polygonMode_ = false;
      break;
    default:
      break;
  }
}

void Hpgl2Interpreter::Ep(const Instruction&) {
  if (selectedPen_ == 0) return;
  const StrokeStyle& style = Stroke();
  for (const BufferedRing& ring : polygonBuffer_) {
    if (ring.points.size() < 2) continue;
    pages_.BreakLine();
    const std::size_t n = ring.points.size();
    for (std::size_t i = 1; i <= n; ++i) {
      const std::size_t to = i % n;
      // The closing edge is drawn when the ring's last edge was.
      const bool drawn = to == 0 ? ring.drawn[n - 1] : ring.drawn[to];
      if (drawn) {
        pages_.DrawSegment(ring.points[i - 1], ring.points[to], style);
      } else {
        pages_.BreakLine();
      }
    }
  }
  pages_.BreakLine();
}

void Hpgl2Interpreter::Fp(const Instruction& instruction) {
  ParameterList parameters(instruction.parameters);
  double rule = 0;
  parameters.Next(rule);
  const std::int64_t polygonsBefore = outcome_.counts.polygons;
  FillRings(BufferedRings());
  if (outcome_.counts.polygons != polygonsBefore && ToInt(rule) == 1)
    outcome_.plot.pages.back().polygons.back().nonZeroWinding = true;
}

void Hpgl2Interpreter::Ft(const Instruction& instruction) {
  ParameterList parameters(instruction.parameters);
  double v[3] = {1, 0, 0};
  const std::size_t count = parameters.Take(v, 3);
  const int type = count == 0 ? 1 : ToInt(v[0]);
  shadingPercent_ = 100;
  switch (type) {
    case 3:
    case 4:
      fillKind_ = type == 3 ? FillKind::Hatch : FillKind::CrossHatch;
      if (count >= 2) hatchSpacing_ = std::fabs(scaling_.XUnits(v[1]));
      if (count >= 3) hatchAngleDeg_ = v[2];
      break;
    case 10:
      fillKind_ = FillKind::Solid;
      shadingPercent_ = count >= 2 ? v[1] : 100;
      break;
    default:
      fillKind_ = FillKind::Solid;  // solid, and raster patterns drawn as solid
      break;
  }
}

std::vector<PlotPoint> Hpgl2Interpreter::RectangleRing(PlotPoint corner) const {
  return {pen_, {corner.x, pen_.y}, corner, {pen_.x, corner.y}};
}

void Hpgl2Interpreter::Ea(const Instruction& instruction) {
  ParameterList parameters(instruction.parameters);
  double v[2];
  if (parameters.Take(v, 2) == 2) EdgeRings({RectangleRing(Target(v[0], v[1], false))});
}

void Hpgl2Interpreter::Er(const Instruction& instruction) {
  ParameterList parameters(instruction.parameters);
  double v[2];
  if (parameters.Take(v, 2) == 2) EdgeRings({RectangleRing(Target(v[0], v[1], true))});
}

void Hpgl2Interpreter::Ra(const Instruction& instruction) {
  ParameterList parameters(instruction.parameters);
  double v[2];
  if (parameters.Take(v, 2) == 2) FillRings({RectangleRing(Target(v[0], v[1], false))});
}

void Hpgl2Interpreter::Rr(const Instruction& instruction) {
  ParameterList parameters(instruction.parameters);
  double v[2];
  if (parameters.Take(v, 2) == 2) FillRings({RectangleRing(Target(v[0], v[1], true))});
}

std::vector<PlotPoint> Hpgl2Interpreter::WedgeRing(double radius, double startDeg, double sweepDeg,
                                                   double chordDeg) const {
  const PlotPoint centre = scaling_.ToUser(pen_);
  std::vector<PlotPoint> points;
  const bool full = std::fabs(sweepDeg) >= 360;
  if (!full) points.push_back(centre);
  const double start = startDeg * kDegree;
  points.push_back({centre.x + radius * std::cos(start), centre.y + radius * std::sin(start)});
  AppendArc(centre, radius, startDeg, full ? 360 : sweepDeg, ChordDeg(chordDeg, radius), points);
  if (full) points.pop_back();
  for (PlotPoint& p : points)
    p = scaling_.ToPlotter(p);
  return points;
}

void Hpgl2Interpreter::Ew(const Instruction& instruction) {
  ParameterList parameters(instruction.parameters);
  double v[4] = {0, 0, 0, kDefaultChordDeg};
  if (parameters.Take(v, 4) < 3) return;
  ++outcome_.counts.arcs;
  EdgeRings({WedgeRing(v[0], v[1], v[2], v[3])});
}

void Hpgl2Interpreter::Wg(const Instruction& instruction) {
  ParameterList parameters(instruction.parameters);
  double v[4] = {0, 0, 0, kDefaultChordDeg};
  if (parameters.Take(v, 4) < 3) return;
  FillRings({WedgeRing(v[0], v[1], v[2], v[3])});
}

// ---------------------------------------------------------------- line and pen attributes

// LA kind,value pairs: 1 ends (1 butt, 2 square, 3 triangular, 4 round), 2 joins (1 and 2
// mitered, 3 triangular, 4 round, 5 beveled, 6 none); the miter limit (3) is left to
// the device. Without parameters, the defaults.
void Hpgl2Interpreter::La(const Instruction& instruction) {
  ParameterList parameters(instruction.parameters);
  double pair[2];
  std::size_t pairs = 0;
  while (parameters.Take(pair, 2) == 2) {
    ++pairs;
    const int kind = ToInt(pair[0]), value = ToInt(pair[1]);
    if (kind == 1 && value >= 1 && value <= 4) {
      const LineEnd ends[] = {LineEnd::Butt, LineEnd::Square, LineEnd::Square, LineEnd::Round};
      lineAttributes_.ends = ends[value - 1];
    } else if (kind == 2 && value >= 1 && value <= 6) {
      const LineJoin joins[] = {LineJoin::Miter, LineJoin::Miter, LineJoin::Bevel,
                                LineJoin::Round, LineJoin::Bevel, LineJoin::Bevel};
      lineAttributes_.joins = joins[value - 1];
    }
  }
  if (pairs == 0) lineAttributes_ = {};
  StyleChanged();
}

void Hpgl2Interpreter::Lt(const Instruction& instruction) {
  ParameterList parameters(instruction.parameters);
  double v[3] = {0, 4, 0};
  const std::size_t count = parameters.Take(v, 3);
  if (count == 0) {
    previousLineType_ = lineType_;
    lineType_ = {};
    StyleChanged();
    return;
  }
  const int type = ToInt(v[0]);
  if (type == 99) {
    std::swap(lineType_, previousLineType_);
    StyleChanged();
    return;
  }
  if (type < -8 || type > 8) return;
  previousLineType_ = lineType_;
  lineType_.type = type;
  if (count >= 3) lineType_.absolute = ToInt(v[2]) == 1;
  if (count >= 2 && v[1] > 0) {
    lineType_.lengthPercent = v[1];
  } else if (count >= 3) {
    lineType_.lengthPercent = 4;
  }
  StyleChanged();
}

void Hpgl2Interpreter::Ul(const Instruction& instruction) {
  ParameterList parameters(instruction.parameters);
  double index = 0;
  if (!parameters.Next(index)) {
    for (auto& pattern : userPatterns_)
      pattern.clear();
    StyleChanged();
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
  auto& pattern = userPatterns_[static_cast<std::size_t>(type)];
  pattern.clear();
  if (total > 0) {
    for (double gap : gaps)
      pattern.push_back(gap / total * 100);
  }
  StyleChanged();
}

void Hpgl2Interpreter::Pw(const Instruction& instruction) {
  ParameterList parameters(instruction.parameters);
  double v[2] = {0, 0};
  const std::size_t count = parameters.Take(v, 2);
  double widthMm = count == 0 ? (widthsRelative_ ? 0.1 : PenPalette::kDefaultWidthMm) : v[0];
  if (widthsRelative_) widthMm = widthMm / 100 * Diagonal() / kPlotterUnitsPerMm;
  widthMm = std::clamp(std::fabs(widthMm), 0.0, 1000.0);
  if (count >= 2) {
    palette_.SetWidth(ToInt(v[1]), widthMm);
  } else {
    palette_.SetWidth(widthMm);
  }
  StyleChanged();
}

void Hpgl2Interpreter::Wu(const Instruction& instruction) {
  ParameterList parameters(instruction.parameters);
  double mode = 0;
  parameters.Next(mode);
  widthsRelative_ = ToInt(mode) == 1;
  palette_.SetWidth(widthsRelative_ ? 0.1 / 100 * Diagonal() / kPlotterUnitsPerMm
                                    : PenPalette::kDefaultWidthMm);
  StyleChanged();
}

void Hpgl2Interpreter::Sp(const Instruction& instruction) {
  ParameterList parameters(instruction.parameters);
  double pen = 0;
  parameters.Next(pen);
  DropPendingDot();
  selectedPen_ = std::clamp(ToInt(pen), 0, 32767);
  pages_.BreakLine();
  StyleChanged();
}

void Hpgl2Interpreter::Np(const Instruction& instruction) {
  ParameterList parameters(instruction.parameters);
  double count = 8;
  parameters.Next(count);
  palette_.SetPenCount(std::clamp(ToInt(count), 2, 256));
  StyleChanged();
}

void Hpgl2Interpreter::Pc(const Instruction& instruction) {
  ParameterList parameters(instruction.parameters);
  double v[4];
  const std::size_t count = parameters.Take(v, 4);
  if (count == 0) {
    palette_.ResetColours();
  } else if (count < 4) {
    palette_.ResetColour(ToInt(v[0]));
  } else {
    palette_.SetColour(ToInt(v[0]), v[1], v[2], v[3]);
  }
  StyleChanged();
}

void Hpgl2Interpreter::Cr(const Instruction& instruction) {
  ParameterList parameters(instruction.parameters);
  double v[6];
  palette_.SetColourRange(v, static_cast<int>(parameters.Take(v, 6)));
}

// ---------------------------------------------------------------- scaling and window

void Hpgl2Interpreter::Ip(const Instruction& instruction) {
  ParameterList parameters(instruction.parameters);
  double v[4];
  const std::size_t count = parameters.Take(v, 4);
  if (count >= 4) {
    scaling_.SetP1P2({v[0], v[1]}, {v[2], v[3]});
  } else if (count >= 2) {
    scaling_.SetP1({v[0], v[1]});
  } else {
    scaling_.SetRelative(nullptr, 0);
  }
  StyleChanged();
}

void Hpgl2Interpreter::Ir(const Instruction& instruction) {
  ParameterList parameters(instruction.parameters);
  double v[4];
  scaling_.SetRelative(v, static_cast<int>(parameters.Take(v, 4)));
  StyleChanged();
}

void Hpgl2Interpreter::Sc(const Instruction& instruction) {
  ParameterList parameters(instruction.parameters);
  double v[7];
  scaling_.SetScale(v, static_cast<int>(parameters.Take(v, 7)));
}

void Hpgl2Interpreter::Ro(const Instruction& instruction) {
  ParameterList parameters(instruction.parameters);
  double angle = 0;
  parameters.Next(angle);
  const int degrees = ToInt(angle);
  if (degrees == 0 || degrees == 90 || degrees == 180 || degrees == 270) {
    pages_.SetRotation(degrees);
    pages_.BreakLine();
  }
}

void Hpgl2Interpreter::Iw(const Instruction& instruction) {
  ParameterList parameters(instruction.parameters);
  double v[4];
  if (parameters.Take(v, 4) < 4) {
    pages_.SetClip(std::nullopt);
    return;
  }
  const PlotPoint a = scaling_.ToPlotter({v[0], v[1]});
  const PlotPoint b = scaling_.ToPlotter({v[2], v[3]});
  pages_.SetClip(
      ClipWindow{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)});
  pages_.BreakLine();
}

// ---------------------------------------------------------------- ticks

void Hpgl2Interpreter::Tl(const Instruction& instruction) {
  ParameterList parameters(instruction.parameters);
  double v[2] = {0.5, 0};
  const std::size_t count = parameters.Take(v, 2);
  tickPlusPercent_ = count >= 1 ? v[0] : 0.5;
  tickMinusPercent_ = count >= 2 ? v[1] : (count >= 1 ? 0 : 0.5);
}

void Hpgl2Interpreter::Xt(const Instruction&) {
  if (selectedPen_ == 0) return;
  const double height = std::fabs(scaling_.P2().y - scaling_.P1().y);
  const StrokeStyle& style = Stroke();
  pages_.BreakLine();
  pages_.DrawSegment({pen_.x, pen_.y - height * tickMinusPercent_ / 100},
                     {pen_.x, pen_.y + height * tickPlusPercent_ / 100}, style);
  pages_.BreakLine();
}

void Hpgl2Interpreter::Yt(const Instruction&) {
  if (selectedPen_ == 0) return;
  const double width = std::fabs(scaling_.P2().x - scaling_.P1().x);
  const StrokeStyle& style = Stroke();
  pages_.BreakLine();
  pages_.DrawSegment({pen_.x - width * tickMinusPercent_ / 100, pen_.y},
                     {pen_.x + width * tickPlusPercent_ / 100, pen_.y}, style);
  pages_.BreakLine();
}

// ---------------------------------------------------------------- labels

LabelStyle Hpgl2Interpreter::ResolvedLabelStyle() const {
  LabelStyle style;
  const double spanX = std::fabs(scaling_.P2().x - scaling_.P1().x);
  const double spanY = std::fabs(scaling_.P2().y - scaling_.P1().y);
  if (label_.relativeSize) {
    style.charWidth = label_.width / 100 * spanX;
    style.charHeight = label_.height / 100 * spanY;
  } else {
    style.charWidth = label_.width * kPlotterUnitsPerCm;
    style.charHeight = label_.height * kPlotterUnitsPerCm;
  }
  if (label_.relativeDirection) {
    style.directionX = label_.run / 100 * (scaling_.P2().x - scaling_.P1().x);
    style.directionY = label_.rise / 100 * (scaling_.P2().y - scaling_.P1().y);
  } else {
    style.directionX = label_.run;
    style.directionY = label_.rise;
  }
  if (style.directionX == 0 && style.directionY == 0) style.directionX = 1;
  style.slantTangent = label_.slant;
  style.origin = label_.origin;
  style.extraSpace = label_.extraSpace;
  style.extraLine = label_.extraLine;
  style.vertical = label_.vertical;
  style.eightBitSet = label_.eightBitSet;
  style.reversePath = label_.reversePath;
  style.reverseLineFeed = label_.reverseLineFeed;
  return style;
}

void Hpgl2Interpreter::DrawLabel(std::string_view text) {
  LabelStyle style = ResolvedLabelStyle();
  style.maxPointCount = pages_.RemainingPoints();
  StrokeStyle stroke = Stroke();
  stroke.lineType = StrokeStyle::kSolidLine;  // labels are drawn solid whatever LT says
  stroke.dashIndex = StrokeStyle::kNoDashes;
  stroke.patternLength = 0;
  const bool drawing = selectedPen_ != 0 && !polygonMode_;
  bool drew = false;
  // The whole text in one call, so that the label origin places it as one label; the
  // strokes come one at a time and go straight onto the page.
  const LabelLayout layout =
      LayOutLabel(text, style, {pen_.x, pen_.y}, {carriageReturn_.x, carriageReturn_.y},
                  [&](const LabelStroke& labelStroke) {
                    if (!drawing || labelStroke.empty()) return;
                    // Counted at its first stroke, so that a label the budget cuts counts.
                    if (!drew) ++outcome_.counts.labels;
                    drew = true;
                    pages_.BreakLine();
                    if (labelStroke.size() == 1)
                      pages_.DrawDot({labelStroke[0].x, labelStroke[0].y}, stroke);
                    for (std::size_t i = 1; i < labelStroke.size(); ++i)
                      pages_.DrawSegment({labelStroke[i - 1].x, labelStroke[i - 1].y},
                                         {labelStroke[i].x, labelStroke[i].y}, stroke);
                  });
  pages_.BreakLine();
  pen_ = {layout.penAfter.x, layout.penAfter.y};
  carriageReturn_ = {layout.carriageReturn.x, layout.carriageReturn.y};
}

// SM: the symbol character centred on every point that PA, PR, PU or PD reach.
void Hpgl2Interpreter::Sm(const Instruction& instruction) {
  const std::string_view parameters = instruction.parameters;
  const char symbol = parameters.empty() ? 0 : parameters[0];
  symbol_ = symbol > ' ' && symbol < 127 ? symbol : 0;
}

void Hpgl2Interpreter::DrawSymbol() {
  if (selectedPen_ == 0 || polygonMode_) return;
  LabelStyle style = ResolvedLabelStyle();
  style.origin = 5;
  style.maxPointCount = pages_.RemainingPoints();
  StrokeStyle stroke = Stroke();
  stroke.lineType = StrokeStyle::kSolidLine;
  stroke.dashIndex = StrokeStyle::kNoDashes;
  stroke.patternLength = 0;
  const LabelPoint at{pen_.x, pen_.y};
  LayOutLabel(std::string_view(&symbol_, 1), style, at, at, [&](const LabelStroke& labelStroke) {
    pages_.BreakLine();
    for (std::size_t i = 1; i < labelStroke.size(); ++i)
      pages_.DrawSegment({labelStroke[i - 1].x, labelStroke[i - 1].y},
                         {labelStroke[i].x, labelStroke[i].y}, stroke);
  });
  pages_.BreakLine();
}

void Hpgl2Interpreter::Lb(const Instruction& instruction) {
  DrawLabel(instruction.parameters);
}

void Hpgl2Interpreter::Si(const Instruction& instruction) {
  ParameterList parameters(instruction.parameters);
  double v[2];
  label_.relativeSize = false;
  if (parameters.Take(v, 2) == 2) {
    label_.width = v[0];
    label_.height = v[1];
  } else {
    label_.width = LabelSetting{}.width;
    label_.height = LabelSetting{}.height;
  }
}

void Hpgl2Interpreter::Sr(const Instruction& instruction) {
  ParameterList parameters(instruction.parameters);
  double v[2];
  label_.relativeSize = true;
  if (parameters.Take(v, 2) == 2) {
    label_.width = v[0];
    label_.height = v[1];
  } else {
    label_.width = 0.75;
    label_.height = 1.5;
  }
}

void Hpgl2Interpreter::Di(const Instruction& instruction) {
  SetLabelDirection(instruction, false);
}

void Hpgl2Interpreter::Dr(const Instruction& instruction) {
  SetLabelDirection(instruction, true);
}

// DI and DR differ only in what the run and rise are measured against; no direction, or
// none at all, is the default: along the X axis.
void Hpgl2Interpreter::SetLabelDirection(const Instruction& instruction, bool relative) {
  ParameterList parameters(instruction.parameters);
  double v[2];
  label_.relativeDirection = relative;
  if (parameters.Take(v, 2) == 2 && (v[0] != 0 || v[1] != 0)) {
    label_.run = v[0];
    label_.rise = v[1];
  } else {
    label_.run = 1;
    label_.rise = 0;
  }
}

void Hpgl2Interpreter::Sl(const Instruction& instruction) {
  ParameterList parameters(instruction.parameters);
  double tangent = 0;
  parameters.Next(tangent);
  label_.slant = std::clamp(tangent, -100.0, 100.0);
}

void Hpgl2Interpreter::Lo(const Instruction& instruction) {
  ParameterList parameters(instruction.parameters);
  double origin = 1;
  parameters.Next(origin);
  const int value = ToInt(origin);
  if ((value >= 1 && value <= 9) || (value >= 11 && value <= 19)) label_.origin = value;
  if (value == 21) label_.origin = 1;
}

void Hpgl2Interpreter::Cp(const Instruction& instruction) {
  ParameterList parameters(instruction.parameters);
  double v[2];
  const LabelStyle style = ResolvedLabelStyle();
  if (parameters.Take(v, 2) == 2) {
    // CP counts lines upwards; the layout counts them in the line-feed direction.
    const LabelPoint moved = CharacterPlot(style, {pen_.x, pen_.y}, std::clamp(v[0], -1e6, 1e6),
                                           -std::clamp(v[1], -1e6, 1e6));
    pen_ = {moved.x, moved.y};
  } else {
    // CP alone: carriage return and line feed.
    const LabelPoint moved = CharacterPlot(style, {carriageReturn_.x, carriageReturn_.y}, 0, 1);
    pen_ = {moved.x, moved.y};
    carriageReturn_ = pen_;
  }
  pages_.BreakLine();
}

void Hpgl2Interpreter::Es(const Instruction& instruction) {
  ParameterList parameters(instruction.parameters);
  double v[2] = {0, 0};
  parameters.Take(v, 2);
  label_.extraSpace = std::clamp(v[0], -100.0, 100.0);
  label_.extraLine = std::clamp(v[1], -100.0, 100.0);
}

void Hpgl2Interpreter::Dt(const Instruction& instruction) {
  const std::string_view parameters = instruction.parameters;
  if (parameters.empty()) {
    terminator_ = InstructionScanner::kEtx;
    terminatorPrinting_ = false;
  } else {
    terminator_ = parameters[0];
    terminatorPrinting_ = parameters.size() >= 3 && parameters[1] == ',' && parameters[2] == '0';
  }
  if (scanner_) scanner_->SetLabelTerminator(terminator_, terminatorPrinting_);
}

void Hpgl2Interpreter::Dv(const Instruction& instruction) {
  ParameterList parameters(instruction.parameters);
  double v[2] = {0, 0};
  parameters.Take(v, 2);
  const int path = ToInt(v[0]);
  label_.vertical = path == 1 || path == 3;
  label_.reversePath = path == 2 || path == 3;
  label_.reverseLineFeed = ToInt(v[1]) == 1;
}

// CS and SD kind 1 name the symbol set; only what it makes of the bytes from 128 up
// changes the drawing, since the label font is one and the same.
void Hpgl2Interpreter::Cs(const Instruction& instruction) {
  ParameterList parameters(instruction.parameters);
  double set = 0;
  parameters.Next(set);
  label_.eightBitSet = EightBitSetOf(ToInt(set));
}

void Hpgl2Interpreter::Sd(const Instruction& instruction) {
  ParameterList parameters(instruction.parameters);
  label_.eightBitSet = EightBitSet::Roman8;  // SD without parameters: the default font
  double pair[2];
  while (parameters.Take(pair, 2) == 2) {
    if (ToInt(pair[0]) == 1) label_.eightBitSet = EightBitSetOf(ToInt(pair[1]));
  }
}

}  // namespace korvid
