#include <gtest/gtest.h>

#include "cli/ConvertOptions.h"

namespace korvid {
namespace {

using Args = std::vector<std::string>;
using Mode = ConvertOptions::Mode;

// What the runs of the converter's other tests cannot tell apart.
TEST(ConvertOptions, ReadsEachKindOfWork) {
  const ConvertOptions batch = ParseConvertOptions(Args{"a.hpg", "b.plt", "-f", "pdf", "-j", "3"});
  EXPECT_EQ(batch.mode, Mode::Batch);
  EXPECT_EQ(batch.jobs, 3);
  // A batch is written to the current folder unless told otherwise.
  EXPECT_EQ(batch.outputFolder, ".");
  const ConvertOptions fitted = ParseConvertOptions(
      Args{"a.hpg", "-o", "b.pdf", "--paper", "a3", "--portrait", "--fit", "--portrait"});
  ASSERT_TRUE(fitted.sheet.paper);
  EXPECT_EQ(fitted.sheet.paper->name, "A3");
  EXPECT_EQ(fitted.sheet.turn, PaperTurn::Portrait);
  EXPECT_TRUE(fitted.sheet.fit && !fitted.sheet.scale);
  const ConvertOptions scaled =
      ParseConvertOptions(Args{"a.hpg", "-f", "png", "--scale", "1:2.5", "--dpi", "300"});
  EXPECT_DOUBLE_EQ(scaled.sheet.scale.value_or(0), 0.4);
  EXPECT_EQ(scaled.sheet.turn, PaperTurn::Best);
}

struct BadUsageCase {
  Args arguments;
  const char* message;
};

class BadUsage : public ::testing::TestWithParam<BadUsageCase> {};

TEST_P(BadUsage, IsRefusedWithAReason) {
  try {
    ParseConvertOptions(GetParam().arguments);
    ADD_FAILURE() << "taken";
  } catch (const UsageError& error) {
    EXPECT_NE(std::string(error.what()).find(GetParam().message), std::string::npos)
        << error.what();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, BadUsage,
    ::testing::Values(
        BadUsageCase{{}, "nothing to do"}, BadUsageCase{{"--dump"}, "--dump needs a value"},
        BadUsageCase{{"--dump", "a", "b"}, "exactly one file"},
        BadUsageCase{{"--dump", "a", "-o", "b.png"}, "drop -o"},
        BadUsageCase{{"--dump", "a", "--hpgl2", "--page", "2"}, "--dump prints every page"},
        BadUsageCase{{"a.hpg"}, "no output file"}, BadUsageCase{{"-o", "b.png"}, "no input"},
        BadUsageCase{{"a", "b", "-o", "c.png"}, "more than one input"},
        BadUsageCase{{"a", "-o"}, "-o needs a value"},
        BadUsageCase{{"a", "-o", "b.png", "--rotate", "45"}, "not \"45\""},
        BadUsageCase{{"a", "-o", "b.png", "--width", "0"}, "--width needs a whole number"},
        BadUsageCase{{"a", "-o", "b.png", "--width", "12px"}, "not \"12px\""},
        BadUsageCase{{"a", "-o", "b.png", "--dpi", "99999"}, "from 1 to 9600"},
        BadUsageCase{{"a", "-o", "b.png", "--width", "10", "--dpi", "10"}, "exclude each other"},
        BadUsageCase{{"a", "-o", "b.png", "--colour"}, "unknown option --colour"},
        BadUsageCase{{"a", "-o", "b.png", "--page", "2"}, "--page needs --hpgl2"},
        BadUsageCase{{"a", "-o", "b.png", "--hpgl2", "--page", "0"}, "--page needs a whole"},
        BadUsageCase{{"a", "b", "-o", "c.png", "-f", "png"}, "more than one input"},
        BadUsageCase{{"a", "b"}, "several input files need --format"},
        BadUsageCase{{"a", "-f", "gif"}, "not \"gif\""},
        BadUsageCase{{"a", "-O", ""}, "-O needs a folder"},
        BadUsageCase{{"a", "-O", "out"}, "--outdir needs --format"},
        BadUsageCase{{"a", "-f", "png", "-j", "0"}, "-j needs a whole number"},
        BadUsageCase{{"a", "-o", "b.png", "-O", "c"}, "drop --outdir"},
        BadUsageCase{{"a", "b", "-f", "png", "-O", "-"}, "give one input file"},

        BadUsageCase{{"a", "-o", "b.pdf", "--scale"}, "--scale needs a value"},
        BadUsageCase{{"a", "-o", "b.pdf", "--scale", "1:0"}, "--scale takes 1:N, N:1 or a"},
        BadUsageCase{{"a", "-o", "b.pdf", "--scale", "1:200000"}, "not \"1:200000\""},
        BadUsageCase{{"a", "-o", "b.pdf", "--paper", "B5"}, "--paper takes A4, A3"},
        BadUsageCase{{"a", "-o", "b.pdf", "--paper", "0x10mm"}, "not \"0x10mm\""},
        BadUsageCase{{"a", "-o", "b.pdf", "--fit"}, "--fit needs --paper"},
        BadUsageCase{{"a", "-o", "b.pdf", "--portrait"}, "need --paper"},
        BadUsageCase{{"a", "-o", "b.pdf", "--paper", "A4", "--landscape", "--portrait"},
                     "--landscape and --portrait exclude each other"},
        BadUsageCase{{"a", "-o", "b.pdf", "--paper", "A4", "--fit", "--scale", "1:2"},
                     "--fit and --scale exclude each other"},
        BadUsageCase{{"a", "-o", "b.emf", "--scale", "1:2"}, "keeps its own frame; drop --scale"},
        BadUsageCase{{"a", "-f", "emf", "--fit", "--paper", "A4"}, "drop --fit"},
        BadUsageCase{{"--dump", "a", "--paper", "A4"}, "--dump draws nothing; drop --paper"},
        BadUsageCase{{"-s", "64", "a", "b", "--scale", "2"}, "only an input and an output"},

        BadUsageCase{{"-s", "64", "a"}, "needs an input and an output"},
        BadUsageCase{{"-s", "64", "a", "b", "-f", "png"}, "only an input and an output"},
        BadUsageCase{{"-s", "64", "a", "b", "--page", "2"}, "--page needs --hpgl2"}));

}  // namespace
}  // namespace korvid
