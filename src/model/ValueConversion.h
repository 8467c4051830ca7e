#pragma once

#include <cmath>
#include <cstdint>

#if defined(__SSE2__) && defined(__x86_64__)
#include <emmintrin.h>
#endif

// The value semantics every part of Korvid relies on: integer conversions round half
// to even and fail on overflow, 32-bit floats fail beyond their range, and a 64-bit
// intermediate that is not finite is an overflow. All failures are RuntimeError.
namespace korvid {

inline constexpr double kLargestSingle = 3.4028234663852886e38;

// Nearest 16-bit integer, halves to the even neighbour; error 6 when it does not fit.
std::int16_t RoundToInt16(double value);

// Throws error 6. Out of line, so that the checks below stay small enough to inline: the
// drawing routine runs them for every point.
[[noreturn]] void ThrowOverflow();

// Nearest 32-bit integer, halves to the even neighbour; error 6 when it does not fit.
// Both ways of rounding honour the current rounding mode, which Korvid never changes from
// round-to-nearest-even. On x86-64 one instruction rounds, where std::nearbyint is a call
// into the library: the drawing routine rounds every point.
inline std::int32_t RoundToInt32(double value) {
#if defined(__SSE2__) && defined(__x86_64__)
  // Beyond 64 bits, and for NaN, the instruction gives the least 64-bit value: no overflow
  // goes unnoticed.
  const long long rounded = _mm_cvtsd_si64(_mm_set_sd(value));
  if (rounded < -2147483648LL || rounded > 2147483647LL) ThrowOverflow();
#else
  const double rounded = std::nearbyint(value);
  if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0)) ThrowOverflow();
#endif
  return static_cast<std::int32_t>(rounded);
}

// Nearest 32-bit float; error 6 when the magnitude exceeds the largest 32-bit float,
// even if it would round down to it, and for NaN.
inline float ToSingle(double value) {
  if (!(std::fabs(value) <= kLargestSingle)) ThrowOverflow();
  return static_cast<float>(value);
}

// The value itself; error 6 when it is infinite or NaN.
double CheckFinite(double value);

// numerator / denominator; error 11 on division by zero, error 6 on 0/0 or a result
// that is not finite.
double CheckedDivide(double numerator, double denominator);

}  // namespace korvid
