// The .jhf reader on small fonts of our own, and the font built into the program.
#include <gtest/gtest.h>

#include <string>

#include "labels/HersheyFont.h"

namespace korvid {
namespace {

// "left right: x,y x,y | x,y", or "none" for a glyph the font lacks.
std::string Described(const HersheyGlyph* glyph) {
  if (!glyph) return "none";
  std::string text =
      std::to_string(glyph->leftUnits) + " " + std::to_string(glyph->rightUnits) + ":";
  for (std::size_t i = 0; i < glyph->strokes.size(); ++i) {
    if (i > 0) text += " |";
    for (const HersheyPoint& p : glyph->strokes[i])
      text += " " + std::to_string(p.xUnits) + "," + std::to_string(p.yUnits);
  }
  return text;
}

// Code 32: bearings only. 33: two strokes split by " R". 34: wrapped onto continuation lines.
// 35: a damaged count, losing only its own glyph. 36: a dot. A truncated last line is lost.
TEST(HersheyFontTest, ReadsStrokesBearingsAndContinuationLines) {
  const HersheyFont font = HersheyFont::Parse(
      "12345  1JZ\n"
      "12345  6MWRFRT RRYSZ\n"
      "12345  4KY\r\nPBRC\r\nRD\n"
      "123451x3JZRR\n"
      "12345  2NVRR\n"
      "12345  9MWRF");
  EXPECT_EQ(font.GlyphCount(), 6u);
  for (auto [code, glyph] : {std::pair{' ', "-8 8:"},
                             {'!', "-5 5: 0,-12 0,2 | 0,7 1,8"},
                             {'"', "-7 7: -2,-16 0,-15 0,-14"},
                             {'#', "none"},
                             {'$', "-4 4: 0,0"},
                             {'%', "none"},
                             {'\n', "none"}}) {
    EXPECT_EQ(Described(font.Find(code)), glyph) << code;
  }
}

// 'H' stands from the cap line -12 to the baseline 9, as the layout's font measures expect.
TEST(HersheyFontTest, BuiltInFontHasEveryPrintableCharacterOnItsCapLine) {
  const HersheyFont& font = LabelStrokeFont();
  for (int code = 33; code <= 126; ++code) {
    const HersheyGlyph* glyph = font.Find(static_cast<unsigned char>(code));
    ASSERT_NE(glyph, nullptr) << code;
    EXPECT_FALSE(glyph->strokes.empty()) << code;
  }
  EXPECT_EQ(Described(font.Find('H')), "-11 11: -7,-12 -7,9 | 7,-12 7,9 | -7,-2 7,-2");
}

}  // namespace
}  // namespace korvid
