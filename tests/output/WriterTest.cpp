// Each file written from a picture is what it claims to be and shows what the window shows.
#include <gtest/gtest.h>
#include <unistd.h>

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
#include "SvgPaths.h"
#include "output/BmpWriter.h"
#include "output/DecimalText.h"
#include "output/DrawingExport.h"
#include "output/PaperLayout.h"
#include "output/PdfWriter.h"
#include "output/PngWriter.h"
#include "output/SvgWriter.h"
#include "reader/ReaderFixture.h"
#include "render/DrawPlot.h"
#include "render/MetafileDrawing.h"
#include "view/PlotCoordinates.h"

namespace korvid {
namespace {

namespace fs = std::filesystem;

std::unique_ptr<PlotModel> ModelOf(const std::string& plot) {
  auto model = std::make_unique<PlotModel>();
  testing::CapturingMessenger messenger;
  PlotReader reader(*model, messenger);
  std::int16_t status = 0;
  reader.ReadPlotBytes(plot, status);
  model->CurPlot = 1;
  return model;
}

MetafilePicture PictureOf(const PlotModel& model) {
  DisplaySettings colour;
  colour.ColorMode = 1;
  return DrawPlotPicture(*SourceOfModel(model), {Rotation{}, colour});
}
MetafilePicture PictureOf(const std::string& plot) {
  return PictureOf(*ModelOf(plot));
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

// The picture on a page of its frame's own size, and as an image `widthPx` wide.
std::string Svg(const MetafilePicture& picture) {
  return SvgOfPicture(picture, FrameAsPage(picture.Frame()));
}
std::string Pdf(const MetafilePicture& picture) {
  return PdfOfPicture(picture, FrameAsPage(picture.Frame()));
}
QImage Raster(const MetafilePicture& picture, int widthPx) {
  return RasterOfPicture(picture, RasterLayoutFor(picture.Frame(), {ExportFormat::Png, widthPx}));
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
    const QImage raster = Raster(picture, widthPx);
    EXPECT_EQ(raster, Painted(picture, raster.size())) << widthPx;
    EXPECT_EQ(Decoded(PngOfImage(raster)), raster) << widthPx;
    EXPECT_EQ(Decoded(BmpOfImage(raster)), raster) << widthPx;
  }
}

// A resolution asked for travels in the file, so that the image prints at its size; none
// asked for leaves the files as they always were (BMP at the screen's 96 dpi, PNG without).
TEST(RasterWriters, KeepTheResolutionAskedFor) {
  const QImage raster = Raster(PictureOf(kColoured), 120);
  const auto wordAt = [](const std::string& bytes, std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 3])) << 24;
  };
  EXPECT_EQ(PngOfImage(raster).find("pHYs"), std::string::npos);
  EXPECT_EQ(wordAt(BmpOfImage(raster), 38), 3780u);
  for (const auto& [dpi, perMetre] :
       {std::pair(96, 3780), {300, 11811}, {600, 23622}, {72, 2835}}) {
    const std::string png = PngOfImage(raster, PixelsPerMetre(dpi));
    const QImage fromPng = QImage::fromData(QByteArray::fromStdString(png));
    EXPECT_EQ(fromPng.dotsPerMeterX(), perMetre) << dpi;
    EXPECT_EQ(fromPng.dotsPerMeterY(), perMetre) << dpi;
    EXPECT_EQ(fromPng.convertToFormat(QImage::Format_RGB32), raster) << dpi;
    EXPECT_LT(png.find("pHYs"), png.find("IDAT")) << "read only before the pixels";
    const std::string bmp = BmpOfImage(raster, PixelsPerMetre(dpi));
    EXPECT_EQ(wordAt(bmp, 38), static_cast<std::uint32_t>(perMetre)) << dpi;
    EXPECT_EQ(wordAt(bmp, 42), static_cast<std::uint32_t>(perMetre)) << dpi;
    EXPECT_EQ(Decoded(bmp), raster);
  }
  EXPECT_EQ(PixelsAcross(100, 300), 1181);
  EXPECT_EQ(PixelsAcross(52.5, 300), 620);
  EXPECT_EQ(PixelsAcross(0.01, 96), 1) << "never an image of no pixels";
}

// A part that fails, on either thread, fails the image with its own error; the other
// thread does not wait for it forever.
TEST(RasterWriters, APartThatFailsFailsTheImage) {
  const MetafilePicture picture = PictureOf(kColoured);
  const PartPainter fine = [&](QPainter& painter, const QRectF& target) {
    picture.Paint(painter, target);
  };
  const PartPainter failing = [](QPainter&, const QRectF&) { throw RuntimeError(7); };
  for (const auto& [first, later] : {std::pair(&failing, &fine), {&fine, &failing}})
    EXPECT_EQ(testing::ErrorOf([&] {
                RasterOfParts({{40, 30}, QRectF(0, 0, 40, 30)}, *first, *later);
              }),
              7);
}

