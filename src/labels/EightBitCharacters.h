#pragma once

#include <cstdint>

namespace korvid {

// What a label's bytes from 128 up stand for: HP-GL/2's default symbol set, Roman-8, or
// Windows Latin 1 (ISO 8859-1 with typographic signs in 128..159).
enum class EightBitSet : std::uint8_t { Roman8, WindowsLatin1 };

// The symbol set an HP-GL/2 symbol-set number (CS, or SD kind 1) chooses for the bytes
// from 128 up: ISO 8859-1 (14, "0N") and Windows Latin 1 (309 "9U", 629 "19U") are Latin 1,
// everything else keeps Roman-8.
EightBitSet EightBitSetOf(int symbolSet);

// The character of the label font (32..126) drawn for `code`: the code itself below 128;
// from 128 up the letter an accented letter is built on (É -> E, ß -> s), the nearest sign
// for a symbol (° -> o, « -> <), a blank for the no-break space, and "?" where the set
// has no character, so that nothing a file writes goes missing without a trace.
unsigned char StandInCharacter(unsigned char code, EightBitSet set);

}  // namespace korvid
