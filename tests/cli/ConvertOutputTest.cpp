// korvid-convert drawing into files, run as a user runs it: what each format holds, and
// what is left on disk when a conversion fails.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QColor>
#include <QImage>
#include <QString>
#include <QXmlStreamReader>
#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <ostream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "AsUnprivilegedUser.h"

namespace korvid {
namespace {

namespace fs = std::filesystem;

// A square outline in pen 1: 1000 x 1000 plotter units.
constexpr const char* kSquare = "IN;SP1;PU0,0;PD1000,0,1000,1000,0,1000,0,0;";
// Twice as wide as high.
constexpr const char* kLandscape = "IN;SP1;PU0,0;PD2000,0,2000,1000,0,1000,0,0;";
constexpr const char* kPortrait = "IN;SP1;PU0,0;PD1000,0,1000,2000,0,2000,0,0;";
// The square in blue, with a dashed red line and a cyan circle inside it.
constexpr const char* kColoured =
    "IN;SP1;PU0,0;PD1000,0,1000,1000,0,1000,0,0;SP4;LT2;PU100,250;PD900,250;"
    "LT;SP3;PU500,700;CI150;";
// A long line along the top of a 2000 x 1000 plot and a short one at its lower left,
// which only sets the extents.
constexpr const char* kTopLine = "IN;SP1;PU0,1000;PD2000,1000;PU0,0;PD0,100;";

// The longer side of every plot picture, in 0.01 mm.
constexpr int kLongSide = 32767;
// The shorter side of a 2:1 plot: both sides carry the same 100-unit margin.
constexpr int kHalfSide = 17164;
// 327.67 mm at 96 dpi.
constexpr int kDefaultPixels = 1238;

struct ProcessResult {
  int exitCode = -1;
  std::string out;
  std::string err;
};

std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::uint32_t U32At(const std::string& bytes, std::size_t offset) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i)
    value = (value << 8) | static_cast<unsigned char>(bytes.at(offset + i));
  return value;
}

std::int32_t I32At(const std::string& bytes, std::size_t offset) {
  return static_cast<std::int32_t>(U32At(bytes, offset));
}

std::string Utf16Le(const std::u16string& text) {
  std::string bytes;
  for (char16_t unit : text) {
    bytes.push_back(static_cast<char>(unit & 0xff));
    bytes.push_back(static_cast<char>(unit >> 8));
  }
  return bytes;
}

struct EmfHeader {
  std::int32_t frameLeft, frameTop, frameRight, frameBottom;
  std::string signature;
  std::string description;  // UTF-16LE bytes
};

EmfHeader ReadEmfHeader(const std::string& bytes) {
  EmfHeader header{};
  if (bytes.size() < 88 || U32At(bytes, 0) != 1) return header;
  header.frameLeft = I32At(bytes, 24);
  header.frameTop = I32At(bytes, 28);
  header.frameRight = I32At(bytes, 32);
  header.frameBottom = I32At(bytes, 36);
  header.signature = bytes.substr(40, 4);
  const std::uint32_t characters = U32At(bytes, 60);
  const std::uint32_t offset = U32At(bytes, 64);
  if (offset < bytes.size()) header.description = bytes.substr(offset, 2 * characters);
  return header;
}

struct PdfPages {
  int pages = 0;
  std::vector<double> mediaBoxMm;  // width and height of the first page
};

PdfPages ReadPdfPages(const std::string& bytes) {
  PdfPages result;
  static const std::regex kPage(R"(/Type\s*/Page(?![a-zA-Z]))");
  result.pages =
      static_cast<int>(std::distance(std::sregex_iterator(bytes.begin(), bytes.end(), kPage), {}));
  static const std::regex kMediaBox(
      R"(/MediaBox\s*\[\s*([-0-9.]+)\s+([-0-9.]+)\s+([-0-9.]+)\s+([-0-9.]+)\s*\])");
  std::smatch box;
  if (std::regex_search(bytes, box, kMediaBox)) {
    constexpr double kMmPerPoint = 25.4 / 72;
    result.mediaBoxMm = {(std::stod(box[3]) - std::stod(box[1])) * kMmPerPoint,
                         (std::stod(box[4]) - std::stod(box[2])) * kMmPerPoint};
  }
  return result;
}

