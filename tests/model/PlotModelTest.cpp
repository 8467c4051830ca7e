#include <gtest/gtest.h>

#include "ErrorOf.h"
#include "model/PlotModel.h"

namespace korvid {
namespace {

using testing::ErrorOf;

TEST(PlotModel, StartsEmptyWithTablesOfItsOwnPerPlotAndFailsOutsideThem) {
  PlotModel model;
  EXPECT_FALSE(model.HasFile());
  EXPECT_EQ(model.SegCount[1] + model.ArcCount[1] + model.CurPlot, 0);
  model.Segments(5, 0).X1 = 1;
  model.Segments(5, 1).X1 = 2;
  EXPECT_EQ(model.Segments(5, 0).X1, 1);
  EXPECT_EQ(ErrorOf([&] { model.Segments(0, 0), model.Arcs(PlotModel::MaxArcs, 1); }), 0);
  EXPECT_EQ(ErrorOf([&] { model.Segments(PlotModel::MaxSegments + 1, 1); }), 9);
  EXPECT_EQ(ErrorOf([&] { model.Segments(-1, 1); }), 9);
  EXPECT_EQ(ErrorOf([&] { model.Arcs(PlotModel::MaxArcs + 1, 1); }), 9);
  EXPECT_EQ(ErrorOf([&] { model.Arcs(1, 2); }), 9);
  EXPECT_EQ(ErrorOf([&] { PlotModel::CheckPlot(-1); }), 9);
}

}  // namespace
}  // namespace korvid
