#include "app/MeasureTool.h"

#include <cmath>

#include "render/MetafileDrawing.h"

namespace korvid {

namespace {

// Plotter units are whole in most files; a tenth is shown where they are not.
QString Units(double value) {
  const double tenths = std::round(value * 10) / 10;
  return QString::number(tenths, 'f', tenths == std::round(tenths) ? 0 : 1);
}

QString Mm(double value) {
  return QString::number(value, 'f', 2);
}

}  // namespace

void MeasureTool::Begin() {
  measuring_ = true;
  from_.reset();
  to_.reset();
}

void MeasureTool::End() {
  measuring_ = false;
  from_.reset();
  to_.reset();
}

void MeasureTool::Click(PlotPoint plot) {
  if (!measuring_) return;
  if (!from_ || to_) {
    from_ = plot;
    to_.reset();
  } else {
    to_ = plot;
  }
}

QString MeasureTool::Text() const {
  if (!measuring_) return {};
  if (from_ && to_) return MeasurementText(Measure(*from_, *to_));
  return from_ ? QStringLiteral("測定：終点をクリックしてください（Shift で吸着なし、Esc で終了）")
               : QStringLiteral("測定：始点をクリックしてください（Shift で吸着なし、Esc で終了）");
}

QString MeasureTool::PointerText(PlotPoint plot, const UserUnits* units) {
  const PointReading reading = ReadPoint(plot, units);
  QString text = QStringLiteral("X %1 mm  Y %2 mm（%3, %4 単位）")
                     .arg(Mm(reading.mm.x), Mm(reading.mm.y), Units(reading.plotter.x),
                          Units(reading.plotter.y));
  if (reading.hasUser) {
    text +=
        QStringLiteral("  ユーザー単位 %1, %2")
            .arg(QString::number(reading.user.x, 'g', 6), QString::number(reading.user.y, 'g', 6));
  }
  return text;
}

QString MeasureTool::MeasurementText(const Measurement& m) {
  return QStringLiteral("距離 %1 mm（%2 単位）  ΔX %3 mm  ΔY %4 mm  角度 %5°")
      .arg(Mm(m.lengthMm), Units(m.length), Mm(m.dxMm), Mm(m.dyMm),
           QString::number(m.angleDeg, 'f', 2));
}

std::optional<QPointF> NearestLineEnd(const MetafilePicture& picture, QSizeF surface, QPointF at,
                                      double withinPx) {
  const MetafilePicture::Drawing* drawing = picture.Contents();
  if (drawing == nullptr || drawing->frame.width() <= 0 || drawing->frame.height() <= 0 ||
      surface.isEmpty())
    return std::nullopt;
  const double sx = surface.width() / drawing->frame.width();
  const double sy = surface.height() / drawing->frame.height();
  const double left = drawing->frame.left();
  const double top = drawing->frame.top();
  double best = withinPx * withinPx;
  std::optional<QPointF> nearest;
  auto consider = [&](float x, float y) {
    const QPointF point((x - left) * sx, (y - top) * sy);
    const double dx = point.x() - at.x(), dy = point.y() - at.y();
    const double squared = dx * dx + dy * dy;
    if (squared <= best) {
      best = squared;
      nearest = point;
    }
  };
  for (const FrameLine& line : drawing->lines) {
    consider(line.x1, line.y1);
    consider(line.x2, line.y2);
  }
  return nearest;
}

}  // namespace korvid
