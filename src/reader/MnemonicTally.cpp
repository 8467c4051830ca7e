#include "reader/MnemonicTally.h"

namespace korvid {

namespace {
// Two-character mnemonics take the first 65536 slots, one-character ones the 256 after.
constexpr std::size_t kTwoCharacterSlots = 256 * 256;
constexpr std::size_t kSlots = kTwoCharacterSlots + 256;
}  // namespace

MnemonicTally::MnemonicTally() : counts_(kSlots, 0) {}

std::size_t MnemonicTally::Slot(std::string_view mnemonic) {
  const auto first = static_cast<unsigned char>(mnemonic[0]);
  if (mnemonic.size() == 1) return kTwoCharacterSlots + first;
  return first * 256u + static_cast<unsigned char>(mnemonic[1]);
}

void MnemonicTally::Clear() {
  for (std::uint32_t slot : seenInOrder_)
    counts_[slot] = 0;
  seenInOrder_.clear();
  firstOffsets_.clear();
}

void MnemonicTally::Count(std::string_view mnemonic, std::int64_t fileOffset) {
  if (mnemonic.empty()) return;
  const std::size_t slot = Slot(mnemonic);
  if (counts_[slot]++ == 0) {
    seenInOrder_.push_back(static_cast<std::uint32_t>(slot));
    firstOffsets_.push_back(fileOffset);
  }
}

std::vector<SkippedMnemonic> MnemonicTally::Entries() const {
  std::vector<SkippedMnemonic> entries;
  entries.reserve(seenInOrder_.size());
  for (std::size_t i = 0; i < seenInOrder_.size(); ++i) {
    const std::uint32_t slot = seenInOrder_[i];
    std::string mnemonic;
    if (slot >= kTwoCharacterSlots) {
      mnemonic.push_back(static_cast<char>(slot - kTwoCharacterSlots));
    } else {
      mnemonic.push_back(static_cast<char>(slot / 256));
      mnemonic.push_back(static_cast<char>(slot % 256));
    }
    entries.push_back({mnemonic, counts_[slot], firstOffsets_[i]});
  }
  return entries;
}

}  // namespace korvid
