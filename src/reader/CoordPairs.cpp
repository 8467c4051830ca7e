#include "model/NumberText.h"
#include "model/ValueConversion.h"
#include "reader/Extents.h"
#include "reader/ReadContext.h"

namespace korvid {

namespace {

// An X value is re-read as a command of its own unless it is made of these alone. The
// blanks, tabs and line feeds are those the number rule passes over: "PA 10,20" and
// "PA10,20, 30,40" are coordinates, not the start of another command.
bool IsCoordinateText(std::string_view text) {
  for (char c : text) {
    if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == ' ' || c == '\t' || c == '\n')) {
      return false;
    }
  }
  return true;
}

void CompleteOpenSegment(ReadContext& context, float x, float y) {
  ReaderState& state = context.state;
  const std::int16_t plot = context.model.PlotCount;
  Segment& segment = context.model.Segments(state.SegIndex, plot);
  segment.X2 = x;
  segment.Y2 = y;
  WidenExtents(context.model, plot, segment.X1, segment.Y1);
  WidenExtents(context.model, plot, x, y);
  ++state.SegIndex;
  if (state.SegIndex > PlotModel::MaxSegments) {
    context.outcome.segmentCapacityReached = true;
    throw RuntimeError(err::kSubscriptOutOfRange, "segment table full");
  }
}

void StartOpenSegment(ReadContext& context, float x, float y) {
  ReaderState& state = context.state;
  Segment& segment = context.model.Segments(state.SegIndex, context.model.PlotCount);
  segment.X1 = x;
  segment.Y1 = y;
  segment.Pen = state.CurPen;
  segment.LineStyle = state.TakeLineStyle();
}

}  // namespace

void ParseCoordPairs(ReadContext& context) {
  ReaderState& state = context.state;
  CommandText& command = context.command;
  for (;;) {
    const std::size_t xEnd = command.FindComma(state.ParsePos);
    if (xEnd == CommandText::npos) return;  // an X value without a Y is ignored
    const std::string_view xText = command.Slice(state.ParsePos, xEnd);
    if (!IsCoordinateText(xText)) {
      state.ParseBreak = 1;
      return;
    }
    // X stays a 64-bit value until it is added to the origin; Y is a 32-bit value first.
    const double x = LeadingNumber(xText);
    state.ParsePos = xEnd + 1;
    const std::size_t yEnd = command.FindComma(state.ParsePos);
    const float y = ToSingle(LeadingNumber(command.Slice(state.ParsePos, yEnd)));
    const float pointX = ToSingle(static_cast<double>(state.RelOrgX) + x);
    const float pointY = ToSingle(static_cast<double>(state.RelOrgY) + y);

    if (state.PenDown == 1) CompleteOpenSegment(context, pointX, pointY);
    StartOpenSegment(context, pointX, pointY);
    state.RelOrgX = state.RelMode == 1 ? pointX : 0.0f;
    state.RelOrgY = state.RelMode == 1 ? pointY : 0.0f;
    state.PenX = pointX;
    state.PenY = pointY;

    if (yEnd == CommandText::npos) return;
    state.ParsePos = yEnd + 1;
  }
}

}  // namespace korvid
