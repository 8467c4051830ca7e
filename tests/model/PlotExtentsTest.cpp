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
  double widestPenMm = 0;
};

// A page's extents are its picture's: squared when flat, grown by half the widest pen.
TEST(PlotExtents, OfPageIsThePicturesBox) {
  const PageCase cases[] = {
      {"empty", {}, PlotExtents{}},
      {"box", {{-10, 5}, {30, 25}}, {-10, 5, 30, 25}},
      {"vertical", {{100, 0}, {100, 400}}, {-100, 0, 300, 400}},
      {"horizontal", {{0, 50}, {200, 50}}, {0, -50, 200, 150}},
      {"short vertical", {{0, 0}, {0, 20}}, {-50, 0, 50, 20}},
      {"dot", {{5, 5}}, {-45, -45, 55, 55}},
      // Half the widest pen lies beyond the points: 1 mm is 20 units on each side.
      {"wide pen", {{0, 0}, {100, 40}}, {-20, -20, 120, 60}, 1},
      {"dot of a wide pen", {{5, 5}}, {-65, -65, 75, 75}, 1},
  };
  for (const PageCase& c : cases) {
    StandardPage page;
    for (const PlotPoint& p : c.points)
      page.extents.Include(p);
    page.widestPenMm = c.widestPenMm;
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
