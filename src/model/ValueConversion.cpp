#include "model/ValueConversion.h"

#include <cmath>

#include "model/RuntimeError.h"

namespace korvid {

namespace {
// std::nearbyint honours the current rounding mode, which Korvid never changes from
// round-to-nearest-even.
template <typename Int>
Int RoundChecked(double value, double lowest, double highest) {
  const double rounded = std::nearbyint(value);
  if (!(rounded >= lowest && rounded <= highest)) throw RuntimeError(err::kOverflow);
  return static_cast<Int>(rounded);
}
}  // namespace

std::int16_t RoundToInt16(double value) {
  return RoundChecked<std::int16_t>(value, -32768.0, 32767.0);
}

void ThrowOverflow() {
  throw RuntimeError(err::kOverflow);
}

double CheckFinite(double value) {
  if (!std::isfinite(value)) throw RuntimeError(err::kOverflow);
  return value;
}

double CheckedDivide(double numerator, double denominator) {
  if (denominator == 0.0) {
    throw RuntimeError(numerator == 0.0 || std::isnan(numerator) ? err::kOverflow
                                                                 : err::kDivisionByZero);
  }
  return CheckFinite(numerator / denominator);
}

}  // namespace korvid
