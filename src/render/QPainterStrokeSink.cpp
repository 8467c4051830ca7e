#include "render/QPainterStrokeSink.h"

#include <QList>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPolygonF>

namespace korvid {

namespace {

constexpr std::size_t kBatchLines = 4096;

Qt::PenCapStyle CapOf(PenEnds ends) {
  switch (ends) {
    case PenEnds::kSquare:
      return Qt::SquareCap;
    case PenEnds::kFlat:
      return Qt::FlatCap;
    case PenEnds::kRound:
      break;
  }
  return Qt::RoundCap;
}

Qt::PenJoinStyle JoinOf(PenJoins joins) {
  switch (joins) {
    case PenJoins::kBevel:
      return Qt::BevelJoin;
    case PenJoins::kMiter:
      // Bevelled beyond the limit, as HP-GL/2, PDF and SVG have it; Qt's own miter clips
      // the spike instead, which at a turn back along the line runs on far past it.
      return Qt::SvgMiterJoin;
    case PenJoins::kRound:
      break;
  }
  return Qt::RoundJoin;
}

QPen ToQPen(const DevicePen& pen) {
  const QColor colour = QColor::fromRgb(pen.colour);
  if (!pen.Hairline()) {
    QPen wide(colour, pen.width, Qt::SolidLine, CapOf(pen.ends), JoinOf(pen.joins));
    wide.setMiterLimit(pen.miterLimit);
    return wide;
  }
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
  linePen_ = ToQPen(pen);
  // Every device draws a point as a disc (round cap) or square of the pen's width, one
  // device pixel for a hairline; dashes mean nothing to a dot.
  dotPen_ = linePen_;
  dotPen_.setStyle(Qt::SolidLine);
  // A dot of a flat-ended pen is still a square of its width, as a plotter marks it.
  if (pen.Hairline() || pen.ends == PenEnds::kFlat) dotPen_.setCapStyle(Qt::SquareCap);
  painter_.setPen(linePen_);
  solid_ = pen.Solid();
}

void QPainterStrokeSink::Dot(QPointF at) {
  dots_.push_back(at);
  if (dots_.size() == kBatchLines) FlushDots();
}

void QPainterStrokeSink::FlushDots() {
  if (dots_.empty()) return;
  painter_.setPen(dotPen_);
  painter_.drawPoints(dots_.data(), static_cast<int>(dots_.size()));
  painter_.setPen(linePen_);
  dots_.clear();
}

void QPainterStrokeSink::Line(QPointF from, QPointF to) {
  // Each dashed line starts its own pattern, as separate moves and lines do.
  if (solid_) {
    if (!chain_.empty() && chain_.back() == from) {
      chain_.push_back(to);
      // Drawn a stretch at a time: the painter strokes a polyline whole, and a polyline of
      // millions of points takes it gigabytes. The next stretch begins with this one's last
      // line, so that the corner between them is drawn as the polyline would draw it.
      if (chain_.size() == kBatchLines) {
        painter_.drawPolyline(chain_.data(), static_cast<int>(chain_.size()));
        chain_.erase(chain_.begin(), chain_.end() - 2);
      }
      return;
    }
    FlushChain();
    chain_ = {from, to};
    return;
  }
  batch_.emplace_back(from, to);
  if (batch_.size() == kBatchLines) Flush();
}

void QPainterStrokeSink::Polyline(const QPointF* points, std::size_t count) {
  if (count < 2) return;
  if (solid_) {
    for (std::size_t i = 1; i < count; ++i)
      Line(points[i - 1], points[i]);
    return;
  }
  Flush();
  painter_.drawPolyline(points, static_cast<int>(count));
}

void QPainterStrokeSink::Fill(const QPointF* points, const std::uint32_t* ringSizes,
                              std::size_t rings, bool winding, QRgb colour) {
  Flush();
  QPainterPath path;
  path.setFillRule(winding ? Qt::WindingFill : Qt::OddEvenFill);
  for (std::size_t ring = 0; ring < rings; ++ring) {
    const auto size = static_cast<qsizetype>(ringSizes[ring]);
    if (size >= 2) {
      path.addPolygon(QPolygonF(QList<QPointF>(points, points + size)));
      path.closeSubpath();
    }
    points += size;
  }
  painter_.setPen(Qt::NoPen);
  painter_.setBrush(QColor::fromRgb(colour));
  painter_.drawPath(path);
  painter_.setBrush(Qt::NoBrush);
  painter_.setPen(linePen_);
}

// A chain of two points is a lone line: it waits in the batch for others.
void QPainterStrokeSink::FlushChain() {
  if (chain_.size() == 2) {
    batch_.emplace_back(chain_[0], chain_[1]);
    if (batch_.size() == kBatchLines) {
      painter_.drawLines(batch_.data(), static_cast<int>(batch_.size()));
      batch_.clear();
    }
  } else if (chain_.size() > 2) {
    painter_.drawPolyline(chain_.data(), static_cast<int>(chain_.size()));
  }
  chain_.clear();
}

void QPainterStrokeSink::Flush() {
  FlushDots();
  FlushChain();
  if (batch_.empty()) return;
  painter_.drawLines(batch_.data(), static_cast<int>(batch_.size()));
  batch_.clear();
}

}  // namespace korvid
