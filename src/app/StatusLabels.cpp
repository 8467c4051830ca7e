#include "app/StatusLabels.h"

#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>

namespace korvid {

ElidedLabel::ElidedLabel(QWidget* parent) : QLabel(parent) {
  setTextFormat(Qt::PlainText);
}

void ElidedLabel::SetFullText(const QString& text) {
  setText(text);
  setToolTip(text);
  setAccessibleName(text);
  update();
}

QString ElidedLabel::ShownText() const {
  return fontMetrics().elidedText(text(), Qt::ElideRight, contentsRect().width());
}

void ElidedLabel::SetClickable(bool clickable) {
  clickable_ = clickable;
  if (clickable) {
    setCursor(Qt::PointingHandCursor);
  } else {
    unsetCursor();
  }
}

QSize ElidedLabel::minimumSizeHint() const {
  // Room for the ellipsis and a character or two: the rest gives way to what is beside it.
  const QSize full = QLabel::minimumSizeHint();
  return QSize(std::min(full.width(), fontMetrics().horizontalAdvance(QStringLiteral("…")) * 4),
               full.height());
}

void ElidedLabel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  style()->drawItemText(&painter, contentsRect(), Qt::AlignVCenter | Qt::AlignLeft, palette(),
                        isEnabled(), ShownText(), foregroundRole());
}

void ElidedLabel::mouseReleaseEvent(QMouseEvent* event) {
  if (clickable_ && event->button() == Qt::LeftButton &&
      rect().contains(event->position().toPoint())) {
    emit Clicked();
    return;
  }
  QLabel::mouseReleaseEvent(event);
}

ViewReadout::ViewReadout(QWidget* parent) : QWidget(parent), zoom_(new QLabel(this)) {
  setObjectName("ViewReadout");
  zoom_->setObjectName("ZoomLevel");
  zoom_->setFrameShape(QFrame::StyledPanel);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(zoom_);
  limitTimer_.setSingleShot(true);
  limitTimer_.setInterval(kLimitNoticeMilliseconds);
  connect(&limitTimer_, &QTimer::timeout, this, [this] {
    limitText_.clear();
    Refresh();
  });
  Refresh();
}

QString ViewReadout::ZoomText(double percent) {
  if (!(percent > 0)) return {};
  // Below 10 % a whole number would say too little.
  return QStringLiteral("表示倍率 %1%").arg(percent, 0, 'f', percent < 10 ? 1 : 0);
}

void ViewReadout::ShowZoom(double percent) {
  zoomText_ = ZoomText(percent);
  Refresh();
}

void ViewReadout::ShowLimit(const QString& text) {
  limitText_ = text;
  limitTimer_.start();
  Refresh();
}

void ViewReadout::Refresh() {
  const QString text = limitText_.isEmpty() ? zoomText_ : limitText_;
  zoom_->setText(text);
  zoom_->setAccessibleName(text);
  zoom_->setVisible(!text.isEmpty());
}

}  // namespace korvid
