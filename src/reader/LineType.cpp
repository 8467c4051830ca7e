#include "model/NumberText.h"
#include "model/ValueConversion.h"
#include "reader/ReadContext.h"

namespace korvid {

namespace {

// HPGL line types onto the line-style codes; the tests run in this order. A negative
// type keeps its sign (the style then belongs to the next element only), except -7.
std::int16_t LineStyleForType(std::int16_t type) {
  const std::int16_t sign = type < 0 ? -1 : 1;
  if (type == -7) return line_style::kDash;
  switch (type * sign) {
    case 6:
      return sign * line_style::kDashDotDot;
    case 5:
    case 4:
      return sign * line_style::kDashDot;
    case 3:
      return sign * line_style::kDash;
    case 2:
    case 1:
      return sign * line_style::kDot;
    case 0:
      return line_style::kPointsOnly;
    default:
      return line_style::kSolid;
  }
}

}  // namespace

void SetLineType(ReadContext& context) {
  ReaderState& state = context.state;
  CommandText& command = context.command;
  if (command.Text() == "LT") {
    state.CurLineStyle = line_style::kSolid;
    return;
  }
  const std::size_t comma = command.FindComma(2);
  state.ParsePos = comma == CommandText::npos ? command.Size() : comma;
  const std::int16_t type = RoundToInt16(LeadingNumber(command.Slice(2, state.ParsePos)));
  state.CurLineStyle = LineStyleForType(type);
}

}  // namespace korvid
