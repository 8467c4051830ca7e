#pragma once

#include "labels/HersheyFont.h"

namespace korvid {

// A glyph of Hershey's Japanese stroke set (hershey-fonts-data's japanese.jhf): hiragana and
// katakana with their voiced forms, the ideographic full stop and comma, the prolonged sound
// mark and 24 common kanji. Half-width katakana are drawn with the full-width glyph made
// half as wide.
struct JapaneseStroke {
  const HersheyGlyph* glyph = nullptr;  // null: the set has no glyph for the character
  bool halfWidth = false;
};

JapaneseStroke JapaneseStrokeGlyph(char32_t code);

}  // namespace korvid
