#pragma once

#include "model/StandardPlot.h"

namespace korvid {

// P1 and P2 (IP, IR) and the user units of SC: plotter = offset + factor * user, per
// axis. Every setter refuses what would make the factors zero or not finite and keeps
// the previous state instead.
class PlotScaling {
 public:
  // The 7475A's P1 and P2 on an A4 sheet, and its hard-clip limits.
  static constexpr PlotPoint kDefaultP1{250, 596};
  static constexpr PlotPoint kDefaultP2{10250, 7796};

  void Reset();  // IN: default P1, P2; no scaling
  bool SetP1P2(PlotPoint p1, PlotPoint p2);
  bool SetP1(PlotPoint p1);                            // P2 follows, keeping its distance
  bool SetRelative(const double* percent, int count);  // IR
  // SC with its parameters (count 0 = scaling off). False when refused.
  bool SetScale(const double* values, int count);

  bool Scaled() const { return scaled_; }
  PlotPoint P1() const { return p1_; }
  PlotPoint P2() const { return p2_; }

  PlotPoint ToPlotter(PlotPoint user) const {
    if (!scaled_) return user;
    return {offsetX_ + factorX_ * user.x, offsetY_ + factorY_ * user.y};
  }
  PlotPoint ToUser(PlotPoint plotter) const {
    if (!scaled_) return plotter;
    return {(plotter.x - offsetX_) / factorX_, (plotter.y - offsetY_) / factorY_};
  }
  // User units as a page keeps them, with the plot turned by `rotation` degrees.
  UserUnits Units(int rotation) const {
    return {scaled_, factorX_, factorY_, offsetX_, offsetY_, rotation};
  }
  // A distance along X or Y in user units, in plotter units.
  double XUnits(double user) const { return scaled_ ? user * factorX_ : user; }
  double YUnits(double user) const { return scaled_ ? user * factorY_ : user; }

 private:
  bool Recompute();

  PlotPoint p1_ = kDefaultP1;
  PlotPoint p2_ = kDefaultP2;
  bool scaled_ = false;
  double scale_[7] = {};
  int scaleCount_ = 0;
  double factorX_ = 1, factorY_ = 1, offsetX_ = 0, offsetY_ = 0;
};

}  // namespace korvid
