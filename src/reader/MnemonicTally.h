#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "reader/ReadOutcome.h"

namespace korvid {

// Counts the commands the reader does not know, by their first two characters, without
// allocating per command: one counter per possible mnemonic, allocated once.
class MnemonicTally {
 public:
  MnemonicTally();

  void Clear();
  // One or two characters, at `fileOffset` in the file (kept for the first occurrence).
  void Count(std::string_view mnemonic, std::int64_t fileOffset);
  std::vector<SkippedMnemonic> Entries() const;

 private:
  static std::size_t Slot(std::string_view mnemonic);

  std::vector<std::int64_t> counts_;
  std::vector<std::uint32_t> seenInOrder_;
  std::vector<std::int64_t> firstOffsets_;  // beside seenInOrder_
};

}  // namespace korvid