// Of any number of colours, in runs of any length.
TEST(PngWriter, KeepsImagesOfAnyNumberOfColours) {
  for (const int run : {1, 4, 5, 11})
    for (const int colours : {1, 2, 3, 5, 17, 256, 257, 5000}) {
      QImage image(71, 9, QImage::Format_RGB32);
      for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
          const int colour = (y * 71 + x) / run % colours;
          image.setPixel(x, y, qRgb(colour * 7 % 256, colour / 37, colour % 37));
        }
      EXPECT_EQ(Decoded(PngOfImage(image)), image) << colours << " colours in runs of " << run;
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

TEST(VectorWriters, WriteValidDocumentsOfTheFrameWithStylesDotsAndFills) {
  const std::string svg = Svg(PictureOf(kColoured));
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
  EXPECT_TRUE(std::ranges::any_of(SvgPaths(Svg(picture)), [](auto& a) {
    return a.value("fill") == QStringLiteral("#ff0000") &&
           a.value("fill-rule") == QStringLiteral("evenodd");
  }));
  EXPECT_NE(Pdf(picture).find("/Filter"), std::string::npos);
}

// A drawing far larger than a part of the text the SVG writer hands on at once, in runs
// of three pens, some of dots only: two threads write it, in parts, and every run comes
// out once, in order, whole.
TEST(SvgWriter, WritesALargeDrawingInPartsRunByRun) {
  auto drawing = std::make_shared<MetafilePicture::Drawing>();
  drawing->frame = QRect(0, 0, 30000, 30000);
  const QRgb colours[] = {0xff0000ff, 0xff00ff00, 0xffff0000};
  for (QRgb colour : colours)
    drawing->pens.push_back(PicturePen{colour, PenStyle::kSolid, 0});
  std::vector<QString> expected;
  std::size_t strokes = 0;
  for (std::uint32_t r = 0; r < 400; ++r) {
    const bool dotsOnly = r % 7 == 3;
    const auto first = static_cast<std::uint32_t>(drawing->lines.size());
    for (int i = 0; i < 150; ++i) {
      const float x = static_cast<float>(i * 10), y = static_cast<float>(r * 50);
      drawing->lines.push_back(dotsOnly ? FrameLine{x, y, x, y} : FrameLine{x, y, x + 5, y + 40});
    }
    strokes += dotsOnly ? 0 : 150;
    drawing->runs.push_back({r % 3, RunKind::kLines, first, 150, {0, 0, 30000, 30000}});
    expected.push_back(QString::asprintf("#%06x", colours[r % 3] & 0xffffff));
  }
  const std::string svg = Svg(MetafilePicture::FromDrawing(drawing));
  ASSERT_GT(svg.size(), 3u << 18) << "several of the parts handed on";
  std::vector<QString> written;
  std::size_t lines = 0;
  for (const QXmlStreamAttributes& path : SvgPaths(svg)) {
    written.push_back(path.value("stroke").toString());
    lines += static_cast<std::size_t>(path.value("d").count(u'L'));
  }
  EXPECT_EQ(written, expected);
  EXPECT_EQ(lines, strokes);
}

std::string Shell(const std::string& command);

// Where anything is drawn on an image.
QRect InkBox(const QImage& image) {
  QRect ink;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (qGray(image.pixel(x, y)) < 240) ink |= QRect(x, y, 1, 1);
  return ink;
}

// Every format puts the frame where the page says: fitted and centred on A4, the image, the
// SVG file as a renderer draws it and the PDF file as Poppler draws it show the drawing in
// one place. A page that shows part of the frame holds nothing of the rest.
TEST(VectorWriters, PutTheFrameWhereThePageSays) {
  const auto model = ModelOf(kColoured);
  const MetafilePicture picture = PictureOf(*model);
  const FramePlacement placement = FramePlacement::OfPlot(*model, 0, 1, 0);
  const FrameOnPage page = PlaceOnPage(DrawingOnFrame(placement), placement.scale,
                                       {std::nullopt, *PaperNamed("A4"), PaperTurn::Best, true});
  constexpr int kDpi = 50;
  constexpr double kPxPerMm = kDpi / 25.4;
  // The 25 x 25 mm square, and the hairlines' room, enlarged to the 190 mm across.
  const double scale = 190 / 25.25;
  const QRectF square((10 + 0.125 * scale) * kPxPerMm,
                      ((297 - 25.25 * scale) / 2 + 0.125 * scale) * kPxPerMm, 25 * scale * kPxPerMm,
                      25 * scale * kPxPerMm);
  const auto expectAt = [&](const QImage& image, const char* what) {
    // A4 at 50 dpi; Poppler rounds its pixels up.
    EXPECT_TRUE(std::abs(image.width() - 413) <= 1 && std::abs(image.height() - 585) <= 1)
        << what << " " << image.width() << " x " << image.height();
    const QRect ink = InkBox(image);
    EXPECT_NEAR(ink.left(), square.left(), 1.5) << what;
    EXPECT_NEAR(ink.top(), square.top(), 1.5) << what;
    EXPECT_NEAR(ink.right(), square.right(), 1.5) << what;
    EXPECT_NEAR(ink.bottom(), square.bottom(), 1.5) << what;
  };
  expectAt(RasterOfPicture(picture,
                           RasterLayoutFor(picture.Frame(), {ExportFormat::Png, 0, kDpi, page})),
           "image");
  QImage rendered(413, 585, QImage::Format_RGB32);
  rendered.fill(Qt::white);
  {
    QPainter painter(&rendered);
    QSvgRenderer(QByteArray::fromStdString(SvgOfPicture(picture, page))).render(&painter);
  }
  expectAt(rendered, "SVG");
  if (Shell("command -v pdftoppm").empty()) GTEST_SKIP() << "pdftoppm (poppler-utils) is missing";
  const fs::path pdf = fs::temp_directory_path() / ("korvid-page-" + std::to_string(::getpid()));
  std::ofstream(pdf.string() + ".pdf", std::ios::binary) << PdfOfPicture(picture, page);
  Shell("pdftoppm -r 50 -png -singlefile " + pdf.string() + ".pdf " + pdf.string());
  expectAt(QImage(QString::fromStdString(pdf.string() + ".png")), "PDF");
  fs::remove(pdf.string() + ".pdf");
  fs::remove(pdf.string() + ".png");

  // The square's top-left corner alone: its two edges and the diagonal, not the circle
  // nor the dot at the middle.
  const FrameSpot corner = placement.ToFrame({0, 1000});
  const FrameSpot inside = placement.ToFrame({250, 750});
  const FrameOnPage part = PlaceOnPage(
      {corner.u, corner.v, inside.u - corner.u, inside.v - corner.v}, placement.scale, {});
  const std::string svg = SvgOfPicture(picture, part);
  const std::vector<QXmlStreamAttributes> paths = SvgPaths(svg);
  EXPECT_EQ(paths.size(), 2u) << svg;
  int lines = 0;
  for (const QXmlStreamAttributes& path : paths)
    lines += static_cast<int>(path.value("d").count(QLatin1Char('L')));
  EXPECT_EQ(lines, 3) << "the square's top and left edges, the diagonal";
  EXPECT_FALSE(std::ranges::any_of(paths, [](auto& a) {
    return a.value("d").contains(QLatin1Char('A')) || a.value("d").contains(QStringLiteral("h0"));
  })) << svg;
  EXPECT_LT(PdfOfPicture(picture, part).size(), PdfOfPicture(picture, page).size());
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
    std::ofstream(pdf, std::ios::binary) << Pdf(picture);
    const std::string info = Shell("pdfinfo " + pdf.string() + " 2>&1");
    EXPECT_NE(info.find("Pages:           1"), std::string::npos) << info;
    EXPECT_NE(info.find("928.83 x"), std::string::npos) << info;  // 327.67 mm
    EXPECT_EQ(info.find("Syntax"), std::string::npos) << info;
    Shell("pdftoppm -r 40 -png -singlefile " + pdf.string() + " " + (folder / "page").string());
    const QImage page(QString::fromStdString((folder / "page.png").string()));
    ASSERT_FALSE(page.isNull());
    const QImage raster = Raster(picture, page.width());
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
      {-7.07, "-7.07", "-7.1"}, {0.1, "0.1", "0.1"}, {std::nan(""), "0", "0"},
      {9999.994, "9999.99", "10000"}, {10000, "10000", "10000"}, {1005.5, "1005.5", "1005.5"},
      {100.01, "100.01", "100"}, {-9.99, "-9.99", "-10"}, {1e9, "1000000000", "1000000000"},
      {7, "7", "7"}, {42.1, "42.1", "42.1"}, {100, "100", "100"}, {1000.001, "1000", "1000"},
      {-1234.56, "-1234.56", "-1234.6"}, {0.05, "0.05", "0.1"}};
  // clang-format on
  // Into a string, and into a buffer that starts with no room and grows on the way: the text
  // written before stays, and nothing left past a number's end shows.
  TextBuffer buffer;
  std::string all;
  for (const auto& [value, hundredths, tenths] : cases) {
    std::string text;
    DecimalText(text).Hundredths(value).Char(' ').Tenths(value);
    EXPECT_EQ(text, hundredths + (" " + std::string(tenths))) << value;
    BasicDecimalText<TextBuffer>(buffer).Hundredths(value).Char(' ').Tenths(value).Char(';');
    all += text + ';';
  }
  EXPECT_EQ(std::string_view(buffer), all);
  buffer.resize(3);
  buffer.append(std::string_view("|"));
  EXPECT_EQ(std::string_view(buffer), all.substr(0, 3) + "|");
}

}  // namespace
}  // namespace korvid
