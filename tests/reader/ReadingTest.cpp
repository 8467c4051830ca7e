// From file text to segments, arcs and extents: commands, coordinate pairs and their layout.
#include "ReaderFixture.h"

namespace korvid::testing {
namespace {

using ::testing::ElementsAre;

TEST_F(ReaderTest, SplitsTheTextIntoCommands) {
  // clang-format off
  ExpectReads({
      {"PU0,0;;;PD5,0;;", "0,0>5,0"}, {std::string(40000, 'X') + ";PU0,0;PD8,8;", "0,0>8,8"},
      // CR ; LF is no pair; CR CR LF LF leaves CR LF (one pass), so that text splits at LF.
      {"PU0,0\r;\nPD5,5;PD7,\r\n7\r\n\r\n;PD9,9;P\r\n", "0,0>5,5 | 5,5>7,7 | 7,7>9,9"},
      {"PU0,0\r\r\n\nPD3,3", "0,0>3,3"}, {"PA10,20,PD30,40;", "10,20>30,40"},
      // The Y text runs to the next comma: "20PD30" reads 20 and the lone 40 is ignored.
      {"PU10,20PD30,40;PD1,1;", "10,20>1,1"},
      {"PD;PA10, 20;PA10,20 30,40;", "0,0>10,20 | 10,20>10,2030"},
      // Line ends, blanks and tabs before a mnemonic are layout, also after a parse break;
      // the mnemonic itself stays case-sensitive.
      {"PU0,0;\nPD1,0; PD1,1;\t \tPD2,2;\rPD3,3;\r\r;", "0,0>1,0 | 1,0>1,1 | 1,1>2,2 | 2,2>3,3"},
      {"  PU0,0\n   PD5,0\n\t PD5,5\n \n", "0,0>5,0 | 5,0>5,5"}, {"PU0,0;\nPD3,3", "0,0>3,3"},
      {"PU0,0; pd5,5;\nPd5,5;pa1,1;", ""},
      {"PU0,0;PD1,1, PD2,2,\nPU3,3,\tPD4,4;", "0,0>1,1 | 1,1>2,2 | 3,3>4,4"},
      // Blanks, tabs and line feeds in an X value are read as the number rule reads them;
      // other characters, "+" and CR among them, end the coordinate list.
      {"PD;PA 1,2, 3,4,\t5,6,\n7,8;", "0,0>1,2 | 1,2>3,4 | 3,4>5,6 | 5,6>7,8"},
      {"PD;PA1 0,5;", "0,0>10,5"}, {"PD;PA1,1,+2,2;", "0,0>1,1"}, {"PD;PA1,1, X2,2;", "0,0>1,1"},
      {"PD;PA\r10,20;", ""},
  });
  // clang-format on
}

// Whole numbers of up to 15 digits that run right up to a comma or the end of the command are
// read in one pass; everything else about a value hands over to the number rule, which must
// read it alike: signs, a 16th digit, a digit count beyond 64 bits, layout, "." and exponents.
TEST_F(ReaderTest, PlainCoordinateValuesReadAsTheNumberRuleReadsThem) {
  // clang-format off
  ExpectReads({
      {"PD;PA-7,+8,-,9,999999999999999,1;", "0,0>-7,8 | -7,8>0,9 | 0,9>1e+15,1"},
      {"PD;PA9999999999999999,-18446744073709551617;", "0,0>1e+16,-1.8446744e+19"},
      {"PD;PA1,2;PA3,4", "0,0>1,2 | 1,2>3,4"}, {"PD;PA1,2 ;PA3 ,4;", "0,0>1,2 | 1,2>3,4"},
      {"PD;PA1,2.5,3.,4E1,5,6d1,7e,8;", "0,0>1,2.5 | 1,2.5>3,40 | 3,40>5,60"},
      {"PD;PA1,2X,3,4;PA1.5E1,2;PA5,-+6;", "0,0>1,2 | 1,2>3,4 | 3,4>5,0"},
      {"PD;PA1E1,2;", ""}, {"PD;PA1,2,3", "0,0>1,2"},
  });
  // clang-format on
}

TEST_F(ReaderTest, PenStateAndPairs) {
  // clang-format off
  ExpectReads({
      // The open segment at the origin was set up with pen 1 before SP3.
      {"SP3;PD5,5,6,6;", "0,0>5,5 | 5,5>6,6 p3"},
      {"PU0,0;PD;SP2;PD5,5,6,6;", "0,0>5,5 | 5,5>6,6 p2"},
      {"SP 2 ;PU0,0;PD1,1;SP&H5;PD3,3;SP2.5;PD4,4,5,5;",
       "0,0>1,1 p2 | 1,1>3,3 p2 | 3,3>4,4 p5 | 4,4>5,5 p2"},
      {"PU1,1,2,2;PD3,3;", "2,2>3,3"}, {"PD;PA1,0;PU;PA2,0;PD;PA3,0;", "0,0>1,0 | 2,0>3,0"},
      {"PDPU10,10;PDPD1,1;PU;PRPD2,2;", "10,10>1,1 | 1,1>2,2"}, {"PRPU4,0;PD1,0;", "4,0>5,0"},
      {"PRSP3;PD10,0;PD10,0;", "0,0>10,0 | 10,0>20,0 p3"}, {"IN;SP1;PU;PD;PU;", ""},
      {"PD;PA10,20,30;PA30,;PA,5;", "0,0>10,20 | 10,20>30,0 | 30,0>0,5"},
      {"PU0,0;PD;PR10,0,0,10;PU7,7;PD1,1;", "0,0>10,0 | 10,0>10,10 | 17,17>18,18"},
      // A relative pair after an absolute one starts from (0, 0), not from the pen...
      {"PU100,100;PD;PR10,0;", "100,100>10,0"},
      // ...and the first absolute pair after relative ones is still offset by their origin.
      {"PU;PR5,5;PD;PA1,1;PA1,1;", "5,5>6,6 | 6,6>1,1"},
      {"PU0,0;PD10,0;DF;PD20,0;", "0,0>10,0 | 10,0>20,0"}, {"SP4;PR5,5;DF;PD1,1;", "5,5>1,1 p4"},
      // X is added to the origin as a 64-bit value, Y only after rounding to 32 bits.
      {"PD;PR1,1,16777217,16777217;", "0,0>1,1 | 1,1>16777218,16777216"},
      {"PU;PR-34" + std::string(37, '0') + ",0,35" + std::string(37, '0') + ",0;PD;PR1,0;",
       "1.0000005e+37,0>1.0000005e+37,0"},
      // A negative line style belongs to the next start point only, even one that moves on;
      // IN stores it in its open segment without spending it.
      {"LT-2;PU0,0;PD1,1,2,2;", "0,0>1,1 s-2 | 1,1>2,2"}, {"LT-2;PU0,0,5,5;PD6,6;", "5,5>6,6"},
      {"LT-3;IN;PD1,1,2,2;", "0,0>1,1 s-1 | 1,1>2,2 s-1"},
      {"LT0;PU0,0;PD1,1,2,2;", "0,0>1,1 s5 | 1,1>2,2 s5"},
  });
  // clang-format on
  auto style = [this](const ReadOutcome&) { return std::to_string(reader.State().CurLineStyle); };
  ExpectReads(
      {{"LT;", "0"},    {"LT0;", "5"},     {"LT1;", "2"},   {"LT2;", "2"},   {"LT3;", "1"},
       {"LT4;", "3"},   {"LT5;", "3"},     {"LT6;", "4"},   {"LT7;", "0"},   {"LT-1;", "-2"},
       {"LT-2;", "-2"}, {"LT-3;", "-1"},   {"LT-4;", "-3"}, {"LT-5;", "-3"}, {"LT-6;", "-4"},
       {"LT-7;", "1"},  {"LT-8;", "0"},    {"LT2.5;", "2"}, {"LT1.5;", "2"}, {"LT0.5;", "5"},
       {"LT ;", "5"},   {"LT3,0.5;", "1"}, {"LT,4;", "5"},  {"LT 6;", "4"},  {"LT6X;", "4"},
       {"\n LT6;", "4"}},
      style);
}

// An IN followed by drawing starts the segment list afresh; an IN after the last segment (a
// plotter reset at the end of a job) leaves the drawing before it in place, however the read ends.
TEST_F(ReaderTest, InitialiseFailuresAndPagesKeepWhatWasRead) {
  // clang-format off
  ExpectReads({
      {"PU0,0;PD10,10;IN;PU1,1;PD2,2;", "1,1>2,2"}, {"SP2;PU9,9;IN;PD3,0;", "0,0>3,0"},
      {"SP2;PU1,0;PD10,0,10,1;IN;PU5,5;SP3;", "1,0>10,0 p2 | 10,0>10,1 p2"},
      {"PU0,0;PD10,10;IN;IN;", "0,0>10,10"}, {"PU0,0;PD1,0,2,0,3,0;IN;PU5,5;PD6,6;IN;", "5,5>6,6"},
      {"PD;PA3,3;IN", "0,0>3,3"}, {"PU0,0\nPD4,4\n  IN\n", "0,0>4,4"}, {"IN;PU4,4;IN;", ""},
      {"PU0,0;PD4,0;IN;PU0,0;CI5;", "0,0>4,0 | arc -5,5,5,-5 5,0>5,0"},
      {"PU0,0;PD1,1;IN;CI;SP;PD2,2;", "0,0>1,1 | arc 0,0,0,0 0,0>0,0 | error 13 at 5"},
      // A failure or PG ends the read quietly and keeps what was read before it.
      {"PU0,0;PD1,1;SP;PD2,2;", "0,0>1,1 | error 13 at 3"},
      {"PU0,0;PD1,1;LT40000;PD2,2;", "0,0>1,1 | error 6 at 3"},
      {"PU0,0;PD1,1,2,4E38;", "0,0>1,1 | error 6 at 2"}, {"PD;PA0,3.5E38;", "error 6 at 2"},
      {"PU0,0;PD1,1,2,2;PG;PU0,0;PD9,9;", "0,0>1,1 | 1,1>2,2 | page at 3"},
      {"PG;PU0,0;PD5,5;", "page at 1"}, {"PU0,0;PD1,1;PRPG;PD2,2;", "0,0>1,1 | page at 3"},
      // A vertical line spanning nearly the whole float range cannot get a square extent.
      {"PU3" + std::string(38, '0') + ",-3E38;PD3" + std::string(38, '0') + ",3E38;CI;",
       "3e+38,-3e+38>3e+38,3e+38 | arc 3e+38,3e+38,3e+38,3e+38 3e+38,3e+38>3e+38,3e+38 | "
       "error 6 at 3"},
  });
  // clang-format on
  Read("PU0,0;PD1,1;IN;");
  EXPECT_EQ(Summary(Read("PU5,5;IN;")), "") << "the next read forgets what IN set aside";
}

// The commands count takes a trailing rest of two characters, layout included, not one; skipped
// mnemonics are listed without their layout; a file without a terminator keeps the counts.
TEST_F(ReaderTest, CountsStayWithoutATerminator) {
  EXPECT_EQ(Read("PU0,0;PD1,1;I").commandCount, 2);
  EXPECT_EQ(Read("PU0,0;PD1,1;\nI").commandCount, 3);
  EXPECT_EQ(Read("PU0,0\r;\nPD5,5;PD7,\r\n7;P\r\n").commandCount, 3);
  const ReadOutcome outcome = Read("IN;LB0;PU0,0;LBAB;\n LB;pa1,1;L; \n;\r\t;\nXY");
  const auto skipped = [](const ReadOutcome& read) {
    std::string text;
    for (const SkippedMnemonic& s : read.skipped)
      text += s.mnemonic + "x" + std::to_string(s.count) + "@" + std::to_string(s.firstByte) + " ";
    return text;
  };
  EXPECT_EQ(skipped(outcome), "LBx3@3 pax1@23 Lx1@29 XYx1@38 ");
  // Each first occurrence at its place in the file, CR LF pairs before it and inside its own
  // command counted, whichever terminator splits the file.
  EXPECT_EQ(skipped(Read("PA1,2,\r\nXY1,;LB;\r\nLB;PA1,\r\n2,\r\nZZ,;")),
            "XYx1@8 LBx2@13 ZZx1@31 ");
  EXPECT_EQ(skipped(Read("PU0,0,\r\nLB1,\nPD1,1,\r\n\r\nZZ,\n\r\nXY")), "LBx1@8 ZZx1@23 XYx1@29 ");
  EXPECT_TRUE(Read("PU0,0;").skipped.empty()) << "a later read counts afresh";
  Read("PU0,0;PD1,0,1,1;CI5;");
  // CR LF, CR and an empty file: no terminator; the first segment is set up afresh.
  for (const char* text : {"IN\r\nPU0,0\r\nPD5,5\r\n", "PU0,0\rPD5,5\r", ""}) {
    messenger.messages.clear();
    EXPECT_EQ(Summary(Read(text)), "0,0>0,0 | 1,0>1,1 | arc -4,6,6,-4 6,1>6,1 | no terminator");
    EXPECT_EQ(status, 1);
    EXPECT_THAT(messenger.messages, ElementsAre("設定済みのﾀｰﾐﾈｰﾀがありません"));
    EXPECT_EQ(model.MaxX[1], kInitialMaxExtent) << "reset for the read that never happened";
  }
  status = 7;
  reader.ReadPlotBytes("PU0,0;", status);
  EXPECT_EQ(status, 7) << "left alone when a terminator exists";
}

// CI, AA and AR give one counter-clockwise record each, with pi as 3.1417 (a quarter turn from
// (10, 0) ends 0.0005367 left of the y axis). Chords are ignored; a clockwise or zero sweep starts
// at its far end; malformed arcs are dropped; a radius or centre out of range is error 6.
TEST_F(ReaderTest, CirclesAndArcsGiveOneRecordEach) {
  // clang-format off
  ExpectReads({
      {"PU100,100;CI50,30;", "arc 50,150,150,50 150,100>150,100"},
      {"CI10.5;CI11.5;", "arc -10,10,10,-10 10,0>10,0 | arc -12,12,12,-12 12,0>12,0"},
      {"PU10,0;AA0,0,90,5;", "arc -10,10,10,-10 10,0>-0.0005367,10"},
      {"PU10,0;AA0,0,-90;", "arc -10,10,10,-10 -0.0005367,-10>10,0"},
      // Above or below the centre the start angle is +-90 degrees; left of it, 0 + 3.1417.
      {"PU0,10;AA0,0,-90;", "arc -10,10,10,-10 10,-0.0005367>0,10"},
      {"PU0,-10;AA0,0,90;", "arc -10,10,10,-10 0,-10>10,0.0005367"},
      {"PU-10,0;AA0,0,90;", "arc -10,10,10,-10 -10,0>0.00161,-10"},
      {"PU5,5;CI;AA5,5,360;AR0,0,1E30;",
       "arc 5,5,5,5 5,5>5,5 | arc 5,5,5,5 5,5>5,5 | arc 5,5,5,5 5,5>5,5"},
      {"PU10,0;AA0,0,0;", "arc -10,10,10,-10 10,0>10,0"},
      {"CI5;PG;CI6;", "arc -5,5,5,-5 5,0>5,0 | page at 2"},
      {"SP7;PU5,5;LT-6;AR1,0,90;CI1;", "arc 5,6,7,4 5,5>6,4 p7 s-4 | arc 4,6,6,4 6,5>6,5 p7"},
      // The centre is the pen's X plus the first offset, its Y plus the second.
      {"PU10,40;AR5,0,90;", "arc 10,45,20,35 10,40>15,35"},
      {"PU10,0;AA0,0,1E30;", "arc -10,10,10,-10 10,0>-0.3161,9.995"},
      // Arcs leave the pen and the open segment alone, and IN keeps them.
      {"PU10,0;PD;AA0,0,90;CI4;PD20,0;IN;",
       "10,0>20,0 | arc -10,10,10,-10 10,0>-0.0005367,10 | arc 6,4,14,-4 14,0>14,0"},
      {"CI-5;CI 5;CI+5;CI5X;PU10,0;AA100,100;AA5;AR;PU0,0;PD1,1;", "0,0>1,1"},
      {"PU0,0;CI5;CI3000000000;CI6;", "arc -5,5,5,-5 5,0>5,0 | error 6 at 3"},
      {"PU0,0;CI5;AA1E300,0,90;", "arc -5,5,5,-5 5,0>5,0 | error 6 at 3"},
  });
  // Extents: pen-up moves never count; flat drawings get a square; dropped segments count.
  ExpectReads({{"PU-5,2;PD10,2,10,30;", "-5,2>10,30"}, {"PU100,0;PD100,400;", "-100,0>300,400"},
               {"PU-500,-500;PU0,0;PD5,5;PU900,900;", "0,0>5,5"}, {"PU7,8;PD7,8;", "7,8>7,8"},
               {"PU0,50;PD200,50;", "0,-50>200,150"}, {"PU10,0;AA0,0,180;", "-10,-10>10,10"},
               {"PU0,0;PD1,1;PU0,0;CI10;", "-10,-10>10,10"},
               {"PU0,0;PD-50,80;IN;PU1,1;PD2,2;", "-50,0>2,80"},
               {"PU5,5;IN;SP2;", "3.4e+38,3.4e+38>-3.4e+38,-3.4e+38"}},
              [this](const ReadOutcome&) {
                return Point(model.MinX[1], model.MinY[1]) + ">" +
                       Point(model.MaxX[1], model.MaxY[1]);
              });
  // clang-format on
}

}  // namespace
}  // namespace korvid::testing
