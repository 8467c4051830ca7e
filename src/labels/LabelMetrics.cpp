#include "labels/LabelMetrics.h"

#include <algorithm>
#include <cmath>

namespace korvid {
namespace {

constexpr double kLineHeightPerCapHeight = 2.0;
// Down or up a vertical path characters stand one point size (1.5 cap heights) apart, and a
// line feed moves the column sideways by 1.875 character widths.
constexpr double kVerticalStepPerCapHeight = 1.5;
constexpr double kVerticalLinePerCharacterWidth = 1.875;

struct LabelOriginGrid {
  int column = 0;  // 0 left, 1 centre, 2 right
  int row = 0;     // 0 bottom, 1 middle, 2 top
  bool offset = false;
};

LabelOriginGrid GridOf(int origin) {
  const bool known = (origin >= 1 && origin <= 9) || (origin >= 11 && origin <= 19);
  if (!known) origin = 1;
  const int position = origin % 10 - 1;
  return {position / 3, position % 3, origin > 10};
}

// -1, 0 or +1: which way the offset origins (LO 11..19) push a label away from the pen.
double AwayFromPen(int index) {
  return index == 0 ? 1.0 : index == 2 ? -1.0 : 0.0;
}

}  // namespace

LabelMetrics LabelMetrics::From(const LabelStyle& style) {
  LabelMetrics m;
  m.cellWidth = style.charWidth * LabelMetrics::kCellPerCharacterWidth;
  m.bodyWidth = style.charWidth;
  m.capHeight = style.charHeight;
  m.slantTangent = style.slantTangent;
  m.vertical = style.vertical;
  m.reversePath = style.reversePath;
  // A line feed turns a quarter clockwise from the text path, unless reversed.
  const double pathSign = style.reversePath ? -1 : 1;
  const double lineSign = pathSign * (style.reverseLineFeed ? -1 : 1);
  if (style.vertical) {
    const double step = style.charHeight * kVerticalStepPerCapHeight;
    m.characterStep = {0, -pathSign * step * (1 + style.extraSpace)};
    const double line = style.charWidth * kVerticalLinePerCharacterWidth;
    m.lineStep = {-lineSign * line * (1 + style.extraLine), 0};
  } else {
    const double line = style.charHeight * kLineHeightPerCapHeight;
    m.characterStep = {pathSign * m.cellWidth * (1 + style.extraSpace), 0};
    m.lineStep = {0, -lineSign * line * (1 + style.extraLine)};
  }
  return m;
}

LocalPoint LabelMetrics::OriginShift(int origin, double cellCount) const {
  const LabelOriginGrid grid = GridOf(origin);
  const double cells = std::max(cellCount, 0.0);
  // The portion's box in the label frame: where it starts and how far it reaches, along the
  // run direction and up from the baseline. A vertical column is one cell wide.
  double alongStart = 0, alongLength = 0, upStart = 0, upLength = capHeight;
  if (vertical) {
    alongLength = cellWidth;
    const double firstToLastBaseline = std::max(cells - 1, 0.0) * characterStep.up;
    if (reversePath) {
      upLength = capHeight + firstToLastBaseline;
    } else {
      upStart = firstToLastBaseline;
      upLength = capHeight - firstToLastBaseline;
    }
  } else {
    alongLength = cells * characterStep.along * (reversePath ? -1 : 1);
    if (reversePath) alongStart = -alongLength;
  }
  LocalPoint shift{-(alongStart + alongLength * grid.column / 2),
                   -(upStart + upLength * grid.row / 2)};
  if (grid.offset) {  // half a character each way
    shift.along += AwayFromPen(grid.column) * bodyWidth / 2;
    shift.up += AwayFromPen(grid.row) * capHeight / 2;
  }
  return shift;
}

bool LabelMetrics::Concatenates(int origin) const {
  const LabelOriginGrid grid = GridOf(origin);
  if (vertical) return grid.row == (reversePath ? 0 : 2);
  return grid.column == (reversePath ? 2 : 0);
}

}  // namespace korvid