struct SvgSummary {
  bool wellFormed = false;
  QString root;
  QString viewBox;
  int strokes = 0;  // line, polyline and path elements
  double maxX = 0;  // the largest x of any polyline point
};

SvgSummary ReadSvg(const std::string& bytes) {
  SvgSummary summary;
  QXmlStreamReader xml(QByteArray::fromStdString(bytes));
  while (!xml.atEnd()) {
    if (xml.readNext() != QXmlStreamReader::StartElement) continue;
    const QString name = xml.name().toString();
    if (summary.root.isEmpty()) {
      summary.root = name;
      summary.viewBox = xml.attributes().value("viewBox").toString();
    }
    if (name == "line" || name == "polyline" || name == "path") ++summary.strokes;
    if (name == "polyline") {
      const QStringList points =
          xml.attributes().value("points").toString().split(' ', Qt::SkipEmptyParts);
      for (const QString& point : points)
        summary.maxX = std::max(summary.maxX, point.section(',', 0, 0).toDouble());
    }
  }
  summary.wellFormed = !xml.hasError();
  return summary;
}

// Whether the file at `path` still holds exactly `text`; a failure shows the start of what
// it holds instead, not megabytes of drawing.
::testing::AssertionResult Holds(const std::string& path, const std::string& text) {
  const std::string bytes = Slurp(path);
  if (bytes == text) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << path << " holds " << bytes.size() << " bytes: \"" << bytes.substr(0, 60) << "\"...";
}

bool IsWhite(QRgb pixel) {
  return (pixel & 0xffffff) == 0xffffff;
}

// A list of the files in a folder whose names contain `part`.
std::vector<std::string> FilesContaining(const fs::path& folder, const std::string& part) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name.find(part) != std::string::npos) names.push_back(name);
  }
  return names;
}

// Failure messages name a table row by its name rather than by its bytes.
template <typename Case>
requires requires(const Case& c) {
  c.name;
}
std::ostream& operator<<(std::ostream& out, const Case& c) {
  return out << c.name;
}

class ConvertOutput : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "korvid-out-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    directory = pattern;
  }
  void TearDown() override {
    std::error_code ignored;
    for (const auto& entry : fs::recursive_directory_iterator(directory, ignored))
      fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(directory, ignored);
  }

  std::string Fixture(const std::string& name, const std::string& bytes) {
    const fs::path path = directory / name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path.string();
  }

  std::string Out(const std::string& name) const { return (directory / name).string(); }

  // Runs korvid-convert with `arguments`, in `workingFolder` when given.
  ProcessResult Run(const std::vector<std::string>& arguments,
                    const std::optional<fs::path>& workingFolder = std::nullopt) {
    const fs::path outPath = directory / "stdout.txt";
    const fs::path errPath = directory / "stderr.txt";
    const pid_t child = ::fork();
    if (child == 0) {
      const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      if (out < 0 || err < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0) ::_exit(126);
      if (workingFolder && ::chdir(workingFolder->c_str()) != 0) ::_exit(126);
      if (fileSizeLimit != RLIM_INFINITY) {
        // A write beyond the limit then fails with EFBIG, as on a full disk, instead of
        // ending the process.
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{fileSizeLimit, fileSizeLimit};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(126);
      }
      // Opened before giving up root: the build folder may lie where nobody cannot reach.
      const int program = ::open(KORVID_CONVERT_PATH, O_RDONLY | O_CLOEXEC);
      if (unprivileged && !testing::DropRootPrivileges()) ::_exit(126);
      std::vector<char*> argv{const_cast<char*>(KORVID_CONVERT_PATH)};
      for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
      argv.push_back(nullptr);
      ::fexecve(program, argv.data(), environ);
      ::_exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ProcessResult result{WIFEXITED(status) ? WEXITSTATUS(status) : -1, Slurp(outPath),
                         Slurp(errPath)};
    fs::remove(outPath);
    fs::remove(errPath);
    return result;
  }

  // Draws `plot` into `name` in the temporary folder and loads the image; a failed run
  // gives a null image.
  QImage Raster(const char* plot, const std::string& name,
                const std::vector<std::string>& options = {}) {
    std::vector<std::string> arguments{Fixture("plot.hpg", plot), "-o", Out(name)};
    arguments.insert(arguments.end(), options.begin(), options.end());
    const ProcessResult run = Run(arguments);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    return QImage(QString::fromStdString(Out(name)));
  }

  fs::path directory;
  rlim_t fileSizeLimit = RLIM_INFINITY;  // for the files korvid-convert writes
  bool unprivileged = false;             // korvid-convert runs without root's privileges
};

