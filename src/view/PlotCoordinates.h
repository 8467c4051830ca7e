#pragma once

#include <cstdint>

#include "model/PlotModel.h"
#include "model/PlotUnits.h"
#include "model/StandardPlot.h"
#include "view/BoxMm.h"

namespace korvid {

// A line drawn as thin as the device draws (Korvid's own reading's pens, a pen of no
// width) still needs room beside it at the edge of a page: this much, about a pixel of a
// screen.
inline constexpr double kHairlineRoomMm = 0.25;

// A point of a plot picture's frame: 0.01 mm, x to the right and y down from the frame's
// top-left corner.
struct FrameSpot {
  double u = 0;
  double v = 0;
};

// How a plot picture's frame holds the plot, as the drawing routines place it: the plot's
// box, `scale` frame units per plotter unit, `lead` plotter units of margin before the box
// at the left and the top (the rest of the 100-unit margin follows it), turned by `angle`
// with the rotation commands' cosine and sine, used exactly as the drawing uses them.
struct FramePlacement {
  PlotBox box;
  double scale = 1;
  double lead = 0;
  std::int16_t angle = 0;
  double cosA = 1;
  double sinA = 0;
  double frameWidth = 0;  // the picture's frame, whole frame units as the drawing rounds it
  double frameHeight = 0;
  // How far the ink reaches beyond the box, in plotter units: a page of the drawing's own
  // size leaves this much room around it.
  double inkMargin = 0;

  // Korvid's own reading: the plot at the frame's top-left corner, the margin at the
  // right and the bottom, its pens hairlines. Error 6 or 11 as the drawing fails, error 9 for a
  // plot outside the model.
  static FramePlacement OfPlot(const PlotModel& model, std::int16_t angle, double cosA,
                               double sinA);
  // A page of the standard reading: its ink box (half the widest pen beyond its lines)
  // with the margin shared out evenly. Error 6 for a page too large to draw.
  static FramePlacement OfPage(const StandardPage& page, std::int16_t angle, double cosA,
                               double sinA);

  FrameSpot ToFrame(PlotPoint plot) const;
  PlotPoint ToPlot(FrameSpot frame) const;
};

// Where the plot surface lies in the viewport, in logical pixels: its top-left corner
// (zero or negative once scrolled) and its size (the zoom), and the screen's scaling.
struct SurfaceView {
  double left = 0;
  double top = 0;
  double width = 0;
  double height = 0;
  double devicePixelRatio = 1;

  // The surface of the view's box, laid out at `pxPerMm` logical pixels per millimetre
  // in whole pixels, as the window lays it out.
  static SurfaceView OfBox(const BoxMm& surface, double pxPerMm, double devicePixelRatio = 1);
};

// A point of the viewport in the screen's device pixels.
struct DevicePoint {
  double x = 0;
  double y = 0;
};

// The plotter point under a point of the viewport, and back. The surface shows the whole
// frame stretched to its size, as the plot surface paints it.
PlotPoint PlotAtDevicePoint(const FramePlacement& placement, const SurfaceView& view,
                            DevicePoint point);
DevicePoint DevicePointOf(const FramePlacement& placement, const SurfaceView& view, PlotPoint plot);
// The same for a point of the surface itself in logical pixels, as its mouse events give it.
PlotPoint PlotAtSurfacePoint(const FramePlacement& placement, const SurfaceView& view, double x,
                             double y);

// What a read-out shows of one point.
struct PointReading {
  PlotPoint plotter;  // plotter units of the plot (the page's, after scaling, in the
                      // standard reading)
  PlotPoint mm;       // the same in millimetres
  bool hasUser = false;
  PlotPoint user;  // the file's own units (after SC, before RO) when they differ
};
PointReading ReadPoint(PlotPoint plotter, const UserUnits* units = nullptr);

// Between two plotter points: the distance and its parts, in plotter units and in
// millimetres, and the angle in degrees from the X axis, counter-clockwise (Y up), in
// (-180, 180].
struct Measurement {
  double dx = 0;
  double dy = 0;
  double length = 0;
  double dxMm = 0;
  double dyMm = 0;
  double lengthMm = 0;
  double angleDeg = 0;
};
Measurement Measure(PlotPoint from, PlotPoint to);

}  // namespace korvid
