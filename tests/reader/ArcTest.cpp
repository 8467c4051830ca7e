// CI, AA and AR: one record per circle or arc, always counter-clockwise from start to end.
#include <cmath>

#include "ReaderFixture.h"

namespace korvid::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST_F(ReaderTest, CircleAroundThePen) {
  Read("PU100,100;CI50;");
  EXPECT_THAT(Arcs(), ElementsAre(Arc{50, 150, 150, 50, 150, 100, 150, 100}));
}

TEST_F(ReaderTest, CircleRadiusRoundsHalfToEven) {
  Read("CI10.5;CI11.5;CI;CI7,30;");
  ASSERT_EQ(Arcs().size(), 4u);
  EXPECT_EQ(Arcs()[0].right, 10);
  EXPECT_EQ(Arcs()[1].right, 12);
  EXPECT_EQ(Arcs()[2], (Arc{0, 0, 0, 0, 0, 0, 0, 0}));  // no radius: a dot at the pen
  EXPECT_EQ(Arcs()[3].right, 7);                        // the chord angle is ignored
}

TEST_F(ReaderTest, CircleWithSignOrBlankIsDropped) {
  const ReadOutcome outcome = Read("CI-5;CI 5;CI+5;CI5X;PU0,0;PD1,1;");
  EXPECT_THAT(Arcs(), IsEmpty());
  EXPECT_EQ(outcome.end, ReadEnd::Completed);
  EXPECT_EQ(model.SegCount[1], 1);
}

struct ArcCase {
  const char* name;
  std::string text;
  float startX, startY, endX, endY;
};

void PrintTo(const ArcCase& c, std::ostream* os) {
  *os << c.name;
}

class ArcEnds : public ReaderTest, public ::testing::WithParamInterface<ArcCase> {};

// The ends depend on pi being taken as 3.1417: a quarter turn from (10, 0) ends 0.000537
// left of the y axis, where the true pi would end on it.
TEST_P(ArcEnds, RunCounterClockwise) {
  Read(GetParam().text);
  ASSERT_EQ(Arcs().size(), 1u);
  const Arc arc = Arcs()[0];
  EXPECT_NEAR(arc.startX, GetParam().startX, 2e-5);
  EXPECT_NEAR(arc.startY, GetParam().startY, 2e-5);
  EXPECT_NEAR(arc.endX, GetParam().endX, 2e-5);
  EXPECT_NEAR(arc.endY, GetParam().endY, 2e-5);
}

INSTANTIATE_TEST_SUITE_P(
    Sweeps, ArcEnds,
    ::testing::Values(ArcCase{"QuarterFromRight", "PU10,0;AA0,0,90;", 10, 0, -0.000536732f, 10},
                      ArcCase{"ClockwiseQuarterStartsAtItsFarEnd", "PU10,0;AA0,0,-90;",
                              -0.000536732f, -10, 10, 0},
                      ArcCase{"RelativeCentre", "PU10,0;AR-10,0,90;", 10, 0, -0.000536732f, 10},
                      ArcCase{"ChordAngleIgnored", "PU10,0;AA0,0,90,5;", 10, 0, -0.000536732f, 10},
                      // Straight above the centre the start angle is +90 degrees.
                      ArcCase{"PenAboveCentreClockwise", "PU0,10;AA0,0,-90;", 10, -0.000536732f, 0,
                              10},
                      ArcCase{"PenBelowCentre", "PU0,-10;AA0,0,90;", 0, -10, 10, 0.000536732f},
                      // Left of the centre: the arctangent of 0 plus the half-turn 3.1417.
                      ArcCase{"PenLeftOfCentre", "PU-10,0;AA0,0,90;", -10, 0, 0.00161049f, -10},
                      ArcCase{"ZeroSweepIsClockwise", "PU10,0;AA0,0,0;", 10, 0, 10, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ReaderTest, ArcBoundingSquareIsTheWholeCircle) {
  Read("PU10,0;AA0,0,180;");
  ASSERT_EQ(Arcs().size(), 1u);
  EXPECT_EQ(Arcs()[0].left, -10);
  EXPECT_EQ(Arcs()[0].top, 10);
  EXPECT_EQ(Arcs()[0].right, 10);
  EXPECT_EQ(Arcs()[0].bottom, -10);
  EXPECT_EQ(MinX(), -10);
  EXPECT_EQ(MaxX(), 10);
  EXPECT_EQ(MinY(), -10);
  EXPECT_EQ(MaxY(), 10);
}

TEST_F(ReaderTest, ArcWithoutSweepOrCentreIsDropped) {
  Read("PU10,0;AA100,100;AA5;AR;CI2;");
  EXPECT_EQ(Arcs().size(), 1u);
  EXPECT_EQ(reader.State().ArcIndex, 1);
}

TEST_F(ReaderTest, ArcsLeaveThePenWhereItWas) {
  Read("PU10,0;PD;AA0,0,90;CI4;PD20,0;");
  EXPECT_THAT(Segments(), ElementsAre(Seg{10, 0, 20, 0}));
}

TEST_F(ReaderTest, ArcsTakePenAndAreNotResetByIn) {
  Read("SP3;CI1;IN;CI2;SP7;PU5,5;AR1,0,90;");
  ASSERT_EQ(Arcs().size(), 3u);
  EXPECT_EQ(Arcs()[0].pen, 3);
  EXPECT_EQ(Arcs()[1].pen, 1);
  EXPECT_EQ(Arcs()[2].pen, 7);
  EXPECT_EQ(Arcs()[2].left, 5);
  EXPECT_EQ(Arcs()[2].right, 7);
}

TEST_F(ReaderTest, ArcAroundThePenItselfHasRadiusZero) {
  Read("PU3,4;AA3,4,90;");
  EXPECT_THAT(Arcs(), ElementsAre(Arc{3, 4, 3, 4, 3, 4, 3, 4}));
}

TEST_F(ReaderTest, HugeSweepStillGivesPointsOnTheCircle) {
  Read("PU10,0;AA0,0,1E30;");
  ASSERT_EQ(Arcs().size(), 1u);
  const Arc arc = Arcs()[0];
  EXPECT_NEAR(std::hypot(arc.endX, arc.endY), 10, 1e-4);
}

TEST_F(ReaderTest, CircleThatFailsIsNotCounted) {
  // A radius beyond 32 bits ends the read; the record never written is not counted.
  const ReadOutcome outcome = Read("PU0,0;CI5;CI3000000000;CI6;");
  EXPECT_EQ(outcome.errorNumber, 6);
  EXPECT_EQ(model.ArcCount[1], 1);
}

TEST_F(ReaderTest, ArcThatOverflowsIsNotCounted) {
  const ReadOutcome outcome = Read("PU0,0;CI5;AA1E300,0,90;");
  EXPECT_EQ(outcome.errorNumber, 6);
  EXPECT_EQ(model.ArcCount[1], 1);
  // Coordinates beyond the float range fail too, after the radius was fine.
  EXPECT_EQ(Read("PU0,0;AA3.4E38,0,180;").errorNumber, 6);
  EXPECT_EQ(model.ArcCount[1], 0);
}

}  // namespace
}  // namespace korvid::testing
