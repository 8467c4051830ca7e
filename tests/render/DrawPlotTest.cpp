// The plot metafile as the drawing routine writes it, read back record by record.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "EmfRecords.h"
#include "ErrorOf.h"
#include "reader/PlotReader.h"
#include "render/DrawPlot.h"
#include "render/MetafilePicture.h"
#include "render/Rotation.h"

namespace korvid::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

class SilentMessenger : public ReaderMessenger {
 public:
  void ShowMessage(const std::string&) override {}
};

class RecordingProgress : public DrawProgress {
 public:
  void ShowProgress(int widthMm) override { steps.push_back(widthMm); }
  std::vector<int> steps;
};

class DrawPlotTest : public ::testing::Test {
 protected:
  DrawPlotTest() {
    path = (std::filesystem::temp_directory_path() /
            ("korvid-drawplot-" + std::to_string(::getpid()) + ".emf"))
               .string();
    model->CurPlot = 1;
  }
  ~DrawPlotTest() override { std::filesystem::remove(path); }

  void ReadPlot(const std::string& hpgl) {
    SilentMessenger messenger;
    PlotReader reader(*model, messenger);
    std::int16_t status = 0;
    reader.ReadPlotBytes(hpgl, status);
  }

  std::vector<EmfRecord> Draw(std::int16_t angle = 0) {
    const Rotation rotation = RotationForAngle(angle);
    DrawPlot({*model, settings, path, &progress}, angle, rotation.cosA, rotation.sinA);
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    written = bytes.str();
    return ParseEmfRecords(written);
  }

  // The drawing records between the map mode and the end.
  static std::vector<EmfRecord> Body(const std::vector<EmfRecord>& records) {
    return {records.begin() + 2, records.end() - 1};
  }
  static std::vector<std::uint32_t> Types(const std::vector<EmfRecord>& records) {
    std::vector<std::uint32_t> types;
    for (const EmfRecord& r : records)
      types.push_back(r.type);
    return types;
  }

  std::unique_ptr<PlotModel> model = std::make_unique<PlotModel>();
  DisplaySettings settings;
  RecordingProgress progress;
  std::string path;
  std::string written;
};

TEST_F(DrawPlotTest, FrameHoldsTheLongerSideAndTheMargin) {
  ReadPlot("PU0,7500;PD10000,0;");
  const auto records = Draw();
  ASSERT_GE(records.size(), 5u);
  EXPECT_EQ(records[0].type, kHeader);
  // rclFrame (words 4..7) in 0.01 mm; MetaScale = 32767 / 10100.
  EXPECT_THAT(std::vector<int>(records[0].words.begin() + 4, records[0].words.begin() + 8),
              ElementsAre(0, 0, 32767, 24656));
  EXPECT_EQ(records[1].type, kSetMapMode);
  EXPECT_EQ(records[1][0], 3);
  // (0, 7500) is the top-left corner; (10000, 0) is 10000 x 7500 scaled away, below.
  EXPECT_THAT(Types(Body(records)), ElementsAre(kMoveTo, kLineTo));
  EXPECT_THAT(Body(records)[0].words, ElementsAre(0, 0));
  EXPECT_THAT(Body(records)[1].words, ElementsAre(32443, -24332));
  EXPECT_EQ(records.back().type, kEof);
  EXPECT_THAT(progress.steps, ElementsAre(15, 40));
  for (std::int16_t angle : {90, 270}) {  // quarter turns exchange the frame's sides
    const auto header = Draw(angle)[0];
    EXPECT_EQ(header[6], 24656) << angle;
    EXPECT_EQ(header[7], 32767) << angle;
  }
  EXPECT_EQ(Draw(180)[0][6], 32767);
}

TEST_F(DrawPlotTest, MetafileLoadsWithItsDescription) {
  ReadPlot("PU0,0;PD10,10;");
  Draw();
  // The player refuses a file whose size, record count or handle table is wrong.
  EXPECT_EQ(MetafilePicture::FromBytes(written).Description(),
            QString::fromUtf16(u"***** \0HPGL Data Drawing\0\0", 26));
}

