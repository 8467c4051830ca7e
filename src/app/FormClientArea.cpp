#include "app/FormClientArea.h"

#include <QResizeEvent>

namespace korvid {

FormClientArea::FormClientArea(QWidget* parent) : QWidget(parent) {
  setObjectName("ClientArea");
}

void FormClientArea::AttachTop(QWidget* toolbar) {
  top_ = toolbar;
  Anchor();
}

void FormClientArea::AttachBottom(QWidget* statusBar) {
  bottom_ = statusBar;
  Anchor();
}

void FormClientArea::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  Anchor();
  emit Resized();
}

void FormClientArea::Anchor() {
  if (top_) {
    top_->setGeometry(0, 0, width(), top_->sizeHint().height());
    top_->raise();
  }
  if (bottom_) {
    const int height = bottom_->sizeHint().height();
    bottom_->setGeometry(0, this->height() - height, width(), height);
    bottom_->raise();
  }
}

}  // namespace korvid
