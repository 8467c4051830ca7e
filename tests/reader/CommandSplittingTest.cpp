// How the file text becomes commands: line ends, terminators, the last command, and
// the rest of a coordinate list that is read again as a command of its own.
#include "ReaderFixture.h"

namespace korvid::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

struct SplitCase {
  const char* name;
  std::string text;
  std::vector<Seg> segments;
};

void PrintTo(const SplitCase& c, std::ostream* os) {
  *os << c.name;
}

class CommandSplitting : public ReaderTest, public ::testing::WithParamInterface<SplitCase> {};

TEST_P(CommandSplitting, GivesTheSegments) {
  Read(GetParam().text);
  EXPECT_EQ(status, 0);
  EXPECT_THAT(Segments(), ElementsAreArray(GetParam().segments));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, CommandSplitting,
    ::testing::Values(
        SplitCase{"Basic", "IN;SP1;PU0,0;PD100,0,100,100;", {{0, 0, 100, 0}, {100, 0, 100, 100}}},
        SplitCase{"CrLfLineEndsDisappear", "IN;\r\nPU0,0;\r\nPD100,0;\r\n", {{0, 0, 100, 0}}},
        SplitCase{"LineFeedsSplitAFileWithoutSemicolon",
                  "IN\nPU0,0\nPD100,0\nPD100,50\n",
                  {{0, 0, 100, 0}, {100, 0, 100, 50}}},
        // With ";" in the file, a command after a line feed starts with it and is skipped.
        SplitCase{
            "LineFeedBeforeCommandIsSkipped", "PU0,0;\nPD100,0;PD100,100;", {{0, 0, 100, 100}}},
        SplitCase{"EmptyCommandsAreSkipped", "PU0,0;;;PD5,0;;", {{0, 0, 5, 0}}},
        SplitCase{"LastCommandWithoutTerminator", "PU0,0;PD9,9", {{0, 0, 9, 9}}},
        SplitCase{"LastTwoCharacterCommandWithoutTerminator", "PD;PA3,3;IN", {}},
        SplitCase{"LowerCaseIsNotACommand", "PU0,0;pd10,10;PD1,1;", {{0, 0, 1, 1}}},
        SplitCase{"LeadingBlankIsNotACommand", "PU0,0; PD10,10;PD1,1;", {{0, 0, 1, 1}}},
        SplitCase{"BreakReadsRestAsCommand", "PA10,20,PD30,40;", {{10, 20, 30, 40}}},
        SplitCase{
            "BreakRepeatsAlongACommand", "PU0,0,PD1,1,PU2,2,PD3,3;", {{0, 0, 1, 1}, {2, 2, 3, 3}}},
        // The Y text runs to the next comma: "20PD30" reads 20 and the lone 40 is ignored.
        SplitCase{"PenDownInsideYTextIsLost", "PU10,20PD30,40;PD1,1;", {{10, 20, 1, 1}}},
        // The break leaves " 10,20", which starts with a blank and matches nothing.
        SplitCase{"BlankBeforeXStopsTheList", "PD;PA 10,20;PA5,5;", {{0, 0, 5, 5}}},
        SplitCase{"BlanksInYTextAreIgnored", "PD;PA10, 20;", {{0, 0, 10, 20}}},
        SplitCase{"BlankJoinsYDigits", "PD;PA10,20 30,40;", {{0, 0, 10, 2030}}},
        SplitCase{"PlusSignInXBreaksTheList", "PD;PA1,1,+2,2;", {{0, 0, 1, 1}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ReaderTest, SingleTrailingCharacterIsIgnored) {
  // "P" alone would be skipped anyway; "I" left over must not count as a command either.
  const ReadOutcome outcome = Read("PU0,0;PD1,1;I");
  EXPECT_EQ(outcome.commandCount, 2);
}

TEST_F(ReaderTest, CrLfRemovalIsOnePassLikeAReplace) {
  // CR CR LF LF leaves CR LF: the text then holds a line feed and no ";".
  const ReadOutcome outcome = Read("PU0,0\r\r\n\nPD3,3");
  EXPECT_EQ(outcome.status, 0);
  ASSERT_EQ(model.SegCount[1], 1);
  EXPECT_EQ(Segment(1), (Seg{0, 0, 3, 3}));
}

TEST_F(ReaderTest, CrLfPairsGoInsideEveryCommandButNeverAcrossATerminator) {
  // CR ; LF is no pair; the LF starts the next command, which is then no command.
  const ReadOutcome outcome = Read("PU0,0\r;\nPD5,5;PD7,\r\n7\r\n\r\n;PD9,9;P\r\n");
  EXPECT_THAT(Segments(), ElementsAre(Seg{0, 0, 7, 7}, Seg{7, 7, 9, 9}));
  ASSERT_EQ(outcome.skipped.size(), 1u);
  EXPECT_EQ(outcome.skipped[0].mnemonic, "\nP");
  EXPECT_EQ(outcome.commandCount, 4) << "the trailing P and its line end are one character";
}

TEST_F(ReaderTest, FileWithoutTerminatorShowsTheMessageAndKeepsTheCounts) {
  Read("PU0,0;PD1,0,1,1;CI5;");
  ASSERT_EQ(model.SegCount[1], 2);

  const ReadOutcome outcome = Read("IN\r\nPU0,0\r\nPD5,5\r\n");
  EXPECT_EQ(status, 1);
  EXPECT_EQ(outcome.end, ReadEnd::NoTerminator);
  EXPECT_THAT(messenger.messages, ElementsAre("設定済みのﾀｰﾐﾈｰﾀがありません"));
  EXPECT_EQ(model.SegCount[1], 2);
  EXPECT_EQ(model.ArcCount[1], 1);
  // The extents were reset for the read that never happened.
  EXPECT_EQ(MaxX(), kInitialMaxExtent);
  EXPECT_EQ(MinY(), kInitialMinExtent);
}

TEST_F(ReaderTest, EmptyFileHasNoTerminator) {
  Read("");
  EXPECT_EQ(status, 1);
  EXPECT_EQ(messenger.messages.size(), 1u);
}

TEST_F(ReaderTest, StatusIsLeftAloneWhenATerminatorExists) {
  status = 7;
  reader.ReadPlotBytes("PU0,0;", status);
  EXPECT_EQ(status, 7);
  EXPECT_THAT(messenger.messages, IsEmpty());
}

TEST_F(ReaderTest, FirstTerminatorMayLieFarIntoTheFile) {
  std::string text(40000, 'X');
  text += ";PU0,0;PD8,8;";
  Read(text);
  EXPECT_THAT(Segments(), ElementsAre(Seg{0, 0, 8, 8}));
}

TEST_F(ReaderTest, SkippedMnemonicsAreCountedInOrderOfAppearance) {
  const ReadOutcome outcome = Read("IN;LB0;PU0,0;LBAB;\nPD1,1;pa1,1;L;LB;");
  ASSERT_EQ(outcome.skipped.size(), 4u);
  EXPECT_EQ(outcome.skipped[0].mnemonic, "LB");
  EXPECT_EQ(outcome.skipped[0].count, 3);
  EXPECT_EQ(outcome.skipped[1].mnemonic, "\nP");
  EXPECT_EQ(outcome.skipped[2].mnemonic, "pa");
  EXPECT_EQ(outcome.skipped[3].mnemonic, "L");
  // A later read starts counting afresh.
  EXPECT_THAT(Read("PU0,0;").skipped, IsEmpty());
}

}  // namespace
}  // namespace korvid::testing