TEST_F(DrawPlotTest, ColourModeGivesEveryElementItsOwnPen) {  // unknown pens keep the colour
  settings.ColorMode = 1;
  ReadPlot("SP4;PU0,0;PD10,0;SP9;PU10,0;PD10,10;LT-1;CI5;");
  const auto body = Body(Draw());
  EXPECT_THAT(Types(body),
              ElementsAreArray({kCreatePen, kSelectObject, kMoveTo, kLineTo, kDeleteObject,
                                kCreatePen, kSelectObject, kMoveTo, kLineTo, kDeleteObject,
                                kCreatePen, kSelectObject, kArc, kDeleteObject}));
  // CREATEPEN: handle, style, width (x, y), colour 0x00BBGGRR.
  EXPECT_THAT(body[0].words, ElementsAre(1, 0, 1, 0, 0x0000FF)) << "first segment: pen 4, red";
  EXPECT_THAT(body[5].words, ElementsAre(1, 0, 1, 0, 0x0000FF)) << "pen 9 keeps red";
  EXPECT_THAT(body[10].words, ElementsAre(1, 2, 1, 0, 0x0000FF)) << "LT-1: dotted, once";
  EXPECT_EQ(body[1][0], 1);
  EXPECT_EQ(body[4][0], 1);
  ReadPlot("SP12;PU0,0;PD10,0;");
  EXPECT_EQ(Body(Draw())[0][4], 0x000000) << "pen 12 first: black";
  ReadPlot("SP4;PU0,0;PD10,0;SP12;CI2;SP8;CI3;");
  const auto arcs = Body(Draw());
  ASSERT_EQ(arcs.size(), 13u);
  EXPECT_EQ(arcs[5][4], 0x0000FF) << "the arc pass starts with the segments' last colour";
  EXPECT_EQ(arcs[9][4], 0x808080) << "pen 8: grey";
  settings.ColorMode = 0;  // black and white: every style with the default pen
  ReadPlot("LT-1;PU0,0;PD10,0;LT3;PD10,10;CI4;");
  EXPECT_THAT(Types(Body(Draw())), ElementsAre(kMoveTo, kLineTo, kMoveTo, kLineTo, kArc));
}

TEST_F(DrawPlotTest, PointsOnlyStyleDrawsCrossesInsteadOfTheLine) {
  for (std::int16_t colour : {0, 1}) {
    settings.ColorMode = colour;
    ReadPlot("LT0;PU0,0;PD100,0,100,100;");
    const auto body = Body(Draw());
    const std::size_t perSegment = colour ? 11 : 8;  // two crosses, with or without a pen
    ASSERT_EQ(body.size(), 2 * perSegment) << "colour " << colour;
    if (colour) {
      EXPECT_EQ(body[0][1], 0) << "crosses are drawn solid";
    }
    // The first cross, at (0, 0): the plot's bottom-left, 16383.5 units below the top.
    // Arms are 1% of the larger side: 100 * 0.01 * MetaScale = 163.8 units.
    const std::size_t first = colour ? 2 : 0;
    EXPECT_THAT(body[first].words, ElementsAre(-164, -16384));
    EXPECT_THAT(body[first + 1].words, ElementsAre(164, -16384));
    EXPECT_THAT(body[first + 2].words, ElementsAre(0, -16547));
    EXPECT_THAT(body[first + 3].words, ElementsAre(0, -16220));
  }
  settings.ColorMode = 0;
  ReadPlot("LT0;PU10,0;AA0,0,90;");  // an arc: crosses at both ends
  EXPECT_THAT(Types(Body(Draw())),
              ElementsAre(kMoveTo, kLineTo, kMoveTo, kLineTo, kMoveTo, kLineTo, kMoveTo, kLineTo));
}

