#pragma once

#include <QLineF>
#include <QPen>
#include <vector>

#include "render/StrokeSink.h"

class QPainter;

namespace korvid {

// Draws through QPainter, on any device. Lines of one pen are collected and drawn in
// batches, because each QPainter call has a fixed cost that dominates short lines. Solid
// lines that join end to start become one polyline: a vector device (PDF, SVG, a printer)
// then stores each point once instead of twice.
// Expects the painter's transform to be the identity: points come in device pixels.
class QPainterStrokeSink : public StrokeSink {
 public:
  explicit QPainterStrokeSink(QPainter& painter);

  void SetPen(const DevicePen& pen) override;
  void Line(QPointF from, QPointF to) override;
  void Polyline(const QPointF* points, std::size_t count) override;
  void Dot(QPointF at) override;
  void Fill(const QPointF* points, const std::uint32_t* ringSizes, std::size_t rings, bool winding,
            QRgb colour) override;
  void Flush() override;

 private:
  void FlushChain();
  void FlushDots();

  QPainter& painter_;
  std::vector<QLineF> batch_;
  std::vector<QPointF> chain_;
  std::vector<QPointF> dots_;
  QPen linePen_;
  QPen dotPen_;  // a flat cap would leave a point out altogether
  bool solid_ = true;
};

}  // namespace korvid
