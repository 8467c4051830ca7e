// korvid-convert drawing into files, run as a user runs it: what each format holds, and
// what is left on disk when a conversion fails.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QColor>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <regex>

#include "ConvertRun.h"

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
// side of a 2:1 plot carries the same 100-unit margin.
constexpr double kLongMm = 327.67, kHalfMm = 171.64;
// A standard page also holds the half of its 0.35 mm pen (7 units) beyond the plot's edge:
// 2114 by 1114 units.
constexpr double kStandardHalfMm = 172.67;
constexpr int kLongPx = 1238;

// The page of a vector file in millimetres: the EMF frame, the PDF media box or the SVG
// view box (0.1 mm a unit); for an image, its size in pixels.
std::pair<double, double> PageSize(const std::string& bytes) {
  if (bytes.rfind("BM", 0) == 0 || bytes.rfind("\x89PNG", 0) == 0) {
    const QImage image = QImage::fromData(QByteArray::fromStdString(bytes));
    return {image.width(), image.height()};
  }
  if (bytes.size() > 88 && bytes.compare(40, 4, " EMF") == 0) {
    std::int32_t frame[4];
    std::memcpy(frame, bytes.data() + 24, sizeof frame);
    return {(frame[2] - frame[0]) / 100.0, (frame[3] - frame[1]) / 100.0};
  }
  std::smatch box;
  static const std::regex kMediaBox(
      R"(/MediaBox\s*\[\s*([-0-9.]+)\s+([-0-9.]+)\s+([-0-9.]+)\s+([-0-9.]+)\s*\])");
  if (std::regex_search(bytes, box, kMediaBox)) {
    constexpr double kMmPerPoint = 25.4 / 72;
    return {(std::stod(box[3]) - std::stod(box[1])) * kMmPerPoint,
            (std::stod(box[4]) - std::stod(box[2])) * kMmPerPoint};
  }
  static const std::regex kViewBox(R"(viewBox="0 0 ([0-9.]+) ([0-9.]+)\")");
  if (std::regex_search(bytes, box, kViewBox))
    return {std::stod(box[1]) / 10, std::stod(box[2]) / 10};
  return {0, 0};
}

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
  const auto [width, height] = PageSize(bytes);
  // PDF pages are written in whole points (0.35 mm), SVG in tenths of a millimetre.
  EXPECT_NEAR(width, c.width, 0.4);
  EXPECT_NEAR(height, c.height, 0.4);
}

// The standard reading places its pages as Korvid's own reading places a plot, with the
// pen's ink.
INSTANTIATE_TEST_SUITE_P(
    Formats, ConvertFormat,
    ::testing::Values(
        FormatCase{"Emf", kWide, "a.emf", "", kLongMm, kHalfMm},
        FormatCase{"EmfTurned", kWide, "A.EMF", "--rotate 270", kHalfMm, kLongMm},
        FormatCase{"Svg", kWide, "a.Svg", "", kLongMm, kHalfMm},
        FormatCase{"SvgTurned", kWide, "a.svg", "--rotate 90", kHalfMm, kLongMm},
        FormatCase{"Pdf", kWide, "a.pdf", "--rotate 180", kLongMm, kHalfMm},
        FormatCase{"PdfTurned", kWide, "a.PdF", "--rotate 90", kHalfMm, kLongMm},
        FormatCase{"Png", kSquare, "a.png", "", kLongPx, kLongPx},
        // The temporary file beside it has a longer name than the output.
        FormatCase{"LongestName", kSquare, std::string(251, 'n') + ".png", "", kLongPx, kLongPx},
        FormatCase{"FormatOverExtension", kWide, "a.png", "-f svg", kLongMm, kHalfMm},
        FormatCase{"WidthOfOnePixel", kSquare, "a.PNG", "--width 1", 1, 1},
        FormatCase{"BmpDpi", kSquare, "a.bMp", "--dpi 200", 2580, 2580},
        FormatCase{"LandscapeWidth", kWide, "a.png", "--width 1000", 1000, 524},
        FormatCase{"TurnedWidth", kWide, "a.bmp", "--rotate 270 --width 300", 300, 573},
        FormatCase{"StandardEmf", kWide, "s.emf", "--hpgl2", kLongMm, kStandardHalfMm},
        FormatCase{"StandardSvg", kWide, "s.svg", "--hpgl2 --rotate 90", kStandardHalfMm, kLongMm},
        FormatCase{"StandardPdf", kWide, "s.pdf", "--hpgl2", kLongMm, kStandardHalfMm},
        FormatCase{"StandardPage1", kThreePages, "s.png", "--hpgl2", 1238, 636},
        FormatCase{"StandardPage2", kThreePages, "s.bmp", "--hpgl2 --page 2", 443, 1238},
        FormatCase{"StandardPage3", kThreePages, "s.png", "--hpgl2 --page 3", 1238, 1238}),
    [](const auto& info) { return std::string(info.param.name); });

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
