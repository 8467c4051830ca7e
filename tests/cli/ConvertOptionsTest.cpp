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
}

TEST(ConvertOptions, ReadsADumpAndHelp) {
  const ConvertOptions dump = ParseConvertOptions(Args{"--dump", "-"});
  EXPECT_EQ(dump.mode, ConvertOptions::Mode::Dump);
  EXPECT_EQ(dump.input, "-");
  EXPECT_EQ(ParseConvertOptions(Args{"x", "--help"}).mode, ConvertOptions::Mode::Help);
}

class BadUsage : public ::testing::TestWithParam<Args> {};

TEST_P(BadUsage, IsRefused) {
  EXPECT_THROW(ParseConvertOptions(GetParam()), UsageError);
}

INSTANTIATE_TEST_SUITE_P(Arguments, BadUsage,
                         ::testing::Values(Args{}, Args{"--dump"}, Args{"--dump", "a", "b"},
                                           Args{"--dump", "a", "-o", "b.png"}, Args{"a.hpg"},
                                           Args{"-o", "b.png"}, Args{"a", "b", "-o", "c.png"},
                                           Args{"a", "-o"},
                                           Args{"a", "-o", "b.png", "--rotate", "45"},
                                           Args{"a", "-o", "b.png", "--rotate", "-90"},
                                           Args{"a", "-o", "b.png", "--width", "0"},
                                           Args{"a", "-o", "b.png", "--width", "12px"},
                                           Args{"a", "-o", "b.png", "--dpi", "99999"},
                                           Args{"a", "-o", "b.png", "--width", "10", "--dpi", "10"},
                                           Args{"a", "-o", "b.png", "--colour"}));

}  // namespace
}  // namespace korvid
