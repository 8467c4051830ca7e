#include <gtest/gtest.h>

#include <vector>

#include "ErrorOf.h"
#include "model/PlotExtents.h"

namespace korvid {
namespace {

struct PageCase {
  const char* name;
  std::vector<PlotPoint> points;
  PlotExtents expected;
};

// A page's extents are squared as its drawing squares them: the view fits the picture.
TEST(PlotExtents, OfPageSquaresLinesWithoutWidthOrHeight) {
  const PageCase cases[] = {
      {"empty", {}, PlotExtents{}},
      {"box", {{-10, 5}, {30, 25}}, {-10, 5, 30, 25}},
      {"vertical", {{100, 0}, {100, 400}}, {-100, 0, 300, 400}},
      {"horizontal", {{0, 50}, {200, 50}}, {0, -50, 200, 150}},
      {"short vertical", {{0, 0}, {0, 20}}, {-50, 0, 50, 20}},
      {"dot", {{5, 5}}, {-45, -45, 55, 55}},
  };
  for (const PageCase& c : cases) {
    StandardPage page;
    for (const PlotPoint& p : c.points)
      page.extents.Include(p);
    EXPECT_EQ(PlotExtents::OfPage(page), c.expected) << c.name;
  }
}

TEST(PlotExtents, OfCurrentPlotIsTheModelsPlotOrError9) {
  PlotModel model;
  model.CurPlot = 1;
  model.MinX[1] = 1, model.MinY[1] = 2, model.MaxX[1] = 3, model.MaxY[1] = 4;
  EXPECT_EQ(PlotExtents::OfCurrentPlot(model), (PlotExtents{1, 2, 3, 4}));
  model.CurPlot = 2;
  EXPECT_EQ(korvid::testing::ErrorOf([&] { PlotExtents::OfCurrentPlot(model); }), 9);
}

}  // namespace
}  // namespace korvid
