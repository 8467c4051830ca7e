#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "hpgl2/StandardReadOutcome.h"

namespace korvid {

// Counts instructions by mnemonic (two upper-case letters), remembering the order in
// which each first appeared.
class InstructionTally {
 public:
  void Count(char first, char second) {
    const int slot = (first - 'A') * 26 + (second - 'A');
    if (counts_[static_cast<std::size_t>(slot)]++ == 0) order_.push_back(slot);
  }
  std::vector<UnreadInstruction> Entries() const {
    std::vector<UnreadInstruction> entries;
    for (int slot : order_) {
      const char name[2] = {static_cast<char>('A' + slot / 26), static_cast<char>('A' + slot % 26)};
      entries.push_back({std::string(name, 2), counts_[static_cast<std::size_t>(slot)]});
    }
    return entries;
  }

 private:
  std::array<std::int64_t, 26 * 26> counts_{};
  std::vector<int> order_;
};

}  // namespace korvid
