#include "labels/SymbolSets.h"

#include <string>

#include "labels/JapaneseCodes.h"

namespace korvid {

namespace {

// One stand-in a code, for 128..255: each code's character (Unicode's mapping of the set)
// decomposed to its base letter, the look-alike sign where it has none, "?" where the set
// leaves the code undefined or makes it a control character.
constexpr char kRoman8[] =
    "????????????????????????????????"
    " AAEEEII'`^\"~UUL-YyoCcNn!?*LYSfc"
    "aeouaeouaeouaeouAiOAaioaAiOUEisO"
    "AAaDdIIOOOoSsUYyPp.uP?-??ao<#>+?";
constexpr char kWindowsLatin1[] =
    "E?,f\".++^%S<O?Z?\?''\"\".--~Ts>o?zY"
    " !cL*Y|S\"Ca<--R-o+23'uP.,1o>????"
    "AAAAAAACEEEEIIIIDNOOOOOxOUUUUYPs"
    "aaaaaaaceeeeiiiidnooooo/ouuuuypy";
static_assert(sizeof kRoman8 == 129 && sizeof kWindowsLatin1 == 129);
// Where the tables above hold a true question mark: the inverted one.
constexpr unsigned char kRoman8Question = 0xB9;
constexpr unsigned char kLatin1Question = 0xBF;

// The twelve codes ISO 646 lets a national variant define, and what each variant draws
// for them (the stand-in of its letter or sign, as above).
constexpr char kNationalCodes[] = "#$@[\\]^`{|}~";
struct NationalVariant {
  SymbolSet set;
  char standIns[13];
};
constexpr NationalVariant kNationalVariants[] = {
    {SymbolSet::Norwegian1, "#$@AOA^`aoa-"},     {SymbolSet::French1, "L$aocS^`eue\""},
    {SymbolSet::Italian, "L$Soce^uaoei"},        {SymbolSet::JisAscii, "#$@[Y]^`{|}-"},
    {SymbolSet::SwedishNames, "#*EAOAUeaoau"},   {SymbolSet::Norwegian2, "S$@AOA^`aoa|"},
    {SymbolSet::UnitedKingdom, "L$@[\\]^`{|}-"}, {SymbolSet::French2, "L$aocS^ueue\""},
    {SymbolSet::German, "#$SAOU^`aous"},         {SymbolSet::Spanish, "L$S!N?^`onc~"},
    {SymbolSet::Irv, "#*@[\\]^`{|}-"},           {SymbolSet::Swedish, "#*@AOA^`aoa-"},
    {SymbolSet::Portuguese, "#$SACO^`acoo"},
};

constexpr bool EveryVariantHasTwelve() {
  for (const NationalVariant& variant : kNationalVariants) {
    if (std::char_traits<char>::length(variant.standIns) != 12) return false;
  }
  return true;
}
static_assert(EveryVariantHasTwelve());

struct SetNumber {
  int number;
  SymbolSet set;
};
constexpr SetNumber kSetNumbers[] = {
    {14, SymbolSet::Latin1},        {309, SymbolSet::Latin1},       {629, SymbolSet::Latin1},
    {5, SymbolSet::RomanExtension}, {4, SymbolSet::Norwegian1},     {6, SymbolSet::French1},
    {9, SymbolSet::Italian},        {11, SymbolSet::JisAscii},      {19, SymbolSet::SwedishNames},
    {36, SymbolSet::Norwegian2},    {37, SymbolSet::UnitedKingdom}, {38, SymbolSet::French2},
    {39, SymbolSet::German},        {83, SymbolSet::Spanish},       {85, SymbolSet::Irv},
    {115, SymbolSet::Swedish},      {147, SymbolSet::Portuguese},   {43, SymbolSet::Katakana},
    {267, SymbolSet::Kana8},        {1611, SymbolSet::JisKanji},    {1643, SymbolSet::JisKanji},
    {619, SymbolSet::ShiftJis},
};

constexpr char kShiftOut = 14;
constexpr char kShiftIn = 15;
constexpr unsigned char kDelete = 127;

bool IsControl(unsigned char byte) {
  return byte < 0x20 || byte == kDelete;
}

LabelCharacter Latin(unsigned char standIn) {
  if (standIn == 0) return {LabelCharacter::Kind::Unknown, '?'};
  return {LabelCharacter::Kind::Latin, standIn};
}

LabelCharacter Japanese(char32_t code, bool fullWidth) {
  if (code == 0) return {LabelCharacter::Kind::Unknown, '?', fullWidth};
  return {LabelCharacter::Kind::Unicode, code, fullWidth};
}

const NationalVariant* VariantOf(SymbolSet set) {
  for (const NationalVariant& variant : kNationalVariants) {
    if (variant.set == set) return &variant;
  }
  return nullptr;
}

// A seven-bit set's code below 128: ASCII but for what the set makes of the twelve codes.
LabelCharacter SevenBit(unsigned char byte, SymbolSet set) {
  if (set == SymbolSet::RomanExtension && byte > 0x20)
    return Latin(StandInCharacter(static_cast<unsigned char>(byte | 0x80), SymbolSet::Roman8));
  if (const NationalVariant* variant = VariantOf(set)) {
    for (int i = 0; i < 12; ++i) {
      if (kNationalCodes[i] == static_cast<char>(byte))
        return Latin(static_cast<unsigned char>(variant->standIns[i]));
    }
  }
  return Latin(byte);
}

}  // namespace

SymbolSet SymbolSetOf(int number) {
  for (const SetNumber& entry : kSetNumbers) {
    if (entry.number == number) return entry.set;
  }
  return SymbolSet::Roman8;
}

unsigned char StandInCharacter(unsigned char code, SymbolSet set) {
  if (code < 128) return code;
  const bool latin1 = set == SymbolSet::Latin1;
  const char standIn = (latin1 ? kWindowsLatin1 : kRoman8)[code - 128];
  if (standIn == '?' && code != (latin1 ? kLatin1Question : kRoman8Question)) return 0;
  return static_cast<unsigned char>(standIn);
}

bool LabelCharacters::NextOfAnySet(LabelCharacter& character) {
  while (pos_ < text_.size()) {
    const auto byte = static_cast<unsigned char>(text_[pos_++]);
    if (byte == kShiftOut || byte == kShiftIn) {
      fonts_.alternateSelected = byte == kShiftOut;
      continue;
    }
    if (IsControl(byte)) {
      character = {LabelCharacter::Kind::Control, byte};
      return true;
    }
    const SymbolSet set = fonts_.Current().set;
    switch (set) {
      case SymbolSet::Roman8:
      case SymbolSet::Latin1:
        character = Latin(StandInCharacter(byte, set));
        return true;
      case SymbolSet::Katakana:
        if ((byte & 0x7F) >= 0x21 && (byte & 0x7F) <= 0x5F) {
          character = Japanese(HalfWidthKatakana(byte), false);
        } else {
          character = byte == ' ' ? Latin(byte) : Latin(0);
        }
        return true;
      case SymbolSet::Kana8:
        if (byte < 0x80) {
          character = SevenBit(byte, SymbolSet::JisAscii);
        } else {
          character =
              byte >= 0xA1 && byte <= 0xDF ? Japanese(HalfWidthKatakana(byte), false) : Latin(0);
        }
        return true;
      case SymbolSet::JisKanji: {
        const auto first = static_cast<unsigned char>(byte & 0x7F);
        if (first == ' ') {
          character = Latin(' ');
          return true;
        }
        const bool paired = pos_ < text_.size() &&
                            (static_cast<unsigned char>(text_[pos_]) & 0x7F) > 0x20 &&
                            (static_cast<unsigned char>(text_[pos_]) & 0x7F) < 0x7F;
        const auto second = paired ? static_cast<unsigned char>(text_[pos_++] & 0x7F) : 0;
        character = Japanese(JisX0208Character(first, second), true);
        return true;
      }
      case SymbolSet::ShiftJis:
        if (byte < 0x80) {
          character = Latin(byte);
        } else if (byte >= 0xA1 && byte <= 0xDF) {
          character = Japanese(HalfWidthKatakana(byte), false);
        } else if (IsShiftJisLead(byte) && pos_ < text_.size()) {
          character =
              Japanese(ShiftJisCharacter(byte, static_cast<unsigned char>(text_[pos_])), true);
          if (character.kind != LabelCharacter::Kind::Unknown ||
              !IsControl(static_cast<unsigned char>(text_[pos_])))
            ++pos_;
        } else {
          character = {LabelCharacter::Kind::Unknown, '?', IsShiftJisLead(byte)};
        }
        return true;
      default:
        character =
            byte < 0x80 ? SevenBit(byte, set) : Latin(StandInCharacter(byte, SymbolSet::Roman8));
        return true;
    }
  }
  return false;
}

}  // namespace korvid
