// A page of the standard reading through the plot metafile and the player: widths,
// colours, fills in their place among the lines, hatching, dashes.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QImage>
#include <QPainter>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "EmfRecords.h"
#include "PlayerTestSupport.h"
#include "hpgl2/Hpgl2Reader.h"
#include "model/RuntimeError.h"
#include "render/DrawStandardPage.h"
#include "render/MetafilePicture.h"

namespace korvid {
namespace {

using testing::EmfRecord;
using testing::ParseEmfRecords;

struct DrawnPage {
  std::string bytes;
  MetafilePicture picture;
};

DrawnPage Draw(const std::string& plot, std::size_t page = 0, bool colour = true) {
  const StandardReadOutcome read = ReadStandardPlotBytes(plot);
  DisplaySettings settings;
  settings.ColorMode = colour ? 1 : 0;
  const std::string path = (std::filesystem::temp_directory_path() /
                            ("korvid-standard-page-" + std::to_string(::getpid()) + ".emf"))
                               .string();
  DrawStandardPage({read.plot, page, settings, path, nullptr}, 0, 1, 0);
  std::ifstream file(path, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  std::filesystem::remove(path);
  return {bytes, MetafilePicture::FromBytes(bytes)};
}

std::size_t Count(const std::vector<EmfRecord>& records, std::uint32_t type) {
  std::size_t n = 0;
  for (const EmfRecord& r : records)
    n += r.type == type ? 1 : 0;
  return n;
}

constexpr std::uint32_t kCreateBrush = 39, kPolyPolygon = 8, kSetPolyFillMode = 19;

TEST(StandardPage, PenWidthIsInHundredthsOfAMillimetreOfThePlot) {
  // 4000 units = 100 mm, half the 1 mm pen (20 units) on each side and the 100-unit
  // margin fill 327.67 mm: 1 mm of pen is about 3.2 mm of metafile.
  const DrawnPage page = Draw("IN;PW1;SP1;PA0,0;PD4000,0,4000,4000;");
  const auto records = ParseEmfRecords(page.bytes);
  std::int32_t width = -1;
  for (const EmfRecord& r : records) {
    if (r.type == testing::kCreatePen) width = r[2];
  }
  EXPECT_NEAR(width, 40 * 32767.0 / 4140, 1);
}

// The picture holds the ink (half the 0.35 mm pen, 7 units, beyond the extents) and the
// 100-unit margin, half of it on each side: 0..1000 is drawn at 57..1057 of 1114 units.
constexpr double kPenAndMarginUnits = 57, kPictureUnits = 1114;

TEST(StandardPage, SolidLineIsOnePolylineRecordThatThePlayerDraws) {
  const DrawnPage page = Draw("IN;SP1;PA0,0;PD1000,0,1000,1000;");
  EXPECT_EQ(Count(ParseEmfRecords(page.bytes), 4), 1u);  // EMR_POLYLINE
  const int edge = static_cast<int>((1000 + kPenAndMarginUnits) * 220 / kPictureUnits);
  const int start = static_cast<int>(kPenAndMarginUnits * 220 / kPictureUnits);
  for (QImage::Format format : testing::kBothPaths) {
    const QImage image = testing::Render(page.picture, {220, 220}, format);
    EXPECT_TRUE(testing::InkNear(image, {100, edge}, 2)) << testing::PathName(format);
    EXPECT_TRUE(testing::InkNear(image, {edge, 100}, 2)) << testing::PathName(format);
    EXPECT_TRUE(testing::InkNear(image, {start, edge}, 2)) << testing::PathName(format);
    EXPECT_FALSE(testing::InkNear(image, {100, 100}, 2)) << testing::PathName(format);
  }
}

TEST(StandardPage, SolidFillIsABrushAndAPolygonWithoutOutline) {
  const DrawnPage page = Draw("IN;SP2;PA0,0;RA1000,1000;");
  const auto records = ParseEmfRecords(page.bytes);
  EXPECT_EQ(Count(records, kCreateBrush), 1u);
  EXPECT_EQ(Count(records, kPolyPolygon), 1u);
  EXPECT_EQ(Count(records, kSetPolyFillMode), 1u);
  const QImage image = testing::Render(page.picture, {200, 200}, QImage::Format_RGB888);
  EXPECT_EQ(image.pixel(50, 50), qRgb(255, 0, 0));  // pen 2 of the palette: red
}

TEST(StandardPage, FillCoversTheLinesBeforeItAndNotThoseAfter) {
  // A black line under a red square, then a black line over it.
  const DrawnPage page = Draw(
      "IN;SP1;PA0,500;PD1000,500;PU;SP2;PA0,0;RA1000,1000;SP1;"
      "PA500,0;PD500,1000;");
  for (QImage::Format format : testing::kBothPaths) {
    const QImage image = testing::Render(page.picture, {400, 400}, format);
    const int middle = static_cast<int>((500 + kPenAndMarginUnits) * 400 / kPictureUnits);
    EXPECT_EQ(image.pixel(middle / 2, middle), qRgb(255, 0, 0)) << testing::PathName(format);
    EXPECT_EQ(image.pixel(middle, middle / 2), qRgb(0, 0, 0)) << testing::PathName(format);
  }
}

TEST(StandardPage, HatchingIsDrawnAsLinesInsideTheArea) {
  const DrawnPage page = Draw("IN;SP1;PA0,0;FT3,100,0;RA1000,1000;");
  const auto records = ParseEmfRecords(page.bytes);
  EXPECT_EQ(Count(records, kPolyPolygon), 0u);
  EXPECT_EQ(Count(records, testing::kLineTo), 10u);  // y = 100, 200, ... 1000 cut to 0..1000
}

TEST(StandardPage, DashesAreDrawnOut) {
  // LT2 (half drawn, half blank) with a 200-unit pattern over 1000 units: 5 dashes.
  const DrawnPage page = Draw("IN;LT2,5,1;SP1;PA0,0;PD1000,0;");
  EXPECT_EQ(Count(ParseEmfRecords(page.bytes), testing::kLineTo), 5u);
}

TEST(StandardPage, BlackAndWhiteDrawsBlackAndGreyFills) {
  const DrawnPage page = Draw("IN;SP2;PA0,0;PD1000,0;PU0,0;RA1000,1000;", 0, false);
  const QImage image = testing::Render(page.picture, {200, 200}, QImage::Format_RGB888);
  const QRgb fill = image.pixel(50, 50);
  EXPECT_EQ(qRed(fill), qGreen(fill));
  EXPECT_EQ(qGreen(fill), qBlue(fill));
  EXPECT_LT(qRed(fill), 255);
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
                                                {"SP1;PA0,0;PD1000,0,0,0;", false}};
  for (const auto& [attributes, inked] : cases) {
    const DrawnPage page = Draw(std::string("IN;PW2;") + attributes);
    const QImage image = testing::Render(page.picture, {400, 400}, QImage::Format_RGB888);
    EXPECT_TRUE(testing::InkNear(image, {pastTheEnd.x() - 20, 200}, 0)) << attributes;
    EXPECT_EQ(testing::InkNear(image, pastTheEnd, 0), inked) << attributes;
  }
}

TEST(StandardPage, EachPageIsItsOwnPicture) {
  const std::string plot = "IN;SP1;PA0,0;PD1000,0,1000,100;PG;PA0,0;PD0,5000,100,5000;";
  const DrawnPage first = Draw(plot, 0);
  const DrawnPage second = Draw(plot, 1);
  EXPECT_GT(first.picture.Frame().width(), first.picture.Frame().height());
  EXPECT_LT(second.picture.Frame().width(), second.picture.Frame().height());
}

}  // namespace
}  // namespace korvid

