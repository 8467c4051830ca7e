// korvid-convert with many files, and thumbnails, as a user runs it: where each drawing
// goes, in which reading, what a failing file does to the others, and the exit status.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <csignal>
#include <cstdlib>
#include <map>

#include "ConvertRun.h"

namespace korvid {
namespace {

namespace fs = std::filesystem;
using namespace testing;

// Drawn only by the standard reading: an edged rectangle, 2:1.
constexpr const char* kStandardOnly = "IN;SP1;PA0,0;EA2000,1000;";

// 327.67 mm at 96 dpi, and the shorter side of a 2:1 and a 1:3 plot.
const QSize kSquareSize(1238, 1238), kWideSize(1238, 649), kTallSize(649, 1238), kNone(0, 0);

// Plots and drawings by letter: Square, Wide, Tall, Standard only, three Pages (P1, P2:
// the size of the drawing of page 1, page 2), - no file. WS and TS: a wide and a tall
// plot in the standard reading, which holds the half of the pen beyond the plot's edge.
const std::map<std::string, const char*> kPlots{
    {"S", kSquare}, {"W", kWide}, {"T", kTall}, {"H", kStandardOnly}, {"P", kThreePages}};
const std::map<std::string, QSize> kSizes{
    {"S", kSquareSize},  {"W", kWideSize},    {"T", kTallSize},    {"-", kNone},
    {"P1", {1238, 636}}, {"P2", {443, 1238}}, {"WS", {1238, 653}}, {"TS", {653, 1238}}};

// "a.hpg=S b.plt=-" as names and letters; "-=S" is standard input.
std::vector<std::pair<std::string, std::string>> Named(const char* text) {
  std::vector<std::pair<std::string, std::string>> named;
  for (const std::string& word : Words(text))
    named.emplace_back(word.substr(0, word.find('=')), word.substr(word.find('=') + 1));
  return named;
}

class BatchConvert : public ConvertRun {};

struct BatchCase {
  const char* name;
  const char* inputs;   // in the temporary folder
  const char* options;  // before them
  int exitCode;
  const char* drawings;  // in out/
  const char* says;      // on a line of its own
  const char* summary;   // on the last line
};

class Batch : public BatchConvert, public ::testing::WithParamInterface<BatchCase> {};

TEST_P(Batch, DrawsEachFileUnderItsNameAndReportsIt) {
  const BatchCase& c = GetParam();
  std::vector<std::string> arguments = Words(c.options);
  Stdin input;
  for (const auto& [name, plot] : Named(c.inputs)) {
    if (name == "-") input.piped = kPlots.at(plot);
    arguments.push_back(name == "-"   ? name
                        : plot == "-" ? Out(name)
                                      : Fixture(name, kPlots.at(plot)));
  }
  arguments.insert(arguments.end(), {"-O", Out("out")});
  const ProcessResult run = Run(arguments, input);
  EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
  for (const auto& [name, size] : Named(c.drawings))
    EXPECT_EQ(ImageSize(directory / "out" / name), kSizes.at(size)) << name;
  EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("korvid-convert: " + std::string(c.summary)), std::string::npos)
      << run.err;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Batch,
    ::testing::Values(
        BatchCase{"NamesFromTheInputs", "a.hpg=S b.PLT=W in/c.x.hpgl=T", "--format png", 0,
                  "a.png=S b.png=W c.x.png=T", "b.PLT -> ", "3 of 3 files drawn, 0 failed"},
        // Korvid's own reading draws nothing of the standard-only file: it fails.
        BatchCase{"FailingFilesStopNoOther", "a.hpg=S missing.hpg=- std.plt=H b.hpg=W", "-f png", 1,
                  "a.png=S b.png=W missing.png=- std.png=-", "std.plt: nothing to draw",
                  "2 of 4 files drawn, 2 failed"},
        BatchCase{"UnreadableFile", "a.hpg=S missing.hpg=-", "-f png", 1, "a.png=S missing.png=-",
                  "failed: cannot read ", "1 of 2 files drawn, 1 failed"},
        BatchCase{"SecondInputOfTheSameNameIsRefused", "x/a.hpg=W y/a.plt=T b.hpg=S", "-f png", 1,
                  "a.png=W b.png=S", "a.png is already the drawing of ", "2 of 3 files drawn"},
        BatchCase{"StandardReading", "std.plt=H pages.plt=P a.hpg=T", "-f png --hpgl2", 0,
                  "std.png=WS pages.png=P1 a.png=TS", "3 pages", "3 of 3 files drawn, 0 failed"},
        BatchCase{"MissingPageFailsAlone", "a.hpg=S pages.plt=P", "-f png --hpgl2 --page 2", 1,
                  "a.png=- pages.png=P2", "a.hpg has 1 page, not 2",
                  "1 of 2 files drawn, 1 failed"},
        BatchCase{"ParallelWorkers", "p0.hpg=S p1.hpg=W p2.hpg=T p3.hpg=S p4.hpg=W p5.hpg=T",
                  "-f png -j 4", 0, "p0.png=S p1.png=W p2.png=T p3.png=S p4.png=W p5.png=T",
                  "p5.hpg -> ", "6 of 6 files drawn, 0 failed"},
        BatchCase{"StandardInput", "-=H", "-f png --hpgl2", 0, "stdin.png=WS", "- -> ",
                  "1 of 1 files drawn"},
        // p.svg would become its own drawing; q.plt's drawing q.svg is the input after it.
        BatchCase{"NoInputIsReplaced", "out/p.svg=W out/q.plt=T out/q.svg=S", "-f svg", 1,
                  "p.svg=- q.svg=-", "would replace the input ", "0 of 3 files drawn, 3 failed"}),
    [](const auto& info) { return std::string(info.param.name); });

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
  // Replaced as a whole, keeping the older file's permissions.
  EXPECT_EQ(ImageSize(drawing), kSquareSize);
  EXPECT_EQ(fs::status(drawing).permissions(), fs::perms(0640));
}

