// Labels: the .jhf font reader and the built-in font; the layout's cells, origins, directions,
// slant, control characters and CP, measured on the strokes in plotter units.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <string>

#include "hpgl2/TextTable.h"
#include "labels/HersheyFont.h"
#include "labels/JapaneseCodes.h"
#include "labels/JapaneseGlyphs.h"
#include "labels/LabelLayout.h"
#include "outlines/OutlineFont.h"

namespace korvid {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

std::string Text(LabelPoint p) {
  return Number(p.x) + "," + Number(p.y);
}

// The ink's box "minX,minY>maxX,maxY" (or "none"), then " pen " and where the pen stands
// after the label, then " cr " and the carriage-return point when it moved from (500, 2000).
std::string Described(const LabelLayout& layout) {
  LabelPoint low{kInf, kInf}, high{-kInf, -kInf};
  for (const LabelStroke& stroke : layout.strokes) {
    for (const LabelPoint& p : stroke) {
      low = {std::min(low.x, p.x), std::min(low.y, p.y)};
      high = {std::max(high.x, p.x), std::max(high.y, p.y)};
    }
  }
  std::string text = layout.strokes.empty() ? "none" : Text(low) + ">" + Text(high);
  text += " pen " + Text(layout.penAfter);
  if (layout.carriageReturn.x != 500 || layout.carriageReturn.y != 2000)
    text += " cr " + Text(layout.carriageReturn);
  return text;
}

// Character 200 wide (its cell 300), cap height 420 (a line 840), unless a case sets them: one
// font unit is 12.5 along and 20 up.
LabelStyle With(LabelStyle style) {
  if (style.charWidth == 0) style.charWidth = 200;
  if (style.charHeight == 0) style.charHeight = 420;
  return style;
}

struct LayoutCase {
  const char* text;
  LabelStyle style;
  const char* expected;  // as Described() gives it
};

// With the pen at (1000, 2000) and the carriage-return point at (500, 2000).
void ExpectLayouts(std::initializer_list<LayoutCase> cases) {
  for (const LayoutCase& c : cases) {
    EXPECT_EQ(Described(LayOutLabel(c.text, With(c.style), {1000, 2000}, {500, 2000})), c.expected)
        << c.text << " LO" << c.style.origin;
  }
}

// "HH" is two cells, 600 long, its ink 12.5 .. 487.5 along; the offset origins move half a
// character more: 100 along, 210 up. Origins at the start of the text path concatenate (the
// pen goes on after the label); the others restore the pen.
TEST(LabelLayoutTest, LabelOriginsPlaceTheLabelAroundThePen) {
  ExpectLayouts({
      {"HH", {.origin = 1}, "1012.5,2000>1487.5,2420 pen 1600,2000"},
      {"HH", {.origin = 3}, "1012.5,1580>1487.5,2000 pen 1600,2000"},
      {"HH", {.origin = 5}, "712.5,1790>1187.5,2210 pen 1000,2000"},
      {"HH", {.origin = 7}, "412.5,2000>887.5,2420 pen 1000,2000"},
      {"HH", {.origin = 9}, "412.5,1580>887.5,2000 pen 1000,2000"},
      {"HH", {.origin = 11}, "1112.5,2210>1587.5,2630 pen 1600,2000"},
      {"HH", {.origin = 13}, "1112.5,1370>1587.5,1790 pen 1600,2000"},
      {"HH", {.origin = 15}, "712.5,1790>1187.5,2210 pen 1000,2000"},
      {"HH", {.origin = 19}, "312.5,1370>787.5,1790 pen 1000,2000"},
      {"HH", {.origin = 21}, "1012.5,2000>1487.5,2420 pen 1600,2000"},  // unknown: as LO 1
      // Each carriage-return portion is placed afresh, here right-aligned on its CR point.
      {"HHH\r\nH", {.origin = 7}, "112.5,1160>887.5,2420 pen 1000,2000 cr 500,1160"},
      {"HH\r", {.origin = 3}, "1012.5,1580>1487.5,2000 pen 500,2000"},
  });
}

// Glyphs in the cell; then along each text path (DV 0..3) and run direction, where vertically
// characters stand 630 apart.
TEST(LabelLayoutTest, GlyphsPathsDirectionSlantAndMirror) {
  ExpectLayouts({
      {"H", {}, "1012.5,2000>1187.5,2420 pen 1300,2000"},  // the cap height and the body
      {".", {}, "1087.5,2060>1112.5,2100 pen 1300,2000"},  // on the baseline, centred
      {"g", {}, "1025,1860>1175,2280 pen 1300,2000"},      // below the baseline
      {"|", {}, "1100,1860>1100,2500 pen 1300,2000"},
      {"HH", {.vertical = true}, "1012.5,2000>1187.5,3050 pen 1000,2000"},
      {"HH", {.origin = 3, .vertical = true}, "1012.5,950>1187.5,2000 pen 1000,740"},
      {"HH", {.reversePath = true}, "1012.5,2000>1487.5,2420 pen 1000,2000"},
      {"HH", {.origin = 7, .reversePath = true}, "412.5,2000>887.5,2420 pen 400,2000"},
      {"HH", {.vertical = true, .reversePath = true}, "1012.5,2000>1187.5,3050 pen 1000,3260"},
      // 90 degrees; the length of the direction does not matter.
      {"HH", {.directionX = 0, .directionY = 5}, "580,2012.5>1000,2487.5 pen 1000,2600"},
      {"I", {.slantTangent = 0.5}, "1100,2000>1310,2420 pen 1300,2000"},  // the top leans right
      {"HH", {.charWidth = -200}, "512.5,2000>987.5,2420 pen 400,2000"},
  });
}

// A cell is 300, a line 840; a tab is five cells; other controls do nothing; characters the
// font lacks advance as spaces.
TEST(LabelLayoutTest, ControlCharactersMoveThePen) {
  ExpectLayouts({
      {"HH\r", {}, "1012.5,2000>1487.5,2420 pen 500,2000"},
      {"HH\n", {}, "1012.5,2000>1487.5,2420 pen 1600,1160 cr 500,1160"},
      {"HH\r\nH", {}, "512.5,1160>1487.5,2420 pen 800,1160 cr 500,1160"},
      {"HH\b", {}, "1012.5,2000>1487.5,2420 pen 1300,2000"},
      {"H\bI", {}, "1012.5,2000>1187.5,2420 pen 1300,2000"},
      {"H\tH", {}, "1012.5,2000>2987.5,2420 pen 3100,2000"},
      {"H H", {}, "1012.5,2000>1787.5,2420 pen 1900,2000"},
      {"H\x01\x1b\x7fH", {}, "1012.5,2000>1487.5,2420 pen 1600,2000"},
      {"\xe9\x80", {}, "1000,2000>1475,2420 pen 1600,2000"},  // Roman-8: "O" and "?"
      {"", {}, "none pen 1000,2000"},
      {"HH\n",
       {.extraSpace = 0.5, .extraLine = 1},
       "1012.5,2000>1637.5,2420 pen 1900,320 cr 500,320"},  // ES 0.5,1
      // Sizes beyond any number (from a reader's scaling, say) draw nothing; the pen stays finite.
      {"HH\n", {.charWidth = kNaN}, "none pen 1000,2000 cr 500,1160"},
      {"HH\n", {.charHeight = kInf}, "none pen 1000,2000"},
      {"HH\n", {.slantTangent = kNaN}, "none pen 1600,1160 cr 500,1160"},
      {"HH\n", {.charWidth = 1.5e308}, "none pen 1000,2000 cr 500,1160"},
  });
}

// From (1000, 2000); vertically a character is 630 and a line 375 sideways.
TEST(LabelLayoutTest, CharacterPlotMovesByCellsAndLines) {
  struct Case {
    LabelStyle style;
    double spaces, lines;
    const char* expected;
  };
  for (const Case& c :
       {Case{{}, 2, 1, "1600,1160"}, Case{{}, -1, -0.5, "700,2420"},
        Case{{.directionX = 0, .directionY = 1}, 1, 1, "1840,2300"},
        Case{{.reverseLineFeed = true}, 0, 1, "1000,2840"},
        Case{{.vertical = true}, 1, 1, "625,1370"}, Case{{.reversePath = true}, 1, 1, "700,2840"},
        Case{{.vertical = true, .reversePath = true}, 1, 1, "1375,2630"},
        Case{{.charWidth = kNaN}, 3, 4, "1000,2000"}}) {
    EXPECT_EQ(Text(CharacterPlot(With(c.style), {1000, 2000}, c.spaces, c.lines)), c.expected);
  }
}

// A 50 MB label of many lines stays within its point budget and still moves the pen through
// every character; a layout that looked ahead quadratically would not finish.
TEST(LabelLayoutTest, HugeLabelKeepsToItsPointBudget) {
  const std::string line = "HELLO, WORLD\r\n";
  std::string text = line;
  while (text.size() * 2 <= 50'000'000)
    text += text;
  text.append(text, 0, (50'000'000 - text.size()) / line.size() * line.size());
  const std::size_t lines = text.size() / line.size();
  LabelStyle style = With({});
  style.maxPointCount = 100'000;
  const LabelLayout layout = LayOutLabel(text + "AB", style, {0, 0}, {0, 0});
  EXPECT_TRUE(layout.truncated);
  std::size_t points = 0;
  for (const LabelStroke& stroke : layout.strokes)
    points += stroke.size();
  EXPECT_LE(points, style.maxPointCount);
  EXPECT_GT(points, style.maxPointCount - 100);
  EXPECT_EQ(layout.penAfter.x, 600);
  EXPECT_EQ(layout.penAfter.y, -840.0 * lines);
  EXPECT_FALSE(LayOutLabel("HH", style, {}, {}).truncated);
}

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
  std::string glyphs;
  for (char code : std::string(" !\"#$%\n", 7))
    glyphs += Described(font.Find(static_cast<unsigned char>(code))) + " / ";
  EXPECT_EQ(glyphs,
            "-8 8: / -5 5: 0,-12 0,2 | 0,7 1,8 / -7 7: -2,-16 0,-15 0,-14 / none / -4 4: 0,0 / "
            "none / none / ");
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

// What a label's bytes read as in a set: Latin stand-ins as themselves, Unicode as U+XXXX
// (with "=" when it takes two cells), "?" for what the set leaves undefined, controls as ^N.
std::string Decoded(const std::string& text) {
  const std::size_t colon = text.find(':');
  LabelFonts fonts;
  fonts.standard.set = SymbolSetOf(std::stoi(text.substr(0, colon)));
  LabelCharacters characters(std::string_view(text).substr(colon + 1), fonts);
  std::string out;
  char hex[16];
  for (LabelCharacter c; characters.Next(c);) {
    switch (c.kind) {
      case LabelCharacter::Kind::Latin:
        out += static_cast<char>(c.code);
        break;
      case LabelCharacter::Kind::Unicode:
        std::snprintf(hex, sizeof hex, "U+%04X%s", static_cast<unsigned>(c.code),
                      c.fullWidth ? "=" : "");
        out += hex;
        break;
      case LabelCharacter::Kind::Unknown:
        out += "?";
        break;
      case LabelCharacter::Kind::Control:
        out += "^" + std::to_string(c.code);
        break;
    }
  }
  return out;
}

// "SET:bytes". The seven-bit national sets: twelve codes of ASCII stand for letters and
// signs (drawn as the letter they are built on). JIS and Shift-JIS two-byte codes read as
// the characters of JIS X 0208, the katakana sets as JIS X 0201's.
const TextCase kSymbolSets[] = {
    {"Roman8AccentedAndUndefined", "277:A\xc1\x80", "Ae?"},
    {"German", "39:[\\]{|}~@", "AOUaousS"},
    {"UnitedKingdomPound", "37:#~", "L-"},
    {"Spanish", "83:[\\]", "!N?"},
    {"JisRomanYen", "11:\\~", "Y-"},
    {"RomanExtensionIsRoman8sUpperHalf", "5:!A", "Ae"},
    {"Katakana7Bit", "43:1 2\x60", "U+FF71 U+FF72?"},
    {"Kana8", "267:A\xb1\xdf", "AU+FF71U+FF9F"},
    {"JisKanjiPairs", "1611:F|K\\$\"", "U+65E5=U+672C=U+3042="},
    {"JisKanjiSpaceAndUnassigned", "1643:F| /!", "U+65E5= ?"},
    {"JisKanjiLoneByte", "1611:F", "?"},
    {"ShiftJis", "619:A\x93\xfa\xb1", "AU+65E5=U+FF71"},
    {"ShiftJisBrokenPair", "619:\x93\r", "?^13"},
    {"ShiftOutChoosesTheAlternate", "1611:A\x0e", "?"},
    {"ControlsPassThrough", "0:A\r\nB", "A^13^10B"},
};
TEXT_TABLE(SymbolSetReading, Decoded, kSymbolSets);

// The C library's tables of JIS X 0208 and code page 932, by their two bytes.
TEST(JapaneseCodes, TwoByteCodesAsUnicode) {
  EXPECT_EQ(JisX0208Character(0x21, 0x21), U'　');
  EXPECT_EQ(JisX0208Character(0x24, 0x22), U'あ');
  EXPECT_EQ(JisX0208Character(0x30, 0x21), U'亜');
  EXPECT_EQ(JisX0208Character(0x50, 0x21), U'弌') << "the second level";
  EXPECT_EQ(JisX0208Character(0x2F, 0x21), 0u) << "a row JIS leaves empty";
  EXPECT_EQ(JisX0208Character(0x7F, 0x21), 0u);
  EXPECT_EQ(ShiftJisCharacter(0x88, 0x9F), U'亜');
  EXPECT_EQ(ShiftJisCharacter(0x87, 0x40), U'①') << "NEC's extension, as Windows writes it";
  EXPECT_EQ(ShiftJisCharacter(0x88, 0x7F), 0u);
  EXPECT_EQ(ShiftJisCharacter(0xA0, 0x40), 0u) << "no lead byte";
  EXPECT_EQ(HalfWidthKatakana(0xB1), U'ｱ');
  EXPECT_EQ(HalfWidthKatakana(0x31), U'ｱ');
}

// Japanese strokes are the font's own glyph in the em square: here 27 units wide and tall, so
// that one font unit is one plotter unit, X from -13.5 and Y (down) from 13 less 0.12 em.
TEST(JapaneseLabels, KanaAndKanjiAreTheFontsOwnStrokes) {
  LabelStyle style = With({.charWidth = 13.5, .charHeight = 18.9});
  style.fonts.standard.set = SymbolSet::JisKanji;
  for (const auto& [bytes, code] : {std::pair{"$\"", U'あ'}, {"F|", U'日'}, {"%\"", U'ア'}}) {
    const HersheyGlyph* glyph = JapaneseStrokeGlyph(code).glyph;
    ASSERT_NE(glyph, nullptr);
    const LabelLayout layout = LayOutLabel(bytes, style, {1000, 2000}, {1000, 2000});
    ASSERT_EQ(layout.strokes.size(), glyph->strokes.size()) << bytes;
    for (std::size_t i = 0; i < glyph->strokes.size(); ++i) {
      ASSERT_EQ(layout.strokes[i].size(), glyph->strokes[i].size());
      for (std::size_t k = 0; k < glyph->strokes[i].size(); ++k) {
        const HersheyPoint& p = glyph->strokes[i][k];
        EXPECT_EQ(Text(layout.strokes[i][k]),
                  Text({1000 + p.xUnits + 13.5, 2000 + 13 - p.yUnits - 0.12 * 27}));
      }
    }
    EXPECT_EQ(layout.undrawable, 0u);
    EXPECT_EQ(Text(layout.penAfter), "1040.5,2000") << "two cells of 20.25";
  }
  // Half-width katakana: the same glyph, half as wide, in one cell.
  style.fonts.standard.set = SymbolSet::Katakana;
  const LabelLayout half = LayOutLabel("1", style, {0, 0}, {0, 0});
  const LabelLayout full =
      LayOutLabel("%\"", With({.charWidth = 13.5, .charHeight = 18.9}), {0, 0}, {0, 0});
  EXPECT_EQ(Text(half.penAfter), "20.25,0");
  EXPECT_EQ(half.strokes.size(), JapaneseStrokeGlyph(U'ア').glyph->strokes.size());
  (void)full;
}

// What Hershey's set lacks comes from the outline font, filled; what no font has is a "?",
// counted.
TEST(JapaneseLabels, OtherCharactersFromTheOutlineFontOrCounted) {
  LabelStyle style = With({});
  style.fonts.standard.set = SymbolSet::JisKanji;
  const LabelLayout unknown = LayOutLabel("/!", style, {0, 0}, {0, 0});  // unassigned
  EXPECT_EQ(unknown.undrawable, 1u);
  EXPECT_FALSE(unknown.strokes.empty()) << "drawn as ?";
  const OutlineFont* font = OutlineFont::Japanese();
  if (!font) GTEST_SKIP() << "no Japanese outline font installed (fonts-ipafont-gothic)";
  const LabelLayout kanji = LayOutLabel("4A", style, {0, 0}, {0, 0});  // 漢
  EXPECT_EQ(kanji.undrawable, 0u);
  ASSERT_EQ(kanji.fills.size(), 1u);
  EXPECT_GT(kanji.fills[0].size(), 3u) << "the contours of the glyph";
  for (const LabelStroke& ring : kanji.fills[0])
    for (const LabelPoint& p : ring)
      EXPECT_TRUE(p.x > -50 && p.x < 450 && p.y > -120 && p.y < 650) << Text(p);
}

// SD 2,1: each letter its own width; fixed pitch keeps the cells.
TEST(LabelLayoutTest, ProportionalSpacingTakesEachLettersWidth) {
  LabelStyle style = With({});
  const LabelLayout fixed = LayOutLabel("iW", style, {0, 0}, {0, 0});
  style.fonts.standard.proportional = true;
  const LabelLayout proportional = LayOutLabel("iW", style, {0, 0}, {0, 0});
  EXPECT_EQ(Text(fixed.penAfter), "600,0");
  // 'i' is 8 font units wide, 'W' 24: 32 units of 12.5.
  EXPECT_EQ(Text(proportional.penAfter), "400,0");
}

}  // namespace
}  // namespace korvid
