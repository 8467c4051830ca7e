#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// How HPGL parameters turn into numbers.
namespace korvid {

// The leading number of a text, as a 64-bit float. Blanks, tabs and line feeds are
// ignored wherever they stand; then an optional sign, digits with at most one ".", and
// an optional exponent (E or D in either case, optional sign, digits; a letter without
// digits is not part of the number). "&H" and "&O" (upper case) introduce an unsigned
// whole number in hexadecimal or octal. Reading stops at the first character that does
// not fit; a text without digits gives 0. Error 6 when the value is beyond the 64-bit range.
double LeadingNumber(std::string_view text);

// An optional sign and the digits after it, read from the start of a text up to the first
// other character. With 1 to kExactDigits digits, `value` is exact (no rounding rule is
// involved) and is what LeadingNumber gives whenever nothing after them continues the
// number: a parser that sees a comma or the end there has read the parameter in this one
// pass. Inline, because plots are mostly such numbers and the reader reads millions.
struct SignedDigits {
  static constexpr std::size_t kExactDigits = 15;

  double value = 0;
  std::size_t length = 0;  // sign and digits
  std::size_t digits = 0;

  bool Exact() const { return digits != 0 && digits <= kExactDigits; }
};

inline SignedDigits LeadingSignedDigits(std::string_view text) {
  const char* at = text.data();
  const char* const end = at + text.size();
  bool negative = false;
  if (at != end && (*at == '-' || *at == '+')) negative = *at++ == '-';
  const char* const digits = at;
  std::uint64_t whole = 0;  // wraps beyond 19 digits, but then the value is not Exact()
  for (; at != end; ++at) {
    const unsigned digit = static_cast<unsigned char>(*at) - unsigned{'0'};
    if (digit > 9) break;
    whole = whole * 10 + digit;
  }
  // Through the signed type, which converts to double in one instruction; exact values
  // have at most 15 digits and so fit it.
  const double magnitude = static_cast<double>(static_cast<std::int64_t>(whole));
  const double value = negative ? -magnitude : magnitude;
  return {value, static_cast<std::size_t>(at - text.data()), static_cast<std::size_t>(at - digits)};
}

// The integer value of a text (pen numbers): with only spaces around it, the text must
// be one number of the grammar above with nothing else inside (error 13 otherwise); it is
// rounded half to even and must fit 16 bits (error 6 otherwise).
std::int16_t IntegerValue(std::string_view text);

}  // namespace korvid
