#include "view/ViewState.h"

#include "model/ValueConversion.h"

namespace korvid {

namespace {

constexpr float kLargestZoomableSide = 2167;  // a zoom-in never passes 4334 mm
constexpr float kSmallestZoomableSide = 2;
constexpr double kOverflowThreshold = 0.1;

float Single(double value) {
  return ToSingle(value);
}
float Difference(float a, float b) {
  return Single(static_cast<double>(a) - b);
}
float Sum(float a, float b) {
  return Single(static_cast<double>(a) + b);
}
float Product(float a, float b) {
  return Single(static_cast<double>(a) * b);
}

}  // namespace

float WindowMetrics::DrawingAreaHeight() const {
  return Difference(Difference(ScaleHeight, ToolbarHeight), StatusBarHeight);
}

PlotSpan SpanOf(const PlotExtents& extents) {
  return {Difference(extents.MaxX, extents.MinX), Difference(extents.MaxY, extents.MinY)};
}

PlotSpan SpanOfCurrentPlot(const PlotModel& model) {
  return SpanOf(PlotExtents::OfCurrentPlot(model));
}

float FitScale(float widthMm, float heightMm, const PlotSpan& span) {
  const float kx = Single(CheckedDivide(widthMm, span.Xr));
  const float ky = Single(CheckedDivide(heightMm, span.Yr));
  return ky < kx ? ky : kx;
}

ScrollSteps ScrollStepRule(float range) {
  if (range < 10) return {range, range};
  if (range < 100) return {range, Single(range / 5.0)};
  const float large = Single(range / 10.0);
  return {large, Single(large / 10.0)};
}

void ViewState::LayOutAtStartup(const WindowMetrics& metrics) {
  Picture1.Height = Difference(metrics.ScaleHeight, metrics.ToolbarHeight);
  Picture1.Width = metrics.ScaleWidth;
  Picture1.Left = 0;
  Picture1.Top = metrics.ToolbarHeight;
  SurfaceVisible = false;
  VScroll1.Visible = false;
  HScroll1.Visible = false;
}

void ViewState::FitLoadedPlot(const WindowMetrics& metrics, const PlotExtents& extents) {
  SurfaceVisible = true;
  Picture3.Height = metrics.DrawingAreaHeight();
  Picture3.Width = metrics.ScaleWidth;
  const PlotSpan span = SpanOf(extents);
  const float scale = FitScale(Picture3.Width, Picture3.Height, span);
  Picture3.Width = Product(scale, span.Xr);
  Picture3.Height = Product(scale, span.Yr);
  Picture3.Left = 0;
  Picture3.Top = 0;
  Picture1.Width = Picture3.Width;
  Picture1.Height = Picture3.Height;
  VScroll1.Visible = false;
  HScroll1.Visible = false;
}

bool ViewState::ZoomIn(const WindowMetrics& metrics, bool fileLoaded, ViewEffects& effects) {
  if (!fileLoaded) return false;
  if (Picture3.Width > kLargestZoomableSide) return false;
  if (Picture3.Height > kLargestZoomableSide) return false;
  Picture3.Width = Product(Picture3.Width, 2);
  Picture3.Height = Product(Picture3.Height, 2);
  Picture1.Height =
      Difference(Difference(metrics.ScaleHeight, metrics.StatusBarHeight), metrics.ToolbarHeight);
  Picture1.Width = metrics.ScaleWidth;
  Picture1.Left = 0;
  Picture1.Top = metrics.ToolbarHeight;
  effects.LoadPicture();
  LayoutScrollBars(metrics, LayoutForm::ZoomIn);
  return true;
}

bool ViewState::ZoomOut(const WindowMetrics& metrics, bool fileLoaded, ViewEffects& effects) {
  if (!fileLoaded) return false;
  if (Picture3.Width < kSmallestZoomableSide) return false;
  if (Picture3.Height < kSmallestZoomableSide) return false;
  Picture3.Width = Single(Picture3.Width / 2.0);
  Picture3.Height = Single(Picture3.Height / 2.0);
  effects.LoadPicture();
  VScroll1.Visible = false;
  HScroll1.Visible = false;
  LayoutScrollBars(metrics, LayoutForm::ZoomOut);
  return true;
}

void ViewState::FitSurface(const WindowMetrics& metrics, const PlotExtents& extents,
                           bool exchanged) {
  const float area = metrics.DrawingAreaHeight();
  if (exchanged) {
    Picture3.Width = area;
    Picture3.Height = metrics.ScaleWidth;
  } else {
    Picture3.Height = area;
    Picture3.Width = metrics.ScaleWidth;
  }
  const PlotSpan span = SpanOf(extents);
  const float scale = FitScale(Picture3.Width, Picture3.Height, span);
  if (exchanged) {
    Picture3.Height = Product(scale, span.Xr);
    Picture3.Width = Product(scale, span.Yr);
  } else {
    Picture3.Width = Product(scale, span.Xr);
    Picture3.Height = Product(scale, span.Yr);
  }
  Picture3.Left = 0;
  Picture3.Top = 0;
  Picture1.Width = Picture3.Width;
  Picture1.Height = Picture3.Height;
}

bool ViewState::FitToWindow(const WindowMetrics& metrics, const PlotExtents& extents,
                            bool fileLoaded, ViewEffects& effects) {
  if (!fileLoaded) return false;
  FitSurface(metrics, extents, Exchanged());
  effects.LoadPicture();
  VScroll1.Visible = false;
  HScroll1.Visible = false;
  return true;
}

void ViewState::FitForOrientation(const WindowMetrics& metrics, const PlotExtents& extents,
                                  bool exchanged) {
  FitSurface(metrics, extents, exchanged);
}

void ViewState::LayoutScrollBars(const WindowMetrics& metrics, LayoutForm form) {
  const float toolbar = metrics.ToolbarHeight;
  const float barWidth = metrics.VScrollWidth;
  const float barHeight = metrics.HScrollHeight;

  const float below = Difference(Picture3.Height, Picture1.Height);
  if (below <= kOverflowThreshold) {
    if (form == LayoutForm::ZoomOut) Picture3.Top = 0;
  } else {
    const float range = Sum(below, barHeight);
    const ScrollSteps steps = ScrollStepRule(range);
    if (VScroll1.SetMax(RoundToInt16(range))) OnVScrollChanged();
    VScroll1.LargeChange = RoundToInt16(steps.Large);
    VScroll1.SmallChange = RoundToInt16(steps.Small);
    VScroll1.Box.Top = toolbar;
    VScroll1.Box.Left = Difference(Picture1.Width, barWidth);
    VScroll1.Box.Height = Difference(Picture1.Height, barHeight);
    VScroll1.Box.Width = barWidth;
    VScroll1.Visible = true;
  }

  const float beyond = Difference(Picture3.Width, Picture1.Width);
  if (beyond <= kOverflowThreshold) {
    if (form == LayoutForm::ZoomIn) {
      VScroll1.Box.Height = Sum(VScroll1.Box.Height, barHeight);
    } else {
      Picture3.Left = 0;
    }
    return;
  }
  const float range = Sum(beyond, barWidth);
  const ScrollSteps steps = ScrollStepRule(range);
  if (HScroll1.SetMax(RoundToInt16(range))) OnHScrollChanged();
  HScroll1.LargeChange = RoundToInt16(steps.Large);
  HScroll1.SmallChange = RoundToInt16(steps.Small);
  HScroll1.Box.Top = Difference(Sum(toolbar, Picture1.Height), barHeight);
  HScroll1.Box.Left = 0;
  HScroll1.Box.Width = Picture1.Width;
  HScroll1.Box.Height = barHeight;
  HScroll1.Visible = true;
}

void ViewState::OnHScrollChanged() {
  Picture3.Left = -static_cast<float>(HScroll1.Value());
}

void ViewState::OnVScrollChanged() {
  Picture3.Top = -static_cast<float>(VScroll1.Value());
}

void ViewState::ScrollHorizontally(std::int16_t value) {
  if (HScroll1.SetValue(value)) OnHScrollChanged();
}

void ViewState::ScrollVertically(std::int16_t value) {
  if (VScroll1.SetValue(value)) OnVScrollChanged();
}

}  // namespace korvid
