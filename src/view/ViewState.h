#pragma once

#include <cstdint>

#include "model/PlotExtents.h"
#include "model/PlotModel.h"
#include "view/BoxMm.h"
#include "view/ScrollBarModel.h"

namespace korvid {

// What the view reads of the main window, in millimetres, afresh for every command.
struct WindowMetrics {
  float ScaleWidth = 0;  // the client area
  float ScaleHeight = 0;
  float ToolbarHeight = 0;    // along the top edge
  float StatusBarHeight = 0;  // along the bottom edge
  float VScrollWidth = 0;     // the vertical bar's thickness
  float HScrollHeight = 0;    // the horizontal bar's thickness

  // The height between toolbar and status bar, subtracted in that order.
  float DrawingAreaHeight() const;
};

// The plot's width and height in plotter units; error 6 when its extents were never set.
struct PlotSpan {
  float Xr = 0;
  float Yr = 0;
};
PlotSpan SpanOf(const PlotExtents& extents);
PlotSpan SpanOfCurrentPlot(const PlotModel& model);

// The scale in millimetres per plotter unit that fits the span into W x H: the smaller
// ratio (on a tie the horizontal one). Error 11 or 6 for a zero or unset span.
float FitScale(float widthMm, float heightMm, const PlotSpan& span);

struct ScrollSteps {
  float Large = 0;
  float Small = 0;
};
// A bar's large and small step for its range r.
ScrollSteps ScrollStepRule(float range);

// What a view command asks of the window at the points where it matters.
class ViewEffects {
 public:
  virtual ~ViewEffects() = default;
  // Shows the plot metafile on the surface again, at the surface's current size.
  virtual void LoadPicture() = 0;
};

// The view of the main window: the viewport Picture1, the drawing surface Picture3 inside
// it, the two scroll bars and the orientation. The zoom level is the surface's size, the
// scroll position its (zero or negative) offset. All in millimetres; widgets only follow.
class ViewState {
 public:
  BoxMm Picture1;
  BoxMm Picture3;
  bool SurfaceVisible = false;
  ScrollBarModel VScroll1;
  ScrollBarModel HScroll1;
  float RotationMode = 0;  // 1 normal, 2 right, 3 upside down, 4 left; 0 before a load

  // The window at start-up: the viewport fills the client area below the toolbar.
  void LayOutAtStartup(const WindowMetrics& metrics);

  // A freshly loaded plot, fitted at its own aspect ratio into the top-left corner of the
  // area between toolbar and status bar. A failure leaves the surface at the area's size.
  void FitLoadedPlot(const WindowMetrics& metrics, const PlotExtents& extents);
  void FitLoadedPlot(const WindowMetrics& metrics, const PlotModel& model) {
    FitLoadedPlot(metrics, PlotExtents::OfCurrentPlot(model));
  }

  // Doubles the surface unless either side exceeds 2167 mm; the viewport becomes the whole
  // drawing area again. Returns false when nothing was done.
  bool ZoomIn(const WindowMetrics& metrics, bool fileLoaded, ViewEffects& effects);
  // Halves the surface unless either side is below 2 mm. Returns false when nothing was done.
  bool ZoomOut(const WindowMetrics& metrics, bool fileLoaded, ViewEffects& effects);
  // Fits the drawing into the area in its current orientation; the viewport shrinks to it.
  bool FitToWindow(const WindowMetrics& metrics, const PlotExtents& extents, bool fileLoaded,
                   ViewEffects& effects);
  bool FitToWindow(const WindowMetrics& metrics, const PlotModel& model, bool fileLoaded,
                   ViewEffects& effects) {
    if (!fileLoaded) return false;
    return FitToWindow(metrics, PlotExtents::OfCurrentPlot(model), fileLoaded, effects);
  }
  // The geometry of a rotation: the same fit for the orientation about to be drawn.
  void FitForOrientation(const WindowMetrics& metrics, const PlotExtents& extents, bool exchanged);
  void FitForOrientation(const WindowMetrics& metrics, const PlotModel& model, bool exchanged) {
    FitForOrientation(metrics, PlotExtents::OfCurrentPlot(model), exchanged);
  }

  // A scroll bar changed: the surface follows its value.
  void OnHScrollChanged();
  void OnVScrollChanged();
  // Moves a bar to `value` (clamped); the surface follows when the value changed.
  void ScrollHorizontally(std::int16_t value);
  void ScrollVertically(std::int16_t value);

  bool Exchanged() const { return RotationMode == 2 || RotationMode == 4; }
  // The turn of the drawing shown, in degrees: 90 right, 180, 270 left, else 0.
  std::int16_t Angle() const {
    return RotationMode == 2 ? 90 : RotationMode == 3 ? 180 : RotationMode == 4 ? 270 : 0;
  }

  // Beside the commands above, what a viewer's mouse and keys do. The surface may then sit
  // between whole millimetres; the bars show the nearest whole value, and a bar moved by
  // the user puts the surface on its value again.

  // A client area of another size: the viewport becomes the whole drawing area again,
  // the surface keeps its size and, as far as it still reaches, what is at the viewport's
  // top-left corner; each bar shows exactly while its direction overflows the part of the
  // viewport left beside the other bar.
  void Relayout(const WindowMetrics& metrics);
  // The surface scaled by `factor`, as far as the zoom limits allow, so that its point
  // under `anchorX`, `anchorY` (millimetres of the viewport) stays there. Returns the
  // factors applied to the width and the height; {1, 1} when a limit left nothing to do.
  struct Scaling {
    float x = 1;
    float y = 1;
    bool Changed() const { return x != 1 || y != 1; }
  };
  Scaling ZoomAbout(const WindowMetrics& metrics, double factor, float anchorX, float anchorY);
  // The surface scaled so that `box` (surface millimetres) fills the viewport, centred.
  Scaling ZoomToBox(const WindowMetrics& metrics, const BoxMm& box);
  // Puts the surface's point (x, y) at the viewport's top-left corner, as far as the
  // surface reaches.
  void ScrollTo(const WindowMetrics& metrics, float x, float y);
  float ScrollX() const { return -Picture3.Left; }
  float ScrollY() const { return -Picture3.Top; }
  // The part of the viewport the surface shows through, beside the bars shown.
  float ShownWidth(const WindowMetrics& metrics) const;
  float ShownHeight(const WindowMetrics& metrics) const;
  // How large the drawing shows against its own size on paper (1 plotter unit = 0.025 mm),
  // in per cent; 0 without a surface or an extent.
  double ZoomPercent(const PlotExtents& extents) const;

 private:
  // The same limits as the zoom commands': no side beyond 4334 mm, none below 1 mm.
  Scaling ScaleSurface(const WindowMetrics& metrics, double factor);
  void LayOutBarsForView(const WindowMetrics& metrics);
  enum class LayoutForm { ZoomIn, ZoomOut };
  void LayoutScrollBars(const WindowMetrics& metrics, LayoutForm form);
  void FitSurface(const WindowMetrics& metrics, const PlotExtents& extents, bool exchanged);
};

}  // namespace korvid
