#pragma once

#include <cstddef>
#include <cstdint>

#include "model/PlotModel.h"

namespace korvid {

// The reader's working state: meaningful only during a read. Every read starts from
// Reset(); the values stay until the next read.
struct ReaderState {
  std::int32_t SegIndex = 1;  // the open segment: start point set, end point not
  std::int32_t ArcIndex = 0;  // the last arc record written
  std::int16_t RelMode = 0;   // 1 = relative coordinates (PR)
  std::int16_t PenDown = 0;
  std::int16_t CurPen = 1;
  std::int16_t CurLineStyle = 0;
  float PenX = 0;
  float PenY = 0;
  float RelOrgX = 0;  // origin to which relative coordinates are added
  float RelOrgY = 0;
  std::size_t ParsePos = 0;     // 0-based offset in the command where scanning continues
  std::int16_t ParseBreak = 0;  // 1 = a parameter parser met text that is not a number
  // The drawing an IN set aside: its segment count (0 = none) and its first record, which
  // the IN overwrote. A read that ends without a segment after the last IN (a plotter
  // reset at the end of a job) shows this drawing instead of nothing.
  std::int32_t SegCountBeforeIn = 0;
  Segment FirstSegmentBeforeIn{};

  void Reset() { *this = ReaderState{}; }

  // The line style a newly stored element takes. A negative style belongs to one element
  // only; afterwards the pen goes back to solid lines.
  std::int16_t TakeLineStyle() {
    const std::int16_t style = CurLineStyle;
    if (CurLineStyle < 0) CurLineStyle = 0;
    return style;
  }
};

}  // namespace korvid
