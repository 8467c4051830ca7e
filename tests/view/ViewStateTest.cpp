// The view arithmetic in millimetres: load fit, zoom, fit, scroll bars and scrolling.
#include <gtest/gtest.h>

#include "ErrorOf.h"
#include "model/RuntimeError.h"
#include "view/ViewState.h"

namespace korvid {
namespace {

class CountingEffects : public ViewEffects {
 public:
  void LoadPicture() override {
    ++loads;
    if (fail) throw RuntimeError(53);
  }
  int loads = 0;
  bool fail = false;
};

// A client area whose drawing area (between a 10 mm toolbar and a 5 mm status bar) is
// 250 x 160 mm, with 4.5 mm thick scroll bars.
WindowMetrics Window() {
  return WindowMetrics{250, 175, 10, 5, 4.5f, 4.5f};
}

std::unique_ptr<PlotModel> PlotOfSpan(float xr, float yr) {
  auto model = std::make_unique<PlotModel>();
  model->CurPlot = 1;
  model->MinX[1] = 100;
  model->MaxX[1] = 100 + xr;
  model->MinY[1] = -50;
  model->MaxY[1] = -50 + yr;
  return model;
}

using testing::ErrorOf;

TEST(ViewState, LoadedPlotFitsItsAspectIntoTheTopLeftCorner) {
  ViewState view;
  view.LayOutAtStartup(Window());
  EXPECT_EQ(view.Picture1, (BoxMm{0, 10, 250, 165}));
  EXPECT_FALSE(view.SurfaceVisible || view.VScroll1.Visible || view.HScroll1.Visible);
  view.LayOutAtStartup(WindowMetrics{300, 115, 10, 5, 4.5f, 4.5f});  // area 300 x 100
  view.FitLoadedPlot(WindowMetrics{300, 115, 10, 5, 4.5f, 4.5f}, *PlotOfSpan(200, 100));
  EXPECT_EQ(view.Picture3, (BoxMm{0, 0, 200, 100}));
  EXPECT_EQ(view.Picture1, (BoxMm{0, 10, 200, 100}));
}

TEST(ViewState, PlotWithoutWidthFailsLeavingTheAreaSize) {
  ViewState view;
  CountingEffects effects;
  EXPECT_EQ(ErrorOf([&] { view.FitLoadedPlot(Window(), *PlotOfSpan(0, 100)); }), 11);
  EXPECT_EQ(view.Picture3, (BoxMm{0, 0, 250, 160}));
  EXPECT_EQ(ErrorOf([&] { view.FitToWindow(Window(), *PlotOfSpan(400, 0), true, effects); }), 11);
  EXPECT_EQ(view.Picture3.Width, 250);
  EXPECT_EQ(effects.loads, 0);
  auto unset = PlotOfSpan(1, 1);
  unset->MaxX[1] = kInitialMaxExtent;
  unset->MinX[1] = kInitialMinExtent;
  EXPECT_EQ(ErrorOf([&] { view.FitLoadedPlot(Window(), *unset); }), 6);
}

struct FitCase {
  float rotationMode;
  BoxMm surface;
};

class FitToWindow : public ::testing::TestWithParam<FitCase> {};

TEST_P(FitToWindow, FitsTheDrawingInItsOrientation) {
  ViewState view;
  view.RotationMode = GetParam().rotationMode;
  view.Picture3 = BoxMm{-30, -40, 900, 700};
  view.VScroll1.Visible = view.HScroll1.Visible = true;
  CountingEffects effects;
  ASSERT_TRUE(view.FitToWindow(Window(), *PlotOfSpan(400, 200), true, effects));
  EXPECT_EQ(view.Picture3, GetParam().surface);
  EXPECT_EQ(view.Picture1.Width, GetParam().surface.Width);
  EXPECT_EQ(view.Picture1.Height, GetParam().surface.Height);
  EXPECT_EQ(effects.loads, 1);
  EXPECT_FALSE(view.VScroll1.Visible || view.HScroll1.Visible);
}

INSTANTIATE_TEST_SUITE_P(Orientations, FitToWindow,
                         ::testing::Values(FitCase{1, {0, 0, 250, 125}},
                                           FitCase{3, {0, 0, 250, 125}},
                                           FitCase{2, {0, 0, 80, 160}},
                                           FitCase{4, {0, 0, 80, 160}}));

TEST(ViewState, NothingHappensWithoutAFile) {
  ViewState view;
  view.Picture3 = BoxMm{0, 0, 100, 100};
  CountingEffects effects;
  EXPECT_FALSE(view.ZoomIn(Window(), false, effects));
  EXPECT_FALSE(view.ZoomOut(Window(), false, effects));
  EXPECT_FALSE(view.FitToWindow(Window(), *PlotOfSpan(1, 1), false, effects));
  EXPECT_EQ(view.Picture3, (BoxMm{0, 0, 100, 100}));
  EXPECT_EQ(effects.loads, 0);
}

TEST(ViewState, ZoomStopsBeyond2167AndBelow2Millimetres) {
  ViewState view;
  CountingEffects effects;
  view.Picture3 = BoxMm{0, 0, 2167, 1000};
  EXPECT_TRUE(view.ZoomIn(Window(), true, effects));
  EXPECT_EQ(view.Picture3, (BoxMm{0, 0, 4334, 2000}));
  view.Picture3 = BoxMm{0, 0, 2167.5f, 10};
  view.HScroll1.Visible = false;
  EXPECT_FALSE(view.ZoomIn(Window(), true, effects));
  EXPECT_EQ(view.Picture3.Width, 2167.5f);
  EXPECT_FALSE(view.HScroll1.Visible);
  view.Picture3 = BoxMm{0, 0, 2, 300};
  EXPECT_TRUE(view.ZoomOut(Window(), true, effects));
  EXPECT_EQ(view.Picture3, (BoxMm{0, 0, 1, 150}));
  EXPECT_FALSE(view.ZoomOut(Window(), true, effects));
  EXPECT_EQ(view.Picture3.Width, 1);
}

TEST(ViewState, ZoomInShowsBarsThatReachEveryPart) {
  ViewState view;
  CountingEffects effects;
  view.Picture3 = BoxMm{0, 0, 250, 104};  // 500 x 208 after the zoom; viewport 250 x 160
  ASSERT_TRUE(view.ZoomIn(Window(), true, effects));
  EXPECT_EQ(view.Picture1, (BoxMm{0, 10, 250, 160}));
  // Vertical: d = 48, r = 52.5 → Max 52, steps 52 and R16(10.5) = 10.
  EXPECT_TRUE(view.VScroll1.Visible);
  EXPECT_EQ(view.VScroll1.Max(), 52);
  EXPECT_EQ(view.VScroll1.LargeChange, 52);
  EXPECT_EQ(view.VScroll1.SmallChange, 10);
  EXPECT_EQ(view.VScroll1.Box.Top, 10);
  EXPECT_EQ(view.VScroll1.Box.Left, 245.5f);
  EXPECT_EQ(view.VScroll1.Box.Height, 155.5f);
  // Horizontal: d = 250, r = 254.5 → Max 254 (half to even), steps 25 and 3.
  EXPECT_TRUE(view.HScroll1.Visible);
  EXPECT_EQ(view.HScroll1.Max(), 254);
  EXPECT_EQ(view.HScroll1.LargeChange, 25);
  EXPECT_EQ(view.HScroll1.SmallChange, 3);
  EXPECT_EQ(view.HScroll1.Box, (BoxMm{0, 165.5f, 250, 4.5f}));
}

TEST(ViewState, ZoomInThatStillFitsWideLengthensTheVerticalBar) {
  ViewState view;
  CountingEffects effects;
  view.Picture3 = BoxMm{0, 0, 100, 104};
  view.HScroll1.Visible = false;
  ASSERT_TRUE(view.ZoomIn(Window(), true, effects));
  EXPECT_FALSE(view.HScroll1.Visible);
  EXPECT_EQ(view.VScroll1.Box.Height, 160) << "runs down to the viewport's bottom edge";
}

TEST(ViewState, ZoomOutRescrollsWhenTheRangeShrinks) {
  ViewState view;
  CountingEffects effects;
  view.Picture3 = BoxMm{0, 0, 1000, 1000};
  ASSERT_TRUE(view.ZoomIn(Window(), true, effects));  // 2000 x 2000
  view.ScrollHorizontally(1500);
  view.ScrollVertically(1800);
  EXPECT_EQ(view.Picture3.Left, -1500);
  EXPECT_EQ(view.Picture3.Top, -1800);
  ASSERT_TRUE(view.ZoomOut(Window(), true, effects));  // 1000 x 1000: ranges 754.5, 844.5
  EXPECT_EQ(view.HScroll1.Max(), 754);
  EXPECT_EQ(view.Picture3.Left, -754) << "lowering Max moved the value and the surface";
  EXPECT_EQ(view.Picture3.Top, -844);
  ASSERT_TRUE(view.ZoomOut(Window(), true, effects));  // 500 x 500
  ASSERT_TRUE(view.ZoomOut(Window(), true, effects));  // 250 x 250: fits wide
  EXPECT_FALSE(view.HScroll1.Visible);
  EXPECT_EQ(view.Picture3.Left, 0);
  EXPECT_TRUE(view.VScroll1.Visible);
}

TEST(ViewState, FailedLoadKeepsTheNewSizeAndTheResetViewport) {
  ViewState view;
  CountingEffects effects;
  effects.fail = true;
  view.Picture3 = BoxMm{0, 0, 400, 400};
  view.Picture1 = BoxMm{0, 10, 30, 30};
  EXPECT_EQ(ErrorOf([&] { view.ZoomIn(Window(), true, effects); }), 53);
  EXPECT_EQ(view.Picture3.Width, 800);
  EXPECT_EQ(view.Picture1, (BoxMm{0, 10, 250, 160}));
  EXPECT_FALSE(view.VScroll1.Visible) << "the bars were not laid out";
}

TEST(ScrollStepRule, ScalesWithTheRange) {
  struct Case {
    float range, large, small;
  };
  for (const Case& c : {Case{9.5f, 9.5f, 9.5f}, Case{10, 10, 2}, Case{52.5f, 52.5f, 10.5f},
                        Case{250, 25, 2.5f}, Case{100, 10, 1}}) {
    const ScrollSteps steps = ScrollStepRule(c.range);
    EXPECT_FLOAT_EQ(steps.Large, c.large) << c.range;
    EXPECT_FLOAT_EQ(steps.Small, c.small) << c.range;
  }
}

}  // namespace
}  // namespace korvid
