#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

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
        BadUsageCase{{"-s", "64", "a", "b", "--page", "2"}, "--page needs --hpgl2"},

        BadUsageCase{{"a", "-o", "b.png", "--hide-pens", "3,,5"}, "not \"3,,5\""},
        BadUsageCase{{"a", "-o", "b.png", "--hide-pens", "3;5"}, "separated by commas"},
        BadUsageCase{{"a", "-o", "b.png", "--hide-pens", "40000"}, "from -32768 to 32767"},
        BadUsageCase{{"a", "-o", "b.png", "--hide-pens", "3,"}, "not \"3,\""},
        BadUsageCase{{"a", "-o", "b.png", "--pens"}, "--pens needs a value"},
        BadUsageCase{{"a", "-o", "b.png", "--pens", "-"}, "not standard input"},
        BadUsageCase{{"a", "-o", "b.png", "--pens", "/nonexistent/k.pens"},
                     "--pens /nonexistent/k.pens: No such file or directory"},
        BadUsageCase{{"--dump", "a", "--hide-pens", "3"}, "drop --pens and --hide-pens"}));

// A profile is read whole when the options are: a bad line stops the converter before it
// draws anything, with the line's number and what is wrong with it.
TEST(ConvertOptions, PensComeFromAProfileAndTheHiddenList) {
  const auto folder = std::filesystem::temp_directory_path() /
                      ("korvid-convert-pens-" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  const std::string good = (folder / "good.pens").string();
  const std::string bad = (folder / "bad.pens").string();
  std::ofstream(good) << "pen 3 colour #000000 width 0.7 shown\npen 4 hidden\n";
  std::ofstream(bad) << "pen 3 colour #000000\npen 4 width thin\n";
  const ConvertOptions options = ParseConvertOptions(
      Args{"a.hpg", "--hide-pens", "5,-1", "-o", "b.svg", "--pens", good, "--hide-pens", "3"});
  ASSERT_TRUE(options.pens);
  PenTable expected;
  expected.Set(3, {0x000000, 0.7, false});  // hidden by --hide-pens, whatever the profile says
  expected.Hide(4);
  expected.Hide(5);
  expected.Hide(-1);
  EXPECT_EQ(*options.pens, expected);
  EXPECT_FALSE(ParseConvertOptions(Args{"a.hpg", "-o", "b.svg"}).pens);
  try {
    ParseConvertOptions(Args{"a.hpg", "-o", "b.svg", "--pens", bad});
    ADD_FAILURE() << "taken";
  } catch (const UsageError& error) {
    EXPECT_EQ(std::string(error.what()),
              "--pens " + bad +
                  ": line 2: the width is millimetres written like 0.35 (0: the thinnest line) "
                  "or file, not \"thin\"");
  }
  EXPECT_THROW(ParseConvertOptions(Args{"a.hpg", "-o", "b.svg", "--pens", good, "--pens", good}),
               UsageError);
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace korvid
