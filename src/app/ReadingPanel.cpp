#include "app/ReadingPanel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

namespace korvid {

ReadingPanel::ReadingPanel(QWidget* parent)
    : QWidget(parent),
      reason_(new QLabel(this)),
      button_(new QToolButton(this)),
      caption_(new QLabel(this)) {
  setObjectName("ReadingPanel");
  reason_->setObjectName("ReadingOfferReason");
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
  connect(button_, &QToolButton::clicked, this, [this] {
    if (offer_ == Offer::kPenZeroAsPenOne) {
      emit PenZeroRequested();
    } else {
      emit RereadRequested();
    }
  });
  ShowOffer({});
}

void ReadingPanel::SetCaption(const QString& caption) {
  caption_->setText(caption);
}

void ReadingPanel::ShowOffer(const QString& reason, Offer offer) {
  offer_ = offer;
  const bool penZero = offer == Offer::kPenZeroAsPenOne;
  button_->setObjectName(penZero ? "PenZeroAsPenOne" : "RereadAsHpgl2");
  button_->setText(penZero ? QStringLiteral("ペン0をペン1として表示")
                           : QStringLiteral("HP-GL/2 で読み直す"));
  reason_->setText(reason);
  reason_->setToolTip(reason);
  // The notice beside it gives way first: the reason is what the button is about.
  reason_->setMinimumWidth(reason.isEmpty() ? 0 : reason_->sizeHint().width());
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
