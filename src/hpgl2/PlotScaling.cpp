#include "hpgl2/PlotScaling.h"

#include <algorithm>
#include <cmath>

namespace korvid {

namespace {

bool Usable(double factor) {
  return std::isfinite(factor) && factor != 0 && std::fabs(factor) < 1e12 &&
         std::fabs(factor) > 1e-12;
}

}  // namespace

void PlotScaling::Reset() {
  p1_ = kDefaultP1;
  p2_ = kDefaultP2;
  scaled_ = false;
  scaleCount_ = 0;
}

bool PlotScaling::SetP1P2(PlotPoint p1, PlotPoint p2) {
  if (p1.x == p2.x || p1.y == p2.y) return false;
  const PlotPoint oldP1 = p1_, oldP2 = p2_;
  p1_ = p1;
  p2_ = p2;
  if (!Recompute()) {
    p1_ = oldP1;
    p2_ = oldP2;
    Recompute();
    return false;
  }
  return true;
}

bool PlotScaling::SetP1(PlotPoint p1) {
  return SetP1P2(p1, {p1.x + (p2_.x - p1_.x), p1.y + (p2_.y - p1_.y)});
}

bool PlotScaling::SetRelative(const double* percent, int count) {
  const PlotPoint low = kDefaultP1, high = kDefaultP2;
  auto at = [&](double px, double py) {
    return PlotPoint{low.x + (high.x - low.x) * px / 100, low.y + (high.y - low.y) * py / 100};
  };
  if (count >= 4) return SetP1P2(at(percent[0], percent[1]), at(percent[2], percent[3]));
  if (count >= 2) return SetP1(at(percent[0], percent[1]));
  Reset();
  return true;
}

bool PlotScaling::SetScale(const double* values, int count) {
  if (count < 4) {
    scaled_ = false;
    scaleCount_ = 0;
    return count == 0;
  }
  const bool wasScaled = scaled_;
  double old[7];
  std::copy(scale_, scale_ + 7, old);
  const int oldCount = scaleCount_;
  scaleCount_ = std::min(count, 7);
  std::copy(values, values + scaleCount_, scale_);
  scaled_ = true;
  if (Recompute()) return true;
  std::copy(old, old + 7, scale_);
  scaleCount_ = oldCount;
  scaled_ = wasScaled;
  Recompute();
  return false;
}

// SC xmin,xmax,ymin,ymax[,type[,left,bottom]] or SC xmin,xfactor,ymin,yfactor,2.
bool PlotScaling::Recompute() {
  if (!scaled_) return true;
  const int type = scaleCount_ >= 5 ? static_cast<int>(scale_[4]) : 0;
  const double xmin = scale_[0], ymin = scale_[2];
  double fx = 0, fy = 0, ox = p1_.x, oy = p1_.y;
  if (type == 2) {
    fx = scale_[1];
    fy = scale_[3];
  } else {
    const double xmax = scale_[1], ymax = scale_[3];
    fx = (p2_.x - p1_.x) / (xmax - xmin);
    fy = (p2_.y - p1_.y) / (ymax - ymin);
    if (type == 1 && Usable(fx) && Usable(fy)) {
      // Isotropic: one factor for both axes, the spare room shared out by left and
      // bottom (percent, 50 = centred).
      const double left = scaleCount_ >= 6 ? scale_[5] : 50;
      const double bottom = scaleCount_ >= 7 ? scale_[6] : 50;
      const double f = std::min(std::fabs(fx), std::fabs(fy));
      const double spareX = (std::fabs(fx) - f) * std::fabs(xmax - xmin);
      const double spareY = (std::fabs(fy) - f) * std::fabs(ymax - ymin);
      ox += std::copysign(spareX * std::clamp(left, 0.0, 100.0) / 100, p2_.x - p1_.x);
      oy += std::copysign(spareY * std::clamp(bottom, 0.0, 100.0) / 100, p2_.y - p1_.y);
      fx = std::copysign(f, fx);
      fy = std::copysign(f, fy);
    }
  }
  if (!Usable(fx) || !Usable(fy)) return false;
  factorX_ = fx;
  factorY_ = fy;
  offsetX_ = ox - fx * xmin;
  offsetY_ = oy - fy * ymin;
  return std::isfinite(offsetX_) && std::isfinite(offsetY_);
}

}  // namespace korvid
