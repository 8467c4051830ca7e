// korvid-convert --hpgl2: the standard reading's dump and drawings, run as a user runs it.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace korvid {
namespace {

std::string Slurp(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class ConvertStandard : public ::testing::Test {
 protected:
  void SetUp() override {
    directory = std::filesystem::temp_directory_path() /
                ("korvid-cli-standard-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(directory);
  }
  void TearDown() override { std::filesystem::remove_all(directory); }

  std::string Fixture(const std::string& bytes) {
    const auto path = directory / "plot.plt";
    std::ofstream(path, std::ios::binary) << bytes;
    return path.string();
  }

  int Convert(const std::string& arguments, std::string* out = nullptr,
              std::string* err = nullptr) {
    const auto outPath = directory / "stdout";
    const auto errPath = directory / "stderr";
    const std::string command = std::string(KORVID_CONVERT_PATH) + " " + arguments + " >" +
                                outPath.string() + " 2>" + errPath.string();
    const int status = std::system(command.c_str());
    if (out) *out = Slurp(outPath);
    if (err) *err = Slurp(errPath);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  std::filesystem::path directory;
};

TEST_F(ConvertStandard, DumpsPagesLinesAndPolygons) {
  const std::string file =
      Fixture("IN;SP2;PW0.5;PA0,0;PD100,0,100,100;PU;RA50,50;PG;SP1;PD1,1;QQ;");
  std::string out, err;
  ASSERT_EQ(Convert("--dump " + file + " --hpgl2", &out, &err), 0);
  EXPECT_EQ(out,
            "reading hpgl2\n"
            "pages 2\n"
            "page 1\n"
            "polylines 1\n"
            "polygons 1\n"
            "extents 0 0 100 100\n"
            "L 2 0.5 FF0000 solid 0 3 0 0 100 0 100 100\n"
            // Hatch spacing: 1 % of the default P1-P2 diagonal.
            "G solid 123.223374 0 FF0000 2 evenodd 1 1 4 100 100 50 100 50 50 100 50\n"
            "page 2\n"
            "polylines 1\n"
            "polygons 0\n"
            "extents 1 1 100 100\n"
            "L 1 0.5 000000 solid 0 2 100 100 1 1\n");
  EXPECT_NE(err.find("2 pages"), std::string::npos) << err;
  EXPECT_NE(err.find("skipped \"QQ\" x1"), std::string::npos) << err;
}

TEST_F(ConvertStandard, DrawsTheChosenPage) {
  const std::string file = Fixture("IN;SP1;PD100,100;PG;PD0,100;");
  EXPECT_EQ(Convert(file + " -o " + (directory / "page2.svg").string() + " --hpgl2 --page 2"), 0);
  EXPECT_TRUE(std::filesystem::exists(directory / "page2.svg"));
  std::string err;
  EXPECT_EQ(Convert(file + " -o " + (directory / "page3.svg").string() + " --hpgl2 --page 3",
                    nullptr, &err),
            1);
  EXPECT_NE(err.find("has 2 pages, not 3"), std::string::npos) << err;
  EXPECT_FALSE(std::filesystem::exists(directory / "page3.svg"));
}

TEST_F(ConvertStandard, BlankFileHasNothingToDraw) {
  const std::string file = Fixture("IN;SP1;PU100,100;");
  std::string err;
  EXPECT_EQ(Convert(file + " -o " + (directory / "x.png").string() + " --hpgl2", nullptr, &err), 1);
  EXPECT_NE(err.find("nothing to draw"), std::string::npos) << err;
}

}  // namespace
}  // namespace korvid
