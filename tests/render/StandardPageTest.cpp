// A page of the standard reading through the plot metafile and the player: widths,
// colours, fills in their place among the lines, hatching, dashes.
#include <gtest/gtest.h>

#include "RenderTestSupport.h"
#include "hpgl2/Hpgl2Reader.h"
#include "render/DrawStandardPage.h"
#include "render/HatchLines.h"

namespace korvid::testing {
namespace {

struct DrawnPage {
  std::vector<EmfRecord> records;
  MetafilePicture picture;
};

DrawnPage DrawPage(const std::string& plot, std::size_t page = 0, bool colour = true) {
  DisplaySettings settings;
  settings.ColorMode = colour ? 1 : 0;
  const std::string path = TempPath("korvid-standard-page");
  DrawStandardPage({ReadStandardPlotBytes(plot).plot, page, settings, path, nullptr}, 0, 1, 0);
  const std::string bytes = Slurp(path);
  std::filesystem::remove(path);
  return {ParseEmfRecords(bytes), MetafilePicture::FromBytes(bytes)};
}

std::size_t Count(const std::vector<EmfRecord>& records, std::int32_t type) {
  return static_cast<std::size_t>(std::count_if(records.begin(), records.end(),
                                                [&](const EmfRecord& r) { return r[0] == type; }));
}

TEST(StandardPage, LinesFillsHatchingAndDashesAsRecords) {
  const auto line = DrawPage("IN;PW1;SP1;PA0,0;PD4000,0,4000,4000;").records;
  EXPECT_EQ(Count(line, kPolyline), 1u) << "a solid line is one polyline";
  // Pen widths are in 0.01 mm of the plot: 4000 units = 100 mm plus the 100-unit margin
  // fill 327.67 mm, so 1 mm of pen is about 3.2 mm of metafile.
  ASSERT_EQ(Count(line, kCreatePen), 1u);
  for (const EmfRecord& r : line) {
    if (r[0] == kCreatePen) {
      EXPECT_NEAR(r[3], 40 * 32767.0 / 4100, 1) << "pen width";
    }
  }
  const auto fill = DrawPage("IN;SP2;PA0,0;RA1000,1000;").records;
  EXPECT_EQ(Count(fill, kCreateBrush), 1u);
  EXPECT_EQ(Count(fill, kPolyPolygon), 1u);
  EXPECT_EQ(Count(fill, kSetPolyFillMode), 1u);
  const auto hatched = DrawPage("IN;SP1;PA0,0;FT3,100,0;RA1000,1000;").records;
  EXPECT_EQ(Count(hatched, kPolyPolygon), 0u);
  EXPECT_EQ(Count(hatched, kLineTo), 10u) << "y = 100, 200, ... 1000 cut to 0..1000";
  // LT2 (half drawn, half blank) with a 200-unit pattern over 1000 units: 5 dashes.
  EXPECT_EQ(Count(DrawPage("IN;LT2,5,1;SP1;PA0,0;PD1000,0;").records, kLineTo), 5u);
}

bool ColourNear(const QImage& image, QPoint at, QRgb colour) {
  for (int y = at.y() - 1; y <= at.y() + 1; ++y)
    for (int x = at.x() - 1; x <= at.x() + 1; ++x)
      if (image.pixel(x, y) == colour) return true;
  return false;
}

// A black line under a red square, and one over it; the frame holds the plot and its
// margin, so plot (x, y) is pixel (x / 5, 200 - y / 5).
TEST(StandardPage, FillCoversTheLinesBeforeItAndNotThoseAfter) {
  const std::string plot =
      "IN;SP1;PA0,500;PD1000,500;PU;SP2;PA250,250;RA750,750;SP1;PA500,0;PD500,1000;";
  const QRgb black = qRgb(0, 0, 0);
  for (const bool colour : {true, false}) {
    const MetafilePicture picture = DrawPage(plot, 0, colour).picture;
    for (QImage::Format format : kBothPaths) {
      const QImage image = Render(picture, {220, 220}, format);
      const QRgb fill = image.pixel(70, 100);
      if (colour)
        EXPECT_EQ(fill, qRgb(255, 0, 0)) << PathName(format) << ": pen 2 is red";
      else
        EXPECT_TRUE(qRed(fill) == qGreen(fill) && qGreen(fill) == qBlue(fill) && qRed(fill) < 255)
            << PathName(format) << ": black and white fills in grey";
      EXPECT_FALSE(ColourNear(image, {70, 100}, black)) << PathName(format);
      EXPECT_TRUE(ColourNear(image, {20, 100}, black)) << PathName(format);
      EXPECT_TRUE(ColourNear(image, {100, 130}, black)) << PathName(format);
      EXPECT_FALSE(Inked(image, {20, 60})) << PathName(format);
    }
  }
}

TEST(StandardPage, EachPageIsItsOwnPicture) {
  const std::string plot = "IN;SP1;PA0,0;PD1000,0,1000,100;PG;PA0,0;PD0,5000,100,5000;";
  const QRect first = DrawPage(plot, 0).picture.Frame(), second = DrawPage(plot, 1).picture.Frame();
  EXPECT_GT(first.width(), first.height());
  EXPECT_LT(second.width(), second.height());
}

// A 100 x 100 square with a 40 x 40 hole (even-odd), placed so that no hatch line runs
// along an edge: lines `spacing` apart at `angle`, cut to the inside. Too fine a spacing
// is widened to a bounded number of lines.
TEST(Hatching, CutsParallelLinesToTheInside) {
  const std::vector<PlotRing> rings = {{{5, 5}, {105, 5}, {105, 105}, {5, 105}},
                                       {{35, 35}, {75, 35}, {75, 75}, {35, 75}}};
  const double widened = kMostHatchLines * 1.4;
  // y = 20, 40, 60, 80, 100: the two through the hole are cut in two.
  for (const auto& [spacing, angle, count] : {std::tuple(20.0, 0.0, 7.0),
                                              {20.0, 90.0, 7.0},
                                              {20.0, 45.0, 9.0},
                                              {1e-9, 0.0, widened},
                                              {0.0, 0.0, widened}}) {
    const std::vector<HatchSegment> lines = HatchLines(rings, spacing, angle);
    EXPECT_NEAR(static_cast<double>(lines.size()), count, 2) << spacing << " at " << angle;
    for (const HatchSegment& s : lines) {
      const PlotPoint middle{(s.from.x + s.to.x) / 2, (s.from.y + s.to.y) / 2};
      const bool inHole = middle.x > 35 && middle.x < 75 && middle.y > 35 && middle.y < 75;
      EXPECT_FALSE(inHole) << middle.x << "," << middle.y;
      EXPECT_TRUE(middle.x >= 5 - 1e-9 && middle.x <= 105 + 1e-9);
    }
  }
}

}  // namespace
}  // namespace korvid::testing
