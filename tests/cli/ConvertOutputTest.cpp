// korvid-convert drawing into files, run as a user runs it: what each format holds, and
// what is left on disk when a conversion fails.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QColor>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>

#include "ConvertRun.h"
#include "PageSizeOf.h"

namespace korvid {
namespace {

namespace fs = std::filesystem;
using namespace testing;

// Three hundred circles: a metafile of some 12 KB, far larger as SVG, PDF, PNG or BMP.
const std::string kManyCircles = [] {
  std::string plot = "IN;SP1;";
  for (int i = 0; i < 300; ++i) {
    plot += "PU" + std::to_string(i * 37 % 10000) + "," + std::to_string(i * 53 % 7200) + ";CI" +
            std::to_string(50 + i * 97 % 3000) + ";";
  }
  return plot;
}();

// The longer side of every plot picture is 327.67 mm (1238 pixels at 96 dpi); the shorter
// side of a 2:1 plot carries the same 100-unit margin: the metafile's frame, and an image
// of it.
constexpr double kLongMm = 327.67, kHalfMm = 171.64;
// A standard page also holds the half of its 0.35 mm pen (7 units) beyond the plot's edge:
// 2114 by 1114 units.
constexpr double kStandardHalfMm = 172.67;
constexpr int kLongPx = 1238;
// SVG and PDF pages, and images at a real size, are the drawing at 40 plotter units to the
// millimetre: the 2:1 plot is 50 x 25 mm, with a quarter millimetre for its hairlines (and
// in the standard reading the 0.35 mm pen) around it.
constexpr double kWideMm = 50.25, kWideHalfMm = 25.25, kWideStandardMm = 50.35,
                 kWideStandardHalfMm = 25.35;
// The sample bracket: 4000 x 2100 units, 100 x 52.5 mm.
const std::string kBracket = Slurp(KORVID_SAMPLES_DIR "/bracket.hpgl");
constexpr double kBracketMm = 100.25, kBracketHalfMm = 52.75;
// A standard page of 10 x 5 user units scaled by IP and SC to 8000 x 4000 plotter units,
// drawn with a 0.5 mm pen: 200 x 100 mm and half the pen each side.
constexpr const char* kScaledPage =
    "IN;IP0,0,8000,4000;SC0,10,0,5;SP1;PW0.5;PA0,0;PD10,0,10,5,0,5;";

// Whether `bytes` begin as a file of the format that `path`'s extension names.
bool IsOfTheFormatOf(const std::string& path, const std::string& bytes) {
  const std::string extension =
      QString::fromStdString(fs::path(path).extension().string()).toLower().toStdString();
  static const std::map<std::string, std::string> kMagic{
      {".emf", " EMF"}, {".svg", "<?xml"}, {".pdf", "%PDF-"}, {".png", "\x89PNG"}, {".bmp", "BM"}};
  const std::string& magic = kMagic.at(extension);
  return bytes.size() > 44 && bytes.compare(extension == ".emf" ? 40 : 0, magic.size(), magic) == 0;
}

class ConvertOutput : public ConvertRun {
 protected:
  // Runs korvid-convert on `plot` into `output` with `options`.
  ProcessResult Convert(const std::string& plot, const std::string& output,
                        const std::vector<std::string>& options = {}) {
    std::vector<std::string> arguments{Fixture("plot.hpg", plot), "-o", output};
    fs::permissions(arguments.front(), fs::perms(0644));
    arguments.insert(arguments.end(), options.begin(), options.end());
    return Run(arguments);
  }
};

// ---- Every format is written, is what it claims to be, on a page of the plot's frame ----

struct FormatCase {
  const char* name;
  const char* plot;
  std::string output;
  const char* options;
  double width, height;  // the page in millimetres, an image in pixels
};

class ConvertFormat : public ConvertOutput, public ::testing::WithParamInterface<FormatCase> {};

TEST_P(ConvertFormat, ReplacesTheFileWithTheFormatOfTheExtensionOnThePlotsFrame) {
  const FormatCase& c = GetParam();
  Fixture(c.output, "an older drawing");
  const std::vector<std::string> options = Words(c.options);
  const ProcessResult run = Convert(c.plot, Out(c.output), options);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::string bytes = Slurp(Out(c.output));
  const auto format = std::find(options.begin(), options.end(), "-f");  // over the extension
  EXPECT_TRUE(IsOfTheFormatOf(format == options.end() ? c.output : "a." + format[1], bytes));
  const auto [width, height] = PageSizeOf(bytes);
  // Pages in hundredths of a point or a millimetre, images in whole pixels.
  EXPECT_NEAR(width, c.width, 0.01);
  EXPECT_NEAR(height, c.height, 0.01);
  if (bytes.rfind("%PDF", 0) == 0) {
    const bool large = std::max(width, height) > 5080;
    EXPECT_EQ(bytes.substr(0, 8), large ? "%PDF-1.6" : "%PDF-1.4");
    EXPECT_EQ(bytes.find("/UserUnit") != std::string::npos, large);
  }
}

// The metafile and images of its frame keep the picture's 327.67 mm; everything of a real
// size is the drawing's size, in both readings, or the paper's.
INSTANTIATE_TEST_SUITE_P(
    Formats, ConvertFormat,
    ::testing::Values(
        FormatCase{"Emf", kWide, "a.emf", "", kLongMm, kHalfMm},
        FormatCase{"EmfTurned", kWide, "A.EMF", "--rotate 270", kHalfMm, kLongMm},
        FormatCase{"Svg", kWide, "a.Svg", "", kWideMm, kWideHalfMm},
        FormatCase{"SvgTurned", kWide, "a.svg", "--rotate 90", kWideHalfMm, kWideMm},
        FormatCase{"Pdf", kWide, "a.pdf", "--rotate 180", kWideMm, kWideHalfMm},
        FormatCase{"PdfTurned", kWide, "a.PdF", "--rotate 90", kWideHalfMm, kWideMm},
        FormatCase{"SampleSvg", kBracket.c_str(), "b.svg", "", kBracketMm, kBracketHalfMm},
        FormatCase{"SamplePdf", kBracket.c_str(), "b.pdf", "", kBracketMm, kBracketHalfMm},
        FormatCase{"Png", kSquare, "a.png", "", kLongPx, kLongPx},
        // The temporary file beside it has a longer name than the output.
        FormatCase{"LongestName", kSquare, std::string(251, 'n') + ".png", "", kLongPx, kLongPx},
        FormatCase{"FormatOverExtension", kWide, "a.png", "-f svg", kWideMm, kWideHalfMm},
        FormatCase{"WidthOfOnePixel", kSquare, "a.PNG", "--width 1", 1, 1},
        FormatCase{"LandscapeWidth", kWide, "a.png", "--width 1000", 1000, 524},
        FormatCase{"TurnedWidth", kWide, "a.bmp", "--rotate 270 --width 300", 300, 573},
        // 100.25 mm at 300 dpi: 1184 pixels (the drawing's 100 mm are 1181 of them).
        FormatCase{"PngDpi", kBracket.c_str(), "b.png", "--dpi 300", 1184, 623},
        FormatCase{"BmpDpi", kSquare, "a.bMp", "--dpi 200", 199, 199},
        FormatCase{"BmpDpiTurned", kBracket.c_str(), "b.bmp", "--dpi 300 --rotate 90", 623, 1184},
        FormatCase{"StandardEmf", kWide, "s.emf", "--hpgl2", kLongMm, kStandardHalfMm},
        FormatCase{"StandardSvg", kWide, "s.svg", "--hpgl2 --rotate 90", kWideStandardHalfMm,
                   kWideStandardMm},
        FormatCase{"StandardPdf", kWide, "s.pdf", "--hpgl2", kWideStandardMm, kWideStandardHalfMm},
        FormatCase{"StandardScaledPdf", kScaledPage, "s.pdf", "--hpgl2", 200.5, 100.5},
        FormatCase{"StandardScaledSvg", kScaledPage, "s.svg", "--hpgl2 --scale 1:2", 100.25, 50.25},
        FormatCase{"StandardScaledPng", kScaledPage, "s.png", "--hpgl2 --dpi 254", 2005, 1005},
        FormatCase{"StandardPage1", kThreePages, "s.png", "--hpgl2", 1238, 636},
        FormatCase{"StandardPage2", kThreePages, "s.bmp", "--hpgl2 --page 2", 443, 1238},
        FormatCase{"StandardPage3", kThreePages, "s.png", "--hpgl2 --page 3", 1238, 1238},
        // Scales, papers and fitting.
        FormatCase{"Scaled", kWide, "a.svg", "--scale 1:2", kWideMm / 2, kWideHalfMm / 2},
        FormatCase{"Enlarged", kWide, "a.pdf", "--scale 4", kWideMm * 4, kWideHalfMm * 4},
        FormatCase{"PaperTurnedToTheDrawing", kWide, "a.pdf", "--paper a4", 297, 210},
        FormatCase{"PaperUpright", kWide, "a.svg", "--paper A4 --portrait", 210, 297},
        FormatCase{"PaperTallDrawing", kTall, "a.pdf", "--paper A3", 297, 420},
        FormatCase{"PaperTurnedAsked", kTall, "a.pdf", "--paper A3 --landscape", 420, 297},
        FormatCase{"PaperFitted", kBracket.c_str(), "b.pdf", "--paper letter --fit", 279.4, 215.9},
        FormatCase{"PaperBySides", kWide, "a.svg", "--paper 100x40mm --scale 1:2.5", 100, 40},
        FormatCase{"PaperImage", kWide, "a.png", "--paper A4 --dpi 100", 1169, 827},
        FormatCase{"PaperImageWidth", kWide, "a.png", "--paper A4 --portrait --width 1000", 1000,
                   1414},
        FormatCase{"ScaledImage", kWide, "a.png", "--scale 1:2", 95, 48},
        // Beyond 200 inches a PDF page counts in units of two points and more.
        FormatCase{"PdfLongerThanReadersTake", kWide, "a.pdf", "--scale 120", kWideMm * 120,
                   kWideHalfMm * 120}),
    [](const auto& info) { return std::string(info.param.name); });

// The drawing itself measures its true size, and an image says at what resolution: the
// 2:1 plot's 2000 units are 50 mm, 590.6 pixels at 300 dpi, whatever the format; fitted to
// A4 they take the 277 mm of its printable width.
TEST_F(ConvertOutput, DrawsAtTheTrueSizeAndTellsTheResolution) {
  const auto inkWidth = [](const QImage& image) {
    int left = image.width(), right = -1;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        if (qGray(image.pixel(x, y)) < 200) left = std::min(left, x), right = std::max(right, x);
    return right - left;
  };
  constexpr double kPxPerMm = 300 / 25.4;
  ASSERT_EQ(Convert(kWide, Out("a.png"), {"--dpi", "300"}).exitCode, 0);
  const QImage png(Out("a.png").c_str());
  EXPECT_NEAR(inkWidth(png), 50 * kPxPerMm, 1.5);
  EXPECT_EQ(png.dotsPerMeterX(), 11811);
  EXPECT_EQ(png.dotsPerMeterY(), 11811);
  ASSERT_EQ(Convert(kWide, Out("a.bmp"), {"--dpi", "300"}).exitCode, 0);
  EXPECT_EQ(QImage(Out("a.bmp").c_str()).dotsPerMeterX(), 11811);
  ASSERT_EQ(Convert(kWide, Out("plain.png")).exitCode, 0);
  EXPECT_EQ(Slurp(Out("plain.png")).find("pHYs"), std::string::npos) << "none unless asked";
  if (std::system("command -v pdftoppm >/dev/null") != 0)
    GTEST_SKIP() << "pdftoppm (poppler-utils) is missing";
  for (const auto& [options, mm] : {std::pair(std::vector<std::string>{}, 50.0),
                                    {{"--paper", "A4", "--fit"}, 277 * 50 / 50.25}}) {
    ASSERT_EQ(Convert(kWide, Out("a.pdf"), options).exitCode, 0);
    std::system(("pdftoppm -r 300 -png -singlefile " + Out("a.pdf") + " " + Out("pdf")).c_str());
    EXPECT_NEAR(inkWidth(QImage(Out("pdf.png").c_str())), mm * kPxPerMm, 1.5) << mm;
  }
}

// A scale or a paper asked for is told back, on paper or not, with a drawing that does not
// fit its sheet; a bad one is refused before anything is read.
TEST_F(ConvertOutput, SaysTheScaleItDrewAt) {
  ProcessResult run = Convert(kBracket, Out("b.pdf"), {"--scale", "1:2.5", "--paper", "A4"});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.err, "drawn at 1:2.5 on A4 landscape\n");
  run = Convert(kBracket, Out("b.svg"), {"--scale", "0.5"});
  EXPECT_EQ(run.err, "drawn at 1:2 (50.12 x 26.38 mm)\n");
  run = Convert(kBracket, Out("b.png"), {"--paper", "A4", "--portrait", "--scale", "3"});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_NE(run.err.find("drawn at 3:1 on A4 portrait\nthe drawing at 3:1 (300.75 x 158.25 mm) "
                         "is larger than the printable area of A4 portrait"),
            std::string::npos)
      << run.err;
  EXPECT_EQ(Convert(kBracket, Out("plain.pdf")).err, "") << "nothing asked, nothing said";
  for (const auto& [options, message] :
       {std::pair(std::vector<std::string>{"--paper", "B5"}, "--paper takes A4"),
        {{"--scale", "0"}, "--scale takes 1:N"},
        {{"--fit"}, "--fit needs --paper"}}) {
    run = Convert(kBracket, Out("bad.pdf"), options);
    EXPECT_EQ(run.exitCode, 2) << message;
    EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(Out("bad.pdf")));
  }
}

