// The parts of the standard reading on their own: parameter numbers, clipping, curves,
// the pen palette and P1/P2 scaling.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "hpgl2/ClipGeometry.h"
#include "hpgl2/CurveFlattening.h"
#include "hpgl2/ParameterList.h"
#include "hpgl2/PenPalette.h"
#include "hpgl2/PlotScaling.h"

namespace korvid {
namespace {

std::string Numbers(std::string_view text) {
  ParameterList list(text);
  std::string out;
  double value = 0;
  while (list.Next(value)) {
    char number[32];
    std::snprintf(number, sizeof number, "%g", value);
    out += (out.empty() ? "" : " ") + std::string(number);
  }
  return out;
}

struct NumberCase {
  const char* text;
  const char* numbers;
};

class Parameters : public testing::TestWithParam<NumberCase> {};

TEST_P(Parameters, ReadAsNumbers) {
  EXPECT_EQ(Numbers(GetParam().text), GetParam().numbers) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Separators, Parameters,
                         testing::Values(NumberCase{"1,2", "1 2"}, NumberCase{"1 2", "1 2"},
                                         NumberCase{" 1 , 2 ", "1 2"}, NumberCase{"1,,2", "1 2"},
                                         NumberCase{"1\r\n2", "1 2"}, NumberCase{"+3,-4", "3 -4"},
                                         NumberCase{"1.5,-.25,7.", "1.5 -0.25 7"},
                                         NumberCase{"--5", "-5"}, NumberCase{"-,5", "5"},
                                         NumberCase{".", ""}, NumberCase{"", ""},
                                         NumberCase{"123456789012345", "1.23457e+14"},
                                         NumberCase{"123456789012345678", "1e+15"},
                                         NumberCase{"99999999999999999999999", "1e+15"},
                                         NumberCase{"-99999999999999999999999", "-1e+15"}));

struct ClipCase {
  PlotPoint a, b;
  bool inside;
  PlotPoint clippedA, clippedB;
};

class SegmentClip : public testing::TestWithParam<ClipCase> {};

TEST_P(SegmentClip, KeepsThePartInTheWindow) {
  const ClipWindow window{0, 0, 10, 10};
  PlotPoint a = GetParam().a, b = GetParam().b;
  ASSERT_EQ(ClipSegment(window, a, b), GetParam().inside);
  if (!GetParam().inside) return;
  EXPECT_NEAR(a.x, GetParam().clippedA.x, 1e-9);
  EXPECT_NEAR(a.y, GetParam().clippedA.y, 1e-9);
  EXPECT_NEAR(b.x, GetParam().clippedB.x, 1e-9);
  EXPECT_NEAR(b.y, GetParam().clippedB.y, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(Window, SegmentClip,
                         testing::Values(ClipCase{{1, 1}, {9, 9}, true, {1, 1}, {9, 9}},
                                         ClipCase{{-5, 5}, {15, 5}, true, {0, 5}, {10, 5}},
                                         ClipCase{{5, -5}, {5, 5}, true, {5, 0}, {5, 5}},
                                         ClipCase{{-5, -5}, {15, 15}, true, {0, 0}, {10, 10}},
                                         ClipCase{{-5, 5}, {-1, 5}, false, {}, {}},
                                         ClipCase{{-5, 20}, {20, -5}, true, {5, 10}, {10, 5}},
                                         ClipCase{{11, 0}, {20, 20}, false, {}, {}},
                                         ClipCase{{3, 3}, {3, 3}, true, {3, 3}, {3, 3}}));

double Area(const PlotRing& ring) {
  double twice = 0;
  for (std::size_t i = 0; i < ring.size(); ++i) {
    const PlotPoint& a = ring[i];
    const PlotPoint& b = ring[(i + 1) % ring.size()];
    twice += a.x * b.y - b.x * a.y;
  }
  return std::fabs(twice) / 2;
}

TEST(RingClip, CutsToTheWindow) {
  const ClipWindow window{0, 0, 10, 10};
  EXPECT_DOUBLE_EQ(Area(ClipRing(window, {{-5, -5}, {15, -5}, {15, 15}, {-5, 15}})), 100);
  EXPECT_DOUBLE_EQ(Area(ClipRing(window, {{5, 5}, {15, 5}, {15, 15}, {5, 15}})), 25);
  EXPECT_DOUBLE_EQ(Area(ClipRing(window, {{2, 2}, {4, 2}, {4, 4}})), 2);
  EXPECT_TRUE(ClipRing(window, {{20, 20}, {30, 20}, {30, 30}}).empty());
}

struct ArcCase {
  double sweep, chord;
  std::size_t points;
};

class ArcPoints : public testing::TestWithParam<ArcCase> {};

TEST_P(ArcPoints, OneChordPerChordAngleAtMost) {
  std::vector<PlotPoint> points;
  AppendArc({0, 0}, 100, 0, GetParam().sweep, GetParam().chord, points);
  ASSERT_EQ(points.size(), GetParam().points);
  const double end = GetParam().sweep * std::acos(-1) / 180;
  EXPECT_NEAR(points.back().x, 100 * std::cos(end), 1e-6);
  EXPECT_NEAR(points.back().y, 100 * std::sin(end), 1e-6);
  for (const PlotPoint& p : points)
    EXPECT_NEAR(std::hypot(p.x, p.y), 100, 1e-6);
}

INSTANTIATE_TEST_SUITE_P(Chords, ArcPoints,
                         testing::Values(ArcCase{90, 30, 3}, ArcCase{90, 40, 3},
                                         ArcCase{-90, 45, 2}, ArcCase{360, 5, 72},
                                         ArcCase{360, 0, 720},   // finest: half a degree
                                         ArcCase{360, 1000, 2},  // coarsest: 180 degrees
                                         ArcCase{1e6, 0.5, kMostCurvePoints}, ArcCase{10, 90, 1}));

TEST(ThreePointArc, TurnsTheWayTheMiddlePointSays) {
  std::vector<PlotPoint> counterClockwise, clockwise;
  AppendThreePointArc({10, 0}, {0, 10}, {-10, 0}, 45, counterClockwise);
  AppendThreePointArc({10, 0}, {0, -10}, {-10, 0}, 45, clockwise);
  ASSERT_EQ(counterClockwise.size(), 4u);
  ASSERT_EQ(clockwise.size(), 4u);
  EXPECT_GT(counterClockwise[1].y, 0);
  EXPECT_LT(clockwise[1].y, 0);
  EXPECT_DOUBLE_EQ(counterClockwise.back().x, -10);
}

TEST(Bezier, EndsAtItsEndAndStaysInItsHull) {
  std::vector<PlotPoint> points;
  AppendBezier({0, 0}, {0, 1000}, {1000, 1000}, {1000, 0}, points);
  ASSERT_FALSE(points.empty());
  EXPECT_DOUBLE_EQ(points.back().x, 1000);
  EXPECT_DOUBLE_EQ(points.back().y, 0);
  for (const PlotPoint& p : points)
    EXPECT_TRUE(p.x >= 0 && p.x <= 1000 && p.y >= 0 && p.y <= 750) << p.x << "," << p.y;
}

struct PenCase {
  int penCount;
  int pen;
  int entry;
};

class PaletteEntries : public testing::TestWithParam<PenCase> {};

TEST_P(PaletteEntries, PensWrapWithoutLandingOnWhite) {
  PenPalette palette;
  palette.SetPenCount(GetParam().penCount);
  EXPECT_EQ(palette.Entry(GetParam().pen), GetParam().entry);
}

INSTANTIATE_TEST_SUITE_P(Palette, PaletteEntries,
                         testing::Values(PenCase{8, 0, 0}, PenCase{8, 7, 7}, PenCase{8, 8, 1},
                                         PenCase{8, 14, 7}, PenCase{8, 15, 1}, PenCase{2, 5, 1},
                                         PenCase{5, 7, 7}, PenCase{5, 8, 1},  // NP5 holds 8
                                         PenCase{1000, 300, 45}));            // 256 at most

TEST(Palette, ColourRangeScalesThePenColour) {
  PenPalette palette;
  const double range[6] = {-100, 100, 0, 10, 255, 0};  // blue runs backwards
  palette.SetColourRange(range, 6);
  palette.SetColour(3, 0, 5, 0);
  EXPECT_EQ(palette.Colour(3), 0xFF8080u);  // 0x00BBGGRR
  palette.ResetColour(3);
  EXPECT_EQ(palette.Colour(3), 0x00FF00u);
}

TEST(Palette, WidthsPerPenAndForAll) {
  PenPalette palette;
  palette.SetWidth(2, 1.5);
  EXPECT_DOUBLE_EQ(palette.WidthMm(2), 1.5);
  EXPECT_DOUBLE_EQ(palette.WidthMm(1), PenPalette::kDefaultWidthMm);
  palette.SetWidth(0.1);
  EXPECT_DOUBLE_EQ(palette.WidthMm(2), 0.1);
}

TEST(Scaling, RefusedSettingsKeepThePreviousOnes) {
  PlotScaling scaling;
  ASSERT_TRUE(scaling.SetP1P2({0, 0}, {1000, 1000}));
  const double scale[4] = {0, 10, 0, 10};
  ASSERT_TRUE(scaling.SetScale(scale, 4));
  EXPECT_FALSE(scaling.SetP1P2({5, 5}, {5, 100}));
  const double zero[4] = {0, 0, 0, 10};
  EXPECT_FALSE(scaling.SetScale(zero, 4));
  const PlotPoint p = scaling.ToPlotter({5, 5});
  EXPECT_DOUBLE_EQ(p.x, 500);
  EXPECT_DOUBLE_EQ(p.y, 500);
  const PlotPoint back = scaling.ToUser({250, 750});
  EXPECT_DOUBLE_EQ(back.x, 2.5);
  EXPECT_DOUBLE_EQ(back.y, 7.5);
}

TEST(Scaling, RelativeP1P2InPercentOfTheDefaultArea) {
  PlotScaling scaling;
  const double percent[4] = {0, 0, 50, 50};
  ASSERT_TRUE(scaling.SetRelative(percent, 4));
  EXPECT_DOUBLE_EQ(scaling.P2().x, PlotScaling::kDefaultP1.x +
                                       (PlotScaling::kDefaultP2.x - PlotScaling::kDefaultP1.x) / 2);
  scaling.SetRelative(nullptr, 0);
  EXPECT_DOUBLE_EQ(scaling.P2().y, PlotScaling::kDefaultP2.y);
}

}  // namespace
}  // namespace korvid
