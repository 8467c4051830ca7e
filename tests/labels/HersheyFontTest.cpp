// The .jhf reader on small fonts of our own, and the font built into the program.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "labels/HersheyFont.h"

namespace korvid {
namespace {

using ::testing::ElementsAre;

// Code 32: bearings only. Code 33: two strokes split by " R". Code 34: wrapped onto a
// continuation line. Code 35: a damaged count. Code 36: a dot.
constexpr std::string_view kSmallFont =
    "12345  1JZ\n"
    "12345  6MWRFRT RRYSZ\n"
    "12345  4KY\r\nPBRC\r\nRD\n"
    "123451x3JZRR\n"
    "12345  2NVRR\n";

TEST(HersheyFontTest, ReadsStrokesBearingsAndContinuationLines) {
  const HersheyFont font = HersheyFont::Parse(kSmallFont);
  ASSERT_EQ(font.GlyphCount(), 5u);
  const HersheyGlyph* space = font.Find(' ');
  ASSERT_NE(space, nullptr);
  EXPECT_EQ(space->leftUnits, -8);
  EXPECT_EQ(space->rightUnits, 8);
  EXPECT_TRUE(space->strokes.empty());

  const HersheyGlyph* twoStrokes = font.Find('!');
  ASSERT_NE(twoStrokes, nullptr);
  EXPECT_THAT(twoStrokes->strokes,
              ElementsAre(ElementsAre(HersheyPoint{0, -12}, HersheyPoint{0, 2}),
                          ElementsAre(HersheyPoint{0, 7}, HersheyPoint{1, 8})));

  const HersheyGlyph* wrapped = font.Find('"');
  ASSERT_NE(wrapped, nullptr);
  EXPECT_THAT(wrapped->strokes, ElementsAre(ElementsAre(HersheyPoint{-2, -16}, HersheyPoint{0, -15},
                                                        HersheyPoint{0, -14})));
}

TEST(HersheyFontTest, DamagedLineLosesOnlyItsGlyph) {
  const HersheyFont font = HersheyFont::Parse(kSmallFont);
  EXPECT_EQ(font.Find('#'), nullptr);
  const HersheyGlyph* dot = font.Find('$');
  ASSERT_NE(dot, nullptr);
  EXPECT_THAT(dot->strokes, ElementsAre(ElementsAre(HersheyPoint{0, 0})));
  EXPECT_EQ(font.Find('%'), nullptr);  // past the end
  EXPECT_EQ(font.Find('\n'), nullptr);
}

TEST(HersheyFontTest, TruncatedFileEndsWithoutTheUnfinishedGlyph) {
  const HersheyFont font = HersheyFont::Parse("12345  1JZ\n12345  9MWRF");
  EXPECT_NE(font.Find(' '), nullptr);
  EXPECT_EQ(font.Find('!'), nullptr);
}

TEST(HersheyFontTest, BuiltInFontHasEveryPrintableCharacterOnItsCapLine) {
  const HersheyFont& font = LabelStrokeFont();
  for (int code = 33; code <= 126; ++code) {
    const HersheyGlyph* glyph = font.Find(static_cast<unsigned char>(code));
    ASSERT_NE(glyph, nullptr) << code;
    EXPECT_FALSE(glyph->strokes.empty()) << code;
  }
  // The layout's font measures: 'H' stands from the cap line -12 to the baseline 9.
  int top = 0, bottom = 0;
  for (const auto& stroke : font.Find('H')->strokes) {
    for (const HersheyPoint& p : stroke) {
      top = std::min(top, p.yUnits);
      bottom = std::max(bottom, p.yUnits);
    }
  }
  EXPECT_EQ(top, -12);
  EXPECT_EQ(bottom, 9);
}

}  // namespace
}  // namespace korvid
