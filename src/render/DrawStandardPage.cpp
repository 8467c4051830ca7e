#include "render/DrawStandardPage.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "model/PlotExtents.h"
#include "model/RuntimeError.h"
#include "model/ValueConversion.h"
#include "render/EmfWriter.h"

namespace korvid {

namespace {

constexpr double kLongestSide = 32767;
constexpr double kMarginPlotterUnits = 100;

class PagePlacement {
 public:
  PagePlacement(const PlotExtents& extents, std::int16_t angle, double cosA, double sinA)
      : extents_(extents), angle_(angle), cosA_(cosA), sinA_(sinA) {
    width_ = static_cast<double>(extents.MaxX) - extents.MinX;
    height_ = static_cast<double>(extents.MaxY) - extents.MinY;
    scale_ = std::min(CheckedDivide(kLongestSide, width_ + kMarginPlotterUnits),
                      CheckedDivide(kLongestSide, height_ + kMarginPlotterUnits));
  }

  EmfWriter::Rect Frame() const {
    const bool quarterTurn = angle_ == 90 || angle_ == 270;
    return {0, 0, Side(quarterTurn ? height_ : width_), Side(quarterTurn ? width_ : height_)};
  }

  void Place(PlotPoint p, std::int32_t& x, std::int32_t& y) const {
    const double u = (p.x - extents_.MinX) * scale_;
    const double v = (extents_.MaxY - p.y) * scale_;
    const double w = width_ * scale_;
    const double h = height_ * scale_;
    double ru = u, rv = v;
    switch (angle_) {
      case 90:
        ru = h + cosA_ * u - sinA_ * v, rv = sinA_ * u + cosA_ * v;
        break;
      case 180:
        ru = w + cosA_ * u - sinA_ * v, rv = h + sinA_ * u + cosA_ * v;
        break;
      case 270:
        ru = cosA_ * u - sinA_ * v, rv = w + sinA_ * u + cosA_ * v;
        break;
      default:
        break;
    }
    x = RoundToInt32(ru);
    y = RoundToInt32(-rv);
  }

 private:
  std::int32_t Side(double side) const {
    return RoundToInt32(scale_ * (side + kMarginPlotterUnits));
  }

  PlotExtents extents_;
  std::int16_t angle_;
  double cosA_, sinA_;
  double width_ = 0, height_ = 0, scale_ = 1;
};

void Stroke(EmfWriter& metafile, const PagePlacement& placement,
            const std::vector<PlotPoint>& points, bool close) {
  if (points.empty()) return;
  std::int32_t x = 0, y = 0;
  placement.Place(points.front(), x, y);
  metafile.MoveTo(x, y);
  for (const PlotPoint& p : points) {
    placement.Place(p, x, y);
    metafile.LineTo(x, y);
  }
  if (close) {
    placement.Place(points.front(), x, y);
    metafile.LineTo(x, y);
  }
}

}  // namespace

void DrawStandardPage(const StandardDrawContext& context, std::int16_t angle, double cosA,
                      double sinA) {
  if (context.pageIndex >= context.plot.pages.size()) throw RuntimeError(err::kSubscriptOutOfRange);
  const StandardPage& page = context.plot.pages[context.pageIndex];
  const PagePlacement placement(PlotExtents::OfPage(page), angle, cosA, sinA);
  std::error_code ignored;
  std::filesystem::remove(context.metafilePath, ignored);
  EmfWriter metafile(placement.Frame(), PlotMetafileDescription());
  metafile.SetMapMode(EmfWriter::kMapModeHimetric);
  for (const StandardPolygon& polygon : page.polygons) {
    for (const PlotRing& ring : polygon.rings)
      Stroke(metafile, placement, ring, true);
  }
  for (const StandardPolyline& line : page.polylines)
    Stroke(metafile, placement, line.points, false);
  if (context.progress) context.progress->ShowProgress(40);
  metafile.WriteFile(context.metafilePath);
}

}  // namespace korvid
