#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace korvid {

// A command (or instruction) a reading met and did not act on, by its mnemonic as written,
// with how often it occurred and where the first one stands in the file.
struct MnemonicCount {
  std::string mnemonic;
  std::int64_t count = 0;
  std::int64_t firstByte = -1;  // from 0; -1 when not known
};

// Counts mnemonics of one or two characters without allocating per command: one counter
// per possible mnemonic, allocated once, and the order in which each first appeared.
class MnemonicTally {
 public:
  MnemonicTally();

  void Clear();
  // One or two characters (none counts nothing), at `fileOffset` in the file, which is kept
  // for the first of each.
  void Count(std::string_view mnemonic, std::int64_t fileOffset);
  void Count(char first, char second, std::int64_t fileOffset) {
    CountSlot(Slot(first, second), fileOffset);
  }
  // In order of first appearance.
  std::vector<MnemonicCount> Entries() const;

 private:
  static std::size_t Slot(char first, char second) {
    return static_cast<unsigned char>(first) * 256u + static_cast<unsigned char>(second);
  }
  void CountSlot(std::size_t slot, std::int64_t fileOffset) {
    if (counts_[slot]++ != 0) return;
    seenInOrder_.push_back(static_cast<std::uint32_t>(slot));
    firstOffsets_.push_back(fileOffset);
  }

  std::vector<std::int64_t> counts_;
  std::vector<std::uint32_t> seenInOrder_;
  std::vector<std::int64_t> firstOffsets_;  // beside seenInOrder_
};

}  // namespace korvid
