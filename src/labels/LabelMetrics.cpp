#include "labels/LabelMetrics.h"

namespace korvid {
namespace {

constexpr double kBodyShareOfCell = 2.0 / 3.0;
constexpr double kLineHeightPerCapHeight = 2.0;

bool IsLabelOrigin(int origin) {
  return (origin >= 1 && origin <= 9) || (origin >= 11 && origin <= 19);
}

// -1, 0 or +1: which way the offset origins (LO 11..19) push a label away from the pen.
double AwayFromPen(int index) {
  return index == 0 ? 1.0 : index == 2 ? -1.0 : 0.0;
}

}  // namespace

LabelMetrics LabelMetrics::From(const LabelStyle& style) {
  LabelMetrics m;
  m.bodyWidth = style.charWidth * kBodyShareOfCell;
  m.capHeight = style.charHeight;
  m.slantTangent = style.slantTangent;
  m.vertical = style.vertical;
  const double lineHeight = style.charHeight * kLineHeightPerCapHeight;
  if (style.vertical) {
    // Characters stack downwards a line apart; a line feed starts the next column to the left.
    m.characterStep = {0, -lineHeight * (1 + style.extraSpace)};
    m.lineStep = {-style.charWidth * (1 + style.extraLine), 0};
  } else {
    m.characterStep = {style.charWidth * (1 + style.extraSpace), 0};
    m.lineStep = {0, -lineHeight * (1 + style.extraLine)};
  }
  return m;
}

LocalPoint LabelMetrics::OriginShift(int origin, long long cellCount) const {
  if (!IsLabelOrigin(origin)) origin = 1;
  const int position = origin % 10 - 1;
  const int column = position / 3;  // 0 left, 1 centre, 2 right
  const int row = position % 3;     // 0 baseline, 1 half the cap height, 2 cap line
  // A portion reaches from its first character's origin to its last character's right edge;
  // a vertical column is as wide as one character.
  double extent = 0;
  if (cellCount > 0) {
    extent =
        vertical ? bodyWidth : static_cast<double>(cellCount - 1) * characterStep.along + bodyWidth;
  }
  LocalPoint shift{-extent * column / 2, -capHeight * row / 2};
  if (origin > 10) {
    shift.along += AwayFromPen(column) * bodyWidth / 2;
    shift.up += AwayFromPen(row) * capHeight / 2;
  }
  return shift;
}

}  // namespace korvid
