// The pen table in the files written: a hidden pen is in none of them, a width of the table
// is a stroke width in millimetres of the plot.
#include <gtest/gtest.h>
#include <zlib.h>

#include <QImage>
#include <QSvgRenderer>
#include <QXmlStreamReader>
#include <algorithm>
#include <sstream>

#include "SvgPaths.h"
#include "hpgl2/Hpgl2Reader.h"
#include "output/DrawingExport.h"
#include "output/PdfWriter.h"
#include "output/SvgWriter.h"
#include "pens/PenProfileText.h"
#include "reader/ReaderFixture.h"
#include "render/DrawPlot.h"
#include "render/DrawStandardPage.h"

namespace korvid {
namespace {

// A 1000-unit square in pen 1 (blue in the own reading) and its diagonal in pen 2 (green;
// red in the standard reading's palette): the picture's scale is 32767 / 1100.
constexpr const char* kSquare = "IN;SP1;PU0,0;PD1000,0,1000,1000,0,1000,0,0;SP2;PU0,0;PD1000,1000;";

std::unique_ptr<PlotSource> Source(bool standard) {
  if (standard) {
    auto read = std::make_shared<const StandardReadOutcome>(ReadStandardPlotBytes(kSquare));
    return SourceOfPages(std::shared_ptr<const StandardPlot>(read, &read->plot));
  }
  auto model = std::make_shared<PlotModel>();
  testing::CapturingMessenger messenger;
  std::int16_t status = 0;
  PlotReader(*model, messenger).ReadPlotBytes(kSquare, status);
  model->CurPlot = 1;
  return SourceOfModel(std::shared_ptr<const PlotModel>(model));
}

MetafilePicture Picture(bool standard, const std::string& profile) {
  DisplaySettings colour;
  colour.ColorMode = 1;
  auto pens = std::make_shared<const PenTable>(ReadPenProfileText(profile).table);
  return DrawPlotPicture(*Source(standard), {Rotation{}, colour, pens});
}

std::vector<QString> Strokes(const std::string& svg) {
  std::vector<QString> strokes;
  for (const QXmlStreamAttributes& path : SvgPaths(svg))
    strokes.push_back(path.value("stroke").toString());
  return strokes;
}

// The page contents of a PDF written by Korvid, every stream inflated and joined.
std::string PdfContents(const std::string& pdf) {
  std::string contents;
  for (std::size_t at = pdf.find("stream\n"); at != std::string::npos;
       at = pdf.find("stream\n", at)) {
    at += 7;
    const std::size_t end = pdf.find("\nendstream", at);
    std::string out(64 << 20, '\0');
    uLongf size = out.size();
    if (uncompress(reinterpret_cast<Bytef*>(out.data()), &size,
                   reinterpret_cast<const Bytef*>(pdf.data() + at), end - at) == Z_OK)
      contents += out.substr(0, size);
    at = end;
  }
  return contents;
}

int PixelsOf(const QImage& image, QRgb colour) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      count += (image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF);
  return count;
}

TEST(PenExport, AHiddenPenIsInNoFile) {
  for (const auto& [standard, colour, pdfColour] :
       {std::tuple(false, QStringLiteral("#00ff00"), "0 1 0 RG"),
        {true, QStringLiteral("#ff0000"), "1 0 0 RG"}}) {
    SCOPED_TRACE(standard ? "standard reading" : "own reading");
    const MetafilePicture shown = Picture(standard, "");
    const MetafilePicture hidden = Picture(standard, "pen 2 hidden");
    const FrameOnPage page = FrameAsPage(shown.Frame());
    const std::vector<QString> all = Strokes(SvgOfPicture(shown, page));
    EXPECT_EQ(std::count(all.begin(), all.end(), colour), 1);
    const std::vector<QString> strokes = Strokes(SvgOfPicture(hidden, page));
    EXPECT_EQ(strokes.size(), 1u) << "the square alone";
    EXPECT_EQ(std::count(strokes.begin(), strokes.end(), colour), 0);
    EXPECT_NE(PdfContents(PdfOfPicture(shown, page)).find(pdfColour), std::string::npos);
    EXPECT_EQ(PdfContents(PdfOfPicture(hidden, page)).find(pdfColour), std::string::npos);
    const auto png = [](const MetafilePicture& picture) {
      return QImage::fromData(
          QByteArray::fromStdString(EncodePicture(picture, {ExportFormat::Png, 300, 0})));
    };
    const QRgb rgb = QColor(colour).rgb();
    EXPECT_GT(PixelsOf(png(shown), rgb), 100);
    EXPECT_EQ(PixelsOf(png(hidden), rgb), 0);
    // The frame stays: hiding a layer does not move the rest of the drawing.
    EXPECT_EQ(hidden.Frame(), shown.Frame());
  }
}

// At true size a width of the table is that many millimetres of the page: SVG counts ten
// units to the millimetre, PDF draws in frame units scaled to the page.
TEST(PenExport, AWidthOfTheTableIsAStrokeWidthInMillimetres) {
  for (const bool standard : {false, true}) {
    SCOPED_TRACE(standard ? "standard reading" : "own reading");
    const std::unique_ptr<PlotSource> source = Source(standard);
    const MetafilePicture picture = Picture(standard, "pen 2 width 0.5\npen 1 width 0");
    const FramePlacement placement = source->Placement(Rotation{});
    const FrameOnPage page = PlaceOnPage(DrawingOnFrame(placement), placement.scale, {});
    double svgWidth = 0;
    int hairlines = 0;
    for (const QXmlStreamAttributes& path : SvgPaths(SvgOfPicture(picture, page))) {
      if (path.hasAttribute("stroke-width")) {
        svgWidth = path.value("stroke-width").toDouble();
      } else {
        ++hairlines;
      }
    }
    EXPECT_NEAR(svgWidth / 10, 0.5, 0.005);
    EXPECT_EQ(hairlines, 1) << "width 0: the thinnest line there is";
    const std::string pdf = PdfContents(PdfOfPicture(picture, page));
    double pdfWidth = 0;
    std::istringstream lines(pdf);
    for (std::string line; std::getline(lines, line);)
      if (line.find(" w ") != std::string::npos) pdfWidth = std::max(pdfWidth, std::stod(line));
    EXPECT_NEAR(pdfWidth * page.mmPerFrameUnit, 0.5, 0.005) << pdf.substr(0, 300);
  }
}

}  // namespace
}  // namespace korvid
