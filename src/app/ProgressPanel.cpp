#include "app/ProgressPanel.h"

#include <QPainter>

namespace korvid {

ProgressPanel::ProgressPanel(const MillimetreScale& scale, QWidget* parent)
    : QWidget(parent), scale_(scale) {
  setObjectName("ProgressPanel");
  setFixedWidth(scale_.Px(kPanelWidthMm));
}

QSize ProgressPanel::sizeHint() const {
  return QSize(scale_.Px(kPanelWidthMm), fontMetrics().height() + 4);
}

void ProgressPanel::SetProgress(int widthMm) {
  widthMm_ = widthMm;
  repaint();
}

void ProgressPanel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect bar(0, 2, std::min(scale_.Px(widthMm_), width()), height() - 4);
  painter.fillRect(bar, QColor(0, 0, 255));
  painter.setPen(palette().color(QPalette::WindowText));
  painter.drawText(rect().adjusted(4, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft,
                   QStringLiteral("進行状況"));
}

}  // namespace korvid
