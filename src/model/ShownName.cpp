#include "model/ShownName.h"

#include <cstdint>

namespace korvid {

namespace {

void AppendEscape(std::string& text, unsigned char byte) {
  switch (byte) {
    case '\n':
      text += "\\n";
      return;
    case '\r':
      text += "\\r";
      return;
    case '\t':
      text += "\\t";
      return;
    default:
      static constexpr char kHex[] = "0123456789abcdef";
      text += "\\x";
      text += kHex[byte >> 4];
      text += kHex[byte & 0xf];
  }
}

// The length of the well-formed UTF-8 sequence at the start of `rest` that is not a C1
// control, or 0.
std::size_t PrintableSequence(std::string_view rest) {
  const auto lead = static_cast<unsigned char>(rest[0]);
  std::size_t length = 0;
  std::uint32_t code = 0;
  if (lead >= 0xc2 && lead <= 0xdf) {
    length = 2, code = lead & 0x1fu;
  } else if (lead >= 0xe0 && lead <= 0xef) {
    length = 3, code = lead & 0x0fu;
  } else if (lead >= 0xf0 && lead <= 0xf4) {
    length = 4, code = lead & 0x07u;
  } else {
    return 0;
  }
  if (rest.size() < length) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(rest[i]);
    if ((next & 0xc0) != 0x80) return 0;
    code = (code << 6) | (next & 0x3fu);
  }
  const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
  const bool invalid = code > 0x10ffff || (code >= 0xd800 && code <= 0xdfff);
  const bool c1 = code >= 0x80 && code <= 0x9f;
  return overlong || invalid || c1 ? 0 : length;
}

}  // namespace

std::string ShownName(std::string_view name) {
  std::string text;
  text.reserve(name.size());
  while (!name.empty()) {
    const auto byte = static_cast<unsigned char>(name[0]);
    std::size_t take = 1;
    if (byte >= 0x20 && byte < 0x7f) {
      text += name[0];
    } else if (byte >= 0x80 && (take = PrintableSequence(name)) > 0) {
      text.append(name.substr(0, take));
    } else {
      take = 1;
      AppendEscape(text, byte);
    }
    name.remove_prefix(take);
  }
  return text;
}

}  // namespace korvid
