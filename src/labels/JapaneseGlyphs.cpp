#include "labels/JapaneseGlyphs.h"

#include <string_view>
#include <unordered_map>

namespace korvid {

namespace {

// The characters of japanese.jhf, glyph by glyph in the file's order (the file numbers
// none of them); U+3000 marks a glyph that stands for no character of its own: the fillers
// between the groups and the syllables the kana table leaves empty (yi, ye, wu).
constexpr std::u32string_view kGlyphCharacters =
    U"。、ー日円年大国人東中本京出時上者十一二三四五六七入九　　　　　　"
    U"あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもや　ゆ　よ"
    U"らりるれろわゐ　ゑをん　　　　"
    U"がぎぐげござじずぜぞだぢづでどばびぶべぼぱぴぷぺぽ"
    U"アイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤ　ユ　ヨ"
    U"ラリルレロワヰ　ヱヲン　　　　"
    U"ガギグゲゴザジズゼゾダヂヅデドバビブベボパピプペポ";
static_assert(kGlyphCharacters.size() == 193);
constexpr char32_t kNoCharacter = U'　';

// JIS X 0201's half-width katakana U+FF61..U+FF9F, as their full-width forms.
constexpr std::u32string_view kFullWidthOfHalfWidth =
    U"。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノ"
    U"ハヒフヘホマミムメモヤユヨラリルレロワン゛゜";
static_assert(kFullWidthOfHalfWidth.size() == 0xFF9F - 0xFF61 + 1);
constexpr char32_t kFirstHalfWidth = 0xFF61;

const std::unordered_map<char32_t, unsigned char>& GlyphCodes() {
  static const std::unordered_map<char32_t, unsigned char> codes = [] {
    std::unordered_map<char32_t, unsigned char> map;
    for (std::size_t i = 0; i < kGlyphCharacters.size(); ++i) {
      if (kGlyphCharacters[i] != kNoCharacter)
        map.emplace(kGlyphCharacters[i], static_cast<unsigned char>(HersheyFont::kFirstCode + i));
    }
    return map;
  }();
  return codes;
}

}  // namespace

JapaneseStroke JapaneseStrokeGlyph(char32_t code) {
  JapaneseStroke stroke;
  if (code >= kFirstHalfWidth && code < kFirstHalfWidth + kFullWidthOfHalfWidth.size()) {
    code = kFullWidthOfHalfWidth[code - kFirstHalfWidth];
    stroke.halfWidth = true;
  }
  const auto found = GlyphCodes().find(code);
  if (found != GlyphCodes().end()) stroke.glyph = JapaneseStrokeFont().Find(found->second);
  return stroke;
}

}  // namespace korvid
