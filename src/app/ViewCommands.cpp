#include "app/ViewCommands.h"

#include <sys/stat.h>

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMenu>
#include <QWheelEvent>
#include <cerrno>
#include <cmath>
#include <functional>

#include "app/DialogService.h"
#include "app/PictForm.h"
#include "app/PlotSurface.h"
#include "app/StatusLabels.h"
#include "model/RuntimeError.h"
#include "output/DrawingExport.h"
#include "render/PlotSource.h"
#include "render/Rotation.h"
#include "view/PlotCoordinates.h"

namespace korvid {

namespace {

struct Orientation {
  std::int16_t angle;
  bool exchanged;
};

Orientation OrientationOf(int mode) {
  switch (mode) {
    case 2:
      return {90, true};
    case 3:
      return {180, false};
    case 4:
      return {270, true};
    default:
      return {0, false};
  }
}

// A wheel notch zooms by a quarter; + and - by the toolbar's step.
constexpr double kWheelZoomPerNotch = 1.25;
constexpr double kKeyZoomFactor = 2;
constexpr double kNotch = 120;  // a wheel's angle delta per notch
// A notch scrolls as many lines as the desktop says, of this many pixels each.
constexpr double kWheelLinePx = 20;
// A page keeps this share of the view in sight, to read on from.
constexpr double kPageOverlap = 0.1;

const QString kZoomInLimit = QStringLiteral("これ以上拡大できません");
const QString kZoomOutLimit = QStringLiteral("これ以上縮小できません");

class CallbackEffects : public ViewEffects {
 public:
  explicit CallbackEffects(std::function<void()> load) : load_(std::move(load)) {}
  void LoadPicture() override { load_(); }

