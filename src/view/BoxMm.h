#pragma once

namespace korvid {

// A control's place in its container, in millimetres, as single-precision values.
struct BoxMm {
  float Left = 0;
  float Top = 0;
  float Width = 0;
  float Height = 0;

  bool operator==(const BoxMm&) const = default;
};

}  // namespace korvid
