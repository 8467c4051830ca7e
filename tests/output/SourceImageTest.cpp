// A large plot's image drawn in two parts at once, against the image of its whole picture.
#include <gtest/gtest.h>

#include "hpgl2/Hpgl2Reader.h"
#include "output/DrawingExport.h"
#include "reader/PlotReader.h"
#include "render/DrawPlot.h"
#include "render/DrawStandardPage.h"
#include "render/MetafileDrawing.h"
#include "render/Rotation.h"

namespace korvid {
namespace {

class Silent : public ReaderMessenger {
  void ShowMessage(const std::string&) override {}
};

// The setup EncodeSourceImage draws the request's image with.
DrawSetup ForImage(const PlotSource& source, DrawSetup setup, const EncodeRequest& request) {
  const QRect frame = source.Frame(setup.rotation.angle);
  setup.imagePixelsPerFrameUnit = PixelsPerFrameUnit(frame, RasterLayoutFor(frame, request));
  return setup;
}

// Enough segments for two threads, zigzags in pens that have colours and pens that keep
// the colour before them, in every line style, and circles and arcs after them.
std::unique_ptr<PlotModel> LargePlot() {
  std::string plot = "IN;";
  for (int i = 0; i < 300; ++i) {
    plot += "SP" + std::to_string(i % 12) + ";LT" + std::to_string(i % 6) + ";PU0," +
            std::to_string(i * 20) + ";PD";
    for (int x = 1; x <= 80; ++x)
      plot += std::to_string(x * 90) + "," + std::to_string(i * 20 + x % 3 * 9) + ",";
    plot.back() = ';';
  }
  for (int i = 0; i < 200; ++i) {
    plot += "SP" + std::to_string(i % 10) + ";PU" + std::to_string(i * 31) + ",3000;CI" +
            std::to_string(40 + i * 7) + ";AA3000,3000," + std::to_string(i * 17 % 360 - 180) + ";";
  }
  auto model = std::make_unique<PlotModel>();
  Silent silent;
  std::int16_t status = 0;
  PlotReader(*model, silent).ReadPlotBytes(plot, status);
  model->CurPlot = 1;
  return model;
}

TEST(SourceImageTest, IsTheImageOfTheWholePicture) {
  const std::unique_ptr<PlotModel> model = LargePlot();
  ASSERT_GT(model->SegCount[1] + model->ArcCount[1], 20000);
  for (const auto& [angle, colour, format, widthPx] : {std::tuple(0, 1, ExportFormat::Png, 700),
                                                       {90, 1, ExportFormat::Bmp, 400},
                                                       {270, 0, ExportFormat::Png, 900}}) {
    SCOPED_TRACE(angle);
    DisplaySettings settings;
    settings.ColorMode = colour;
    const DrawSetup setup{RotationForAngle(angle), settings};
    EncodeRequest request;
    request.format = format;
    request.widthPx = widthPx;
    const std::unique_ptr<PlotSource> source = SourceOfModel(*model);
    ASSERT_TRUE(source->PartsForThreads(1.0).has_value());
    EXPECT_EQ(EncodeSourceImage(*source, setup, request),
              EncodePicture(DrawPlotPicture(*source, setup), request));
  }
}

// A standard page of wide pens cut for two threads: where one line goes on from the end of
// the one before, the two stay in one part, joined as the whole picture joins them.
TEST(SourceImageTest, StandardPageInPartsIsTheImageOfTheWholePicture) {
  // A line of 77 points first: the cut of equal work then falls between two joined lines.
  std::string plot = "IN;LA1,1,2,1;SP1;PU0,-200;PD";
  for (int x = 1; x <= 76; ++x)
    plot += std::to_string(x * 110) + "," + std::to_string(-200 - x % 2 * 40) + ",";
  plot.back() = ';';
  for (int i = 0; i < 160; ++i) {
    plot += "SP" + std::to_string(i / 40 + 1) + ";PW" + std::to_string(0.3 + i % 4 * 0.4) +
            ";PU0," + std::to_string(i * 60) + ";";
    for (int stroke = 0; stroke < 5; ++stroke) {
      plot += "PD";
      for (int x = 1; x <= 30; ++x) {
        const int along = stroke * 30 + x;
        plot += std::to_string(along * 60) + "," + std::to_string(i * 60 + along % 2 * 35) + ",";
      }
      plot.back() = ';';
      plot += "PU;";  // the next stroke starts where this one ends
    }
    if (i % 20 == 19) plot += "FT1;RA3000," + std::to_string(i * 60 + 500) + ";";
  }
  const auto pages = std::make_shared<const StandardPlot>(ReadStandardPlotBytes(plot).plot);
  const std::unique_ptr<PlotSource> source = SourceOfPages(pages);
  ASSERT_TRUE(source->PartsForThreads(1.0).has_value());
  for (const auto& [angle, widthPx] : {std::pair(0, 1100), {90, 640}}) {
    SCOPED_TRACE(angle);
    const DrawSetup setup{RotationForAngle(angle), DisplaySettings()};
    EncodeRequest request;
    request.widthPx = widthPx;
    EXPECT_EQ(EncodeSourceImage(*source, setup, request),
              EncodePicture(DrawPlotPicture(*source, ForImage(*source, setup, request)), request));
  }
}

// Circles of 5-degree chords, as a plotter draws them, a few pixels across on a small image.
TEST(SourceImageTest, AnImageLeavesOutWhatItsPixelsCannotShow) {
  std::string plot = "IN;SP1;";
  for (int i = 0; i < 400; ++i)
    plot += "PU" + std::to_string(i % 20 * 400) + "," + std::to_string(i / 20 * 400) + ";CI150;";
  const auto pages = std::make_shared<const StandardPlot>(ReadStandardPlotBytes(plot).plot);
  const std::unique_ptr<PlotSource> source = SourceOfPages(pages);
  const DrawSetup setup{RotationForAngle(0), DisplaySettings()};
  const auto linesOf = [&](const DrawSetup& drawn) {
    return DrawPlotPicture(*source, drawn).Contents()->lines.size();
  };
  const std::size_t shown = linesOf(setup);
  EXPECT_EQ(shown, 400u * 72);
  for (const auto& [widthPx, fewest, most] :
       {std::tuple(300, 400u * 12, 400u * 36), {100, 400u * 6, 400u * 18}, {12000, shown, shown}}) {
    SCOPED_TRACE(widthPx);
    EncodeRequest request;
    request.widthPx = widthPx;
    const DrawSetup image = ForImage(*source, setup, request);
    const std::size_t lines = linesOf(image);
    EXPECT_GE(lines, fewest);
    EXPECT_LE(lines, most);
    if (widthPx < 10000) {
      EXPECT_EQ(EncodeSourceImage(*source, setup, request),
                EncodePicture(DrawPlotPicture(*source, image), request));
    }
  }
}

}  // namespace
}  // namespace korvid
