// Failures end the read quietly and keep what was read before them; a capacity reached
// keeps the full tables; files that cannot be read give an empty model.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "AsUnprivilegedUser.h"
#include "ReaderFixture.h"

namespace korvid::testing {
namespace {

using ::testing::ElementsAre;

struct FailureCase {
  const char* name;
  std::string text;
  int errorNumber;
  int commandIndex;
  int segments;
};

void PrintTo(const FailureCase& c, std::ostream* os) {
  *os << c.name;
}

class Failures : public ReaderTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(Failures, EndTheReadKeepingWhatWasRead) {
  const ReadOutcome outcome = Read(GetParam().text);
  EXPECT_EQ(outcome.end, ReadEnd::Failure);
  EXPECT_TRUE(outcome.EndedThroughFailure());
  EXPECT_EQ(outcome.errorNumber, GetParam().errorNumber);
  EXPECT_EQ(outcome.commandIndex, GetParam().commandIndex);
  EXPECT_EQ(model.SegCount[1], GetParam().segments);
  EXPECT_EQ(model.PlotCount, 1);
  EXPECT_EQ(status, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Failures,
    ::testing::Values(FailureCase{"SpWithoutNumber", "PU0,0;PD1,1;SP;PD2,2;", 13, 3, 1},
                      FailureCase{"SpWithTwoNumbers", "PU0,0;PD1,1;SP1 2;", 13, 3, 1},
                      FailureCase{"SpWithTab", "PU0,0;PD1,1;SP\t2;", 13, 3, 1},
                      FailureCase{"SpBeyond16Bits", "PU0,0;PD1,1;SP32768;", 6, 3, 1},
                      FailureCase{"PrSpWithoutNumber", "PU0,0;PD1,1;PRSP;", 13, 3, 1},
                      FailureCase{"YBeyondFloatRange", "PU0,0;PD1,1,2,4E38;", 6, 2, 1},
                      FailureCase{"NumberBeyondDoubleRange", "PU0,0;PD1,1;PD1,1E400;", 6, 3, 1},
                      FailureCase{"HexBeyondDoubleRange",
                                  "PU0,0;PD1,1;PD1,&H" + std::string(300, 'F') + ";", 6, 3, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ReaderTest, PageAdvanceEndsTheReadWithTheFirstPlot) {
  const ReadOutcome outcome = Read("PU0,0;PD1,1,2,2;CI1;PG;PU0,0;PD9,9;CI2;");
  EXPECT_EQ(outcome.end, ReadEnd::PageAdvance);
  EXPECT_TRUE(outcome.EndedThroughFailure());
  EXPECT_EQ(outcome.commandIndex, 4);
  EXPECT_EQ(model.PlotCount, 1);
  EXPECT_EQ(model.SegCount[1], 2);
  EXPECT_EQ(model.ArcCount[1], 1);
}

TEST_F(ReaderTest, PageAdvanceFirstGivesNoSegments) {
  Read("PG;PU0,0;PD5,5;");
  EXPECT_EQ(model.SegCount[1], 0);
  EXPECT_EQ(model.PlotCount, 1);
}

TEST_F(ReaderTest, RelativePageAdvanceEndsTheReadToo) {
  EXPECT_EQ(Read("PU0,0;PD1,1;PRPG;PD2,2;").end, ReadEnd::PageAdvance);
  EXPECT_EQ(model.SegCount[1], 1);
}

std::string ManySegments(int count) {
  std::string text = "PU0,0;PD";
  for (int i = 1; i <= count; ++i)
    text += std::to_string(i % 1000) + "," + std::to_string(i) + ",";
  text.back() = ';';
  return text;
}

TEST_F(ReaderTest, SegmentCapacityKeepsTheFullTable) {
  const ReadOutcome exactly = Read(ManySegments(PlotModel::MaxSegments - 1) + "PU;");
  EXPECT_EQ(exactly.end, ReadEnd::Completed);
  EXPECT_EQ(model.SegCount[1], PlotModel::MaxSegments - 1);

  const ReadOutcome over = Read(ManySegments(PlotModel::MaxSegments + 10) + "CI5;");
  EXPECT_TRUE(over.segmentCapacityReached);
  EXPECT_EQ(over.errorNumber, 9);
  EXPECT_EQ(model.SegCount[1], PlotModel::MaxSegments);
  EXPECT_EQ(Segment(PlotModel::MaxSegments).y2, PlotModel::MaxSegments);
  EXPECT_EQ(model.ArcCount[1], 0);  // the circle after the cut is not read
}

TEST_F(ReaderTest, ArcCapacityKeepsTheFullTable) {
  std::string text;
  for (int i = 0; i < PlotModel::MaxArcs + 5; ++i)
    text += "CI" + std::to_string(i % 97) + ";";
  const ReadOutcome outcome = Read(text + "PU0,0;PD1,1;");
  EXPECT_TRUE(outcome.arcCapacityReached);
  EXPECT_EQ(outcome.commandIndex, PlotModel::MaxArcs + 1);
  EXPECT_EQ(model.ArcCount[1], PlotModel::MaxArcs);
  EXPECT_EQ(model.SegCount[1], 0);
}

TEST_F(ReaderTest, ShortReadAfterLongOneLeavesOldRecordsBeyondTheCount) {
  Read("PU0,0;PD1,1,2,2,3,3;");
  Read("PU5,5;PD6,6;");
  EXPECT_EQ(model.SegCount[1], 1);
  EXPECT_EQ(Segment(2), (Seg{6, 6, 2, 2})) << "the open segment: a new start, an old end";
  EXPECT_EQ(Segment(3), (Seg{2, 2, 3, 3}));
}

class FileReads : public ReaderTest {
 protected:
  void SetUp() override {
    directory = std::filesystem::temp_directory_path() /
                ("korvid-reader-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(directory);
  }
  void TearDown() override {
    std::filesystem::permissions(directory, std::filesystem::perms::owner_all);
    std::filesystem::remove_all(directory);
  }
  ReadOutcome ReadFile(const std::string& dir, const std::string& name) {
    model.PlotDir = dir;
    model.PlotFileName = name;
    status = 0;
    return reader.ReadPlotFile(status);
  }
  std::string Dir() const { return directory.string() + "/"; }
  void Write(const std::string& name, const std::string& bytes) {
    std::ofstream(directory / name, std::ios::binary) << bytes;
  }
  void ExpectEmptyModel(const ReadOutcome& outcome, int errorNumber) {
    EXPECT_EQ(outcome.end, ReadEnd::Failure);
    EXPECT_EQ(outcome.errorNumber, errorNumber);
    EXPECT_TRUE(outcome.fileError);
    EXPECT_EQ(outcome.commandIndex, 0);
    EXPECT_EQ(model.SegCount[1], 0);
    EXPECT_EQ(model.ArcCount[1], 0);
    EXPECT_EQ(status, 0);
  }

  std::filesystem::path directory;
};

TEST_F(FileReads, ReadsTheFileFromFolderAndName) {
  Write("plot.hpg", "IN;PU0,0;PD3,4;\r\n");
  const ReadOutcome outcome = ReadFile(Dir(), "plot.hpg");
  EXPECT_EQ(outcome.end, ReadEnd::Completed);
  EXPECT_THAT(Segments(), ElementsAre(Seg{0, 0, 3, 4}));
}

TEST_F(FileReads, ReadsDoubleByteTextAsBytes) {
  Write("text.hpg", "IN;LB\x93\xfa\x96\x7b\x8c\xea;PU0,0;PD3,4;");
  ReadFile(Dir(), "text.hpg");
  EXPECT_THAT(Segments(), ElementsAre(Seg{0, 0, 3, 4}));
}

TEST_F(FileReads, MissingFileGivesAnEmptyModel) {
  Read("PU0,0;PD1,1;CI3;");
  ExpectEmptyModel(ReadFile(Dir(), "missing.hpg"), 53);
}

TEST_F(FileReads, EmptyNameGivesAnEmptyModel) {
  Read("PU0,0;PD1,1;");
  ExpectEmptyModel(ReadFile("", ""), 53);
}

TEST_F(FileReads, DirectoryGivesAnEmptyModel) {
  std::filesystem::create_directory(directory / "folder.hpg");
  ExpectEmptyModel(ReadFile(Dir(), "folder.hpg"), 75);
}

TEST_F(FileReads, UnreadableFileGivesAnEmptyModel) {
  Write("secret.hpg", "PU0,0;PD1,1;");
  std::filesystem::permissions(directory, std::filesystem::perms(0755));
  std::filesystem::permissions(directory / "secret.hpg", std::filesystem::perms::none);
  AsUnprivilegedUser([&] { ExpectEmptyModel(ReadFile(Dir(), "secret.hpg"), 70); });
}

TEST_F(FileReads, FifoReadsAsEmptyWithoutBlocking) {
  ASSERT_EQ(::mkfifo((directory / "pipe.hpg").c_str(), 0600), 0);
  const ReadOutcome outcome = ReadFile(Dir(), "pipe.hpg");
  EXPECT_EQ(outcome.end, ReadEnd::NoTerminator);
}

}  // namespace
}  // namespace korvid::testing
