// A page of the standard reading through the plot metafile and the player: widths,
// colours, fills in their place among the lines, hatching, dashes.
#include <gtest/gtest.h>

#include "RenderTestSupport.h"
#include "hpgl2/Hpgl2Reader.h"
#include "render/DrawStandardPage.h"
#include "render/HatchLines.h"
#include "render/MetafileDrawing.h"
#include "render/Rotation.h"

namespace korvid::testing {
namespace {

struct DrawnPage {
  std::vector<EmfRecord> records;
  MetafilePicture picture;
};

DrawnPage DrawPage(const std::string& plot, std::size_t page = 0, bool colour = true) {
  DisplaySettings settings;
  settings.ColorMode = colour ? 1 : 0;
  const std::unique_ptr<PlotSource> source =
      SourceOfPages(std::make_shared<const StandardPlot>(ReadStandardPlotBytes(plot).plot));
  source->SelectPage(static_cast<int>(page) + 1);
  const std::vector<std::uint8_t> written = DrawPlotInMemory(*source, {{}, settings});
  const std::string bytes(written.begin(), written.end());
  return {ParseEmfRecords(bytes), MetafilePicture::FromBytes(bytes)};
}

std::size_t Count(const std::vector<EmfRecord>& records, std::int32_t type) {
  return static_cast<std::size_t>(std::count_if(records.begin(), records.end(),
                                                [&](const EmfRecord& r) { return r[0] == type; }));
}

TEST(StandardPage, LinesFillsHatchingAndDashesAsRecords) {
  const auto line = DrawPage("IN;PW1;SP1;PA0,0;PD4000,0,4000,4000;").records;
  EXPECT_EQ(Count(line, kPolyline), 1u) << "a solid line is one polyline";
  // Pen widths are in 0.01 mm of the plot: 4000 units = 100 mm, half the 1 mm pen (20 units)
  // on each side and the 100-unit margin fill 327.67 mm, so 1 mm of pen is about 3.2 mm.
  ASSERT_EQ(Count(line, kCreatePen), 1u);
  for (const EmfRecord& r : line) {
    if (r[0] == kCreatePen) {
      EXPECT_NEAR(r[3], 40 * 32767.0 / 4140, 1) << "pen width";
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

// A wide page keeps inside its frame at every turn: turned left, the wider side stands
// upright and the page must not start s·H instead of s·W below the top.
TEST(StandardPage, EveryTurnKeepsAWidePageInsideItsFrame) {
  const std::unique_ptr<PlotSource> source = SourceOfPages(std::make_shared<const StandardPlot>(
      ReadStandardPlotBytes("IN;SP1;PA0,0;PD8000,0,8000,2000,0,2000,0,0;").plot));
  for (const std::int16_t angle : {0, 90, 180, 270}) {
    const std::vector<std::uint8_t> written =
        DrawPlotInMemory(*source, {RotationForAngle(angle), DisplaySettings()});
    const std::vector<EmfRecord> records =
        ParseEmfRecords(std::string(written.begin(), written.end()));
    ASSERT_FALSE(records.empty());
    const std::int32_t width = records[0][7], height = records[0][8];
    EXPECT_EQ(width > height, angle % 180 == 0) << angle;
    for (const EmfRecord& r : records) {
      if (r[0] != kPolyline) continue;
      for (std::int32_t i = 0; i < r[5]; ++i) {
        const std::int32_t x = r[6 + 2 * i], y = -r[7 + 2 * i];
        EXPECT_TRUE(x >= 0 && x <= width && y >= 0 && y <= height)
            << angle << ": " << x << "," << y << " outside " << width << "x" << height;
      }
    }
  }
}

bool ColourNear(const QImage& image, QPoint at, QRgb colour) {
  for (int y = at.y() - 1; y <= at.y() + 1; ++y)
    for (int x = at.x() - 1; x <= at.x() + 1; ++x)
      if (image.pixel(x, y) == colour) return true;
  return false;
}

// The picture holds the ink (half the 0.35 mm pen, 7 units, beyond the extents) and the
// 100-unit margin, half of it on each side: plot 0..1000 is drawn at 57..1057 of 1114 units.
QPoint At(double x, double y, int sizePx = 220) {
  const double scale = sizePx / 1114.0;
  return {static_cast<int>((x + 57) * scale), static_cast<int>((1057 - y) * scale)};
}

// A black line under a red square, and one over it.
TEST(StandardPage, FillCoversTheLinesBeforeItAndNotThoseAfter) {
  const std::string plot =
      "IN;SP1;PA0,500;PD1000,500;PU;SP2;PA250,250;RA750,750;SP1;PA500,0;PD500,1000;";
  const QRgb black = qRgb(0, 0, 0);
  for (const bool colour : {true, false}) {
    const MetafilePicture picture = DrawPage(plot, 0, colour).picture;
    for (QImage::Format format : kBothPaths) {
      const QImage image = Render(picture, {220, 220}, format);
      const QRgb fill = image.pixel(At(350, 500));
      if (colour)
        EXPECT_EQ(fill, qRgb(255, 0, 0)) << PathName(format) << ": pen 2 is red";
      else
        EXPECT_TRUE(qRed(fill) == qGreen(fill) && qGreen(fill) == qBlue(fill) && qRed(fill) < 255)
            << PathName(format) << ": black and white fills in grey";
      EXPECT_FALSE(ColourNear(image, At(350, 500), black)) << PathName(format);
      EXPECT_TRUE(ColourNear(image, At(100, 500), black)) << PathName(format);
      EXPECT_TRUE(ColourNear(image, At(500, 350), black)) << PathName(format);
      EXPECT_TRUE(ColourNear(image, At(500, 1000), black)) << PathName(format) << ": top edge";
      EXPECT_FALSE(Inked(image, At(100, 700))) << PathName(format);
    }
  }
}

// A 2 mm pen (80 units) reaches 40 units past the end of its line with round ends (LA1,4)
// and not at all with HP-GL/2's butt ends, nor where a mitered line turns back on itself
// (beyond the miter limit the corner is bevelled). The page: 0..1000 by -500..500
// (squared), the pen's half and the margin around it, 1180 units in 400 pixels.
TEST(StandardPage, LinesEndAsLaSays) {
  const double scale = 400.0 / 1180;
  const QPoint pastTheEnd(static_cast<int>((1025 + 90) * scale), 200);
  const std::pair<const char*, bool> cases[] = {{"LA1,4;SP1;PA0,0;PD1000,0;", true},
                                                {"SP1;PA0,0;PD1000,0;", false},
                                                {"SP1;PA0,0;PD1000,0,0,0;", false},
                                                // Triangular: a point 40 units out.
                                                {"LA1,3;SP1;PA0,0;PD1000,0;", true},
                                                {"LA1,3;LT2,200,1;SP1;PA0,0;PD1000,0;", true}};
  for (const auto& [attributes, inked] : cases) {
    const QImage image = Render(DrawPage(std::string("IN;PW2;") + attributes).picture, {400, 400},
                                QImage::Format_RGB888);
    EXPECT_TRUE(InkNear(image, {pastTheEnd.x() - 20, 200}, 0)) << attributes;
    EXPECT_EQ(InkNear(image, pastTheEnd, 0), inked) << attributes;
  }
}

// LA 1,3 and 2,3: no writer has triangular ends or joins, so they are drawn as fills of
// the line's colour, one record for the line's triangles.
TEST(StandardPage, TriangularEndsAndJoinsAreFills) {
  EXPECT_EQ(Count(DrawPage("IN;PW2;SP1;PA0,0;PD1000,0,1000,1000;").records, kPolyPolygon), 0u);
  EXPECT_EQ(Count(DrawPage("IN;PW2;LA1,3;SP1;PA0,0;PD1000,0,1000,1000;").records, kPolyPolygon),
            1u);
  EXPECT_EQ(Count(DrawPage("IN;PW2;LA2,3;SP1;PA0,0;PD1000,0,1000,1000;").records, kPolyPolygon),
            1u);
}

// LA 3: the miter limit reaches the pens of the picture through the metafile's own record.
TEST(StandardPage, MiterLimitReachesThePens) {
  const auto limits = [](const std::string& plot) {
    std::string found;
    const MetafilePicture picture = DrawPage(plot).picture;
    for (const DrawRun& run : picture.Contents()->runs) {
      const PicturePen& pen = picture.Contents()->pens[run.pen];
      if (pen.width > 0 && pen.joins == PenJoins::kMiter)
        found += std::to_string(static_cast<int>(pen.miterLimit)) + " ";
    }
    return found;
  };
  EXPECT_EQ(limits("IN;PW2;SP1;PA0,0;PD1000,0,0,300;"), "5 ");
  EXPECT_EQ(limits("IN;PW2;LA3,10;SP1;PA0,0;PD1000,0,0,300;"), "10 ");
  EXPECT_EQ(limits("IN;PW2;LA3,10;SP1;PA0,0;PD1000,0;LA3,3;PD0,300;"), "10 3 ");
}

// Adaptive line types (LT negative) start their pattern afresh on every segment, stretched
// to a whole number of repetitions: two 300-unit sides of a 200-unit pattern take two dashes
// each, the corner included; the fixed type runs on across the corner, three dashes in all.
TEST(StandardPage, AdaptiveLineTypesFitWholePatternsToEverySegment) {
  EXPECT_EQ(Count(DrawPage("IN;LT2,5,1;SP1;PA0,0;PD300,0,300,300;").records, kLineTo), 3u);
  EXPECT_EQ(Count(DrawPage("IN;LT-2,5,1;SP1;PA0,0;PD300,0,300,300;").records, kLineTo), 4u);
  EXPECT_EQ(Count(DrawPage("IN;LT-2,5,1;SP1;PA0,0;PD100,0;").records, kLineTo), 1u)
      << "at least one pattern";
  // Each segment by its own length: five patterns, then one.
  EXPECT_EQ(Count(DrawPage("IN;LT-2,5,1;SP1;PA0,0;PD1000,0,1000,200;").records, kLineTo), 6u);
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

// FP 1 hatches by the non-zero winding rule: a square inside a square turned the same way is
// no hole.
TEST(Hatching, NonZeroWindingFillsWhatEvenOddLeavesOut) {
  const std::vector<PlotRing> rings = {{{5, 5}, {105, 5}, {105, 105}, {5, 105}},
                                       {{35, 35}, {75, 35}, {75, 75}, {35, 75}}};
  EXPECT_EQ(HatchLines(rings, 20, 0, false).size(), 7u);
  EXPECT_EQ(HatchLines(rings, 20, 0, true).size(), 5u) << "one line across each row";
  const std::vector<PlotRing> opposite = {rings[0], {{35, 35}, {35, 75}, {75, 75}, {75, 35}}};
  EXPECT_EQ(HatchLines(opposite, 20, 0, true).size(), 7u) << "turned the other way it is a hole";
}

}  // namespace
}  // namespace korvid::testing