// ---- Every format is written and is what it claims to be ----

struct FormatCase {
  const char* output;
  const char* magic;
  std::size_t magicOffset;
};

std::ostream& operator<<(std::ostream& out, const FormatCase& c) {
  return out << c.output;
}

class ConvertFormat : public ConvertOutput, public ::testing::WithParamInterface<FormatCase> {};

TEST_P(ConvertFormat, WritesTheFormatOfTheExtension) {
  const FormatCase& format = GetParam();
  const ProcessResult run = Run({Fixture("plot.hpg", kColoured), "-o", Out(format.output)});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "");
  const std::string bytes = Slurp(Out(format.output));
  ASSERT_GT(bytes.size(), format.magicOffset + std::strlen(format.magic));
  EXPECT_EQ(bytes.substr(format.magicOffset, std::strlen(format.magic)), format.magic);
}

INSTANTIATE_TEST_SUITE_P(
    Extensions, ConvertFormat,
    ::testing::Values(FormatCase{"plot.emf", " EMF", 40}, FormatCase{"PLOT.EMF", " EMF", 40},
                      FormatCase{"plot.svg", "<?xml", 0}, FormatCase{"plot.Svg", "<?xml", 0},
                      FormatCase{"plot.pdf", "%PDF-", 0}, FormatCase{"plot.PdF", "%PDF-", 0},
                      FormatCase{"plot.png", "\x89PNG\r\n\x1a\n", 0},
                      FormatCase{"plot.PNG", "\x89PNG\r\n\x1a\n", 0},
                      FormatCase{"plot.bmp", "BM", 0}, FormatCase{"plot.bMp", "BM", 0}),
    [](const ::testing::TestParamInfo<FormatCase>& info) {
      std::string name = info.param.output;
      std::replace(name.begin(), name.end(), '.', '_');
      return name;
    });

struct FrameCase {
  const char* name;
  const char* plot;
  const char* rotation;
  int width;  // expected frame in 0.01 mm
  int height;
};

class ConvertEmfFrame : public ConvertOutput, public ::testing::WithParamInterface<FrameCase> {};

TEST_P(ConvertEmfFrame, LongerSideIsTheFullFrame) {
  const FrameCase& c = GetParam();
  const ProcessResult run =
      Run({Fixture("plot.hpg", c.plot), "-o", Out("plot.emf"), "--rotate", c.rotation});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const EmfHeader header = ReadEmfHeader(Slurp(Out("plot.emf")));
  EXPECT_EQ(header.signature, " EMF");
  EXPECT_EQ(header.frameLeft, 0);
  EXPECT_EQ(header.frameTop, 0);
  EXPECT_NEAR(header.frameRight, c.width, 1);
  EXPECT_NEAR(header.frameBottom, c.height, 1);
  EXPECT_EQ(header.description,
            Utf16Le(std::u16string(u"***** ") + u'\0' + u"HPGL Data Drawing" + u'\0' + u'\0'));
}

