#include "view/PlotCoordinates.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "model/PlotExtents.h"
#include "model/RuntimeError.h"
#include "model/ValueConversion.h"

namespace korvid {

namespace {

constexpr double kHairlineMargin = kHairlineRoomMm / 2 * kPlotterUnitsPerMm;

bool QuarterTurn(std::int16_t angle) {
  return angle == 90 || angle == 270;
}

// The rotation's constant terms: the turned picture is moved back into the frame by the
// plot's scaled width or height with the lead on both sides.
FrameSpot TurnOffset(const FramePlacement& p) {
  const double width = (p.box.Width() + 2 * p.lead) * p.scale;
  const double height = (p.box.Height() + 2 * p.lead) * p.scale;
  switch (p.angle) {
    case 90:
      return {height, 0};
    case 180:
      return {width, height};
    case 270:
      return {0, width};
    default:
      return {0, 0};
  }
}

bool Turned(std::int16_t angle) {
  return angle == 90 || angle == 180 || angle == 270;
}

}  // namespace

FramePlacement FramePlacement::OfPlot(const PlotModel& model, std::int16_t angle, double cosA,
                                      double sinA) {
  const PlotExtents extents = PlotExtents::OfCurrentPlot(model);
  // In single precision, step by step, as the drawing routine computes its scale.
  const float width = ToSingle(static_cast<double>(extents.MaxX) - extents.MinX);
  const float height = ToSingle(static_cast<double>(extents.MaxY) - extents.MinY);
  const float scale =
      ToSingle(std::min(CheckedDivide(kLongestPictureSide, width + kPictureMarginPlotterUnits),
                        CheckedDivide(kLongestPictureSide, height + kPictureMarginPlotterUnits)));
  const auto side = [scale](float length) {
    return static_cast<double>(
        RoundToInt32(ToSingle(static_cast<double>(scale) * (length + kPictureMarginPlotterUnits))));
  };
  FramePlacement placement;
  // Measured from the left and the top edge, as the drawing measures.
  placement.box = {extents.MinX, extents.MaxY - static_cast<double>(height),
                   extents.MinX + static_cast<double>(width), extents.MaxY, false};
  placement.scale = scale;
  placement.angle = angle;
  placement.cosA = cosA;
  placement.sinA = sinA;
  placement.frameWidth = side(QuarterTurn(angle) ? height : width);
  placement.frameHeight = side(QuarterTurn(angle) ? width : height);
  placement.inkMargin = kHairlineMargin;
  return placement;
}

FramePlacement FramePlacement::OfPage(const StandardPage& page, std::int16_t angle, double cosA,
                                      double sinA) {
  FramePlacement placement;
  placement.box = InkBoxOf(page);
  if (placement.box.empty) placement.box = {0, 0, 0, 0, false};
  const double width = placement.box.Width();
  const double height = placement.box.Height();
  placement.scale = std::min(kLongestPictureSide / (width + kPictureMarginPlotterUnits),
                             kLongestPictureSide / (height + kPictureMarginPlotterUnits));
  if (!std::isfinite(placement.scale) || placement.scale <= 0) throw RuntimeError(err::kOverflow);
  placement.lead = kPictureMarginPlotterUnits / 2;
  placement.angle = angle;
  placement.cosA = cosA;
  placement.sinA = sinA;
  const auto side = [&](double length) {
    return static_cast<double>(
        std::lround(placement.scale * (length + kPictureMarginPlotterUnits)));
  };
  placement.frameWidth = side(QuarterTurn(angle) ? height : width);
  placement.frameHeight = side(QuarterTurn(angle) ? width : height);
  placement.inkMargin = page.widestPenMm > 0 ? 0 : kHairlineMargin;
  return placement;
}

FrameSpot FramePlacement::ToFrame(PlotPoint plot) const {
  const double x = (plot.x - box.minX + lead) * scale;
  const double y = (box.maxY - plot.y + lead) * scale;
  if (!Turned(angle)) return {x, y};
  const FrameSpot offset = TurnOffset(*this);
  return {offset.u + cosA * x - sinA * y, offset.v + sinA * x + cosA * y};
}

PlotPoint FramePlacement::ToPlot(FrameSpot frame) const {
  double x = frame.u;
  double y = frame.v;
  if (Turned(angle)) {
    // The inverse of the turn as drawn, with its inexact cosine and sine.
    const FrameSpot offset = TurnOffset(*this);
    const double a = frame.u - offset.u;
    const double b = frame.v - offset.v;
    const double determinant = cosA * cosA + sinA * sinA;
    x = (cosA * a + sinA * b) / determinant;
    y = (cosA * b - sinA * a) / determinant;
  }
  return {x / scale + box.minX - lead, box.maxY + lead - y / scale};
}

SurfaceView SurfaceView::OfBox(const BoxMm& surface, double pxPerMm, double devicePixelRatio) {
  const auto px = [pxPerMm](double mm) { return static_cast<double>(std::lround(mm * pxPerMm)); };
  return {px(surface.Left), px(surface.Top), px(surface.Width), px(surface.Height),
          devicePixelRatio};
}

PlotPoint PlotAtSurfacePoint(const FramePlacement& placement, const SurfaceView& view, double x,
                             double y) {
  const double width = std::max(view.width, 1.0);
  const double height = std::max(view.height, 1.0);
  return placement.ToPlot({x * placement.frameWidth / width, y * placement.frameHeight / height});
}

PlotPoint PlotAtDevicePoint(const FramePlacement& placement, const SurfaceView& view,
                            DevicePoint point) {
  const double ratio = view.devicePixelRatio > 0 ? view.devicePixelRatio : 1;
  return PlotAtSurfacePoint(placement, view, point.x / ratio - view.left,
                            point.y / ratio - view.top);
}

DevicePoint DevicePointOf(const FramePlacement& placement, const SurfaceView& view,
                          PlotPoint plot) {
  const FrameSpot frame = placement.ToFrame(plot);
  const double ratio = view.devicePixelRatio > 0 ? view.devicePixelRatio : 1;
  const double x = frame.u * view.width / std::max(placement.frameWidth, 1.0);
  const double y = frame.v * view.height / std::max(placement.frameHeight, 1.0);
  return {(x + view.left) * ratio, (y + view.top) * ratio};
}

PointReading ReadPoint(PlotPoint plotter, const UserUnits* units) {
  PointReading reading;
  reading.plotter = plotter;
  reading.mm = {plotter.x / kPlotterUnitsPerMm, plotter.y / kPlotterUnitsPerMm};
  if (units != nullptr && units->Differ()) {
    reading.hasUser = true;
    reading.user = units->ToUser(plotter);
  }
  return reading;
}

Measurement Measure(PlotPoint from, PlotPoint to) {
  Measurement m;
  m.dx = to.x - from.x;
  m.dy = to.y - from.y;
  m.length = std::hypot(m.dx, m.dy);
  m.dxMm = m.dx / kPlotterUnitsPerMm;
  m.dyMm = m.dy / kPlotterUnitsPerMm;
  m.lengthMm = m.length / kPlotterUnitsPerMm;
  m.angleDeg = m.length == 0 ? 0 : std::atan2(m.dy, m.dx) * 180 / std::numbers::pi;
  if (m.angleDeg == -180) m.angleDeg = 180;
  return m;
}

}  // namespace korvid
