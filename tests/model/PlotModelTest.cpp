// The plot model's tables, the extents taken from a plot, and the names shown for files.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "ErrorOf.h"
#include "model/PlotExtents.h"
#include "model/ShownName.h"

namespace korvid {
namespace {

using testing::ErrorOf;

TEST(PlotModel, TablesArePerPlotAndAnIndexOutsideThemIsError9) {
  PlotModel model;
  model.Segments(5, 0).X1 = 1;
  model.Segments(5, 1).X1 = 2;
  EXPECT_EQ(model.Segments(5, 0).X1, 1);
  EXPECT_EQ(ErrorOf([&] { model.Segments(0, 0), model.Arcs(PlotModel::MaxArcs, 1); }), 0);
  EXPECT_EQ(ErrorOf([&] { model.Segments(PlotModel::MaxSegments + 1, 1); }), 9);
  EXPECT_EQ(ErrorOf([&] { model.Segments(-1, 1); }), 9);
  EXPECT_EQ(ErrorOf([&] { model.Arcs(PlotModel::MaxArcs + 1, 1); }), 9);
  EXPECT_EQ(ErrorOf([&] { model.Arcs(1, 2); }), 9);
  model.CurPlot = 1;
  model.MinX[1] = 1, model.MinY[1] = 2, model.MaxX[1] = 3, model.MaxY[1] = 4;
  EXPECT_EQ(PlotExtents::OfCurrentPlot(model), (PlotExtents{1, 2, 3, 4}));
  model.CurPlot = 2;
  EXPECT_EQ(ErrorOf([&] { PlotExtents::OfCurrentPlot(model); }), 9);
  // A page's extents: squared when flat, grown by half the widest pen (1 mm: 20 units a side).
  // clang-format off
  const std::tuple<std::vector<PlotPoint>, PlotExtents, double> cases[] = {
      {{}, PlotExtents{}, 0}, {{{-10, 5}, {30, 25}}, {-10, 5, 30, 25}, 0},
      {{{100, 0}, {100, 400}}, {-100, 0, 300, 400}, 0},
      {{{0, 50}, {200, 50}}, {0, -50, 200, 150}, 0}, {{{0, 0}, {0, 20}}, {-50, 0, 50, 20}, 0},
      {{{5, 5}}, {-45, -45, 55, 55}, 0}, {{{0, 0}, {100, 40}}, {-20, -20, 120, 60}, 1},
      {{{5, 5}}, {-65, -65, 75, 75}, 1}};
  // clang-format on
  for (const auto& [points, expected, widestPenMm] : cases) {
    StandardPage page;
    for (const PlotPoint& p : points)
      page.extents.Include(p);
    page.widestPenMm = widestPenMm;
    EXPECT_EQ(PlotExtents::OfPage(page), expected) << points.size() << " points, " << widestPenMm;
  }
}

// Broken: U+009B (a terminal's CSI), Latin-1, a cut sequence, an overlong form, a surrogate.
TEST(ShownName, ControlCharactersAndBrokenUtf8AreEscaped) {
  // clang-format off
  const std::pair<std::string, std::string> cases[] = {
      {"図面/配線 1.hpg", "図面/配線 1.hpg"}, {"a\nb\rc\td", "a\\nb\\rc\\td"},
      {"\x1b[2J\x07\x7f", "\\x1b[2J\\x07\\x7f"}, {std::string("nul\0x", 5), "nul\\x00x"},
      {"c1 \xc2\x9b csi", "c1 \\xc2\\x9b csi"}, {"latin1 \xe9t\xe9", "latin1 \\xe9t\\xe9"},
      {"cut \xe5\x9b", "cut \\xe5\\x9b"}, {"overlong \xc0\xaf", "overlong \\xc0\\xaf"},
      {"surrogate \xed\xa0\x80", "surrogate \\xed\\xa0\\x80"}};
  // clang-format on
  for (const auto& [name, shown] : cases)
    EXPECT_EQ(ShownName(name), shown);
}

}  // namespace
}  // namespace korvid
