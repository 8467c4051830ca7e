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
    char digits[kRoom];
    text_.append(digits, PutHundredths(digits, value));
    return *this;
  }

  // The longest number PutHundredths or PutTenths writes.
  static constexpr std::size_t kRoom = 24;

  // Writes Hundredths' text of `value` at `out`; returns where it ends. For writers that
  // gather a few numbers before they append them: one append instead of one a character.
  static char* PutHundredths(char* out, double value) {
    long long hundredths = Scaled(value, 100);
    if (hundredths < 0) {
      *out++ = '-';
      hundredths = -hundredths;
    }
    const auto whole = static_cast<unsigned long long>(hundredths / 100);
    const int fraction = static_cast<int>(hundredths % 100);
    out = whole < 10000 ? Short(out, static_cast<unsigned>(whole))
                        : std::to_chars(out, out + 20, whole).ptr;
    if (fraction != 0) {
      *out++ = '.';
      *out++ = static_cast<char>('0' + fraction / 10);
      if (fraction % 10 != 0) *out++ = static_cast<char>('0' + fraction % 10);
    }
    return out;
  }

  // The same to tenths.
  DecimalText& Tenths(double value) {
    char digits[kRoom];
    text_.append(digits, PutTenths(digits, value));
    return *this;
  }

  // As PutHundredths, to tenths.
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
  // A number below 10000, the most a coordinate of a drawing is, at half to_chars' cost.
  static char* Short(char* out, unsigned value) {
    if (value >= 1000) *out++ = static_cast<char>('0' + value / 1000);
    if (value >= 100) *out++ = static_cast<char>('0' + value / 100 % 10);
    if (value >= 10) *out++ = static_cast<char>('0' + value / 10 % 10);
    *out++ = static_cast<char>('0' + value % 10);
    return out;
  }

  static long long Scaled(double value, double factor) {
    // Halves away from zero, as llround, without the library call.
    const double scaled = value * factor;
    if (!(std::abs(scaled) < 9e17)) return 0;
    return static_cast<long long>(scaled < 0 ? scaled - 0.5 : scaled + 0.5);
  }

  std::string& text_;
};

}  // namespace korvid
