#include "app/StatusLabels.h"

#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <algorithm>

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
  // Room for a character and the ellipsis: the rest gives way to what is beside it.
  const QSize full = QLabel::minimumSizeHint();
  const int least = fontMetrics().horizontalAdvance(QStringLiteral("あ…")) + 2 * frameWidth();
  return QSize(std::min(full.width(), least), full.height());
}

void ElidedLabel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  drawFrame(&painter);
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

void ShareStatusBarWidth(int barWidth, int fixed, const std::vector<QLabel*>& kept, QLabel* shared,
                         QLabel* rest) {
  // The layout's own room between the items, as a status bar spaces them.
  constexpr int kGapPx = 8;
  const auto shown = [](const QLabel* label) { return label->isVisibleTo(label->parentWidget()); };
  const auto whole = [&shown](const QLabel* label) {
    return shown(label) ? label->QLabel::sizeHint().width() : 0;
  };
  const auto least = [&shown](const QLabel* label) {
    return shown(label) ? label->minimumSizeHint().width() : 0;
  };
  const auto texts = std::count_if(kept.begin(), kept.end(), shown);
  int left = barWidth - fixed - kGapPx * static_cast<int>(texts + 2);
  // What the texts after each one need at the least, so that none is squeezed out.
  int after = least(shared) + least(rest);
  for (const QLabel* label : kept)
    after += least(label);
  for (QLabel* label : kept) {
    after -= least(label);
    const int width = std::max(least(label), std::min(whole(label), left - after));
    label->setMaximumWidth(width);
    left -= width;
  }
  const int half = rest->text().isEmpty() ? left : left / 2;
  const int width = std::max(least(shared), std::min(whole(shared), half - least(rest)));
  shared->setMaximumWidth(width);
  rest->setMaximumWidth(QWIDGETSIZE_MAX);
}

ViewReadout::ViewReadout(QWidget* parent)
    : QWidget(parent),
      zoom_(new ElidedLabel(this)),
      pointer_(new ElidedLabel(this)),
      measure_(new ElidedLabel(this)) {
  setObjectName("ViewReadout");
  zoom_->setObjectName("ZoomLevel");
  pointer_->setObjectName("PointerPlace");
  measure_->setObjectName("MeasureText");
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  for (ElidedLabel* label : {measure_, pointer_, zoom_}) {
    label->setFrameShape(QFrame::StyledPanel);
    label->hide();
    layout->addWidget(label);
  }
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

void ViewReadout::ShowPointer(const QString& text) {
  pointer_->SetFullText(text);
  pointer_->setVisible(!text.isEmpty());
}

void ViewReadout::ShowMeasure(const QString& text) {
  measure_->SetFullText(text);
  measure_->setVisible(!text.isEmpty());
}

void ViewReadout::Refresh() {
  const QString text = limitText_.isEmpty() ? zoomText_ : limitText_;
  zoom_->SetFullText(text);
  zoom_->setVisible(!text.isEmpty());
}

}  // namespace korvid
