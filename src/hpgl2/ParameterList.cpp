#include "hpgl2/ParameterList.h"

#include <charconv>
#include <cmath>

namespace korvid {

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

double Bounded(double value) {
  if (!(value < ParameterList::kLargest)) return ParameterList::kLargest;  // also NaN
  if (value < -ParameterList::kLargest) return -ParameterList::kLargest;
  return value;
}

}  // namespace

void ParameterList::SkipSeparators() {
  while (pos_ < text_.size()) {
    const char c = text_[pos_];
    if (c != ',' && c != ' ' && c != '\r' && c != '\n' && c != '\t') return;
    ++pos_;
  }
}

bool ParameterList::Empty() {
  SkipSeparators();
  return pos_ >= text_.size();
}

bool ParameterList::Next(double& value) {
  while (true) {
    SkipSeparators();
    if (pos_ >= text_.size()) return false;
    bool negative = false;
    while (pos_ < text_.size() && (text_[pos_] == '+' || text_[pos_] == '-')) {
      negative = text_[pos_] == '-';
      ++pos_;
    }
    const std::size_t start = pos_;
    std::int64_t whole = 0;
    while (pos_ < text_.size() && IsDigit(text_[pos_]) && pos_ - start < 15) {
      whole = whole * 10 + (text_[pos_] - '0');
      ++pos_;
    }
    const bool simple = pos_ >= text_.size() || (!IsDigit(text_[pos_]) && text_[pos_] != '.');
    if (simple && pos_ > start) {
      value = negative ? -static_cast<double>(whole) : static_cast<double>(whole);
      return true;
    }
    // A fraction of 15 digits in all: its digits and its power of ten are both exact as
    // doubles, and one division rounds their quotient as the exact conversion does.
    if (pos_ < text_.size() && text_[pos_] == '.') {
      std::size_t at = pos_ + 1, digits = pos_ - start;
      std::int64_t mantissa = whole;
      while (at < text_.size() && IsDigit(text_[at]) && digits < 15) {
        mantissa = mantissa * 10 + (text_[at] - '0');
        ++at;
        ++digits;
      }
      const std::size_t decimals = at - pos_ - 1;
      if (digits > 0 && (at >= text_.size() || !IsDigit(text_[at]))) {
        static constexpr double kPowers[] = {1,   1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                             1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
        const double parsed = static_cast<double>(mantissa) / kPowers[decimals];
        pos_ = at;
        value = negative ? -parsed : parsed;
        return true;
      }
    }
    // Long or fractional: the exact conversion.
    std::size_t end = start;
    while (end < text_.size() && IsDigit(text_[end]))
      ++end;
    if (end < text_.size() && text_[end] == '.') {
      ++end;
      while (end < text_.size() && IsDigit(text_[end]))
        ++end;
    }
    pos_ = end;
    if (end == start || (end == start + 1 && text_[start] == '.')) {
      // A lone sign or point: no number here; look further.
      if (end == start && pos_ < text_.size() && !IsDigit(text_[pos_])) {
        const char c = text_[pos_];
        if (c != ',' && c != ' ' && c != '\r' && c != '\n' && c != '\t') ++pos_;
      }
      continue;
    }
    double parsed = 0;
    std::from_chars(text_.data() + start, text_.data() + end, parsed);
    value = Bounded(negative ? -parsed : parsed);
    return true;
  }
}

std::size_t ParameterList::Take(double* values, std::size_t capacity) {
  std::size_t count = 0;
  while (count < capacity && Next(values[count]))
    ++count;
  return count;
}

}  // namespace korvid
