// The view as a viewer's mouse and keys move it: relayout on resizing, zoom about a point,
// zoom to a box and scrolling to any place. The design's own commands are in ViewState.cpp.
#include <algorithm>
#include <cmath>

#include "model/ValueConversion.h"
#include "view/ViewState.h"

namespace korvid {

namespace {

constexpr double kLargestSide = 4334;  // as far as a zoom-in of the toolbar goes
constexpr double kSmallestSide = 1;    // as far as a zoom-out goes
constexpr float kOverflowThreshold = 0.1f;
constexpr double kPlotterUnitsPerMm = 40;

float Single(double value) {
  return ToSingle(value);
}

// The nearest whole value for a bar, within its range.
void ShowOnBar(ScrollBarModel& bar, float position) {
  bar.SetValue(static_cast<std::int16_t>(std::clamp<double>(std::lround(position), 0, 32767)));
}

}  // namespace

float ViewState::ShownWidth(const WindowMetrics& metrics) const {
  return Single(static_cast<double>(Picture1.Width) -
                (VScroll1.Visible ? metrics.VScrollWidth : 0.0f));
}

float ViewState::ShownHeight(const WindowMetrics& metrics) const {
  return Single(static_cast<double>(Picture1.Height) -
                (HScroll1.Visible ? metrics.HScrollHeight : 0.0f));
}

void ViewState::Relayout(const WindowMetrics& metrics) {
  Picture1.Left = 0;
  Picture1.Top = metrics.ToolbarHeight;
  Picture1.Width = metrics.ScaleWidth;
  Picture1.Height = metrics.DrawingAreaHeight();
  LayOutBarsForView(metrics);
}

// Unlike the zoom commands' layout, a bar shows also when only the other bar hides the
// surface's edge: every part of the drawing stays reachable. The ranges follow the
// zoom commands' rule (the other bar's thickness included), so a bar moves as it would
// after a zoom.
void ViewState::LayOutBarsForView(const WindowMetrics& metrics) {
  const double barWidth = metrics.VScrollWidth;
  const double barHeight = metrics.HScrollHeight;
  const double below = static_cast<double>(Picture3.Height) - Picture1.Height;
  const double beyond = static_cast<double>(Picture3.Width) - Picture1.Width;
  bool vertical = below > kOverflowThreshold;
  const bool horizontal = beyond + (vertical ? barWidth : 0) > kOverflowThreshold;
  vertical = vertical || below + (horizontal ? barHeight : 0) > kOverflowThreshold;

  auto layOut = [](ScrollBarModel& bar, bool shown, double range, BoxMm box) {
    bar.Visible = shown;
    if (!shown) return;
    const ScrollSteps steps = ScrollStepRule(Single(range));
    bar.SetMax(RoundToInt16(Single(range)));
    bar.LargeChange = RoundToInt16(steps.Large);
    bar.SmallChange = RoundToInt16(steps.Small);
    bar.Box = box;
  };
  const float top = metrics.ToolbarHeight;
  layOut(VScroll1, vertical, below + barHeight,
         {Single(Picture1.Width - barWidth), top, metrics.VScrollWidth,
          Single(Picture1.Height - (horizontal ? barHeight : 0))});
  layOut(HScroll1, horizontal, beyond + barWidth,
         {0, Single(top + Picture1.Height - barHeight), Picture1.Width, metrics.HScrollHeight});
  ScrollTo(metrics, ScrollX(), ScrollY());
}

void ViewState::ScrollTo(const WindowMetrics& metrics, float x, float y) {
  const float largestX =
      HScroll1.Visible ? std::max(0.0f, Single(Picture3.Width - ShownWidth(metrics))) : 0.0f;
  const float largestY =
      VScroll1.Visible ? std::max(0.0f, Single(Picture3.Height - ShownHeight(metrics))) : 0.0f;
  Picture3.Left = -std::clamp(x, 0.0f, largestX);
  Picture3.Top = -std::clamp(y, 0.0f, largestY);
  // -0 and 0 are the same place; the widgets are laid out from +0.
  Picture3.Left += 0.0f;
  Picture3.Top += 0.0f;
  ShowOnBar(HScroll1, ScrollX());
  ShowOnBar(VScroll1, ScrollY());
}

ViewState::Scaling ViewState::ScaleSurface(const WindowMetrics& metrics, double factor) {
  const double longest = std::max(Picture3.Width, Picture3.Height);
  const double shortest = std::min(Picture3.Width, Picture3.Height);
  if (!(shortest > 0) || !std::isfinite(factor) || factor <= 0) return {};
  double applied = std::min(factor, kLargestSide / longest);
  applied = std::max(applied, kSmallestSide / shortest);
  // A surface already at a limit is not pushed the other way by it.
  if ((factor > 1 && applied <= 1) || (factor < 1 && applied >= 1)) return {};
  const float width = Single(Picture3.Width * applied);
  const float height = Single(Picture3.Height * applied);
  const Scaling scaling{Single(width / static_cast<double>(Picture3.Width)),
                        Single(height / static_cast<double>(Picture3.Height))};
  if (!scaling.Changed()) return scaling;
  Picture3.Width = width;
  Picture3.Height = height;
  Picture1.Left = 0;
  Picture1.Top = metrics.ToolbarHeight;
  Picture1.Width = metrics.ScaleWidth;
  Picture1.Height = metrics.DrawingAreaHeight();
  return scaling;
}

ViewState::Scaling ViewState::ZoomAbout(const WindowMetrics& metrics, double factor, float anchorX,
                                        float anchorY) {
  const double pointX = static_cast<double>(anchorX) + ScrollX();
  const double pointY = static_cast<double>(anchorY) + ScrollY();
  const Scaling scaling = ScaleSurface(metrics, factor);
  if (!scaling.Changed()) return scaling;
  // The bars first, for the range the surface may now move in.
  Picture3.Left = Single(anchorX - pointX * scaling.x);
  Picture3.Top = Single(anchorY - pointY * scaling.y);
  LayOutBarsForView(metrics);
  return scaling;
}

ViewState::Scaling ViewState::ZoomToBox(const WindowMetrics& metrics, const BoxMm& box) {
  // Measured beside both bars: a box zoomed in to fill the view most often needs both.
  const double width = static_cast<double>(metrics.ScaleWidth) - metrics.VScrollWidth;
  const double height = static_cast<double>(metrics.DrawingAreaHeight()) - metrics.HScrollHeight;
  const double boxWidth = std::max(box.Width, 0.01f);
  const double boxHeight = std::max(box.Height, 0.01f);
  const Scaling scaling = ScaleSurface(metrics, std::min(width / boxWidth, height / boxHeight));
  if (!scaling.Changed()) return scaling;
  LayOutBarsForView(metrics);
  const double centreX = (box.Left + box.Width / 2.0) * scaling.x;
  const double centreY = (box.Top + box.Height / 2.0) * scaling.y;
  ScrollTo(metrics, Single(centreX - ShownWidth(metrics) / 2.0),
           Single(centreY - ShownHeight(metrics) / 2.0));
  return scaling;
}

double ViewState::ZoomPercent(const PlotExtents& extents) const {
  if (!SurfaceVisible) return 0;
  const double xr = static_cast<double>(extents.MaxX) - extents.MinX;
  const double yr = static_cast<double>(extents.MaxY) - extents.MinY;
  // Measured along the longer extent, where the surface's rounding weighs least.
  const bool alongX = xr >= yr;
  const double units = alongX ? xr : yr;
  const float side = alongX == Exchanged() ? Picture3.Height : Picture3.Width;
  if (!(units > 0) || !std::isfinite(units)) return 0;
  return side / units * kPlotterUnitsPerMm * 100;
}

}  // namespace korvid
