// From file text to segments: how the text is cut into commands, what each command and
// coordinate pair does, and the layout (line ends, blanks) that writers put around them.
#include "ReaderFixture.h"

namespace korvid::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

struct ReadCase {
  const char* name;
  std::string text;
  const char* drawn;                 // as ReaderTest::Drawn() gives it
  const char* ending = "completed";  // as Ending() gives it
};

// How the read ended, with the run-time error and the 1-based command it stopped at.
std::string Ending(const ReadOutcome& outcome) {
  const std::string at = " at " + std::to_string(outcome.commandIndex);
  switch (outcome.end) {
    case ReadEnd::Completed:
      return "completed";
    case ReadEnd::NoTerminator:
      return "no terminator";
    case ReadEnd::PageAdvance:
      return "page" + at;
    case ReadEnd::Failure:
      return "error " + std::to_string(outcome.errorNumber) + at;
  }
  return "?";
}

void PrintTo(const ReadCase& c, std::ostream* os) {
  *os << c.name;
}

class Reading : public ReaderTest, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(Reading, GivesTheSegments) {
  const ReadOutcome outcome = Read(GetParam().text);
  EXPECT_EQ(Ending(outcome), GetParam().ending);
  EXPECT_EQ(outcome.EndedThroughFailure(), outcome.end != ReadEnd::Completed);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(model.PlotCount, 1);
  EXPECT_EQ(Drawn(), GetParam().drawn);
}

