// The plot metafile as the drawing routine writes it, read back record by record, and the
// picture the window builds without it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <tuple>

#include "RenderTestSupport.h"
#include "render/DrawPlot.h"
#include "render/MetafileDrawing.h"
#include "render/Rotation.h"

namespace korvid::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

class DrawPlotTest : public ::testing::Test, public DrawProgress {
 protected:
  ~DrawPlotTest() override { std::filesystem::remove(path); }
  void ShowProgress(int widthMm) override { steps.push_back(widthMm); }

  std::vector<EmfRecord> Draw(const std::string& hpgl, std::int16_t angle = 0) {
    model = ReadPlot(hpgl);
    return Redraw(angle);
  }
  std::vector<EmfRecord> Redraw(std::int16_t angle = 0) {
    const Rotation rotation = RotationForAngle(angle);
    DrawPlot({*model, settings, path, this}, angle, rotation.cosA, rotation.sinA);
    std::ifstream in(path, std::ios::binary);
    written.assign(std::istreambuf_iterator<char>(in), {});
    return ParseEmfRecords(written);
  }
  // The drawing records between the map mode and the end.
  std::vector<EmfRecord> Body(const std::string& hpgl, std::int16_t angle = 0) {
    const std::vector<EmfRecord> records = Draw(hpgl, angle);
    return {records.begin() + 2, records.end() - 1};
  }
  // Word `word` of each record of `type`, or of every record.
  static std::vector<std::int32_t> Column(const std::vector<EmfRecord>& records, std::size_t word,
                                          std::int32_t type = 0) {
    std::vector<std::int32_t> column;
    for (const EmfRecord& r : records)
      if (type == 0 || r[0] == type) column.push_back(r.at(word));
    return column;
  }

  std::unique_ptr<PlotModel> model;
  DisplaySettings settings;
  std::vector<int> steps;
  std::string path = std::filesystem::temp_directory_path() /
                     ("korvid-drawplot-" + std::to_string(::getpid()) + ".emf");
  std::string written;
};

TEST_F(DrawPlotTest, FrameHoldsTheLongerSideAndTheMargin) {
  const auto records = Draw("PU0,7500;PD10000,0;");
  ASSERT_THAT(Column(records, 0), ElementsAre(kHeader, kSetMapMode, kMoveTo, kLineTo, kEof));
  // rclFrame in 0.01 mm; MetaScale = 32767 / 10100. MM_HIMETRIC. (0, 7500) is the top-left
  // corner; (10000, 0) is 10000 x 7500 scaled away, below.
  EXPECT_THAT(EmfRecord(records[0].begin() + 5, records[0].begin() + 9),
              ElementsAre(0, 0, 32767, 24656));
  EXPECT_THAT(records[1], ElementsAre(kSetMapMode, 3));
  EXPECT_THAT(records[2], ElementsAre(kMoveTo, 0, 0));
  EXPECT_THAT(records[3], ElementsAre(kLineTo, 32443, -24332));
  EXPECT_THAT(steps, ElementsAre(15, 40));
  // The player refuses a file whose size, record count or handle table is wrong.
  EXPECT_EQ(MetafilePicture::FromBytes(written).Description(),
            QString::fromUtf16(u"***** \0HPGL Data Drawing\0\0", 26));
  for (std::int16_t angle : {90, 180, 270}) {  // quarter turns exchange the frame's sides
    const EmfRecord header = Redraw(angle)[0];
    EXPECT_EQ(header[7], angle == 180 ? 32767 : 24656) << angle;
    EXPECT_EQ(header[8], angle == 180 ? 24656 : 32767) << angle;
  }
}