INSTANTIATE_TEST_SUITE_P(
    Plots, ConvertEmfFrame,
    ::testing::Values(FrameCase{"Square", kSquare, "0", kLongSide, kLongSide},
                      FrameCase{"Landscape", kLandscape, "0", kLongSide, kHalfSide},
                      FrameCase{"Portrait", kPortrait, "0", kHalfSide, kLongSide},
                      FrameCase{"LandscapeRight", kLandscape, "90", kHalfSide, kLongSide},
                      FrameCase{"LandscapeUpsideDown", kLandscape, "180", kLongSide, kHalfSide},
                      FrameCase{"LandscapeLeft", kLandscape, "270", kHalfSide, kLongSide},
                      FrameCase{"PortraitRight", kPortrait, "90", kLongSide, kHalfSide},
                      // Every point in one place: a square extent of its own.
                      FrameCase{"OnePoint", "PU300,300;PD300,300,300,300;", "0", kLongSide,
                                kLongSide}),
    [](const ::testing::TestParamInfo<FrameCase>& info) { return info.param.name; });

TEST_F(ConvertOutput, SvgIsWellFormedAndScaledToTheFrame) {
  const ProcessResult run = Run({Fixture("plot.hpg", kSquare), "-o", Out("plot.svg")});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const SvgSummary svg = ReadSvg(Slurp(Out("plot.svg")));
  EXPECT_TRUE(svg.wellFormed);
  EXPECT_EQ(svg.root, "svg");
  EXPECT_EQ(svg.viewBox, "0 0 3277 3277");  // 0.1 mm per unit
  EXPECT_GE(svg.strokes, 1) << "the square, as one polyline or four lines";
  // The right edge lies at 1000 of the 1100 plotter units the frame spans.
  EXPECT_NEAR(svg.maxX, 3276.7 * 1000 / 1100, 1);
}

