#include <gtest/gtest.h>

#include "cli/ConvertOptions.h"

namespace korvid {
namespace {

using Args = std::vector<std::string>;

TEST(ConvertOptions, ReadsAConversion) {
  const ConvertOptions options = ParseConvertOptions(
      Args{"plot.hpg", "-o", "out.png", "--rotate", "270", "--mono", "--width", "800"});
  EXPECT_EQ(options.mode, ConvertOptions::Mode::Convert);
  EXPECT_EQ(options.input, "plot.hpg");
  EXPECT_EQ(options.output, "out.png");
  EXPECT_EQ(options.rotation, 270);
  EXPECT_TRUE(options.mono);
  EXPECT_EQ(options.widthPx, 800);
  EXPECT_EQ(options.dpi, 0);
  // One --format for both kinds of work: with -o it names the output's format.
  const ConvertOptions piped = ParseConvertOptions(Args{"-", "-o", "-", "-f", "svg"});
  EXPECT_EQ(piped.mode, ConvertOptions::Mode::Convert);
  EXPECT_EQ(piped.format, "svg");
  EXPECT_EQ(piped.output, "-");
}

TEST(ConvertOptions, ReadsADumpAndHelp) {
  const ConvertOptions dump = ParseConvertOptions(Args{"--dump", "-"});
  EXPECT_EQ(dump.mode, ConvertOptions::Mode::Dump);
  EXPECT_EQ(dump.input, "-");
  EXPECT_EQ(ParseConvertOptions(Args{"x", "--help"}).mode, ConvertOptions::Mode::Help);
}

TEST(ConvertOptions, ReadsABatchAndAThumbnail) {
  const ConvertOptions batch =
      ParseConvertOptions(Args{"a.hpg", "b.plt", "-f", "pdf", "-O", "out", "-j", "3", "--mono"});
  EXPECT_EQ(batch.mode, ConvertOptions::Mode::Batch);
  EXPECT_EQ(batch.inputs, (Args{"a.hpg", "b.plt"}));
  EXPECT_EQ(batch.format, "pdf");
  EXPECT_EQ(batch.outputFolder, "out");
  EXPECT_EQ(batch.jobs, 3);
  EXPECT_TRUE(batch.mono);
  // One input with a format is a batch of one, written to the current folder.
  const ConvertOptions one = ParseConvertOptions(Args{"a.hpg", "--format", "svg"});
  EXPECT_EQ(one.mode, ConvertOptions::Mode::Batch);
  EXPECT_EQ(one.outputFolder, ".");

  const ConvertOptions thumbnail = ParseConvertOptions(Args{"-s", "256", "in.plt", "out"});
  EXPECT_EQ(thumbnail.mode, ConvertOptions::Mode::Thumbnail);
  EXPECT_EQ(thumbnail.input, "in.plt");
  EXPECT_EQ(thumbnail.output, "out");
  EXPECT_EQ(thumbnail.thumbnailPx, 256);
  EXPECT_EQ(ParseConvertOptions(Args{"--version", "x"}).mode, ConvertOptions::Mode::Version);
}

class BadUsage : public ::testing::TestWithParam<Args> {};

TEST_P(BadUsage, IsRefused) {
  EXPECT_THROW(ParseConvertOptions(GetParam()), UsageError);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, BadUsage,
    ::testing::Values(
        Args{}, Args{"--dump"}, Args{"--dump", "a", "b"}, Args{"--dump", "a", "-o", "b.png"},
        Args{"a.hpg"}, Args{"-o", "b.png"}, Args{"a", "b", "-o", "c.png"}, Args{"a", "-o"},
        Args{"a", "-o", "b.png", "--rotate", "45"}, Args{"a", "-o", "b.png", "--rotate", "-90"},
        Args{"a", "-o", "b.png", "--width", "0"}, Args{"a", "-o", "b.png", "--width", "12px"},
        Args{"a", "-o", "b.png", "--dpi", "99999"},
        Args{"a", "-o", "b.png", "--width", "10", "--dpi", "10"},
        Args{"a", "-o", "b.png", "--colour"}, Args{"a", "b", "-o", "c.png", "-f", "png"},
        Args{"a", "-f", "gif"}, Args{"a", "-f"}, Args{"a", "-O", ""},
        Args{"a", "-f", "png", "-j", "x"}, Args{"a", "-o", "b.png", "-O", "c"},
        Args{"a", "b", "-f", "png", "-O", "-"}, Args{"-s", "0", "a", "b"}, Args{"-s", "64", "a"},
        Args{"-s", "64", "a", "b", "-f", "png"}));

}  // namespace
}  // namespace korvid