struct ThumbnailCase {
  const char* name;
  const char* plot;
  const char* options;
  int exitCode;
  QSize size;  // kNone: nothing written
  const char* says = "";
};

class Thumbnail : public BatchConvert, public ::testing::WithParamInterface<ThumbnailCase> {};

// The longer side fits, whatever the output's name; a file Korvid's own reading draws
// nothing of shows the standard reading's first page instead of no thumbnail at all.
TEST_P(Thumbnail, FitsTheLongerSideInTheReadingThatDraws) {
  const ThumbnailCase& c = GetParam();
  std::vector<std::string> arguments = Words(c.options);
  arguments.insert(arguments.end(), {Fixture("in.plt", c.plot), Out("thumb")});
  const ProcessResult run = Run(arguments);
  EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
  EXPECT_EQ(ImageSize(Out("thumb")), c.size);
  EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Thumbnail,
    ::testing::Values(
        ThumbnailCase{"Wide", kWide, "-s 128", 0, QSize(128, 67)},
        ThumbnailCase{"Tall", kTall, "--thumbnail 256", 0, QSize(134, 256)},
        ThumbnailCase{"OwnReadingFirst", kThreePages, "-s 128", 0, QSize(128, 66), "(PG)"},
        ThumbnailCase{"StandardWhenOwnDrawsNothing", kStandardOnly, "-s 128", 0, QSize(128, 67),
                      "drawn in the standard HP-GL/2 reading"},
        ThumbnailCase{"ChosenPage", kThreePages, "-s 128 --hpgl2 --page 2", 0, QSize(45, 126)},
        // A width in whole pixels gives a height of 129 at 43 pixels: never beyond the size.
        ThumbnailCase{"Narrow", "IN;SP1;PD1000,0,1000,3200;", "-s 128", 0, QSize(42, 126)},
        ThumbnailCase{"MissingPage", kThreePages, "-s 64 --hpgl2 --page 4", 1, kNone,
                      "has 3 pages, not 4"},
        ThumbnailCase{"NothingInEitherReading", "IN;SP1;PU100,100;", "-s 64", 1, kNone,
                      "nothing to draw"}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Signals: every worker stops, no temporary file stays, 128 + the signal ----

// Whether `status` is an end by `signal`: dying of it, or exiting with 128 + its number
// where it is ignored.
bool EndedBy(int status, int signal) {
  return (WIFSIGNALED(status) && WTERMSIG(status) == signal) ||
         (WIFEXITED(status) && WEXITSTATUS(status) == 128 + signal);
}

// Waits up to `seconds` for `pid`; -1 when it is still running (it is then killed, unless
// `killAtEnd` is false).
int WaitFor(pid_t pid, double seconds, bool killAtEnd = true) {
  int status = 0;
  for (double waited = 0; waited < seconds; waited += 0.01) {
    if (::waitpid(pid, &status, WNOHANG) == pid) return status;
    ::usleep(10000);
  }
  if (!killAtEnd) return -1;
  ::kill(pid, SIGKILL);
  ::waitpid(pid, &status, 0);
  return -1;
}

std::vector<std::string> LeftBehind(const fs::path& folder) {
  std::vector<std::string> names;
  std::error_code ignored;
  for (const auto& entry : fs::directory_iterator(folder, ignored)) {
    if (entry.path().filename().string().find(".korvid-") != std::string::npos)
      names.push_back(entry.path().filename().string());
  }
  return names;
}

class BatchSignals : public BatchConvert {
 protected:
  // 64 plots of 300 circles each, for a batch that runs long enough to be stopped.
  std::vector<std::string> BatchOf64() {
    std::string plot = "IN;SP1;";
    for (int i = 0; i < 300; ++i) {
      plot += "PU" + std::to_string(i * 37 % 10000) + "," + std::to_string(i * 53 % 7200) + ";CI" +
              std::to_string(50 + i * 97 % 3000) + ";";
    }
    std::vector<std::string> arguments{"-f", "png", "-j", "8", "-O", Out("out")};
    for (int i = 0; i < 64; ++i)
      arguments.push_back(Fixture("p" + std::to_string(i) + ".plt", plot));
    return arguments;
  }
  // Waits until the batch has written its first drawing.
  void WaitForFirstDrawing() {
    for (int i = 0; i < 1000 && !fs::exists(Out("out/p0.png")) && !fs::exists(Out("out/p1.png"));
         ++i)
      ::usleep(2000);
  }
};

// Any of the signals that end a program stops the whole batch at once: its workers make
// no temporary file after it, and none is left behind.
TEST_F(BatchSignals, EachEndingSignalStopsTheBatchAndLeavesNoTemporaryFile) {
  const std::vector<std::string> batch = BatchOf64();
  for (int signal : {SIGHUP,    SIGINT,  SIGQUIT, SIGILL,  SIGTRAP, SIGABRT,  SIGBUS,  SIGFPE,
                     SIGUSR1,   SIGSEGV, SIGUSR2, SIGPIPE, SIGALRM, SIGTERM,  SIGXCPU, SIGXFSZ,
                     SIGVTALRM, SIGPROF, SIGSYS,  SIGIO,   SIGPWR,  SIGSTKFLT}) {
    fs::remove_all(Out("out"));
    const pid_t batchPid = Start(batch);
    WaitForFirstDrawing();
    ::kill(batchPid, signal);
    const int status = WaitFor(batchPid, 30);
    EXPECT_TRUE(EndedBy(status, signal)) << "signal " << signal << ": status " << status;
    EXPECT_EQ(LeftBehind(Out("out")), std::vector<std::string>()) << "signal " << signal;
  }
}

// As the init process of a PID namespace (a container's entry point) a signal with no
// handler is ignored: the converter ends all the same, waiting for its input or drawing.
TEST_F(BatchSignals, AsInitOfAPidNamespaceItEndsOnSigterm) {
  const std::vector<std::string> unshare{"unshare", "--pid", "--fork"};
  if (std::system("unshare --pid --fork true >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "a PID namespace cannot be made here (unshare needs the privilege)";
  ASSERT_EQ(::mkfifo(Out("waiting.plt").c_str(), 0600), 0);
  for (const std::vector<std::string>& arguments :
       {std::vector<std::string>{Out("waiting.plt"), "-o", Out("waiting.png")}, BatchOf64()}) {
    fs::remove_all(Out("out"));
    const pid_t launcher = Start(arguments, unshare);
    // The converter is the launcher's child, the namespace's init.
    const std::string children =
        "/proc/" + std::to_string(launcher) + "/task/" + std::to_string(launcher) + "/children";
    pid_t init = 0;
    for (int i = 0; i < 500 && init == 0; ++i) {
      std::ifstream(children) >> init;
      if (init == 0) ::usleep(2000);
    }
    ASSERT_NE(init, 0) << "no converter under unshare";
    if (arguments.size() > 3) WaitForFirstDrawing();
    // Until its handlers are in place PID 1 ignores the signal: it is sent again until the
    // converter ends, which an init that goes on after its handler never does.
    int status = -1;
    for (int tries = 0; tries < 100 && status == -1; ++tries) {
      ::kill(init, SIGTERM);
      status = WaitFor(launcher, 0.2, /*killAtEnd=*/false);
    }
    if (status == -1) status = WaitFor(launcher, 0);
    EXPECT_TRUE(EndedBy(status, SIGTERM)) << arguments[0] << ": status " << status;
    EXPECT_EQ(LeftBehind(Out("out")), std::vector<std::string>());
  }
}

}  // namespace
}  // namespace korvid
