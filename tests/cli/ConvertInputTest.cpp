// korvid-convert on the inputs and outputs of a pipeline, and on things that are no plot.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "ConvertRun.h"

namespace korvid {
namespace {

namespace fs = std::filesystem;
using testing::ProcessResult;
using testing::Stdin;

constexpr const char* kPlot = "IN;SP1;PU0,0;PD100,0,100,100;";

class ConvertInput : public testing::ConvertRun {};

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
      {"-o /dev/stdout", {plot, "-o", "/dev/stdout", "--format", "svg"}, {}, "<svg"},
      {"-o - as EMF", {plot, "-o", "-", "--format", "emf"}, {}, " EMF"},
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
      {"a missing file into -o", {Out("nope.hpg"), "-o", Out("x.png")}, 1, "cannot read"},
      {"a folder into -o", {directory.string(), "-o", Out("x.png")}, 1, "cannot read"},
      {"-o - without a format", {plot, "-o", "-"}, 2, "unknown output format of -"},
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
