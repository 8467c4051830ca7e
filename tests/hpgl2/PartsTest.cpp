// The parts of the standard reading on their own: how a file splits into instructions, PE
// data, parameter numbers, clipping and curves.
#include <bit>
#include <charconv>
#include <cstring>
#include <sstream>

#include "TextTable.h"
#include "hpgl2/ClipGeometry.h"
#include "hpgl2/CurveFlattening.h"
#include "hpgl2/InstructionScanner.h"
#include "hpgl2/ParameterList.h"
#include "hpgl2/PlotScaling.h"
#include "hpgl2/PolygonBuffer.h"
#include "hpgl2/PolylineEncoding.h"

namespace korvid {
namespace {

// "MN[params]" for each instruction, in order.
std::string Split(std::string_view text) {
  InstructionScanner scanner(text);
  Instruction instruction;
  std::string out;
  while (scanner.Next(instruction)) {
    const std::string_view parameters = instruction.parameters;
    if (instruction.Is('D', 'T') && !parameters.empty())
      scanner.SetLabelTerminator(parameters[0], parameters.substr(1, 2) == ",0");
    out += std::string(instruction.mnemonic, 2) + "[" + std::string(parameters) + "]";
  }
  return out;
}

const std::string kEsc = "\x1b";

const TextCase kSyntax[] = {
    {"NoSeparators", "INSP1PA0,0PD10,10", "IN[]SP[1]PA[0,0]PD[10,10]"},
    {"LowerCase", "in;pa1,2;", "IN[]PA[1,2]"},
    {"BlanksBetween", " IN ;\r\n PA 1 2 ;\n", "IN[ ]PA[ 1 2 ]"},
    {"JunkSkipped", "IN;#%&PA1,2;*", "IN[]PA[1,2]"},
    {"LoneLetterSkipped", "P;PA1,2;", "PA[1,2]"},
    {"LabelToEtx", "LBAB;C;D\x03PA1,1;", "LB[AB;C;D]PA[1,1]"},
    {"LabelWithoutEnd", "LBabc", "LB[abc]"},
    {"LabelsEndingAtLineEnds", "LBab\nPA1,1;LBcd\r\nPU;", "LB[ab]PA[1,1]LB[cd]PU[]"},
    {"TerminatorFurtherOn", "LBab\ncd\x03PU;", "LB[ab\ncd]PU[]"},
    {"DtSetsTerminator", "DT*;LBx\x03y*PA1,1", "DT[*]LB[x\x03y]PA[1,1]"},
    {"DtPrintingTerminator", "DT#,0;LBab#PU", "DT[#,0]LB[ab#]PU[]"},
    {"PeToSemicolon", "PE<=@AB;PU;", "PE[<=@AB]PU[]"},
    {"Comments", "CO\"PA1,1;\";PU;CO draw nothing;PD;", "CO[PA1,1;]PU[]CO[draw nothing]PD[]"},
    {"EscapeResetAndEnterHpgl2", kEsc + "EIN;" + kEsc + "%0BPU;" + kEsc + "%0A", "IN[]PU[]"},
    {"UniversalExitAndPjl", kEsc + "%-12345X@PJL ENTER LANGUAGE=HPGL2\r\nIN;", "IN[]"},
    {"PclTextAndRasterDataSkipped",
     kEsc + "%1AHello PA1,1" + kEsc + "%1BPU;" + kEsc + "*b4WPAPD" + "PD;", "PU[]PD[]"},
    {"DeviceControl", kEsc + ".I81;;17:" + kEsc + ".N;19:" + kEsc + ".(IN;", "IN[]"},
    {"QuotedStringParameter", "BP1,\"PLOT IN DRAWING\";PU;", "BP[1,\"PLOT IN DRAWING\"]PU[]"},
    {"SymbolMode", "SM*;PA1,1;SM;", "SM[*]PA[1,1]SM[]"},
};
TEXT_TABLE(Scanner, Split, kSyntax);

// The escape sequences the scanner hears between instructions, one by one: "E" reset, "B0"
// and "A1" entering HP-GL/2 and PCL, "FF" a form feed in PCL text, "*rA1" and the like with
// the number of data bytes they carry.
std::string Escapes(std::string_view text) {
  struct Heard : EscapeListener {
    std::string log;
    void Escape(const EscapeSequence& e) override {
      using Type = EscapeSequence::Type;
      char value[32];
      std::snprintf(value, sizeof value, "%g", e.value);
      switch (e.type) {
        case Type::Reset:
          log += "E ";
          break;
        case Type::EnterHpgl2:
          log += std::string("B") + value + " ";
          break;
        case Type::EnterPcl:
          log += std::string("A") + value + " ";
          break;
        case Type::FormFeed:
          log += "FF ";
          break;
        case Type::Parameterized:
          log += std::string{e.parameterized, e.group, e.letter} + value +
                 (e.data.empty() ? "" : "/" + std::to_string(e.data.size())) + " ";
          break;
      }
    }
  } heard;
  InstructionScanner scanner(text);
  scanner.SetEscapeListener(&heard);
  Instruction instruction;
  while (scanner.Next(instruction)) {
    heard.log += std::string(instruction.mnemonic, 2) + " ";
  }
  return heard.log;
}

const TextCase kEscapes[] = {
    {"ResetAndModes", kEsc + "E" + kEsc + "%0BIN;" + kEsc + "%1A" + kEsc + "%-1B",
     "E B0 IN A1 B-1 "},
    {"FormFeedInPclTextOnly", "IN;\f" + kEsc + "%0A text \f more" + kEsc + "%0BPU;",
     "IN A0 FF B0 PU "},
    {"CombinedRasterCommands", kEsc + "*t300R" + kEsc + "*r1a2S" + kEsc + "*b3WPD;" + kEsc + "*rC",
     "*tR300 *rA1 *rS2 *bW3/3 *rC0 "},
    {"SignsAndDecimals", kEsc + "*p-12.5x7Y", "*pX-12.5 *pY7 "},
    {"PageSize", kEsc + "&l26A", "&lA26 "},
    {"DoubledEscapeStartsAfresh", kEsc + kEsc + "E", "E "},
};
TEXT_TABLE(ScannerEscapes, Escapes, kEscapes);

// The moves PE data decodes to: "pen2", "up" or "down", "=" when absolute, then x,y.
std::string Decoded(std::string_view data) {
  struct Recorded : PolylineEncodingSink {
    std::string log;
    void SelectPen(int pen) override { log += "pen" + std::to_string(pen) + " "; }
    void Move(double x, double y, bool absolute, bool penUp) override {
      log += std::string(penUp ? "up" : "down") + (absolute ? "=" : "") + Points({{x, y}}) + " ";
    }
  } recorded;
  DecodePolylineEncoded(data, recorded);
  return recorded.log;
}

// Base 64 (8 bits): 0 -> 0xBF; 1 -> n=2 -> 0xC1; -1 -> n=3 -> 0xC2;
// 100 -> n=200 = 8 + 3*64 -> '?'+8 = 'G', 0xBF+3 = 0xC2; -100 -> n=201 -> 'H', 0xC2.
// Base 32 (7 bits): 100 -> n=200 = 8 + 6*32 -> 'G', '_'+6 = 'e'; 5 -> n=10 -> 'i'.
const TextCase kEncodings[] = {
    {"RelativeDraw", "G\xC2\xBF", "down100,0 "},
    {"Negative", "H\xC2\xC2", "down-100,-1 "},
    {"PenUp", "<\xC1\xC1\xC1\xC1", "up1,1 down1,1 "},
    {"Absolute", "=G\xC2G\xC2\xC1\xC1", "down=100,100 down1,1 "},
    {"PenSelect", ":\xC3\xC1\xBF", "pen2 down1,0 "},
    {"FractionalBits", ">\xC3G\xC2\xC1", "down25,0.25 "},
    {"SevenBit", "7GeGeii", "down100,100 down5,5 "},
    {"IgnoredBytes", "G\r\n\xC2 \xBF", "down100,0 "},
    // 100,0 with its bytes 0xC2 and 0xBF spelled as UTF-8: C3 82, C2 BF.
    {"Utf8Converted", "G\xC3\x82\xC2\xBF", "down100,0 "},
    {"UnfinishedPairDropped", "\xC1", ""},
    {"EndlessNumberEndsQuietly", std::string(100000, '~'), ""},
};
TEXT_TABLE(PolylineEncoding, Decoded, kEncodings);

TEST(ParameterList, ReadsNumbersAsAPlotterDoes) {
  const char* const kNumbers[][2] = {{"1,2", "1 2"},
                                     {"1 2", "1 2"},
                                     {" 1 , 2 ", "1 2"},
                                     {"1,,2", "1 2"},
                                     {"1\r\n2", "1 2"},
                                     {"+3,-4", "3 -4"},
                                     {"1.5,-.25,7.", "1.5 -0.25 7"},
                                     {"--5", "-5"},
                                     {"-,5", "5"},
                                     {".", ""},
                                     {"", ""},
                                     {"123456789012345", "1.23457e+14"},

                                     {"99999999999999999999999", "1e+15"},
                                     {"-99999999999999999999999", "-1e+15"}};
  for (auto [text, numbers] : kNumbers) {
    ParameterList list(text);
    std::string out;
    char number[32];
    for (double value = 0; list.Next(value);) {
      std::snprintf(number, sizeof number, "%g", value);
      out += (out.empty() ? "" : " ") + std::string(number);
    }
    EXPECT_EQ(out, numbers) << text;
  }
  // Fractions to the bit as the exact conversion has them, up to 15 digits and beyond.
  for (const char* text : {"0.1", "74.72", "-160.51", "0.3", "2.675", "9007.199254740993",
                           "123456789.012345", "1234567890.123456", ".000000000000001",
                           "0.1000000000000000055511151231257827", "-0.0", "5."}) {
    double expected = 0, value = 1;
    const bool negative = text[0] == '-';
    std::from_chars(text + negative, text + std::strlen(text), expected);
    ParameterList list(text);
    ASSERT_TRUE(list.Next(value)) << text;
    EXPECT_EQ(std::bit_cast<std::uint64_t>(value),
              std::bit_cast<std::uint64_t>(negative ? -expected : expected))
        << text;
  }
}

// Rings cut to the window keep the part inside it (segments: the reading's clip rows).
TEST(Clipping, RingsKeepThePartInTheWindow) {
  const ClipWindow window{0, 0, 10, 10};
  EXPECT_EQ(Points(ClipRing(window, {{-5, -5}, {15, -5}, {15, 15}, {-5, 15}})),
            "0,10 0,0 10,0 10,10");
  EXPECT_EQ(Points(ClipRing(window, {{5, 5}, {15, 5}, {15, 15}, {5, 15}})), "5,10 5,5 10,5 10,10");
  EXPECT_EQ(Points(ClipRing(window, {{2, 2}, {4, 2}, {4, 4}})), "2,2 4,2 4,4");
  EXPECT_EQ(Points(ClipRing(window, {{20, 20}, {30, 20}, {30, 30}})), "");
}

// One chord per chord angle at most, between half a degree and 180 degrees, on the circle.
TEST(Curves, ArcsTakeOneChordPerChordAngle) {
  const double kCases[][3] = {
      {90, 30, 3},   {90, 40, 3},    {-90, 45, 2}, {360, 5, 72},
      {360, 0, 720}, {360, 1000, 2}, {10, 90, 1},  {1e6, 0.5, kMostCurvePoints}};
  for (auto [sweep, chord, count] : kCases) {
    std::vector<PlotPoint> points;
    AppendArc({0, 0}, 100, 0, sweep, chord, points);
    ASSERT_EQ(points.size(), count) << sweep << " " << chord;
    const double end = sweep * std::acos(-1) / 180;
    EXPECT_EQ(Points({points.back()}), Points({{100 * std::cos(end), 100 * std::sin(end)}}));
    for (const PlotPoint& p : points)
      EXPECT_NEAR(std::hypot(p.x, p.y), 100, 1e-6);
  }
}

TEST(Curves, BezierEndsAtItsEndAndStaysInItsHull) {
  std::vector<PlotPoint> points;
  AppendBezier({0, 0}, {0, 1000}, {1000, 1000}, {1000, 0}, points);
  ASSERT_FALSE(points.empty());
  EXPECT_EQ(Points({points.back()}), "1000,0");
  for (const PlotPoint& p : points)
    EXPECT_TRUE(p.x >= 0 && p.x <= 1000 && p.y >= 0 && p.y <= 750) << p.x << "," << p.y;
}

// The polygon buffer takes the moves the page takes and keeps, for each edge, whether the pen
// drew it: "M x,y" a pen-up move, "D x,y" a drawn one, "0" a pen-0 one, "C" a circle of three
// points, "1u"/"1d" PM1 and "2u"/"2d" PM2 with the pen up or down. What EP then edges, and
// the rings FP fills.
std::string Buffered(const std::string& moves) {
  PolygonBuffer buffer;
  buffer.Start({0, 0});
  PlotPoint pen{0, 0};
  StrokeStyle drawn, none;
  none.pen = 0;
  std::istringstream in(moves);
  for (std::string step; in >> step;) {
    double x = 0, y = 0;
    if (step.size() > 1 && std::sscanf(step.c_str() + 1, "%lf,%lf", &x, &y) == 2) {
      if (step[0] == 'M') buffer.MoveTo({x, y});
      if (step[0] == 'D') buffer.DrawSegment(pen, {x, y}, drawn);
      if (step[0] == '0') buffer.DrawSegment(pen, {x, y}, none);
      pen = {x, y};
    } else if (step == "C") {
      const PlotPoint circle[] = {{50, 50}, {60, 50}, {55, 60}};
      buffer.DrawClosedPath(circle, 3, drawn, true);
    } else {
      buffer.CloseSubpolygon(step[1] == 'd', step[0] == '1');
    }
  }
  StandardPlot plot;
  ModelBudget budget;
  PageBuilder page(plot, budget);
  buffer.DrawEdges(page, drawn);
  std::string out;
  for (const StandardPolyline& line : plot.pages[0].polylines)
    out += (out.empty() ? "" : " | ") + Points(line.AllPoints());
  out += " / fills";
  for (const PlotRing& ring : buffer.Rings())
    out += " " + std::to_string(ring.size());
  return out;
}

const TextCase kBuffer[] = {
    {"ClosedWithThePenDown", "D10,0 D10,10 2d", "0,0 10,0 10,10 0,0 / fills 3"},
    {"NoClosingEdgeWithThePenUp", "D10,0 D10,10 2u", "0,0 10,0 10,10 / fills 3"},
    {"UndrawnEdgesLeftOut", "D10,0 M10,10 D0,10 2d", "0,0 10,0 | 10,10 0,10 0,0 / fills 4"},
    {"PenZeroDrawsNoEdge", "D10,0 010,10 2d", "0,0 10,0 | 10,10 0,0 / fills 3"},
    {"NextStartsAtItsFirstPoint", "D10,0 D10,10 1d D30,30 D40,30 2u",
     "0,0 10,0 10,10 0,0 | 30,30 40,30 / fills 3"},
    {"PenUpAfterCloseOnlyPlaces", "D10,0 D10,10 2d M20,20 D30,20 D30,30 2d",
     "0,0 10,0 10,10 0,0 | 20,20 30,20 30,30 20,20 / fills 3 3"},
    {"CircleIsASubpolygonOfItsOwn", "D10,0 C", "0,0 10,0 0,0 | 50,50 60,50 55,60 50,50 / fills 3"},
    {"TwoPointsFillNothing", "D10,0 2d", "0,0 10,0 0,0 / fills"},
};
TEXT_TABLE(PolygonBuffering, Buffered, kBuffer);

// IN's P1 and P2: the 7475A's frame, turned with RO; with PS the limits themselves.
TEST(Scaling, DefaultPointsFollowRotationAndPlotSize) {
  const auto text = [](const ScalingPoints& p) { return Points({p.p1, p.p2}); };
  HardClipLimits limits;
  EXPECT_EQ(text(limits.DefaultPoints(0)), "250,596 10250,7796");
  EXPECT_EQ(text(limits.DefaultPoints(180)), "250,596 10250,7796");
  EXPECT_EQ(text(limits.DefaultPoints(90)), "596,250 7796,10250");
  limits = {4000, 3000, true};
  EXPECT_EQ(text(limits.DefaultPoints(0)), "0,0 4000,3000");
  EXPECT_EQ(text(limits.DefaultPoints(270)), "0,0 3000,4000");
  // A scaling that would make its factors vanish, or P1 and P2 that share a line, is refused.
  EXPECT_FALSE(PlotTransform::Of({{0, 0}, {10, 10}}, {{0, 1e300, 0, 1}, 4}).has_value());
  EXPECT_FALSE(PointsOf({5, 0}, {5, 10}).has_value());
  EXPECT_TRUE(PlotTransform::Of({{0, 0}, {10, 10}}, {{0, 1, 0, 1}, 4}).has_value());
}

}  // namespace
}  // namespace korvid
