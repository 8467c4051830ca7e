#include "app/ProgressPanel.h"

#include <QPainter>
#include <algorithm>

namespace korvid {

namespace {

const QString kCaption = QStringLiteral("進行状況");
constexpr int kGapPx = 6;

}  // namespace

ProgressPanel::ProgressPanel(const MillimetreScale& scale, QWidget* parent)
    : QWidget(parent), scale_(scale) {
  setObjectName("ProgressPanel");
  setFixedWidth(sizeHint().width());
}

// The caption first, then the bar beside it, as a panel shows its text after its picture:
// the bar never covers the caption and keeps its full length in millimetres.
int ProgressPanel::BarLeft() const {
  return fontMetrics().horizontalAdvance(kCaption) + 2 * kGapPx;
}

QSize ProgressPanel::sizeHint() const {
  return QSize(BarLeft() + scale_.Px(kPanelWidthMm), fontMetrics().height() + 4);
}

void ProgressPanel::SetProgress(int widthMm) {
  widthMm_ = widthMm;
  repaint();
}

void ProgressPanel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setPen(palette().color(QPalette::WindowText));
  painter.drawText(rect().adjusted(kGapPx, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft, kCaption);
  const int left = BarLeft();
  const QRect bar(left, 2, std::clamp(scale_.Px(widthMm_), 0, width() - left), height() - 4);
  painter.fillRect(bar, QColor(0, 0, 255));
}

}  // namespace korvid
