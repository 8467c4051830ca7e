// korvid-convert --hpgl2 into every format, and which page --page draws.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QImage>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace korvid {
namespace {

namespace fs = std::filesystem;

// Three pages: 2:1 landscape, 1:3 portrait, and a square diagonal.
constexpr const char* kThreePages =
    "IN;SP1;PU0,0;PD4000,0,4000,2000;PG;PU0,0;PD1000,0,1000,3000;PG;PU0,0;PD500,500;";

struct ConvertRun {
  int exitCode = -1;
  std::string err;
};

class ConvertPage : public ::testing::Test {
 protected:
  void SetUp() override {
    directory = fs::temp_directory_path() /
                ("korvid-cli-page-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(directory);
    std::ofstream(directory / "pages.hpg", std::ios::binary) << kThreePages;
  }
  void TearDown() override { fs::remove_all(directory); }

  std::string In(const std::string& name) const { return (directory / name).string(); }

  ConvertRun Convert(const std::string& arguments) const {
    const fs::path err = directory / "stderr";
    const std::string command =
        std::string(KORVID_CONVERT_PATH) + " " + arguments + " >/dev/null 2>" + err.string();
    const int status = std::system(command.c_str());
    std::ifstream in(err);
    std::stringstream text;
    text << in.rdbuf();
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, text.str()};
  }

  std::string Head(const std::string& name, std::size_t bytes) const {
    std::ifstream in(directory / name, std::ios::binary);
    std::string head(bytes, '\0');
    in.read(head.data(), static_cast<std::streamsize>(bytes));
    head.resize(static_cast<std::size_t>(in.gcount()));
    return head;
  }

  fs::path directory;
};

TEST_F(ConvertPage, WritesEveryFormat) {
  const std::pair<const char*, std::string> formats[] = {
      {"out.emf", std::string("\x01\x00\x00\x00", 4)},
      {"out.svg", "<?xml"},
      {"out.pdf", "%PDF"},
      {"out.png", "\x89PNG"},
      {"out.bmp", "BM"}};
  for (const auto& [name, magic] : formats) {
    const ConvertRun run = Convert(In("pages.hpg") + " -o " + In(name) + " --hpgl2");
    EXPECT_EQ(run.exitCode, 0) << name << ": " << run.err;
    EXPECT_EQ(Head(name, magic.size()), magic) << name;
  }
}

TEST_F(ConvertPage, PageChoosesTheSheet) {
  const struct {
    const char* page;
    double aspect;  // width / height, the 100-unit margin included
  } pages[] = {{"", 4100.0 / 2100.0},
               {"--page 1", 4100.0 / 2100.0},
               {"--page 2", 1100.0 / 3100.0},
               {"--page 3", 1.0}};
  for (const auto& page : pages) {
    const ConvertRun run =
        Convert(In("pages.hpg") + " -o " + In("page.png") + " --hpgl2 " + page.page);
    ASSERT_EQ(run.exitCode, 0) << page.page << ": " << run.err;
    const QImage image(QString::fromStdString(In("page.png")));
    ASSERT_FALSE(image.isNull());
    EXPECT_NEAR(static_cast<double>(image.width()) / image.height(), page.aspect, 0.01)
        << page.page;
  }
}

TEST_F(ConvertPage, PageOnlyWithTheStandardReadingAndNotForADump) {
  const struct {
    std::string arguments;
    const char* says;
  } cases[] = {
      {In("pages.hpg") + " -o " + In("x.png") + " --page 2", "--page needs --hpgl2"},
      {"--dump " + In("pages.hpg") + " --hpgl2 --page 2", "--dump prints every page"},
      {In("pages.hpg") + " -o " + In("x.png") + " --hpgl2 --page 0", "--page needs a whole"},
  };
  for (const auto& c : cases) {
    const ConvertRun run = Convert(c.arguments);
    EXPECT_EQ(run.exitCode, 2) << c.arguments;
    EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
  }
  EXPECT_FALSE(fs::exists(directory / "x.png"));
}

}  // namespace
}  // namespace korvid
