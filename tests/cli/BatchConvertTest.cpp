// korvid-convert with many files, and thumbnails, as a user runs it: where each drawing
// goes, in which reading, what a failing file does to the others, and the exit status.
#include <gtest/gtest.h>

#include <QImage>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ConvertRun.h"

namespace korvid {
namespace {

namespace fs = std::filesystem;
using testing::ImageSize;
using testing::kSquare;
using testing::kTall;
using testing::kWide;
using testing::ProcessResult;

// Drawn only by the standard reading (an edged rectangle, 2:1), and three pages of it.
constexpr const char* kStandardOnly = "IN;SP1;PA0,0;EA2000,1000;";
constexpr const char* kThreePages =
    "IN;SP1;PU0,0;PD4000,0,4000,2000;PG;PU0,0;PD1000,0,1000,3000;PG;PU0,0;PD500,500;";

// 327.67 mm at 96 dpi, and the shorter side of a 2:1 and a 1:3 plot.
const QSize kSquareSize(1238, 1238), kWideSize(1238, 649), kTallSize(649, 1238),
    kPageTwoSize(439, 1238), kNone(0, 0);

class BatchConvert : public testing::ConvertRun {};

struct BatchCase {
  const char* name;
  std::vector<std::pair<std::string, const char*>> inputs;  // a null plot: no such file
  std::vector<std::string> options;
  int exitCode;
  std::vector<std::pair<std::string, QSize>> drawings;  // in out/; kNone: none written
  std::vector<std::string> says;
};

class Batch : public BatchConvert, public ::testing::WithParamInterface<BatchCase> {};

TEST_P(Batch, DrawsEachFileUnderItsNameAndReportsIt) {
  const BatchCase& c = GetParam();
  std::vector<std::string> arguments;
  for (const auto& [name, plot] : c.inputs)
    arguments.push_back(plot ? Fixture(name, plot) : Out(name));
  arguments.insert(arguments.end(), c.options.begin(), c.options.end());
  arguments.insert(arguments.end(), {"-O", Out("out")});
  const ProcessResult run = Run(arguments);
  EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
  for (const auto& [name, size] : c.drawings)
    EXPECT_EQ(ImageSize(directory / "out" / name), size) << name;
  for (const std::string& text : c.says)
    EXPECT_NE(run.err.find(text), std::string::npos) << text << " in " << run.err;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Batch,
    ::testing::Values(
        BatchCase{"NamesFromTheInputs",
                  {{"a.hpg", kSquare}, {"b.PLT", kWide}, {"in/c.x.hpgl", kTall}},
                  {"--format", "png"},
                  0,
                  {{"a.png", kSquareSize}, {"b.png", kWideSize}, {"c.x.png", kTallSize}},
                  {"b.PLT -> ", "/out/b.png", "3 of 3 files drawn, 0 failed"}},
        BatchCase{
            "FailingFilesStopNoOther",
            {{"a.hpg", kSquare},
             {"missing.hpg", nullptr},
             {"std.plt", kStandardOnly},
             {"b.hpg", kWide}},
            {"-f", "png"},
            1,
            {{"a.png", kSquareSize},
             {"b.png", kWideSize},
             {"missing.png", kNone},
             {"std.png", kNone}},
            {"failed: cannot read ", "std.plt: nothing to draw", "2 of 4 files drawn, 2 failed"}},
        BatchCase{"SecondInputOfTheSameNameIsRefused",
                  {{"x/a.hpg", kWide}, {"y/a.plt", kTall}, {"b.hpg", kSquare}},
                  {"-f", "png"},
                  1,
                  {{"a.png", kWideSize}, {"b.png", kSquareSize}},
                  {"is already the drawing of ", "x/a.hpg"}},
        BatchCase{"StandardReading",
                  {{"std.plt", kStandardOnly}, {"pages.plt", kThreePages}, {"a.hpg", kTall}},
                  {"-f", "png", "--hpgl2"},
                  0,
                  {{"std.png", kWideSize}, {"pages.png", QSize(1238, 634)}, {"a.png", kTallSize}},
                  {"3 pages", "3 of 3 files drawn"}},
        BatchCase{"MissingPageFailsAlone",
                  {{"a.hpg", kSquare}, {"pages.plt", kThreePages}},
                  {"-f", "png", "--hpgl2", "--page", "2"},
                  1,
                  {{"a.png", kNone}, {"pages.png", kPageTwoSize}},
                  {"a.hpg has 1 page, not 2", "1 of 2 files drawn, 1 failed"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(BatchConvert, ParallelWorkersWriteEveryDrawingUnderItsOwnName) {
  std::vector<std::string> arguments{"-f", "png", "-j", "4", "-O", Out("out")};
  const char* plots[] = {kSquare, kWide, kTall};
  const QSize expected[] = {kSquareSize, kWideSize, kTallSize};
  for (int i = 0; i < 12; ++i)
    arguments.push_back(Fixture("p" + std::to_string(i) + ".hpg", plots[i % 3]));
  const ProcessResult run = Run(arguments);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  for (int i = 0; i < 12; ++i)
    EXPECT_EQ(ImageSize(directory / "out" / ("p" + std::to_string(i) + ".png")), expected[i % 3]);
  EXPECT_EQ(std::distance(fs::directory_iterator(directory / "out"), {}), 12);
}

TEST_F(BatchConvert, NoInputIsReplacedByADrawing) {
  // Plots named like drawings: p.svg would become its own output, q.plt's output q.svg
  // is the input that follows it.
  const std::string p = Fixture("p.svg", kWide), q = Fixture("q.plt", kTall),
                    qsvg = Fixture("q.svg", kSquare);
  const ProcessResult run = Run({p, q, qsvg, "-f", "svg", "-O", directory.string()});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(testing::Slurp(p), kWide);
  EXPECT_EQ(testing::Slurp(qsvg), kSquare);
  EXPECT_NE(run.err.find("would replace the input " + p), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("would replace the input " + qsvg), std::string::npos) << run.err;
}

TEST_F(BatchConvert, StandardInputAndOutput) {
  const std::string plot = Fixture("a.hpg", kTall);
  const ProcessResult toStdout = Run({plot, "-f", "png", "-O", "-"});
  ASSERT_EQ(toStdout.exitCode, 0) << toStdout.err;
  EXPECT_EQ(QImage::fromData(QByteArray::fromStdString(toStdout.out)).size(), kTallSize);
  // -o - with -f gives the same; -f overrides the extension of -o.
  EXPECT_EQ(Run({plot, "-o", "-", "--format", "png"}).out, toStdout.out);
  ASSERT_EQ(Run({plot, "-o", Out("drawing.out"), "-f", "svg"}).exitCode, 0);
  EXPECT_EQ(testing::Slurp(Out("drawing.out")).rfind("<?xml", 0), 0u);

  const ProcessResult fromStdin =
      Run({"-", "--hpgl2", "-f", "svg", "-O", directory.string()}, {.piped = kStandardOnly});
  ASSERT_EQ(fromStdin.exitCode, 0) << fromStdin.err;
  EXPECT_EQ(testing::Slurp(Out("stdin.svg")).rfind("<?xml", 0), 0u);
}

TEST_F(BatchConvert, DrawingsGoThroughReplacementFilesAndNamesAreEscaped) {
  // A name with a line break and an escape sequence: a line of the report must stay one
  // line and never steer the terminal.
  const std::string odd = Fixture("odd\n\x1b[2Jname.hpg", kSquare);
  const fs::path out = directory / "out", drawing = out / "odd\n\x1b[2Jname.png";
  Fixture("out/odd\n\x1b[2Jname.png", "an older drawing");
  fs::permissions(drawing, fs::perms(0640));
  const ProcessResult run = Run({odd, "-f", "png", "-O", out.string()});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err.find('\x1b'), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("odd\\n\\x1b[2Jname.png"), std::string::npos) << run.err;
  // Replaced as a whole, keeping the older file's permissions; no temporary file is left.
  EXPECT_EQ(ImageSize(drawing), kSquareSize);
  EXPECT_EQ(fs::status(drawing).permissions(), fs::perms(0640));
  EXPECT_EQ(std::distance(fs::directory_iterator(out), {}), 1);
}

struct ThumbnailCase {
  const char* name;
  const char* plot;
  std::vector<std::string> options;
  int exitCode;
  QSize size;  // kNone: nothing written
  const char* says = "";
};

class Thumbnail : public BatchConvert, public ::testing::WithParamInterface<ThumbnailCase> {};

// The longer side fits, whatever the output's name; a file Korvid's own reading draws
// nothing of shows the standard reading's first page instead of no thumbnail at all.
TEST_P(Thumbnail, FitsTheLongerSideInTheReadingThatDraws) {
  const ThumbnailCase& c = GetParam();
  std::vector<std::string> arguments = c.options;
  arguments.insert(arguments.end(), {Fixture("in.plt", c.plot), Out("thumb")});
  const ProcessResult run = Run(arguments);
  EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
  // A 1:3 page's width in whole pixels gives a height one short.
  const QSize size = ImageSize(Out("thumb"));
  EXPECT_NEAR(size.width(), c.size.width(), 1) << size.width() << "x" << size.height();
  EXPECT_NEAR(size.height(), c.size.height(), 1) << size.width() << "x" << size.height();
  EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Thumbnail,
    ::testing::Values(
        ThumbnailCase{"Wide", kWide, {"-s", "128"}, 0, QSize(128, 67)},
        ThumbnailCase{"Tall", kTall, {"--thumbnail", "256"}, 0, QSize(134, 256)},
        ThumbnailCase{"OwnReadingFirst", kThreePages, {"-s", "128"}, 0, QSize(128, 66), "(PG)"},
        ThumbnailCase{"StandardWhenOwnDrawsNothing",
                      kStandardOnly,
                      {"-s", "128"},
                      0,
                      QSize(128, 67),
                      "drawn in the standard HP-GL/2 reading"},
        ThumbnailCase{
            "ChosenPage", kThreePages, {"-s", "128", "--hpgl2", "--page", "2"}, 0, QSize(45, 128)},
        ThumbnailCase{"MissingPage",
                      kThreePages,
                      {"-s", "64", "--hpgl2", "--page", "4"},
                      1,
                      kNone,
                      "has 3 pages, not 4"},
        ThumbnailCase{"NothingInEitherReading",
                      "IN;SP1;PU100,100;",
                      {"-s", "64"},
                      1,
                      kNone,
                      "nothing to draw"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace korvid
