// From a point of the window to the plot and back: the frame placement of both readings
// against their drawings, the surface at every zoom, scroll, turn and screen scaling, the
// file's own units and measuring.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "hpgl2/Hpgl2Reader.h"
#include "render/DrawPlot.h"
#include "render/DrawStandardPage.h"
#include "render/MetafileDrawing.h"
#include "render/RenderTestSupport.h"
#include "render/Rotation.h"
#include "view/PlotCoordinates.h"

namespace korvid {
namespace {

using testing::ReadPlot;

void ExpectNear(PlotPoint got, PlotPoint want, double within, const std::string& what) {
  EXPECT_NEAR(got.x, want.x, within) << what;
  EXPECT_NEAR(got.y, want.y, within) << what;
}

// Every end point the drawing put into the frame is where the placement says, and leads
// back to the plot's own point, in both readings and at every turn the commands give.
TEST(PlotCoordinates, PlaceEveryPointWhereTheDrawingPutsIt) {
  const std::string plot = "IN;PU0,0;PD4000,0,4000,1200;PU400,1600;PD3600,1600;PU0,-500;PD10,-400;";
  const auto model = ReadPlot(plot);
  const auto standard = std::make_shared<StandardPlot>(ReadStandardPlotBytes(plot).plot);
  const auto own = SourceOfModel(*model);
  const auto pages = SourceOfPages(standard);
  for (const std::int16_t angle : {0, 90, 180, 270}) {
    const Rotation turn = RotationForAngle(angle);
    const std::string at = " at " + std::to_string(angle);
    {
      const FramePlacement placement = own->Placement(turn);
      const MetafilePicture picture = DrawPlotPicture(*own, {turn, {}});
      EXPECT_EQ(placement.frameWidth, picture.Frame().width()) << at;
      EXPECT_EQ(placement.frameHeight, picture.Frame().height()) << at;
      const auto& lines = picture.Contents()->lines;
      ASSERT_EQ(lines.size(), static_cast<std::size_t>(model->SegCount[1])) << at;
      for (std::int32_t i = 1; i <= model->SegCount[1]; ++i) {
        const auto& segment = model->Segments(i, 1);
        const FrameLine& line = lines[static_cast<std::size_t>(i - 1)];
        const std::string what = "own segment " + std::to_string(i) + at;
        const FrameSpot start = placement.ToFrame({segment.X1, segment.Y1});
        EXPECT_NEAR(start.u, line.x1, 0.5) << what;
        EXPECT_NEAR(start.v, line.y1, 0.5) << what;
        // Back from the drawn (rounded) point: within a frame unit, an eighth of a plotter unit.
        ExpectNear(placement.ToPlot({line.x2, line.y2}), {segment.X2, segment.Y2},
                   0.6 / placement.scale, what);
      }
    }
    const FramePlacement placement = pages->Placement(turn);
    const MetafilePicture picture = DrawPlotPicture(*pages, {turn, {}});
    EXPECT_EQ(placement.frameWidth, picture.Frame().width()) << at;
    EXPECT_EQ(placement.frameHeight, picture.Frame().height()) << at;
    const auto& lines = picture.Contents()->lines;
    std::size_t next = 0;
    for (const StandardPolyline& polyline : standard->pages[0].polylines) {
      const std::vector<PlotPoint> points = polyline.AllPoints();
      for (std::size_t i = 1; i < points.size(); ++i, ++next) {
        ASSERT_LT(next, lines.size());
        const std::string what = "standard line " + std::to_string(next) + at;
        const FrameSpot start = placement.ToFrame(points[i - 1]);
        EXPECT_NEAR(start.u, lines[next].x1, 0.5) << what;
        EXPECT_NEAR(start.v, lines[next].y1, 0.5) << what;
        ExpectNear(placement.ToPlot({lines[next].x2, lines[next].y2}), points[i],
                   0.6 / placement.scale, what);
      }
    }
  }
}

// A plot of 4000 x 2000 units with its frame of 4100 x 2100 (Korvid's own reading, the
// margin at the right and the bottom) shown on a surface of 410 x 210 logical pixels:
// ten plotter units a pixel at zoom 1. The turns are exact here; the commands' own
// cosines move the far side by a few units, as the drawing is moved.
struct SurfaceCase {
  const char* what;
  std::int16_t angle;
  double zoom;         // the surface's size against zoom 1
  double left, top;    // the surface in the viewport, logical pixels
  double ratio;        // the screen's scaling
  DevicePoint device;  // in device pixels of the viewport
  PlotPoint plot;
};

void PrintTo(const SurfaceCase& c, std::ostream* out) {
  *out << c.what;
}

class SurfacePoints : public ::testing::TestWithParam<SurfaceCase> {};

FramePlacement ExactlyTurned(const PlotModel& model, std::int16_t angle) {
  const double radians = angle * std::acos(-1.0) / 180;
  return FramePlacement::OfPlot(model, angle, std::round(std::cos(radians)),
                                std::round(std::sin(radians)));
}

TEST_P(SurfacePoints, ReadThePlotUnderThePointer) {
  const SurfaceCase& c = GetParam();
  const auto model = ReadPlot("IN;PU0,0;PD4000,2000;");
  const FramePlacement placement = ExactlyTurned(*model, c.angle);
  const bool across = c.angle == 90 || c.angle == 270;
  const SurfaceView view{c.left, c.top, (across ? 210 : 410) * c.zoom,
                         (across ? 410 : 210) * c.zoom, c.ratio};
  // The frame's whole units stretch it by a few hundred-thousandths against the plot.
  ExpectNear(PlotAtDevicePoint(placement, view, c.device), c.plot, 0.1, c.what);
  const DevicePoint back = DevicePointOf(placement, view, c.plot);
  EXPECT_NEAR(back.x, c.device.x, 0.01) << c.what;
  EXPECT_NEAR(back.y, c.device.y, 0.01) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Views, SurfacePoints,
    ::testing::Values(
        SurfaceCase{"the plot's top-left corner", 0, 1, 0, 0, 1, {0, 0}, {0, 2000}},
        SurfaceCase{"its bottom-right corner", 0, 1, 0, 0, 1, {400, 200}, {4000, 0}},
        SurfaceCase{"in the margin beyond it", 0, 1, 0, 0, 1, {410, 210}, {4100, -100}},
        SurfaceCase{"zoom 4", 0, 4, 0, 0, 1, {400, 200}, {1000, 1500}},
        SurfaceCase{"zoom 4, scrolled", 0, 4, -800, -300, 1, {400, 200}, {3000, 750}},
        SurfaceCase{"screen scaling 2", 0, 1, 0, 0, 2, {400, 200}, {2000, 1000}},
        SurfaceCase{
            "screen scaling 1.5, zoom 4, scrolled", 0, 4, -800, -300, 1.5, {600, 300}, {3000, 750}},
        SurfaceCase{
            "turned right: the bottom-left corner at the top-left", 90, 1, 0, 0, 1, {0, 0}, {0, 0}},
        SurfaceCase{
            "turned right: the top edge on the right", 90, 1, 0, 0, 1, {200, 400}, {4000, 2000}},
        SurfaceCase{"turned right, zoom 4, scrolled, scaling 2",
                    90,
                    4,
                    -100,
                    -200,
                    2,
                    {200, 400},
                    {1000, 500}},
        SurfaceCase{"upside down", 180, 1, 0, 0, 1, {0, 0}, {4000, 0}},
        SurfaceCase{"upside down, zoom 4", 180, 4, 0, 0, 1, {800, 400}, {2000, 1000}},
        SurfaceCase{"turned left: the top-right corner at the top-left",
                    270,
                    1,
                    0,
                    0,
                    1,
                    {0, 0},
                    {4000, 2000}},
        SurfaceCase{
            "turned left, zoom 4, scaling 1.5", 270, 4, 0, 0, 1.5, {600, 600}, {3000, 1000}}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST(PlotCoordinates, LayTheSurfaceOutInWholePixelsAsTheWindowDoes) {
  // 96 dots to the inch; the surface scrolled by 10.2 mm.
  const SurfaceView view = SurfaceView::OfBox({-10.2f, -5, 108.47f, 55.56f}, 96 / 25.4, 2);
  EXPECT_EQ(view.left, -39);
  EXPECT_EQ(view.top, -19);
  EXPECT_EQ(view.width, 410);
  EXPECT_EQ(view.height, 210);
  EXPECT_EQ(view.devicePixelRatio, 2);
}

// The standard reading keeps the margin on every side, and the file's own units after SC
// (before RO) come with each point.
TEST(PlotCoordinates, ReadTheStandardPageAndTheFilesOwnUnits) {
  const StandardPlot plot =
      ReadStandardPlotBytes("IN;PW0;IP0,0,4000,2000;SC0,100,0,50;PU0,0;PD100,50;").plot;
  const StandardPage& page = plot.pages[0];
  const FramePlacement placement = FramePlacement::OfPage(page, 0, 1, 0);
  // Frame 4100 x 2100 with 50 units before the plot: ten units a pixel on 410 x 210.
  const SurfaceView view{0, 0, 410, 210, 1};
  const PlotPoint corner = PlotAtDevicePoint(placement, view, {405, 5});
  ExpectNear(corner, {4000, 2000}, 0.1, "the far corner");
  const PointReading reading = ReadPoint(corner, &page.userUnits);
  ExpectNear(reading.mm, {corner.x / 40, corner.y / 40}, 1e-12, "in millimetres");
  ASSERT_TRUE(reading.hasUser);
  ExpectNear(reading.user, {100, 50}, 0.01, "in the units of SC");
  EXPECT_FALSE(ReadPoint(corner, nullptr).hasUser);
  EXPECT_FALSE(
      ReadPoint(corner, &ReadStandardPlotBytes("IN;PD10,10;").plot.pages[0].userUnits).hasUser)
      << "unscaled and unturned: nothing more to tell";

  // The units in force when the last line began; turned by RO, then taken back.
  const StandardPlot turned = ReadStandardPlotBytes(
                                  "IN;PU0,0;PD5,5;RO90;IP0,0,4000,2000;SC0,100,0,50;"
                                  "PU0,0;PD100,50;")
                                  .plot;
  const UserUnits& units = turned.pages[0].userUnits;
  EXPECT_TRUE(units.scaled);
  EXPECT_EQ(units.rotation, 90);
  const PlotPoint end = turned.pages[0].polylines.back().Back();
  ExpectNear(units.ToUser(end), {100, 50}, 1e-9, "back through RO and SC");
  for (const int rotation : {0, 90, 180, 270}) {
    const StandardPlot each =
        ReadStandardPlotBytes("IN;RO" + std::to_string(rotation) + ";SC0,10,0,10,2;PU3,4;PD7,9;")
            .plot;
    const UserUnits& u = each.pages[0].userUnits;
    ExpectNear(u.ToUser(each.pages[0].polylines[0].AllPoints()[1]), {7, 9}, 1e-9,
               "RO" + std::to_string(rotation));
  }
}

TEST(PlotCoordinates, MeasureDistancesPartsAndAngles) {
  struct Case {
    PlotPoint from, to;
    double length, lengthMm, angle;
  };
  for (const Case& c :
       {Case{{0, 0}, {4000, 0}, 4000, 100, 0}, Case{{100, 100}, {100, 60}, 40, 1, -90},
        Case{{0, 0}, {-40, 0}, 40, 1, 180}, Case{{10, 20}, {40, 60}, 50, 1.25, 53.130102354155978},
        Case{{5, 5}, {5, 5}, 0, 0, 0}}) {
    const Measurement m = Measure(c.from, c.to);
    EXPECT_DOUBLE_EQ(m.length, c.length);
    EXPECT_DOUBLE_EQ(m.lengthMm, c.lengthMm);
    EXPECT_DOUBLE_EQ(m.angleDeg, c.angle);
    EXPECT_DOUBLE_EQ(m.dxMm, (c.to.x - c.from.x) / 40);
    EXPECT_DOUBLE_EQ(m.dyMm, (c.to.y - c.from.y) / 40);
  }
}

}  // namespace
}  // namespace korvid
