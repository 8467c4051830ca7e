#include "app/PlotSurface.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

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
  const qreal ratio = devicePixelRatioF();
  QImage part(exposed.size() * ratio, QImage::Format_RGB32);
  part.setDevicePixelRatio(ratio);
  part.fill(Qt::white);
  {
    QPainter partPainter(&part);
    partPainter.translate(-exposed.topLeft());
    picture_.Paint(partPainter, QRectF(rect()));
  }
  painter.drawImage(exposed.topLeft(), part);
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

QImage PlotSurface::RenderRegion(const QRect& regionPx) const {
  QImage image(regionPx.size(), QImage::Format_RGB32);
  if (image.isNull()) return image;
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.translate(-regionPx.topLeft());
  picture_.Paint(painter, QRectF(rect()));
  return image;
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
