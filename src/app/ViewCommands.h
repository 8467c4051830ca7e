#pragma once

#include <QImage>
#include <QPointF>
#include <cstdint>
#include <functional>

class QMenu;
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

  void OnHScroll(int value);
  void OnVScroll(int value);
  // Beyond the scroll bars: the wheel (Shift for across, Ctrl to zoom) and the keys.
  bool Wheel(QWheelEvent* event);
  bool Key(QKeyEvent* event);

  void MousePressed(int button, QPointF positionPx);
  void MouseMoved(int buttons, QPointF positionPx);
  void MouseReleased(int button, QPointF positionPx);

  // The captured selection: the surface's region under the band, as displayed.
  const QImage& Picture2() const { return picture2_; }
  void SetContextMenu(QMenu* menu) { contextMenu_ = menu; }

 private:
  void ReloadPicture();
  void ChangeView(const std::function<void(AppContext&, ViewEffects&)>& change);
  void ShowBand();
  void OpenContextMenu();
  void CaptureSelection();
  void ScrollBy(bool horizontal, int steps, bool page);

  struct FileIdentity {
    std::uint64_t inode = 0;
    std::int64_t size = -1;
    std::int64_t seconds = 0;
    std::int64_t nanoseconds = 0;
    bool operator==(const FileIdentity&) const = default;
  };

  PictForm& form_;
  QMenu* contextMenu_ = nullptr;
  FileIdentity loaded_;
  QImage picture2_;
};

}  // namespace korvid
