#pragma once

#include <cstdint>

#include "view/BoxMm.h"

namespace korvid {

// A scroll bar as the view relies on it: its value always lies within 0 to Max, and
// lowering Max below the value brings the value down, which counts as a change of the
// bar (the surface then follows it). Geometry in millimetres; the thickness is the
// window's and only read.
class ScrollBarModel {
 public:
  std::int16_t Max() const { return max_; }
  std::int16_t Value() const { return value_; }

  // Both return true when the value changed.
  bool SetMax(std::int16_t max);
  bool SetValue(std::int16_t value);

  std::int16_t LargeChange = 1;
  std::int16_t SmallChange = 1;
  bool Visible = false;
  BoxMm Box;

 private:
  std::int16_t max_ = 32767;
  std::int16_t value_ = 0;
};

}  // namespace korvid
