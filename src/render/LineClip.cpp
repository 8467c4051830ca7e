#include "render/LineClip.h"

namespace korvid {

namespace {

// Narrows [enter, leave] by the half-plane p * t <= q.
bool Narrow(double p, double q, double& enter, double& leave) {
  if (p == 0) return q >= 0;
  const double t = q / p;
  if (p < 0) {
    if (t > leave) return false;
    if (t > enter) enter = t;
  } else {
    if (t < enter) return false;
    if (t < leave) leave = t;
  }
  return true;
}

}  // namespace

bool ClipLine(QPointF& from, QPointF& to, const QRectF& box) {
  const double dx = to.x() - from.x();
  const double dy = to.y() - from.y();
  double enter = 0;
  double leave = 1;
  if (!Narrow(-dx, from.x() - box.left(), enter, leave) ||
      !Narrow(dx, box.right() - from.x(), enter, leave) ||
      !Narrow(-dy, from.y() - box.top(), enter, leave) ||
      !Narrow(dy, box.bottom() - from.y(), enter, leave))
    return false;
  const QPointF start = from;
  if (leave < 1) to = start + QPointF(dx * leave, dy * leave);
  if (enter > 0) from = start + QPointF(dx * enter, dy * enter);
  return true;
}

}  // namespace korvid
