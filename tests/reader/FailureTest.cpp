// Capacities, unreadable files, and inputs that break other readers (in linear time, no crash).
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "AsUnprivilegedUser.h"
#include "ReaderFixture.h"

namespace korvid::testing {
namespace {

namespace fs = std::filesystem;
using ::testing::AnyOf;
using ::testing::HasSubstr;
using ::testing::Not;

// One command of `pairs` relative steps, alternately up and right: also a linear-time check.
std::string Staircase(int pairs) {
  std::string text = "PU0,0;PD;PR";
  for (int i = 0; i < pairs; ++i)
    text += (i % 2 ? "1,0," : "0,1,");
  return text + "0,1;";
}

TEST_F(ReaderTest, CapacitiesKeepTheFullTablesAndHugeOrRandomInputsReadInLinearTime) {
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
  std::string line;
  while (line.size() < 50'000'000)
    line += "PD12345,67890,";
  EXPECT_EQ(Read(std::move(line)).end, ReadEnd::NoTerminator) << "50 MB without a terminator";
  // Each "PA" breaks the coordinate list off and restarts it after the blanks before it.
  for (const char* piece : {"PA", " \n PA"}) {
    std::string text = "PA";
    for (int i = 0; i < 1'000'000; ++i)
      text += piece;
    EXPECT_EQ(Summary(Read(text + "1,2;PD;PA3,4;" + std::string(2'000'000, ' ') + "PA")),
              "1,2>3,4");
  }
  const std::string digits400(400, '7');
  const std::string rest = "PD1," + std::string(3'000'000, ' ') + "2;PD1,0." +
                           std::string(5'000'000, '0') + "1;CI" + std::string(2'000'000, '0') +
                           "3;";
  // 400 sevens do not fit a float; 1e-5000001 underflows to 0.
  EXPECT_EQ(Summary(Read("PU0,0;PD" + digits400.substr(0, 30) + "," + digits400 + ";" + rest)),
            "error 6 at 2");
  EXPECT_EQ(Summary(Read(rest)), "0,0>1,2 | 1,2>1,0 | arc -2,3,4,-3 4,0>4,0");
  std::mt19937 random(20261207);
  const char alphabet[] = "PUDAIRNCLTSGF0123456789,;.-+ E&HO\n\r\t\0";
  for (int round = 0; round < 200; ++round) {
    std::string text(1 + random() % 4000, '\0');
    for (char& c : text)
      c = round % 2 ? static_cast<char>(random()) : alphabet[random() % (sizeof alphabet)];
    EXPECT_THAT(Summary(Read(text)), Not(AnyOf(HasSubstr("inf"), HasSubstr("nan")))) << round;
  }
  // NUL is an ordinary character: it ends a number and is not a command.
  EXPECT_EQ(Summary(Read(std::string("PU0,0;\0PD9,9;PD1,\0002;", 20))), "0,0>1,0");
}

TEST_F(ReaderTest, FilesThatCannotBeReadGiveAnEmptyModel) {
  const fs::path dir = fs::temp_directory_path() / ("korvid-reader-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  std::ofstream(dir / "plot.hpg", std::ios::binary) << "IN;LB\x93\xfa\x96\x7b;PU0,0;PD3,4;\r\n";
  std::ofstream(dir / "secret.hpg") << "PU0,0;PD1,1;";
  fs::permissions(dir / "secret.hpg", fs::perms::none);
  auto readFile = [&](const std::string& folder, const std::string& name) {
    model.PlotDir = folder;
    model.PlotFileName = name;
    status = 0;
    return reader.ReadPlotFile(status);
  };
  const std::string folder = dir.string() + "/";
  EXPECT_EQ(Summary(readFile(folder, "plot.hpg")), "0,0>3,4");
  const auto expectEmptyModel = [&](const std::string& path, int error) {
    Read("PU0,0;PD1,1;CI3;");
    const ReadOutcome outcome = readFile("", path);
    EXPECT_EQ(Summary(outcome), "error " + std::to_string(error) + " at 0") << path;
    EXPECT_TRUE(outcome.fileError) << path;
  };
  expectEmptyModel(folder + "missing.hpg", 53);
  expectEmptyModel("", 53);
  expectEmptyModel("/dev/zero", 75);
  // Permissions do not bind root: the unreadable file is tried as nobody.
  fs::permissions(dir, fs::perms(0755));
  AsUnprivilegedUser([&] { expectEmptyModel(folder + "secret.hpg", 70); });
  fs::remove_all(dir);
}

}  // namespace
}  // namespace korvid::testing