// Pen 1 is blue, or black with --mono: the square's left edge.
TEST_F(ConvertOutput, ColourAndMono) {
  ASSERT_EQ(Convert(kSquare, Out("colour.png")).exitCode, 0);
  ASSERT_EQ(Convert(kSquare, Out("mono.png"), {"--mono"}).exitCode, 0);
  EXPECT_EQ(QColor(QImage(Out("colour.png").c_str()).pixel(0, 562)), QColor(Qt::blue));
  EXPECT_EQ(QColor(QImage(Out("mono.png").c_str()).pixel(0, 562)), QColor(Qt::black));
}

// ---- Failures: a clear message, and an older file stays as it was ----

struct FailureCase {
  const char* name;
  const char* output;  // inside the temporary folder
  int exitCode;
  const char* reason;
  bool atWriting = true;  // the message also names the output: "cannot write ..."
  std::string plot = kSquare;
  const char* options = "";
  rlim_t fileSizeLimit = RLIM_INFINITY;
  bool unprivileged = false;
};

class ConvertFailure : public ConvertOutput, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(ConvertFailure, KeepsTheOlderFileAndLeavesNoTemporaryOne) {
  const FailureCase& c = GetParam();
  fs::create_directories(directory / "taken.png");
  fs::create_directories(directory / "locked");
  const std::string output = Out(c.output);
  const bool older = fs::is_directory(fs::path(output).parent_path()) && !fs::exists(output);
  if (older) Fixture(c.output, "an older drawing");
  fs::permissions(directory, fs::perms(0755));
  fs::permissions(directory / "locked", fs::perms(0555));
  fileSizeLimit = c.fileSizeLimit;
  unprivileged = c.unprivileged;
  const ProcessResult run = Convert(c.plot, output, Words(c.options));
  EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
  EXPECT_NE(run.err.find(c.reason), std::string::npos) << run.err;
  if (c.atWriting) {
    EXPECT_NE(run.err.find("cannot write " + output), std::string::npos) << run.err;
  }
  if (older)
    EXPECT_TRUE(Slurp(output) == "an older drawing") << output;
  else
    EXPECT_FALSE(fs::is_regular_file(output));

