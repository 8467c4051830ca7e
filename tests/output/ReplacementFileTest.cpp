#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "output/ReplacementFile.h"

namespace korvid {
namespace {

namespace fs = std::filesystem;

class ReplacementFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = fs::temp_directory_path() / ("korvid-replace-" + std::to_string(::getpid()));
    fs::create_directories(folder);
  }
  void TearDown() override { fs::remove_all(folder); }
  static mode_t Mode(const fs::path& path) {
    struct stat status {};
    ::stat(path.c_str(), &status);
    return status.st_mode & 0777;
  }
  fs::path folder;
};

TEST_F(ReplacementFileTest, ReplacedFileKeepsItsPermissions) {
  const fs::path target = folder / "private.bmp";
  std::ofstream(target) << "old";
  ::chmod(target.c_str(), 0600);
  {
    ReplacementFile replacement(target.string());
    std::ofstream(replacement.Path()) << "new";
    replacement.Commit();
  }
  EXPECT_EQ(Mode(target), 0600u);
  std::ifstream in(target);
  std::string text;
  in >> text;
  EXPECT_EQ(text, "new");
}

TEST_F(ReplacementFileTest, UncommittedFileLeavesTheOldOneAndNoTrace) {
  const fs::path target = folder / "keep.bmp";
  std::ofstream(target) << "old";
  { ReplacementFile replacement(target.string()); }
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 1);
  EXPECT_EQ(fs::file_size(target), 3u);
}

TEST_F(ReplacementFileTest, NewFileFollowsTheUmask) {
  const mode_t previous = ::umask(027);
  const fs::path target = folder / "new.bmp";
  ReplacementFile replacement(target.string());
  replacement.Commit();
  ::umask(previous);
  EXPECT_EQ(Mode(target), 0640u);
}

}  // namespace
}  // namespace korvid
