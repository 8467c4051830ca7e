#pragma once

#include <charconv>
#include <cmath>
#include <string>
#include <string_view>

namespace korvid {

// Appends numbers to the text of a vector file without the locale machinery of streams
// and printf, which costs more than all the rest of writing a large drawing.
class DecimalText {
 public:
  explicit DecimalText(std::string& text) : text_(text) {}

  // Rounded to hundredths, trailing zeros and a needless point left out: "12", "3.5",
  // "-0.25". Whatever is not a finite number is written as 0.
  DecimalText& Hundredths(double value) {
    long long hundredths = Scaled(value, 100);
    if (hundredths < 0) {
      text_.push_back('-');
      hundredths = -hundredths;
    }
    Integer(hundredths / 100);
    const int fraction = static_cast<int>(hundredths % 100);
    if (fraction != 0) {
      text_.push_back('.');
      text_.push_back(static_cast<char>('0' + fraction / 10));
      if (fraction % 10 != 0) text_.push_back(static_cast<char>('0' + fraction % 10));
    }
    return *this;
  }

  // The same to tenths.
  DecimalText& Tenths(double value) {
    char digits[kTenthsRoom];
    text_.append(digits, PutTenths(digits, value));
    return *this;
  }

  // The longest number PutTenths writes.
  static constexpr std::size_t kTenthsRoom = 24;

  // Writes Tenths' text of `value` at `out`; returns where it ends. For writers that
  // gather a whole command before they append it: one append instead of one a character.
  static char* PutTenths(char* out, double value) {
    long long tenths = Scaled(value, 10);
    if (tenths < 0) {
      *out++ = '-';
      tenths = -tenths;
    }
    out = std::to_chars(out, out + 20, tenths / 10).ptr;
    if (tenths % 10 != 0) {
      *out++ = '.';
      *out++ = static_cast<char>('0' + tenths % 10);
    }
    return out;
  }

  // Nine decimals: for scale factors, where hundredths are too coarse.
  DecimalText& Precise(double value) {
    char digits[40];
    const auto result =
        std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, 9);
    text_.append(digits, result.ptr);
    return *this;
  }

  DecimalText& Integer(long long value) {
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    text_.append(digits, result.ptr);
    return *this;
  }

  DecimalText& Text(std::string_view text) {
    text_.append(text);
    return *this;
  }

  DecimalText& Char(char c) {
    text_.push_back(c);
    return *this;
  }

 private:
  static long long Scaled(double value, double factor) {
    // Halves away from zero, as llround, without the library call.
    const double scaled = value * factor;
    if (!(std::abs(scaled) < 9e17)) return 0;
    return static_cast<long long>(scaled < 0 ? scaled - 0.5 : scaled + 0.5);
  }

  std::string& text_;
};

}  // namespace korvid
