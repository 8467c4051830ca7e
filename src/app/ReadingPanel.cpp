#include "app/ReadingPanel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

#include "app/StatusLabels.h"

namespace korvid {

ReadingPanel::ReadingPanel(QWidget* parent)
    : QWidget(parent),
      reason_(new ElidedLabel(this)),
      button_(new QToolButton(this)),
      caption_(new ElidedLabel(this)) {
  setObjectName("ReadingPanel");
  reason_->setObjectName("ReadingOfferReason");
  button_->setObjectName("RereadAsHpgl2");
  button_->setText(QStringLiteral("HP-GL/2 で読み直す"));
  caption_->setObjectName("ReadingCaption");
  caption_->setFrameShape(QFrame::StyledPanel);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(reason_);
  layout->addWidget(button_);
  layout->addWidget(caption_);
  // The bar keeps its height whether the button shows or not: the drawing area was
  // measured with it.
  setMinimumHeight(button_->sizeHint().height());
  connect(button_, &QToolButton::clicked, this, &ReadingPanel::RereadRequested);
  ShowOffer({});
}

void ReadingPanel::SetCaption(const QString& caption) {
  caption_->SetFullText(caption);
}

void ReadingPanel::ShowOffer(const QString& reason) {
  // Elided like the notice beside it when the bar is narrow; the button never gives way.
  reason_->SetFullText(reason);
  reason_->setVisible(!reason.isEmpty());
  button_->setVisible(!reason.isEmpty());
}

bool ReadingPanel::Offering() const {
  return !button_->isHidden();
}

void ReadingPanel::SetOfferEnabled(bool enabled) {
  button_->setEnabled(enabled);
}

}  // namespace korvid
