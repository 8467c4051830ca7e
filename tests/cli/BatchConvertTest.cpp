// korvid-convert with many files, as a user runs it: where each drawing goes, what a
// failing file does to the others, and what the exit status says.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QImage>
#include <QString>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace korvid {
namespace {

namespace fs = std::filesystem;

// Plots of different proportions, so that a drawing written under another file's name
// shows in its size.
constexpr const char* kSquare = "IN;SP1;PU0,0;PD1000,0,1000,1000,0,1000,0,0;";
constexpr const char* kWide = "IN;SP2;PU0,0;PD2000,0,2000,1000,0,1000,0,0;";
constexpr const char* kTall = "IN;SP3;PU0,0;PD1000,0,1000,2000,0,2000,0,0;";

struct Outcome {
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

class BatchConvert : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "korvid-batch-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    folder = pattern;
  }
  void TearDown() override { fs::remove_all(folder); }

  std::string Plot(const std::string& name, const std::string& text) {
    const fs::path path = folder / name;
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
    return path.string();
  }

  // korvid-convert with `arguments`, standard input from `input` when given.
  Outcome Convert(const std::vector<std::string>& arguments,
                  const std::optional<std::string>& input = std::nullopt) {
    const fs::path in = folder / "stdin.txt", out = folder / "stdout.txt",
                   err = folder / "stderr.txt";
    std::ofstream(in, std::ios::binary) << input.value_or("");
    const pid_t child = ::fork();
    if (child == 0) {
      const int i = ::open(in.c_str(), O_RDONLY);
      const int o = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      const int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      if (i < 0 || o < 0 || e < 0 || ::dup2(i, 0) < 0 || ::dup2(o, 1) < 0 || ::dup2(e, 2) < 0)
        ::_exit(126);
      std::vector<char*> argv{const_cast<char*>(KORVID_CONVERT_PATH)};
      for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
      argv.push_back(nullptr);
      ::execv(KORVID_CONVERT_PATH, argv.data());
      ::_exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    Outcome run{WIFEXITED(status) ? WEXITSTATUS(status) : -1, Slurp(out), Slurp(err)};
    for (const fs::path& path : {in, out, err})
      fs::remove(path);
    return run;
  }

  QSize ImageSize(const fs::path& path) {
    return QImage(QString::fromStdString(path.string())).size();
  }

  fs::path folder;
};

// 327.67 mm at 96 dpi, and the shorter side of a 2:1 plot.
const QSize kSquareSize(1238, 1238);
const QSize kWideSize(1238, 649);
const QSize kTallSize(649, 1238);

TEST_F(BatchConvert, EachDrawingTakesItsInputsNameInTheOutputFolder) {
  const Outcome run =
      Convert({Plot("a.hpg", kSquare), Plot("b.PLT", kWide), Plot("in/c.x.hpgl", kTall), "--format",
               "png", "--outdir", (folder / "out").string()});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(ImageSize(folder / "out/a.png"), kSquareSize);
  EXPECT_EQ(ImageSize(folder / "out/b.png"), kWideSize);
  EXPECT_EQ(ImageSize(folder / "out/c.x.png"), kTallSize);
  EXPECT_NE(run.err.find(" -> " + (folder / "out/b.png").string()), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("3 of 3 files drawn, 0 failed"), std::string::npos) << run.err;
}

TEST_F(BatchConvert, FailingFileStopsNoOtherAndTheStatusSaysSo) {
  const std::string missing = (folder / "missing.hpg").string();
  const Outcome run = Convert({Plot("a.hpg", kSquare), missing, Plot("empty.hpg", "IN;"),
                               Plot("b.hpg", kWide), "-f", "svg", "-O", folder.string()});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(fs::exists(folder / "a.svg"));
  EXPECT_TRUE(fs::exists(folder / "b.svg"));
  EXPECT_FALSE(fs::exists(folder / "missing.svg"));
  EXPECT_FALSE(fs::exists(folder / "empty.svg"));
  EXPECT_NE(run.err.find("failed: cannot read " + missing), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("empty.hpg: nothing to draw"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("2 of 4 files drawn, 2 failed"), std::string::npos) << run.err;
}

TEST_F(BatchConvert, ParallelWorkersWriteEveryDrawingUnderItsOwnName) {
  std::vector<std::string> arguments;
  std::vector<QSize> sizes;
  const char* plots[] = {kSquare, kWide, kTall};
  const QSize expected[] = {kSquareSize, kWideSize, kTallSize};
  for (int i = 0; i < 12; ++i) {
    arguments.push_back(Plot("p" + std::to_string(i) + ".hpg", plots[i % 3]));
    sizes.push_back(expected[i % 3]);
  }
  for (const char* option : {"-f", "png", "-j", "4", "-O"})
    arguments.push_back(option);
  arguments.push_back((folder / "out").string());
  const Outcome run = Convert(arguments);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  for (int i = 0; i < 12; ++i)
    EXPECT_EQ(ImageSize(folder / "out" / ("p" + std::to_string(i) + ".png")), sizes[i]) << i;
  EXPECT_EQ(std::distance(fs::directory_iterator(folder / "out"), {}), 12);
}

TEST_F(BatchConvert, SecondInputOfTheSameNameIsRefusedNotMixedUp) {
  const Outcome run =
      Convert({Plot("x/a.hpg", kWide), Plot("y/a.plt", kTall), Plot("b.hpg", kSquare), "-f", "png",
               "-O", (folder / "out").string()});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(ImageSize(folder / "out/a.png"), kWideSize) << "the first input's drawing";
  EXPECT_EQ(ImageSize(folder / "out/b.png"), kSquareSize);
  EXPECT_NE(run.err.find("is already the drawing of " + (folder / "x/a.hpg").string()),
            std::string::npos)
      << run.err;
}

TEST_F(BatchConvert, NoInputIsReplacedByADrawing) {
  // Plots named like drawings: p.svg would become its own output, q.plt's output q.svg
  // is the input that follows it.
  const std::string p = Plot("p.svg", kWide), q = Plot("q.plt", kTall),
                    qsvg = Plot("q.svg", kSquare);
  const Outcome run = Convert({p, q, qsvg, "-f", "svg", "-O", folder.string()});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(Slurp(p), kWide);
  EXPECT_EQ(Slurp(qsvg), kSquare);
  EXPECT_NE(run.err.find("would replace the input " + p), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("would replace the input " + qsvg), std::string::npos) << run.err;
}

TEST_F(BatchConvert, StandardInputAndOutput) {
  const Outcome toStdout = Convert({Plot("a.hpg", kWide), "-f", "png", "-O", "-"});
  ASSERT_EQ(toStdout.exitCode, 0) << toStdout.err;
  EXPECT_EQ(QImage::fromData(QByteArray::fromStdString(toStdout.out)).size(), kWideSize);

  const Outcome fromStdin = Convert({"-", "-f", "svg", "-O", folder.string()}, std::string(kTall));
  ASSERT_EQ(fromStdin.exitCode, 0) << fromStdin.err;
  EXPECT_EQ(Slurp(folder / "stdin.svg").rfind("<?xml", 0), 0u);
}

TEST_F(BatchConvert, DrawingsGoThroughReplacementFilesAndNamesAreEscaped) {
  // A name with a line break and an escape sequence: a line of the report must stay one
  // line and never steer the terminal.
  const std::string odd = Plot("odd\n\x1b[2Jname.hpg", kSquare);
  const fs::path out = folder / "out";
  fs::create_directories(out);
  std::ofstream(out / "odd\n\x1b[2Jname.png") << "an older drawing";
  fs::permissions(out / "odd\n\x1b[2Jname.png", fs::perms(0640));
  const Outcome run = Convert({odd, "-f", "png", "-O", out.string()});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err.find('\x1b'), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("odd\\n\\x1b[2Jname.png"), std::string::npos) << run.err;
  // Replaced as a whole, keeping the older file's permissions; no temporary file is left.
  EXPECT_EQ(ImageSize(out / "odd\n\x1b[2Jname.png"), kSquareSize);
  EXPECT_EQ(fs::status(out / "odd\n\x1b[2Jname.png").permissions(), fs::perms(0640));
  for (const fs::directory_entry& entry : fs::directory_iterator(out))
    EXPECT_EQ(entry.path().filename().string().find(".korvid-"), std::string::npos);
}

TEST_F(BatchConvert, SingleFilesTakeTheFormatOptionToo) {
  // -o - with -f: the one drawing on standard output, as -O - gives it.
  const std::string plot = Plot("a.hpg", kTall);
  const Outcome dash = Convert({plot, "-o", "-", "-f", "png"});
  ASSERT_EQ(dash.exitCode, 0) << dash.err;
  EXPECT_EQ(QImage::fromData(QByteArray::fromStdString(dash.out)).size(), kTallSize);
  EXPECT_EQ(Convert({plot, "-O", "-", "--format", "png"}).out, dash.out);
  // -f overrides the extension of -o.
  ASSERT_EQ(Convert({plot, "-o", (folder / "drawing.out").string(), "-f", "svg"}).exitCode, 0);
  EXPECT_EQ(Slurp(folder / "drawing.out").rfind("<?xml", 0), 0u);
}

TEST_F(BatchConvert, ThumbnailFitsTheLongerSideWhateverTheOutputsName) {
  const Outcome wide = Convert({"-s", "128", Plot("w.plt", kWide), (folder / "w-thumb").string()});
  ASSERT_EQ(wide.exitCode, 0) << wide.err;
  EXPECT_EQ(ImageSize(folder / "w-thumb"), QSize(128, 67));
  const Outcome tall =
      Convert({"--thumbnail", "256", Plot("t.plt", kTall), (folder / "t.png").string()});
  ASSERT_EQ(tall.exitCode, 0) << tall.err;
  EXPECT_EQ(ImageSize(folder / "t.png"), QSize(134, 256));
}

struct UsageCase {
  const char* name;
  std::vector<std::string> arguments;
  int exitCode;
  const char* text;  // expected in standard output (exit 0) or standard error
};

class ConvertUsage : public BatchConvert, public ::testing::WithParamInterface<UsageCase> {};

TEST_P(ConvertUsage, AnswersAsACommandLineToolDoes) {
  const UsageCase& c = GetParam();
  const Outcome run = Convert(c.arguments);
  EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
  EXPECT_NE((c.exitCode == 0 ? run.out : run.err).find(c.text), std::string::npos)
      << run.out << run.err;
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, ConvertUsage,
    ::testing::Values(
        UsageCase{"Version", {"--version"}, 0, "korvid-convert 1."},
        UsageCase{"Help", {"--help"}, 0, "--jobs N"},
        UsageCase{"SeveralInputsWithoutFormat", {"a.hpg", "b.hpg"}, 2, "need --format"},
        UsageCase{"UnknownFormat", {"a.hpg", "-f", "gif"}, 2, "not \"gif\""},
        UsageCase{"StdoutForSeveral", {"a.hpg", "b.hpg", "-f", "png", "-O", "-"}, 2, "one input"},
        UsageCase{"OutputAndFolder", {"a.hpg", "-o", "b.png", "-O", "out"}, 2, "drop --outdir"},
        UsageCase{"StdoutWithoutFormat", {"a.hpg", "-o", "-"}, 2, "--format"},
        UsageCase{"NoJobs", {"a.hpg", "-f", "png", "-j", "0"}, 2, "-j needs"},
        UsageCase{"ThumbnailWithoutOutput", {"-s", "128", "a.hpg"}, 2, "input and an output"}),
    [](const ::testing::TestParamInfo<UsageCase>& info) { return info.param.name; });

}  // namespace
}  // namespace korvid
