#pragma once

#include <QPointF>
#include <QRectF>
#include <QTimer>
#include <QWidget>
#include <optional>

#include "app/SurfaceImage.h"
#include "render/MetafilePicture.h"

namespace korvid {

// The drawing surface: shows the plot metafile's picture scaled to its own size, from an
// image of the part in sight that is drawn again only where it has to be, with the
// selection band drawn over it. Mouse events are reported in the buttons' numbering of
// the view (1 left, 2 right, 4 middle).
class PlotSurface : public QWidget {
  Q_OBJECT
 public:
  // How long a zoom gesture (the wheel's notches) rests before its last size is drawn.
  static constexpr int kGestureRestMilliseconds = 40;
  // A view drawn within a frame of the screen is drawn at every step of a gesture.
  static constexpr double kQuickDrawMilliseconds = 16;

  explicit PlotSurface(QWidget* parent = nullptr);

  void SetPicture(MetafilePicture picture);
  void ClearPicture();
  const MetafilePicture& Picture() const { return image_.Picture(); }

  // The sizes of a zoom gesture show at once, scaled from the last drawing, when drawing
  // the view takes longer than `quickDraw` milliseconds; the drawing follows once no step
  // has come for kGestureRestMilliseconds. Quicker drawings are drawn at every step. A step
  // that enlarges the view `factor` times is reckoned to take factor squared times as long
  // as the last drawing: its pens grow `factor` times, and a pen that grows beyond a pixel
  // is stroked several times slower than a hairline.
  void ZoomGestureStep(double factor = 1);
  void SetQuickDraw(double milliseconds) { quickDrawMs_ = milliseconds; }
  // The gesture's last size drawn now.
  void EndZoomGesture();
  bool InZoomGesture() const { return gestureRest_.isActive(); }
  // The part of the surface in sight in the viewport, in its pixels.
  QRect VisiblePart() const;
  // What is on the screen, as the surface keeps it.
  const SurfaceImage& Shown() const { return image_; }

  // A measurement's marks, as fractions of the surface's width and height (where the
  // picture's frame puts them): a cross at the first point and, with a second, the line
  // between them, labelled with `label` at its middle. None hides them.
  void SetMeasureMarks(std::optional<QPointF> from, std::optional<QPointF> to,
                       const QString& label = {});
  const QString& MeasureLabel() const { return measureLabel_; }

  // The keys held at the last press of a button.
  Qt::KeyboardModifiers PressModifiers() const { return pressModifiers_; }

  // The band in pixels of the surface; an empty optional hides it.
  void SetBand(bool visible, const QRectF& bandPx);

  // The displayed drawing at the surface's size, or the part of it in `regionPx`
  // (logical pixels), in the screen's own pixels.
  QImage RenderRegion(const QRect& regionPx) const;
  QImage RenderAt(const QRect& regionPx, qreal devicePixelRatio) const;

 signals:
  void MousePressed(int button, QPointF positionPx);
  void MouseMoved(int buttons, QPointF positionPx);
  void MouseReleased(int button, QPointF positionPx);
  void MouseLeft();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  SurfaceImage image_;
  QTimer gestureRest_;
  double quickDrawMs_ = kQuickDrawMilliseconds;
  std::optional<QPointF> measureFrom_;
  std::optional<QPointF> measureTo_;
  QString measureLabel_;
  Qt::KeyboardModifiers pressModifiers_;
  bool bandVisible_ = false;
  QRectF band_;
};

int ViewButton(Qt::MouseButton button);
int ViewButtons(Qt::MouseButtons buttons);

}  // namespace korvid
