// The standard reading, instruction family by instruction family, on small plots.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <tuple>

#include "hpgl2/Hpgl2Reader.h"

namespace korvid {
namespace {

std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", std::round(value * 1000) / 1000 + 0.0);
  return text;
}

// Every polyline of every page as its points "x,y x,y", lines joined by " | ", pages by
// " || ".
std::string Lines(const StandardReadOutcome& outcome) {
  std::string out;
  for (std::size_t p = 0; p < outcome.plot.pages.size(); ++p) {
    if (p) out += " || ";
    const StandardPage& page = outcome.plot.pages[p];
    for (std::size_t i = 0; i < page.polylines.size(); ++i) {
      if (i) out += " | ";
      const auto& points = page.polylines[i].points;
      for (std::size_t k = 0; k < points.size(); ++k) {
        if (k) out += ' ';
        out += Number(points[k].x) + "," + Number(points[k].y);
      }
    }
  }
  return out;
}

struct ReadCase {
  const char* name;
  std::string text;
  std::string lines;
};

class Drawing : public testing::TestWithParam<ReadCase> {};

TEST_P(Drawing, DrawsThesePolylines) {
  EXPECT_EQ(Lines(ReadStandardPlotBytes(GetParam().text)), GetParam().lines);
}

std::string Name(const testing::TestParamInfo<ReadCase>& info) {
  return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(
    PenMoves, Drawing,
    testing::Values(
        ReadCase{"AbsolutePairs", "IN;SP1;PU0,0;PD10,0,10,10;PU;", "0,0 10,0 10,10"},
        ReadCase{"RelativeToThePen", "IN;SP1;PA100,100;PR;PD10,0,0,10;", "100,100 110,100 110,110"},
        ReadCase{"BlankSeparators", "IN;SP1;PU0 0;PD2288 9583;", "0,0 2288,9583"},
        ReadCase{"NoSeparators", "INSP1PA0,0PD5,5", "0,0 5,5"},
        ReadCase{"PenUpBreaksTheLine", "IN;SP1;PD10,0;PU20,0;PD30,0;", "0,0 10,0 | 20,0 30,0"},
        ReadCase{"PaAfterPdDraws", "IN;SP1;PD;PA5,0,5,5;", "0,0 5,0 5,5"},
        ReadCase{"OddParameterIgnored", "IN;SP1;PD5,5,7;", "0,0 5,5"},
        ReadCase{"NoPenDrawsNothing", "IN;SP0;PD10,10;", ""},
        ReadCase{"DotForPdWithoutMove", "IN;SP1;PA4,4;PD;PU;", "4,4 4,4"},
        ReadCase{"SignedNumbers", "IN;SP1;PA+1,-1;PD-3.5,+2;", "1,-1 -3.5,2"},
        ReadCase{"PenSelectionSplits", "IN;SP1;PD10,0;SP2;PD20,0;", "0,0 10,0 | 10,0 20,0"},
        ReadCase{"EncodedPolyline", "IN;SP1;PE<=\xBF\xBFG\xC2\xBF\xBFG\xC2;", "0,0 100,0 100,100"}),
    Name);

INSTANTIATE_TEST_SUITE_P(
    Curves, Drawing,
    testing::Values(
        // A quarter arc of radius 10 around the origin in 3 chords of 30 degrees.
        ReadCase{"ArcAbsoluteChord", "IN;SP1;PA10,0;PD;AA0,0,90,30;", "10,0 8.66,5 5,8.66 0,10"},
        ReadCase{"ArcRelative", "IN;SP1;PA10,0;PD;AR-10,0,-90,45;", "10,0 7.071,-7.071 0,-10"},
        ReadCase{"ArcWithPenUpMoves", "IN;SP1;PA10,0;AA0,0,90;PD0,20;", "0,10 0,20"},
        // CI draws with the pen lowered and leaves the pen at the centre.
        ReadCase{"CircleChord90", "IN;SP1;PA0,0;CI10,90;PD0,5;",
                 "10,0 0,10 -10,0 0,-10 10,0 | 0,0 0,5"},
        ReadCase{"ThreePointArc", "IN;SP1;PA10,0;PD;AT0,10,-10,0,90;", "10,0 0,10 -10,0"},
        ReadCase{"ThreePointCollinear", "IN;SP1;PA0,0;PD;AT5,5,10,10;", "0,0 10,10"},
        ReadCase{"BezierEndsAtItsEnd", "IN;SP1;PA0,0;PD;BZ0,0,0,0,4,4;",
                 "0,0 0.063,0.063 0.5,0.5 1.688,1.688 4,4"},
        ReadCase{"RectangleEdge", "IN;SP1;PA1,1;EA3,4;", "1,1 3,1 3,4 1,4 1,1"},
        ReadCase{"WedgeEdge", "IN;SP1;PA0,0;EW10,0,90,45;", "0,0 10,0 7.071,7.071 0,10 0,0"},
        // The point after PM1 starts the next subpolygon, pen down or not: no edge to it.
        ReadCase{"SubpolygonStartsAtItsFirstPoint",
                 "IN;SP1;PA0,0;PM0;PD9,0,9,9;PM1;PD20,20,29,20,29,29;PM2;EP;",
                 "0,0 9,0 9,9 0,0 | 20,20 29,20 29,29 20,20"},
        ReadCase{"Ticks", "IN;SP1;IP0,0,1000,1000;PA0,0;TL1,2;XT;", "0,-20 0,10"}),
    Name);

INSTANTIATE_TEST_SUITE_P(
    Scaling, Drawing,
    testing::Values(
        ReadCase{"Anisotropic", "IN;SP1;IP0,0,1000,500;SC0,10,0,10;PA0,0;PD10,10;", "0,0 1000,500"},
        ReadCase{"AnisotropicType0", "IN;SP1;IP0,0,1000,500;SC0,10,0,10,0;PA5,5;PD10,10;",
                 "500,250 1000,500"},
        // One factor (50/unit) for both axes, the spare width shared out to the centre.
        ReadCase{"IsotropicCentred", "IN;SP1;IP0,0,1000,500;SC0,10,0,10,1;PA0,0;PD10,10;",
                 "250,0 750,500"},
        ReadCase{"IsotropicLeft", "IN;SP1;IP0,0,1000,500;SC0,10,0,10,1,0,0;PA0,0;PD10,10;",
                 "0,0 500,500"},
        ReadCase{"PointFactor", "IN;SP1;IP100,100,200,200;SC0,2,0,3,2;PA0,0;PD10,10;",
                 "100,100 120,130"},
        ReadCase{"RelativeInUserUnits", "IN;SP1;IP0,0,1000,1000;SC0,10,0,10;PA1,1;PR;PD1,0;",
                 "100,100 200,100"},
        ReadCase{"ScaleOff", "IN;SP1;IP0,0,1000,1000;SC0,10,0,10;SC;PA1,1;PD2,2;", "1,1 2,2"},
        ReadCase{"ZeroRangeRefused", "IN;SP1;IP0,0,1000,1000;SC0,0,0,10;PA1,1;PD2,2;", "1,1 2,2"},
        ReadCase{"VanishingFactorRefused", "IN;SP1;IP0,0,1000,1000;SC0,1e38,0,1e38;PA0,0;PD1,1;",
                 "0,0 1,1"},
        ReadCase{"EqualPointsRefused", "IN;SP1;IP5,5,5,5;SC0,10,0,10;PA0,0;PD10,10;",
                 "250,596 10250,7796"},
        ReadCase{"Rotation90", "IN;SP1;RO90;PA10,0;PD20,0;", "0,10 0,20"},
        ReadCase{"ClipWindow", "IN;SP1;IW0,0,10,10;PA-10,5;PD20,5;", "0,5 10,5"},
        ReadCase{"ClipWindowReset", "IN;SP1;IW0,0,10,10;IW;PA-10,5;PD20,5;", "-10,5 20,5"}),
    Name);

INSTANTIATE_TEST_SUITE_P(
    Pages, Drawing,
    testing::Values(ReadCase{"PgStartsAPage", "IN;SP1;PD1,1;PG;PD2,2;", "0,0 1,1 || 1,1 2,2"},
                    ReadCase{"LeadingPgMakesNoBlankPage", "PG;IN;SP1;PD1,1;PG;", "0,0 1,1"},
                    ReadCase{"InKeepsThePage", "IN;SP1;PD1,1;IN;SP1;PD2,2;", "0,0 1,1 | 0,0 2,2"},
                    ReadCase{"BpAfterDrawing", "IN;SP1;PD1,1;BP;PD2,2;", "0,0 1,1 || 1,1 2,2"},
                    ReadCase{"EmptyFileHasOnePage", "", ""}),
    Name);

TEST(StandardRead, EmptyFileHasOneEmptyPage) {
  const StandardReadOutcome outcome = ReadStandardPlotBytes("");
  ASSERT_EQ(outcome.plot.pages.size(), 1u);
  EXPECT_FALSE(outcome.Drew());
}

struct StyleCase {
  const char* name;
  std::string text;
  std::int32_t pen;
  double widthMm;
  ColourRef colour;
  std::int32_t lineType;
  double patternLength;
};

class LineStyles : public testing::TestWithParam<StyleCase> {};

TEST_P(LineStyles, StrokeTheLastLineSo) {
  const StandardReadOutcome outcome = ReadStandardPlotBytes(GetParam().text);
  ASSERT_FALSE(outcome.plot.pages.back().polylines.empty());
  const StrokeStyle& style = outcome.plot.pages.back().polylines.back().style;
  EXPECT_EQ(style.pen, GetParam().pen);
  EXPECT_NEAR(style.widthMm, GetParam().widthMm, 1e-9);
  EXPECT_EQ(style.colour, GetParam().colour);
  EXPECT_EQ(style.lineType, GetParam().lineType);
  EXPECT_NEAR(style.patternLength, GetParam().patternLength, 1e-3);
}

constexpr std::int32_t kSolid = StrokeStyle::kSolidLine;

INSTANTIATE_TEST_SUITE_P(
    Attributes, LineStyles,
    testing::Values(
        StyleCase{"Defaults", "IN;SP1;PD1,1;", 1, 0.35, 0x000000, kSolid, 0},
        StyleCase{"DefaultPaletteRed", "IN;SP2;PD1,1;", 2, 0.35, 0x0000FF, kSolid, 0},
        StyleCase{"PenBeyondPaletteWraps", "IN;SP9;PD1,1;", 9, 0.35, 0x0000FF, kSolid, 0},
        StyleCase{"PenColour", "IN;PC1,0,128,255;SP1;PD1,1;", 1, 0.35, 0xFF8000, kSolid, 0},
        StyleCase{"ColourRange", "IN;CR0,100,0,100,0,100;PC1,100,0,50;SP1;PD1,1;", 1, 0.35,
                  0x8000FF, kSolid, 0},
        StyleCase{"WidthAllPens", "IN;PW0.7;SP3;PD1,1;", 3, 0.7, 0x00FF00, kSolid, 0},
        StyleCase{"WidthOnePen", "IN;PW1,2;SP2;PD1,1;", 2, 1, 0x0000FF, kSolid, 0},
        StyleCase{"WidthOtherPen", "IN;PW1,2;SP1;PD1,1;", 1, 0.35, 0x000000, kSolid, 0},
        // Relative width: percent of the P1-P2 diagonal (1000 units = 25 mm).
        StyleCase{"RelativeWidth", "IN;IP0,0,600,800;WU1;PW1;SP1;PD1,1;", 1, 0.25, 0, kSolid, 0},
        StyleCase{"LineTypeRelativeLength", "IN;IP0,0,600,800;LT2,5;SP1;PD1,1;", 1, 0.35, 0, 2, 50},
        StyleCase{"LineTypeAbsoluteLength", "IN;LT-3,2,1;SP1;PD1,1;", 1, 0.35, 0, -3, 80},
        StyleCase{"LineTypeReset", "IN;LT2;LT;SP1;PD1,1;", 1, 0.35, 0, kSolid, 0},
        // 4 % of the default P1-P2 diagonal.
        StyleCase{"LineTypePrevious", "IN;LT2;LT;LT99;SP1;PD1,1;", 1, 0.35, 0, 2, 492.893}),
    [](const testing::TestParamInfo<StyleCase>& info) { return std::string(info.param.name); });

TEST(StandardRead, LineAttributesSetEndsAndJoins) {
  const std::tuple<std::string, LineEnd, LineJoin> cases[] = {
      {"", LineEnd::Butt, LineJoin::Miter},
      {"LA1,4,2,4;", LineEnd::Round, LineJoin::Round},
      {"LA1,2,2,5;", LineEnd::Square, LineJoin::Bevel},
      {"LA1,3,2,3;", LineEnd::Square, LineJoin::Bevel},
      {"LA1,4;LA;", LineEnd::Butt, LineJoin::Miter},
      {"LA1,4;IN;", LineEnd::Butt, LineJoin::Miter}};
  for (const auto& [attributes, ends, joins] : cases) {
    const StandardReadOutcome outcome = ReadStandardPlotBytes("IN;" + attributes + "SP1;PD1,1;");
    const StrokeStyle& style = outcome.plot.pages[0].polylines[0].style;
    EXPECT_EQ(style.ends, ends) << attributes;
    EXPECT_EQ(style.joins, joins) << attributes;
  }
}

TEST(StandardRead, UserLineTypeReplacesThePattern) {
  const StandardReadOutcome outcome = ReadStandardPlotBytes("IN;UL2,1,3;LT2;SP1;PD1,1;");
  const StrokeStyle& style = outcome.plot.pages[0].polylines[0].style;
  ASSERT_GE(style.dashIndex, 0);
  EXPECT_EQ(outcome.plot.dashPatterns[static_cast<std::size_t>(style.dashIndex)],
            (std::vector<double>{25, 75}));
}

struct FillCase {
  const char* name;
  std::string text;
  std::size_t rings;
  std::size_t firstRingPoints;
  FillKind fill;
  ColourRef colour;
  bool nonZero;
};

class Fills : public testing::TestWithParam<FillCase> {};

TEST_P(Fills, FillTheLastPolygonSo) {
  const StandardReadOutcome outcome = ReadStandardPlotBytes(GetParam().text);
  ASSERT_FALSE(outcome.plot.pages.back().polygons.empty());
  const StandardPolygon& polygon = outcome.plot.pages.back().polygons.back();
  EXPECT_EQ(polygon.rings.size(), GetParam().rings);
  EXPECT_EQ(polygon.rings[0].size(), GetParam().firstRingPoints);
  EXPECT_EQ(polygon.fill, GetParam().fill);
  EXPECT_EQ(polygon.colour, GetParam().colour);
  EXPECT_EQ(polygon.nonZeroWinding, GetParam().nonZero);
}

INSTANTIATE_TEST_SUITE_P(
    Polygons, Fills,
    testing::Values(
        FillCase{"PolygonMode", "IN;SP1;PA0,0;PM0;PD10,0,10,10;PM2;FP;", 1, 3, FillKind::Solid,
                 0x000000, false},
        FillCase{"Subpolygons", "IN;SP1;PA0,0;PM0;PD10,0,10,10;PM1;PU20,20;PD30,20,30,30;PM2;FP1;",
                 2, 3, FillKind::Solid, 0x000000, true},
        FillCase{"CircleInPolygonMode", "IN;SP1;PA0,0;PM0;CI10,90;PM2;FP;", 1, 5, FillKind::Solid,
                 0x000000, false},
        FillCase{"RectangleAbsolute", "IN;SP2;PA1,1;RA5,5;", 1, 4, FillKind::Solid, 0x0000FF,
                 false},
        FillCase{"RectangleRelative", "IN;SP1;PA1,1;FT3,10,45;RR5,5;", 1, 4, FillKind::Hatch, 0,
                 false},
        FillCase{"CrossHatch", "IN;SP1;FT4;RA5,5;", 1, 4, FillKind::CrossHatch, 0, false},
        // Shading 50 % of red: half way to white.
        FillCase{"Shading", "IN;SP2;FT10,50;RA5,5;", 1, 4, FillKind::Solid, 0x8080FF, false},
        FillCase{"Wedge", "IN;SP1;WG10,0,90,45;", 1, 4, FillKind::Solid, 0, false},
        FillCase{"FullWedgeIsACircle", "IN;SP1;WG10,0,360,90;", 1, 4, FillKind::Solid, 0, false}),
    [](const testing::TestParamInfo<FillCase>& info) { return std::string(info.param.name); });

TEST(StandardRead, EdgePolygonDrawsOnlyPenDownEdges) {
  const StandardReadOutcome outcome =
      ReadStandardPlotBytes("IN;SP1;PA0,0;PM0;PD10,0;PU10,10;PD0,10;PM2;EP;");
  EXPECT_EQ(Lines(outcome), "0,0 10,0 | 10,10 0,10 0,0");
}

TEST(StandardRead, PolygonKeepsItsPlaceAmongTheLines) {
  const StandardReadOutcome outcome = ReadStandardPlotBytes("IN;SP1;PD1,1;RA5,5;PU;PD9,9;");
  ASSERT_EQ(outcome.plot.pages[0].polygons.size(), 1u);
  EXPECT_EQ(outcome.plot.pages[0].polygons[0].polylinesBefore, 1u);
}

TEST(StandardRead, TalliesWhatItDoesNotDraw) {
  const StandardReadOutcome outcome = ReadStandardPlotBytes("IN;VS10;QQ1;QQ2;ZZ;VS;SP1;");
  ASSERT_EQ(outcome.ignored.size(), 1u);
  EXPECT_EQ(outcome.ignored[0].mnemonic, "VS");
  EXPECT_EQ(outcome.ignored[0].count, 2);
  ASSERT_EQ(outcome.unread.size(), 2u);
  EXPECT_EQ(outcome.unread[0].mnemonic, "QQ");
  EXPECT_EQ(outcome.unread[0].count, 2);
  EXPECT_EQ(outcome.unread[1].mnemonic, "ZZ");
  EXPECT_EQ(outcome.counts.instructions, 7);
}

TEST(StandardRead, MemoryBudgetStopsTheReadAndSaysSo) {
  std::string text = "IN;SP1;PD";
  for (int i = 0; i < 20000; ++i)
    text += std::to_string(i) + "," + std::to_string(i % 7) + ",";
  text += "0,0;PU;";
  StandardReadLimits limits;
  limits.memoryBudgetBytes = 64 * 1024;
  const StandardReadOutcome outcome = ReadStandardPlotBytes(text, limits);
  EXPECT_TRUE(outcome.memoryBudgetReached);
  EXPECT_GT(outcome.stoppedAtByte, 0);
  EXPECT_TRUE(outcome.Drew());
  const StandardReadOutcome whole = ReadStandardPlotBytes(text);
  EXPECT_FALSE(whole.memoryBudgetReached);
  EXPECT_EQ(whole.plot.pages[0].polylines[0].points.size(), 20002u);
}

// Wherever the budget runs out, what is kept is whole: no line of fewer than two points.
TEST(StandardRead, SpentBudgetLeavesOnlyWholeLines) {
  std::string text = "IN;SP1;";
  for (int i = 0; i < 300; ++i)
    text += "PU" + std::to_string(i) + ",0;PD" + std::to_string(i) + ",5;CI3;LBx\x03";
  for (std::size_t budget = 256; budget < 200000; budget = budget * 5 / 4) {
    StandardReadLimits limits;
    limits.memoryBudgetBytes = budget;
    const StandardReadOutcome outcome = ReadStandardPlotBytes(text, limits);
    for (const StandardPolyline& line : outcome.plot.pages[0].polylines)
      ASSERT_GE(line.points.size(), 2u) << budget;
  }
}

TEST(StandardRead, MissingFileSaysWhy) {
  const StandardReadOutcome outcome = ReadStandardPlotFile("/nonexistent/korvid/plot.plt");
  EXPECT_TRUE(outcome.fileError);
  EXPECT_NE(outcome.fileErrorNumber, 0);
  EXPECT_EQ(outcome.plot.pages.size(), 1u);
}

// Inputs built to make a reader hang, overflow or run out of memory end with what they
// could read.
TEST(StandardRead, AdversarialInputsEndWithWhatCouldBeRead) {
  const std::string inputs[] = {
      "IN;SP1;PE" + std::string(1 << 20, '~'),
      "IN;SP1;SC0,0,0,0;PD10,10;SC0,1e38,0,1e38;PD1e30,1e30;",
      "IN;SP1;IP1,1,1,1;SC0,10,0,10,1;PD5,5;",
      "IN;SP1;BZ1e300,1e300,-1e300,1e300,1e300,-1e300;PD1,1;",
      "IN;SP1;CI1e300,0.0001;CI5,0;AA1e308,1e308,1e308,0;",
      "IN;SP1;LB" + std::string(1 << 20, 'A'),
      "IN;SP1;PM0;" + std::string(1 << 16, ';') + "PM2;FP;EP;",
      "IN;SP1;LT5,1e300,1;PD1,1;PW1e300;PD2,2;",
  };
  for (const std::string& input : inputs) {
    const StandardReadOutcome outcome = ReadStandardPlotBytes(input);
    EXPECT_GE(outcome.plot.pages.size(), 1u);
    for (const StandardPage& page : outcome.plot.pages) {
      for (const StandardPolyline& line : page.polylines) {
        for (const PlotPoint& p : line.points)
          ASSERT_TRUE(std::isfinite(p.x) && std::isfinite(p.y));
      }
    }
  }
}

}  // namespace
}  // namespace korvid