TEST_F(ConvertOutput, SvgHoldsTheArcsAndTheTurn) {
  const ProcessResult run = Run({Fixture("plot.hpg", kLandscape + std::string("PU500,500;CI200;")),
                                 "-o", Out("plot.svg"), "--rotate", "90"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const SvgSummary svg = ReadSvg(Slurp(Out("plot.svg")));
  EXPECT_TRUE(svg.wellFormed);
  EXPECT_EQ(svg.viewBox, "0 0 1716 3277");
  EXPECT_GE(svg.strokes, 2) << "the rectangle and the circle";
}

struct PageCase {
  const char* plot;
  const char* rotation;
  double widthMm;
  double heightMm;
};

std::ostream& operator<<(std::ostream& out, const PageCase& c) {
  return out << c.widthMm << " x " << c.heightMm << " mm";
}

class ConvertPdfPage : public ConvertOutput, public ::testing::WithParamInterface<PageCase> {};

TEST_P(ConvertPdfPage, OnePageOfTheFrameSize) {
  const PageCase& c = GetParam();
  const ProcessResult run =
      Run({Fixture("plot.hpg", c.plot), "-o", Out("plot.pdf"), "--rotate", c.rotation});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::string bytes = Slurp(Out("plot.pdf"));
  ASSERT_EQ(bytes.rfind("%PDF-", 0), 0u);
  const PdfPages pdf = ReadPdfPages(bytes);
  EXPECT_EQ(pdf.pages, 1);
  ASSERT_EQ(pdf.mediaBoxMm.size(), 2u);
  // Page sizes are written in whole points: 0.35 mm.
  EXPECT_NEAR(pdf.mediaBoxMm[0], c.widthMm, 0.4);
  EXPECT_NEAR(pdf.mediaBoxMm[1], c.heightMm, 0.4);
}

INSTANTIATE_TEST_SUITE_P(Plots, ConvertPdfPage,
                         ::testing::Values(PageCase{kSquare, "0", 327.67, 327.67},
                                           PageCase{kLandscape, "0", 327.67, 171.64},
                                           PageCase{kLandscape, "90", 171.64, 327.67},
                                           PageCase{kPortrait, "270", 327.67, 171.64}));

// ---- Images ----

struct RasterSizeCase {
  const char* name;
  const char* plot;
  const char* output;
  std::vector<std::string> options;
  int width;
  int height;
};

class ConvertRasterSize : public ConvertOutput,
                          public ::testing::WithParamInterface<RasterSizeCase> {};

TEST_P(ConvertRasterSize, ImageHasTheAskedSize) {
  const RasterSizeCase& c = GetParam();
  const QImage image = Raster(c.plot, c.output, c.options);
  ASSERT_FALSE(image.isNull());
  EXPECT_NEAR(image.width(), c.width, c.width == kDefaultPixels || c.width < 100 ? 0 : 1);
  EXPECT_NEAR(image.height(), c.height, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Options, ConvertRasterSize,
    ::testing::Values(
        RasterSizeCase{"PngDefault", kSquare, "a.png", {}, kDefaultPixels, kDefaultPixels},
        RasterSizeCase{"BmpDefault", kSquare, "a.bmp", {}, kDefaultPixels, kDefaultPixels},
        RasterSizeCase{"Width", kSquare, "a.png", {"--width", "500"}, 500, 500},
        RasterSizeCase{"WidthOfOnePixel", kSquare, "a.png", {"--width", "1"}, 1, 1},
        RasterSizeCase{"Dpi", kSquare, "a.png", {"--dpi", "48"}, 619, 619},
        RasterSizeCase{"BmpDpi", kSquare, "a.bmp", {"--dpi", "200"}, 2580, 2580},
        RasterSizeCase{"LandscapeDefault", kLandscape, "a.png", {}, kDefaultPixels, 649},
        RasterSizeCase{"LandscapeWidth", kLandscape, "a.png", {"--width", "1000"}, 1000, 524},
        RasterSizeCase{
            "LandscapeRight", kLandscape, "a.png", {"--rotate", "90"}, 649, kDefaultPixels},
        RasterSizeCase{"LandscapeRightWidth",
                       kLandscape,
                       "a.bmp",
                       {"--rotate", "270", "--width", "300"},
                       300,
                       573}),
    [](const ::testing::TestParamInfo<RasterSizeCase>& info) { return info.param.name; });

class ConvertRasterPixels : public ConvertOutput,
                            public ::testing::WithParamInterface<const char*> {};

TEST_P(ConvertRasterPixels, WhiteSheetWithTheOutlineDrawn) {
  const QImage image = Raster(kSquare, GetParam());
  ASSERT_EQ(image.size(), QSize(kDefaultPixels, kDefaultPixels));
  // The outline spans 1000 of 1100 plotter units from the top left: 1125.4 pixels.
  const int middle = 562;
  EXPECT_FALSE(IsWhite(image.pixel(0, middle))) << "left edge";
  EXPECT_FALSE(IsWhite(image.pixel(middle, 0))) << "top edge";
  bool rightEdge = false, bottomEdge = false;
  for (int at = 1123; at <= 1128; ++at) {
    rightEdge = rightEdge || !IsWhite(image.pixel(at, middle));
    bottomEdge = bottomEdge || !IsWhite(image.pixel(middle, at));
  }
  EXPECT_TRUE(rightEdge);
  EXPECT_TRUE(bottomEdge);
  EXPECT_TRUE(IsWhite(image.pixel(middle, middle))) << "inside";
  EXPECT_TRUE(IsWhite(image.pixel(1200, 1200))) << "the margin";
  EXPECT_TRUE(IsWhite(image.pixel(1200, middle))) << "the margin";
}

INSTANTIATE_TEST_SUITE_P(Formats, ConvertRasterPixels, ::testing::Values("a.png", "a.bmp"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                           return std::string(info.param).substr(2);
                         });

TEST_F(ConvertOutput, ColourDrawsPenOneBlueAndOtherPensInTheirColours) {
  const QImage image = Raster(kColoured, "colour.png");
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(QColor(image.pixel(0, 562)), QColor(Qt::blue));
  bool red = false, cyan = false;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QRgb pixel = image.pixel(x, y);
      red = red || (qRed(pixel) > 200 && qGreen(pixel) < 60 && qBlue(pixel) < 60);
      cyan = cyan || (qRed(pixel) < 60 && qGreen(pixel) > 200 && qBlue(pixel) > 200);
    }
  }
  EXPECT_TRUE(red) << "the dashed line of pen 4";
  EXPECT_TRUE(cyan) << "the circle of pen 3";
}

TEST_F(ConvertOutput, MonoDrawsOnlyGreys) {
  const QImage image = Raster(kColoured, "mono.png", {"--mono"});
  ASSERT_FALSE(image.isNull());
  int dark = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QRgb pixel = image.pixel(x, y);
      ASSERT_TRUE(qRed(pixel) == qGreen(pixel) && qGreen(pixel) == qBlue(pixel))
          << "colour at " << x << "," << y;
      dark += qGray(pixel) < 128;
    }
  }
  EXPECT_LT(qGray(image.pixel(0, 562)), 128);
  // Four edges of some 1125 pixels, a line and a circle.
  EXPECT_GT(dark, 4 * 1100);
}

