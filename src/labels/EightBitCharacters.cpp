#include "labels/EightBitCharacters.h"

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

constexpr int kLatin1 = 14, kWindows30Latin1 = 309, kWindows31Latin1 = 629;

}  // namespace

EightBitSet EightBitSetOf(int symbolSet) {
  const bool latin1 =
      symbolSet == kLatin1 || symbolSet == kWindows30Latin1 || symbolSet == kWindows31Latin1;
  return latin1 ? EightBitSet::WindowsLatin1 : EightBitSet::Roman8;
}

unsigned char StandInCharacter(unsigned char code, EightBitSet set) {
  if (code < 128) return code;
  const char* table = set == EightBitSet::Roman8 ? kRoman8 : kWindowsLatin1;
  return static_cast<unsigned char>(table[code - 128]);
}

}  // namespace korvid