 private:
  std::function<void()> load_;
};

}  // namespace

ViewCommands::ViewCommands(PictForm& form) : form_(form) {
  wheelTimer_.setSingleShot(true);
  wheelTimer_.setInterval(0);
  QObject::connect(&wheelTimer_, &QTimer::timeout, [this] { FlushWheel(); });
}

// The picture does not depend on the surface's size: a zoom or fit decodes the file again
// only when something else has rewritten it since it was drawn. A missing file still fails.
void ViewCommands::ReloadPicture() {
  const FileIdentity identity = MetafileIdentity();
  if (identity == loaded_ && !form_.Surface()->Picture().IsNull()) {
    form_.Surface()->update();
    return;
  }
  form_.Surface()->SetPicture(MetafilePicture::LoadFile(form_.Context().metafile.File()));
  loaded_ = identity;
}

ViewCommands::FileIdentity ViewCommands::MetafileIdentity() const {
  const FileLocation& file = form_.Context().metafile.File();
  struct stat status {};
  if (!file.Status(status)) throw RuntimeError(ErrorNumberFromErrno(errno), file.Path());
  return {status.st_ino, status.st_size, status.st_mtim.tv_sec, status.st_mtim.tv_nsec};
}

void ViewCommands::DrawAndShow(const Rotation& rotation) {
  AppContext& context = form_.Context();
  MetafilePicture picture = context.drawing.Draw(context.Setup(rotation), context.metafile.File(),
                                                 &form_.DrawingProgress());
  loaded_ = MetafileIdentity();
  form_.Surface()->SetPicture(std::move(picture));
  ShowMeasuring();
}

// Whatever a view change did before a failure stays done, and the widgets show it.
void ViewCommands::ChangeView(const std::function<void(AppContext&, ViewEffects&)>& change) {
  AppContext& context = form_.Context();
  form_.Surface()->EndZoomGesture();
  CallbackEffects reload([this] { ReloadPicture(); });
  try {
    change(context, reload);
  } catch (...) {
    form_.ApplyView();
    throw;
  }
  form_.ApplyView();
  ShowBand();
}

void ViewCommands::ZoomIn() {
  bool zoomed = true;
  ChangeView([this, &zoomed](AppContext& context, ViewEffects& effects) {
    zoomed = context.view.ZoomIn(form_.Metrics(), context.HasDrawing(), effects);
  });
  if (!zoomed && form_.Context().HasDrawing()) form_.Readout()->ShowLimit(kZoomInLimit);
}

void ViewCommands::ZoomOut() {
  bool zoomed = true;
  ChangeView([this, &zoomed](AppContext& context, ViewEffects& effects) {
    zoomed = context.view.ZoomOut(form_.Metrics(), context.HasDrawing(), effects);
  });
  if (!zoomed && form_.Context().HasDrawing()) form_.Readout()->ShowLimit(kZoomOutLimit);
}

void ViewCommands::FitToWindow() {
  ChangeView([this](AppContext& context, ViewEffects& effects) {
    context.view.FitToWindow(form_.Metrics(), context.ShownExtents(), context.HasDrawing(),
                             effects);
  });
}

void ViewCommands::ShowRotated(int mode) {
  AppContext& context = form_.Context();
  if (!context.HasDrawing()) return;
  const Orientation orientation = OrientationOf(mode);
  form_.OpenProgress(5);
  try {
    form_.Surface()->ClearPicture();
    context.view.FitForOrientation(form_.Metrics(), context.ShownExtents(), orientation.exchanged);
    form_.ApplyView();
    DrawAndShow(RotationForAngle(orientation.angle));
    form_.SetProgress(50);
    context.view.RotationMode = static_cast<float>(mode);
    context.view.VScroll1.Visible = false;
    context.view.HScroll1.Visible = false;
  } catch (...) {
    form_.ApplyView();
    form_.CloseProgress();
    throw;
  }
  form_.ApplyView();
  ShowBand();
  form_.CloseProgress();
}

void ViewCommands::Redraw() {
  AppContext& context = form_.Context();
  if (!context.HasDrawing()) return;
  const float rotationMode = context.view.RotationMode;
  const int mode = rotationMode >= 1 && rotationMode <= 4 ? static_cast<int>(rotationMode) : 1;
  const Orientation orientation = OrientationOf(mode);
  const Rotation rotation = RotationForAngle(orientation.angle);
  form_.OpenProgress(5);
  try {
    DrawAndShow(rotation);
    // A selection shown is what a save or copy takes: it shows the new pens too.
    if (context.band.Visible) CaptureSelection();
  } catch (...) {
    form_.CloseProgress();
    throw;
  }
  form_.CloseProgress();
}

void ViewCommands::OnHScroll(int value) {
  form_.Surface()->EndZoomGesture();
  form_.Context().view.ScrollHorizontally(static_cast<std::int16_t>(value));
  form_.ApplyView();
}

void ViewCommands::OnVScroll(int value) {
  form_.Surface()->EndZoomGesture();
  form_.Context().view.ScrollVertically(static_cast<std::int16_t>(value));
  form_.ApplyView();
}

void ViewCommands::ScrollBy(bool horizontal, int steps) {
  ViewState& view = form_.Context().view;
  ScrollBarModel& bar = horizontal ? view.HScroll1 : view.VScroll1;
  if (!bar.Visible || steps == 0) return;
  const int value =
      std::clamp(bar.Value() + steps * std::max<int>(bar.SmallChange, 1), 0, int{bar.Max()});
  if (horizontal) {
    OnHScroll(value);
  } else {
    OnVScroll(value);
  }
}

void ViewCommands::ScrollByMm(double dx, double dy) {
  AppContext& context = form_.Context();
  if (!context.HasDrawing() || (dx == 0 && dy == 0)) return;
  form_.Surface()->EndZoomGesture();
  ViewState& view = context.view;
  view.ScrollTo(form_.Metrics(), static_cast<float>(view.ScrollX() + dx),
                static_cast<float>(view.ScrollY() + dy));
  form_.ApplyView();
}

bool ViewCommands::Wheel(const QWheelEvent& event, QPointF viewportPx) {
  if (!form_.Context().HasDrawing()) return false;
  QPointF notches = QPointF(event.angleDelta()) / kNotch;
  if (event.modifiers() & Qt::ControlModifier) {
    wheelZoomSteps_ += notches.y() != 0 ? notches.y() : notches.x();
    wheelAnchorPx_ = viewportPx;
  } else {
    // A touchpad says how far it moved; a wheel, by how many notches.
    const double pxPerMm = form_.Scale().PxPerMm();
    QPointF mm = event.pixelDelta().isNull()
                     ? notches * QApplication::wheelScrollLines() * kWheelLinePx / pxPerMm
                     : QPointF(event.pixelDelta()) / pxPerMm;
    const ViewState& view = form_.Context().view;
    const bool across = (event.modifiers() & Qt::ShiftModifier) ||
                        (!view.VScroll1.Visible && view.HScroll1.Visible);
    if (across && mm.x() == 0) mm = QPointF(mm.y(), 0);
    wheelScrollMm_ -= mm;
  }
  wheelTimer_.start();
  return true;
}

void ViewCommands::FlushWheel() {
  wheelTimer_.stop();
  const double steps = wheelZoomSteps_;
  const QPointF scroll = wheelScrollMm_;
  wheelZoomSteps_ = 0;
  wheelScrollMm_ = {};
  form_.RunGuarded([&] {
    if (steps != 0) {
      // Notch after notch shows at once, scaled from the last drawing; the drawing follows
      // when the wheel rests.
      const double factor = std::pow(kWheelZoomPerNotch, steps);
      form_.Surface()->ZoomGestureStep(factor);
      ZoomAbout(factor, wheelAnchorPx_);
    }
    ScrollByMm(scroll.x(), scroll.y());
  });
}

void ViewCommands::ZoomAbout(double factor, QPointF viewportPx) {
  AppContext& context = form_.Context();
  if (!context.HasDrawing()) return;
  const MillimetreScale& scale = form_.Scale();
  const ViewState::Scaling scaling = context.view.ZoomAbout(
      form_.Metrics(), factor, scale.Mm(viewportPx.x()), scale.Mm(viewportPx.y()));
  AfterViewerZoom(scaling, factor > 1);
}

void ViewCommands::ZoomToSelection() {
  AppContext& context = form_.Context();
  if (!context.HasDrawing() || !context.band.Visible) return;
  form_.Surface()->EndZoomGesture();
  const ViewState::Scaling scaling = context.view.ZoomToBox(form_.Metrics(), context.band.Shape);
  AfterViewerZoom(scaling, true);
}

// The band follows the drawing it marks: the selection it captured stays the one shown.
void ViewCommands::AfterViewerZoom(const ViewState::Scaling& scaling, bool enlarging) {
  if (!scaling.Changed()) {
    form_.Readout()->ShowLimit(enlarging ? kZoomInLimit : kZoomOutLimit);
    return;
  }
  BoxMm& band = form_.Context().band.Shape;
  band.Left *= scaling.x;
  band.Width *= scaling.x;
  band.Top *= scaling.y;
  band.Height *= scaling.y;
  form_.ApplyView();
  ShowBand();
}

void ViewCommands::Relayout() {
  AppContext& context = form_.Context();
  if (!context.HasDrawing()) return;
  form_.Surface()->EndZoomGesture();
  context.view.Relayout(form_.Metrics());
  form_.ApplyView();
  ShowBand();
}

QPointF ViewCommands::ShownCentrePx() const {
  const ViewState& view = form_.Context().view;
  const WindowMetrics metrics = form_.Metrics();
  const double pxPerMm = form_.Scale().PxPerMm();
  return QPointF(view.ShownWidth(metrics), view.ShownHeight(metrics)) * pxPerMm / 2;
}

bool ViewCommands::Key(QKeyEvent* event) {
  const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
  const bool shift = modifiers == Qt::ShiftModifier;
  if (event->key() == Qt::Key_Menu || (event->key() == Qt::Key_F10 && shift)) {
    OpenContextMenuFromKeyboard();
    return true;
  }
  AppContext& context = form_.Context();
  if (!context.HasDrawing() ||
      (modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
    return false;
  const ViewState& view = context.view;
  const WindowMetrics metrics = form_.Metrics();
  const double pageDown = view.ShownHeight(metrics) * (1 - kPageOverlap);
  const double pageAcross = view.ShownWidth(metrics) * (1 - kPageOverlap);
  switch (event->key()) {
    case Qt::Key_Escape:
      if (!measure_.Measuring()) return false;
      EndMeasuring();
      return true;
    case Qt::Key_Left:
      ScrollBy(true, -1);
      return true;
    case Qt::Key_Right:
      ScrollBy(true, 1);
      return true;
    case Qt::Key_Up:
      ScrollBy(false, -1);
      return true;
    case Qt::Key_Down:
      ScrollBy(false, 1);
      return true;
    case Qt::Key_PageUp:
      shift ? ScrollByMm(-pageAcross, 0) : ScrollByMm(0, -pageDown);
      return true;
    case Qt::Key_PageDown:
      shift ? ScrollByMm(pageAcross, 0) : ScrollByMm(0, pageDown);
      return true;
    case Qt::Key_Home:
      ScrollByMm(-view.ScrollX(), -view.ScrollY());
      return true;
    case Qt::Key_End:
      ScrollByMm(view.Picture3.Width, view.Picture3.Height);
      return true;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
      form_.Surface()->EndZoomGesture();
      ZoomAbout(kKeyZoomFactor, ShownCentrePx());
      return true;
    case Qt::Key_Minus:
      form_.Surface()->EndZoomGesture();
      ZoomAbout(1 / kKeyZoomFactor, ShownCentrePx());
      return true;
    case Qt::Key_Space:
      if (!event->isAutoRepeat()) {
        spaceHeld_ = true;
        if (!panning_) form_.Surface()->setCursor(Qt::OpenHandCursor);
      }
      return true;
    default:
      return false;
  }
}

bool ViewCommands::KeyReleased(QKeyEvent* event) {
  if (event->key() != Qt::Key_Space || event->isAutoRepeat()) return false;
  spaceHeld_ = false;
  if (!panning_) form_.Surface()->unsetCursor();
  return true;
}

void ViewCommands::FocusLost() {
  spaceHeld_ = false;
  if (!panning_) form_.Surface()->unsetCursor();
}

bool ViewCommands::Pan(QMouseEvent* event) {
  const ViewState& view = form_.Context().view;
  switch (event->type()) {
    case QEvent::MouseButtonPress: {
      if (panning_) return true;  // another button during a pan does nothing
      const bool panButton =
          event->button() == Qt::MiddleButton || (event->button() == Qt::LeftButton && spaceHeld_);
      if (!panButton || !form_.Context().HasDrawing()) return false;
      panning_ = true;
      panButton_ = event->button();
      panFromGlobal_ = event->globalPosition();
      panFromScroll_ = QPointF(view.ScrollX(), view.ScrollY());
      form_.Surface()->setCursor(Qt::ClosedHandCursor);
      return true;
    }
    case QEvent::MouseMove: {
      if (!panning_) return false;
      const QPointF movedMm = (event->globalPosition() - panFromGlobal_) / form_.Scale().PxPerMm();
      const QPointF to = panFromScroll_ - movedMm;
      ScrollByMm(to.x() - view.ScrollX(), to.y() - view.ScrollY());
      return true;
    }
    case QEvent::MouseButtonRelease:
      if (!panning_) return false;
      if (event->button() == panButton_) {
        panning_ = false;
        if (spaceHeld_) {
          form_.Surface()->setCursor(Qt::OpenHandCursor);
        } else {
          form_.Surface()->unsetCursor();
        }
      }
      return true;
    default:
      return false;
  }
}

void ViewCommands::ShowBand() {
  const SelectionBand& band = form_.Context().band;
  const MillimetreScale& scale = form_.Scale();
  const QRectF bandPx(band.Shape.Left * scale.PxPerMm(), band.Shape.Top * scale.PxPerMm(),
                      band.Shape.Width * scale.PxPerMm(), band.Shape.Height * scale.PxPerMm());
  form_.Surface()->SetBand(band.Visible, bandPx);
  // Only a band shown can be zoomed to.
  if (QAction* zoom = form_.Action(QStringLiteral("ZoomToSelection")))
    zoom->setEnabled(band.Visible && form_.Context().HasDrawing());
}

void ViewCommands::OpenContextMenu() {
  OpenContextMenuAt(QCursor::pos());
}

void ViewCommands::OpenContextMenuAt(const QPoint& globalPosition) {
  if (!contextMenu_) return;
  form_.Context().dialogs.PopupMenu(*contextMenu_, globalPosition);
}

// From the keyboard the menu opens at the pointer when it is over the drawing, else in the
// middle of the view.
void ViewCommands::OpenContextMenuFromKeyboard() {
  if (!form_.Context().HasDrawing()) return;
  QWidget* viewport = form_.Viewport();
  const QPoint pointer = viewport->mapFromGlobal(QCursor::pos());
  const QRect shown = viewport->rect() & form_.Surface()->geometry();
  const QPoint at = shown.contains(pointer) ? pointer : shown.center();
  OpenContextMenuAt(viewport->mapToGlobal(at));
}

void ViewCommands::MousePressed(int button, QPointF positionPx) {
  if (measure_.Measuring() && button == SelectionBand::kLeftButton &&
      form_.Context().HasDrawing()) {
    form_.RunGuarded([&] { MeasureClick(positionPx); });
    return;
  }
  const MillimetreScale& scale = form_.Scale();
  const SelectionBand::Action action =
      form_.Context().band.MouseDown(button, scale.Mm(positionPx.x()), scale.Mm(positionPx.y()));
  ShowBand();
  if (action == SelectionBand::Action::OpenContextMenu) OpenContextMenu();
}

void ViewCommands::MouseMoved(int buttons, QPointF positionPx) {
  AppContext& context = form_.Context();
  const MillimetreScale& scale = form_.Scale();
  const SelectionBand::Action action = context.band.MouseMove(
      buttons, scale.Mm(positionPx.x()), scale.Mm(positionPx.y()), context.FileLoaded());
  ShowBand();
  if (action == SelectionBand::Action::OpenContextMenu) OpenContextMenu();
  form_.RunGuarded([&] { ShowPointer(positionPx); });
}

void ViewCommands::MouseLeft() {
  form_.Readout()->ShowPointer({});
}

PlotPoint ViewCommands::PlotAt(QPointF surfacePx) const {
  const AppContext& context = form_.Context();
  const QSize size = form_.Surface()->size();
  const SurfaceView view{0, 0, static_cast<double>(size.width()),
                         static_cast<double>(size.height())};
  return PlotAtSurfacePoint(context.drawing.Placement(context.view.Angle()), view, surfacePx.x(),
                            surfacePx.y());
}

QPointF ViewCommands::FractionOf(PlotPoint plot) const {
  const AppContext& context = form_.Context();
  const FramePlacement placement = context.drawing.Placement(context.view.Angle());
  if (placement.frameWidth <= 0 || placement.frameHeight <= 0) return {};
  const FrameSpot spot = placement.ToFrame(plot);
  return {spot.u / placement.frameWidth, spot.v / placement.frameHeight};
}

void ViewCommands::ShowPointer(QPointF surfacePx) {
  const AppContext& context = form_.Context();
  if (!context.HasDrawing() || !context.drawn) {
    form_.Readout()->ShowPointer({});
    return;
  }
  form_.Readout()->ShowPointer(
      MeasureTool::PointerText(PlotAt(surfacePx), context.drawing.FileUnits()));
}

void ViewCommands::StartMeasuring() {
  if (!form_.Context().HasDrawing()) return;
  measure_.Begin();
  form_.Surface()->setCursor(Qt::CrossCursor);
  ShowMeasuring();
}

void ViewCommands::EndMeasuring() {
  if (!measure_.Measuring()) return;
  measure_.End();
  form_.Surface()->unsetCursor();
  ShowMeasuring();
}

void ViewCommands::MeasureClick(QPointF surfacePx) {
  PlotSurface* surface = form_.Surface();
  PlotPoint plot = PlotAt(surfacePx);
  if (!(surface->PressModifiers() & Qt::ShiftModifier)) {
    if (const std::optional<QPointF> end = NearestLineEnd(
            surface->Picture(), QSizeF(surface->size()), surfacePx, MeasureTool::kSnapPixels)) {
      // The picture holds the turned plot to a fraction of a plotter unit; a plotter draws
      // in whole ones, and so an end point is where the plot has it.
      const PlotPoint near = PlotAt(*end);
      plot = {std::round(near.x), std::round(near.y)};
    }
  }
  measure_.Click(plot);
  ShowMeasuring();
}

// The marks follow the drawing: they are placed again after every turn.
void ViewCommands::ShowMeasuring() {
  form_.Readout()->ShowMeasure(measure_.Text());
  const std::optional<PlotPoint> from = measure_.From();
  const std::optional<PlotPoint> to = measure_.To();
  if (!from || !form_.Context().HasDrawing()) {
    form_.Surface()->SetMeasureMarks(std::nullopt, std::nullopt);
    return;
  }
  if (!to) {
    form_.Surface()->SetMeasureMarks(FractionOf(*from), std::nullopt);
    return;
  }
  form_.Surface()->SetMeasureMarks(
      FractionOf(*from), FractionOf(*to),
      QStringLiteral("%1 mm").arg(Measure(*from, *to).lengthMm, 0, 'f', 2));
}

void ViewCommands::MouseReleased(int button, QPointF) {
  const SelectionBand::Action action = form_.Context().band.MouseUp(button);
  ShowBand();
  if (action == SelectionBand::Action::Capture) {
    form_.RunGuarded([this] { CaptureSelection(); });
  }
}

void ViewCommands::CaptureSelection() {
  const BoxMm& shape = form_.Context().band.Shape;
  const MillimetreScale& scale = form_.Scale();
  const QRect region(scale.Px(shape.Left), scale.Px(shape.Top), scale.Px(shape.Width),
                     scale.Px(shape.Height));
  picture2_ = QImage();
  const double ratio = form_.Surface()->devicePixelRatioF();
  if (region.width() * ratio * region.height() * ratio > kLargestImagePixels) {
    throw RuntimeError(err::kPictureTooLarge);
  }
  QImage captured = form_.Surface()->RenderRegion(region);
  if (captured.isNull() && !region.isEmpty()) throw RuntimeError(err::kPictureTooLarge);
  picture2_ = std::move(captured);
  // The same region in the plot's own units, whatever the zoom and the turn.
  const AppContext& context = form_.Context();
  const FramePlacement placement = context.drawing.Placement(context.view.Angle());
  const QSize surface = form_.Surface()->size();
  const SurfaceView view{0, 0, static_cast<double>(surface.width()),
                         static_cast<double>(surface.height())};
  capturedPart_ = {};
  for (const QPoint corner : {region.topLeft(), region.bottomRight() + QPoint(1, 1)})
    capturedPart_.Include(PlotAtSurfacePoint(placement, view, corner.x(), corner.y()));
}

}  // namespace korvid