struct TurnCase {
  const char* rotation;
  bool horizontal;  // where the plot's top line goes: a row or a column
  double position;  // its place across the image, as a fraction of the image's side
};

std::ostream& operator<<(std::ostream& out, const TurnCase& c) {
  return out << c.rotation << " degrees";
}

class ConvertRotation : public ConvertOutput, public ::testing::WithParamInterface<TurnCase> {};

// The longest straight run of dark pixels in a row or column is the plot's top line.
TEST_P(ConvertRotation, TopLineGoesWhereTheTurnTakesIt) {
  const TurnCase& c = GetParam();
  const QImage image = Raster(kTopLine, "turn.png", {"--rotate", c.rotation});
  ASSERT_FALSE(image.isNull());
  const int lines = c.horizontal ? image.height() : image.width();
  const int length = c.horizontal ? image.width() : image.height();
  int best = 0, bestCount = 0;
  for (int line = 0; line < lines; ++line) {
    int count = 0;
    for (int along = 0; along < length; ++along) {
      const QRgb pixel = c.horizontal ? image.pixel(along, line) : image.pixel(line, along);
      count += !IsWhite(pixel);
    }
    if (count > bestCount) {
      best = line;
      bestCount = count;
    }
  }
  // 2000 of the 2100 plotter units of the longer side.
  EXPECT_NEAR(bestCount, kDefaultPixels * 2000 / 2100, 3);
  EXPECT_NEAR(best, c.position * (lines - 1), 2);
}

INSTANTIATE_TEST_SUITE_P(Turns, ConvertRotation,
                         ::testing::Values(TurnCase{"0", true, 0.0},
                                           TurnCase{"90", false, 1000.0 / 1100},
                                           TurnCase{"180", true, 1000.0 / 1100},
                                           TurnCase{"270", false, 0.0}),
                         [](const ::testing::TestParamInfo<TurnCase>& info) {
                           return std::string("Degrees") + info.param.rotation;
                         });

TEST_F(ConvertOutput, ExistingOutputIsReplaced) {
  const std::string input = Fixture("plot.hpg", kSquare);
  for (const char* name : {"old.png", "old.emf", "old.svg"}) {
    Fixture(name, "an older drawing");
    const ProcessResult run = Run({input, "-o", Out(name)});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(Slurp(Out(name)), "an older drawing") << name;
  }
  EXPECT_EQ(QImage(QString::fromStdString(Out("old.png"))).width(), kDefaultPixels);
  EXPECT_EQ(ReadEmfHeader(Slurp(Out("old.emf"))).signature, " EMF");
  EXPECT_EQ(FilesContaining(directory, ".korvid-"), std::vector<std::string>{});
}

// ---- Failures ----

TEST_F(ConvertOutput, UnreadableInputIsNamed) {
  fs::create_directory(directory / "folder.hpg");
  for (const std::string& input : {Out("missing.hpg"), Out("folder.hpg")}) {
    const ProcessResult run = Run({input, "-o", Out("out.png")});
    EXPECT_EQ(run.exitCode, 1) << input;
    EXPECT_NE(run.err.find("cannot read " + input), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(Out("out.png")));
  }
}

struct NothingCase {
  const char* name;
  const char* plot;
  const char* message;
};

