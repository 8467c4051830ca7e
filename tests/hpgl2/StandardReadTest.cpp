// The standard reading, instruction family by instruction family, on small plots that start
// with "IN;SP1;".
#include "TextTable.h"
#include "hpgl2/Hpgl2Reader.h"
#include "outlines/OutlineFont.h"

namespace korvid {
namespace {

StandardReadOutcome Read(const std::string& text) {
  return ReadStandardPlotBytes("IN;SP1;" + text);
}

std::string Hex(ColourRef colour) {
  char text[16];
  std::snprintf(text, sizeof text, "%06X", colour);
  return text;
}

// Every polyline of every page as its points "x,y x,y", lines joined by " | ", pages by " || ".
std::string Lines(const std::string& text) {
  std::string out;
  const std::vector<StandardPage> pages = Read(text).plot.pages;
  for (std::size_t p = 0; p < pages.size(); ++p) {
    for (std::size_t i = 0; i < pages[p].polylines.size(); ++i)
      out += (i ? " | " : p ? " || " : "") + Points(pages[p].polylines[i].AllPoints());
  }
  return out;
}

const TextCase kDrawings[] = {
    {"AbsolutePairs", "PU0,0;PD10,0,10,10;PU;", "0,0 10,0 10,10"},
    {"RelativeToThePen", "PA100,100;PR;PD10,0,0,10;", "100,100 110,100 110,110"},
    {"PenUpBreaksTheLine", "PD10,0;PU20,0;PD30,0;", "0,0 10,0 | 20,0 30,0"},
    {"PaAfterPdDraws", "PD;PA5,0,5,5;", "0,0 5,0 5,5"},
    {"OddParameterIgnored", "PD5,5,7;", "0,0 5,5"},
    {"NoPenDrawsNothing", "SP0;PD10,10;", ""},
    {"DotForPdWithoutMove", "PA4,4;PD;PU;", "4,4 4,4"},
    {"PenSelectionSplits", "PD10,0;SP2;PD20,0;", "0,0 10,0 | 10,0 20,0"},
    {"EncodedPolyline", "PE<=\xBF\xBFG\xC2\xBF\xBFG\xC2;", "0,0 100,0 100,100"},
    {"EdgePolygonDrawsOnlyPenDownEdges", "PA0,0;PM0;PD10,0;PU10,10;PD0,10;PM2;EP;",
     "0,0 10,0 | 10,10 0,10 0,0"},
    // The point after PM1 starts the next subpolygon, pen down or not: no edge to it.
    {"SubpolygonStartsAtItsFirstPoint", "PA0,0;PM0;PD9,0,9,9;PM1;PD20,20,29,20,29,29;PM2;EP;",
     "0,0 9,0 9,9 0,0 | 20,20 29,20 29,29 20,20"},
    // A label moves the pen a cell (600 at SI1,1) per character, drawn or not; CP by lines.
    {"LabelWithoutPenMovesThePen", "SP0;SI1,1;PA0,0;LBAB\x03SP1;PR;PD0,10;", "1200,0 1200,10"},
    {"CharacterPlotLineUp", "SI1,1;PA0,0;CP0,1;PR;PD0,10;", "0,800 0,810"},
    // A quarter arc of radius 10 around the origin in 3 chords of 30 degrees.
    {"ArcAbsoluteChord", "PA10,0;PD;AA0,0,90,30;", "10,0 8.66,5 5,8.66 0,10"},
    {"ArcRelative", "PA10,0;PD;AR-10,0,-90,45;", "10,0 7.071,-7.071 0,-10"},
    {"ArcWithPenUpMoves", "PA10,0;AA0,0,90;PD0,20;", "0,10 0,20"},
    // CI draws with the pen lowered and leaves the pen at the centre.
    {"CircleChord90", "PA0,0;CI10,90;PD0,5;", "10,0 0,10 -10,0 0,-10 10,0 | 0,0 0,5"},
    {"ThreePointArc", "PA10,0;PD;AT0,10,-10,0,90;", "10,0 0,10 -10,0"},
    {"ThreePointArcClockwise", "PA10,0;PD;AT0,-10,-10,0,90;", "10,0 0,-10 -10,0"},
    {"ThreePointCollinear", "PA0,0;PD;AT5,5,10,10;", "0,0 10,10"},
    {"BezierEndsAtItsEnd", "PA0,0;PD;BZ0,0,0,0,4,4;", "0,0 0.063,0.063 0.5,0.5 1.688,1.688 4,4"},
    {"RectangleEdge", "PA1,1;EA3,4;", "1,1 3,1 3,4 1,4 1,1"},
    {"WedgeEdge", "PA0,0;EW10,0,90,45;", "0,0 10,0 7.071,7.071 0,10 0,0"},
    {"Ticks", "IP0,0,1000,1000;PA0,0;TL1,2;XT;", "0,-20 0,10"},
    {"Anisotropic", "IP0,0,1000,500;SC0,10,0,10;PA0,0;PD10,10;", "0,0 1000,500"},
    {"AnisotropicType0", "IP0,0,1000,500;SC0,10,0,10,0;PA5,5;PD10,10;", "500,250 1000,500"},
    // One factor (50/unit) for both axes, the spare width shared out to the centre.
    {"IsotropicCentred", "IP0,0,1000,500;SC0,10,0,10,1;PA0,0;PD10,10;", "250,0 750,500"},
    {"IsotropicLeft", "IP0,0,1000,500;SC0,10,0,10,1,0,0;PA0,0;PD10,10;", "0,0 500,500"},
    {"PointFactor", "IP100,100,200,200;SC0,2,0,3,2;PA0,0;PD10,10;", "100,100 120,130"},
    {"RelativeInUserUnits", "IP0,0,1000,1000;SC0,10,0,10;PA1,1;PR;PD1,0;", "100,100 200,100"},
    // An arc's centre and radius in user units, around the scaled origin.
    {"ScaledArc", "IP100,100,1100,1100;SC0,10,0,10;PA5,0;PD;AA0,0,90,45;",
     "600,100 453.553,453.553 100,600"},
    {"ScaleOff", "IP0,0,1000,1000;SC0,10,0,10;SC;PA1,1;PD2,2;", "1,1 2,2"},
    // A refused SC or IP keeps what was set before.
    {"ZeroRangeRefused", "IP0,0,1000,1000;SC0,10,0,10;SC0,0,0,10;PA1,1;PD2,2;", "100,100 200,200"},
    {"VanishingFactorRefused", "IP0,0,1000,1000;SC0,1e38,0,1e38;PA0,0;PD1,1;", "0,0 1,1"},
    {"P1AloneCarriesP2", "IP100,100;SC0,1,0,1;PA1,1;PD0,0;", "10100,7300 100,100"},
    {"EqualPointsRefused", "IP5,5,5,5;SC0,10,0,10;PA0,0;PD10,10;", "250,596 10250,7796"},
    // IR in percent of the default P1-P2 area; IR alone goes back to it.
    {"RelativePoints", "IR0,0,50,50;SC0,10,0,10;PA10,10;PD0,0;", "5250,4196 250,596"},
    {"RelativePointsReset", "IR0,0,50,50;IR;SC0,10,0,10;PA10,10;PD0,0;", "10250,7796 250,596"},
    // "90: Rotates and shifts the coordinate system": turned about the hard-clip limits
    // (here the 10500 by 8392 sheet of the default P1 and P2), so that the plot stays on them.
    {"RotationShiftsOntoThePage90", "RO90;PA10,0;PD20,0;", "10500,10 10500,20"},
    {"RotationShiftsOntoThePage180", "RO180;PA10,0;PD20,0;", "10490,8392 10480,8392"},
    {"RotationShiftsOntoThePage270", "RO270;PA10,0;PD20,0;", "0,8382 0,8372"},
    // "P1 and P2 rotate with the coordinate system and keep their values"; IP alone then puts
    // them at the turned frame's corners, which on paper is the frame of RO 0.
    {"RotationKeepsP1P2", "SC0,10,0,10;RO90;PA10,10;PD0,0;", "2704,10250 9904,250"},
    {"IpAfterRotationTurnsTheFrame", "RO90;IP;SC0,10,0,10;PA10,10;PD0,0;", "250,7796 10250,596"},
    // "BZ: Bezier Absolute", whatever PA or PR chose; BR is the relative one.
    {"BezierAbsoluteAfterPr", "PA100,0;PR;PD;BZ0,0,0,0,0,10;",
     "100,0 42.188,0.156 12.5,1.25 1.563,4.219 0,10"},
    {"BezierRelative", "PA100,0;PD;BR0,0,0,0,0,10;", "100,0 100,0.156 100,1.25 100,4.219 100,10"},
    // "EP edges only what was defined with the pen down": a subpolygon whose pen was lifted
    // before PM1 or PM2 gets no closing edge (GNU libplot's "PU;PM2;").
    {"EdgePolygonNoClosingEdgeAfterPenUp", "PA0,0;PM0;PD10,0,10,10;PU;PM2;EP;", "0,0 10,0 10,10"},
    {"EdgePolygonNoClosingEdgeAfterPenUpPm1", "PA0,0;PM0;PD10,0,10,10;PU;PM1;PD20,0,20,20;PM2;EP;",
     "0,0 10,0 10,10 | 20,0 20,20 20,0"},
    // "PS: the hard-clip limits"; nothing beyond them is drawn, and P1 and P2 move to them.
    {"PlotSizeClipsToItsLimits", "PS1000,1000;PA500,500;PD2000,500;", "500,500 1000,500"},
    {"PlotSizeMovesP1P2", "PS2000,1000;SC0,10,0,10;PA10,10;PD0,0;", "2000,1000 0,0"},
    {"PlotSizeTurnsWithRotation", "PS2000,1000;RO90;PA500,500;PD3000,500;", "1500,500 1500,1000"},
    {"PlotSizeWithinPclIsIgnored", "\x1b%0BPS1000,1000;PA500,500;PD2000,500;", "500,500 2000,500"},
    // IW keeps the part of each line inside the window.
    {"ClipWindow", "IW0,0,10,10;PA-10,5;PD20,5;", "0,5 10,5"},
    {"ClipEntering", "IW0,0,10,10;PA5,-5;PD5,5;", "5,0 5,5"},
    {"ClipDiagonal", "IW0,0,10,10;PA-5,-5;PD15,15;", "0,0 10,10"},
    {"ClipCorner", "IW0,0,10,10;PA-5,20;PD20,-5;", "5,10 10,5"},
    {"ClipOutside", "IW0,0,10,10;PA-5,5;PD-1,5;PU11,0;PD20,20;", ""},
    {"ClipDot", "IW0,0,10,10;PA3,3;PD;PU;", "3,3 3,3"},
    {"ClipWindowReset", "IW0,0,10,10;IW;PA-10,5;PD20,5;", "-10,5 20,5"},
    // Leading, trailing and repeated page breaks make no blank pages.
    {"PgStartsAPage", "PD1,1;PG;PD2,2;", "0,0 1,1 || 1,1 2,2"},
    {"LeadingPgMakesNoBlankPage", "PG;IN;SP1;PD1,1;PG;PG;", "0,0 1,1"},
    {"InKeepsThePage", "PD1,1;IN;SP1;PD2,2;", "0,0 1,1 | 0,0 2,2"},
    {"BpAfterDrawing", "PD1,1;BP;PD2,2;", "0,0 1,1 || 1,1 2,2"},
    // In HP-GL/2 within PCL "only PCL ejects a page" (a form feed, ESC E, a page size):
    // PG and BP feed nothing there.
    {"PclBpStartsNoPage", "\x1b%0BBP;IN;SP1;PD1,1;\x1b%0A\x1b%0BBP;IN;SP1;PD2,2;PG;PD3,3;\x1b%0A",
     "0,0 1,1 | 0,0 2,2 3,3"},
    {"PclFormFeedEjects", "\x1b%0BPD1,1;\x1b%0A\f\x1b%0BPU;PD2,2;", "0,0 1,1 || 1,1 2,2"},
    {"PclResetEjects",
     "\x1b%1BPD1,1;\x1b"
     "E\x1b%1BPD2,2;",
     "0,0 1,1 || 1,1 2,2"},
    {"PclPageSizeEjects", "\x1b%0BPD1,1;\x1b%0A\x1b&l26A\x1b%0BPD2,2;", "0,0 1,1 || 1,1 2,2"},
    {"StandAloneEntryKeepsPages", "\x1b%-1BPD1,1;PG;PD2,2;", "0,0 1,1 || 1,1 2,2"},
};
TEXT_TABLE(Drawing, Lines, kDrawings);

// The last line's pen, width in mm, colour 0xBBGGRR, line type and pattern length (when not
// solid), its own dash pattern (from UL) and its ends and joins (unless butt and mitered).
std::string Style(const std::string& text) {
  const StandardReadOutcome outcome = Read(text);
  if (outcome.plot.pages.back().polylines.empty()) return "no line";
  const StrokeStyle& style = outcome.plot.pages.back().polylines.back().style;
  std::string out =
      std::to_string(style.pen) + " " + Number(style.widthMm) + " " + Hex(style.colour);
  if (style.lineType != StrokeStyle::kSolidLine)
    out += " LT" + std::to_string(style.lineType) + "," + Number(style.patternLength);
  if (style.dashIndex >= 0) {
    for (double dash : outcome.plot.dashPatterns[static_cast<std::size_t>(style.dashIndex)])
      out += " " + Number(dash);
  }
  if (style.ends != LineEnd::Butt || style.joins != LineJoin::Miter) {
    const char* ends[] = {"butt", "square", "round", "triangle"};
    const char* joins[] = {"miter", "bevel", "round", "triangle"};
    out += std::string(" LA ") + ends[static_cast<int>(style.ends)] + "," +
           joins[static_cast<int>(style.joins)];
  }
  if (style.miterLimit != StrokeStyle::kDefaultMiterLimit)
    out += " limit " + Number(style.miterLimit);
  return out;
}

const TextCase kAttributes[] = {
    {"Defaults", "PD1,1;", "1 0.35 000000"},
    {"DefaultPaletteRed", "SP2;PD1,1;", "2 0.35 0000FF"},
    // Pens wrap without landing on white (entry 0); NP5 holds 8 pens, and 256 at most.
    {"PenEightIsPenOne", "SP8;PD1,1;", "8 0.35 000000"},
    {"PenFourteenIsPenSeven", "SP14;PD1,1;", "14 0.35 FFFF00"},
    {"TwoPensWrap", "NP2;SP5;PD1,1;", "5 0.35 000000"},
    {"FivePensHoldEight", "NP5;SP7;PD1,1;", "7 0.35 FFFF00"},
    {"FivePensWrapAtEight", "NP5;SP8;PD1,1;", "8 0.35 000000"},
    {"At256Pens", "NP1000;SP300;PD1,1;", "300 0.35 00FF00"},
    {"PenColour", "PC1,0,128,255;PD1,1;", "1 0.35 FF8000"},
    {"ColourRangeBackwards", "CR-100,100,0,10,255,0;PC3,0,5,0;SP3;PD1,1;", "3 0.35 FF8080"},
    {"ColourReset", "PC3,0,5,0;PC3;SP3;PD1,1;", "3 0.35 00FF00"},
    {"WidthAllPens", "PW0.7;SP3;PD1,1;", "3 0.7 00FF00"},
    {"WidthOnePen", "PW1,2;SP2;PD1,1;", "2 1 0000FF"},
    {"WidthOtherPen", "PW1,2;SP1;PD1,1;", "1 0.35 000000"},
    // Relative width: percent of the P1-P2 diagonal (1000 units = 25 mm).
    {"RelativeWidth", "IP0,0,600,800;WU1;PW1;PD1,1;", "1 0.25 000000"},
    {"LineTypeRelativeLength", "IP0,0,600,800;LT2,5;PD1,1;", "1 0.35 000000 LT2,50 50 50"},
    {"LineTypeAbsoluteLength", "LT-3,2,1;PD1,1;", "1 0.35 000000 LT-3,80 70 30"},
    {"LineTypeReset", "LT2;LT;PD1,1;", "1 0.35 000000"},
    // 4 % of the default P1-P2 diagonal.
    {"LineTypePrevious", "LT2;LT;LT99;PD1,1;", "1 0.35 000000 LT2,492.893 50 50"},
    {"UserLineType", "UL2,1,3;LT2;PD1,1;", "1 0.35 000000 LT2,492.893 25 75"},
    {"LineEndsAndJoins", "LA1,4,2,5;PD1,1;", "1 0.35 000000 LA round,bevel"},
    // "LA 1,3: triangular ends; 2,3: triangular joins; 3: the miter limit (default 5)".
    {"TriangularEndsAndJoins", "LA1,3,2,3;PD1,1;", "1 0.35 000000 LA triangle,triangle"},
    {"MiterLimit", "LA3,10;PD1,1;", "1 0.35 000000 limit 10"},
    {"MiterLimitAtLeastOne", "LA3,0.2;PD1,1;", "1 0.35 000000 limit 1"},
    {"LineAttributesReset", "LA1,4,3,10;LA;PD1,1;", "1 0.35 000000"},
    {"DefaultsResetLineAttributes", "LA1,4;DF;PD1,1;", "1 0.35 000000"},
    {"InResetsLineAttributes", "LA1,4;IN;SP1;PD1,1;", "1 0.35 000000"},
};
TEXT_TABLE(LineStyles, Style, kAttributes);

// The last polygon: its rings' point counts, fill, colour, the winding rule when non-zero and
// how many of the page's lines come before it.
std::string Fill(const std::string& text) {
  const StandardReadOutcome outcome = Read(text);
  if (outcome.plot.pages.back().polygons.empty()) return "no polygon";
  const StandardPolygon& polygon = outcome.plot.pages.back().polygons.back();
  std::string out;
  for (const PlotRing& ring : polygon.rings)
    out += (out.empty() ? "" : "+") + std::to_string(ring.size());
  const char* kinds[] = {" solid ", " hatch ", " cross "};
  out += kinds[static_cast<int>(polygon.fill)] + Hex(polygon.colour);
  if (polygon.nonZeroWinding) out += " non-zero";
  if (polygon.polylinesBefore) out += " after " + std::to_string(polygon.polylinesBefore);
  return out;
}

const TextCase kPolygons[] = {
    {"PolygonMode", "PA0,0;PM0;PD10,0,10,10;PM2;FP;", "3 solid 000000"},
    {"Subpolygons", "PA0,0;PM0;PD10,0,10,10;PM1;PU20,20;PD30,20,30,30;PM2;FP1;",
     "3+3 solid 000000 non-zero"},
    {"CircleInPolygonMode", "PA0,0;PM0;CI10,90;PM2;FP;", "5 solid 000000"},
    {"RectangleAbsolute", "SP2;PA1,1;RA5,5;", "4 solid 0000FF"},
    {"RectangleRelative", "PA1,1;FT3,10,45;RR5,5;", "4 hatch 000000"},
    {"CrossHatch", "FT4;RA5,5;", "4 cross 000000"},
    // Shading 50 % of red: half way to white.
    {"Shading", "SP2;FT10,50;RA5,5;", "4 solid 8080FF"},
    {"Wedge", "WG10,0,90,45;", "4 solid 000000"},
    {"FullWedgeIsACircle", "WG10,0,360,90;", "4 solid 000000"},
    {"KeepsItsPlaceAmongTheLines", "PD1,1;RA5,5;PU;PD9,9;", "4 solid 000000 after 1"},
    // "FP 1: non-zero winding", for hatching as for solid fills.
    {"HatchedNonZero", "PA0,0;FT3,10;PM0;PD10,0,10,10;PM2;FP1;", "3 hatch 000000 non-zero"},
    {"CrossHatchedNonZero", "PA0,0;FT4,10;PM0;PD10,0,10,10;PM2;FP1;", "3 cross 000000 non-zero"},
};
TEXT_TABLE(Polygons, Fill, kPolygons);

// Where labels start and run: the page's extents "minX,minY maxX,maxY".
std::string LabelBox(const std::string& text) {
  const StandardReadOutcome outcome = Read(text);
  const PlotBox& box = outcome.plot.pages[0].extents;
  if (outcome.counts.labels != 1 || box.empty) return "no label";
  return Points({{box.minX, box.minY}, {box.maxX, box.maxY}});
}

// "HHH" in 1 cm characters (400 units high, 400 wide, cells of 600): from the pen right and up,
// the ink 25 units in from the cells.
const TextCase kLabels[] = {
    {"SizeInCentimetres", "SI1,1;PA0,0;LBHHH\x03", "25,0 1575,400"},
    {"RunningUp", "SI1,1;DI0,1;PA0,0;LBHHH\x03", "-400,25 0,1575"},
    // Centred on the label's cells: the ink of the last H ends short of them.
    {"CentredOrigin", "SI1,1;LO5;PA0,0;LBHHH\x03", "-875,-200 675,200"},
    {"RelativeSize", "IP0,0,10000,10000;SR4,4;PA0,0;LBHHH\x03", "25,0 1575,400"},
    {"RelativeDirection", "SI1,1;IP0,0,10000,10000;DR0,1;PA0,0;LBHHH\x03", "-400,25 0,1575"},
    {"OwnTerminator", "SI1,1;DT*;PA0,0;LBHHH*PU;", "25,0 1575,400"},
    // "SD 2,1: proportional spacing": each letter as wide as it is, so "iii" runs short.
    {"ProportionalSpacing", "SI1,1;SD2,1;PA0,0;LBiii\x03", "75,0 525,419.048"},
    {"FixedSpacing", "SI1,1;SD2,0;PA0,0;LBiii\x03", "175,0 1425,419.048"},
    // Two-byte Kanji (SD 1,1611: JIS Kanji-1) take two cells: "日本" is four cells wide.
    {"JisKanjiTwoCellsEach", "SI1,1;SD1,1611;PA0,0;LBF|K\\\x03", "192.593,-5.079 1925.93,460.529"},
};
TEXT_TABLE(Labels, LabelBox, kLabels);

// Bytes from 128 up draw the letter or sign the label font has for them, never nothing:
// Roman-8 unless CS or SD chose Latin 1.
TEST(StandardRead, LabelBytesFrom128DrawTheirStandIn) {
  const std::pair<std::string, std::string> cases[] = {
      {"LB\xDC\x03", "LBE\x03"},              // Roman-8 É
      {"CS14;LB\xE9\x03", "LBe\x03"},         // ISO 8859-1 é
      {"SD1,629,2,1;LB\xDF\x03", "LBs\x03"},  // Windows Latin 1 ß
      {"LB\xFF\x03", "LB?\x03"}};             // none in Roman-8
  for (const auto& [eightBit, ascii] : cases) {
    EXPECT_EQ(Lines(eightBit), Lines(ascii)) << eightBit;
    EXPECT_NE(Lines(eightBit), "") << eightBit;
  }
}

// "CS: the standard character set": a national set's letters, not the ASCII signs on those
// codes; SA (or SO in the text) the alternate set of CA.
TEST(StandardRead, SevenBitSetsDrawTheirOwnCharacters) {
  const std::pair<std::string, std::string> cases[] = {
      {"CS39;LB[\\]~\x03", "LBAOUs\x03"},       // German: Ä Ö Ü ß
      {"CS37;LB#\x03", "LBL\x03"},              // United Kingdom: £
      {"CS5;LB!\x03", "LBA\x03"},               // Roman Extension: Roman-8's À
      {"CA39;SA;LB[\x03", "LBA\x03"},           // the alternate set chosen
      {"CA39;LB[\x0e[\x0f[\x03", "LB[A[\x03"},  // SO and SI within the label
      {"CA39;LB\x0e\x03LB[\x03", "LBA\x03"}};   // SO lasts to the next label
  for (const auto& [national, ascii] : cases) {
    EXPECT_EQ(Lines(national), Lines(ascii)) << national;
    EXPECT_NE(Lines(national), "") << national;
  }
}

// Japanese labels: JIS (SD 1,1611) and Shift-JIS (SD 1,619) two-byte codes and the katakana
// sets draw the same characters, with Hershey's Japanese strokes where it has them.
TEST(StandardRead, JapaneseLabelsInEveryEncoding) {
  const std::string jis = Lines("SD1,1611;LBF|K\\$\"%\"\x03");  // 日本あア
  EXPECT_EQ(Lines("SD1,619;LB\x93\xfa\x96\x7b\x82\xa0\x83\x41\x03"), jis);
  EXPECT_NE(jis, "");
  // Half-width katakana: seven-bit (CS 43), Kana-8 and Shift-JIS alike.
  const std::string katakana = Lines("CS43;LB12\x03");
  EXPECT_EQ(Lines("SD1,267;LB\xb1\xb2\x03"), katakana);
  EXPECT_EQ(Lines("SD1,619;LB\xb1\xb2\x03"), katakana);
  const StandardReadOutcome unknown = Read("SD1,1611;LB/!/!\x03");
  EXPECT_EQ(unknown.counts.undrawableCharacters, 2);
  EXPECT_EQ(unknown.counts.labels, 1) << "drawn as ?";
}

// "CF: character fill mode": outline characters (here 漢, which Hershey's set lacks) are filled
// (0, 2), edged (1) with the edge pen, or both (3); stroke characters stay strokes.
TEST(StandardRead, CharacterFillModeFillsOrEdgesOutlineCharacters) {
  if (!OutlineFont::Japanese()) GTEST_SKIP() << "no Japanese outline font installed";
  const auto drawn = [](const std::string& mode) {
    const StandardPage page = Read(mode + "SD1,1611;LB4A\x03").plot.pages[0];
    std::string out = std::to_string(page.polygons.size()) + " fills";
    if (!page.polylines.empty())
      out += ", edges in pen " + std::to_string(page.polylines.back().style.pen);
    return out;
  };
  EXPECT_EQ(drawn(""), "1 fills");
  EXPECT_EQ(drawn("CF2;"), "1 fills");
  EXPECT_EQ(drawn("CF1;"), "0 fills, edges in pen 1");
  EXPECT_EQ(drawn("CF3,2;"), "1 fills, edges in pen 2");
  EXPECT_EQ(drawn("CF1;DF;"), "1 fills");
}

// Raster images of PCL and RTL (ESC * r A, ESC * b W) are drawn in black where their bits are
// set, in their compression methods 0 to 3; what cannot be drawn is counted and told.
std::string Raster(const std::string& text) {
  const StandardReadOutcome outcome = ReadStandardPlotBytes("IN;\x1b%1A\x1b*t254R" + text);
  std::string out = "drawn " + std::to_string(outcome.counts.rasterImages) + " skipped " +
                    std::to_string(outcome.counts.rasterImagesSkipped);
  for (const StandardPolygon& polygon : outcome.plot.pages[0].polygons) {
    for (const PlotRing& ring : polygon.rings)
      out += " [" + Points({ring[0], ring[2]}) + "]";
  }
  return out;
}

// At 254 dots an inch a pixel is 4 plotter units; images hang down from the pen.
const TextCase kRaster[] = {
    {"Unencoded", "\x1b*r1A\x1b*b2W\xf0\x0f\x1b*b2W\xf0\x0f\x1b*rC",
     "drawn 1 skipped 0 [0,0 16,-8] [48,0 64,-8]"},
    {"RunLength", "\x1b*b1M\x1b*r1A\x1b*b2W\x01\xff\x1b*rC", "drawn 1 skipped 0 [0,0 64,-4]"},
    // Byte 0xff repeats the next twice, 0x01 copies two.
    {"PackBits", "\x1b*b2M\x1b*r1A\x1b*b5W\xff\x80\x01\x01\x01\x1b*rC",
     "drawn 1 skipped 0 [0,0 4,-4] [32,0 36,-4] [92,0 96,-4] [124,0 128,-4]"},
    {"DeltaRowRepeatsTheSeed",
     "\x1b*b3M\x1b*r1A\x1b*b3W\x20\xf0\x0f\x1b*b0W\x1b*b2W\x01\xff\x1b*rC",
     "drawn 1 skipped 0 [48,0 64,-8] [0,0 16,-12] [32,-8 64,-12]"},
    {"BlankRowsBetween", "\x1b*r1A\x1b*b1W\x80\x1b*b2Y\x1b*b1W\x80\x1b*rC",
     "drawn 1 skipped 0 [0,0 4,-4] [0,-12 4,-16]"},
    {"ImplicitStart", "\x1b*b1W\x80", "drawn 1 skipped 0 [0,0 4,-4]"},
    // ESC * p places the cursor in PCL units (300 an inch), rows counted down from the top of
    // the sheet (8392); ESC * r 0 A starts at the left edge, and the next image below the last.
    {"CursorPlacesTheImage", "\x1b*p300x300Y\x1b*r1A\x1b*b1W\x80\x1b*rC",
     "drawn 1 skipped 0 [1016,7376 1020,7372]"},
    {"LeftEdgeAndBelow", "\x1b*p300X\x1b*r0A\x1b*b1W\x80\x1b*rC\x1b*r1A\x1b*b1W\x80",
     "drawn 2 skipped 0 [0,0 4,-4] [1016,-4 1020,-8]"},
    {"ResetMeans75DotsAnInch",
     "\x1b"
     "E\x1b*r1A\x1b*b1W\x80\x1b*rC",
     "drawn 1 skipped 0 [0,8392 13.547,8378.45]"},
    {"OtherCompressionTold", "\x1b*b5M\x1b*r1A\x1b*b1W\xff\x1b*rC", "drawn 0 skipped 1"},
    {"ColourTold", "\x1b*v6W\x02\x03\x08\x08\x08\x08\x1b*r1A\x1b*b1W\xff\x1b*rC",
     "drawn 0 skipped 1"},
};
TEXT_TABLE(RasterImages, Raster, kRaster);

TEST(StandardRead, SymbolModeMarksEveryPointAndLeavesThePen) {
  const StandardPage page = Read("SI1,1;SM+;PA0,0;PD1000,0,2000,0;SM;PD3000,0;").plot.pages[0];
  // Each "+" is two strokes, at (0,0), (1000,0) and (2000,0); the line still runs on.
  EXPECT_EQ(page.polylines.size(), 1u + 6u + 2u);
  EXPECT_NEAR(page.extents.minY, -200, 60);
  EXPECT_NEAR(page.extents.maxX, 3000, 1);
}

// One table says what each mnemonic does: the fonts, the line attributes and BP change the
// drawing; device set-up, host talk and comments do not; what is not in it, nothing.
TEST(StandardRead, TheTableSaysWhatChangesTheDrawing) {
  for (const char* draws : {"PD", "pd", "BP", "LA", "CS", "CA", "SD", "AD", "SS", "SA", "CF", "PS",
                            "RO", "DT", "SM", "XT", "EP", "BR"})
    EXPECT_TRUE(InstructionChangesDrawing(draws)) << draws;
  for (const char* nothing : {"VS", "CO", "LM", "QL", "OH", "ZZ", "P", "PDX", "1A"})
    EXPECT_FALSE(InstructionChangesDrawing(nothing)) << nothing;
}

// DF sets back every setting of its share, IN the plotter's as well: each row changes one,
// resets, and draws a line or label that shows the defaults again (the rows without a reset
// show that the setting took).
std::string AfterReset(const std::string& text) {
  const StandardReadOutcome outcome = Read(text + "PA0,0;PD100,100;PU;LBH\x03");
  const StandardPage& page = outcome.plot.pages.back();
  std::string out = Style(text + "PA0,0;PD100,100;");
  if (!page.polygons.empty()) out += " fill";
  return out + " " +
         Points({{page.extents.minX, page.extents.minY}, {page.extents.maxX, page.extents.maxY}});
}

const TextCase kResets[] = {
    {"LineTypeTakes", "LT2,1,1;", "1 0.35 000000 LT2,40 50 50 0,0 170.125,207.6"},
    {"LineTypeBack", "LT2,1,1;DF;", "1 0.35 000000 0,0 170.125,207.6"},
    {"UserPatternBack", "UL2,1,3;LT2;DF;LT2;", "1 0.35 000000 LT2,492.893 50 50 0,0 170.125,207.6"},
    {"ScaleBack", "IP0,0,10,10;SC0,1,0,1;DF;", "1 0.35 000000 0,0 170.125,207.6"},
    {"LabelSizeTakes", "SI1,1;", "1 0.35 000000 0,0 475,500"},
    {"LabelSizeBack", "SI2,2;DF;", "1 0.35 000000 0,0 170.125,207.6"},
    {"LabelDirectionBack", "DI0,1;DF;", "1 0.35 000000 0,0 170.125,207.6"},
    {"LabelOriginBack", "LO5;DF;", "1 0.35 000000 0,0 170.125,207.6"},
    {"WindowBack", "IW0,0,50,50;DF;", "1 0.35 000000 0,0 170.125,207.6"},
    {"PolygonModeLeft", "PM0;DF;", "1 0.35 000000 0,0 170.125,207.6"},
    {"TerminatorBack", "DT*;DF;", "1 0.35 000000 0,0 170.125,207.6"},
    {"WidthKeptByDf", "PW1;DF;", "1 1 000000 0,0 170.125,207.6"},
    {"WidthBackWithIn", "PW1;IN;SP1;", "1 0.35 000000 0,0 170.125,207.6"},
    {"ColourKeptByDf", "PC1,255,0,0;DF;", "1 0.35 0000FF 0,0 170.125,207.6"},
    {"ColourBackWithIn", "PC1,255,0,0;IN;SP1;", "1 0.35 000000 0,0 170.125,207.6"},
    {"RotationBackWithIn", "RO90;IN;SP1;", "1 0.35 000000 0,0 170.125,207.6"},
    {"PointsKeptByDf", "IP0,0,10,10;DF;SC0,1,0,1;", "1 0.35 000000 0,0 1070.12,1107.6"},
};
TEXT_TABLE(Resets, AfterReset, kResets);

// Instructions known to change nothing on paper, then those not understood ("?"), each with
// where it first stands in the file.
TEST(StandardRead, TalliesWhatItDoesNotDraw) {
  const StandardReadOutcome outcome = Read("VS10;QQ1;qq2;\r\n ZZ;VS;");
  std::string tally;
  for (const auto* list : {&outcome.ignored, &outcome.unread}) {
    for (const UnreadInstruction& entry : *list)
      tally += (list == &outcome.unread ? " ?" : " ") + entry.mnemonic +
               std::to_string(entry.count) + "@" + std::to_string(entry.firstByte);
  }
  EXPECT_EQ(tally, " VS2@7 ?QQ2@12 ?ZZ1@23");  // after the "IN;SP1;" of Read()
  EXPECT_EQ(outcome.counts.instructions, 7);
}

// Wherever the budget runs out, the read stops there and says so, and what it keeps is whole:
// no line of fewer than two points. The default budget holds a line of 20,002 points.
TEST(StandardRead, MemoryBudgetStopsTheReadAndSaysSo) {
  std::string text = "IN;SP1;";
  for (int i = 0; i < 300; ++i)
    text += "PU" + std::to_string(i) + ",0;PD" + std::to_string(i) + ",5;CI3;LBx\x03";
  bool stoppedWithADrawing = false;
  for (std::size_t budget = 256; budget < 200000; budget = budget * 5 / 4) {
    const StandardReadOutcome outcome = ReadStandardPlotBytes(text, {.memoryBudgetBytes = budget});
    EXPECT_EQ(outcome.memoryBudgetReached, outcome.stoppedAtByte > 0) << budget;
    stoppedWithADrawing |= outcome.memoryBudgetReached && outcome.Drew();
    for (const StandardPolyline& line : outcome.plot.pages[0].polylines)
      ASSERT_GE(line.PointCount(), 2u) << budget;
  }
  EXPECT_TRUE(stoppedWithADrawing);
  std::string line = "PD";
  for (int i = 0; i < 20000; ++i)
    line += std::to_string(i) + "," + std::to_string(i % 7) + ",";
  const StandardReadOutcome whole = Read(line + "0,0;PU;");
  EXPECT_FALSE(whole.memoryBudgetReached);
  EXPECT_EQ(whole.plot.pages[0].polylines[0].PointCount(), 20002u);
}

// The model charges the drawing budget ahead, but never by more than a slab, and never so
// that a step the drawing budget still has room for fails: a drawing stops where it did.
TEST(StandardRead, ModelChargesTheDrawingBudgetAheadWithinItsRoom) {
  for (const std::size_t limit :
       {std::size_t{1000}, std::size_t{100} << 10, std::size_t{1} << 20}) {
    DrawingBudget drawing(limit);
    const DrawingBudget::Account account(drawing);
    ModelBudget model;
    std::size_t steps = 0;
    try {
      while (model.Take(64)) {
        ++steps;
        ASSERT_LE(account.Taken(), model.UsedBytes() + (std::size_t{64} << 10)) << limit;
      }
    } catch (const DrawingBudgetSpent&) {
    }
    EXPECT_EQ(steps, limit / 64) << limit;
    EXPECT_LE(account.Taken(), limit) << limit;
  }
}

// A polyline keeps its arcs as arcs where nothing clips or turns them: their points are
// exactly those put down one by one where a window (far beyond them) makes the page clip.
TEST(StandardRead, ArcsKeptAsArcsGiveThePointsDrawnOneByOne) {
  const TextCase cases[] = {
      {"ArcsInScaledUnits", "IP0,0,16158,11040;SC0,1000,0,700;PU10,10;PD;AA74.7,207.4,-160.5,5;",
       "1"},
      {"ArcAfterArcAndLines", "PU0,0;PD100,0;AA100,100,90;AR-100,0,-45,3;PD500,500;AA0,0,30;", "3"},
      {"CirclesAndDashes", "LT2,4;PU300,300;CI200,5;PU-50,40;CI33.3;PD;AA0,0,359;", "3"},
      {"TurnedPlotKeepsPoints", "RO90;PU100,100;PD;AA0,0,270;", "0"},
  };
  for (const TextCase& c : cases) {
    SCOPED_TRACE(c.name);
    const StandardReadOutcome kept = Read(c.text);
    const StandardReadOutcome clipped = Read("IW-100000,-100000,100000,100000;" + c.text);
    const StandardPage &a = kept.plot.pages[0], &b = clipped.plot.pages[0];
    std::size_t arcs = 0;
    for (const StandardPolyline& line : a.polylines)
      arcs += line.arcs.size();
    EXPECT_EQ(std::to_string(arcs), c.expected);
    ASSERT_EQ(a.polylines.size(), b.polylines.size());
    for (std::size_t i = 0; i < a.polylines.size(); ++i) {
      ASSERT_TRUE(b.polylines[i].arcs.empty());
      const std::vector<PlotPoint> p = a.polylines[i].AllPoints(), q = b.polylines[i].placed;
      ASSERT_EQ(p.size(), q.size()) << i;
      ASSERT_EQ(a.polylines[i].PointCount(), q.size());
      EXPECT_TRUE(a.polylines[i].Back().x == q.back().x && a.polylines[i].Back().y == q.back().y);
      for (std::size_t k = 0; k < p.size(); ++k)
        ASSERT_TRUE(p[k].x == q[k].x && p[k].y == q[k].y) << i << " point " << k;
    }
    EXPECT_TRUE(a.extents.minX == b.extents.minX && a.extents.maxX == b.extents.maxX &&
                a.extents.minY == b.extents.minY && a.extents.maxY == b.extents.maxY);
  }
}

TEST(StandardRead, EmptyOrMissingFileHasOneEmptyPage) {
  EXPECT_EQ(ReadStandardPlotBytes("").plot.pages.size(), 1u);
  const StandardReadOutcome missing = ReadStandardPlotFile("/nonexistent/korvid/plot.plt");
  EXPECT_TRUE(missing.fileError && missing.fileErrorNumber != 0 && missing.plot.pages.size() == 1);
}

// Inputs built to make a reader hang, overflow or run out of memory end with what it could
// read, every point finite.
TEST(StandardRead, AdversarialInputsEndWithWhatCouldBeRead) {
  using namespace std::string_literals;
  for (const std::string& input :
       {"PE"s + std::string(1 << 20, '~'), "LB"s + std::string(1 << 20, 'A'),
        "PM0;"s + std::string(1 << 16, ';') + "PM2;FP;EP;",
        "SC0,0,0,0;PD10,10;SC0,1e38,0,1e38;PD1e30,1e30;"s, "IP1,1,1,1;SC0,10,0,10,1;PD5,5;"s,
        "BZ1e300,1e300,-1e300,1e300,1e300,-1e300;PD1,1;"s,
        "CI1e300,0.0001;CI5,0;AA1e308,1e308,1e308,0;"s, "LT5,1e300,1;PD1,1;PW1e300;PD2,2;"s,
        "PS1e300,1e300;RO90;PD5,5;PS1,1;PD6,6;LA3,1e300;PD7,7;"s,
        "\x1b*r1A\x1b*b99999999Y\x1b*b1W\xff\x1b*t0.0001R\x1b*b99999999W"s,
        "SD1,1611;LB\x80\xff\x21\x03SD1,619;LB\x81\x81\x81\x03CS43;LB\x7f\xe0\x03"s}) {
    const StandardReadOutcome outcome = Read(input);
    for (const StandardPage& page : outcome.plot.pages)
      for (const StandardPolyline& line : page.polylines)
        for (const PlotPoint& p : line.AllPoints())
          ASSERT_TRUE(std::isfinite(p.x) && std::isfinite(p.y)) << input.substr(0, 60);
  }
}

}  // namespace
}  // namespace korvid
