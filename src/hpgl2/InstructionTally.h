#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "hpgl2/StandardReadOutcome.h"

namespace korvid {

// Counts instructions by mnemonic (two upper-case letters), remembering the order in
// which each first appeared and where in the file.
class InstructionTally {
 public:
  void Count(char first, char second, std::size_t offset) {
    const int slot = (first - 'A') * 26 + (second - 'A');
    if (counts_[static_cast<std::size_t>(slot)]++ == 0) {
      order_.push_back(slot);
      firstBytes_.push_back(static_cast<std::int64_t>(offset));
    }
  }
  std::vector<UnreadInstruction> Entries() const {
    std::vector<UnreadInstruction> entries;
    for (std::size_t i = 0; i < order_.size(); ++i) {
      const int slot = order_[i];
      const char name[2] = {static_cast<char>('A' + slot / 26), static_cast<char>('A' + slot % 26)};
      entries.push_back(
          {std::string(name, 2), counts_[static_cast<std::size_t>(slot)], firstBytes_[i]});
    }
    return entries;
  }

 private:
  std::array<std::int64_t, 26 * 26> counts_{};
  std::vector<int> order_;
  std::vector<std::int64_t> firstBytes_;  // beside order_
};

}  // namespace korvid
