// A large plot's image drawn in two parts at once, against the image of its whole picture.
#include <gtest/gtest.h>

#include "output/DrawingExport.h"
#include "reader/PlotReader.h"
#include "render/DrawPlot.h"
#include "render/Rotation.h"

namespace korvid {
namespace {

class Silent : public ReaderMessenger {
  void ShowMessage(const std::string&) override {}
};

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
    const EncodeRequest request{format, widthPx, 0};
    const std::unique_ptr<PlotSource> source = SourceOfModel(*model);
    ASSERT_TRUE(source->PartsForThreads(1.0).has_value());
    EXPECT_EQ(EncodeSourceImage(*source, setup, request),
              EncodePicture(DrawPlotPicture(*source, setup), request));
  }
}

}  // namespace
}  // namespace korvid
