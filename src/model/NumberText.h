#pragma once

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

// The integer value of a text (pen numbers): with only spaces around it, the text must
// be one number of the grammar above with nothing else inside (error 13 otherwise); it is
// rounded half to even and must fit 16 bits (error 6 otherwise).
std::int16_t IntegerValue(std::string_view text);

}  // namespace korvid
