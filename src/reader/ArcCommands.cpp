#include <cmath>

#include "model/NumberText.h"
#include "model/ValueConversion.h"
#include "reader/Extents.h"
#include "reader/ReadContext.h"

namespace korvid {

namespace {

// Plotters of the time worked with this value of pi; the stored arcs depend on it.
constexpr double kPi = 3.1417;

bool IsRadiusText(std::string_view text) {
  for (char c : text) {
    if (!((c >= '0' && c <= '9') || c == '.')) return false;
  }
  return true;
}

// The 15001st circle or arc does not fit: the read ends with the table full.
void CheckArcCapacity(ReadContext& context) {
  if (context.state.ArcIndex >= PlotModel::MaxArcs) {
    context.outcome.arcCapacityReached = true;
    throw RuntimeError(err::kSubscriptOutOfRange, "arc table full");
  }
}

// Everything of the record is computed before it is counted, so that a computation that
// fails leaves no half-written record behind.
void StoreArc(ReadContext& context, ArcRec arc) {
  ReaderState& state = context.state;
  const std::int16_t plot = context.model.PlotCount;
  ArcRec& stored = context.model.Arcs(state.ArcIndex + 1, plot);
  arc.Pen = state.CurPen;
  arc.LineStyle = state.TakeLineStyle();
  stored = arc;
  ++state.ArcIndex;
  WidenExtents(context.model, plot, stored);
}

void SetBoundingSquare(ArcRec& arc, double centreX, double centreY, double radius) {
  arc.Left = ToSingle(centreX - radius);
  arc.Top = ToSingle(centreY + radius);
  arc.Right = ToSingle(centreX + radius);
  arc.Bottom = ToSingle(centreY - radius);
}

struct Point {
  double x;
  double y;
};

// The point of the circle reached from the pen position after turning `sweepDegrees`
// counter-clockwise around the centre.
Point SweepEndPoint(double penX, double penY, double centreX, double centreY, double radius,
                    float sweepDegrees) {
  const double a = sweepDegrees * kPi / 180;
  if (penX != centreX) {
    float theta = ToSingle(std::atan(CheckedDivide(penY - centreY, penX - centreX)));
    if (penX < centreX) theta = ToSingle(theta + kPi);
    return {centreX + radius * std::cos(theta + a), centreY + radius * std::sin(theta + a)};
  }
  // Straight below or above the centre (also at the centre): -90 or +90 degrees.
  if (penY < centreY) return {centreX + radius * std::sin(a), centreY - radius * std::cos(a)};
  return {centreX - radius * std::sin(a), centreY + radius * std::cos(a)};
}

}  // namespace

void AddCircle(ReadContext& context) {
  ReaderState& state = context.state;
  CommandText& command = context.command;
  // Anything after the radius (the chord angle) is ignored.
  const std::string_view radiusText =
      command.Slice(state.ParsePos, command.FindComma(state.ParsePos));
  if (!IsRadiusText(radiusText)) {
    state.ParseBreak = 1;
    return;
  }
  CheckArcCapacity(context);
  const double radius = RoundToInt32(LeadingNumber(radiusText));
  const double penX = state.PenX;
  const double penY = state.PenY;
  ArcRec arc;
  SetBoundingSquare(arc, penX, penY, radius);
  arc.StartX = arc.EndX = ToSingle(penX + radius);
  arc.StartY = arc.EndY = ToSingle(penY);
  StoreArc(context, arc);
}

void AddArc(ReadContext& context) {
  ReaderState& state = context.state;
  CommandText& command = context.command;
  const bool relative = command.Left(2) == "AR";

  const std::size_t centreXEnd = command.FindComma(state.ParsePos);
  if (centreXEnd == CommandText::npos) {
    state.ParseBreak = 1;
    return;
  }
  double centreX = LeadingNumber(command.Slice(state.ParsePos, centreXEnd));
  state.ParsePos = centreXEnd + 1;
  const std::size_t centreYEnd = command.FindComma(state.ParsePos);
  if (centreYEnd == CommandText::npos) {
    state.ParseBreak = 1;
    return;
  }
  double centreY = LeadingNumber(command.Slice(state.ParsePos, centreYEnd));
  state.ParsePos = centreYEnd + 1;
  // A fourth parameter, the chord angle, is ignored.
  const float sweep =
      ToSingle(LeadingNumber(command.Slice(state.ParsePos, command.FindComma(state.ParsePos))));

  const double penX = state.PenX;
  const double penY = state.PenY;
  if (relative) {
    centreX += penX;
    centreY += penY;
  }
  CheckArcCapacity(context);

  const double dx = centreX - penX;
  const double dy = centreY - penY;
  const double radius = ToSingle(std::sqrt(CheckFinite(dx * dx) + CheckFinite(dy * dy)));
  const Point end = SweepEndPoint(penX, penY, centreX, centreY, radius, sweep);

  ArcRec arc;
  SetBoundingSquare(arc, centreX, centreY, radius);
  // The record always runs counter-clockwise: a clockwise sweep starts at its far end.
  const Point start = sweep > 0 ? Point{penX, penY} : end;
  const Point finish = sweep > 0 ? end : Point{penX, penY};
  arc.StartX = ToSingle(start.x);
  arc.StartY = ToSingle(start.y);
  arc.EndX = ToSingle(finish.x);
  arc.EndY = ToSingle(finish.y);
  StoreArc(context, arc);
}

}  // namespace korvid
