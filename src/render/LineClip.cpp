#include "render/LineClip.h"

#include "model/SegmentClip.h"

namespace korvid {

bool ClipLine(QPointF& from, QPointF& to, const QRectF& box) {
  double x1 = from.x(), y1 = from.y(), x2 = to.x(), y2 = to.y();
  if (!ClipSegmentToBox(box.left(), box.top(), box.right(), box.bottom(), x1, y1, x2, y2))
    return false;
  from = {x1, y1};
  to = {x2, y2};
  return true;
}

}  // namespace korvid
