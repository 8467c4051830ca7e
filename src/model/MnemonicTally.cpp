#include "model/MnemonicTally.h"

namespace korvid {

namespace {
// Two-character mnemonics take the first 65536 slots, one-character ones the 256 after.
constexpr std::size_t kTwoCharacterSlots = 256 * 256;
constexpr std::size_t kSlots = kTwoCharacterSlots + 256;
}  // namespace

MnemonicTally::MnemonicTally() : counts_(kSlots, 0) {}

void MnemonicTally::Clear() {
  for (std::uint32_t slot : seenInOrder_)
    counts_[slot] = 0;
  seenInOrder_.clear();
  firstOffsets_.clear();
}

void MnemonicTally::Count(std::string_view mnemonic, std::int64_t fileOffset) {
  if (mnemonic.empty()) return;
  if (mnemonic.size() > 1) return Count(mnemonic[0], mnemonic[1], fileOffset);
  CountSlot(kTwoCharacterSlots + static_cast<unsigned char>(mnemonic[0]), fileOffset);
}

std::vector<MnemonicCount> MnemonicTally::Entries() const {
  std::vector<MnemonicCount> entries;
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
