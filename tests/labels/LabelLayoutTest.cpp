// Label layout: cell geometry, label origins, direction, slant, control characters and CP,
// measured on the strokes in plotter units.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "labels/LabelLayout.h"

namespace korvid {
namespace {

// Character 200 wide (its cell 300), cap height 420 (a line 840): one font unit is 12.5
// along and 20 up.
LabelStyle Style() {
  LabelStyle style;
  style.charWidth = 200;
  style.charHeight = 420;
  return style;
}

struct Box {
  double minX, minY, maxX, maxY;
};

Box BoundsOf(const LabelLayout& layout) {
  constexpr double kInf = std::numeric_limits<double>::infinity();
  Box box{kInf, kInf, -kInf, -kInf};
  for (const LabelStroke& stroke : layout.strokes) {
    for (const LabelPoint& p : stroke) {
      box = {std::min(box.minX, p.x), std::min(box.minY, p.y), std::max(box.maxX, p.x),
             std::max(box.maxY, p.y)};
    }
  }
  return box;
}

void ExpectBox(const Box& actual, const Box& expected) {
  EXPECT_NEAR(actual.minX, expected.minX, 1e-9);
  EXPECT_NEAR(actual.minY, expected.minY, 1e-9);
  EXPECT_NEAR(actual.maxX, expected.maxX, 1e-9);
  EXPECT_NEAR(actual.maxY, expected.maxY, 1e-9);
}

void ExpectPoint(LabelPoint actual, LabelPoint expected) {
  EXPECT_NEAR(actual.x, expected.x, 1e-9);
  EXPECT_NEAR(actual.y, expected.y, 1e-9);
}

struct GlyphCase {
  char character;
  Box ink;  // with the pen at the origin
};

TEST(LabelLayoutTest, GlyphExtentsInTheCell) {
  const GlyphCase cases[] = {
      {'H', {12.5, 0, 187.5, 420}},   // a capital fills the cap height and the body
      {'A', {0, 0, 200, 420}},        //
      {'.', {87.5, 60, 112.5, 100}},  // on the baseline, centred
      {'g', {25, -140, 175, 280}},    // below the baseline
      {'|', {100, -140, 100, 500}},   //
  };
  for (const GlyphCase& c : cases) {
    SCOPED_TRACE(c.character);
    ExpectBox(BoundsOf(LayOutLabel(std::string(1, c.character), Style(), {}, {})), c.ink);
  }
}

struct OriginCase {
  int origin;
  Box ink;
  LabelPoint penAfter;
};

// "HH" from the pen (1000, 2000): the portion is two cells, 600 long, and the ink of the two H
// runs 12.5 .. 487.5 along it; the offset origins move half a character: 100 along, 210 up.
// Origins on the left edge concatenate (the pen goes on after the label); the others restore
// the pen.
TEST(LabelLayoutTest, LabelOriginsPlaceTheLabelAroundThePen) {
  const OriginCase cases[] = {
      {1, {1012.5, 2000, 1487.5, 2420}, {1600, 2000}},
      {3, {1012.5, 1580, 1487.5, 2000}, {1600, 2000}},
      {5, {712.5, 1790, 1187.5, 2210}, {1000, 2000}},
      {7, {412.5, 2000, 887.5, 2420}, {1000, 2000}},
      {9, {412.5, 1580, 887.5, 2000}, {1000, 2000}},
      {11, {1112.5, 2210, 1587.5, 2630}, {1600, 2000}},
      {13, {1112.5, 1370, 1587.5, 1790}, {1600, 2000}},
      {15, {712.5, 1790, 1187.5, 2210}, {1000, 2000}},
      {19, {312.5, 1370, 787.5, 1790}, {1000, 2000}},
      {21, {1012.5, 2000, 1487.5, 2420}, {1600, 2000}},  // not an origin here: as LO 1
  };
  for (const OriginCase& c : cases) {
    SCOPED_TRACE(c.origin);
    LabelStyle style = Style();
    style.origin = c.origin;
    const LabelLayout layout = LayOutLabel("HH", style, {1000, 2000}, {1000, 2000});
    ExpectBox(BoundsOf(layout), c.ink);
    ExpectPoint(layout.penAfter, c.penAfter);
    ExpectPoint(layout.carriageReturn, {1000, 2000});
  }
}

TEST(LabelLayoutTest, EachCarriageReturnPortionIsPlacedAfresh) {
  LabelStyle style = Style();
  style.origin = 7;  // right-aligned: every line ends at the carriage-return point
  const LabelLayout layout = LayOutLabel("HHH\r\nH", style, {1000, 2000}, {1000, 2000});
  ExpectBox(BoundsOf(layout), {112.5, 1160, 887.5, 2420});
  ExpectPoint(layout.carriageReturn, {1000, 1160});
  // A trailing carriage return leaves a concatenating label at the carriage-return point.
  style.origin = 3;
  ExpectPoint(LayOutLabel("HH\r", style, {1000, 2000}, {500, 2000}).penAfter, {500, 2000});
}

struct PathCase {
  const char* name;
  bool vertical, reversePath;
  int origin;
  Box ink;
  LabelPoint penAfter;
};

// "HH" from the origin along each text path (DV 0..3). Vertically, characters stand 630 apart.
TEST(LabelLayoutTest, TextPathsAndTheirConcatenatingOrigins) {
  const PathCase cases[] = {
      {"down LO1", true, false, 1, {12.5, 0, 187.5, 1050}, {0, 0}},
      {"down LO3", true, false, 3, {12.5, -1050, 187.5, 0}, {0, -1260}},
      {"left LO1", false, true, 1, {12.5, 0, 487.5, 420}, {0, 0}},
      {"left LO7", false, true, 7, {-587.5, 0, -112.5, 420}, {-600, 0}},
      {"up LO1", true, true, 1, {12.5, 0, 187.5, 1050}, {0, 1260}},
  };
  for (const PathCase& c : cases) {
    SCOPED_TRACE(c.name);
    LabelStyle style = Style();
    style.vertical = c.vertical;
    style.reversePath = c.reversePath;
    style.origin = c.origin;
    const LabelLayout layout = LayOutLabel("HH", style, {}, {});
    ExpectBox(BoundsOf(layout), c.ink);
    ExpectPoint(layout.penAfter, c.penAfter);
  }
}

TEST(LabelLayoutTest, DirectionSlantAndMirror) {
  LabelStyle up = Style();
  up.directionX = 0;
  up.directionY = 5;  // 90 degrees; the length does not matter
  LabelLayout layout = LayOutLabel("HH", up, {}, {});
  ExpectBox(BoundsOf(layout), {-420, 12.5, 0, 487.5});
  ExpectPoint(layout.penAfter, {0, 600});

  LabelStyle slanted = Style();
  slanted.slantTangent = 0.5;
  layout = LayOutLabel("I", slanted, {}, {});
  ASSERT_EQ(layout.strokes.size(), 1u);
  ASSERT_EQ(layout.strokes[0].size(), 2u);
  ExpectPoint(layout.strokes[0][0], {100 + 210, 420});  // the top leans right
  ExpectPoint(layout.strokes[0][1], {100, 0});

  LabelStyle mirrored = Style();
  mirrored.charWidth = -200;
  layout = LayOutLabel("HH", mirrored, {}, {});
  ExpectBox(BoundsOf(layout), {-487.5, 0, -12.5, 420});
  ExpectPoint(layout.penAfter, {-600, 0});
}

struct MovementCase {
  const char* text;
  double extraSpace, extraLine;
  LabelPoint penAfter, carriageReturn;
  std::size_t strokeCount;
};

// Pen (1000, 2000), carriage-return point (500, 2000); a cell is 300, a line 840.
TEST(LabelLayoutTest, ControlCharactersMoveThePen) {
  const MovementCase cases[] = {
      {"HH", 0, 0, {1600, 2000}, {500, 2000}, 6},
      {"HH\r", 0, 0, {500, 2000}, {500, 2000}, 6},
      {"HH\n", 0, 0, {1600, 1160}, {500, 1160}, 6},
      {"HH\r\nH", 0, 0, {800, 1160}, {500, 1160}, 9},
      {"HH\b", 0, 0, {1300, 2000}, {500, 2000}, 6},
      {"H\tH", 0, 0, {3100, 2000}, {500, 2000}, 6},  // a tab is five cells
      {"H H", 0, 0, {1900, 2000}, {500, 2000}, 6},
      {"H\x01\x1b\x7fH", 0, 0, {1600, 2000}, {500, 2000}, 6},  // other controls do nothing
      {"\xe9\x80", 0, 0, {1600, 2000}, {500, 2000}, 0},        // not in the font: spaces
      {"", 0, 0, {1000, 2000}, {500, 2000}, 0},
      {"HH\n", 0.5, 1, {1900, 320}, {500, 320}, 6},  // ES 0.5,1
  };
  for (const MovementCase& c : cases) {
    SCOPED_TRACE(c.text);
    LabelStyle style = Style();
    style.extraSpace = c.extraSpace;
    style.extraLine = c.extraLine;
    const LabelLayout layout = LayOutLabel(c.text, style, {1000, 2000}, {500, 2000});
    ExpectPoint(layout.penAfter, c.penAfter);
    ExpectPoint(layout.carriageReturn, c.carriageReturn);
    EXPECT_EQ(layout.strokes.size(), c.strokeCount);
  }
}

struct CharacterPlotCase {
  const char* name;
  double spaces, lines;
  double directionX, directionY;
  bool vertical, reversePath, reverseLineFeed;
  LabelPoint expected;
};

// From (1000, 2000): a cell is 300 and a line 840; vertically a character is 630 and a line
// 375 sideways.
TEST(LabelLayoutTest, CharacterPlotMovesByCellsAndLines) {
  const CharacterPlotCase cases[] = {
      {"right", 2, 1, 1, 0, false, false, false, {1600, 1160}},
      {"back and up", -1, -0.5, 1, 0, false, false, false, {700, 2420}},
      {"run up", 1, 1, 0, 1, false, false, false, {1840, 2300}},
      {"reverse line feed", 0, 1, 1, 0, false, false, true, {1000, 2840}},
      {"down", 1, 1, 1, 0, true, false, false, {625, 1370}},
      {"left", 1, 1, 1, 0, false, true, false, {700, 2840}},
      {"up", 1, 1, 1, 0, true, true, false, {1375, 2630}},
  };
  for (const CharacterPlotCase& c : cases) {
    SCOPED_TRACE(c.name);
    LabelStyle style = Style();
    style.directionX = c.directionX;
    style.directionY = c.directionY;
    style.vertical = c.vertical;
    style.reversePath = c.reversePath;
    style.reverseLineFeed = c.reverseLineFeed;
    ExpectPoint(CharacterPlot(style, {1000, 2000}, c.spaces, c.lines), c.expected);
  }
}

// A 50 MB label of many lines stays within its point budget and still moves the pen through
// every character; a layout that looked ahead quadratically would not finish.
TEST(LabelLayoutTest, HugeLabelKeepsToItsPointBudget) {
  constexpr std::size_t kBytes = 50'000'000;
  const std::string line = "HELLO, WORLD\r\n";
  std::string text = line;
  text.reserve(kBytes);
  while (text.size() + line.size() <= kBytes) {  // doubling, whole lines
    text.append(text, 0, std::min(text.size(), (kBytes - text.size()) / line.size() * line.size()));
  }
  text += "AB";
  const std::size_t lines = (text.size() - 2) / line.size();

  LabelStyle style = Style();
  style.maxPointCount = 100'000;
  const LabelLayout layout = LayOutLabel(text, style, {0, 0}, {0, 0});
  EXPECT_TRUE(layout.truncated);
  std::size_t points = 0;
  for (const LabelStroke& stroke : layout.strokes)
    points += stroke.size();
  EXPECT_LE(points, style.maxPointCount);
  EXPECT_GT(points, style.maxPointCount - 100);
  ExpectPoint(layout.penAfter, {600, -840.0 * lines});
  EXPECT_FALSE(LayOutLabel("HH", style, {}, {}).truncated);
}

struct BadStyleCase {
  const char* name;
  double charWidth, charHeight, slantTangent;
  LabelPoint penAfter;
};

// Sizes beyond any number (from a reader's scaling, say) draw nothing and leave the pen.
TEST(LabelLayoutTest, SizesBeyondAnyNumberDrawNothing) {
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  constexpr double kInf = std::numeric_limits<double>::infinity();
  const BadStyleCase cases[] = {
      {"width NaN", kNaN, 420, 0, {1000, 2000}},
      {"height infinite", 200, kInf, 0, {1000, 2000}},
      {"slant NaN", 200, 420, kNaN, {1600, 2000}},
      {"cell overflows", 1.5e308, 420, 0, {1000, 2000}},
  };
  for (const BadStyleCase& c : cases) {
    SCOPED_TRACE(c.name);
    LabelStyle style = Style();
    style.charWidth = c.charWidth;
    style.charHeight = c.charHeight;
    style.slantTangent = c.slantTangent;
    const LabelLayout layout = LayOutLabel("HH\n", style, {1000, 2000}, {1000, 2000});
    EXPECT_TRUE(layout.strokes.empty());
    EXPECT_EQ(layout.penAfter.x, c.penAfter.x);
    EXPECT_TRUE(std::isfinite(layout.penAfter.y));
    EXPECT_TRUE(std::isfinite(layout.carriageReturn.y));
    EXPECT_TRUE(std::isfinite(CharacterPlot(style, {1, 2}, 3, 4).x));
  }
}

TEST(LabelLayoutTest, StrokeSinkSeesWhatTheLayoutCollects) {
  LabelStyle style = Style();
  style.origin = 5;
  style.maxPointCount = 40;  // stops partway through
  const std::string text = "AB\r\nCD";
  const LabelLayout collected = LayOutLabel(text, style, {10, 20}, {10, 20});
  std::vector<LabelStroke> sunk;
  const LabelLayout streamed = LayOutLabel(text, style, {10, 20}, {10, 20},
                                           [&sunk](const LabelStroke& s) { sunk.push_back(s); });
  EXPECT_TRUE(streamed.strokes.empty());
  EXPECT_TRUE(streamed.truncated);
  ASSERT_EQ(sunk.size(), collected.strokes.size());
  for (std::size_t i = 0; i < sunk.size(); ++i) {
    ASSERT_EQ(sunk[i].size(), collected.strokes[i].size());
    for (std::size_t k = 0; k < sunk[i].size(); ++k) {
      ExpectPoint(sunk[i][k], collected.strokes[i][k]);
    }
  }
  ExpectPoint(streamed.carriageReturn, collected.carriageReturn);
}

}  // namespace
}  // namespace korvid
