// korvid-convert drawing into files, run as a user runs it: what each format holds, and
// what is left on disk when a conversion fails.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QColor>
#include <QImage>
#include <QString>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <ostream>
#include <regex>
#include <string>
#include <vector>

#include "ConvertRun.h"

namespace korvid {
namespace {

namespace fs = std::filesystem;
using testing::ProcessResult;
using testing::Slurp;

// A square outline in pen 1: 1000 x 1000 plotter units.
constexpr const char* kSquare = "IN;SP1;PU0,0;PD1000,0,1000,1000,0,1000,0,0;";
// Twice as wide as high.
constexpr const char* kLandscape = "IN;SP1;PU0,0;PD2000,0,2000,1000,0,1000,0,0;";
// Three hundred circles: a metafile of some 12 KB, far larger as SVG, PDF, PNG or BMP.
const std::string kManyCircles = [] {
  std::string plot = "IN;SP1;";
  for (int i = 0; i < 300; ++i) {
    plot += "PU" + std::to_string(i * 37 % 10000) + "," + std::to_string(i * 53 % 7200) + ";CI" +
            std::to_string(50 + i * 97 % 3000) + ";";
  }
  return plot;
}();

// The longer side of every plot picture is 327.67 mm; the shorter side of a 2:1 plot
// carries the same 100-unit margin. 327.67 mm is 1238 pixels at 96 dpi.
constexpr double kLongSideMm = 327.67, kHalfSideMm = 171.64;
constexpr int kDefaultPixels = 1238;

// The page of a vector file in millimetres: the EMF frame, the PDF media box or the SVG
// view box (0.1 mm a unit).
std::pair<double, double> PageMm(const std::string& bytes) {
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

// Whether the file at `path` still holds exactly `text`; a failure shows the start of what
// it holds instead, not megabytes of drawing.
::testing::AssertionResult Holds(const std::string& path, const std::string& text) {
  const std::string bytes = Slurp(path);
  if (bytes == text) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << path << " holds " << bytes.size() << " bytes: \"" << bytes.substr(0, 60) << "\"...";
}

// Temporary files that a conversion left anywhere in `folder`.
std::vector<std::string> Leftovers(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name.find(".korvid-") != std::string::npos) names.push_back(name);
  }
  return names;
}

class ConvertOutput : public testing::ConvertRun {
 protected:
  // Runs korvid-convert on `plot` with `arguments` after the input.
  ProcessResult Convert(const std::string& plot, std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), Fixture("plot.hpg", plot));
    fs::permissions(arguments.front(), fs::perms(0644));
    return Run(arguments);
  }

  // Draws `plot` into `name` in the temporary folder and loads the image; a failed run
  // gives a null image.
  QImage Raster(const char* plot, const std::string& name,
                const std::vector<std::string>& options = {}) {
    std::vector<std::string> arguments{"-o", Out(name)};
    arguments.insert(arguments.end(), options.begin(), options.end());
    const ProcessResult run = Convert(plot, arguments);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    return QImage(QString::fromStdString(Out(name)));
  }
};

// ---- Every format is written, is what it claims to be, on a page of the plot's frame ----

struct VectorCase {
  const char* name;
  const char* output;
  const char* magic;
  std::size_t magicOffset;
  const char* rotation;
  double widthMm, heightMm;
};

class ConvertVector : public ConvertOutput, public ::testing::WithParamInterface<VectorCase> {};

