// korvid-convert --dump, the inputs and outputs of a pipeline, and things that are no plot.
#include <gtest/gtest.h>

#include "ConvertRun.h"

namespace korvid {
namespace {

namespace fs = std::filesystem;
using namespace testing;

constexpr const char* kPlot = "IN;SP1;PU0,0;PD100,0,100,100;";

class ConvertInput : public ConvertRun {
 protected:
  ProcessResult Dump(const std::string& file) { return Run({"--dump", file}); }
};

// The model as text on standard output; what the read left out on standard error.
TEST_F(ConvertInput, DumpPrintsTheModelAndWhatWasLeftOut) {
  const struct {
    const char* plot;
    const char* reading;
    const char* out;
    const char* err;
  } cases[] = {
      {"IN;SP2;PU0,0;PD100,0.5,100,100;LT-3;CI25;", "",
       "status 0\nsegments 2\narcs 1\n"
       "extents 0 0 125 125\nS 0 0 100 0.5 2 0\nS 100 0.5 100 100 2 0\n"
       "A 75 125 125 75 125 100 125 100 2 -1\n",
       ""},
      // Floats are written so that they read back exactly.
      {"PU0.1,0.2;PD;PA123456.789,-7.25E-3;", "",
       "S 0.100000001 0.200000003 123456.789 -0.00724999979 1 0\n", ""},
      {"IN;LB;LB;\nPU0,0;PD1,1;\n;SP;PD2,2;", "", "segments 1\n",
       "run-time error 13 at command 7; the rest of the file was not read\nskipped \"LB\" x2\n"},
      {"IN\r\nPU0,0\r\n", "", "status 1\nsegments 0\n", "設定済みのﾀｰﾐﾈｰﾀがありません"},
      // What a terminal would not show is escaped.
      {"IN;\x1b.;\x9fP;PD1,1;", "", "segments 1\n",
       "skipped \"\\x1b.\" x1\nskipped \"\\x9fP\" x1\n"},
      {"IN;SP2;PW0.5;PA0,0;PD100,0,100,100;PU;RA50,50;PG;SP1;PD1,1;QQ;", "--hpgl2",
       "reading hpgl2\npages 2\npage 1\npolylines 1\npolygons 1\nextents 0 0 100 100\n"
       "L 2 0.5 FF0000 solid 0 3 0 0 100 0 100 100\n"
       // Hatch spacing: 1 % of the default P1-P2 diagonal.
       "G solid 123.223374 0 FF0000 2 evenodd 1 1 4 100 100 50 100 50 50 100 50\n"
       "page 2\npolylines 1\npolygons 0\nextents 1 1 100 100\n"
       "L 1 0.5 000000 solid 0 2 100 100 1 1\n",
       "2 pages\nskipped \"QQ\" x1\n"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> arguments{"--dump", Fixture("plot.hpg", c.plot)};
    if (*c.reading) arguments.push_back(c.reading);
    const ProcessResult run = Run(arguments);
    EXPECT_EQ(run.exitCode, 0) << c.plot;
    EXPECT_NE(run.out.find(c.out), std::string::npos) << run.out;
    EXPECT_EQ(run.err.find("\\n"), std::string::npos) << "line ends are no skipped commands";
    if (*c.err)
      EXPECT_NE(run.err.find(c.err), std::string::npos) << run.err;
    else
      EXPECT_EQ(run.err, "");
  }
}

TEST_F(ConvertInput, DumpShippedSampleReadsCompletely) {
  const ProcessResult run = Dump(std::string(KORVID_SAMPLES_DIR) + "/bracket.hpgl");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.err, "") << "the sample must use only what the reader understands";
  EXPECT_EQ(run.out.find("segments 0\n"), std::string::npos);
}

TEST_F(ConvertInput, StreamsAreReadAndWritten) {
  const std::string plot = Fixture("plot.hpg", kPlot);
  const struct {
    const char* what;
    std::vector<std::string> arguments;
    Stdin input;
    const char* expectedOut;
  } cases[] = {
      {"a pipe into --dump -", {"--dump", "-"}, {.piped = kPlot}, "segments 2\n"},
      {"a file on standard input", {"--dump", "-"}, {.file = plot}, "segments 2\n"},
      {"a pipe by its name", {"--dump", "/dev/stdin"}, {.piped = kPlot}, "segments 2\n"},
      {"-o - with --format", {"-", "-o", "-", "--format", "svg"}, {.piped = kPlot}, "<svg"},
      {"-o - as EMF", {plot, "-o", "-", "--format", "emf"}, {}, " EMF"},
      {"-O - for one file", {plot, "-f", "png", "-O", "-"}, {}, "\x89PNG"},
      {"--version", {"--version"}, {}, "korvid-convert 1."},
      {"--help", {"--help"}, {}, "--jobs N"},
  };
  for (const auto& c : cases) {
    const ProcessResult run = Run(c.arguments, c.input);
    EXPECT_EQ(run.exitCode, 0) << c.what << ": " << run.err;
    EXPECT_NE(run.out.find(c.expectedOut), std::string::npos) << c.what << ": " << run.out;
  }
}

TEST_F(ConvertInput, WhatIsNoPlotFileFailsClearly) {
  const std::string plot = Fixture("plot.hpg", kPlot), huge = Fixture("huge.hpg", "");
  fs::resize_file(huge, std::uintmax_t{3} << 30);  // sparse, nothing stored
  const struct {
    const char* what;
    std::vector<std::string> arguments;
    int exitCode;
    std::string message;
    Stdin input = {};
  } cases[] = {
      {"a device", {"--dump", "/dev/zero"}, 1, "a device, not a file"},
      {"a terminal-less standard input", {"--dump", "-"}, 1, "a device"},
      {"a file over the limit", {"--dump", huge}, 1, "larger than 512 MiB"},
      {"the same on standard input", {"--dump", "-"}, 1, "larger than 512 MiB", {.file = huge}},
      {"a missing file", {"--dump", Out("nope.hpg")}, 1, "nope.hpg: No such file"},
      {"a folder", {"--dump", directory.string()}, 1, "Is a directory"},
      {"a folder into -o", {directory.string(), "-o", Out("x.png")}, 1, "cannot read"},
      {"-o - without a format", {plot, "-o", "-"}, 2, "unknown output format of -"},
      // Standard output is "-": a link to it, like any link to a device or a pipe, is not
      // a file to replace.
      {"-o /dev/stdout", {plot, "-o", "/dev/stdout", "-f", "svg"}, 1, "-o - writes to standard"},
      {"no arguments", {}, 2, "nothing to do"},
      {"an unknown option", {"--frobnicate", "x"}, 2, "unknown option --frobnicate"},
      // Names are shown with control characters escaped, never steering the terminal.
      {"an odd name", {"--dump", Out("no\033[2Jsuch\nfile")}, 1, "no\\x1b[2Jsuch\\nfile"},
      {"an odd output", {plot, "-o", Out("missing\r/out.svg")}, 1, "missing\\r/out.svg"},
  };
  for (const auto& c : cases) {
    const ProcessResult run = Run(c.arguments, c.input);
    EXPECT_EQ(run.exitCode, c.exitCode) << c.what << ": " << run.err;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << c.what << ": " << run.err;
    EXPECT_EQ(run.out, "") << c.what;
    EXPECT_EQ(run.err.find_first_of("\r\033"), std::string::npos) << c.what;
  }
  EXPECT_FALSE(fs::exists(Out("x.png")));
}

}  // namespace
}  // namespace korvid
