#pragma once

#include <cmath>

namespace korvid {

// std::lround to the bit, halves away from zero, without the library call that costs a
// drawing of a million points a noticeable share of its time. Below 2^52 a value less its
// whole part is exact, so the half is judged on the value itself, never on a sum that
// rounds (0.49999999999999994 + 0.5 is 1); beyond, and for what is not a number, the
// library's answer.
inline long RoundHalfAway(double value) {
  constexpr double kAllWhole = 4503599627370496.0;  // 2^52: every double from here is whole
  if (!(std::abs(value) < kAllWhole)) return std::lround(value);
  const long whole = static_cast<long>(value);  // towards zero
  const double rest = value - static_cast<double>(whole);
  // Without a branch: which way a point of a drawing rounds is a toss of a coin.
  return whole + static_cast<long>(rest >= 0.5) - static_cast<long>(rest <= -0.5);
}

}  // namespace korvid
