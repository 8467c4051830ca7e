#pragma once
#include "labels/LabelFrame.h"
#include "labels/LabelLayout.h"

namespace korvid {

// The character cell of the stick font in a label's frame. The SI width is the width of the
// character itself; its cell, the step from one character to the next, is half as wide again,
// so the character takes the left two thirds of the cell. A line is twice the cap height.
// (With these, HP-GL/2's default font of 9 characters an inch and 11.5 points is very nearly the
// 0.187 cm by 0.269 cm default character of the pen plotters.)
struct LabelMetrics {
  static constexpr double kCellPerCharacterWidth = 1.5;

  static LabelMetrics From(const LabelStyle& style);

  LocalPoint characterStep;  // one character (or space) along the text path
  LocalPoint lineStep;       // one line feed
  double cellWidth = 0;      // 1.5 SI widths
  double bodyWidth = 0;      // the SI width: the drawn part of a cell, from its left edge
  double capHeight = 0;
  double slantTangent = 0;
  bool vertical = false;
  bool reversePath = false;

  // Where a character of `cells` cells is drawn relative to the pen: a leftward path draws
  // each character in the cells before the pen.
  LocalPoint CharacterOrigin(double cells) const {
    return !vertical && reversePath ? cells * characterStep : LocalPoint{};
  }

  // Where the first character of a text portion of `cellCount` cells stands relative to the
  // pen, for a label origin (LO) of 1..9 or 11..19; any other origin counts as 1.
  LocalPoint OriginShift(int origin, double cellCount) const;

  // Whether the origin puts the pen at the start of the text path, so that a following label
  // continues this one.
  bool Concatenates(int origin) const;
};

}  // namespace korvid
