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
  void Count(std::string_view mnemonic);  // one or two characters
  std::vector<SkippedMnemonic> Entries() const;

 private:
  static std::size_t Slot(std::string_view mnemonic);

  std::vector<std::int64_t> counts_;
  std::vector<std::uint32_t> seenInOrder_;
};

}  // namespace korvid
