#include "app/ViewCommands.h"

#include <sys/stat.h>

#include <QCursor>
#include <QKeyEvent>
#include <QMenu>
#include <QWheelEvent>
#include <cerrno>
#include <functional>

#include "app/DialogService.h"
#include "app/PictForm.h"
#include "app/PlotSurface.h"
#include "model/RuntimeError.h"
#include "output/DrawingExport.h"
#include "render/PlotSource.h"
#include "render/Rotation.h"

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

class CallbackEffects : public ViewEffects {
 public:
  explicit CallbackEffects(std::function<void()> load) : load_(std::move(load)) {}
  void LoadPicture() override { load_(); }

 private:
  std::function<void()> load_;
};

}  // namespace

ViewCommands::ViewCommands(PictForm& form) : form_(form) {}

// The picture does not depend on the surface's size: a zoom or fit decodes the file again
// only when the drawing routine has rewritten it since. A missing file still fails.
void ViewCommands::ReloadPicture() {
  const FileLocation& file = form_.Context().metafile.File();
  struct stat status {};
  if (!file.Status(status)) throw RuntimeError(ErrorNumberFromErrno(errno), file.Path());
  const FileIdentity identity{status.st_ino, status.st_size, status.st_mtim.tv_sec,
                              status.st_mtim.tv_nsec};
  if (identity == loaded_ && !form_.Surface()->Picture().IsNull()) {
    form_.Surface()->update();
    return;
  }
  form_.Surface()->SetPicture(MetafilePicture::LoadFile(file));
  loaded_ = identity;
}

// Whatever a view change did before a failure stays done, and the widgets show it.
void ViewCommands::ChangeView(const std::function<void(AppContext&, ViewEffects&)>& change) {
  AppContext& context = form_.Context();
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
  ChangeView([this](AppContext& context, ViewEffects& effects) {
    context.view.ZoomIn(form_.Metrics(), context.HasDrawing(), effects);
  });
}

void ViewCommands::ZoomOut() {
  ChangeView([this](AppContext& context, ViewEffects& effects) {
    context.view.ZoomOut(form_.Metrics(), context.HasDrawing(), effects);
  });
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
    const Rotation rotation = RotationForAngle(orientation.angle);
    context.drawing.Draw({rotation, context.settings}, context.metafile.File(),
                         &form_.DrawingProgress());
    ReloadPicture();
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

void ViewCommands::OnHScroll(int value) {
  form_.Context().view.ScrollHorizontally(static_cast<std::int16_t>(value));
  form_.ApplyView();
}

void ViewCommands::OnVScroll(int value) {
  form_.Context().view.ScrollVertically(static_cast<std::int16_t>(value));
  form_.ApplyView();
}

void ViewCommands::ScrollBy(bool horizontal, int steps, bool page) {
  ViewState& view = form_.Context().view;
  ScrollBarModel& bar = horizontal ? view.HScroll1 : view.VScroll1;
  if (!bar.Visible || steps == 0) return;
  const int step = page ? bar.LargeChange : bar.SmallChange;
  const int value = std::clamp(bar.Value() + steps * std::max(step, 1), 0, int{bar.Max()});
  if (horizontal) {
    OnHScroll(value);
  } else {
    OnVScroll(value);
  }
}

bool ViewCommands::Wheel(QWheelEvent* event) {
  const QPoint delta = event->angleDelta();
  const int notches = (delta.y() != 0 ? delta.y() : delta.x()) / 120;
  if (notches == 0) return false;
  if (event->modifiers() & Qt::ControlModifier) {
    form_.RunGuarded([this, notches] { notches > 0 ? ZoomIn() : ZoomOut(); });
    return true;
  }
  const ViewState& view = form_.Context().view;
  const bool horizontal = (event->modifiers() & Qt::ShiftModifier) || delta.y() == 0 ||
                          (!view.VScroll1.Visible && view.HScroll1.Visible);
  ScrollBy(horizontal, -notches, false);
  return true;
}

bool ViewCommands::Key(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Left:
      ScrollBy(true, -1, false);
      return true;
    case Qt::Key_Right:
      ScrollBy(true, 1, false);
      return true;
    case Qt::Key_Up:
      ScrollBy(false, -1, false);
      return true;
    case Qt::Key_Down:
      ScrollBy(false, 1, false);
      return true;
    case Qt::Key_PageUp:
      ScrollBy(false, -1, true);
      return true;
    case Qt::Key_PageDown:
      ScrollBy(false, 1, true);
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
}

void ViewCommands::OpenContextMenu() {
  if (contextMenu_) form_.Context().dialogs.PopupMenu(*contextMenu_, QCursor::pos());
}

void ViewCommands::MousePressed(int button, QPointF positionPx) {
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
}

}  // namespace korvid
