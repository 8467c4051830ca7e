// The plot's extents: what widens them, and the square given to a flat drawing.
#include "ReaderFixture.h"

namespace korvid::testing {
namespace {

struct ExtentCase {
  const char* name;
  std::string text;
  float minX, minY, maxX, maxY;
};

void PrintTo(const ExtentCase& c, std::ostream* os) {
  *os << c.name;
}

class Extents : public ReaderTest, public ::testing::WithParamInterface<ExtentCase> {};

TEST_P(Extents, AreAsExpected) {
  Read(GetParam().text);
  EXPECT_EQ(MinX(), GetParam().minX);
  EXPECT_EQ(MinY(), GetParam().minY);
  EXPECT_EQ(MaxX(), GetParam().maxX);
  EXPECT_EQ(MaxY(), GetParam().maxY);
}

INSTANTIATE_TEST_SUITE_P(
    Drawings, Extents,
    ::testing::Values(
        ExtentCase{"Rectangle", "PU-5,2;PD10,2,10,30;", -5, 2, 10, 30},
        ExtentCase{"PenUpMovesDoNotCount", "PU-500,-500;PU0,0;PD5,5;PU900,900;", 0, 0, 5, 5},
        ExtentCase{"VerticalLineGetsASquare", "PU100,0;PD100,400;", -100, 0, 300, 400},
        ExtentCase{"HorizontalLineGetsASquare", "PU0,50;PD200,50;", 0, -50, 200, 150},
        ExtentCase{"ZeroLengthSegmentStaysAPoint", "PU7,8;PD7,8;", 7, 8, 7, 8},
        // Segments dropped by a later IN have widened the extents for good.
        ExtentCase{"DroppedSegmentsStillCount", "PU0,0;PD-50,80;IN;PU1,1;PD2,2;", -50, 0, 2, 80},
        ExtentCase{"FinalInKeepsThem", "PU0,0;PD-50,80;IN;", -50, 0, 0, 80},
        ExtentCase{"CircleCountsWithItsSquare", "PU0,0;PD1,1;PU0,0;CI10;", -10, -10, 10, 10},
        ExtentCase{"NothingDrawnKeepsTheStartValues", "PU5,5;IN;SP2;", kInitialMinExtent,
                   kInitialMinExtent, kInitialMaxExtent, kInitialMaxExtent}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ReaderTest, ReadStartsWithFreshExtents) {
  Read("PU0,0;PD1000,1000;");
  Read("PU1,2;PD3,4;");
  EXPECT_EQ(MaxX(), 3);
  EXPECT_EQ(MinY(), 2);
}

TEST_F(ReaderTest, SquaringThatLeavesTheFloatRangeKeepsTheCountsRight) {
  // A vertical line spanning nearly the whole float range cannot get a square extent.
  const std::string e38 = "3" + std::string(38, '0');
  const ReadOutcome outcome = Read("PU" + e38 + ",-3E38;PD" + e38 + ",3E38;CI1;");
  EXPECT_EQ(outcome.errorNumber, 6);
  EXPECT_EQ(model.SegCount[1], 1);
  EXPECT_EQ(model.ArcCount[1], 1);
}

}  // namespace
}  // namespace korvid::testing
