#pragma once

#include <cstdint>
#include <string_view>

namespace korvid {

// The symbol sets a label's bytes can be read in (CS, CA, SD and AD kind 1), by the
// HP-GL/2 (PCL) symbol-set numbers that choose them. Any other number reads as Roman-8.
enum class SymbolSet : std::uint8_t {
  Roman8,          // 8U (277), and HP-GL/2's default
  Latin1,          // 0N (14) ISO 8859-1, 9U (309) and 19U (629) Windows Latin 1
  RomanExtension,  // 0E (5): the upper half of Roman-8 in seven bits
  // ISO 646 national variants, 7 bits: twelve codes of ASCII stand for letters and signs.
  Norwegian1,     // 0D (4)
  French1,        // 0F (6)
  Italian,        // 0I (9)
  JisAscii,       // 0K (11): JIS X 0201 Roman, yen sign and overline
  SwedishNames,   // 0S (19)
  Norwegian2,     // 1D (36)
  UnitedKingdom,  // 1E (37)
  French2,        // 1F (38)
  German,         // 1G (39)
  Spanish,        // 2S (83)
  Irv,            // 2U (85): ISO 646 International Reference Version
  Swedish,        // 3S (115)
  Portuguese,     // 4S (147)
  Katakana,       // 1K (43): JIS X 0201 katakana in seven bits
  Kana8,          // 8K (267): JIS X 0201, Roman below 128 and katakana from 0xA1
  JisKanji,       // 50K (1611, JIS Kanji-1) and 51K (1643, Kanji-2): JIS X 0208 in two bytes
  ShiftJis,       // 19K (619, Windows 3.1 J-DBCS): JIS X 0208 in Shift-JIS, with JIS X 0201
};

SymbolSet SymbolSetOf(int number);

// One font of a label: its symbol set and its spacing (SD/AD kind 2: 0 fixed, 1
// proportional).
struct LabelFont {
  SymbolSet set = SymbolSet::Roman8;
  bool proportional = false;

  bool operator==(const LabelFont&) const = default;
};

// The standard and the alternate font, and which one is in use: SS and SI (15) choose the
// standard one, SA and SO (14) the alternate one.
struct LabelFonts {
  LabelFont standard;
  LabelFont alternate;
  bool alternateSelected = false;

  const LabelFont& Current() const { return alternateSelected ? alternate : standard; }
  bool operator==(const LabelFonts&) const = default;
};

// One character of a label as the font draws it.
struct LabelCharacter {
  enum class Kind : std::uint8_t {
    Control,  // CR LF BS HT and the other control codes: `code` is the byte
    Latin,    // drawn with the stroke font: `code` is the ASCII character that stands for it
    Unicode,  // a Japanese character or sign: `code` is its Unicode code point
    Unknown,  // a code the set leaves undefined (or a two-byte code no table knows)
  };
  Kind kind = Kind::Control;
  char32_t code = 0;
  bool fullWidth = false;  // takes two cells (the two-byte sets' characters)
};

// Reads a label's bytes as characters, one at a time, in the fonts given; SO and SI switch
// between them and the reader keeps that for the next label. Every byte is consumed, so
// the reading is linear in the text.
class LabelCharacters {
 public:
  LabelCharacters(std::string_view text, const LabelFonts& fonts) : text_(text), fonts_(fonts) {}

  bool Next(LabelCharacter& character) {
    // Printable ASCII in Roman-8 or Latin 1, the bulk of every label, is itself.
    if (pos_ < text_.size()) {
      const auto byte = static_cast<unsigned char>(text_[pos_]);
      if (byte >= 0x20 && byte < 0x7F && fonts_.Current().set <= SymbolSet::Latin1) {
        ++pos_;
        character = {LabelCharacter::Kind::Latin, byte};
        return true;
      }
    }
    return NextOfAnySet(character);
  }
  const LabelFonts& Fonts() const { return fonts_; }

 private:
  bool NextOfAnySet(LabelCharacter& character);

  std::string_view text_;
  std::size_t pos_ = 0;
  LabelFonts fonts_;
};

// The character of the stroke font (32..126) drawn for a byte from 128 up of Roman-8 or
// Latin 1: the letter an accented letter is built on (É -> E, ß -> s), the nearest sign for
// a symbol (° -> o, « -> <), a blank for the no-break space, and 0 where the set has no
// character.
unsigned char StandInCharacter(unsigned char code, SymbolSet set);

}  // namespace korvid
