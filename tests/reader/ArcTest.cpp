// CI, AA and AR: one record per circle or arc, always counter-clockwise from start to end.
#include <cmath>
#include <utility>

#include "ReaderFixture.h"

namespace korvid::testing {
namespace {

using ::testing::IsEmpty;

struct ArcCase {
  const char* name;
  std::string text;
  Arc arc;
};

void PrintTo(const ArcCase& c, std::ostream* os) {
  *os << c.name;
}

class OneArc : public ReaderTest, public ::testing::WithParamInterface<ArcCase> {};

TEST_P(OneArc, GivesTheRecord) {
  Read(GetParam().text);
  ASSERT_EQ(Arcs().size(), 1u);
  const Arc arc = Arcs()[0];
  const Arc& want = GetParam().arc;
  EXPECT_EQ(arc.left, want.left);
  EXPECT_EQ(arc.top, want.top);
  EXPECT_EQ(arc.right, want.right);
  EXPECT_EQ(arc.bottom, want.bottom);
  EXPECT_NEAR(arc.startX, want.startX, 2e-5);
  EXPECT_NEAR(arc.startY, want.startY, 2e-5);
  EXPECT_NEAR(arc.endX, want.endX, 2e-5);
  EXPECT_NEAR(arc.endY, want.endY, 2e-5);
  EXPECT_EQ(arc.pen, want.pen);
  EXPECT_EQ(arc.style, want.style);
}

// The ends depend on pi being taken as 3.1417: a quarter turn from (10, 0) ends 0.000537
// left of the y axis, where the true pi would end on it.
constexpr float kOff = 0.000536732f;

INSTANTIATE_TEST_SUITE_P(
    Records, OneArc,
    ::testing::Values(
        ArcCase{"CircleAroundThePen", "PU100,100;CI50;", {50, 150, 150, 50, 150, 100, 150, 100}},
        ArcCase{"RadiusRoundsHalfToEvenDown", "CI10.5;", {-10, 10, 10, -10, 10, 0, 10, 0}},
        ArcCase{"RadiusRoundsHalfToEvenUp", "CI11.5;", {-12, 12, 12, -12, 12, 0, 12, 0}},
        ArcCase{"CircleWithoutRadiusIsADot", "PU2,3;CI;", {2, 3, 2, 3, 2, 3, 2, 3}},
        ArcCase{"CircleChordAngleIgnored", "CI7,30;", {-7, 7, 7, -7, 7, 0, 7, 0}},
        ArcCase{"QuarterFromRight", "PU10,0;AA0,0,90;", {-10, 10, 10, -10, 10, 0, -kOff, 10}},
        ArcCase{"ClockwiseQuarterStartsAtItsFarEnd",
                "PU10,0;AA0,0,-90;",
                {-10, 10, 10, -10, -kOff, -10, 10, 0}},
        ArcCase{"RelativeCentre", "PU10,0;AR-10,0,90;", {-10, 10, 10, -10, 10, 0, -kOff, 10}},
        ArcCase{"ArcChordAngleIgnored", "PU10,0;AA0,0,90,5;", {-10, 10, 10, -10, 10, 0, -kOff, 10}},
        // Straight above the centre the start angle is +90 degrees.
        ArcCase{
            "PenAboveCentreClockwise", "PU0,10;AA0,0,-90;", {-10, 10, 10, -10, 10, -kOff, 0, 10}},
        ArcCase{"PenBelowCentre", "PU0,-10;AA0,0,90;", {-10, 10, 10, -10, 0, -10, 10, kOff}},
        // Left of the centre: the arctangent of 0 plus the half-turn 3.1417.
        ArcCase{
            "PenLeftOfCentre", "PU-10,0;AA0,0,90;", {-10, 10, 10, -10, -10, 0, 0.00161049f, -10}},
        ArcCase{"ZeroSweepIsClockwise", "PU10,0;AA0,0,0;", {-10, 10, 10, -10, 10, 0, 10, 0}},
        ArcCase{"ArcAroundThePenItself", "PU3,4;AA3,4,90;", {3, 4, 3, 4, 3, 4, 3, 4}},
        ArcCase{"PenAndNegativeStyle",
                "SP7;PU5,5;LT-6;AR1,0,90;",
                {5, 6, 7, 4, 5, 5, 6.000161f, 4, 7, -4}},
        ArcCase{"PositiveStyleStays", "LT0;CI3;", {-3, 3, 3, -3, 3, 0, 3, 0, 1, 5}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ReaderTest, ArcSquareWidensTheExtents) {
  Read("PU10,0;AA0,0,180;");
  EXPECT_EQ(MinX(), -10);
  EXPECT_EQ(MaxX(), 10);
  EXPECT_EQ(MinY(), -10);
  EXPECT_EQ(MaxY(), 10);
}

TEST_F(ReaderTest, MalformedCirclesAndArcsAreDropped) {
  const ReadOutcome outcome = Read("CI-5;CI 5;CI+5;CI5X;PU10,0;AA100,100;AA5;AR;PU0,0;PD1,1;");
  EXPECT_THAT(Arcs(), IsEmpty());
  EXPECT_EQ(reader.State().ArcIndex, 0);
  EXPECT_EQ(outcome.end, ReadEnd::Completed);
  EXPECT_EQ(model.SegCount[1], 1);
}

TEST_F(ReaderTest, ArcsLeaveThePenAndAreNotResetByIn) {
  Read("PU10,0;PD;AA0,0,90;CI4;IN;CI2;PU10,0;PD20,0;");
  EXPECT_EQ(Drawn(), "10,0>20,0");
  EXPECT_EQ(Arcs().size(), 3u);
}

TEST_F(ReaderTest, CircleOrArcThatFailsIsNotCounted) {
  // A radius beyond 32 bits, a centre or an end beyond the float range; and the PG that ends
  // the read leaves the arcs before it.
  for (auto [text, ending] : {std::pair{"PU0,0;CI5;CI3000000000;CI6;", ReadEnd::Failure},
                              {"PU0,0;CI5;AA1E300,0,90;", ReadEnd::Failure},
                              {"PU0,0;CI5;AA3.4E38,0,180;", ReadEnd::Failure},
                              {"CI5;PG;CI6;", ReadEnd::PageAdvance},
                              {"PU0,0;PD1,1;IN;CI5;SP;CI7;", ReadEnd::Failure}}) {
    const ReadOutcome outcome = Read(text);
    EXPECT_EQ(outcome.end, ending) << text;
    EXPECT_EQ(model.ArcCount[1], 1) << text;
  }
}

TEST_F(ReaderTest, HugeSweepStillGivesPointsOnTheCircle) {
  Read("PU10,0;AA0,0,1E30;");
  ASSERT_EQ(Arcs().size(), 1u);
  EXPECT_NEAR(std::hypot(Arcs()[0].endX, Arcs()[0].endY), 10, 1e-4);
}

}  // namespace
}  // namespace korvid::testing
