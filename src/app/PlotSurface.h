#pragma once

#include <QPointF>
#include <QRectF>
#include <QWidget>

#include "render/MetafilePicture.h"

namespace korvid {

// The drawing surface: shows the plot metafile's picture scaled to its own size, painting
// only what is exposed, with the selection band drawn over it. Mouse events are reported
// in the buttons' numbering of the view (1 left, 2 right, 4 middle).
class PlotSurface : public QWidget {
  Q_OBJECT
 public:
  explicit PlotSurface(QWidget* parent = nullptr);

  void SetPicture(MetafilePicture picture);
  void ClearPicture();
  const MetafilePicture& Picture() const { return picture_; }

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

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  MetafilePicture picture_;
  bool bandVisible_ = false;
  QRectF band_;
};

int ViewButton(Qt::MouseButton button);
int ViewButtons(Qt::MouseButtons buttons);

}  // namespace korvid
