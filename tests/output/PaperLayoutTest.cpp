// Paper, scale and fit: the names, the ratios, and where a drawing lands on its page.
#include <gtest/gtest.h>

#include <memory>
#include <tuple>

#include "hpgl2/Hpgl2Reader.h"
#include "output/PaperLayout.h"
#include "render/RenderTestSupport.h"

namespace korvid {
namespace {

struct ScaleCase {
  const char* text;
  double scale;  // 0: refused
};

class ScaleNames : public ::testing::TestWithParam<ScaleCase> {};

TEST_P(ScaleNames, ReadAsPaperPerDrawingMillimetre) {
  const std::optional<double> scale = ScaleNamed(GetParam().text);
  if (GetParam().scale == 0) {
    EXPECT_FALSE(scale) << *scale;
  } else {
    ASSERT_TRUE(scale);
    EXPECT_DOUBLE_EQ(*scale, GetParam().scale);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ScaleNames,
    ::testing::Values(ScaleCase{"1:2.5", 0.4}, ScaleCase{"2:1", 2}, ScaleCase{"1:1", 1},
                      ScaleCase{"0.5", 0.5}, ScaleCase{"3", 3}, ScaleCase{"1e3", 1000},
                      ScaleCase{"2.5:5", 0.5}, ScaleCase{"1:100000", 1e-5},
                      ScaleCase{"1000:1", 1000}, ScaleCase{"1:100001", 0}, ScaleCase{"1001", 0},
                      ScaleCase{"", 0}, ScaleCase{"abc", 0}, ScaleCase{"1:", 0}, ScaleCase{":2", 0},
                      ScaleCase{"1:0", 0}, ScaleCase{"0", 0}, ScaleCase{"-1", 0},
                      ScaleCase{"1:-2", 0}, ScaleCase{"1::2", 0}, ScaleCase{"1:2:3", 0},
                      ScaleCase{"inf", 0}, ScaleCase{"nan", 0}, ScaleCase{" 1:2", 0},
                      ScaleCase{"1:2 ", 0}, ScaleCase{"1/2", 0}));

struct PaperCase {
  const char* text;
  const char* name;  // nullptr: refused
  SizeMm upright;
};

class PaperNames : public ::testing::TestWithParam<PaperCase> {};

TEST_P(PaperNames, NameASheetUpright) {
  const std::optional<Paper> paper = PaperNamed(GetParam().text);
  if (GetParam().name == nullptr) {
    EXPECT_FALSE(paper) << paper->name;
    return;
  }
  ASSERT_TRUE(paper);
  EXPECT_EQ(paper->name, GetParam().name);
  EXPECT_EQ(paper->upright, GetParam().upright);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, PaperNames,
    ::testing::Values(PaperCase{"A4", "A4", {210, 297}}, PaperCase{"a4", "A4", {210, 297}},
                      PaperCase{"A0", "A0", {841, 1189}}, PaperCase{"A1", "A1", {594, 841}},
                      PaperCase{"A2", "A2", {420, 594}}, PaperCase{"a3", "A3", {297, 420}},
                      PaperCase{"Letter", "letter", {215.9, 279.4}},
                      PaperCase{"LEGAL", "legal", {215.9, 355.6}},
                      PaperCase{"210x297mm", "210x297mm", {210, 297}},
                      PaperCase{"297X210MM", "297x210mm", {210, 297}},
                      PaperCase{"100.5x80mm", "100.5x80mm", {80, 100.5}},
                      PaperCase{"1x100000mm", "1x100000mm", {1, 100000}},
                      PaperCase{"A5", nullptr, {}}, PaperCase{"B4", nullptr, {}},
                      PaperCase{"", nullptr, {}}, PaperCase{"210x297", nullptr, {}},
                      PaperCase{"210x297cm", nullptr, {}}, PaperCase{"0x297mm", nullptr, {}},
                      PaperCase{"x297mm", nullptr, {}}, PaperCase{"210xmm", nullptr, {}},
                      PaperCase{"210x297mmm", nullptr, {}}, PaperCase{"210 x 297mm", nullptr, {}},
                      PaperCase{"0.5x297mm", nullptr, {}}, PaperCase{"100001x10mm", nullptr, {}},
                      PaperCase{"-210x297mm", nullptr, {}}, PaperCase{"mm", nullptr, {}}));

struct LayoutCase {
  const char* what;
  SizeMm drawing;
  PageRequest request;
  SizeMm page;
  double scale;
  double left;
  double top;
  bool overflows;
  const char* said;
};

void PrintTo(const LayoutCase& c, std::ostream* out) {
  *out << c.what;
}

class PageLayouts : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(PageLayouts, PlaceTheDrawing) {
  const LayoutCase& c = GetParam();
  SCOPED_TRACE(c.what);
  const PageLayout layout = LayOutPage(c.drawing, c.request);
  EXPECT_NEAR(layout.page.width, c.page.width, 1e-9);
  EXPECT_NEAR(layout.page.height, c.page.height, 1e-9);
  EXPECT_NEAR(layout.scale, c.scale, 1e-9);
  EXPECT_NEAR(layout.left, c.left, 1e-9);
  EXPECT_NEAR(layout.top, c.top, 1e-9);
  EXPECT_EQ(layout.overflows, c.overflows);
  EXPECT_EQ(DescribeLayout(layout), c.said);
}

Paper Sheet(const char* name) {
  return *PaperNamed(name);
}

// The sample bracket: 100 x 52.5 mm.
constexpr SizeMm kBracket{100, 52.5};
constexpr PaperTurn kBest = PaperTurn::Best;
constexpr PaperTurn kLandscape = PaperTurn::Landscape;
constexpr PaperTurn kPortrait = PaperTurn::Portrait;

INSTANTIATE_TEST_SUITE_P(
    Combinations, PageLayouts,
    ::testing::Values(LayoutCase{"nothing asked: the drawing itself",
                                 kBracket,
                                 {},
                                 {100, 52.5},
                                 1,
                                 0,
                                 0,
                                 false,
                                 "1:1 (100 x 52.5 mm)"},
                      LayoutCase{"a scale alone scales the page",
                                 kBracket,
                                 {0.4, std::nullopt},
                                 {40, 21},
                                 0.4,
                                 0,
                                 0,
                                 false,
                                 "1:2.5 (40 x 21 mm)"},
                      LayoutCase{"enlarged",
                                 kBracket,
                                 {2, std::nullopt},
                                 {200, 105},
                                 2,
                                 0,
                                 0,
                                 false,
                                 "2:1 (200 x 105 mm)"},
                      LayoutCase{"a wide drawing turns the sheet",
                                 kBracket,
                                 {std::nullopt, Sheet("A4"), kBest},
                                 {297, 210},
                                 1,
                                 98.5,
                                 78.75,
                                 false,
                                 "1:1 on A4 landscape"},
                      LayoutCase{"upright when asked",
                                 kBracket,
                                 {std::nullopt, Sheet("A4"), kPortrait},
                                 {210, 297},
                                 1,
                                 55,
                                 122.25,
                                 false,
                                 "1:1 on A4 portrait"},
                      LayoutCase{"a tall drawing keeps it upright",
                                 {50, 200},
                                 {std::nullopt, Sheet("A4"), kBest},
                                 {210, 297},
                                 1,
                                 80,
                                 48.5,
                                 false,
                                 "1:1 on A4 portrait"},
                      LayoutCase{"turned when asked",
                                 {50, 200},
                                 {std::nullopt, Sheet("A4"), kLandscape},
                                 {297, 210},
                                 1,
                                 123.5,
                                 5,
                                 true,
                                 "1:1 on A4 landscape"},
                      LayoutCase{"a square drawing stays upright",
                                 {100, 100},
                                 {std::nullopt, Sheet("A4"), kBest},
                                 {210, 297},
                                 1,
                                 55,
                                 98.5,
                                 false,
                                 "1:1 on A4 portrait"},
                      LayoutCase{"fitted into the printable area, 10 mm in",
                                 kBracket,
                                 {std::nullopt, Sheet("A4"), kBest, true},
                                 {297, 210},
                                 2.77,
                                 10,
                                 32.2875,
                                 false,
                                 "2.77:1 on A4 landscape"},
                      LayoutCase{"fitted upright",
                                 kBracket,
                                 {std::nullopt, Sheet("A4"), kPortrait, true},
                                 {210, 297},
                                 1.9,
                                 10,
                                 98.625,
                                 false,
                                 "1.9:1 on A4 portrait"},
                      LayoutCase{"scaled on paper",
                                 kBracket,
                                 {0.4, Sheet("A3"), kBest},
                                 {420, 297},
                                 0.4,
                                 190,
                                 138,
                                 false,
                                 "1:2.5 on A3 landscape"},
                      LayoutCase{"too large for the sheet at its scale: centred, said to overflow",
                                 {400, 300},
                                 {std::nullopt, Sheet("A4"), kBest},
                                 {297, 210},
                                 1,
                                 -51.5,
                                 -45,
                                 true,
                                 "1:1 on A4 landscape"},
                      LayoutCase{"a large drawing fitted down",
                                 {5000, 2000},
                                 {std::nullopt, Sheet("A0"), kBest, true},
                                 {1189, 841},
                                 1169.0 / 5000,
                                 10,
                                 420.5 - 2000 * 1169.0 / 5000 / 2,
                                 false,
                                 "1:4.277 on A0 landscape"},
                      LayoutCase{"letter",
                                 kBracket,
                                 {std::nullopt, Sheet("letter"), kBest},
                                 {279.4, 215.9},
                                 1,
                                 89.7,
                                 81.7,
                                 false,
                                 "1:1 on letter landscape"},
                      LayoutCase{"legal upright",
                                 kBracket,
                                 {1, Sheet("legal"), kPortrait},
                                 {215.9, 355.6},
                                 1,
                                 57.95,
                                 151.55,
                                 false,
                                 "1:1 on legal portrait"},
                      LayoutCase{"a sheet by its sides, fitted by the shorter way",
                                 kBracket,
                                 {std::nullopt, Sheet("300x100mm"), kBest, true},
                                 {300, 100},
                                 80 / 52.5,
                                 150 - 50 * 80 / 52.5,
                                 10,
                                 false,
                                 "1.524:1 on 300x100mm landscape"},
                      LayoutCase{"a square sheet has no orientation to tell",
                                 kBracket,
                                 {std::nullopt, Sheet("200x200mm"), kBest},
                                 {200, 200},
                                 1,
                                 50,
                                 73.75,
                                 false,
                                 "1:1 on 200x200mm"},
                      LayoutCase{"a sheet too small for the whole edge keeps a quarter of it free",
                                 kBracket,
                                 {std::nullopt, Sheet("20x20mm"), kBest, true},
                                 {20, 20},
                                 0.1,
                                 5,
                                 7.375,
                                 false,
                                 "1:10 on 20x20mm"},
                      LayoutCase{"a drawing of no height is a sliver",
                                 {100, 0},
                                 {std::nullopt, Sheet("A4"), kBest, true},
                                 {297, 210},
                                 2.77,
                                 10,
                                 105 - 1.385e-6,
                                 false,
                                 "2.77:1 on A4 landscape"}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

using testing::ReadPlot;

// A drawing's page is its box at 40 plotter units to the millimetre: Korvid's own reading
// in the file's units with room for its hairlines, turned as the picture turns; the
// standard reading in the page's units after IP and SC, wide pens reaching beyond.
TEST(PaperLayout, PutsADrawingOnItsPageAtItsTrueSize) {
  // The sample bracket's extents: 4000 x 2100 units, 100 x 52.5 mm.
  const auto model = ReadPlot("IN;PU0,-500;PD4000,1600;");
  for (const auto& [angle, cosA, sinA] : {std::tuple(0, 1.0, 0.0),
                                          {90, -3.6732e-6, 0.99999999999},
                                          {180, -0.9999999942, -1.0734e-4},
                                          {270, 1.1102e-4, -0.9999999938}}) {
    const auto placement =
        FramePlacement::OfPlot(*model, static_cast<std::int16_t>(angle), cosA, sinA);
    const FrameOnPage placed = PlaceOnPage(DrawingOnFrame(placement), placement.scale, {});
    const bool across = angle == 90 || angle == 270;
    EXPECT_NEAR(placed.layout.page.width, across ? 52.75 : 100.25, 0.02) << angle;
    EXPECT_NEAR(placed.layout.page.height, across ? 100.25 : 52.75, 0.02) << angle;
    // The plot's top-left corner is the hairline's room in from the page's, unturned.
    if (angle == 0) {
      const FrameSpot corner = placement.ToFrame({0, 1600});
      EXPECT_NEAR(placed.originX + corner.u * placed.mmPerFrameUnit, 0.125, 1e-9);
      EXPECT_NEAR(placed.originY + corner.v * placed.mmPerFrameUnit, 0.125, 1e-9);
    }
  }
  const StandardPlot scaled =
      ReadStandardPlotBytes("IN;PW0;IP0,0,8000,4000;SC0,10,0,5;PU0,0;PD10,5;PU0,5;PD10,0;").plot;
  const auto page = FramePlacement::OfPage(scaled.pages[0], 0, 1, 0);
  const FrameOnPage placed = PlaceOnPage(DrawingOnFrame(page), page.scale, {});
  // Lines of no width: the hairlines' room around them.
  EXPECT_NEAR(placed.layout.page.width, 200.25, 1e-9) << "8000 units after SC";
  EXPECT_NEAR(placed.layout.page.height, 100.25, 1e-9);
  const StandardPlot wide = ReadStandardPlotBytes("IN;PW1;SP1;PU0,0;PD4000,2000;").plot;
  const auto widePage = FramePlacement::OfPage(wide.pages[0], 90, 0, 1);
  const FrameOnPage wideOnPage = PlaceOnPage(DrawingOnFrame(widePage), widePage.scale, {});
  EXPECT_NEAR(wideOnPage.layout.page.width, 51, 1e-9) << "turned, half the 1 mm pen each side";
  EXPECT_NEAR(wideOnPage.layout.page.height, 101, 1e-9);
  // Fitted on A4: the drawing's box and its room fill the printable width, 10 mm in.
  const FrameOnPage fitted = PlaceOnPage(DrawingOnFrame(page), page.scale,
                                         {std::nullopt, *PaperNamed("A4"), PaperTurn::Best, true});
  const double scale = 277 / 200.25;
  const FrameSpot left = page.ToFrame({0, 4000});
  const FrameSpot right = page.ToFrame({8000, 0});
  EXPECT_NEAR(fitted.originX + left.u * fitted.mmPerFrameUnit, 10 + 0.125 * scale, 1e-9);
  EXPECT_NEAR(fitted.originX + right.u * fitted.mmPerFrameUnit, 287 - 0.125 * scale, 1e-9);
  EXPECT_NEAR(fitted.originY + left.v * fitted.mmPerFrameUnit,
              (210 - 100.25 * scale) / 2 + 0.125 * scale, 1e-9);
  // A part of the plot on a page of its own: 1000 x 500 units, 25 x 12.5 mm, turned too.
  for (const auto& [angle, cosA, sinA] :
       {std::tuple<std::int16_t, double, double>{0, 1, 0}, {270, 0, -1}}) {
    const auto turned = FramePlacement::OfPage(scaled.pages[0], angle, cosA, sinA);
    const FrameOnPage part =
        PlaceOnPage(BoxOnFrame(turned, {1000, 1000, 2000, 1500, false}), turned.scale, {});
    EXPECT_NEAR(part.layout.page.width, angle ? 12.5 : 25, 1e-9) << angle;
    EXPECT_NEAR(part.layout.page.height, angle ? 25 : 12.5, 1e-9) << angle;
    const FrameSpot topLeft = turned.ToFrame(angle ? PlotPoint{2000, 1500} : PlotPoint{1000, 1500});
    EXPECT_NEAR(part.originX + topLeft.u * part.mmPerFrameUnit, 0, 1e-9) << angle;
    EXPECT_NEAR(part.originY + topLeft.v * part.mmPerFrameUnit, 0, 1e-9) << angle;
  }
}

TEST(PaperLayout, ScalesAreShownAsRatios) {
  for (const auto& [scale, text] : std::vector<std::pair<double, std::string>>{{1, "1:1"},
                                                                               {0.4, "1:2.5"},
                                                                               {1.0 / 3, "1:3"},
                                                                               {2, "2:1"},
                                                                               {1e-5, "1:100000"},
                                                                               {0.68301, "1:1.464"},
                                                                               {1000, "1000:1"},
                                                                               {1.25, "1.25:1"}})
    EXPECT_EQ(ScaleText(scale), text) << scale;
}

}  // namespace
}  // namespace korvid
