// The view in millimetres: load fit, zoom, fit, scroll bars, scrolling and the selection band.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "ErrorOf.h"
#include "model/RuntimeError.h"
#include "view/SelectionBand.h"
#include "view/ViewState.h"

namespace korvid {
namespace {

using testing::ErrorOf;

float Single(double value) {
  return static_cast<float>(value);
}

struct CountingEffects : ViewEffects {
  void LoadPicture() override {
    ++loads;
    if (fail) throw RuntimeError(53);
  }
  int loads = 0;
  bool fail = false;
};

// A 250 x 160 mm drawing area between a 10 mm toolbar and a 5 mm status bar; 4.5 mm bars.
const WindowMetrics kWindow{250, 175, 10, 5, 4.5f, 4.5f};

PlotExtents Span(float xr, float yr) {
  return {100, -50, 100 + xr, -50 + yr};
}

std::ostream& operator<<(std::ostream& out, const BoxMm& box) {
  return out << box.Left << ',' << box.Top << ' ' << box.Width << 'x' << box.Height;
}

// A bar as "Max Large/Small at Left,Top WidthxHeight", or "hidden".
std::string Bar(const ScrollBarModel& bar) {
  std::ostringstream text;
  text << bar.Max() << ' ' << bar.LargeChange << '/' << bar.SmallChange << " at " << bar.Box;
  return bar.Visible ? text.str() : "hidden";
}

class ViewStateTest : public ::testing::Test {
 protected:
  bool ZoomIn() { return view.ZoomIn(kWindow, true, effects); }
  bool ZoomOut() { return view.ZoomOut(kWindow, true, effects); }
  bool Fit(const PlotExtents& span) { return view.FitToWindow(kWindow, span, true, effects); }
  std::string Surface() const {
    std::ostringstream text;
    text << view.Picture3 << " in " << view.Picture1;
    return text.str();
  }

