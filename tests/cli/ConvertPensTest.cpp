// korvid-convert with a pen table, run as a user runs it: --pens and --hide-pens in every
// kind of work, and a profile that is no profile refused before anything is drawn.
#include <gtest/gtest.h>

#include <QImage>

#include "ConvertRun.h"

namespace korvid {
namespace {

using namespace testing;

// Pen 1 (blue) draws a square, pen 2 (green) its diagonal.
constexpr const char* kTwoPens =
    "IN;SP1;PU0,0;PD1000,0,1000,1000,0,1000,0,0;SP2;PU0,0;PD1000,1000;";

int GreenPixels(const std::string& png) {
  const QImage image = QImage::fromData(QByteArray::fromStdString(png));
  int count = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      count += (image.pixel(x, y) & 0xFFFFFF) == 0x00FF00;
  return count;
}

class ConvertPens : public ConvertRun {};

TEST_F(ConvertPens, HideAndRedrawPensInEveryKindOfWork) {
  const std::string plot = Fixture("two.hpg", kTwoPens);
  const std::string profile = Fixture("thick.pens", "pen 1 width 0.5 colour #000000\n");
  ASSERT_EQ(Run({plot, "-o", Out("all.svg")}).exitCode, 0);
  EXPECT_NE(Slurp(Out("all.svg")).find("stroke=\"#00ff00\""), std::string::npos);

  const ProcessResult hidden =
      Run({plot, "-o", Out("hidden.svg"), "--hide-pens", "2", "--pens", profile});
  ASSERT_EQ(hidden.exitCode, 0) << hidden.err;
  const std::string svg = Slurp(Out("hidden.svg"));
  EXPECT_EQ(svg.find("#00ff00"), std::string::npos);
  EXPECT_NE(svg.find("stroke=\"#000000\" stroke-width=\""), std::string::npos) << svg;

  // A batch and a thumbnail leave the pen out too.
  ASSERT_EQ(
      Run({plot, Fixture("copy.hpg", kTwoPens), "-f", "png", "-O", Out("png"), "--hide-pens", "2"})
          .exitCode,
      0);
  EXPECT_EQ(GreenPixels(Slurp(Out("png/two.png"))), 0);
  EXPECT_EQ(GreenPixels(Slurp(Out("png/copy.png"))), 0);
  ASSERT_EQ(Run({"-s", "128", plot, Out("thumb.png")}).exitCode, 0);
  EXPECT_GT(GreenPixels(Slurp(Out("thumb.png"))), 0);
  ASSERT_EQ(Run({"-s", "128", plot, Out("thumb.png"), "--hide-pens", "2"}).exitCode, 0);
  EXPECT_EQ(GreenPixels(Slurp(Out("thumb.png"))), 0);
}

TEST_F(ConvertPens, ABadProfileStopsBeforeAnythingIsDrawn) {
  const std::string plot = Fixture("two.hpg", kTwoPens);
  const std::string bad = Fixture("bad.pens", "pen 1 shown\n\npen 2 colour green\n");
  const ProcessResult result = Run({plot, "-o", Out("out.svg"), "--pens", bad});
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_NE(result.err.find("line 3: the colour is #RRGGBB"), std::string::npos) << result.err;
  EXPECT_FALSE(std::filesystem::exists(Out("out.svg")));
  const ProcessResult batch =
      Run({plot, plot, "-f", "svg", "-O", Out("batch"), "--hide-pens", "2,x"});
  EXPECT_EQ(batch.exitCode, 2);
  EXPECT_FALSE(std::filesystem::exists(Out("batch")));
}

// In HP-GL/2 pen 0 is no pen: a file drawn with it alone draws nothing, unless the table
// shows pen 0.
TEST_F(ConvertPens, PenZeroDrawsWhenTheTableShowsIt) {
  const std::string plot = Fixture("zero.plt", "IN;SP0;PA0,0;PD1000,0,1000,1000;");
  const ProcessResult none = Run({plot, "-o", Out("none.svg"), "--hpgl2"});
  EXPECT_EQ(none.exitCode, 1);
  EXPECT_NE(none.err.find("nothing to draw"), std::string::npos);
  EXPECT_NE(none.err.find("drawn with pen 0"), std::string::npos) << none.err;
  const std::string asPenOne = Fixture("zero.pens", "pen 0 colour #000000 width 0.35\n");
  ASSERT_EQ(Run({plot, "-o", Out("zero.svg"), "--hpgl2", "--pens", asPenOne}).exitCode, 0);
  EXPECT_NE(Slurp(Out("zero.svg")).find("stroke=\"#000000\""), std::string::npos);
  // A plot that draws something with another pen is not told about pen 0.
  const std::string mixed = Fixture("mixed.plt", "IN;SP0;PA0,0;PD1000,0;SP1;PD1000,1000;");
  const ProcessResult drawn = Run({mixed, "-o", Out("mixed.svg"), "--hpgl2"});
  EXPECT_EQ(drawn.exitCode, 0);
  EXPECT_EQ(drawn.err.find("pen 0"), std::string::npos) << drawn.err;
}

}  // namespace
}  // namespace korvid
