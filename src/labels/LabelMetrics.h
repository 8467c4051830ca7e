#pragma once
#include "labels/LabelFrame.h"
#include "labels/LabelLayout.h"

namespace korvid {

// The character cell of the stick font in a label's frame. The SI width is the whole cell,
// the step from one character to the next; the character itself takes its left two thirds and
// the rest is the space between characters. A line is twice the cap height.
struct LabelMetrics {
  static LabelMetrics From(const LabelStyle& style);

  LocalPoint characterStep;  // one character (or space) along the text path
  LocalPoint lineStep;       // one line feed
  double cellWidth = 0;      // SI width
  double bodyWidth = 0;      // the drawn part of a cell, from the character origin
  double capHeight = 0;
  double slantTangent = 0;
  bool vertical = false;
  bool reversePath = false;

  // Where a character is drawn relative to the pen: a leftward path draws each character in
  // the cell before the pen.
  LocalPoint CharacterOrigin() const;

  // Where the first character of a text portion of `cellCount` cells stands relative to the
  // pen, for a label origin (LO) of 1..9 or 11..19; any other origin counts as 1.
  LocalPoint OriginShift(int origin, long long cellCount) const;

  // Whether the origin puts the pen at the start of the text path, so that a following label
  // continues this one.
  bool Concatenates(int origin) const;
};

}  // namespace korvid