class ConvertNothingToDraw : public ConvertOutput,
                             public ::testing::WithParamInterface<NothingCase> {};

TEST_P(ConvertNothingToDraw, WritesNoFile) {
  const NothingCase& c = GetParam();
  const std::string input = Fixture("plot.hpg", c.plot);
  const ProcessResult fresh = Run({input, "-o", Out("out.png")});
  EXPECT_EQ(fresh.exitCode, 1);
  EXPECT_NE(fresh.err.find(c.message), std::string::npos) << fresh.err;
  EXPECT_FALSE(fs::exists(Out("out.png")));

  Fixture("old.emf", "an older drawing");
  EXPECT_EQ(Run({input, "-o", Out("old.emf")}).exitCode, 1);
  EXPECT_TRUE(Holds(Out("old.emf"), "an older drawing"));
  EXPECT_EQ(FilesContaining(directory, ".korvid-"), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(
    Plots, ConvertNothingToDraw,
    ::testing::Values(NothingCase{"Empty", "", "nothing to draw"},
                      NothingCase{"OnlyPenUp", "IN;SP1;PU100,100,500,500;", "nothing to draw"},
                      NothingCase{"OnlyUnknownCommands", "IN;LB;DT;", "nothing to draw"},
                      NothingCase{"NoTerminator", "IN\r\nPU0,0\r\nPD100,100\r\n",
                                  "設定済みのﾀｰﾐﾈｰﾀがありません"}),
    [](const ::testing::TestParamInfo<NothingCase>& info) { return info.param.name; });

TEST_F(ConvertOutput, UnknownExtensionIsAUsageError) {
  const std::string input = Fixture("plot.hpg", kSquare);
  for (const char* name : {"out.gif", "out.jpeg", "out.emf.txt", "out", "out.", "emf"}) {
    const ProcessResult run = Run({input, "-o", Out(name)});
    EXPECT_EQ(run.exitCode, 2) << name;
    EXPECT_NE(run.err.find("unknown output format of " + Out(name)), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(Out(name))) << name;
  }
  EXPECT_EQ(FilesContaining(directory, ".korvid-"), std::vector<std::string>{});
}

struct UnwritableCase {
  const char* name;
  const char* output;  // inside the temporary folder
  const char* reason;
};

class ConvertUnwritable : public ConvertOutput,
                          public ::testing::WithParamInterface<UnwritableCase> {};

TEST_P(ConvertUnwritable, FailsWithoutLeavingAFile) {
  const UnwritableCase& c = GetParam();
  Fixture("file", "not a folder");
  fs::create_directory(directory / "taken.png");
  const ProcessResult run = Run({Fixture("plot.hpg", kSquare), "-o", Out(c.output)});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("cannot write " + Out(c.output)), std::string::npos) << run.err;
  EXPECT_NE(run.err.find(c.reason), std::string::npos) << run.err;
  EXPECT_FALSE(fs::is_regular_file(Out(c.output)));
  for (const auto& entry : fs::recursive_directory_iterator(directory)) {
    EXPECT_EQ(entry.path().filename().string().find(".korvid-"), std::string::npos) << entry.path();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Outputs, ConvertUnwritable,
    ::testing::Values(UnwritableCase{"MissingFolder", "no/such/folder/out.png", "file not found"},
                      UnwritableCase{"MissingFolderEmf", "no/out.emf", "file not found"},
                      UnwritableCase{"FileAsFolder", "file/out.svg", "file not found"},
                      UnwritableCase{"FolderInTheWay", "taken.png", "path/file access error"}),
    [](const ::testing::TestParamInfo<UnwritableCase>& info) { return info.param.name; });

TEST_F(ConvertOutput, ReadOnlyFolderKeepsItsFile) {
  fs::create_directory(directory / "locked");
  const std::string existing = Out("locked/plot.pdf");
  std::ofstream(existing) << "an older drawing";
  const std::string input = Fixture("plot.hpg", kSquare);
  fs::permissions(input, fs::perms(0644));
  fs::permissions(directory, fs::perms(0755));
  fs::permissions(directory / "locked", fs::perms(0555));
  unprivileged = true;
  const ProcessResult run = Run({input, "-o", existing});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("cannot write " + existing), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("permission denied"), std::string::npos) << run.err;
  EXPECT_TRUE(Holds(existing, "an older drawing"));
  EXPECT_EQ(FilesContaining(directory / "locked", ".korvid-"), std::vector<std::string>{});
}

// An image too large to make fails after the temporary file exists: it must go, and the
// older file must stay as it was.
TEST_F(ConvertOutput, FailedImageKeepsTheOlderFile) {
  const std::string input = Fixture("plot.hpg", kSquare);
  for (const std::vector<std::string>& size :
       {std::vector<std::string>{"--width", "65535"}, {"--dpi", "9600"}}) {
    for (const char* name : {"old.png", "old.bmp"}) {
      Fixture(name, "an older drawing");
      std::vector<std::string> arguments{input, "-o", Out(name)};
      arguments.insert(arguments.end(), size.begin(), size.end());
      const ProcessResult run = Run(arguments);
      EXPECT_EQ(run.exitCode, 1) << name;
      EXPECT_NE(run.err.find("cannot write " + Out(name)), std::string::npos) << run.err;
      EXPECT_NE(run.err.find("picture too large"), std::string::npos) << run.err;
      EXPECT_TRUE(Holds(Out(name), "an older drawing")) << name;
    }
  }
  EXPECT_EQ(FilesContaining(directory, ".korvid-"), std::vector<std::string>{});
}

// Three hundred circles: a metafile of some 12 KB, far larger as SVG, PDF, PNG or BMP.
std::string ManyCircles() {
  std::string plot = "IN;SP1;";
  for (int i = 0; i < 300; ++i) {
    plot += "PU" + std::to_string(i * 37 % 10000) + "," + std::to_string(i * 53 % 7200) + ";CI" +
            std::to_string(50 + i * 97 % 3000) + ";";
  }
  return plot;
}

class ConvertWriteFailure : public ConvertOutput,
                            public ::testing::WithParamInterface<const char*> {};

// A write that fails halfway, as on a full disk, must not pass for a finished drawing.
TEST_P(ConvertWriteFailure, KeepsTheOlderFile) {
  const std::string input = Fixture("plot.hpg", ManyCircles());
  const std::string output = Out(GetParam());
  Fixture(GetParam(), "an older drawing");
  fileSizeLimit = 32 * 1024;
  const ProcessResult run = Run({input, "-o", output, "--mono"});
  EXPECT_EQ(run.exitCode, 1) << run.err;
  EXPECT_NE(run.err.find("cannot write " + output), std::string::npos) << run.err;
  EXPECT_TRUE(Holds(output, "an older drawing"));
  EXPECT_EQ(FilesContaining(directory, ".korvid-"), std::vector<std::string>{});

  fileSizeLimit = RLIM_INFINITY;
  EXPECT_EQ(Run({input, "-o", output, "--mono"}).exitCode, 0);
  EXPECT_GT(fs::file_size(output), 32u * 1024) << "the limit must be what failed the write";
}

INSTANTIATE_TEST_SUITE_P(Formats, ConvertWriteFailure,
                         ::testing::Values("a.svg", "a.pdf", "a.png", "a.bmp"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                           return std::string(info.param).substr(2);
                         });

// The temporary file beside the output has a longer name than the output itself.
TEST_F(ConvertOutput, LongestFileNameIsWritten) {
  const std::string input = Fixture("plot.hpg", kSquare);
  for (const std::size_t length : {200u, 245u, 255u}) {
    const std::string name = std::string(length - 4, 'n') + ".png";
    const ProcessResult run = Run({input, "-o", Out(name)});
    EXPECT_EQ(run.exitCode, 0) << length << ": " << run.err;
    EXPECT_EQ(QImage(QString::fromStdString(Out(name))).width(), kDefaultPixels) << length;
  }
  EXPECT_EQ(FilesContaining(directory, ".korvid-"), std::vector<std::string>{});
}

}  // namespace
}  // namespace korvid
