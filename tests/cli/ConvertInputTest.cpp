// korvid-convert on the inputs and outputs of a pipeline, and on things that are no plot.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace korvid {
namespace {

namespace fs = std::filesystem;

struct ShellRun {
  int exitCode;
  std::string out;
  std::string err;
};

std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class ConvertInput : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = fs::temp_directory_path() /
             ("korvid-cli-input-" + std::to_string(::getpid()) + "-" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(folder);
    plot = (folder / "plot.hpg").string();
    std::ofstream(plot) << "IN;SP1;PU0,0;PD100,0,100,100;";
  }
  void TearDown() override { fs::remove_all(folder); }

  // `shell` runs with $K the converter, in the test's folder.
  ShellRun Shell(const std::string& shell) {
    const fs::path out = folder / "stdout";
    const fs::path err = folder / "stderr";
    const std::string command = "cd '" + folder.string() + "' && K='" + KORVID_CONVERT_PATH +
                                "' && { " + shell + "; } >'" + out.string() + "' 2>'" +
                                err.string() + "'";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Slurp(out), Slurp(err)};
  }

  fs::path folder;
  std::string plot;
};

TEST_F(ConvertInput, StreamsAreReadAndWritten) {
  const struct {
    const char* what;
    std::string shell;
    const char* expectedOut;
  } cases[] = {
      {"a pipe into --dump -", "cat plot.hpg | $K --dump -", "segments 2\n"},
      {"a file on standard input", "$K --dump - <plot.hpg", "segments 2\n"},
      {"a FIFO", "mkfifo fifo && (cat plot.hpg >fifo &) && $K --dump fifo", "segments 2\n"},
      {"-o - with --format", "cat plot.hpg | $K - -o - --format svg", "<svg"},
      {"-o /dev/stdout", "$K plot.hpg -o /dev/stdout --format svg | cat", "<svg"},
      {"-o - as EMF", "$K plot.hpg -o - --format emf | head -c 4 | od -An -tx1", " 01 00 00 00"},
  };
  for (const auto& c : cases) {
    const ShellRun run = Shell(c.shell);
    EXPECT_EQ(run.exitCode, 0) << c.what << ": " << run.err;
    EXPECT_NE(run.out.find(c.expectedOut), std::string::npos) << c.what << ": " << run.out;
  }
}

TEST_F(ConvertInput, WhatIsNoPlotFileFailsClearly) {
  std::ofstream(folder / "huge.hpg");
  fs::resize_file(folder / "huge.hpg", std::uintmax_t{3} << 30);  // sparse, nothing stored
  const struct {
    const char* what;
    std::string shell;
    int exitCode;
    const char* message;
  } cases[] = {
      {"a device", "$K --dump /dev/zero", 1, "a device, not a file"},
      {"a terminal-less standard input", "$K --dump - </dev/null", 1, "a device"},
      {"a file over the limit", "$K --dump huge.hpg", 1, "larger than 512 MiB"},
      {"the same on standard input", "$K --dump - <huge.hpg", 1, "larger than 512 MiB"},
      {"a folder", "$K --dump .", 1, "cannot read ."},
      {"-o - without a format", "$K plot.hpg -o -", 2, "unknown output format of -"},
  };
  for (const auto& c : cases) {
    const ShellRun run = Shell(c.shell);
    EXPECT_EQ(run.exitCode, c.exitCode) << c.what << ": " << run.err;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << c.what << ": " << run.err;
    EXPECT_EQ(run.out, "") << c.what;
  }
}

TEST_F(ConvertInput, ControlCharactersInNamesAreShownEscaped) {
  const ShellRun dump = Shell("$K --dump \"$(printf 'no\\033[2Jsuch\\nfile')\"");
  EXPECT_NE(dump.err.find("no\\x1b[2Jsuch\\nfile"), std::string::npos) << dump.err;
  const ShellRun write = Shell("$K plot.hpg -o \"$(printf 'missing\\r/out.svg')\"");
  EXPECT_NE(write.err.find("missing\\r/out.svg"), std::string::npos) << write.err;
  for (const std::string& err : {dump.err, write.err}) {
    EXPECT_EQ(err.find('\033'), std::string::npos);
    EXPECT_EQ(err.find('\r'), std::string::npos);
    EXPECT_EQ(err.find("such\nfile"), std::string::npos);
  }
}

}  // namespace
}  // namespace korvid