namespace korvid {
namespace {

// Where labels start, run and leave the pen, with the state the reader resolves.
struct LabelCase {
  const char* name;
  std::string text;
  double minX, minY, maxX, maxY;  // page extents, to 1 %
};

class Labels : public testing::TestWithParam<LabelCase> {};

TEST_P(Labels, CoverThisArea) {
  const StandardReadOutcome outcome = ReadStandardPlotBytes(GetParam().text);
  const PlotBox& box = outcome.plot.pages[0].extents;
  ASSERT_FALSE(box.empty);
  const double tolerance = 0.06 * std::max(box.Width(), box.Height());
  EXPECT_NEAR(box.minX, GetParam().minX, tolerance);
  EXPECT_NEAR(box.minY, GetParam().minY, tolerance);
  EXPECT_NEAR(box.maxX, GetParam().maxX, tolerance);
  EXPECT_NEAR(box.maxY, GetParam().maxY, tolerance);
  EXPECT_EQ(outcome.counts.labels, 1);
}

// "HHH" in 1 cm characters (400 units high, 400 wide, cells of 600): from the pen right
// and up to about 1000 x 400.
INSTANTIATE_TEST_SUITE_P(
    OriginAndDirection, Labels,
    testing::Values(
        LabelCase{"SizeInCentimetres", "IN;SP1;SI1,1;PA0,0;LBHHH\x03", 0, 0, 1600, 400},
        LabelCase{"RunningUp", "IN;SP1;SI1,1;DI0,1;PA0,0;LBHHH\x03", -400, 0, 0, 1600},
        // Centred on the label's cells: the ink of the last H ends short of them.
        LabelCase{"CentredOrigin", "IN;SP1;SI1,1;LO5;PA0,0;LBHHH\x03", -800, -200, 700, 200},
        LabelCase{"RelativeSize", "IN;SP1;IP0,0,10000,10000;SR4,4;PA0,0;LBHHH\x03", 0, 0, 1600,
                  400},
        LabelCase{"RelativeDirection", "IN;SP1;SI1,1;IP0,0,10000,10000;DR0,1;PA0,0;LBHHH\x03", -400,
                  0, 0, 1600},
        LabelCase{"OwnTerminator", "IN;SP1;SI1,1;DT*;PA0,0;LBHHH*PU;", 0, 0, 1600, 400}),
    [](const testing::TestParamInfo<LabelCase>& info) { return std::string(info.param.name); });

TEST(LabelPen, StandsAfterTheLastCharacter) {
  const StandardReadOutcome outcome =
      ReadStandardPlotBytes("IN;SP1;SI1,1;PA0,0;LBAB\x03PR;PD0,10;");
  const StandardPolyline& line = outcome.plot.pages[0].polylines.back();
  EXPECT_NEAR(line.points[0].x, 1200, 1);
  EXPECT_NEAR(line.points[0].y, 0, 1);
}

TEST(LabelPen, CharacterPlotMovesByCellsAndLines) {
  const StandardReadOutcome along = ReadStandardPlotBytes("IN;SP1;SI1,1;PA0,0;CP2,0;PR;PD0,10;");
  EXPECT_NEAR(along.plot.pages[0].polylines[0].points[0].x, 1200, 1);
  const StandardReadOutcome up = ReadStandardPlotBytes("IN;SP1;SI1,1;PA0,0;CP0,1;PR;PD0,10;");
  EXPECT_GT(up.plot.pages[0].polylines[0].points[0].y, 400);
}

TEST(LabelPen, SymbolModeMarksEveryPointAndLeavesThePen) {
  const StandardReadOutcome plain = ReadStandardPlotBytes("IN;SP1;SI1,1;PA0,0;PD1000,0,2000,0;");
  const StandardReadOutcome marked =
      ReadStandardPlotBytes("IN;SP1;SI1,1;SM+;PA0,0;PD1000,0,2000,0;SM;PD3000,0;");
  ASSERT_EQ(plain.plot.pages[0].polylines.size(), 1u);
  // Each "+" is two strokes, at (0,0), (1000,0) and (2000,0); the line still runs on.
  EXPECT_EQ(marked.plot.pages[0].polylines.size(), 1u + 6u + 2u);
  EXPECT_NEAR(marked.plot.pages[0].extents.minY, -200, 60);
  EXPECT_NEAR(marked.plot.pages[0].extents.maxX, 3000, 1);
}

TEST(LabelPen, NoPenDrawsNoLabelButMovesThePen) {
  const StandardReadOutcome outcome =
      ReadStandardPlotBytes("IN;SP0;SI1,1;PA0,0;LBAB\x03SP1;PR;PD0,10;");
  ASSERT_EQ(outcome.plot.pages[0].polylines.size(), 1u);
  EXPECT_NEAR(outcome.plot.pages[0].polylines[0].points[0].x, 1200, 1);
  EXPECT_EQ(outcome.counts.labels, 0);
}

// Bytes from 128 up draw the letter or sign the label font has for them, never nothing:
// Roman-8 unless CS or SD chose Latin 1.
TEST(LabelPen, BytesFrom128DrawTheirStandIn) {
  const std::pair<std::string, std::string> cases[] = {
      {"LB\xDC\x03", "LBE\x03"},              // Roman-8 É
      {"CS14;LB\xE9\x03", "LBe\x03"},         // ISO 8859-1 é
      {"SD1,629,2,1;LB\xDF\x03", "LBs\x03"},  // Windows Latin 1 ß
      {"LB\xFF\x03", "LB?\x03"}};             // none in Roman-8
  for (const auto& [eightBit, ascii] : cases) {
    const std::string drawn = Lines(ReadStandardPlotBytes("IN;SP1;" + eightBit));
    EXPECT_EQ(drawn, Lines(ReadStandardPlotBytes("IN;SP1;" + ascii))) << eightBit;
    EXPECT_NE(drawn, "") << eightBit;
  }
}

}  // namespace
}  // namespace korvid