TEST_F(DrawPlotTest, ColourModeGivesEveryElementItsOwnPen) {
  settings.ColorMode = 1;
  const auto body = Body("SP4;PU0,0;PD10,0;SP9;PU10,0;PD10,10;LT-1;CI5;");
  EXPECT_THAT(Column(body, 0),
              ElementsAreArray({kCreatePen, kSelectObject, kMoveTo, kLineTo, kDeleteObject,
                                kCreatePen, kSelectObject, kMoveTo, kLineTo, kDeleteObject,
                                kCreatePen, kSelectObject, kArc, kDeleteObject}));
  ASSERT_EQ(body.size(), 14u);
  // CREATEPEN: handle, style, width (x, y), colour 0x00BBGGRR. Pens above 8 keep the colour.
  EXPECT_THAT(body[0], ElementsAre(kCreatePen, 1, 0, 1, 0, 0x0000FF)) << "pen 4: red";
  EXPECT_THAT(body[5], ElementsAre(kCreatePen, 1, 0, 1, 0, 0x0000FF)) << "pen 9";
  EXPECT_THAT(body[10], ElementsAre(kCreatePen, 1, 2, 1, 0, 0x0000FF)) << "LT-1: dotted, once";
  EXPECT_THAT(body[1], ElementsAre(kSelectObject, 1));
  EXPECT_THAT(body[4], ElementsAre(kDeleteObject, 1));
  EXPECT_THAT(Column(Body("SP1;PU0,0;PD1,0;SP2;PU2,0;PD3,0;SP3;PU4,0;PD5,0;SP5;PU6,0;PD7,0;"
                          "SP6;PU8,0;PD9,0;SP7;PU10,0;PD11,0;"),
                     5, kCreatePen),
              ElementsAre(0xFF0000, 0x00FF00, 0xFFFF00, 0xFF00FF, 0x00FFFF, 0));
  EXPECT_THAT(Column(Body("SP12;PU0,0;PD10,0;"), 5, kCreatePen), ElementsAre(0)) << "first: black";
  EXPECT_THAT(Column(Body("SP4;PU0,0;PD10,0;SP12;CI2;SP8;CI3;"), 5, kCreatePen),
              ElementsAre(0x0000FF, 0x0000FF, 0x808080))
      << "the arcs start with the segments' last colour; pen 8 is grey";
  settings.ColorMode = 0;  // black and white: every style with the default pen
  EXPECT_THAT(Column(Body("LT-1;PU0,0;PD10,0;LT3;PD10,10;CI4;"), 0),
              ElementsAre(kMoveTo, kLineTo, kMoveTo, kLineTo, kArc));
}

TEST_F(DrawPlotTest, PointsOnlyStyleDrawsSolidCrossesInsteadOfTheLine) {
  for (std::int16_t colour : {0, 1}) {
    settings.ColorMode = colour;
    const auto body = Body("LT0;PU0,0;PD100,0,100,100;");
    ASSERT_EQ(body.size(), colour ? 22u : 16u) << "two crosses a segment, with or without a pen";
    EXPECT_TRUE(!colour || body[0][2] == 0) << "crosses are drawn solid";
    // The first cross at (0, 0), the plot's bottom-left, 16383.5 units below the top; its
    // arms are 1% of the larger side: 100 * 0.01 * MetaScale = 163.8 units.
    const std::size_t first = colour ? 2 : 0;
    EXPECT_THAT(body[first], ElementsAre(kMoveTo, -164, -16384));
    EXPECT_THAT(body[first + 1], ElementsAre(kLineTo, 164, -16384));
    EXPECT_THAT(body[first + 2], ElementsAre(kMoveTo, 0, -16547));
    EXPECT_THAT(body[first + 3], ElementsAre(kLineTo, 0, -16220));
  }
  settings.ColorMode = 0;
  EXPECT_THAT(Column(Body("LT0;PU10,0;AA0,0,90;"), 0),  // an arc: crosses at both ends
              ElementsAre(kMoveTo, kLineTo, kMoveTo, kLineTo, kMoveTo, kLineTo, kMoveTo, kLineTo));
}

TEST_F(DrawPlotTest, ArcRecordTakesTheBoxAndBothRadialPoints) {
  // MetaScale 32767/300; box (0,200)-(200,0) → (0, 0)-(21845, -21845); start at the
  // right (21845, -10922.3 → -10922); end at the top (10922, 0).
  EXPECT_THAT(Body("PU0,0;PD0,200,200,200;PU200,100;AA100,100,90;").back(),
              ElementsAre(kArc, 0, 0, 21845, -21845, 21845, -10922, 10922, 0));
  // A zero radius is still an arc: all at the pen position (100, 100), the top-right corner.
  EXPECT_THAT(Body("PU0,0;PD100,100;CI0;").back(),
              ElementsAre(kArc, 16384, 0, 16384, 0, 16384, 0, 16384, 0));
}

TEST_F(DrawPlotTest, TurnsUseTheCallersImpreciseSines) {
  const auto body = Body("PU0,0;PD200,0,200,100;PU0,100;PD200,100;", 90);
  ASSERT_EQ(body.size(), 6u);
  // MetaScale = 32767/300; s·H = 10922.33. The top edge (0,100)-(200,100) runs down the
  // right side: u = s·H − Y′ with Y′ = 0.
  EXPECT_THAT(body[4], ElementsAre(kMoveTo, 10922, 0));
  EXPECT_THAT(body[5], ElementsAre(kLineTo, 10922, -21845));
  // Half turn: the corner (0, 0) has the offsets (0, s·H) and lands at
  // u = s·W − sin(3.1417)·s·H: 32445, where an exact half turn would give 32443.
  EXPECT_THAT(Body("PU0,0;PD10000,0,10000,7500;", 180)[0], ElementsAre(kMoveTo, 32445, 0));
}