namespace korvid {
namespace {

// A picture with a polyline and a filled polygon, as the standard pages write them.
std::string FillAndLine() {
  testing::TestEmf emf;
  emf.UsePen(0, 1, testing::kRed);
  emf.writer().Polyline({{100, -100}, {1900, -100}, {1900, -1900}});
  const std::uint32_t brush = emf.writer().CreateSolidBrush(testing::kBlue);
  emf.writer().SelectObject(brush);
  emf.writer().SetPolyFillMode(EmfWriter::kFillWinding);
  emf.writer().PolyPolygon({{{500, -500}, {1500, -500}, {1500, -1500}, {500, -1500}}});
  return emf.Bytes();
}

int LoadError(const std::string& bytes) {
  try {
    MetafilePicture::FromBytes(bytes);
  } catch (const RuntimeError& error) {
    return error.number();
  }
  return 0;
}

struct Damage {
  const char* name;
  std::uint32_t record;
  std::size_t field;  // byte offset in the record
  std::uint32_t value;
};

class DamagedFills : public ::testing::TestWithParam<Damage> {};

TEST_P(DamagedFills, FailAsInvalidPictures) {
  std::string bytes = FillAndLine();
  const std::size_t at = testing::RecordOffset(bytes, GetParam().record);
  ASSERT_NE(at, std::string::npos);
  testing::SetWord(bytes, at + GetParam().field, GetParam().value);
  EXPECT_EQ(LoadError(bytes), 481);
}

INSTANTIATE_TEST_SUITE_P(
    Records, DamagedFills,
    ::testing::Values(Damage{"PolylinePointsBeyondTheRecord", 4, 24, 1000},
                      Damage{"PolylineHugePointCount", 4, 24, 0xffffffff},
                      Damage{"PolygonRingCountBeyondTheRecord", 8, 24, 0x40000000},
                      Damage{"PolygonPointsBeyondTheRecord", 8, 28, 1000},
                      Damage{"PolygonRingSizesDoNotAddUp", 8, 32, 3},
                      Damage{"BrushIndexOutsideTheTable", 39, 8, 999},
                      Damage{"PolylineShorterThanItsFields", 4, 4, 16}),
    [](const ::testing::TestParamInfo<Damage>& info) { return std::string(info.param.name); });

// A null brush selected from the object table is a brush, never the pen lines draw with.
TEST(StandardPlayer, NullBrushFromTheTableLeavesThePenAlone) {
  testing::TestEmf emf;
  emf.UsePen(0, 1, testing::kRed);
  emf.writer().SelectObject(emf.writer().CreateSolidBrush(testing::kBlue));
  emf.Line(100, 1000, 1900, 1000);
  std::string bytes = emf.Bytes();
  // The brush made a null brush (lbStyle 1).
  const std::size_t at = testing::RecordOffset(bytes, 39);
  ASSERT_NE(at, std::string::npos);
  testing::SetWord(bytes, at + 12, 1);
  const QImage image = testing::Render(MetafilePicture::FromBytes(bytes), {200, 200});
  EXPECT_EQ(image.pixel(100, 100), qRgb(255, 0, 0));
}

TEST(StandardPlayer, FillsInTheBrushColourAndDrawsPolylines) {
  const MetafilePicture picture = MetafilePicture::FromBytes(FillAndLine());
  for (QImage::Format format : testing::kBothPaths) {
    const QImage image = testing::Render(picture, {200, 200}, format);
    EXPECT_EQ(image.pixel(100, 100), qRgb(0, 0, 255)) << testing::PathName(format);
    EXPECT_TRUE(testing::InkNear(image, {100, 10}, 1)) << testing::PathName(format);
    EXPECT_FALSE(testing::Inked(image, {30, 100})) << testing::PathName(format);
  }
}

}  // namespace
}  // namespace korvid

