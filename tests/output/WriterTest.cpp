// Each file written from a picture is what it claims to be and shows what the window shows.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QXmlStreamReader>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <ranges>
#include <string>
#include <tuple>
#include <vector>

#include "ErrorOf.h"
#include "output/BmpWriter.h"
#include "output/DecimalText.h"
#include "output/DrawingExport.h"
#include "output/PdfWriter.h"
#include "output/PngWriter.h"
#include "output/SvgWriter.h"
#include "reader/ReaderFixture.h"
#include "render/DrawPlot.h"
#include "render/MetafileDrawing.h"

namespace korvid {
namespace {

namespace fs = std::filesystem;

MetafilePicture PictureOf(const std::string& plot) {
  auto model = std::make_unique<PlotModel>();
  testing::CapturingMessenger messenger;
  PlotReader reader(*model, messenger);
  std::int16_t status = 0;
  reader.ReadPlotBytes(plot, status);
  model->CurPlot = 1;
  DisplaySettings colour;
  colour.ColorMode = 1;
  return DrawPlotPicture(*SourceOfModel(*model), {Rotation{}, colour});
}

// A blue square, a dashed red diagonal, a green circle, a dot of pen 3 at its centre.
constexpr const char* kColoured =
    "IN;SP1;PU0,0;PD1000,0,1000,1000,0,1000,0,0;SP4;LT2;PU0,0;PD1000,1000;LT;SP2;PU500,500;CI200;"
    "SP3;PD500,500;";

// Lines in two pens and a row of circles: enough for the writers to share work between threads.
std::string LargePlot() {
  std::string plot = "IN;SP1;PU0,0;PD";
  for (int i = 0; i < 12000; ++i)
    plot += std::to_string(i % 2 == 0 ? 0 : 3000) + "," + std::to_string(i / 4) + ",";
  plot += "0,0;SP4;";
  for (int i = 0; i < 2000; ++i)
    plot += "PU" + std::to_string(100 + (i % 40) * 70) + "," + std::to_string(100 + i) + ";CI30;";
  return plot;
}

QImage Painted(const MetafilePicture& picture, QSize size) {
  QImage image(size, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  picture.Paint(painter, QRectF(QPointF(0, 0), QSizeF(size)));
  return image;
}

QImage Decoded(const std::string& bytes) {
  return QImage::fromData(QByteArray::fromStdString(bytes)).convertToFormat(QImage::Format_RGB32);
}

// The image is drawn as the window draws it, and PNG and BMP keep every pixel of it.
TEST(RasterWriters, KeepEveryPixelOfThePaintedPicture) {
  const std::pair<std::string, int> cases[] = {
      {kColoured, 301}, {"IN;PU0,0;PD100,50;", 13}, {LargePlot(), 777}};
  for (const auto& [plot, widthPx] : cases) {
    const MetafilePicture picture = PictureOf(plot);
    const QImage raster = RasterOfPicture(picture, widthPx, 0);
    EXPECT_EQ(raster, Painted(picture, raster.size())) << widthPx;
    EXPECT_EQ(Decoded(PngOfImage(raster)), raster) << widthPx;
    EXPECT_EQ(Decoded(BmpOfImage(raster)), raster) << widthPx;
  }
}

// A part that fails, on either thread, fails the image with its own error; the other
// thread does not wait for it forever.
TEST(RasterWriters, APartThatFailsFailsTheImage) {
  const MetafilePicture picture = PictureOf(kColoured);
  const PictureMaker fine = [&] { return picture; };
  const PictureMaker failing = []() -> MetafilePicture { throw RuntimeError(7); };
  for (const auto& [first, later] : {std::pair(&failing, &fine), {&fine, &failing}})
    EXPECT_EQ(testing::ErrorOf([&] { RasterOfParts({40, 30}, *first, *later); }), 7);
}

TEST(PngWriter, KeepsImagesOfAnyNumberOfColours) {
  for (const int colours : {1, 2, 3, 5, 17, 256, 257, 5000}) {
    QImage image(71, 9, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        image.setPixel(x, y,
                       qRgb(((y * 71 + x) % colours) * 7 % 256, (y * 71 + x) % colours / 37,
                            (y * 71 + x) % colours % 37));
    EXPECT_EQ(Decoded(PngOfImage(image)), image) << colours << " colours";
  }
}

// A large image is indexed in an upper and a lower band at once: their palettes meet in
// one, whatever order each band met its colours in, and beyond 256 colours together the
// image is kept in full colour.
TEST(PngWriter, BandsOfALargeImageKeepTheirColours) {
  struct Bands {
    const char* name;
    int upperColours;
    int lowerColours;
    int lowerFirst;  // the first colour of the lower band's cycle
  };
  for (const Bands& c :
       {Bands{"SameColoursOtherOrder", 3, 3, 2}, Bands{"LowerAddsColours", 2, 9, 1},
        Bands{"OnlyWhite", 1, 1, 0}, Bands{"TooManyTogether", 200, 200, 200}}) {
    QImage image(640, 480, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
      const bool upper = y < image.height() / 2;
      for (int x = 0; x < image.width(); ++x) {
        const int colour =
            upper ? (x / 3) % c.upperColours : c.lowerFirst + (x / 3 + y) % c.lowerColours;
        image.setPixel(x, y, qRgb(255 - colour, colour * 5 % 256, colour / 3));
      }
    }
    EXPECT_EQ(Decoded(PngOfImage(image)), image) << c.name;
  }
}

// The attributes of every path of an SVG document, which must be well-formed.
std::vector<QXmlStreamAttributes> SvgPaths(const std::string& svg) {
  QXmlStreamReader xml(QByteArray::fromStdString(svg));
  std::vector<QXmlStreamAttributes> paths;
  while (!xml.atEnd())
    if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QStringLiteral("path"))
      paths.push_back(xml.attributes());
  EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
  return paths;
}

TEST(VectorWriters, WriteValidDocumentsOfTheFrameWithStylesDotsAndFills) {
  const std::string svg = SvgOfPicture(PictureOf(kColoured));
  const std::vector<QXmlStreamAttributes> paths = SvgPaths(svg);
  EXPECT_EQ(paths.size(), 4u) << "square, diagonal, circle and dot";
  EXPECT_TRUE(
      std::ranges::any_of(paths, [](auto& a) { return a.hasAttribute("stroke-dasharray"); }));
  EXPECT_TRUE(std::ranges::any_of(paths, [](auto& a) {
    return a.value("stroke-linecap") == QStringLiteral("round") &&
           a.value("d").endsWith(QStringLiteral("h0"));
  }));
  QSvgRenderer renderer(QByteArray::fromStdString(svg));
  EXPECT_TRUE(renderer.isValid());
  EXPECT_EQ(renderer.viewBoxF(), QRectF(0, 0, 3276.7, 3276.7));
  // Pages of the standard reading bring filled areas and wide pens, in SVG and in PDF.
  auto drawing = std::make_shared<MetafilePicture::Drawing>();
  drawing->frame = QRect(0, 0, 1000, 1000);
  drawing->pens = {PicturePen{0xff0000ff, PenStyle::kSolid, 50}};
  drawing->lines = {FrameLine{100, 100, 900, 100}, FrameLine{500, 500, 500, 500}};
  FrameFill fill;
  fill.colour = 0xffff0000;
  fill.points = {{0, 0}, {1000, 0}, {1000, 1000}, {200, 200}, {300, 200}, {300, 300}};
  fill.ringSizes = {3, 3};
  fill.bounds = {0, 0, 1000, 1000};
  drawing->fills = {fill};
  drawing->runs = {DrawRun{0, RunKind::kFills, 0, 1, {0, 0, 1000, 1000}},
                   DrawRun{0, RunKind::kLines, 0, 2, {100, 100, 900, 500}}};
  const MetafilePicture picture = MetafilePicture::FromDrawing(drawing);
  EXPECT_TRUE(std::ranges::any_of(SvgPaths(SvgOfPicture(picture)), [](auto& a) {
    return a.value("fill") == QStringLiteral("#ff0000") &&
           a.value("fill-rule") == QStringLiteral("evenodd");
  }));
  EXPECT_NE(PdfOfPicture(picture).find("/Filter"), std::string::npos);
}

std::string Shell(const std::string& command) {
  std::string output;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    char buffer[4096];
    while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
      output.append(buffer, n);
    ::pclose(pipe);
  }
  return output;
}

// Poppler opens one page of the frame, with ink next to every drawn pixel of the raster image.
TEST(PdfWriter, OpensAndShowsTheDrawing) {
  if (Shell("command -v pdfinfo && command -v pdftoppm").find("pdftoppm") == std::string::npos)
    GTEST_SKIP() << "pdfinfo and pdftoppm (poppler-utils) are not installed";
  std::string pattern = (fs::temp_directory_path() / "korvid-pdf-XXXXXX").string();
  ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
  const fs::path folder = pattern, pdf = folder / "plot.pdf";
  for (const std::string& plot : {std::string(kColoured), LargePlot()}) {
    const MetafilePicture picture = PictureOf(plot);
    std::ofstream(pdf, std::ios::binary) << PdfOfPicture(picture);
    const std::string info = Shell("pdfinfo " + pdf.string() + " 2>&1");
    EXPECT_NE(info.find("Pages:           1"), std::string::npos) << info;
    EXPECT_NE(info.find("928.83 x"), std::string::npos) << info;  // 327.67 mm
    EXPECT_EQ(info.find("Syntax"), std::string::npos) << info;
    Shell("pdftoppm -r 40 -png -singlefile " + pdf.string() + " " + (folder / "page").string());
    const QImage page(QString::fromStdString((folder / "page.png").string()));
    ASSERT_FALSE(page.isNull());
    const QImage raster = RasterOfPicture(picture, page.width(), 0);
    const auto ink = [](const QImage& image, int x, int y) {
      return (image.pixel(x, y) & 0xffffff) != 0xffffff;
    };
    int drawn = 0, matched = 0;
    for (int y = 1; y + 1 < std::min(page.height(), raster.height()); ++y) {
      for (int x = 1; x + 1 < page.width(); ++x) {
        if (!ink(raster, x, y)) continue;
        ++drawn;
        matched += std::ranges::any_of(
            std::views::iota(0, 9), [&](int d) { return ink(page, x + d % 3 - 1, y + d / 3 - 1); });
      }
    }
    ASSERT_GT(drawn, 100);
    EXPECT_GT(matched, drawn * 95 / 100);
  }
  fs::remove_all(folder);
}

TEST(DecimalText, WritesShortPlainNumbers) {
  // clang-format off
  const std::tuple<double, const char*, const char*> cases[] = {  // value, hundredths, tenths
      {12, "12", "12"}, {3.5, "3.5", "3.5"}, {-0.25, "-0.25", "-0.3"}, {0.004, "0", "0"},
      {-0.004, "0", "0"}, {32767.126, "32767.13", "32767.1"}, {1e30, "0", "0"},
      {-7.07, "-7.07", "-7.1"}, {0.1, "0.1", "0.1"}, {std::nan(""), "0", "0"}};
  // clang-format on
  for (const auto& [value, hundredths, tenths] : cases) {
    std::string text;
    DecimalText(text).Hundredths(value).Char(' ').Tenths(value);
    EXPECT_EQ(text, hundredths + (" " + std::string(tenths))) << value;
  }
}

}  // namespace
}  // namespace korvid
