#pragma once

#include <QLineF>
#include <vector>

#include "render/StrokeSink.h"

class QPainter;

namespace korvid {

// Draws through QPainter, on any device. Lines of one pen are collected and drawn in
// batches, because each QPainter call has a fixed cost that dominates short lines.
// Expects the painter's transform to be the identity: points come in device pixels.
class QPainterStrokeSink : public StrokeSink {
 public:
  explicit QPainterStrokeSink(QPainter& painter);

  void SetPen(const DevicePen& pen) override;
  void Line(QPointF from, QPointF to) override;
  void Polyline(const QPointF* points, std::size_t count) override;
  void Flush() override;

 private:
  QPainter& painter_;
  std::vector<QLineF> batch_;
  bool solid_ = true;
};

}  // namespace korvid
