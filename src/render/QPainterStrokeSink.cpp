#include "render/QPainterStrokeSink.h"

#include <QList>
#include <QPainter>
#include <QPen>

namespace korvid {

namespace {

constexpr std::size_t kBatchLines = 4096;

QPen ToQPen(const DevicePen& pen) {
  const QColor colour = QColor::fromRgb(pen.colour);
  if (!pen.Hairline()) return QPen(colour, pen.width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  // Flat caps leave out the end point of a line, as GDI's LineTo does.
  QPen hairline(colour, 0, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
  if (!pen.Solid()) {
    // A hairline's pattern is measured in pixels: its width counts as one.
    hairline.setDashPattern(QList<qreal>(pen.dashes.begin(), pen.dashes.begin() + pen.dashCount));
  }
  return hairline;
}

}  // namespace

QPainterStrokeSink::QPainterStrokeSink(QPainter& painter) : painter_(painter) {
  batch_.reserve(kBatchLines);
}

void QPainterStrokeSink::SetPen(const DevicePen& pen) {
  Flush();
  painter_.setPen(ToQPen(pen));
  solid_ = pen.Solid();
}

void QPainterStrokeSink::Line(QPointF from, QPointF to) {
  batch_.emplace_back(from, to);
  if (batch_.size() == kBatchLines) Flush();
}

void QPainterStrokeSink::Polyline(const QPointF* points, std::size_t count) {
  if (solid_) {
    // Without a pattern to carry on, the pieces join the batch like any other lines.
    for (std::size_t i = 1; i < count; ++i)
      Line(points[i - 1], points[i]);
    return;
  }
  Flush();
  painter_.drawPolyline(points, static_cast<int>(count));
}

void QPainterStrokeSink::Flush() {
  if (batch_.empty()) return;
  painter_.drawLines(batch_.data(), static_cast<int>(batch_.size()));
  batch_.clear();
}

}  // namespace korvid
