// A capacity reached keeps the full tables; files that cannot be read give an empty model.
// (Failures inside the text are in the reading tables.)
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "ReaderFixture.h"

namespace korvid::testing {
namespace {

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
  EXPECT_EQ(model.Segments(PlotModel::MaxSegments, 1).Y2, PlotModel::MaxSegments);
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
  EXPECT_EQ(SegmentText(2), "6,6>2,2") << "the open segment: a new start, an old end";
  EXPECT_EQ(SegmentText(3), "2,2>3,3");
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
  // After a read that drew something, a file that cannot be read leaves an empty model.
  void ExpectEmptyModel(const std::string& dir, const std::string& name, int errorNumber) {
    Read("PU0,0;PD1,1;CI3;");
    const ReadOutcome outcome = ReadFile(dir, name);
    EXPECT_EQ(outcome.end, ReadEnd::Failure) << name;
    EXPECT_EQ(outcome.errorNumber, errorNumber) << name;
    EXPECT_TRUE(outcome.fileError) << name;
    EXPECT_EQ(outcome.commandIndex, 0);
    EXPECT_EQ(model.SegCount[1], 0);
    EXPECT_EQ(model.ArcCount[1], 0);
    EXPECT_EQ(status, 0);
  }

  std::filesystem::path directory;
};

TEST_F(FileReads, ReadsTheFileFromFolderAndNameAsBytes) {
  Write("plot.hpg", "IN;LB\x93\xfa\x96\x7b\x8c\xea;PU0,0;PD3,4;\r\n");
  EXPECT_EQ(ReadFile(Dir(), "plot.hpg").end, ReadEnd::Completed);
  EXPECT_EQ(Drawn(), "0,0>3,4");
}

TEST_F(FileReads, FileThatCannotBeReadGivesAnEmptyModel) {
  ExpectEmptyModel(Dir(), "missing.hpg", 53);
  ExpectEmptyModel("", "", 53);
  std::filesystem::create_directory(directory / "folder.hpg");
  ExpectEmptyModel(Dir(), "folder.hpg", 75);
  ExpectEmptyModel("/dev/", "zero", 75);  // a device: refused, never read or waited on
  if (::geteuid() != 0) {                 // root reads every file
    Write("secret.hpg", "PU0,0;PD1,1;");
    std::filesystem::permissions(directory / "secret.hpg", std::filesystem::perms::none);
    ExpectEmptyModel(Dir(), "secret.hpg", 70);
  }
}

}  // namespace
}  // namespace korvid::testing
