#pragma once

#include <QImage>
#include <QPointF>
#include <QTimer>
#include <cstdint>
#include <functional>

#include "app/MeasureTool.h"
#include "model/StandardPlot.h"
#include "render/Rotation.h"
#include "view/ViewState.h"

class QMenu;
class QMouseEvent;
class QWheelEvent;
class QKeyEvent;

namespace korvid {

class PictForm;
class ViewEffects;
struct AppContext;

// Everything the user does to look at the drawing: zoom, fit, scrolling, the four
// orientations, and the mouse on the surface (the context menu and the selection band).
// The arithmetic is the view state's; this class runs the commands in the window.
class ViewCommands {
 public:
  explicit ViewCommands(PictForm& form);

  void ZoomIn();
  void ZoomOut();
  void FitToWindow();
  // Mode 1 normal, 2 right 90°, 3 180°, 4 left 90°.
  void ShowRotated(int mode);
  // The drawing written again in its orientation, the view left as it is: the pens changed.
  void Redraw();

  // Draws the plot on show into the plot metafile at `rotation` and shows its picture.
  void DrawAndShow(const Rotation& rotation);

  void OnHScroll(int value);
  void OnVScroll(int value);

  // Beside the commands above, the mouse and keys of a viewer; they never touch the plot
  // metafile. The wheel scrolls (Shift: across), Ctrl+wheel zooms about the pointer; wheel
  // events are gathered and the view changes once per pass of the event loop. Positions
  // are in pixels of the viewport.
  bool Wheel(const QWheelEvent& event, QPointF viewportPx);
  // PageUp/PageDown (Shift: across), Home/End, the arrows, + and -, the Menu key and
  // Shift+F10; Space held makes a left drag pan.
  bool Key(QKeyEvent* event);
  bool KeyReleased(QKeyEvent* event);
  void FocusLost();
  // A middle-button drag, or a left drag with Space held, moves the drawing with the
  // pointer; true when the event was taken for that.
  bool Pan(QMouseEvent* event);
  // The surface scaled by `factor` about a point of the viewport (the zoom limits of the
  // toolbar hold; meeting one is said in the status bar).
  void ZoomAbout(double factor, QPointF viewportPx);
  // The band's region fills the view.
  void ZoomToSelection();
  // The client area changed its size.
  void Relayout();
  // The wheel events gathered so far take effect now.
  void FlushWheel();

  void MousePressed(int button, QPointF positionPx);
  void MouseMoved(int buttons, QPointF positionPx);
  void MouseReleased(int button, QPointF positionPx);
  void MouseLeft();

  // Measuring: left clicks set the points (snapped to the nearest end of a line unless
  // Shift is held) until Esc.
  void StartMeasuring();
  void EndMeasuring();
  const MeasureTool& Measuring() const { return measure_; }

  // The captured selection: the surface's region under the band, as displayed, and the
  // part of the plot it shows (plotter units), for a drawing of its true size.
  const QImage& Picture2() const { return picture2_; }
  const PlotBox& CapturedPart() const { return capturedPart_; }
  void SetContextMenu(QMenu* menu) { contextMenu_ = menu; }

 private:
  void ReloadPicture();
  void ChangeView(const std::function<void(AppContext&, ViewEffects&)>& change);
  void ShowBand();
  void OpenContextMenu();
  void CaptureSelection();
  void ScrollBy(bool horizontal, int steps);
  void ScrollByMm(double dx, double dy);
  void AfterViewerZoom(const ViewState::Scaling& scaling, bool enlarging);
  void OpenContextMenuAt(const QPoint& globalPosition);
  void OpenContextMenuFromKeyboard();
  QPointF ShownCentrePx() const;
  // The plotter point under a point of the surface, and where a plotter point lies on it
  // (fractions of its size).
  PlotPoint PlotAt(QPointF surfacePx) const;
  QPointF FractionOf(PlotPoint plot) const;
  void ShowPointer(QPointF surfacePx);
  void MeasureClick(QPointF surfacePx);
  void ShowMeasuring();

  struct FileIdentity {
    std::uint64_t inode = 0;
    std::int64_t size = -1;
    std::int64_t seconds = 0;
    std::int64_t nanoseconds = 0;
    bool operator==(const FileIdentity&) const = default;
  };

  FileIdentity MetafileIdentity() const;

  PictForm& form_;
  QMenu* contextMenu_ = nullptr;
  // Gathered wheel input: zoom steps (notches) about the last anchor, and a scroll.
  double wheelZoomSteps_ = 0;
  QPointF wheelAnchorPx_;
  QPointF wheelScrollMm_;
  QTimer wheelTimer_;
  bool spaceHeld_ = false;
  bool panning_ = false;
  Qt::MouseButton panButton_ = Qt::NoButton;
  QPointF panFromGlobal_;
  QPointF panFromScroll_;
  FileIdentity loaded_;
  QImage picture2_;
  PlotBox capturedPart_;
  MeasureTool measure_;
};

}  // namespace korvid
