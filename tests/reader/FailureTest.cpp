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
  EXPECT_EQ(Read(ManySegments(PlotModel::MaxSegments - 1) + "PU;").end, ReadEnd::Completed);
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

TEST_F(ReaderTest, FilesThatCannotBeReadGiveAnEmptyModel) {
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("korvid-reader-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir / "folder.hpg");
  std::ofstream(dir / "plot.hpg", std::ios::binary) << "IN;LB\x93\xfa\x96\x7b;PU0,0;PD3,4;\r\n";
  std::ofstream(dir / "secret.hpg") << "PU0,0;PD1,1;";
  std::filesystem::permissions(dir / "secret.hpg", std::filesystem::perms::none);
  ASSERT_EQ(::mkfifo((dir / "pipe.hpg").c_str(), 0600), 0);
  auto readFile = [&](const std::string& folder, const std::string& name) {
    model.PlotDir = folder;
    model.PlotFileName = name;
    status = 0;
    return reader.ReadPlotFile(status);
  };
  const std::string folder = dir.string() + "/";
  EXPECT_EQ(Summary(readFile(folder, "plot.hpg")), "0,0>3,4");
  EXPECT_EQ(readFile(folder, "pipe.hpg").end, ReadEnd::NoTerminator) << "without blocking";
  // After a read that drew something; root reads every file, so the unreadable one is left out.
  for (auto [name, error] : {std::pair{"missing.hpg", 53},
                             {"", 53},
                             {"folder.hpg", 75},
                             {::geteuid() ? "secret.hpg" : "", ::geteuid() ? 70 : 53}}) {
    Read("PU0,0;PD1,1;CI3;");
    const ReadOutcome outcome = readFile(*name ? folder : "", name);
    EXPECT_EQ(Summary(outcome), "/ error " + std::to_string(error) + " at 0") << name;
    EXPECT_TRUE(outcome.fileError) << name;
  }
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace korvid::testing