TEST_F(DrawPlotTest, ArcRecordTakesTheBoxAndBothRadialPoints) {
  ReadPlot("PU0,0;PD0,200,200,200;PU200,100;AA100,100,90;");
  const auto body = Body(Draw());
  ASSERT_EQ(body.back().type, kArc);
  // MetaScale 32767/300; box (0,200)-(200,0) → (0, 0)-(21845, -21845); start at the
  // right (21845, -10922.3 → -10922); end at the top (10922, 0).
  const auto& w = body.back().words;
  EXPECT_THAT(std::vector<int>(w.begin(), w.begin() + 6),
              ElementsAre(0, 0, 21845, -21845, 21845, -10922));
  EXPECT_EQ(w[6], 10922);
  EXPECT_EQ(w[7], 0);
  ReadPlot("PU0,0;PD100,100;CI0;");
  const auto zero = Body(Draw());
  ASSERT_EQ(zero.back().type, kArc) << "a zero radius is still an arc";
  // Box corners, start and end all at the pen position (100, 100), the top-right corner.
  EXPECT_THAT(zero.back().words, ElementsAre(16384, 0, 16384, 0, 16384, 0, 16384, 0));
}

TEST_F(DrawPlotTest, TurnsUseTheCallersImpreciseSines) {
  ReadPlot("PU0,0;PD200,0,200,100;PU0,100;PD200,100;");
  const auto body = Body(Draw(90));
  ASSERT_EQ(body.size(), 6u);
  // MetaScale = 32767/300; s·H = 10922.33. The top edge (0,100)-(200,100) runs down the
  // right side: u = s·H − Y′ with Y′ = 0.
  EXPECT_THAT(body[4].words, ElementsAre(10922, 0));
  EXPECT_THAT(body[5].words, ElementsAre(10922, -21845));
  ReadPlot("PU0,0;PD10000,0,10000,7500;");
  // Half turn: the corner (0, 0) has the offsets (0, s·H) and lands at
  // u = s·W − sin(3.1417)·s·H: 32445, where an exact half turn would give 32443.
  EXPECT_THAT(Body(Draw(180))[0].words, ElementsAre(32445, 0));
}

TEST_F(DrawPlotTest, SinglePointPlotUsesTheFullScale) {
  ReadPlot("PU5,5;PD5,5;");
  model->MaxX[1] = model->MinX[1] = 5;  // undo the reader's squaring: a true single point
  model->MaxY[1] = model->MinY[1] = 5;
  model->Segments(1, 1).LineStyle = 5;
  const auto records = Draw();
  EXPECT_EQ(records[0][6], 32767);
  EXPECT_EQ(records[0][7], 32767);
  const auto body = Body(records);
  ASSERT_EQ(body.size(), 8u);
  for (const EmfRecord& r : body)
    EXPECT_THAT(r.words, ElementsAre(0, 0)) << "crosses with d = 0";
}

TEST_F(DrawPlotTest, UnsetExtentsOverflowBeforeAnyFileWork) {
  ReadPlot("PU0,0;PD10,10;");
  Draw();
  ReadPlot("IN;SP1;");  // nothing drawn: the extents keep their start values
  EXPECT_EQ(ErrorOf([&] { Draw(); }), 6);
  EXPECT_TRUE(std::filesystem::exists(path)) << "failed before touching the old file";
  EXPECT_TRUE(progress.steps.size() == 2);
}

TEST(RotationForAngle, UsesTheCommandsRadians) {
  EXPECT_EQ(RotationForAngle(0).cosA, 1);
  EXPECT_NEAR(RotationForAngle(90).cosA, -0.0000036732, 1e-10);
  EXPECT_NEAR(RotationForAngle(90).sinA, 0.9999999999933, 1e-12);
  EXPECT_NEAR(RotationForAngle(180).sinA, -0.00010734641, 1e-11);
  EXPECT_NEAR(RotationForAngle(270).cosA, 0.00011101962, 1e-11);
  EXPECT_EQ(RotationForAngle(45).angle, 0);
}

}  // namespace
}  // namespace korvid::testing
