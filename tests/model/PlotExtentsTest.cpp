#include "model/PlotExtents.h"

#include <gtest/gtest.h>

#include <vector>

#include "ErrorOf.h"

namespace korvid {
namespace {

struct PageCase {
  const char* name;
  std::vector<PlotPoint> points;
  PlotExtents expected;
};

// A page's extents are squared like the model's: the view fits them whatever the reading.
TEST(PlotExtents, OfPageSquaresLinesWithoutWidthOrHeight) {
  const PageCase cases[] = {
      {"empty", {}, PlotExtents{}},
      {"box", {{-10, 5}, {30, 25}}, {-10, 5, 30, 25}},
      {"vertical", {{100, 0}, {100, 400}}, {-100, 0, 300, 400}},
      {"horizontal", {{0, 50}, {200, 50}}, {0, -50, 200, 150}},
      {"dot", {{5, 5}}, {5, 5, 5, 5}},
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