  ViewState view;
  CountingEffects effects;
};

TEST_F(ViewStateTest, PlotsFitTheirAspectAndOrientationOrFail) {
  view.LayOutAtStartup(kWindow);
  EXPECT_EQ(view.Picture1, (BoxMm{0, 10, 250, 165}));
  EXPECT_FALSE(view.SurfaceVisible || view.VScroll1.Visible || view.HScroll1.Visible);
  const WindowMetrics wide{300, 115, 10, 5, 4.5f, 4.5f};  // area 300 x 100
  view.LayOutAtStartup(wide);
  view.FitLoadedPlot(wide, Span(200, 100));
  EXPECT_EQ(Surface(), "0,0 200x100 in 0,10 200x100");
  // A plot without width fails and leaves the surface at the area's size.
  EXPECT_EQ(ErrorOf([&] { view.FitLoadedPlot(kWindow, Span(0, 100)); }), 11);
  EXPECT_EQ(view.Picture3, (BoxMm{0, 0, 250, 160}));
  EXPECT_EQ(ErrorOf([&] { Fit(Span(400, 0)); }), 11);
  EXPECT_EQ(effects.loads, 0);
  EXPECT_EQ(ErrorOf([&] { view.FitLoadedPlot(kWindow, PlotExtents{}); }), 6) << "never set";
  for (const auto& [rotationMode, surface] :
       {std::pair(1, "0,0 250x125 in 0,10 250x125"), std::pair(3, "0,0 250x125 in 0,10 250x125"),
        std::pair(2, "0,0 80x160 in 0,10 80x160"), std::pair(4, "0,0 80x160 in 0,10 80x160")}) {
    view.RotationMode = static_cast<float>(rotationMode);
    view.Picture3 = BoxMm{-30, -40, 900, 700};
    view.VScroll1.Visible = view.HScroll1.Visible = true;
    ASSERT_TRUE(Fit(Span(400, 200)));
    EXPECT_EQ(Surface(), surface) << rotationMode;
    EXPECT_FALSE(view.VScroll1.Visible || view.HScroll1.Visible);
  }
  // Without a file nothing happens.
  EXPECT_FALSE(view.ZoomIn(kWindow, false, effects) || view.ZoomOut(kWindow, false, effects) ||
               view.FitToWindow(kWindow, Span(1, 1), false, effects));
  EXPECT_EQ(view.Picture3, (BoxMm{0, 0, 80, 160}));
  EXPECT_EQ(effects.loads, 4);
}

TEST_F(ViewStateTest, ZoomStopsBeyond2167AndBelow2MmAndAFailedLoadKeepsTheNewSize) {
  view.Picture3 = BoxMm{0, 0, 2167, 1000};
  EXPECT_TRUE(ZoomIn());
  EXPECT_EQ(view.Picture3, (BoxMm{0, 0, 4334, 2000}));
  view.Picture3 = BoxMm{0, 0, 2167.5f, 10};
  EXPECT_FALSE(ZoomIn());
  EXPECT_EQ(view.Picture3.Width, 2167.5f);
  view.Picture3 = BoxMm{0, 0, 2, 300};
  EXPECT_TRUE(ZoomOut());
  EXPECT_EQ(view.Picture3, (BoxMm{0, 0, 1, 150}));
  EXPECT_FALSE(ZoomOut());
  EXPECT_EQ(view.Picture3.Width, 1);
  // A failed load keeps the new size and the reset viewport.
  effects.fail = true;
  view.Picture3 = BoxMm{0, 0, 400, 400};
  view.Picture1 = BoxMm{0, 10, 30, 30};
  EXPECT_EQ(ErrorOf([&] { ZoomIn(); }), 53);
  EXPECT_EQ(Surface(), "0,0 800x800 in 0,10 250x160");
  EXPECT_FALSE(view.VScroll1.Visible) << "the bars were not laid out";
}

TEST_F(ViewStateTest, ZoomInShowsBarsThatReachEveryPart) {
  view.Picture3 = BoxMm{0, 0, 250, 104};  // 500 x 208 after the zoom; viewport 250 x 160
  ASSERT_TRUE(ZoomIn());
  EXPECT_EQ(view.Picture1, (BoxMm{0, 10, 250, 160}));
  // Vertical: d = 48, r = 52.5 → Max 52, steps 52 and R16(10.5) = 10. Horizontal: d = 250,
  // r = 254.5 → Max 254 (half to even), steps 25 and 3.
  EXPECT_EQ(Bar(view.VScroll1), "52 52/10 at 245.5,10 4.5x155.5");
  EXPECT_EQ(Bar(view.HScroll1), "254 25/3 at 0,165.5 250x4.5");
  // A zoom that still fits wide lengthens the vertical bar to the viewport's bottom edge.
  view.Picture3 = BoxMm{0, 0, 100, 104};
  view.HScroll1.Visible = false;
  ASSERT_TRUE(ZoomIn());
  EXPECT_EQ(Bar(view.HScroll1), "hidden");
  EXPECT_EQ(view.VScroll1.Box.Height, 160);
  const float cases[][3] = {{9.5f, 9.5f, 9.5f}, {10, 10, 2}, {100, 10, 1}};
  for (const auto& [range, large, small] : cases) {
    EXPECT_FLOAT_EQ(ScrollStepRule(range).Large, large) << range;
    EXPECT_FLOAT_EQ(ScrollStepRule(range).Small, small) << range;
  }
}

TEST_F(ViewStateTest, ZoomOutRescrollsWhenTheRangeShrinks) {
  view.Picture3 = BoxMm{0, 0, 1000, 1000};
  ASSERT_TRUE(ZoomIn());  // 2000 x 2000
  view.ScrollHorizontally(1500);
  view.ScrollVertically(1800);
  EXPECT_EQ(Surface(), "-1500,-1800 2000x2000 in 0,10 250x160");
  ASSERT_TRUE(ZoomOut());  // 1000 x 1000: ranges 754.5, 844.5; lowering Max moved the surface
  EXPECT_EQ(Surface(), "-754,-844 1000x1000 in 0,10 250x160");
  ASSERT_TRUE(ZoomOut() && ZoomOut());  // 250 x 250: fits wide
  EXPECT_EQ(Bar(view.HScroll1), "hidden");
  EXPECT_EQ(view.Picture3.Left, 0);
  EXPECT_TRUE(view.VScroll1.Visible);
}

// Scrolled as far as it goes, the surface's far corner is in view: exactly at the edge of the
// part beside the bars, whatever window the view was laid out for.
void ExpectEveryCornerReachable(ViewState& view, const WindowMetrics& window) {
  view.ScrollTo(window, 1e6f, 1e6f);
  EXPECT_FLOAT_EQ(view.ScrollX() + view.ShownWidth(window),
                  std::max(view.Picture3.Width, view.ShownWidth(window)));
  EXPECT_FLOAT_EQ(view.ScrollY() + view.ShownHeight(window),
                  std::max(view.Picture3.Height, view.ShownHeight(window)));
  view.ScrollTo(window, -5, -5);
  EXPECT_EQ(view.ScrollX() + view.ScrollY(), 0);
}

// A zoomed view laid out again for larger and smaller windows keeps the zoom and the corner at
// the top left as far as it can, never reaches below the drawing area, and shows a bar exactly
// when its direction overflows beside the other bar.
TEST_F(ViewStateTest, RelayoutKeepsTheZoomAndEveryPartReachable) {
  view.SurfaceVisible = true;
  view.LayOutAtStartup(kWindow);
  view.FitLoadedPlot(kWindow, Span(400, 200));
  ASSERT_TRUE(ZoomIn() && ZoomIn());  // x4: 1000 x 500
  struct Case {
    WindowMetrics window;
    float x, y;  // where the view then starts
    const char* bars;
  };
  const Case cases[] = {
      {{500, 315, 10, 5, 4.5f, 4.5f}, 120.25f, 30.5f, "both"},
      {{1200, 315, 10, 5, 4.5f, 4.5f}, 0, 30.5f, "vertical"},  // wide enough: back to the left
      {{800, 315, 10, 5, 4.5f, 4.5f}, 120.25f, 30.5f, "both"},
      {{100, 60, 10, 5, 4.5f, 4.5f}, 120.25f, 30.5f, "both"},
      {{1200, 700, 10, 5, 4.5f, 4.5f}, 0, 0, "none"},
      // Fits wide (high) by 1 (2) mm, but the other bar then covers 3.5 (2.5) mm of it.
      {{1001, 315, 10, 5, 4.5f, 4.5f}, 3.5f, 30.5f, "both"},
      {{800, 517, 10, 5, 4.5f, 4.5f}, 120.25f, 2.5f, "both"},
  };
  for (const Case& c : cases) {
    view.Relayout(kWindow);
    view.ScrollTo(kWindow, 120.25f, 30.5f);
    view.Relayout(c.window);
    const std::string bars = view.VScroll1.Visible && view.HScroll1.Visible ? "both"
                             : view.VScroll1.Visible                        ? "vertical"
                             : view.HScroll1.Visible                        ? "horizontal"
                                                                            : "none";
    EXPECT_EQ(bars, c.bars) << c.window.ScaleWidth;
    EXPECT_EQ(view.Picture3.Width, 1000) << "the zoom is kept";
    EXPECT_EQ(view.Picture1.Top + view.Picture1.Height,
              c.window.ScaleHeight - c.window.StatusBarHeight);
    EXPECT_FLOAT_EQ(view.ScrollX(), c.x) << c.window.ScaleWidth;
    EXPECT_FLOAT_EQ(view.ScrollY(), c.y) << c.window.ScaleWidth;
    EXPECT_EQ(view.HScroll1.Value(), std::lround(view.ScrollX())) << "the bar shows the place";
    ExpectEveryCornerReachable(view, c.window);
  }
  view.Relayout(kWindow);
  view.ScrollTo(kWindow, 500, 0);
  view.Relayout({800, 315, 10, 5, 4.5f, 4.5f});
  EXPECT_FLOAT_EQ(view.ScrollX(), 1000 - 795.5f) << "a grown window shows no grey band";
}

// The surface point under the anchor stays there; a limit shortens the step or stops it.
TEST_F(ViewStateTest, ZoomAboutKeepsThePointUnderTheAnchorWithinTheLimits) {
  view.SurfaceVisible = true;
  view.Picture3 = BoxMm{0, 0, 500, 250};
  view.Relayout(kWindow);
  view.ScrollTo(kWindow, 100, 40);
  const float anchorX = 73.3f, anchorY = 51.7f;
  double pointX = (anchorX + view.ScrollX()) / view.Picture3.Width;
  double pointY = (anchorY + view.ScrollY()) / view.Picture3.Height;
  for (double factor : {1.25, 1.25, 0.8, 3.0, 0.5}) {
    const ViewState::Scaling scaling = view.ZoomAbout(kWindow, factor, anchorX, anchorY);
    ASSERT_TRUE(scaling.Changed()) << factor;
    EXPECT_NEAR(scaling.x, factor, 1e-6);
    EXPECT_NEAR((anchorX + view.ScrollX()) / view.Picture3.Width, pointX, 1e-6) << factor;
    EXPECT_NEAR((anchorY + view.ScrollY()) / view.Picture3.Height, pointY, 1e-6) << factor;
    ExpectEveryCornerReachable(view, kWindow);
    view.ScrollTo(kWindow, Single((pointX * view.Picture3.Width) - anchorX),
                  Single((pointY * view.Picture3.Height) - anchorY));
  }
  EXPECT_TRUE(view.ZoomAbout(kWindow, 100, 0, 0).Changed());
  EXPECT_FLOAT_EQ(view.Picture3.Width, 4334) << "up to the toolbar zoom's largest side";
  EXPECT_FALSE(view.ZoomAbout(kWindow, 1.25, 0, 0).Changed());
  EXPECT_TRUE(view.ZoomAbout(kWindow, 1e-6, 0, 0).Changed());
  EXPECT_FLOAT_EQ(view.Picture3.Height, 1);
  EXPECT_EQ(Surface(), "0,0 2x1 in 0,10 250x160");
  EXPECT_FALSE(view.ZoomAbout(kWindow, 0.8, 0, 0).Changed());
  EXPECT_FALSE(view.ZoomAbout(kWindow, 0, 0, 0).Changed());
  // A box fills the view beside both bars, centred; the percentage is against the paper.
  view.Picture3 = BoxMm{0, 0, 500, 250};
  view.Relayout(kWindow);
  ASSERT_TRUE(view.ZoomToBox(kWindow, BoxMm{100, 50, 49.1f, 20}).Changed());
  EXPECT_FLOAT_EQ(view.Picture3.Width, 2500);
  EXPECT_NEAR(view.ScrollX() + view.ShownWidth(kWindow) / 2, 124.55 * 5, 1e-3);
  EXPECT_NEAR(view.ScrollY() + view.ShownHeight(kWindow) / 2, 60 * 5, 1e-3);
  EXPECT_DOUBLE_EQ(view.ZoomPercent(Span(400, 200)), 2500.0 / 10 * 100);
  view.RotationMode = 2;  // the plot's X runs down the screen
  EXPECT_DOUBLE_EQ(view.ZoomPercent(Span(200, 400)), 2500.0 / 10 * 100);
}

// The band as "Left,Top WidthxHeight from AnchorX,AnchorY", or "hidden".
std::string Band(const SelectionBand& band) {
  std::ostringstream text;
  text << band.Shape << " from " << band.AnchorX << ',' << band.AnchorY;
  return band.Visible ? text.str() : "hidden";
}

// A right drag over a file spans the band from the press point rounded half to even; the left
// button opens the context menu; the middle one only records the anchor.
TEST(SelectionBand, OnlyARightDragOverAFileSelects) {
  using Action = SelectionBand::Action;
  SelectionBand band;
  EXPECT_EQ(band.MouseDown(2, 50.4f, 20.6f), Action::None);
  EXPECT_EQ(Band(band), "50.4,20.6 1x1 from 50,21");
  band.MouseMove(2, 30.2f, 40, true);
  EXPECT_EQ(Band(band), "30.2,21 19.8x19 from 50,21");
  band.MouseMove(2, 60, 21, true);  // on the anchor's row
  EXPECT_EQ(Band(band), "50,21 10x0 from 50,21");
  EXPECT_EQ(band.MouseUp(2), Action::Capture);
  EXPECT_EQ(Band(band), "50,21 10x0 from 50,21") << "the band marks the captured selection";
  band.MouseDown(2, 12.5f, 13.5f);
  band.MouseMove(2, 30, 30, false);
  EXPECT_EQ(Band(band), "12.5,13.5 1x1 from 12,14") << "no file: moves change nothing";
  EXPECT_EQ(band.MouseUp(2), Action::None) << "a click without movement";
  EXPECT_EQ(Band(band), "hidden");
  EXPECT_EQ(band.MouseDown(1, 3, 3), Action::OpenContextMenu);
  EXPECT_EQ(band.MouseMove(1, 4, 4, true), Action::OpenContextMenu) << "on every move";
  EXPECT_EQ(band.MouseMove(1, 4, 4, false), Action::None);
  EXPECT_EQ(band.MouseDown(4, 7.6f, 8.4f), Action::None);
  EXPECT_EQ(band.MouseMove(4, 9, 9, true), Action::None);
  EXPECT_EQ(band.MouseUp(4), Action::None);
  EXPECT_EQ(std::pair(band.AnchorX, band.AnchorY), std::pair(8, 8));
  EXPECT_EQ(Band(band), "hidden");
}

}  // namespace
}  // namespace korvid
