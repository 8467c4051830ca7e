// Where an instance keeps its plot metafile, and that nothing stays behind.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>

#include "AsUnprivilegedUser.h"
#include "ErrorOf.h"
#include "model/RuntimeError.h"
#include "render/PlotMetafile.h"

namespace korvid {
namespace {

namespace fs = std::filesystem;

class PlotMetafileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    base = fs::temp_directory_path() / ("korvid-base-" + std::to_string(::getpid()));
    fs::create_directories(base);
  }
  void TearDown() override { fs::remove_all(base); }
  std::size_t FoldersInBase() const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(base), {}));
  }

  fs::path base;
};

TEST_F(PlotMetafileTest, EachInstanceHasAPrivateFolderThatGoesWithIt) {
  std::string folder;
  {
    PlotMetafile first(base.string());
    PlotMetafile second(base.string());
    folder = first.Folder();
    EXPECT_NE(folder, second.Folder());
    EXPECT_EQ(fs::path(first.Path()), fs::path(folder) / "enhmetafile.emf");
    EXPECT_EQ(fs::status(folder).permissions() & fs::perms::others_all, fs::perms::none);
    std::ofstream(first.Path()) << "drawing";
    first.Remove();
    EXPECT_FALSE(fs::exists(folder));
    first.EnsureFolder();  // another drawing
    EXPECT_TRUE(fs::is_directory(folder));
    std::ofstream(first.Path()) << "drawing";
  }
  EXPECT_FALSE(fs::exists(folder));
}

TEST_F(PlotMetafileTest, FatalSignalStillRemovesTheFolder) {
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    PlotMetafile metafile(base.string());
    std::ofstream(metafile.Path()) << "drawing";
    std::raise(SIGTERM);
    _exit(0);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
  EXPECT_EQ(FoldersInBase(), 0u);
}

TEST_F(PlotMetafileTest, FoldersOfKilledInstancesAreSweptAway) {
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    PlotMetafile metafile(base.string());
    std::ofstream(metafile.Path()) << "drawing";
    std::raise(SIGKILL);  // nothing can clean up after this
  }
  ::waitpid(child, nullptr, 0);
  ASSERT_EQ(FoldersInBase(), 1u);
  fs::create_directory(base / "korvid-not-a-pid");
  PlotMetafile next(base.string());
  EXPECT_EQ(FoldersInBase(), 2u) << "the dead instance's folder is gone; others stay";
}

TEST_F(PlotMetafileTest, UnwritableBaseFolderIsError70) {
  fs::permissions(base, fs::perms(0555));
  testing::AsUnprivilegedUser(
      [&] { EXPECT_EQ(testing::ErrorOf([&] { PlotMetafile metafile(base.string()); }), 70); });
  fs::permissions(base, fs::perms::owner_all);
}

}  // namespace
}  // namespace korvid