  if (c.fileSizeLimit != RLIM_INFINITY) {
    fileSizeLimit = RLIM_INFINITY;
    EXPECT_EQ(Convert(c.plot, output, Words(c.options)).exitCode, 0);
    EXPECT_GT(fs::file_size(output), c.fileSizeLimit) << "the limit must be what failed";
  }
}

constexpr rlim_t kFullDisk = 8 * 1024;  // below the smallest of the four drawings

INSTANTIATE_TEST_SUITE_P(
    Cases, ConvertFailure,
    ::testing::Values(
        FailureCase{"EmptyPlot", "old.emf", 1, "nothing to draw", false, ""},
        FailureCase{"NoTerminator", "old.png", 1, "設定済みのﾀｰﾐﾈｰﾀがありません", false,
                    "IN\r\nPU0,0\r\nPD100,100\r\n"},
        FailureCase{"UnknownExtension", "out.gif", 2, "unknown output format of", false},
        FailureCase{"MissingPage", "old.svg", 1, "has 3 pages, not 4", false, kThreePages,
                    "--hpgl2 --page 4"},
        FailureCase{"StandardBlank", "old.png", 1, "nothing to draw", false, "IN;PU9,9;",
                    "--hpgl2"},
        FailureCase{"MissingFolder", "no/such/out.png", 1, "file not found"},
        FailureCase{"FolderInTheWay", "taken.png", 1, "is not a file", false},
        FailureCase{"ReadOnlyFolder", "locked/plot.pdf", 1, "permission denied", true, kSquare, "",
                    RLIM_INFINITY, true},
        FailureCase{"ImageTooLarge", "old.bmp", 1, "picture too large", true, kSquare,
                    "--width 65535"},
        // A write that fails halfway, as on a full disk, must not pass for a finished drawing.
        FailureCase{"FullDiskSvg", "a.svg", 1, "run-time", true, kManyCircles, "--mono", kFullDisk},
        FailureCase{"FullDiskPdf", "a.pdf", 1, "run-time", true, kManyCircles, "--mono", kFullDisk},
        FailureCase{"FullDiskPng", "a.png", 1, "run-time", true, kManyCircles, "--mono", kFullDisk},
        FailureCase{"FullDiskBmp", "a.bmp", 1, "run-time", true, kManyCircles, "--mono",
                    kFullDisk}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Outputs that must not be written: the input itself, devices, pipes ----

// An output that is the input, by any name, is refused in every mode, and so is one that
// is, or leads through a link to, a device or a FIFO: nothing is written into either (a
// FIFO without a reader would not even let the program go on).
TEST_F(ConvertOutput, RefusesTheInputAndWhatIsNotAFileInEveryMode) {
  const std::string plot = Fixture("s.plt", kSquare), asPng = Fixture("s.png", kSquare);
  fs::create_symlink(plot, Out("link.svg"));
  ASSERT_EQ(::mkfifo(Out("fifo.png").c_str(), 0600), 0);
  fs::create_symlink(Out("fifo.png"), Out("to-fifo.png"));
  fs::create_symlink("/dev/null", Out("to-device.png"));
  fs::create_directory(Out("devices"));
  fs::create_symlink("/dev/null", Out("devices/s.png"));
  const struct {
    const char* what;
    std::vector<std::string> arguments;
    const char* message;
    Stdin input = {};
  } cases[] = {
      {"-o the input", {plot, "-o", plot, "-f", "png"}, "is the input"},
      {"-o a link to the input", {plot, "-o", Out("link.svg")}, "is the input"},
      {"a thumbnail onto its input", {"-s", "128", plot, plot}, "is the input"},
      {"standard input onto its file",
       {"-", "-o", plot, "-f", "png"},
       "is the input",
       {.file = plot}},
      {"a batch onto its input",
       {asPng, "-f", "png", "-O", directory.string()},
       "would replace the input"},
      {"a FIFO", {plot, "-o", Out("fifo.png")}, "is not a file"},
      {"a link to a FIFO", {plot, "-o", Out("to-fifo.png")}, "is not a file"},
      {"a device", {plot, "-o", "/dev/null", "-f", "png"}, "is not a file"},
      {"a link to a device", {plot, "-o", Out("to-device.png")}, "is not a file"},
      {"a thumbnail into a device", {"-s", "64", plot, Out("to-device.png")}, "is not a file"},
      {"a batch into a device", {plot, "-f", "png", "-O", Out("devices")}, "path/file access"},
  };
  for (const auto& c : cases) {
    const ProcessResult run = Run(c.arguments, c.input);
    EXPECT_EQ(run.exitCode, 1) << c.what << ": " << run.err;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << c.what << ": " << run.err;
  }
  EXPECT_EQ(Slurp(plot), kSquare);
  EXPECT_EQ(Slurp(asPng), kSquare);
  EXPECT_TRUE(fs::is_fifo(Out("fifo.png")) && fs::is_symlink(Out("to-device.png")));
}

// Whatever goes to standard output must get there: onto a full file system every mode
// fails with a message and exit status 1.
TEST_F(ConvertOutput, StandardOutputOntoAFullFileSystemFails) {
  const std::string plot = Fixture("s.plt", kManyCircles);
  stdoutFile = "/dev/full";
  for (const std::vector<std::string>& arguments : {std::vector<std::string>{"--dump", plot},
                                                    {"--dump", plot, "--hpgl2"},
                                                    {plot, "-o", "-", "-f", "svg"},
                                                    {plot, "-f", "png", "-O", "-"},
                                                    {"--version"},
                                                    {"--help"}}) {
    const ProcessResult run = Run(arguments);
    EXPECT_EQ(run.exitCode, 1) << arguments[0] << " " << arguments.back() << ": " << run.err;
    EXPECT_TRUE(run.err.find("No space left") != std::string::npos ||
                run.err.find("disk full") != std::string::npos)
        << run.err;
  }
}

}  // namespace
}  // namespace korvid