TEST_P(ConvertVector, ReplacesTheFileWithTheFormatOfTheExtensionOnThePlotsFrame) {
  const VectorCase& c = GetParam();
  Fixture(c.output, "an older drawing");
  const ProcessResult run = Convert(kLandscape, {"-o", Out(c.output), "--rotate", c.rotation});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "");
  const std::string bytes = Slurp(Out(c.output));
  ASSERT_GT(bytes.size(), c.magicOffset + std::strlen(c.magic));
  EXPECT_EQ(bytes.substr(c.magicOffset, std::strlen(c.magic)), c.magic);
  const auto [widthMm, heightMm] = PageMm(bytes);
  // PDF pages are written in whole points (0.35 mm), SVG in tenths of a millimetre.
  EXPECT_NEAR(widthMm, c.widthMm, 0.4);
  EXPECT_NEAR(heightMm, c.heightMm, 0.4);
  EXPECT_EQ(Leftovers(directory), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(
    Formats, ConvertVector,
    ::testing::Values(
        VectorCase{"Emf", "plot.emf", " EMF", 40, "0", kLongSideMm, kHalfSideMm},
        VectorCase{"EmfTurned", "PLOT.EMF", " EMF", 40, "270", kHalfSideMm, kLongSideMm},
        VectorCase{"Svg", "plot.Svg", "<?xml", 0, "0", kLongSideMm, kHalfSideMm},
        VectorCase{"SvgTurned", "plot.svg", "<?xml", 0, "90", kHalfSideMm, kLongSideMm},
        VectorCase{"Pdf", "plot.pdf", "%PDF-", 0, "180", kLongSideMm, kHalfSideMm},
        VectorCase{"PdfTurned", "plot.PdF", "%PDF-", 0, "90", kHalfSideMm, kLongSideMm}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Images ----

struct RasterSizeCase {
  const char* name;
  const char* plot;
  std::string output;
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
  EXPECT_EQ(Leftovers(directory), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(
    Options, ConvertRasterSize,
    ::testing::Values(
        RasterSizeCase{"PngDefault", kSquare, "a.png", {}, kDefaultPixels, kDefaultPixels},
        // The temporary file beside the output has a longer name than the output itself.
        RasterSizeCase{"LongestName",
                       kSquare,
                       std::string(251, 'n') + ".png",
                       {},
                       kDefaultPixels,
                       kDefaultPixels},
        RasterSizeCase{"WidthOfOnePixel", kSquare, "a.PNG", {"--width", "1"}, 1, 1},
        RasterSizeCase{"BmpDpi", kSquare, "a.bMp", {"--dpi", "200"}, 2580, 2580},
        RasterSizeCase{"LandscapeWidth", kLandscape, "a.png", {"--width", "1000"}, 1000, 524},
        RasterSizeCase{
            "TurnedWidth", kLandscape, "a.bmp", {"--rotate", "270", "--width", "300"}, 300, 573}),
    [](const auto& info) { return std::string(info.param.name); });

// Pen 1 is blue, or black with --mono: the square's left edge.
TEST_F(ConvertOutput, ColourAndMono) {
  EXPECT_EQ(QColor(Raster(kSquare, "colour.png").pixel(0, 562)), QColor(Qt::blue));
  EXPECT_EQ(QColor(Raster(kSquare, "mono.png", {"--mono"}).pixel(0, 562)), QColor(Qt::black));
}

// ---- Failures: a clear message, and an older file stays as it was ----

TEST_F(ConvertOutput, UnreadableInputIsNamed) {
  fs::create_directory(directory / "folder.hpg");
  for (const std::string& input : {Out("missing.hpg"), Out("folder.hpg")}) {
    const ProcessResult run = Run({input, "-o", Out("out.png")});
    EXPECT_EQ(run.exitCode, 1) << input;
    EXPECT_NE(run.err.find("cannot read " + input), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(Out("out.png")));
  }
}

struct FailureCase {
  const char* name;
  const char* output;  // inside the temporary folder
  int exitCode;
  const char* reason;
  bool atWriting = true;  // the message also names the output: "cannot write ..."
  std::string plot = kSquare;
  std::vector<std::string> options = {};
  rlim_t fileSizeLimit = RLIM_INFINITY;
  bool unprivileged = false;
};

class ConvertFailure : public ConvertOutput, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(ConvertFailure, KeepsTheOlderFileAndLeavesNoTemporaryOne) {
  const FailureCase& c = GetParam();
  Fixture("file", "not a folder");
  fs::create_directories(directory / "taken.png");
  fs::create_directories(directory / "locked");
  const std::string output = Out(c.output);
  const bool older = fs::is_directory(fs::path(output).parent_path()) && !fs::exists(output);
  if (older) Fixture(c.output, "an older drawing");
  fs::permissions(directory, fs::perms(0755));
  fs::permissions(directory / "locked", fs::perms(0555));
  fileSizeLimit = c.fileSizeLimit;
  unprivileged = c.unprivileged;
  std::vector<std::string> arguments{"-o", output};
  arguments.insert(arguments.end(), c.options.begin(), c.options.end());
  const ProcessResult run = Convert(c.plot, arguments);
  EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
  EXPECT_NE(run.err.find(c.reason), std::string::npos) << run.err;
  if (c.atWriting) {
    EXPECT_NE(run.err.find("cannot write " + output), std::string::npos) << run.err;
  }
  if (older) {
    EXPECT_TRUE(Holds(output, "an older drawing"));
  } else {
    EXPECT_FALSE(fs::is_regular_file(output));
  }
  EXPECT_EQ(Leftovers(directory), std::vector<std::string>{});

  if (c.fileSizeLimit != RLIM_INFINITY) {
    fileSizeLimit = RLIM_INFINITY;
    EXPECT_EQ(Convert(c.plot, arguments).exitCode, 0);
    EXPECT_GT(fs::file_size(output), c.fileSizeLimit) << "the limit must be what failed";
  }
}

constexpr rlim_t kFullDisk = 8 * 1024;  // below the smallest of the four drawings
const std::vector<std::string> kNone, kMono{"--mono"}, kHuge{"--width", "65535"};

INSTANTIATE_TEST_SUITE_P(
    Cases, ConvertFailure,
    ::testing::Values(
        FailureCase{"EmptyPlot", "old.emf", 1, "nothing to draw", false, ""},
        FailureCase{"NoTerminator", "old.png", 1, "設定済みのﾀｰﾐﾈｰﾀがありません", false,
                    "IN\r\nPU0,0\r\nPD100,100\r\n"},
        FailureCase{"UnknownExtension", "out.gif", 2, "unknown output format of", false},
        FailureCase{"MissingFolder", "no/such/out.png", 1, "file not found"},
        FailureCase{"FolderInTheWay", "taken.png", 1, "path/file access error"},
        FailureCase{"ReadOnlyFolder", "locked/plot.pdf", 1, "permission denied", true, kSquare,
                    kNone, RLIM_INFINITY, true},
        FailureCase{"ImageTooLarge", "old.bmp", 1, "picture too large", true, kSquare, kHuge},
        // A write that fails halfway, as on a full disk, must not pass for a finished drawing.
        FailureCase{"FullDiskSvg", "a.svg", 1, "run-time", true, kManyCircles, kMono, kFullDisk},
        FailureCase{"FullDiskPdf", "a.pdf", 1, "run-time", true, kManyCircles, kMono, kFullDisk},
        FailureCase{"FullDiskPng", "a.png", 1, "run-time", true, kManyCircles, kMono, kFullDisk},
        FailureCase{"FullDiskBmp", "a.bmp", 1, "run-time", true, kManyCircles, kMono, kFullDisk}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace korvid
