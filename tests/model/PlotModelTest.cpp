// The plot model's tables and the extents the view and outputs take from a plot.
#include <gtest/gtest.h>

#include <vector>

#include "ErrorOf.h"
#include "model/PlotExtents.h"

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
}

// A page's extents are squared as its drawing squares them: the view fits the picture.
TEST(PlotExtents, OfPageSquaresLinesWithoutWidthOrHeight) {
  const struct {
    std::vector<PlotPoint> points;
    PlotExtents expected;
  } cases[] = {
      {{}, PlotExtents{}},
      {{{-10, 5}, {30, 25}}, {-10, 5, 30, 25}},
      {{{100, 0}, {100, 400}}, {-100, 0, 300, 400}},
      {{{0, 50}, {200, 50}}, {0, -50, 200, 150}},
      {{{0, 0}, {0, 20}}, {-50, 0, 50, 20}},
      {{{5, 5}}, {-45, -45, 55, 55}},
  };
  for (const auto& c : cases) {
    StandardPage page;
    for (const PlotPoint& p : c.points)
      page.extents.Include(p);
    EXPECT_EQ(PlotExtents::OfPage(page), c.expected) << c.points.size() << " points";
  }
}

}  // namespace
}  // namespace korvid
