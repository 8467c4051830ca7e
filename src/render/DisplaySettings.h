#pragma once

#include <cstdint>

namespace korvid {

// The display settings, process-wide and never saved: every run starts from these.
struct DisplaySettings {
  std::int16_t ColorMode = 0;         // 1 = coloured pens with dash patterns, else black lines
  std::int16_t RangeFrameOff = 0;     // 1 = plot-range frame OFF
  std::int16_t AdjustDisplayOff = 0;  // 1 = display while adjusting OFF

  bool Colour() const { return ColorMode == 1; }
};

}  // namespace korvid
