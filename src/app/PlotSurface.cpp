#include "app/PlotSurface.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QtMath>

#include "render/ImageFill.h"

namespace korvid {

int ViewButton(Qt::MouseButton button) {
  switch (button) {
    case Qt::LeftButton:
      return 1;
    case Qt::RightButton:
      return 2;
    case Qt::MiddleButton:
      return 4;
    default:
      return 0;
  }
}

int ViewButtons(Qt::MouseButtons buttons) {
  int held = 0;
  if (buttons & Qt::LeftButton) held |= 1;
  if (buttons & Qt::RightButton) held |= 2;
  if (buttons & Qt::MiddleButton) held |= 4;
  return held;
}

PlotSurface::PlotSurface(QWidget* parent) : QWidget(parent) {
  setObjectName("Picture3");
  setAttribute(Qt::WA_OpaquePaintEvent);
  setContextMenuPolicy(Qt::PreventContextMenu);
}

void PlotSurface::SetPicture(MetafilePicture picture) {
  picture_ = std::move(picture);
  update();
}

void PlotSurface::ClearPicture() {
  SetPicture(MetafilePicture());
}

void PlotSurface::SetBand(bool visible, const QRectF& bandPx) {
  if (visible == bandVisible_ && bandPx == band_) return;
  const QRect old = band_.toAlignedRect().adjusted(-2, -2, 2, 2);
  bandVisible_ = visible;
  band_ = bandPx;
  update(old);
  update(band_.toAlignedRect().adjusted(-2, -2, 2, 2));
}

void PlotSurface::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  // The picture draws many times faster into an image than onto a widget: only the
  // exposed part is rendered, then copied.
  const QRect exposed = event->rect();
  painter.drawImage(exposed.topLeft(), RenderAt(exposed, devicePixelRatioF()));
  if (bandVisible_) {
    painter.setClipping(false);
    QPen pen(QColor(0, 120, 215));
    pen.setStyle(Qt::DashLine);
    pen.setCosmetic(true);
    painter.setPen(pen);
    painter.setBrush(QColor(0, 120, 215, 32));
    painter.drawRect(band_);
  }
}

// Laid out in the widget's logical pixels, painted in the screen's: on a scaled screen the
// image has as many pixels as the screen shows, and says so by its pixel ratio.
QImage PlotSurface::RenderAt(const QRect& regionPx, qreal ratio) const {
  const QSize pixels(qCeil(regionPx.width() * ratio), qCeil(regionPx.height() * ratio));
  QImage image(pixels, QImage::Format_RGB32);
  if (image.isNull()) return image;
  image.setDevicePixelRatio(ratio);
  FillImage(image, qRgb(255, 255, 255));
  QPainter painter(&image);
  painter.translate(-regionPx.topLeft());
  picture_.Paint(painter, QRectF(rect()));
  return image;
}

QImage PlotSurface::RenderRegion(const QRect& regionPx) const {
  return RenderAt(regionPx, devicePixelRatioF());
}

void PlotSurface::mousePressEvent(QMouseEvent* event) {
  emit MousePressed(ViewButton(event->button()), event->position());
}

void PlotSurface::mouseMoveEvent(QMouseEvent* event) {
  emit MouseMoved(ViewButtons(event->buttons()), event->position());
}

void PlotSurface::mouseReleaseEvent(QMouseEvent* event) {
  emit MouseReleased(ViewButton(event->button()), event->position());
}

}  // namespace korvid