std::string Named(const ::testing::TestParamInfo<ReadCase>& info) {
  return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(
    Splitting, Reading,
    ::testing::Values(
        ReadCase{"Basic", "IN;SP1;PU0,0;PD100,0,100,100;", "0,0>100,0 | 100,0>100,100"},
        ReadCase{"CrLfLineEndsDisappear", "IN;\r\nPU0,0;\r\nPD100,0;\r\n", "0,0>100,0"},
        ReadCase{"LineFeedsSplitWithoutSemicolon", "PU0,0\nPD1,0\nPD1,5\n", "0,0>1,0 | 1,0>1,5"},
        ReadCase{"EmptyCommandsAreSkipped", "PU0,0;;;PD5,0;;", "0,0>5,0"},
        ReadCase{"LastCommandWithoutTerminator", "PU0,0;PD9,9", "0,0>9,9"},
        ReadCase{"LowerCaseIsNotACommand", "PU0,0;pd10,10;PD1,1;", "0,0>1,1"},
        ReadCase{"BreakReadsRestAsCommand", "PA10,20,PD30,40;", "10,20>30,40"},
        ReadCase{"BreakRepeatsAlongACommand", "PU0,0,PD1,1,PU2,2,PD3,3;", "0,0>1,1 | 2,2>3,3"},
        // The Y text runs to the next comma: "20PD30" reads 20 and the lone 40 is ignored.
        ReadCase{"PenDownInsideYTextIsLost", "PU10,20PD30,40;PD1,1;", "10,20>1,1"},
        ReadCase{"BlanksInYTextAreIgnored", "PD;PA10, 20;", "0,0>10,20"},
        ReadCase{"BlankJoinsYDigits", "PD;PA10,20 30,40;", "0,0>10,2030"}),
    Named);

// Line ends, blanks and tabs before a mnemonic are layout, also after a parse break.
INSTANTIATE_TEST_SUITE_P(
    LayoutBeforeCommands, Reading,
    ::testing::Values(ReadCase{"LineFeedAfterSemicolon", "PU0,0;\nPD1,0;\nPD1,5;\n",
                               "0,0>1,0 | 1,0>1,5"},
                      ReadCase{"BlanksAndTabs", "PU0,0; PD1,1;\t \tPD2,2;", "0,0>1,1 | 1,1>2,2"},
                      ReadCase{"CrAlone", "PU0,0;\rPD5,5;\r\r;", "0,0>5,5"},
                      ReadCase{"SplitAtLineFeedsWithIndents", "  PU0,0\n   PD5,0\n\t PD5,5\n \n",
                               "0,0>5,0 | 5,0>5,5"},
                      ReadCase{"LastCommandAfterALineFeed", "PU0,0;\nPD3,3", "0,0>3,3"},
                      ReadCase{"MnemonicStaysCaseSensitive", "PU0,0; pd5,5;\nPd5,5;", ""},
                      ReadCase{"BreakWhoseRestStartsWithABlank", "PU0,0;PD1,1, PD2,2,\nPU3,3;",
                               "0,0>1,1 | 1,1>2,2"}),
    Named);

// Blanks, tabs and line feeds in an X value are read as the number rule reads them;
// other characters still end the coordinate list.
INSTANTIATE_TEST_SUITE_P(
    BlanksInX, Reading,
    ::testing::Values(ReadCase{"BlankBeforeX", "PD;PA 10,20;", "0,0>10,20"},
                      ReadCase{"BlankAfterComma", "PD;PA1,2, 3,4;", "0,0>1,2 | 1,2>3,4"},
                      ReadCase{"TabAndLineFeed", "PD;PA\t1,2,\n3,4;", "0,0>1,2 | 1,2>3,4"},
                      ReadCase{"BlankJoinsXDigits", "PD;PA1 0,5;", "0,0>10,5"},
                      ReadCase{"PlusSignBreaks", "PD;PA1,1,+2,2;", "0,0>1,1"},
                      ReadCase{"LetterBreaks", "PD;PA1,1, X2,2;", "0,0>1,1"},
                      ReadCase{"CrBreaks", "PD;PA\r10,20;", ""}),
    Named);

INSTANTIATE_TEST_SUITE_P(
    PenAndPairs, Reading,
    ::testing::Values(
        // The open segment at the origin was set up with pen 1 before SP3.
        ReadCase{"FirstSegmentKeepsPenOne", "SP3;PD5,5,6,6;", "0,0>5,5 | 5,5>6,6 p3"},
        ReadCase{"PenOfTheStartPointCounts", "PU0,0;PD;SP2;PD5,5,6,6;", "0,0>5,5 | 5,5>6,6 p2"},
        ReadCase{"SpNumberRules", "SP 2 ;PU0,0;PD1,1;SP&H5;PD3,3;SP2.5;PD4,4;",
                 "0,0>1,1 p2 | 1,1>3,3 p2 | 3,3>4,4 p5"},
        ReadCase{"PenUpPairsOnlyMoveTheStart", "PU1,1,2,2;PD3,3;", "2,2>3,3"},
        ReadCase{"PaKeepsThePenState", "PD;PA1,0;PU;PA2,0;PD;PA3,0;", "0,0>1,0 | 2,0>3,0"},
        ReadCase{"PdPuMovesWithThePenUp", "PDPU10,10;PD1,1;", "10,10>1,1"},
        ReadCase{"PdPdDraws", "PDPD10,10;", "0,0>10,10"},
        ReadCase{"PrPdDrawsRelative", "PU5,5;PRPD10,10;", "5,5>10,10"},
        ReadCase{"PrPuMovesRelativeAndStaysRelative", "PRPU4,0;PD1,0;", "4,0>5,0"},
        ReadCase{"PrSpSelectsPenStaysRelative", "PRSP3;PD10,0;PD10,0;", "0,0>10,0 | 10,0>20,0 p3"},
        ReadCase{"NoCoordinatesNoSegments", "IN;SP1;PU;PD;PU;", ""},
        ReadCase{"LoneXIsIgnored", "PD;PA10,20,30;", "0,0>10,20"},
        ReadCase{"TrailingCommaGivesYZero", "PD;PA10,20,30,;", "0,0>10,20 | 10,20>30,0"},
        ReadCase{"EmptyXIsZero", "PD;PA,5;", "0,0>0,5"},
        ReadCase{"RelativePairsChain", "PU0,0;PD;PR10,0,0,10;", "0,0>10,0 | 10,0>10,10"},
        // A relative pair after an absolute one starts from (0, 0), not from the pen...
        ReadCase{"RelativeAfterAbsoluteFromOrigin", "PU100,100;PD;PR10,0;", "100,100>10,0"},
        // ...and the first absolute pair after relative ones is still offset by their origin.
        ReadCase{"AbsoluteAfterRelativeIsOffset", "PU;PR5,5;PD;PA1,1;PA1,1;", "5,5>6,6 | 6,6>1,1"},
        ReadCase{"DfKeepsTheOpenSegment", "PU0,0;PD10,0;DF;PD20,0;", "0,0>10,0 | 10,0>20,0"},
        ReadCase{"DfResetsPenAndRelativeMode", "SP4;PR5,5;DF;PD1,1;", "5,5>1,1 p4"},
        // X is added to the origin as a 64-bit value, Y only after rounding to 32 bits.
        ReadCase{"XIsUsedIn64BitsYIn32Bits", "PD;PR1,1,16777217,16777217;",
                 "0,0>1,1 | 1,1>16777218,16777216"},
        ReadCase{"DecimalAndExponent", "PD;PA1.5,2E1,-.25,1D2;", "0,0>1.5,20 | 1.5,20>-0.25,100"},
        // A negative line style belongs to the next start point only, even one that moves on.
        ReadCase{"NegativeStyleForOneStart", "LT-2;PU0,0;PD1,1,2,2;", "0,0>1,1 s-2 | 1,1>2,2"},
        ReadCase{"NegativeStyleSpentOnPenUpStart", "LT-2;PU0,0,5,5;PD6,6;", "5,5>6,6"},
        // IN stores the style in its open segment without spending it.
        ReadCase{"InKeepsAPendingNegativeStyle", "LT-3;IN;PD1,1,2,2;", "0,0>1,1 s-1 | 1,1>2,2 s-1"},
        ReadCase{"PositiveStyleStays", "LT0;PU0,0;PD1,1,2,2;", "0,0>1,1 s5 | 1,1>2,2 s5"}),
    Named);

// An IN followed by drawing starts the segment list afresh; an IN after the last segment
// (a plotter reset at the end of a job) leaves the drawing before it in place.
INSTANTIATE_TEST_SUITE_P(
    Initialise, Reading,
    ::testing::Values(
        ReadCase{"InRestartsTheSegmentList", "PU0,0;PD10,10;IN;PU1,1;PD2,2;", "1,1>2,2"},
        ReadCase{"InSetsUpAnOpenSegmentAtOrigin", "SP2;PU9,9;IN;PD3,0;", "0,0>3,0"},
        ReadCase{"FinalInKeepsTheDrawing", "PU0,0;PD1,0,1,1;PU0,0;IN;", "0,0>1,0 | 1,0>1,1"},
        ReadCase{"PenUpMovesAfterTheFinalIn", "SP2;PU1,0;PD10,0;IN;PU5,5;SP3;", "1,0>10,0 p2"},
        ReadCase{"InInKeepsTheEarlierDrawing", "PU0,0;PD10,10;IN;IN;", "0,0>10,10"},
        ReadCase{"LastOfTwoDrawings", "PU0,0;PD1,0,2,0,3,0;IN;PU5,5;PD6,6;IN;", "5,5>6,6"},
        ReadCase{"FinalInAsTheLastTwoCharacters", "PD;PA3,3;IN", "0,0>3,3"},
        ReadCase{"FinalInAfterALineFeed", "PU0,0\nPD4,4\n  IN\n", "0,0>4,4"},
        ReadCase{"InFirstGivesNothing", "IN;PU4,4;IN;", ""}),
    Named);

// A failure or PG ends the read quietly and keeps what was read before it.
INSTANTIATE_TEST_SUITE_P(
    EarlyEnds, Reading,
    ::testing::Values(
        ReadCase{"SpWithoutNumber", "PU0,0;PD1,1;SP;PD2,2;", "0,0>1,1", "error 13 at 3"},
        ReadCase{"SpWithTwoNumbers", "PU0,0;PD1,1;SP1 2;", "0,0>1,1", "error 13 at 3"},
        ReadCase{"SpWithTab", "PU0,0;PD1,1;SP\t2;", "0,0>1,1", "error 13 at 3"},
        ReadCase{"SpBeyond16Bits", "PU0,0;PD1,1;SP32768;", "0,0>1,1", "error 6 at 3"},
        ReadCase{"PrSpWithoutNumber", "PU0,0;PD1,1;PRSP;", "0,0>1,1", "error 13 at 3"},
        ReadCase{"LineTypeBeyond16Bits", "PU0,0;PD1,1;LT40000;PD2,2;", "0,0>1,1", "error 6 at 3"},
        ReadCase{"YBeyondFloatRange", "PU0,0;PD1,1,2,4E38;", "0,0>1,1", "error 6 at 2"},
        ReadCase{"NumberBeyondDoubleRange", "PU0,0;PD1,1;PD1,1E400;", "0,0>1,1", "error 6 at 3"},
        ReadCase{"HexBeyondDoubleRange", "PU0,0;PD1,1;PD1,&H" + std::string(300, 'F') + ";",
                 "0,0>1,1", "error 6 at 3"},
        ReadCase{"PageAdvance", "PU0,0;PD1,1,2,2;PG;PU0,0;PD9,9;", "0,0>1,1 | 1,1>2,2",
                 "page at 3"},
        ReadCase{"PageAdvanceFirst", "PG;PU0,0;PD5,5;", "", "page at 1"},
        ReadCase{"RelativePageAdvance", "PU0,0;PD1,1;PRPG;PD2,2;", "0,0>1,1", "page at 3"},
        ReadCase{"PageAdvanceAfterALineFeed", "PU0,0;PD1,1;\n PG;PD2,2;", "0,0>1,1", "page at 3"},
        // A final IN keeps the drawing however the read ends after it.
        ReadCase{"InThenPageAdvance", "PU0,0;PD1,1;IN;PG;PD9,9;", "0,0>1,1", "page at 4"},
        ReadCase{"InThenFailure", "PU0,0;PD1,1;IN;CI;SP;PD2,2;", "0,0>1,1", "error 13 at 5"}),
    Named);

TEST_F(ReaderTest, FinalInFollowedByArcsOnlyKeepsSegmentsArcsAndExtents) {
  Read("PU0,0;PD4,0;IN;PU0,0;CI5;");
  EXPECT_EQ(Drawn(), "0,0>4,0");
  EXPECT_EQ(model.ArcCount[1], 1);
  EXPECT_EQ(MinX(), -5);
  EXPECT_EQ(MaxX(), 5);
}

TEST_F(ReaderTest, DrawingSetAsideByInIsForgottenByTheNextRead) {
  Read("PU0,0;PD1,1;IN;");
  Read("PU5,5;IN;");
  EXPECT_EQ(Drawn(), "");
}

TEST_F(ReaderTest, XBeyondTheFloatRangeCountsOnlyAfterTheOriginIsAdded) {
  // X texts take no exponent, so they are written out: -3.4e38 and then 3.5e38, whose
  // sum lies well inside the float range although 3.5e38 alone does not.
  const std::string minus34 = "-34" + std::string(37, '0');
  const std::string plus35 = "35" + std::string(37, '0');
  const ReadOutcome outcome = Read("PU;PR" + minus34 + ",0," + plus35 + ",0;PD;PR1,0;");
  EXPECT_EQ(outcome.end, ReadEnd::Completed);
  ASSERT_EQ(model.SegCount[1], 1);
  EXPECT_NEAR(model.Segments(1, 1).X1, 1e37, 1e31);
  EXPECT_EQ(Read("PD;PA0,3.5E38;").errorNumber, 6) << "Y is rounded to 32 bits on its own";
}

TEST_F(ReaderTest, PenAndOpenSegmentAfterTheRead) {
  Read("PU0,0;PD;PR10,0,0,10;PU7,7;");
  EXPECT_EQ(reader.State().PenX, 17) << "PU in relative mode";
  EXPECT_EQ(reader.State().RelMode, 1);
  EXPECT_EQ(model.SegCount[1], 2);
  EXPECT_EQ(model.Segments(3, 1).X1, 17) << "the open segment's start, beyond the count";
}

TEST_F(ReaderTest, CommandsCountedWithTheTrailingRest) {
  // A rest counts when it holds two characters, layout included; one is ignored.
  EXPECT_EQ(Read("PU0,0;PD1,1;I").commandCount, 2);
  const ReadOutcome rest = Read("PU0,0;PD1,1;\nI");
  EXPECT_EQ(rest.commandCount, 3);
  ASSERT_EQ(rest.skipped.size(), 1u);
  EXPECT_EQ(rest.skipped[0].mnemonic, "I");
}

TEST_F(ReaderTest, CrLfPairsGoInsideEveryCommandButNeverAcrossATerminator) {
  // CR ; LF is no pair; the CR stays in the first command, the LF before the second.
  const ReadOutcome outcome = Read("PU0,0\r;\nPD5,5;PD7,\r\n7\r\n\r\n;PD9,9;P\r\n");
  EXPECT_EQ(Drawn(), "0,0>5,5 | 5,5>7,7 | 7,7>9,9");
  EXPECT_THAT(outcome.skipped, IsEmpty());
  EXPECT_EQ(outcome.commandCount, 4) << "the trailing P and its line end are one character";
  // A single pass, like a replace: CR CR LF LF leaves CR LF, so the text is split at LF.
  Read("PU0,0\r\r\n\nPD3,3");
  EXPECT_EQ(Drawn(), "0,0>3,3");
}

TEST_F(ReaderTest, SkippedMnemonicsAreCountedInOrderOfAppearanceWithoutLayout) {
  const ReadOutcome outcome = Read("IN;LB0;PU0,0;LBAB;\n LB;pa1,1;L; \n;\r\t;\nXY");
  ASSERT_EQ(outcome.skipped.size(), 4u);
  EXPECT_EQ(outcome.skipped[0].mnemonic, "LB");
  EXPECT_EQ(outcome.skipped[0].count, 3);
  EXPECT_EQ(outcome.skipped[1].mnemonic, "pa");
  EXPECT_EQ(outcome.skipped[2].mnemonic, "L");
  EXPECT_EQ(outcome.skipped[3].mnemonic, "XY");
  EXPECT_THAT(Read("PU0,0;").skipped, IsEmpty()) << "a later read counts afresh";
}

TEST_F(ReaderTest, FileWithoutTerminatorShowsTheMessageAndKeepsTheCounts) {
  Read("PU0,0;PD1,0,1,1;CI5;");
  // CR LF and CR alone are no terminators; neither is an empty file.
  for (const char* text : {"IN\r\nPU0,0\r\nPD5,5\r\n", "PU0,0\rPD5,5\r", ""}) {
    messenger.messages.clear();
    const ReadOutcome outcome = Read(text);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(outcome.end, ReadEnd::NoTerminator);
    EXPECT_THAT(messenger.messages, ElementsAre("設定済みのﾀｰﾐﾈｰﾀがありません"));
    EXPECT_EQ(model.SegCount[1], 2);
    EXPECT_EQ(model.ArcCount[1], 1);
    EXPECT_EQ(MaxX(), kInitialMaxExtent) << "reset for the read that never happened";
  }
}

TEST_F(ReaderTest, StatusIsLeftAloneWhenATerminatorExists) {
  status = 7;
  reader.ReadPlotBytes("PU0,0;", status);
  EXPECT_EQ(status, 7);
  EXPECT_THAT(messenger.messages, IsEmpty());
}

TEST_F(ReaderTest, FirstTerminatorMayLieFarIntoTheFile) {
  Read(std::string(40000, 'X') + ";PU0,0;PD8,8;");
  EXPECT_EQ(Drawn(), "0,0>8,8");
}

}  // namespace
}  // namespace korvid::testing
