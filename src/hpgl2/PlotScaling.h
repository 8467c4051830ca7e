#pragma once

#include <optional>

#include "model/StandardPlot.h"

namespace korvid {

// The scaling points P1 and P2 (IP, IR), plotter units.
struct ScalingPoints {
  PlotPoint p1;
  PlotPoint p2;
};

// SC's parameters as given: fewer than four numbers is no scaling.
struct ScaleSetting {
  double values[7] = {};
  int count = 0;

  bool On() const { return count >= 4; }
};

// The hard-clip limits: the area the device can draw on, from (0, 0) to (width, height) in
// the unrotated coordinate system. A stand-alone plot sets them with PS; without it they
// are the sheet the 7475A's default P1 and P2 (letter size) are centred on, used only to
// turn the plot about (RO) and never to cut it.
struct HardClipLimits {
  static constexpr PlotPoint kDefaultP1{250, 596};
  static constexpr PlotPoint kDefaultP2{10250, 7796};

  double width = kDefaultP1.x + kDefaultP2.x;
  double height = kDefaultP1.y + kDefaultP2.y;
  bool setByPlotSize = false;  // PS: what lies beyond them is not drawn

  // P1 and P2 as IN, IP without parameters and PS place them, in the coordinate system
  // turned by `rotation` degrees: the default frame, or with PS the limits themselves.
  ScalingPoints DefaultPoints(int rotation) const;
  bool operator==(const HardClipLimits&) const = default;
};

// plotter = offset + factor * user, per axis, from P1, P2 and SC.
class PlotTransform {
 public:
  // Empty when the factors would be zero, tiny or not finite: the instruction that asks
  // for it is refused and the previous scaling stays.
  static std::optional<PlotTransform> Of(const ScalingPoints& points, const ScaleSetting& scale);

  bool Scaled() const { return scaled_; }
  AxisScaling Scaling() const { return {scaled_, factorX_, factorY_, offsetX_, offsetY_}; }
  PlotPoint ToPlotter(PlotPoint user) const { return Scaling().ToPlotter(user); }
  PlotPoint ToUser(PlotPoint plotter) const {
    if (!scaled_) return plotter;
    return {(plotter.x - offsetX_) / factorX_, (plotter.y - offsetY_) / factorY_};
  }
  // User units as a page keeps them, with the plot turned by `rotation` degrees about
  // the hard-clip limits `limits`.
  UserUnits Units(int rotation, const HardClipLimits& limits) const {
    return {scaled_, factorX_, factorY_, offsetX_, offsetY_, rotation, limits.width, limits.height};
  }
  // A distance along X or Y in user units, in plotter units.
  double XUnits(double user) const { return scaled_ ? user * factorX_ : user; }
  double YUnits(double user) const { return scaled_ ? user * factorY_ : user; }

 private:
  bool scaled_ = false;
  double factorX_ = 1, factorY_ = 1, offsetX_ = 0, offsetY_ = 0;
};

// IP with two points: refused when they share an X or a Y.
std::optional<ScalingPoints> PointsOf(PlotPoint p1, PlotPoint p2);
// IP with one point: P2 follows P1, keeping its distance.
ScalingPoints MovedP1(const ScalingPoints& points, PlotPoint p1);
// IR: P1 (and P2) in percent of the default frame `frame`; two values move P1 alone.
std::optional<ScalingPoints> RelativePoints(const ScalingPoints& frame,
                                            const ScalingPoints& current, const double* percent,
                                            int count);

}  // namespace korvid