TEST_F(DrawPlotTest, SinglePointPlotUsesTheFullScale) {
  model = ReadPlot("PU5,5;PD5,5;");
  model->MaxX[1] = model->MinX[1] = 5;  // undo the reader's squaring: a true single point
  model->MaxY[1] = model->MinY[1] = 5;
  model->Segments(1, 1).LineStyle = 5;
  const auto records = Redraw();
  ASSERT_EQ(records.size(), 11u);
  EXPECT_THAT(EmfRecord(records[0].begin() + 7, records[0].begin() + 9), ElementsAre(32767, 32767));
  for (std::size_t i = 2; i < 10; ++i)
    EXPECT_THAT(records[i], ElementsAre(::testing::_, 0, 0)) << "crosses, d = 0";
}

TEST_F(DrawPlotTest, UnsetExtentsOverflowBeforeAnyFileWork) {
  Draw("PU0,0;PD10,10;");
  model = ReadPlot("IN;SP1;");  // nothing drawn: the extents keep their start values
  EXPECT_EQ(ErrorOf([&] { Redraw(); }), 6);
  EXPECT_TRUE(std::filesystem::exists(path)) << "failed before touching the old file";
  EXPECT_EQ(steps.size(), 2u);
}

TEST(RotationForAngle, UsesTheCommandsRadians) {
  EXPECT_EQ(RotationForAngle(0).cosA, 1);
  EXPECT_NEAR(RotationForAngle(90).cosA, -0.0000036732, 1e-10);
  EXPECT_NEAR(RotationForAngle(90).sinA, 0.9999999999933, 1e-12);
  EXPECT_NEAR(RotationForAngle(180).sinA, -0.00010734641, 1e-11);
  EXPECT_NEAR(RotationForAngle(270).cosA, 0.00011101962, 1e-11);
  EXPECT_EQ(RotationForAngle(45).angle, 0);
}

template <typename T, typename Key>
auto Keys(const std::vector<T>& items, Key key) {
  std::vector<decltype(key(items.front()))> keys;
  for (const T& item : items)
    keys.push_back(key(item));
  return keys;
}

// The picture the window builds straight from the plot is the one its metafile plays as:
// pens that change and stay, every line style, crosses of points-only records, full
// circles, arcs both ways and of no radius, in every turn.
TEST(PictureRecorderTest, BuildsWhatTheMetafilePlaysAs) {
  const std::unique_ptr<PlotModel> everything = ReadPlot(
      "IN;SP1;PU0,0;PD1000,0,1000,800;SP4;LT1;PD0,800;SP9;LT2;PD0,0;LT3;PU200,200;PD400,600;LT0;"
      "PD450,650;CI40;LT4;PD600,200;LT;SP2;PU500,400;CI150;CI0;SP3;AA500,400,90;AA500,400,-270;"
      "SP5;PR;PD50,50,0,-80;PA;SP6;PU700,100;PD700,100;");
  const std::unique_ptr<PlotModel> onePoint = ReadPlot("PU300,300;PD300,300;");
  const auto run = [](const DrawRun& x) {
    return std::tuple(x.pen, int(x.kind), x.first, x.count);
  };
  const auto line = [](const FrameLine& x) { return std::tuple(x.x1, x.y1, x.x2, x.y2); };
  const auto arc = [](const FrameArc& x) {
    return std::tuple(x.cx, x.cy, x.rx, x.ry, x.start, x.sweep);
  };
  for (const auto& [model, angle, colour] : {std::tuple(&everything, 0, 1),
                                             {&everything, 0, 0},
                                             {&everything, 90, 1},
                                             {&everything, 180, 1},
                                             {&everything, 270, 0},
                                             {&onePoint, 0, 1}}) {
    SCOPED_TRACE(std::to_string(angle) + (colour ? " colour" : " mono"));
    DisplaySettings settings;
    settings.ColorMode = colour;
    const Rotation r = RotationForAngle(angle);
    const auto bytes = DrawPlotInMemory(**model, settings, angle, r.cosA, r.sinA);
    const MetafilePicture played =
        MetafilePicture::FromBytes(std::string(bytes.begin(), bytes.end()));
    const MetafilePicture built = DrawPlotPicture(**model, settings, angle, r.cosA, r.sinA);
    ASSERT_TRUE(played.Contents() != nullptr && built.Contents() != nullptr);
    const MetafilePicture::Drawing &want = *played.Contents(), &got = *built.Contents();
    EXPECT_EQ(got.frame, want.frame);
    EXPECT_EQ(got.description, want.description);
    EXPECT_EQ(got.pens, want.pens);
    EXPECT_EQ(got.widestPen, want.widestPen);
    EXPECT_EQ(Keys(got.runs, run), Keys(want.runs, run));
    EXPECT_EQ(Keys(got.lines, line), Keys(want.lines, line));
    EXPECT_EQ(Keys(got.arcs, arc), Keys(want.arcs, arc));
  }
}

}  // namespace
}  // namespace korvid::testing
