#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace korvid {

// A command (or instruction) a reading met and did not act on, by its mnemonic as written,
// with how often it occurred.
struct MnemonicCount {
  std::string mnemonic;
  std::int64_t count = 0;
};

// Counts mnemonics of one or two characters without allocating per command: one counter
// per possible mnemonic, allocated once, and the order in which each first appeared.
class MnemonicTally {
 public:
  MnemonicTally();

  void Clear();
  void Count(std::string_view mnemonic);  // one or two characters; none counts nothing
  void Count(char first, char second) {
    const std::size_t slot = Slot(first, second);
    if (counts_[slot]++ == 0) seenInOrder_.push_back(static_cast<std::uint32_t>(slot));
  }
  // In order of first appearance.
  std::vector<MnemonicCount> Entries() const;

 private:
  static std::size_t Slot(char first, char second) {
    return static_cast<unsigned char>(first) * 256u + static_cast<unsigned char>(second);
  }

  std::vector<std::int64_t> counts_;
  std::vector<std::uint32_t> seenInOrder_;
};

}  // namespace korvid
