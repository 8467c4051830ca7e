#include "labels/JapaneseCodes.h"

#include <iconv.h>

#include <array>
#include <cstring>
#include <memory>
#include <vector>

namespace korvid {

namespace {

constexpr int kJisCells = 94;
constexpr int kLeads = 0xFC - 0x81 + 1;
constexpr int kTrails = 0xFC - 0x40 + 1;

// One character through the C library's converter (the tables of JIS X 0208 and code page
// 932 are the C library's own), or 0.
char32_t Convert(iconv_t converter, const char* bytes, std::size_t size) {
  char in[2];
  std::memcpy(in, bytes, size);
  char32_t out = 0;
  char* from = in;
  char* to = reinterpret_cast<char*>(&out);
  std::size_t fromLeft = size, toLeft = sizeof out;
  iconv(converter, nullptr, nullptr, nullptr, nullptr);
  if (iconv(converter, &from, &fromLeft, &to, &toLeft) == static_cast<std::size_t>(-1) ||
      fromLeft != 0 || toLeft != 0)
    return 0;
  return out;
}

// Every character of an encoding at once, the first time one is asked for.
template <typename Fill>
std::vector<char32_t> Table(const char* encoding, std::size_t size, Fill fill) {
  std::vector<char32_t> table(size, 0);
  const iconv_t converter = iconv_open("UTF-32LE", encoding);
  if (converter == reinterpret_cast<iconv_t>(-1)) return table;
  fill(converter, table);
  iconv_close(converter);
  return table;
}

const std::vector<char32_t>& JisTable() {
  static const std::vector<char32_t> table =
      Table("EUC-JP", kJisCells * kJisCells, [](iconv_t converter, std::vector<char32_t>& t) {
        for (int row = 0; row < kJisCells; ++row) {
          for (int cell = 0; cell < kJisCells; ++cell) {
            const char bytes[2] = {static_cast<char>(0xA1 + row), static_cast<char>(0xA1 + cell)};
            t[static_cast<std::size_t>(row * kJisCells + cell)] = Convert(converter, bytes, 2);
          }
        }
      });
  return table;
}

const std::vector<char32_t>& ShiftJisTable() {
  static const std::vector<char32_t> table =
      Table("CP932", kLeads * kTrails, [](iconv_t converter, std::vector<char32_t>& t) {
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
          if (!IsShiftJisLead(static_cast<std::uint8_t>(lead))) continue;
          for (int trail = 0x40; trail <= 0xFC; ++trail) {
            if (trail == 0x7F) continue;
            const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            t[static_cast<std::size_t>((lead - 0x81) * kTrails + (trail - 0x40))] =
                Convert(converter, bytes, 2);
          }
        }
      });
  return table;
}

}  // namespace

char32_t JisX0208Character(std::uint8_t first, std::uint8_t second) {
  if (first < 0x21 || first > 0x7E || second < 0x21 || second > 0x7E) return 0;
  return JisTable()[static_cast<std::size_t>((first - 0x21) * kJisCells + (second - 0x21))];
}

bool IsShiftJisLead(std::uint8_t byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

char32_t ShiftJisCharacter(std::uint8_t lead, std::uint8_t trail) {
  if (!IsShiftJisLead(lead) || trail < 0x40 || trail > 0xFC || trail == 0x7F) return 0;
  return ShiftJisTable()[static_cast<std::size_t>((lead - 0x81) * kTrails + (trail - 0x40))];
}

}  // namespace korvid
