#pragma once

#include <cstddef>
#include <string_view>

namespace korvid {

// The numbers of one instruction's parameter text: separated by commas and/or blanks,
// each with optional sign and decimals. A character that belongs to no number ends the
// list. Numbers beyond ±1e15 are held at that bound, so that no later step meets an
// infinity.
class ParameterList {
 public:
  static constexpr double kLargest = 1e15;

  explicit ParameterList(std::string_view text) : text_(text) {}

  // The next number, or false when none is left.
  bool Next(double& value);

  // Reads up to `capacity` numbers into `values`; returns how many.
  std::size_t Take(double* values, std::size_t capacity);

  bool Empty();

 private:
  void SkipSeparators();

  std::string_view text_;
  std::size_t pos_ = 0;
};

}  // namespace korvid
