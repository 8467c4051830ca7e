#pragma once

#include <cstdint>

namespace korvid {

// The Unicode code point of a JIS X 0208 character given as its two seven-bit bytes (row
// and cell, 0x21..0x7E each), or 0 where JIS X 0208 has none.
char32_t JisX0208Character(std::uint8_t first, std::uint8_t second);

// The Unicode code point of a two-byte Shift-JIS character as Windows writes it (code page
// 932: JIS X 0208 and its NEC and IBM extensions), or 0 where it has none.
char32_t ShiftJisCharacter(std::uint8_t lead, std::uint8_t trail);

bool IsShiftJisLead(std::uint8_t byte);

// JIS X 0201 katakana: bytes 0xA1..0xDF (0x21..0x5F in seven bits) are U+FF61..U+FF9F.
inline char32_t HalfWidthKatakana(std::uint8_t byte) {
  return static_cast<char32_t>(0xFF61 + ((byte & 0x7F) - 0x21));
}

}  // namespace korvid
