#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace korvid::testing {

// A metafile read back record by record, for checking what the writer wrote.
struct EmfRecord {
  std::uint32_t type = 0;
  std::vector<std::int32_t> words;  // the record after its type and size, as 32-bit words

  std::int32_t operator[](std::size_t i) const { return words.at(i); }
};

inline std::vector<EmfRecord> ParseEmfRecords(const std::string& bytes) {
  std::vector<EmfRecord> records;
  std::size_t at = 0;
  while (at + 8 <= bytes.size()) {
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    std::memcpy(&type, bytes.data() + at, 4);
    std::memcpy(&size, bytes.data() + at + 4, 4);
    if (size < 8 || size % 4 != 0 || at + size > bytes.size()) break;
    EmfRecord record{type, std::vector<std::int32_t>((size - 8) / 4)};
    std::memcpy(record.words.data(), bytes.data() + at + 8, size - 8);
    records.push_back(std::move(record));
    at += size;
  }
  return records;
}

// Record types of [MS-EMF].
enum EmfType : std::uint32_t {
  kHeader = 1,
  kEof = 14,
  kSetMapMode = 17,
  kMoveTo = 27,
  kSelectObject = 37,
  kCreatePen = 38,
  kDeleteObject = 40,
  kArc = 45,
  kLineTo = 54,
};

}  // namespace korvid::testing
