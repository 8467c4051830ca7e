// The picture built straight from the drawing routine is the one its metafile plays as.
#include <gtest/gtest.h>

#include <memory>
#include <string_view>

#include "reader/PlotReader.h"
#include "render/DrawPlot.h"
#include "render/MetafileDrawing.h"
#include "render/Rotation.h"

namespace korvid {
namespace {

class SilentMessenger : public ReaderMessenger {
 public:
  void ShowMessage(const std::string&) override {}
};

struct RecorderCase {
  const char* name;
  const char* plot;
  std::int16_t angle;
  bool colour;
};

std::ostream& operator<<(std::ostream& out, const RecorderCase& c) {
  return out << c.name;
}

void ExpectSameDrawing(const MetafilePicture::Drawing& played,
                       const MetafilePicture::Drawing& built) {
  EXPECT_EQ(built.frame, played.frame);
  EXPECT_EQ(built.description, played.description);
  EXPECT_EQ(built.pens, played.pens);
  EXPECT_EQ(built.widestPen, played.widestPen);
  ASSERT_EQ(built.runs.size(), played.runs.size());
  for (std::size_t i = 0; i < built.runs.size(); ++i) {
    const DrawRun& a = built.runs[i];
    const DrawRun& b = played.runs[i];
    EXPECT_TRUE(a.pen == b.pen && a.kind == b.kind && a.first == b.first && a.count == b.count)
        << "run " << i;
  }
  ASSERT_EQ(built.lines.size(), played.lines.size());
  for (std::size_t i = 0; i < built.lines.size(); ++i) {
    const FrameLine& a = built.lines[i];
    const FrameLine& b = played.lines[i];
    EXPECT_TRUE(a.x1 == b.x1 && a.y1 == b.y1 && a.x2 == b.x2 && a.y2 == b.y2) << "line " << i;
  }
  ASSERT_EQ(built.arcs.size(), played.arcs.size());
  for (std::size_t i = 0; i < built.arcs.size(); ++i) {
    const FrameArc& a = built.arcs[i];
    const FrameArc& b = played.arcs[i];
    EXPECT_TRUE(a.cx == b.cx && a.cy == b.cy && a.rx == b.rx && a.ry == b.ry &&
                a.start == b.start && a.sweep == b.sweep)
        << "arc " << i;
  }
}

class PictureRecorderTest : public ::testing::TestWithParam<RecorderCase> {};

TEST_P(PictureRecorderTest, BuildsWhatTheMetafilePlaysAs) {
  const RecorderCase& c = GetParam();
  auto model = std::make_unique<PlotModel>();
  SilentMessenger messenger;
  PlotReader reader(*model, messenger);
  std::int16_t status = 0;
  reader.ReadPlotBytes(c.plot, status);
  model->CurPlot = 1;
  DisplaySettings settings;
  settings.ColorMode = c.colour ? 1 : 0;
  const Rotation rotation = RotationForAngle(c.angle);

  const std::vector<std::uint8_t> bytes =
      DrawPlotInMemory(*model, settings, c.angle, rotation.cosA, rotation.sinA);
  const MetafilePicture played = MetafilePicture::FromBytes(
      std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  const MetafilePicture built =
      DrawPlotPicture(*model, settings, c.angle, rotation.cosA, rotation.sinA);
  ASSERT_NE(played.Contents(), nullptr);
  ASSERT_NE(built.Contents(), nullptr);
  ExpectSameDrawing(*played.Contents(), *built.Contents());
}

// Pens that change and stay, every line style, crosses of points-only records, full
// circles, arcs both ways and of no radius.
constexpr const char* kEverything =
    "IN;SP1;PU0,0;PD1000,0,1000,800;SP4;LT1;PD0,800;SP9;LT2;PD0,0;LT3;PU200,200;PD400,600;LT0;"
    "PD450,650;CI40;"
    "LT4;PD600,200;LT;SP2;PU500,400;CI150;CI0;SP3;AA500,400,90;AA500,400,-270;SP5;PR;"
    "PD50,50,0,-80;PA;SP6;PU700,100;PD700,100;";

INSTANTIATE_TEST_SUITE_P(
    Drawings, PictureRecorderTest,
    ::testing::Values(RecorderCase{"Colour", kEverything, 0, true},
                      RecorderCase{"Mono", kEverything, 0, false},
                      RecorderCase{"Right", kEverything, 90, true},
                      RecorderCase{"UpsideDown", kEverything, 180, true},
                      RecorderCase{"Left", kEverything, 270, false},
                      RecorderCase{"OnePoint", "PU300,300;PD300,300;", 0, true}),
    [](const ::testing::TestParamInfo<RecorderCase>& info) { return info.param.name; });

}  // namespace
}  // namespace korvid
