#pragma once

#include <QRect>
#include <cmath>

#include "view/BoxMm.h"

namespace korvid {

// Millimetres of the view onto the screen's pixels, at the screen's logical resolution.
class MillimetreScale {
 public:
  explicit MillimetreScale(double dotsPerInch = 96) : pxPerMm_(dotsPerInch / 25.4) {}

  double PxPerMm() const { return pxPerMm_; }
  int Px(double mm) const { return static_cast<int>(std::lround(mm * pxPerMm_)); }
  float Mm(double px) const { return static_cast<float>(px / pxPerMm_); }
  QRect Rect(const BoxMm& box) const {
    return QRect(Px(box.Left), Px(box.Top), Px(box.Width), Px(box.Height));
  }

 private:
  double pxPerMm_;
};

}  // namespace korvid
