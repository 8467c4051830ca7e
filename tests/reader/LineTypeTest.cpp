// LT: which line-style code each line type gives, and the negative code that belongs to
// one element only.
#include "ReaderFixture.h"

namespace korvid::testing {
namespace {

using ::testing::ElementsAre;

struct LineTypeCase {
  std::string command;
  int style;
};

void PrintTo(const LineTypeCase& c, std::ostream* os) {
  *os << '"' << c.command << '"';
}

class LineTypes : public ReaderTest, public ::testing::WithParamInterface<LineTypeCase> {};

TEST_P(LineTypes, GiveTheStyle) {
  Read("PU0,0;" + GetParam().command + ";");
  EXPECT_EQ(reader.State().CurLineStyle, GetParam().style);
}

INSTANTIATE_TEST_SUITE_P(
    Table, LineTypes,
    ::testing::Values(LineTypeCase{"LT", 0}, LineTypeCase{"LT0", 5}, LineTypeCase{"LT1", 2},
                      LineTypeCase{"LT2", 2}, LineTypeCase{"LT3", 1}, LineTypeCase{"LT4", 3},
                      LineTypeCase{"LT5", 3}, LineTypeCase{"LT6", 4}, LineTypeCase{"LT7", 0},
                      LineTypeCase{"LT-1", -2}, LineTypeCase{"LT-2", -2}, LineTypeCase{"LT-3", -1},
                      LineTypeCase{"LT-4", -3}, LineTypeCase{"LT-5", -3}, LineTypeCase{"LT-6", -4},
                      LineTypeCase{"LT-7", 1}, LineTypeCase{"LT-8", 0}, LineTypeCase{"LT2.5", 2},
                      LineTypeCase{"LT1.5", 2}, LineTypeCase{"LT0.5", 5}, LineTypeCase{"LT ", 5},
                      LineTypeCase{"LT3,0.5", 1}, LineTypeCase{"LT,4", 5}, LineTypeCase{"LT 6", 4},
                      LineTypeCase{"LT6X", 4}));

TEST_F(ReaderTest, NegativeStyleGoesToTheNextStartPointOnly) {
  Read("LT-2;PU0,0;PD1,1,2,2;");
  EXPECT_THAT(Segments(), ElementsAre(Seg{0, 0, 1, 1, 1, -2}, Seg{1, 1, 2, 2, 1, 0}));
}

TEST_F(ReaderTest, NegativeStyleIsSpentOnAPenUpStartThatMovesOn) {
  Read("LT-2;PU0,0,5,5;PD6,6;");
  EXPECT_THAT(Segments(), ElementsAre(Seg{5, 5, 6, 6, 1, 0}));
}

TEST_F(ReaderTest, InDoesNotClearAPendingNegativeStyle) {
  // IN stores the style in its open segment without spending it; the next start point
  // takes it again.
  Read("LT-3;IN;PD1,1,2,2;");
  EXPECT_THAT(Segments(), ElementsAre(Seg{0, 0, 1, 1, 1, -1}, Seg{1, 1, 2, 2, 1, -1}));
  EXPECT_EQ(reader.State().CurLineStyle, 0);
}

TEST_F(ReaderTest, NegativeStyleGoesToTheNextArc) {
  Read("LT-6;CI5;PU0,0;PD1,1;");
  ASSERT_EQ(Arcs().size(), 1u);
  EXPECT_EQ(Arcs()[0].style, -4);
  EXPECT_THAT(Segments(), ElementsAre(Seg{0, 0, 1, 1, 1, 0}));
}

TEST_F(ReaderTest, PositiveStyleStaysForEveryElement) {
  Read("LT0;PU0,0;PD1,1,2,2;CI3;");
  EXPECT_THAT(Segments(), ElementsAre(Seg{0, 0, 1, 1, 1, 5}, Seg{1, 1, 2, 2, 1, 5}));
  EXPECT_EQ(Arcs()[0].style, 5);
}

TEST_F(ReaderTest, LineTypeBeyond16BitsEndsTheRead) {
  const ReadOutcome outcome = Read("PU0,0;PD1,1;LT40000;PD2,2;");
  EXPECT_EQ(outcome.errorNumber, 6);
  EXPECT_EQ(model.SegCount[1], 1);
}

}  // namespace
}  // namespace korvid::testing
