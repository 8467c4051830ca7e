// Pen state, coordinate pairs and the segments they make, absolute and relative.
#include "ReaderFixture.h"

namespace korvid::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

struct PenCase {
  const char* name;
  std::string text;
  std::vector<Seg> segments;
};

void PrintTo(const PenCase& c, std::ostream* os) {
  *os << c.name;
}

class PenAndSegments : public ReaderTest, public ::testing::WithParamInterface<PenCase> {};

TEST_P(PenAndSegments, GiveTheSegments) {
  const ReadOutcome outcome = Read(GetParam().text);
  EXPECT_EQ(outcome.end, ReadEnd::Completed);
  EXPECT_THAT(Segments(), ElementsAreArray(GetParam().segments));
}

INSTANTIATE_TEST_SUITE_P(
    Commands, PenAndSegments,
    ::testing::Values(
        // The open segment at the origin was set up with pen 1 before SP3.
        PenCase{"FirstSegmentKeepsPenOneFromTheReset",
                "SP3;PD5,5,6,6;",
                {{0, 0, 5, 5, 1}, {5, 5, 6, 6, 3}}},
        PenCase{"PenOfTheStartPointCounts",
                "PU0,0;PD;SP2;PD5,5,6,6;",
                {{0, 0, 5, 5, 1}, {5, 5, 6, 6, 2}}},
        PenCase{"PenUpPairsOnlyMoveTheStart", "PU1,1,2,2;PD3,3;", {{2, 2, 3, 3}}},
        PenCase{"PaKeepsThePenState", "PD;PA1,0;PU;PA2,0;PD;PA3,0;", {{0, 0, 1, 0}, {2, 0, 3, 0}}},
        PenCase{"PdPuMovesWithThePenUp", "PDPU10,10;PD1,1;", {{10, 10, 1, 1}}},
        PenCase{"PdPdDraws", "PDPD10,10;", {{0, 0, 10, 10}}},
        PenCase{"PrPdDrawsRelative", "PU5,5;PRPD10,10;", {{5, 5, 10, 10}}},
        PenCase{"PrPuMovesRelativeAndStaysRelative", "PRPU4,0;PD1,0;", {{4, 0, 5, 0}}},
        PenCase{"PrSpSelectsPenAndStaysRelative",
                "PRSP3;PD10,0;PD10,0;",
                {{0, 0, 10, 0, 1}, {10, 0, 20, 0, 3}}},
        PenCase{"PdWithoutPairsOnlyChangesThePen", "PU0,0;PD;", {}},
        PenCase{"LoneXIsIgnored", "PD;PA10,20,30;", {{0, 0, 10, 20}}},
        PenCase{"TrailingCommaGivesYZero", "PD;PA10,20,30,;", {{0, 0, 10, 20}, {10, 20, 30, 0}}},
        PenCase{"EmptyXIsZero", "PD;PA,5;", {{0, 0, 0, 5}}},
        PenCase{"RelativePairsChain", "PU0,0;PD;PR10,0,0,10;", {{0, 0, 10, 0}, {10, 0, 10, 10}}},
        // A relative pair after an absolute one starts from (0, 0), not from the pen.
        PenCase{"RelativeAfterAbsoluteStartsAtOrigin", "PU100,100;PD;PR10,0;", {{100, 100, 10, 0}}},
        // ...and the first absolute pair after relative ones is still offset by their origin.
        PenCase{"AbsoluteAfterRelativeIsOffset",
                "PU;PR5,5;PD;PA1,1;PA1,1;",
                {{5, 5, 6, 6}, {6, 6, 1, 1}}},
        PenCase{
            "DfKeepsTheOpenSegment", "PU0,0;PD10,0;DF;PD20,0;", {{0, 0, 10, 0}, {10, 0, 20, 0}}},
        PenCase{"DfResetsPenAndRelativeMode", "SP4;PR5,5;DF;PD1,1;", {{5, 5, 1, 1, 4}}},
        PenCase{"InRestartsTheSegmentList", "PU0,0;PD10,10;IN;PU1,1;PD2,2;", {{1, 1, 2, 2}}},
        PenCase{"InSetsUpAnOpenSegmentAtTheOrigin", "SP2;PU9,9;IN;PD3,0;", {{0, 0, 3, 0}}},
        // X is added to the origin as a 64-bit value, Y only after rounding to 32 bits:
        // 16777217 rounds to 16777216 as a float.
        PenCase{"XIsUsedIn64BitsYIn32Bits",
                "PD;PR1,1,16777217,16777217;",
                {{0, 0, 1, 1}, {1, 1, 16777218, 16777216}}},
        PenCase{"DecimalAndExponentCoordinates",
                "PD;PA1.5,2E1,-.25,1D2;",
                {{0, 0, 1.5f, 20}, {1.5f, 20, -0.25f, 100}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ReaderTest, XBeyondTheFloatRangeCountsOnlyAfterTheOriginIsAdded) {
  // X texts take no exponent, so they are written out: -3.4e38 and then 3.5e38, whose
  // sum lies well inside the float range although 3.5e38 alone does not.
  const std::string minus34 = "-34" + std::string(37, '0');
  const std::string plus35 = "35" + std::string(37, '0');
  const ReadOutcome outcome = Read("PU;PR" + minus34 + ",0," + plus35 + ",0;PD;PR1,0;");
  EXPECT_EQ(outcome.end, ReadEnd::Completed);
  ASSERT_EQ(model.SegCount[1], 1);
  EXPECT_NEAR(Segment(1).x1, 1e37, 1e31);
  // The same value as Y fails: Y is rounded to 32 bits on its own.
  EXPECT_EQ(Read("PD;PA0,3.5E38;").errorNumber, 6);
}

TEST_F(ReaderTest, PenPositionFollowsEveryPair) {
  Read("PU0,0;PD;PR10,0,0,10;");
  EXPECT_EQ(reader.State().PenX, 10);
  EXPECT_EQ(reader.State().PenY, 10);
  EXPECT_EQ(reader.State().RelMode, 1);
}

TEST_F(ReaderTest, OpenSegmentAtTheEndIsNotCounted) {
  Read("PU0,0;PD1,1,2,2;PU7,7;");
  EXPECT_EQ(model.SegCount[1], 2);
  EXPECT_EQ(Segment(3).x1, 7);  // the open segment's start point, beyond the count
}

TEST_F(ReaderTest, SpWithBlanksAroundTheNumber) {
  Read("SP 2 ;PU0,0;PD1,1,2,2;SP&H5;PD3,3;SP2.5;PD4,4;");
  // SP2.5 rounds half to even: pen 2 again.
  EXPECT_THAT(Segments(), ElementsAre(Seg{0, 0, 1, 1, 2}, Seg{1, 1, 2, 2, 2}, Seg{2, 2, 3, 3, 2},
                                      Seg{3, 3, 4, 4, 5}));
  EXPECT_EQ(reader.State().CurPen, 2);
}

TEST_F(ReaderTest, NoCoordinatesNoSegments) {
  const ReadOutcome outcome = Read("IN;SP1;PU;PD;PU;");
  EXPECT_EQ(outcome.end, ReadEnd::Completed);
  EXPECT_THAT(Segments(), IsEmpty());
  EXPECT_EQ(model.ArcCount[1], 0);
}

}  // namespace
}  // namespace korvid::testing
