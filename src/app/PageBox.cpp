#include "app/PageBox.h"

#include <QImage>
#include <QPainter>
#include <QtMath>

#include "render/PaintShare.h"

namespace korvid {

PageBox::PageBox(QWidget* parent) : QWidget(parent) {
  setObjectName("Picture2");
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void PageBox::ShowSheet(const MetafilePicture& picture, const QSizeF& pictureSize,
                        const QRectF& source, const QRectF& destination) {
  picture_ = picture;
  pictureSize_ = pictureSize;
  source_ = source;
  destination_ = destination;
  update();
}

void PageBox::Clear() {
  ShowSheet(MetafilePicture(), {}, {}, {});
}

void PageBox::PaintSheet(QPainter& painter) const {
  painter.fillRect(rect(), Qt::white);
  PaintShare(painter, picture_, pictureSize_, source_, destination_);
}

QImage PageBox::Render() const {
  const qreal ratio = devicePixelRatioF();
  QImage image(qCeil(width() * ratio), qCeil(height() * ratio), QImage::Format_RGB32);
  image.setDevicePixelRatio(ratio);
  QPainter painter(&image);
  PaintSheet(painter);
  return image;
}

void PageBox::paintEvent(QPaintEvent*) {
  // Through an image: the picture draws far faster there than onto a widget.
  QPainter painter(this);
  painter.drawImage(0, 0, Render());
}

}  // namespace korvid
