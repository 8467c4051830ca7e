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

ScalingPoints HardClipLimits::DefaultPoints(int rotation) const {
  const bool quarterTurn = rotation == 90 || rotation == 270;
  if (setByPlotSize) {
    return {{0, 0}, quarterTurn ? PlotPoint{height, width} : PlotPoint{width, height}};
  }
  // The default frame is centred on the sheet, so that turned by a half turn it is itself.
  if (quarterTurn) return {{kDefaultP1.y, kDefaultP1.x}, {kDefaultP2.y, kDefaultP2.x}};
  return {kDefaultP1, kDefaultP2};
}

std::optional<ScalingPoints> PointsOf(PlotPoint p1, PlotPoint p2) {
  if (p1.x == p2.x || p1.y == p2.y) return std::nullopt;
  return ScalingPoints{p1, p2};
}

ScalingPoints MovedP1(const ScalingPoints& points, PlotPoint p1) {
  return {p1, {p1.x + (points.p2.x - points.p1.x), p1.y + (points.p2.y - points.p1.y)}};
}

std::optional<ScalingPoints> RelativePoints(const ScalingPoints& frame,
                                            const ScalingPoints& current, const double* percent,
                                            int count) {
  const PlotPoint low = frame.p1, high = frame.p2;
  auto at = [&](double px, double py) {
    return PlotPoint{low.x + (high.x - low.x) * px / 100, low.y + (high.y - low.y) * py / 100};
  };
  if (count >= 4) return PointsOf(at(percent[0], percent[1]), at(percent[2], percent[3]));
  if (count >= 2) {
    const ScalingPoints moved = MovedP1(current, at(percent[0], percent[1]));
    return PointsOf(moved.p1, moved.p2);
  }
  return frame;
}

// SC xmin,xmax,ymin,ymax[,type[,left,bottom]] or SC xmin,xfactor,ymin,yfactor,2.
std::optional<PlotTransform> PlotTransform::Of(const ScalingPoints& points,
                                               const ScaleSetting& scale) {
  PlotTransform transform;
  if (!scale.On()) return transform;
  const double* s = scale.values;
  const PlotPoint p1 = points.p1, p2 = points.p2;
  const int type = scale.count >= 5 ? static_cast<int>(s[4]) : 0;
  const double xmin = s[0], ymin = s[2];
  double fx = 0, fy = 0, ox = p1.x, oy = p1.y;
  if (type == 2) {
    fx = s[1];
    fy = s[3];
  } else {
    const double xmax = s[1], ymax = s[3];
    fx = (p2.x - p1.x) / (xmax - xmin);
    fy = (p2.y - p1.y) / (ymax - ymin);
    if (type == 1 && Usable(fx) && Usable(fy)) {
      // Isotropic: one factor for both axes, the spare room shared out by left and
      // bottom (percent, 50 = centred).
      const double left = scale.count >= 6 ? s[5] : 50;
      const double bottom = scale.count >= 7 ? s[6] : 50;
      const double f = std::min(std::fabs(fx), std::fabs(fy));
      const double spareX = (std::fabs(fx) - f) * std::fabs(xmax - xmin);
      const double spareY = (std::fabs(fy) - f) * std::fabs(ymax - ymin);
      ox += std::copysign(spareX * std::clamp(left, 0.0, 100.0) / 100, p2.x - p1.x);
      oy += std::copysign(spareY * std::clamp(bottom, 0.0, 100.0) / 100, p2.y - p1.y);
      fx = std::copysign(f, fx);
      fy = std::copysign(f, fy);
    }
  }
  if (!Usable(fx) || !Usable(fy)) return std::nullopt;
  transform.scaled_ = true;
  transform.factorX_ = fx;
  transform.factorY_ = fy;
  transform.offsetX_ = ox - fx * xmin;
  transform.offsetY_ = oy - fy * ymin;
  if (!std::isfinite(transform.offsetX_) || !std::isfinite(transform.offsetY_)) return std::nullopt;
  return transform;
}

}  // namespace korvid
