#include "app/PlotSurface.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <QtMath>
#include <algorithm>

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
  setMouseTracking(true);        // the pointer's place is read out without a button held
  gestureRest_.setParent(this);  // found among the surface's children by what waits for it
  gestureRest_.setSingleShot(true);
  gestureRest_.setInterval(kGestureRestMilliseconds);
  connect(&gestureRest_, &QTimer::timeout, this, [this] { update(); });
}

void PlotSurface::SetPicture(MetafilePicture picture) {
  gestureRest_.stop();  // nothing drawn before can stand for a new picture
  image_.SetPicture(std::move(picture));
  update();
}

void PlotSurface::ClearPicture() {
  SetPicture(MetafilePicture());
}

void PlotSurface::ZoomGestureStep(double factor) {
  const double growth = std::max(1.0, factor * factor);
  if (gestureRest_.isActive() || image_.LastWholeMilliseconds() * growth > quickDrawMs_)
    gestureRest_.start();
}

void PlotSurface::EndZoomGesture() {
  if (!gestureRest_.isActive()) return;
  gestureRest_.stop();
  update();
}

void PlotSurface::SetMeasureMarks(std::optional<QPointF> from, std::optional<QPointF> to,
                                  const QString& label) {
  if (from == measureFrom_ && to == measureTo_ && label == measureLabel_) return;
  measureFrom_ = from;
  measureTo_ = to;
  measureLabel_ = label;
  // The image keeps the picture: painting it again only copies.
  update();
}

void PlotSurface::SetBand(bool visible, const QRectF& bandPx) {
  if (visible == bandVisible_ && bandPx == band_) return;
  const QRect old = band_.toAlignedRect().adjusted(-2, -2, 2, 2);
  bandVisible_ = visible;
  band_ = bandPx;
  update(old);
  update(band_.toAlignedRect().adjusted(-2, -2, 2, 2));
}

QRect PlotSurface::VisiblePart() const {
  const QWidget* viewport = parentWidget();
  if (!viewport) return rect();
  return rect() & QRect(-pos(), viewport->size());
}

void PlotSurface::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const qreal ratio = devicePixelRatioF();
  const QRect visible = VisiblePart();
  if (gestureRest_.isActive()) {
    image_.Preview(visible, size(), ratio);
  } else {
    image_.Follow(visible, size(), ratio);
  }
  if (!image_.Image().isNull()) painter.drawImage(image_.Rect().topLeft(), image_.Image());
  // The image keeps what is in sight; anything else asked for (a grab of the whole
  // surface) is drawn on its own.
  for (const QRect& beyond : QRegion(event->rect()).subtracted(QRegion(image_.Rect())))
    painter.drawImage(beyond.topLeft(), image_.Render(beyond, size(), ratio));
  if (measureFrom_) {
    painter.setClipping(false);
    painter.setRenderHint(QPainter::Antialiasing);
    const auto at = [this](QPointF fraction) {
      return QPointF(fraction.x() * width(), fraction.y() * height());
    };
    const QPointF from = at(*measureFrom_);
    QPen pen(QColor(220, 40, 40));
    pen.setCosmetic(true);
    pen.setWidthF(1.5);
    painter.setPen(pen);
    constexpr double kArm = 5;
    const auto cross = [&painter](QPointF end) {
      painter.drawLine(end - QPointF(kArm, 0), end + QPointF(kArm, 0));
      painter.drawLine(end - QPointF(0, kArm), end + QPointF(0, kArm));
    };
    cross(from);
    if (measureTo_) cross(at(*measureTo_));
    if (measureTo_) {
      const QPointF to = at(*measureTo_);
      painter.drawLine(from, to);
      if (!measureLabel_.isEmpty()) {
        // On a white plate beside the middle of the line, readable over any drawing.
        const QRectF text =
            painter.fontMetrics().boundingRect(measureLabel_).toRectF().adjusted(-3, -1, 3, 1);
        const QRectF plate = text.translated((from + to) / 2 + QPointF(8, -8) - text.bottomLeft());
        painter.fillRect(plate, QColor(255, 255, 255, 220));
        painter.drawText(plate, Qt::AlignCenter, measureLabel_);
      }
    }
    painter.setRenderHint(QPainter::Antialiasing, false);
  }
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
  return image_.Render(regionPx, size(), ratio);
}

QImage PlotSurface::RenderRegion(const QRect& regionPx) const {
  return RenderAt(regionPx, devicePixelRatioF());
}

void PlotSurface::mousePressEvent(QMouseEvent* event) {
  pressModifiers_ = event->modifiers();
  emit MousePressed(ViewButton(event->button()), event->position());
}

void PlotSurface::mouseMoveEvent(QMouseEvent* event) {
  emit MouseMoved(ViewButtons(event->buttons()), event->position());
}

void PlotSurface::mouseReleaseEvent(QMouseEvent* event) {
  emit MouseReleased(ViewButton(event->button()), event->position());
}

void PlotSurface::leaveEvent(QEvent* event) {
  QWidget::leaveEvent(event);
  emit MouseLeft();
}

}  // namespace korvid