#include "render/HatchLines.h"

namespace korvid {
namespace {

struct HatchCase {
  const char* name;
  double spacing, angle;
  std::size_t lines;
};

class Hatching : public ::testing::TestWithParam<HatchCase> {};

// A 100 x 100 square with a 40 x 40 hole (even-odd), placed so that no hatch line runs
// along an edge.
TEST_P(Hatching, CutsParallelLinesToTheInside) {
  const std::vector<PlotRing> rings = {{{5, 5}, {105, 5}, {105, 105}, {5, 105}},
                                       {{35, 35}, {75, 35}, {75, 75}, {35, 75}}};
  const std::vector<HatchSegment> lines = HatchLines(rings, GetParam().spacing, GetParam().angle);
  EXPECT_NEAR(static_cast<double>(lines.size()), static_cast<double>(GetParam().lines), 2);
  for (const HatchSegment& s : lines) {
    const PlotPoint middle{(s.from.x + s.to.x) / 2, (s.from.y + s.to.y) / 2};
    const bool inHole = middle.x > 35 && middle.x < 75 && middle.y > 35 && middle.y < 75;
    EXPECT_FALSE(inHole) << middle.x << "," << middle.y;
    EXPECT_TRUE(middle.x >= 5 - 1e-9 && middle.x <= 105 + 1e-9);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Squares, Hatching,
    ::testing::Values(
        // y = 20, 40, 60, 80, 100: the two through the hole are cut in two.
        HatchCase{"Horizontal", 20, 0, 7}, HatchCase{"Vertical", 20, 90, 7},
        HatchCase{"Diagonal", 20, 45, 9},
        HatchCase{"TooFineIsWidened", 1e-9, 0, std::size_t{kMostHatchLines} * 14 / 10},
        HatchCase{"NoSpacingAtAll", 0, 0, std::size_t{kMostHatchLines} * 14 / 10}),
    [](const ::testing::TestParamInfo<HatchCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace korvid
