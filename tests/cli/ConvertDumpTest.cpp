// korvid-convert --dump, run as a user runs it.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "cli/ModelDump.h"

namespace korvid {
namespace {

struct ProcessResult {
  int exitCode;
  std::string out;
  std::string err;
};

std::string Slurp(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class ConvertDump : public ::testing::Test {
 protected:
  void SetUp() override {
    directory = std::filesystem::temp_directory_path() /
                ("korvid-cli-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(directory);
  }
  void TearDown() override { std::filesystem::remove_all(directory); }

  std::string Fixture(const std::string& name, const std::string& bytes) {
    const auto path = directory / name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path.string();
  }

  ProcessResult Convert(const std::string& arguments) {
    const auto out = directory / "stdout";
    const auto err = directory / "stderr";
    const std::string command = std::string(KORVID_CONVERT_PATH) + " " + arguments + " >" +
                                out.string() + " 2>" + err.string();
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Slurp(out), Slurp(err)};
  }

  std::filesystem::path directory;
};

TEST_F(ConvertDump, PrintsTheModel) {
  const std::string file = Fixture("plot.hpg", "IN;SP2;PU0,0;PD100,0.5,100,100;LT-3;CI25;");
  const ProcessResult run = Convert("--dump " + file);
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.out,
            "status 0\n"
            "segments 2\n"
            "arcs 1\n"
            "extents 0 0 125 125\n"
            "S 0 0 100 0.5 2 0\n"
            "S 100 0.5 100 100 2 0\n"
            "A 75 125 125 75 125 100 125 100 2 -1\n");
  EXPECT_EQ(run.err, "");
}

TEST_F(ConvertDump, WritesFloatsSoTheyReadBackExactly) {
  const std::string file = Fixture("fine.hpg", "PU0.1,0.2;PD;PA123456.789,-7.25E-3;");
  const ProcessResult run = Convert("--dump " + file);
  EXPECT_NE(run.out.find("S 0.100000001 0.200000003 123456.789 -0.00724999979 1 0\n"),
            std::string::npos)
      << run.out;
}

TEST_F(ConvertDump, ReportsWhatWasLeftOut) {
  const std::string file = Fixture("partial.hpg", "IN;LB;LB;\nPU0,0;PD1,1;\n;SP;PD2,2;");
  const ProcessResult run = Convert("--dump " + file);
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_NE(run.out.find("segments 1\n"), std::string::npos);
  EXPECT_NE(run.err.find("run-time error 13 at command 7"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("skipped \"LB\" x2"), std::string::npos) << run.err;
  EXPECT_EQ(run.err.find("\\n"), std::string::npos) << "line ends are no skipped commands";
}

TEST_F(ConvertDump, FileWithoutTerminatorGivesStatusOne) {
  const std::string file = Fixture("noterm.hpg", "IN\r\nPU0,0\r\n");
  const ProcessResult run = Convert("--dump " + file);
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.out.substr(0, 20), "status 1\nsegments 0\n");
  EXPECT_NE(run.err.find("設定済みのﾀｰﾐﾈｰﾀがありません"), std::string::npos);
}

TEST_F(ConvertDump, MissingFileIsNamedWithTheReason) {
  const ProcessResult run = Convert("--dump " + (directory / "nope.hpg").string());
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find("nope.hpg"), std::string::npos);
  EXPECT_NE(run.err.find("No such file or directory"), std::string::npos) << run.err;
}

TEST_F(ConvertDump, DirectoryIsNotAPlotFile) {
  const ProcessResult run = Convert("--dump " + directory.string());
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("Is a directory"), std::string::npos) << run.err;
}

TEST_F(ConvertDump, BadUsageExitsWithTwo) {
  EXPECT_EQ(Convert("").exitCode, 2);
  EXPECT_EQ(Convert("--dump").exitCode, 2);
  EXPECT_EQ(Convert("--frobnicate x").exitCode, 2);
  EXPECT_EQ(Convert("--help").exitCode, 0);
}

TEST_F(ConvertDump, ShippedSampleReadsCompletely) {
  const ProcessResult run = Convert(std::string("--dump ") + KORVID_SAMPLES_DIR + "/bracket.hpgl");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.err, "") << "the sample must use only what the reader understands";
  EXPECT_EQ(run.out.find("segments 0\n"), std::string::npos);
}

TEST(PrintableMnemonic, EscapesWhatATerminalWouldNotShow) {
  EXPECT_EQ(PrintableMnemonic("PA"), "PA");
  EXPECT_EQ(PrintableMnemonic("\nP"), "\\nP");
  EXPECT_EQ(PrintableMnemonic("\x1b."), "\\x1b.");
  EXPECT_EQ(PrintableMnemonic("P\x9f"), "P\\x9f");
  EXPECT_EQ(PrintableMnemonic(std::string("\0A", 2)), "\\x00A");
}

}  // namespace
}  // namespace korvid
