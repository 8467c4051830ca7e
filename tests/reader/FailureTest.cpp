// A capacity reached keeps the full tables; files that cannot be read give an empty model.
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "ReaderFixture.h"

namespace korvid::testing {
namespace {

// One command of `pairs` relative steps, alternately up and right: also a linear-time check.
std::string Staircase(int pairs) {
  std::string text = "PU0,0;PD;PR";
  for (int i = 0; i < pairs; ++i)
    text += (i % 2 ? "1,0," : "0,1,");
  return text + "0,1;";
}

TEST_F(ReaderTest, CapacitiesKeepTheFullTables) {
  EXPECT_EQ(Read(Staircase(PlotModel::MaxSegments - 2) + "PU;").end, ReadEnd::Completed);
  EXPECT_EQ(model.SegCount[1], PlotModel::MaxSegments - 1);

  const ReadOutcome over = Read(Staircase(1'000'000) + "CI5;");
  EXPECT_TRUE(over.segmentCapacityReached);
  EXPECT_EQ(over.errorNumber, 9);
  EXPECT_EQ(model.SegCount[1], PlotModel::MaxSegments);
  const Segment& last = model.Segments(PlotModel::MaxSegments, 1);
  EXPECT_EQ(Point(last.X1, last.Y1) + ">" + Point(last.X2, last.Y2), "74999,75000>75000,75000");
  EXPECT_EQ(model.ArcCount[1], 0);  // the circle after the cut is not read

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
  auto readFile = [&](const std::string& folder, const std::string& name) {
    model.PlotDir = folder;
    model.PlotFileName = name;
    status = 0;
    return reader.ReadPlotFile(status);
  };
  const std::string folder = dir.string() + "/";
  EXPECT_EQ(Summary(readFile(folder, "plot.hpg")), "0,0>3,4");
  // After a read that drew something. A device is refused, never read or waited on; root
  // reads every file.
  const std::pair<std::string, int> cases[] = {{folder + "missing.hpg", 53},
                                               {"", 53},
                                               {folder + "folder.hpg", 75},
                                               {"/dev/zero", 75},
                                               {folder + "secret.hpg", ::geteuid() ? 70 : 0}};
  for (const auto& [path, error] : cases) {
    if (!error) continue;
    Read("PU0,0;PD1,1;CI3;");
    const ReadOutcome outcome = readFile("", path);
    EXPECT_EQ(Summary(outcome), "error " + std::to_string(error) + " at 0") << path;
    EXPECT_TRUE(outcome.fileError) << path;
  }
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace korvid::testing
